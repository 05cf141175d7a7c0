#!/usr/bin/env python3
"""Instructions per word of `analyze` and of `analyser_complet`, counted by
callgrind: unlike wall-clock time, the count does not move with the load of
a shared machine, so two builds can be compared to the percent.

The inputs are prepared first, outside callgrind. Each workload then runs
twice under callgrind, once with one pass over its input and once with
1 + PASSES passes; the difference, divided by the words of PASSES passes, is
the cost of the calls alone (start-up, imports and the first pass cancel out).

    python3 bench/callgrind_analyze.py [--passes K] [--only analyze|complet|core]

The interpreter that runs the script is the one measured (its site-packages
give the build). `core` is the core's own word analysis on the same words,
without Python: bench/out/build/vantro_core_words (built by run_all.py), or
the program given with --core-exe. Input: 3,000 (word, IPA) pairs taken evenly from the
word-list corpus (bench/out/corpus.tsv, see _common.ensure_corpus), and the
sentences of bench_complet.py, 20 times over, with their IPA from the same
corpus.
"""

from __future__ import annotations

import argparse
import json
import os
import re
import subprocess
import sys
import tempfile

import _common as c

SAMPLE = 3000
CORE_EXE = c.OUT_DIR / "build" / "vantro_core_words"
SENTENCE_REPEAT = 20  # passes over the text of bench_complet.py per pass, as that benchmark makes


def inputs() -> dict:
    """The inputs of both workloads, as plain data: read once, outside callgrind."""
    import bench_complet

    m = c.import_module()
    table = {w: p for w, p in c.load_pairs()}
    sentences = [[(w.token.text, list(w.token.span), w.phone, w.liaison, w.ponctuation_avant) for w in x]
                 for x in bench_complet.sentences(m, lambda w: table.get(w, ""))]
    return {"pairs": c.load_pairs(SAMPLE), "sentences": sentences * SENTENCE_REPEAT}


def workload(which: str, data: dict):
    """(function, list of argument tuples, words per pass)."""
    m = c.import_module()
    s = m.VantroSyllabeur(phonemizer=None)
    if which == "analyze":
        pairs = [tuple(p) for p in data["pairs"]]
        return s.analyze, pairs, len(pairs)
    from bench_complet import Token

    sents = [[m.MotAnalyse(Token(text, tuple(span)), phone, liaison, "", punct, False, False)
              for text, span, phone, liaison, punct in x] for x in data["sentences"]]
    return s.analyser_complet, [(x,) for x in sents], sum(len(x) for x in sents)


def child(which: str, data_path: str, passes: int) -> None:
    with open(data_path, encoding="utf-8") as fh:
        fn, items, _ = workload(which, json.load(fh))
    for _ in range(passes):
        for item in items:
            fn(*item)


def instructions(command: list[str]) -> int:
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "callgrind.out")
        env = dict(os.environ, PYTHONHASHSEED="0")
        subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}", *command],
                       check=True, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(out, encoding="utf-8", errors="replace") as fh:
            for line in fh:
                found = re.match(r"(?:summary|totals):\s+(\d+)", line)
                if found:
                    return int(found.group(1))
    raise RuntimeError("no instruction count in the callgrind output")


def main() -> int:
    if len(sys.argv) == 5 and sys.argv[1] == "--child":
        child(sys.argv[2], sys.argv[3], int(sys.argv[4]))
        return 0
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--passes", type=int, default=3)
    ap.add_argument("--only", choices=["analyze", "complet", "core"])
    ap.add_argument("--core-exe", default=str(CORE_EXE))
    args = ap.parse_args()
    data = inputs()
    with tempfile.TemporaryDirectory() as tmp:
        data_path = os.path.join(tmp, "inputs.json")
        with open(data_path, "w", encoding="utf-8") as fh:
            json.dump(data, fh, ensure_ascii=False)
        pairs_path = os.path.join(tmp, "pairs.tsv")
        with open(pairs_path, "w", encoding="utf-8") as fh:
            fh.writelines(f"{w}\t{p}\n" for w, p in data["pairs"])
        for which in [args.only] if args.only else ["analyze", "complet", "core"]:
            if which == "core":
                if not os.path.exists(args.core_exe):
                    print(f"core: {args.core_exe} not built (python3 bench/run_all.py builds it)", flush=True)
                    continue
                words = len(data["pairs"])
                command = [args.core_exe, pairs_path]
            else:
                _, _, words = workload(which, data)
                command = [sys.executable, __file__, "--child", which, data_path]
            base = instructions([*command, "1"])
            more = instructions([*command, str(1 + args.passes)])
            per_word = (more - base) / (args.passes * words)
            name = {"analyze": "analyze", "complet": "analyser_complet", "core": "core word analysis"}[which]
            print(f"{name:<18} {per_word:10.0f} instructions/word  ({words} words x {args.passes} passes)",
                  flush=True)
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
