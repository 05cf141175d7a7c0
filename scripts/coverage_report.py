#!/usr/bin/env python3
"""Alignment coverage of the data file over a (word, IPA) corpus.

Reads the TSV written by build_corpus.py, aligns every pair (or a sample)
and reports:
  - the share of words with alignment_ok, for words espeak-ng read in French
    and for words it switched to English, separately;
  - the failures grouped by cause: the phoneme and letters where the search
    could go no further (see `diagnose`), with counts and examples;
  - two consistency checks on every aligned word: the syllables' letters,
    markers and bridge brackets removed, give back the word; every letter lies
    in exactly one phoneme's span (a phoneme whose grapheme carries the
    shared-letter marker re-uses its neighbour's letter and is not counted).

Backends:
  native     the built extension (vantro_aligneur.vantro_aligneur)
  reference  the Python models of tests/reference_pipeline.py
             (slow; use --sample)

    python3 scripts/build_corpus.py /tmp/corpus.tsv
    python3 scripts/coverage_report.py /tmp/corpus.tsv --backend native
    python3 scripts/coverage_report.py /tmp/corpus.tsv --backend reference --sample 5000
"""

from __future__ import annotations

import argparse
import atexit
import collections
import json
import multiprocessing
import pathlib
import random
import re
import shutil
import sys
import tempfile

from project_data import DATA_FILE, SHARED_MARK, iter_phonemes

ROOT = pathlib.Path(__file__).resolve().parent.parent
DEFAULT_DATA = DATA_FILE
IGNORED = set("- '\u2019_")
BRIDGE_RE = re.compile(r"\([^()]*\)")
VOWEL_LETTERS = set("aeiouyàâäéèêëîïôöùûüÿœæ")

_backend = None  # per process


# --------------------------------------------------------------------------- backends

class ReferenceBackend:
    name = "reference"

    def __init__(self, data_path: str):
        sys.path.insert(0, str(ROOT / "tests"))
        import reference_pipeline  # noqa: PLC0415

        doc = json.loads(pathlib.Path(data_path).read_text(encoding="utf-8"))
        self._pipeline = reference_pipeline
        self.tables = reference_pipeline.Tables(
            alphabet=doc["alphabet_ipa"],
            phone_to_graphemes=doc["phone_to_graphemes"],
            liaison_consonnes=doc["liaison_consonnes"],
            lettres_muettes=set(doc["lettres_muettes_possibles"]),
        )
        self.table = self.tables.phone_to_graphemes
        self.silent = self.tables.lettres_muettes
        self._align = reference_pipeline.reference_aligner(self.tables)

    def align(self, word: str, phone: str):
        return self._align(word, phone)

    def syllable_orthos(self, word: str, phone: str, alignment) -> list[str]:
        dec_ph, dec_gr, dec_spans, ok = alignment
        syll_phones = self._pipeline.syllabify_ipa(phone, self.tables)
        sylls = self._pipeline.build_syllabes(syll_phones, dec_ph, dec_gr, dec_spans, 0, ok, self.tables)
        return [s[1] for s in sylls]


class NativeBackend:
    name = "native"

    def __init__(self, data_path: str):
        from vantro_aligneur import _chargeur  # noqa: PLC0415
        from vantro_aligneur.vantro_aligneur import (  # noqa: PLC0415
            VantroSyllabeur, _aligner)

        self._aligner = _aligner
        self._analyser = VantroSyllabeur()
        self.table = _chargeur.phone_to_graphemes()
        self.silent = _chargeur.lettres_muettes_possibles()

    def align(self, word: str, phone: str):
        return tuple(self._aligner(word, phone))

    def syllable_orthos(self, word: str, phone: str, alignment) -> list[str]:
        return [s.ortho for s in self._analyser.analyze(word, phone).syllabes]


def use_data_with_native(data_path: str) -> None:
    """Make the next import of the extension read `data_path`.

    The loader reads the data file of its own package folder, so the
    installed package is copied to a temporary folder that comes first on
    the import path, with `data_path` as its data file.
    """
    import importlib.util  # noqa: PLC0415

    spec = importlib.util.find_spec("vantro_aligneur")
    if spec is None or spec.origin is None:
        raise SystemExit("vantro_aligneur is not installed: build it or use --backend reference")
    pkg = pathlib.Path(spec.origin).parent
    installed = pkg / "data" / "donnees_aligneur.json"
    if installed.read_bytes() == pathlib.Path(data_path).read_bytes():
        return
    root = pathlib.Path(tempfile.mkdtemp(prefix="coverage-pkg-"))
    atexit.register(shutil.rmtree, root, True)
    shutil.copytree(pkg, root / "vantro_aligneur", ignore=shutil.ignore_patterns("__pycache__"))
    shutil.copyfile(data_path, root / "vantro_aligneur" / "data" / "donnees_aligneur.json")
    sys.path.insert(0, str(root))


