#!/usr/bin/env python3
"""Build a (word, IPA) corpus from a word list with espeak-ng's French voice.

Output: a TSV file with the columns word, ipa, switched ("1" when espeak-ng
wrapped part of the reading in a language-switch marker such as "(en)",
i.e. took the word for a foreign one), in word-list order.  The IPA is
cleaned exactly as the library's espeak-ng phonemizer cleans the program
output, with the "(xx)" markers removed.

espeak-ng is called in-process through libespeak-ng; `--check N` first
compares the library with the espeak-ng program on N words spread over the
list and prints the agreement rate.

    python3 scripts/build_corpus.py /tmp/corpus.tsv [--check 300]
"""

from __future__ import annotations

import argparse
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import espeak_inprocess  # noqa: E402
from project_data import WORDLIST, read_words, spread_sample  # noqa: E402

DEFAULT_WORDLIST = str(WORDLIST)




def check_against_program(words: list[str], voice: str) -> tuple[int, list[tuple[str, str, str]]]:
    mismatches = []
    for w in words:
        lib = espeak_inprocess.raw_ipa(w, voice).strip()
        prog = espeak_inprocess.program_raw_ipa(w, voice).strip()
        if lib != prog:
            mismatches.append((w, lib, prog))
    return len(words) - len(mismatches), mismatches


def main(argv: list[str] | None = None) -> int:
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("output", help="TSV file to write")
    ap.add_argument("--wordlist", default=DEFAULT_WORDLIST)
    ap.add_argument("--voice", default="fr")
    ap.add_argument("--limit", type=int, default=0, help="only the first N words (0: all)")
    ap.add_argument("--check", type=int, default=0,
                    help="compare library and program output on N words first")
    args = ap.parse_args(argv)

    words = read_words(args.wordlist)
    if args.limit:
        words = words[: args.limit]

    if args.check:
        sample = spread_sample(words, args.check)
        same, bad = check_against_program(sample, args.voice)
        print(f"library vs program: {same}/{len(sample)} identical "
              f"({100.0 * same / len(sample):.2f}%)", file=sys.stderr)
        for w, lib, prog in bad[:20]:
            print(f"  {w!r}: library {lib!r} program {prog!r}", file=sys.stderr)

    switched = 0
    with open(args.output, "w", encoding="utf-8") as out:
        out.write("word\tipa\tswitched\n")
        for w in words:
            ipa, sw = espeak_inprocess.phonemize(w, args.voice)
            switched += sw
            out.write(f"{w}\t{ipa}\t{int(sw)}\n")
    print(f"{len(words)} words written to {args.output}; {switched} switched language "
          f"({100.0 * switched / max(1, len(words)):.2f}%)", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
