#!/usr/bin/env python3
"""Reading groups of the test set against what a teacher expects, and how
often each word's share of the reading in context is right.

    python3 bench/text_accuracy.py                  # the shares, and every sentence that differs
    python3 bench/text_accuracy.py --quiet          # the shares only
    python3 bench/text_accuracy.py --texte FILE     # the split measures on a text of your own too

The sentences and the groups, junctions and syllables a teacher expects are in
tests/data/phrases_lecture.txt (its header gives the notation). Each sentence
is analysed by `VantroSyllabeur(EspeakLibPhonemizer()).analyser_texte`.

  - a sentence is right when its reading groups and the junctions inside them
    are all the expected ones;
  - a word is right when its letters are: every syllable that covers one of
    its letters covers exactly the letters expected (the same span of the
    text), and for a number, a sign or an abbreviation every step of its
    reading shows the expected letters. Targets: 95% of sentences, 99% of words.

The split of each sentence's reading among its words (module function
`_lecture_en_contexte`) is measured two ways:
  - found exactly: espeak-ng said as many words as the text has (or the
    letters of the words it read as one tell which sounds are whose);
  - the word's own reading: a plain word's share is what espeak-ng says for
    the word alone, once a liaison consonant at its end is set aside (words
    said otherwise in context, "six" in "six chats", count as different;
    --shares lists them).
"""

from __future__ import annotations

import argparse
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "tests" / "data" / "phrases_lecture.txt"

JUNCTIONS = {"elision": "'", "enchainement": "_", "trait_union": "-"}
LIAISON_CONSONANTS = "ztnʁp"


def load(path: pathlib.Path = DATA) -> list[dict]:
    """[{sentence, groups, syllables, category}] in file order."""
    cases, category = [], ""
    lines = path.read_text(encoding="utf-8").splitlines()
    i = 0
    while i < len(lines):
        line = lines[i]
        if line.startswith("# ") and i + 1 < len(lines) and lines[i + 1] and not lines[i + 1].startswith("#"):
            category = line[2:]
        if not line or line.startswith("#"):
            i += 1
            continue
        groups, syllables = lines[i + 1], lines[i + 2]
        if not groups.startswith("= ") or not syllables.startswith("~ "):
            raise ValueError(f"line {i + 1}: a sentence must be followed by '= ' and '~ ' lines")
        cases.append({"sentence": line, "groups": groups[2:], "syllables": syllables[2:], "category": category})
        i += 3
    return cases


# ---------------------------------------------------------------- notations


def groups_line(result) -> str:
    """The '= ' notation of a result: words, junctions, groups."""
    out = []
    for rg in result.groupes:
        g = rg.groupe
        parts = []
        for k, mot in enumerate(g.mots):
            if k:
                j = g.jonctions[k - 1]
                parts.append("~" + j[len("liaison_"):] if j.startswith("liaison_") else JUNCTIONS.get(j, j))
            parts.append(mot.text)
        out.append(" ".join(parts))
    return " | ".join(out)


def _letters(text: str, start: int, end: int) -> str:
    return "".join(c for c in text[start:end] if not c.isspace())


def syllables_line(text: str, result) -> str:
    """The '~ ' notation of a result: the letters of each syllable's span."""
    out = []
    for rg in result.groupes:
        if rg.groupe.est_formule:
            steps = rg.groupe.lecture.events if rg.groupe.lecture else []
            out.append("{" + ".".join(e.ortho for e in steps) + "}")
            continue
        parts, sylls = [], rg.syllabes
        for k, s in enumerate(sylls):
            start, end = s.span
            if end <= start:
                parts.append("?")
                continue
            cut = end
            if k + 1 < len(sylls):
                ns, ne = sylls[k + 1].span
                if ne > ns and ns < end:
                    cut = max(start, ns)
            shown = _letters(text, start, cut)
            if cut < end:
                shown += f"({_letters(text, cut, end)})"
            parts.append(shown)
        out.append(".".join(parts))
    return " | ".join(out)


def parse_syllables(text: str, notation: str) -> tuple[set, list[list[str]]]:
    """The spans of the syllables of a '~ ' line, and the steps of its formula groups, in order.

    A syllable's letters are looked for in the text from where the one before
    stopped, spaces between words passed over; a letter in brackets is shared
    with the next syllable, which starts on it again."""
    spans, formulas, pos = set(), [], 0
    for group in notation.split(" | "):
        if group.startswith("{"):
            formulas.append(group[1:-1].split("."))
            continue
        for syll in group.split("."):
            if syll == "?":
                continue
            bridged = re.search(r"\((.*)\)$", syll)
            letters = syll.replace("(", "").replace(")", "")
            k = text.find(letters[0], pos)
            if k < 0:
                raise ValueError(f"syllable {syll!r} not found in {text!r}")
            start, m = k, 0
            while k < len(text) and m < len(letters):
                if text[k] == letters[m]:
                    m += 1
                elif not text[k].isspace():
                    raise ValueError(f"syllable {syll!r} not found in {text!r}")
                k += 1
            if m < len(letters):
                raise ValueError(f"syllable {syll!r} not found in {text!r}")
            spans.add((start, k))
            pos = k - len(bridged.group(1)) if bridged else k
            while bridged and pos > start and text[pos - 1].isspace():
                pos -= 1
    return spans, formulas