def _init_worker(kind: str, data_path: str) -> None:
    global _backend
    _backend = (NativeBackend if kind == "native" else ReferenceBackend)(data_path)


# --------------------------------------------------------------------------- checks

def letters_from_syllables(orthos: list[str]) -> str:
    """The word as the syllables show it, every marker taken away.

    A bridge "(x)" repeats the first letter of the next syllable; "°" only
    follows a silent letter; "²" follows a letter shared by two phonemes, and
    when both phonemes of a shared letter sit in one syllable the letter is
    shown twice ("xx²"), so a letter doubled just before "²" counts once.
    """
    text = BRIDGE_RE.sub("", "".join(orthos))
    out: list[str] = []
    for ch in text:
        if ch == "°":
            continue
        if ch == "²":
            if len(out) >= 2 and out[-1].lower() == out[-2].lower():
                out.pop()
            continue
        out.append(ch)
    return "".join(out)


def check_spans(word: str, dec_gr: list[str], dec_spans) -> str | None:
    """None when every letter lies in exactly one phoneme's span.

    A grapheme marked "²" re-uses letters of the phoneme before it: the part
    of its span inside the previous phoneme's span is not counted again.
    """
    cover = [0] * len(word)
    prev = (0, 0)
    for gr, (s, e) in zip(dec_gr, dec_spans):
        if not (0 <= s <= e <= len(word)):
            return f"span ({s}, {e}) outside the word"
        for k in range(s, e):
            if "²" in gr and prev[0] <= k < prev[1]:
                continue
            cover[k] += 1
        prev = (s, e)
    for k, c in enumerate(cover):
        if c != 1 and word[k] not in IGNORED:
            return f"letter {k} «{word[k]}» in {c} spans"
    return None


# --------------------------------------------------------------------------- diagnosis

def diagnose(word: str, phone: str, table: dict, silent: set) -> str:
    """Name the place where no alignment can go on.

    A loose model of the search: any grouping of the phoneme tokens into
    table keys, any table grapheme, any letter of the silent set skipped
    anywhere.  The furthest state reached (most phonemes spelled, then most
    letters used) names the cause: the phoneme that no grapheme spells from
    there, or the first letter after the last phoneme that cannot be silent.
    When the loose model does reach the end, the real search lost the
    alignment to its own restrictions (the 32-grouping cap, or a readable
    grapheme that stops a letter from being silent there).
    """
    if "." in word or not any(c in VOWEL_LETTERS for c in word.lower()):
        return "abbreviation or letter names"
    on = word.lower()
    toks = iter_phonemes(phone.lower())
    keys = [(k, iter_phonemes(k.lower()), [g.replace(SHARED_MARK, "") for g in gs]) for k, gs in table.items()]
    keys = [k for k in keys if k[1]]
    n, m = len(toks), len(on)
    seen = set()
    stack = [(0, 0)]
    while stack:
        i, pos = stack.pop()
        while pos < m and on[pos] in IGNORED:
            pos += 1
        if (i, pos) in seen:
            continue
        seen.add((i, pos))
        if pos < m and on[pos] in silent:
            stack.append((i, pos + 1))
        if i < n:
            for _k, kt, graphs in keys:
                if toks[i:i + len(kt)] == kt:
                    for g in graphs:
                        if on.startswith(g, pos) and (g or True):
                            stack.append((i + len(kt), pos + len(g)))
    if (n, m) in seen:
        return "search restrictions (grouping cap / readable grapheme hides a silent letter)"
    i, pos = max(seen)
    if i == n:
        k = pos
        while k < m and (on[k] in silent or on[k] in IGNORED):
            k += 1
        return f"letter «{on[k:k + 1]}» after the last phoneme"
    return f"/{toks[i]}/ at «{on[pos:pos + 2]}»"


# --------------------------------------------------------------------------- per word

def process(row):
    word, phone, switched = row
    b = _backend
    alignment = b.align(word, phone)
    dec_ph, dec_gr, dec_spans, ok = alignment
    out = {"word": word, "phone": phone, "switched": switched, "ok": bool(ok)}
    if not ok:
        out["cause"] = diagnose(word, phone, b.table, b.silent)
        return out
    out["pairs"] = " ".join(f"{p}={g}" for p, g in zip(dec_ph, dec_gr))
    orthos = b.syllable_orthos(word, phone, alignment)
    out["syllables"] = "|".join(orthos)
    rebuilt = letters_from_syllables(orthos)
    if rebuilt != word:
        out["letters_error"] = rebuilt
    span_error = check_spans(word, dec_gr, list(dec_spans))
    if span_error:
        out["span_error"] = span_error
    out["shared"] = any("²" in g for g in dec_gr)
    return out


