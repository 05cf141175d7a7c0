"""Shared helpers of the benchmarks: the word corpus, timing, result rows.

Every benchmark prints its own lines and, with `--json FILE`, appends its rows
(name, metric, value, target, ok) to FILE as JSON lines, which run_all.py
gathers into one table. A row's `ok` is True/False when it has a target and
None when it only informs.
"""

from __future__ import annotations

import argparse
import json
import os
import pathlib
import statistics
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "scripts"))
from project_data import spread_sample  # noqa: E402

BENCH_DIR = pathlib.Path(__file__).resolve().parent
ROOT = BENCH_DIR.parent
OUT_DIR = BENCH_DIR / "out"
CORPUS = OUT_DIR / "corpus.tsv"


def parser(description: str) -> argparse.ArgumentParser:
    ap = argparse.ArgumentParser(description=description)
    ap.add_argument("--json", help="append result rows to this file (JSON lines)")
    ap.add_argument("--quick", action="store_true", help="smaller inputs and fewer runs (smoke test)")
    return ap


def import_module():
    """The main module, from wherever the caller's sys.path finds it."""
    import vantro_aligneur.vantro_aligneur as m

    return m


# ---------------------------------------------------------------- corpus


def ensure_corpus() -> pathlib.Path:
    """(word, ipa) pairs of the French word list, built once with in-process espeak-ng."""
    if CORPUS.exists() and CORPUS.stat().st_size > 0:
        return CORPUS
    OUT_DIR.mkdir(parents=True, exist_ok=True)
    tmp = CORPUS.with_suffix(".tmp")
    print(f"building {CORPUS} with scripts/build_corpus.py (once)...", file=sys.stderr)
    subprocess.run([sys.executable, str(ROOT / "scripts" / "build_corpus.py"), str(tmp)], check=True)
    tmp.replace(CORPUS)
    return CORPUS


def load_pairs(limit: int = 0) -> list[tuple[str, str]]:
    """(word, ipa) in word-list order; words espeak-ng gave no IPA are left out."""
    pairs = []
    with open(ensure_corpus(), encoding="utf-8") as fh:
        next(fh)  # header
        for line in fh:
            cols = line.rstrip("\n").split("\t")
            if len(cols) >= 2 and cols[0] and cols[1]:
                pairs.append((cols[0], cols[1]))
    return spread_sample(pairs, limit) if limit else pairs


# ---------------------------------------------------------------- timing


def time_pass(fn, items) -> float:
    """Seconds for one call of fn(*item) per item."""
    t0 = time.perf_counter()
    for item in items:
        fn(*item)
    return time.perf_counter() - t0


def median_pass(fn, items, runs: int) -> float:
    """Median, over `runs` passes, of the seconds per item (one warm-up pass first)."""
    time_pass(fn, items)
    return statistics.median(time_pass(fn, items) / len(items) for _ in range(runs))


def time_once(fn, *args) -> tuple[float, object]:
    """(seconds, result or raised exception) of one call."""
    t0 = time.perf_counter()
    try:
        r = fn(*args)
    except Exception as exc:  # noqa: BLE001 - the benchmark reports what was raised
        r = exc
    return time.perf_counter() - t0, r


def rss_kb() -> int:
    """Resident memory of this process, in kB."""
    with open("/proc/self/status", encoding="ascii") as fh:
        for line in fh:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


# ---------------------------------------------------------------- results


class Rows:
    def __init__(self, json_path: str | None):
        self.path = json_path
        self.rows: list[dict] = []

    def add(self, name: str, metric: str, value: float, target: float | None = None,
            higher_is_better: bool = False, unit_fmt: str = "{:.3g}", ok: bool | None = None) -> None:
        if ok is None and target is not None:
            ok = value >= target if higher_is_better else value <= target
        tgt = "" if target is None else ((">= " if higher_is_better else "<= ") + unit_fmt.format(target))
        row = {"name": name, "metric": metric, "value": unit_fmt.format(value), "target": tgt, "ok": ok}
        self.rows.append(row)
        mark = "" if ok is None else ("  ok" if ok else "  FAIL")
        print(f"{name:<28} {metric:<34} {row['value']:>12} {tgt:>12}{mark}", flush=True)

    def add_check(self, name: str, metric: str, value: str, target: str, ok: bool) -> None:
        row = {"name": name, "metric": metric, "value": value, "target": target, "ok": ok}
        self.rows.append(row)
        print(f"{name:<28} {metric:<34} {value:>12} {target:>12}  {'ok' if ok else 'FAIL'}", flush=True)

    def write(self) -> None:
        if not self.path:
            return
        with open(self.path, "a", encoding="utf-8") as fh:
            for row in self.rows:
                fh.write(json.dumps(row, ensure_ascii=False) + "\n")


def all_ok(rows: Rows) -> bool:
    return all(r["ok"] is not False for r in rows.rows)


def env_flag(name: str) -> bool:
    return os.environ.get(name, "") not in ("", "0")