def word_verdicts(text: str, result, expected_notation: str) -> list[tuple[str, bool]]:
    """(word, letters right) for every word of the result."""
    exp_spans, exp_formulas = parse_syllables(text, expected_notation)
    got_spans, _ = parse_syllables(text, syllables_line(text, result))
    verdicts, formula = [], 0
    for rg in result.groupes:
        for mot in rg.groupe.mots:
            if rg.groupe.est_formule:
                steps = [e.ortho for e in rg.groupe.lecture.events] if rg.groupe.lecture else []
                want = exp_formulas[formula] if formula < len(exp_formulas) else None
                formula += 1
                verdicts.append((mot.text, steps == want))
                continue
            start, end = mot.span
            got = {sp for sp in got_spans if sp[0] < end and sp[1] > start}
            exp = {sp for sp in exp_spans if sp[0] < end and sp[1] > start}
            verdicts.append((mot.text, bool(got) and got == exp and mot.token.aligne))
    return verdicts


# ---------------------------------------------------------------- measures


def measure(cases: list[dict], syllabeur, verbose: bool = True) -> dict:
    """Sentences and words right on the test set."""
    sentences = words = words_ok = 0
    by_category: dict[str, list[int]] = {}
    for case in cases:
        text = case["sentence"]
        result = syllabeur.analyser_texte(text)
        got_groups = groups_line(result)
        right = got_groups == case["groups"]
        verdicts = word_verdicts(text, result, case["syllables"])
        sentences += right
        words += len(verdicts)
        words_ok += sum(ok for _, ok in verdicts)
        cat = by_category.setdefault(case["category"], [0, 0])
        cat[0] += right
        cat[1] += 1
        if verbose and (not right or not all(ok for _, ok in verdicts)):
            print(f"\n{text}")
            if not right:
                print(f"  groups expected  {case['groups']}\n  groups got       {got_groups}")
            wrong = [w for w, ok in verdicts if not ok]
            if wrong:
                print(f"  letters expected {case['syllables']}\n  letters got      {syllables_line(text, result)}")
                print(f"  words wrong: {', '.join(wrong)}")
    return {"sentences": sentences, "sentence_total": len(cases), "words": words_ok, "word_total": words,
            "by_category": by_category}


def measure_split(texts: list[str], alone, show: bool = False) -> dict:
    """How the words' shares were found, and how many are the words' own readings."""
    import vantro_aligneur.vantro_aligneur as va

    totals = dict.fromkeys(["mots_lus", "mots_par_lettres", "mots_sans_controle"], 0)
    plain = own = 0
    for text in texts:
        r = va._lecture_en_contexte(text)
        for key in totals:
            totals[key] += r[key]
        words = r["mots"]
        for k, w in enumerate(words):
            glued = w["text"].startswith("-") or w["text"][-1:] in "'’ʼ" or \
                (k and words[k - 1]["text"][-1:] in "'’ʼ")
            if w["nature"] != "mot" or glued:
                continue
            plain += 1
            heard, isolated = w["entendu"], alone(w["text"])
            same = heard == isolated or (heard[-1:] in LIAISON_CONSONANTS and heard[:-1] == isolated)
            own += same
            if show and not same:
                print(f"  share  {w['text']!r}: /{heard}/ in context, /{isolated}/ alone")
    exact = totals["mots_lus"] - totals["mots_sans_controle"]
    return {"units": totals["mots_lus"], "exact": exact, "by_letters": totals["mots_par_lettres"],
            "plain": plain, "own": own}


def report_split(name: str, s: dict) -> None:
    if s["units"]:
        print(f"{name}: shares found exactly {s['exact']}/{s['units']} = {100 * s['exact'] / s['units']:.2f}%"
              f" ({s['by_letters']} by their letters)")
    if s["plain"]:
        print(f"{name}: plain words whose share is their own reading {s['own']}/{s['plain']} = "
              f"{100 * s['own'] / s['plain']:.2f}%")


def main() -> int:
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--quiet", action="store_true", help="the shares only")
    ap.add_argument("--shares", action="store_true", help="list the words whose share is not their own reading")
    ap.add_argument("--texte", type=pathlib.Path, help="a text (UTF-8) to measure the split on, paragraph by paragraph")
    args = ap.parse_args()
    import vantro_aligneur.vantro_aligneur as va

    library = va.EspeakLibPhonemizer()
    cases = load()
    r = measure(cases, va.VantroSyllabeur(library), verbose=not args.quiet)
    print()
    for cat, (ok, n) in r["by_category"].items():
        print(f"  {cat:<45} {ok:>3}/{n:<3} sentences right")
    s = 100 * r["sentences"] / r["sentence_total"]
    w = 100 * r["words"] / r["word_total"]
    print(f"sentences whose groups and junctions are all right: {r['sentences']}/{r['sentence_total']} = {s:.1f}%"
          f"  (target 95%)")
    print(f"words whose letters are all right: {r['words']}/{r['word_total']} = {w:.1f}%  (target 99%)")
    report_split("test set", measure_split([c["sentence"] for c in cases], library.phonemize, args.shares))
    if args.texte:
        paragraphs = [p for p in args.texte.read_text(encoding="utf-8").split("\n\n") if p.strip()]
        report_split(args.texte.name, measure_split(paragraphs, library.phonemize, args.shares))
    return 0 if s >= 95 and w >= 99 else 1


if __name__ == "__main__":
    sys.exit(main())