# --------------------------------------------------------------------------- report

def read_corpus(path: str):
    rows = []
    with open(path, encoding="utf-8") as fh:
        header = fh.readline()
        if not header.startswith("word\t"):
            fh.seek(0)
        for line in fh:
            parts = line.rstrip("\n").split("\t")
            if len(parts) >= 2 and parts[0]:
                rows.append((parts[0], parts[1], len(parts) > 2 and parts[2] == "1"))
    return rows


def pct(a: int, b: int) -> str:
    return f"{100.0 * a / b:.3f}%" if b else "n/a"


def report(results, args) -> str:
    lines = []
    for label, sw in (("French-read", False), ("English-switched", True)):
        group = [r for r in results if r["switched"] == sw]
        ok = sum(r["ok"] for r in group)
        lines.append(f"{label:17s} {len(group):7d} words  aligned {ok:7d}  ({pct(ok, len(group))})")
    ok = sum(r["ok"] for r in results)
    lines.append(f"{'All':17s} {len(results):7d} words  aligned {ok:7d}  ({pct(ok, len(results))})")

    for label, sw, top in (("French-read", False, args.top), ("English-switched", True, args.top_switched)):
        groups = collections.defaultdict(list)
        for r in results:
            if not r["ok"] and r["switched"] == sw:
                groups[r["cause"]].append(r)
        if not groups:
            continue
        lines.append("")
        lines.append(f"Failure groups, {label} ({sum(len(v) for v in groups.values())} words, "
                     f"{len(groups)} groups; top {top}):")
        for cause, rs in sorted(groups.items(), key=lambda kv: (-len(kv[1]), kv[0]))[:top]:
            ex = ", ".join(f"{r['word']} /{r['phone']}/" for r in rs[: args.examples])
            lines.append(f"  {len(rs):6d}  {cause}  —  {ex}")

    aligned = [r for r in results if r["ok"]]
    lines.append("")
    lines.append(f"Consistency checks on {len(aligned)} aligned words:")
    for key, title in (("letters_error", "syllable letters give back the word"),
                       ("span_error", "every letter in exactly one phoneme's span")):
        bad = [r for r in aligned if key in r]
        lines.append(f"  {title}: {len(aligned) - len(bad)} hold, {len(bad)} fail")
        for r in bad[: args.examples]:
            lines.append(f"      {r['word']} /{r['phone']}/ {r['syllables']} -> {r[key]}  [{r['pairs']}]")
    shared = sum(1 for r in aligned if r.get("shared"))
    lines.append(f"  words with a shared letter (²): {shared}")
    return "\n".join(lines)


def main(argv=None) -> int:
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("corpus", help="TSV from build_corpus.py")
    ap.add_argument("--backend", choices=("native", "reference"), default="native")
    ap.add_argument("--data", help="data file to measure (default: the source tree's for the reference "
                    "backend, the installed package's for the native one)")
    ap.add_argument("--sample", type=int, default=0, help="random sample of N pairs (0: all)")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--top", type=int, default=25)
    ap.add_argument("--top-switched", type=int, default=10)
    ap.add_argument("--examples", type=int, default=4)
    ap.add_argument("--dump", help="write every result as TSV (word, ipa, switched, ok, pairs, syllables, cause)")
    args = ap.parse_args(argv)

    rows = read_corpus(args.corpus)
    if args.backend == "native" and args.data:
        use_data_with_native(args.data)
    if args.data is None:
        args.data = str(DEFAULT_DATA)
    if args.sample and args.sample < len(rows):
        rows = random.Random(args.seed).sample(rows, args.sample)

    if args.jobs > 1:
        ctx = multiprocessing.get_context("fork")
        with ctx.Pool(args.jobs, initializer=_init_worker, initargs=(args.backend, args.data)) as pool:
            results = pool.map(process, rows, chunksize=256)
    else:
        _init_worker(args.backend, args.data)
        results = [process(r) for r in rows]

    print(f"Coverage of {args.corpus}: {len(rows)} pairs, backend {args.backend}"
          + (f", sample seed {args.seed}" if args.sample else ""))
    print(report(results, args))

    if args.dump:
        with open(args.dump, "w", encoding="utf-8") as out:
            for r in results:
                out.write("\t".join([r["word"], r["phone"], str(int(r["switched"])), str(int(r["ok"])),
                                     r.get("pairs", ""), r.get("syllables", ""), r.get("cause", "")]) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
