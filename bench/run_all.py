#!/usr/bin/env python3
"""Builds what the benchmarks need, runs them all, prints one table.

    python3 bench/run_all.py            # full runs (several minutes)
    python3 bench/run_all.py --quick    # smaller inputs, a smoke test
    python3 bench/run_all.py --no-build # use the vantro_aligneur already importable

The package and the C++ benchmark are built in bench/out/build (Release) and
the package is assembled in bench/out/site, so nothing installed is touched.
Timings are wall-clock on this machine: run it on an otherwise idle machine
(the load average is printed with the table).
"""

from __future__ import annotations

import argparse
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys

BENCH = pathlib.Path(__file__).resolve().parent
ROOT = BENCH.parent
OUT = BENCH / "out"
BUILD = OUT / "build"
SITE = OUT / "site"

# The core's own word analysis (the three stages chained, storage kept), per word.
CORE_TARGETS_NS = {"word_analysis": 1200}

PY_BENCHES = ["bench_analyze.py", "bench_complet.py", "bench_view.py", "bench_worst.py", "memory.py", "bench_text.py",
              "bench_corpus.py"]


def run(cmd: list[str], **kw) -> subprocess.CompletedProcess:
    print("+", " ".join(str(c) for c in cmd), file=sys.stderr, flush=True)
    return subprocess.run(cmd, **kw)


def build() -> None:
    gen = ["-G", "Ninja"] if shutil.which("ninja") else []
    run(["cmake", "-S", str(ROOT), "-B", str(BUILD), *gen, "-DCMAKE_BUILD_TYPE=Release",
         "-DVANTRO_BUILD_PYTHON=ON", "-DVANTRO_BUILD_BENCH=ON", "-DVANTRO_BUILD_TESTS=OFF",
         f"-DPython_EXECUTABLE={sys.executable}"], check=True, stdout=subprocess.DEVNULL)
    jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
    run(["cmake", "--build", str(BUILD), "-j", jobs], check=True)
    package = SITE / "vantro_aligneur"
    if package.exists():
        shutil.rmtree(package)
    shutil.copytree(ROOT / "src" / "vantro_aligneur", package, ignore=shutil.ignore_patterns("__pycache__"))
    for built in [*BUILD.glob("*.so"), BUILD / "_version.py"]:
        shutil.copy2(built, package / built.name)


def core_rows(quick: bool) -> list[dict]:
    exe = BUILD / "vantro_core_bench"
    if not exe.exists():
        return [{"name": "core (C++)", "metric": "not built", "value": "-", "target": "", "ok": None}]
    proc = run([str(exe), "--benchmark_format=json", f"--benchmark_min_time={0.1 if quick else 0.5}"],
               capture_output=True, text=True, check=True)
    rows = []
    for b in json.loads(proc.stdout)["benchmarks"]:
        name = b["name"].removeprefix("BM_")
        if b.get("aggregate_name") or b["name"].endswith(("_BigO", "_RMS")):
            continue  # complexity fits: the per-size rows say it
        if "ns_per_char" in b:
            rows.append({"name": f"core: {name}", "metric": "ns/char (CPU)",
                         "value": f"{b['ns_per_char'] * 1e9:.0f}", "target": "", "ok": None})
        elif "ns_per_word" in b:
            # The core's share of the Python-level cost; the word analysis has a target of its own.
            ns = b["ns_per_word"] * 1e9  # an inverted rate: seconds per word
            target = CORE_TARGETS_NS.get(name)
            rows.append({"name": f"core: {name}", "metric": "ns/word (CPU)", "value": f"{ns:.0f}",
                         "target": "" if target is None else f"<= {target}",
                         "ok": None if target is None else ns <= target})
        else:
            rows.append({"name": f"core: {name}", "metric": "us per call (CPU)",
                         "value": f"{b['cpu_time'] / 1e3:.0f}", "target": "", "ok": None})
    return rows


def espeak_rows(env: dict) -> list[dict]:
    """The in-process espeak-ng phonemizer against the program (bench/compare_espeak.py)."""
    script = BENCH / "compare_espeak.py"
    if not script.exists():
        return []
    proc = run([sys.executable, str(script)], capture_output=True, text=True, env=env)
    same = re.search(r"identical\s+\d+\s*/\s*\d+\s*=\s*([\d.]+)", proc.stdout)
    speed = re.search(r"speed-up\s+([\d.]+)", proc.stdout)
    if proc.returncode != 0 or not same or not speed:
        return [{"name": "EspeakLibPhonemizer", "metric": "comparison did not run", "value": "-",
                 "target": "", "ok": False}]
    return [
        {"name": "EspeakLibPhonemizer", "metric": "same IPA as the program, %", "value": same.group(1),
         "target": ">= 99.9", "ok": float(same.group(1)) >= 99.9},
        {"name": "EspeakLibPhonemizer", "metric": "speed-up per word (medians)", "value": speed.group(1),
         "target": ">= 500", "ok": float(speed.group(1)) >= 500},
    ]


def print_table(rows: list[dict]) -> None:
    headers = ["name", "metric", "value", "target", "ok?"]
    cells = [[r["name"], r["metric"], str(r["value"]), r["target"],
              "-" if r["ok"] is None else ("ok" if r["ok"] else ("MISSED" if r["target"] else "FAIL"))]
             for r in rows]
    widths = [max(len(h), *(len(c[i]) for c in cells)) for i, h in enumerate(headers)]
    line = "+".join("-" * (w + 2) for w in widths)
    print(line)
    print("|".join(f" {h:<{w}} " for h, w in zip(headers, widths)))
    print(line)
    for c in cells:
        print("|".join(f" {v:<{w}} " if i < 2 else f" {v:>{w}} " for i, (v, w) in enumerate(zip(c, widths))))
    print(line)


def main() -> int:
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--quick", action="store_true")
    ap.add_argument("--no-build", action="store_true")
    args = ap.parse_args()
    OUT.mkdir(parents=True, exist_ok=True)
    env = dict(os.environ)
    if not args.no_build:
        build()
        env["PYTHONPATH"] = os.pathsep.join(filter(None, [str(SITE), env.get("PYTHONPATH")]))

    sys.path.insert(0, str(BENCH))
    import _common

    _common.ensure_corpus()
    rows_file = OUT / "rows.jsonl"
    rows_file.unlink(missing_ok=True)
    failed_to_run = []
    for script in PY_BENCHES:
        cmd = [sys.executable, str(BENCH / script), "--json", str(rows_file)] + (["--quick"] if args.quick else [])
        if run(cmd, env=env).returncode not in (0, 1):  # 1: a target missed, reported in the table
            failed_to_run.append(script)
    rows = [json.loads(line) for line in rows_file.read_text(encoding="utf-8").splitlines()]
    rows += [{"name": s, "metric": "crashed", "value": "-", "target": "", "ok": False} for s in failed_to_run]
    if not args.no_build:
        rows += core_rows(args.quick)
    rows += espeak_rows(env)

    load = os.getloadavg()[0] if hasattr(os, "getloadavg") else float("nan")
    print(f"\nload average {load:.2f} on {os.cpu_count()} CPUs" + ("  (quick run)" if args.quick else ""))
    print_table(rows)
    return 0 if all(r["ok"] is not False for r in rows) else 1


if __name__ == "__main__":
    raise SystemExit(main())
