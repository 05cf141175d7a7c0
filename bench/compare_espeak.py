"""EspeakLibPhonemizer against EspeakPhonemizer on a sample of a word list.

    python bench/compare_espeak.py [--words /usr/share/dict/french] [--size 2000] [--seed 1]

Prints the share of words with identical pronunciations, the words that
differ, and the time per word of each phonemizer (median of single calls).
"""

from __future__ import annotations

import argparse
import random
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "scripts"))
from project_data import WORDLIST, read_words  # noqa: E402
from vantro_aligneur.vantro_aligneur import EspeakLibPhonemizer, EspeakPhonemizer


def timed(phonemize, words):
    out, times = [], []
    for w in words:
        t0 = time.perf_counter()
        out.append(phonemize(w))
        times.append(time.perf_counter() - t0)
    return out, times


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--words", default=str(WORDLIST))
    parser.add_argument("--size", type=int, default=2000)
    parser.add_argument("--seed", type=int, default=1)
    opts = parser.parse_args()

    vocabulary = read_words(opts.words)
    words = random.Random(opts.seed).sample(vocabulary, min(opts.size, len(vocabulary)))

    program = EspeakPhonemizer()
    if not program.is_available():
        print("espeak-ng program missing", file=sys.stderr)
        return 1
    library = EspeakLibPhonemizer()
    library.phonemize("échauffement")  # first call loads the dictionaries

    lib_out, lib_times = timed(library.phonemize, words)
    prog_out, prog_times = timed(program.phonemize, words)

    differ = [(w, a, b) for w, a, b in zip(words, lib_out, prog_out) if a != b]
    same = len(words) - len(differ)
    lib_us = statistics.median(lib_times) * 1e6
    prog_us = statistics.median(prog_times) * 1e6
    print(f"words               {len(words)} (sample of {opts.words}, seed {opts.seed})")
    print(f"identical           {same} / {len(words)} = {100.0 * same / len(words):.2f} %")
    print(f"library  µs/word    {lib_us:10.1f} median, {statistics.mean(lib_times) * 1e6:10.1f} mean")
    print(f"program  µs/word    {prog_us:10.1f} median, {statistics.mean(prog_times) * 1e6:10.1f} mean")
    print(f"speed-up            {prog_us / lib_us:10.0f} x (medians)")
    for w, a, b in differ[:20]:
        print(f"  differs: {w!r}: library {a!r}, program {b!r}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
