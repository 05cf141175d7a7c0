#!/usr/bin/env python3
"""analyser_texte on a long real French text, against espeak-ng alone.

The text is the French Debian Reference (Debian package debian-reference-fr,
about 110,000 words of prose, commands and tables). Two costs are compared
on the same text, in one call each:

  - espeak-ng alone: the in-process library reads the text, as
    `EspeakLibPhonemizer().phonemize(text)` does (the least a pronunciation
    of the text costs);
  - `analyser_texte(text)`: tokens, the reading in context, the split per
    word, liaisons, French re-reading of words read as English, reading
    groups, syllables with their letters, and the records.

Target: analyser_texte at most 1.25 times espeak-ng alone. Timings are
wall-clock (median of --runs passes each); `--instructions` counts the
instructions of the two calls with callgrind instead (repeatable on a loaded
machine; slow, so it uses the first 30,000 words). Memory: the resident size
and the live objects before and after repeated calls on one chapter must not
grow.

    PYTHONPATH=<site> python3 bench/bench_text.py [--runs R] [--quick] [--instructions] [--json FILE]
"""

from __future__ import annotations

import gc
import gzip
import pathlib
import shutil
import statistics
import subprocess
import sys
import time

import _common as c

SOURCE = pathlib.Path("/usr/share/debian-reference/debian-reference.fr.txt.gz")
TARGET_RATIO = 1.25


def load_text(words: int = 0) -> str:
    text = gzip.open(SOURCE, "rt", encoding="utf-8").read()
    if words:
        kept, n = [], 0
        for para in text.split("\n\n"):
            kept.append(para)
            n += len(para.split())
            if n >= words:
                break
        text = "\n\n".join(kept)
    return text


def paragraphs(text: str) -> list[str]:
    return [p for p in text.split("\n\n") if p.strip()]


def espeak_alone(m, text: str) -> None:
    m.EspeakLibPhonemizer().phonemize(text)


def text_path(m, text: str) -> None:
    m.analyser_texte(text)


def timed(fn, *args) -> float:
    t0 = time.perf_counter()
    fn(*args)
    return time.perf_counter() - t0


# The C functions whose instructions callgrind counts, for each side.
COLLECTED = {"espeak": "vantro::EspeakLibrary::ipa*",
             "text": "vantro::py::(anonymous namespace)::analyser_texte_fn*"}


def instructions(which: str, words: int) -> int:
    """Instructions spent inside the call of `which` (this script run again under callgrind)."""
    out = c.OUT_DIR / f"callgrind.text.{which}"
    c.OUT_DIR.mkdir(parents=True, exist_ok=True)
    cmd = ["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}", f"--toggle-collect={COLLECTED[which]}",
           sys.executable, __file__, "--one-pass", which, "--words", str(words)]
    subprocess.run(cmd, check=True, capture_output=True)
    text = out.read_text(errors="replace")
    return int(next(line.split()[1] for line in text.splitlines() if line.startswith("summary:")))


def one_pass(which: str, words: int) -> None:
    m = c.import_module()
    text = load_text(words)
    (espeak_alone if which == "espeak" else text_path)(m, text)


def main() -> int:
    ap = c.parser(__doc__.splitlines()[0])
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--instructions", action="store_true")
    ap.add_argument("--one-pass", choices=["espeak", "text"], help=argparse_hidden())
    ap.add_argument("--words", type=int, default=0, help=argparse_hidden())
    args = ap.parse_args()
    if args.one_pass:
        one_pass(args.one_pass, args.words)
        return 0
    rows = c.Rows(args.json)
    if not SOURCE.exists():
        print(f"{SOURCE} missing: apt-get install debian-reference-fr", file=sys.stderr)
        rows.add_check("analyser_texte (long text)", "text available", "missing", "debian-reference-fr", False)
        rows.write()
        return 1
    m = c.import_module()
    words = 20000 if args.quick else 0
    text = load_text(words)
    paras = paragraphs(text)
    n_words = len(text.split())
    # Warm: the library loaded, the names of espeak-ng's phonemes learned.
    espeak_alone(m, paras[0])
    text_path(m, "\n\n".join(paras[:20]))

    if args.instructions:
        if not shutil.which("valgrind"):
            print("valgrind missing", file=sys.stderr)
            return 1
        n = 5000 if args.quick else 30000
        base, path = instructions("espeak", n), instructions("text", n)
        if not base or not path:
            # callgrind finds the two calls by their symbols: a stripped build has none.
            print("no instructions counted: use a build with symbols (bench/run_all.py makes one in bench/out/site)",
                  file=sys.stderr)
            rows.add_check("analyser_texte / espeak-ng", "instructions ratio", "no symbols", "<= 1.25", False)
        else:
            rows.add("analyser_texte / espeak-ng", f"instructions ratio ({n} words)", path / base, TARGET_RATIO)
    else:
        runs = 1 if args.quick else args.runs
        t_espeak = statistics.median(timed(espeak_alone, m, text) for _ in range(runs))
        t_text = statistics.median(timed(text_path, m, text) for _ in range(runs))
        rows.add("espeak-ng alone (library)", f"us/word, {n_words} words", t_espeak / n_words * 1e6)
        rows.add("analyser_texte (long text)", f"us/word, {n_words} words", t_text / n_words * 1e6)
        rows.add("analyser_texte / espeak-ng", "time ratio, median of runs", t_text / t_espeak, TARGET_RATIO)

    # Memory: one chapter over and over; after a first pass nothing may grow.
    chapter = "\n\n".join(paras[:60])
    for _ in range(2):
        m.analyser_texte(chapter)
    gc.collect()
    rss0, objects0 = c.rss_kb(), len(gc.get_objects())
    for _ in range(3 if args.quick else 10):
        m.analyser_texte(chapter)
    gc.collect()
    rows.add("memory: analyser_texte", "RSS growth kB over repeated calls", c.rss_kb() - rss0, 512)
    rows.add("memory: analyser_texte", "live objects growth", len(gc.get_objects()) - objects0, 0)
    rows.write()
    return 0 if c.all_ok(rows) else 1


def argparse_hidden() -> str:
    import argparse

    return argparse.SUPPRESS


if __name__ == "__main__":
    sys.exit(main())
