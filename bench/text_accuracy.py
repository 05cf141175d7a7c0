#!/usr/bin/env python3
"""Reading groups of the test set against what a teacher expects.

    python3 bench/text_accuracy.py            # the two shares, and every sentence that differs
    python3 bench/text_accuracy.py --quiet    # the shares only

The sentences and the expected groups, junctions and syllables are in
tests/data/phrases_lecture.txt (its header gives the notation). Each sentence
is analysed by `VantroSyllabeur(EspeakLibPhonemizer()).analyser_texte`.

  - a sentence is right when its reading groups and the junctions inside them
    are all the expected ones;
  - a word is right when its letters are: every syllable that covers one of
    its letters covers exactly the letters expected (the same span of the
    text), and for a number, sign or abbreviation every step of its reading
    shows the expected letters;
  - a word's share of the sentence's reading is counted as split right when
    it is the word's own reading (espeak-ng reading the word alone, cleaned
    up the same way) once a liaison consonant at its end is set aside; the
    words that differ (elided words, numbers, words said differently in
    context) are listed with --shares.

Targets: 95% of sentences, 99% of words.
"""

from __future__ import annotations

import argparse
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "tests" / "data" / "phrases_lecture.txt"

JUNCTIONS = {"elision": "'", "enchainement": "_", "trait_union": "-"}


def load(path: pathlib.Path = DATA) -> list[dict]:
    """[{sentence, groups, syllables, category}] in file order."""
    cases, category = [], ""
    lines = [line.rstrip("\n") for line in path.read_text(encoding="utf-8").splitlines()]
    i = 0
    while i < len(lines):
        line = lines[i]
        if line.startswith("# ") and not line.startswith("#  ") and i + 1 < len(lines) and lines[i + 1] and \
                not lines[i + 1].startswith("#"):
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


def groups_line(result) -> str:
    """The '= ' notation of a result."""
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


def syllable_spans(text: str, notation: str) -> list[tuple]:
    """[(group index, syllable text, span or None for a formula step)] of a '~ ' line.

    A syllable's letters are found in the text from where the last one
    stopped, spaces and marks between words skipped; a letter in brackets is
    shared with the next syllable, which starts on it again."""
    out, pos = [], 0
    for gi, group in enumerate(notation.split(" | ")):
        if group.startswith("{"):
            for step in group[1:-1].split("."):
                out.append((gi, step, None))
            continue
        for syll in group.split("."):
            bridged = re.search(r"\((.*)\)$", syll)
            letters = syll.replace("(", "").replace(")", "")
            if letters == "?":
                out.append((gi, "?", None))
                continue
            k = pos
            while k < len(text) and text[k] != letters[0]:
                k += 1
            start, m = k, 0
            while k < len(text) and m < len(letters):
                if text[k] == letters[m]:
                    m += 1
                elif not text[k].isspace():
                    raise ValueError(f"syllable {syll!r} not found in {text!r}")
                k += 1
            if m < len(letters):
                raise ValueError(f"syllable {syll!r} not found in {text!r}")
            out.append((gi, letters, (start, k)))
            pos = k - len(bridged.group(1)) if bridged else k
    return out


def syllables_line(text: str, result) -> str:
    """The '~ ' notation of a result: letters of each syllable from its span."""
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
            shown = "".join(c for c in text[start:cut] if not c.isspace())
            if cut < end:
                shown += "(" + "".join(c for c in text[cut:end] if not c.isspace()) + ")"
            parts.append(shown)
        out.append(".".join(parts))
    return " | ".join(out)


def word_verdicts(text: str, result, expected_syllables: str) -> list[tuple[str, bool]]:
    """(word, letters right) for every word of the result."""
    expected = syllable_spans(text, expected_syllables)
    got = syllable_spans(text, syllables_line(text, result))
    exp_spans = {span for _, _, span in expected if span}
    got_spans = {span for _, _, span in got if span}
    exp_steps = [(gi, s) for gi, s, span in expected if span is None]
    verdicts = []
    for rg in result.groupes:
        for mot in rg.groupe.mots:
            start, end = mot.span
            if rg.groupe.est_formule:
                steps = [e.ortho for e in (rg.groupe.lecture.events if rg.groupe.lecture else [])]
                want = _expected_steps_at(text, expected_syllables, start, end)
                verdicts.append((mot.text, steps == want))
                continue
            touching_got = {sp for sp in got_spans if sp[0] < end and sp[1] > start}
            touching_exp = {sp for sp in exp_spans if sp[0] < end and sp[1] > start}
            ok = bool(touching_got) and touching_got == touching_exp and mot.token.aligne
            verdicts.append((mot.text, ok))
    del exp_steps
    return verdicts


def _expected_steps_at(text: str, notation: str, start: int, end: int) -> list[str]:
    """The steps of the expected formula group whose token lies at [start, end)."""
    token = text[start:end]
    groups = notation.split(" | ")
    # Formula groups are matched in order with the formula tokens of the text.
    formulas = [g for g in groups if g.startswith("{")]
    seen = _formula_tokens.get(text)
    if seen is None:
        return []
    idx = seen.index((start, end)) if (start, end) in seen else -1
    if idx < 0 or idx >= len(formulas):
        return []
    del token
    return formulas[idx][1:-1].split(".")


_formula_tokens: dict[str, list[tuple[int, int]]] = {}


def measure(cases: list[dict], syllabeur, verbose: bool = True, shares: bool = False) -> dict:
    import vantro_aligneur.vantro_aligneur as va

    phonemizer = syllabeur._phonemizer if hasattr(syllabeur, "_phonemizer") else None
    sentences_ok = words_ok = words = 0
    split_ok = split_total = 0
    by_category: dict[str, list[int]] = {}
    for case in cases:
        text = case["sentence"]
        result = syllabeur.analyser_texte(text)
        _formula_tokens[text] = [tuple(m.span) for rg in result.groupes if rg.groupe.est_formule
                                 for m in rg.groupe.mots]
        got_groups = groups_line(result)
        got_sylls = syllables_line(text, result)
        sentence_right = got_groups == case["groups"]
        verdicts = word_verdicts(text, result, case["syllables"])
        sentences_ok += sentence_right
        words += len(verdicts)
        words_ok += sum(ok for _, ok in verdicts)
        cat = by_category.setdefault(case["category"], [0, 0])
        cat[0] += sentence_right
        cat[1] += 1
        if verbose and (not sentence_right or not all(ok for _, ok in verdicts)):
            print(f"\n{text}")
            if not sentence_right:
                print(f"  groups expected  {case['groups']}\n  groups got       {got_groups}")
            wrong = [w for w, ok in verdicts if not ok]
            if wrong:
                print(f"  letters expected {case['syllables']}\n  letters got      {got_sylls}")
                print(f"  words wrong: {', '.join(wrong)}")
        if phonemizer is not None:
            for rg in result.groupes:
                for k, mot in enumerate(rg.groupe.mots):
                    if rg.groupe.est_formule:
                        continue
                    split_total += 1
                    alone = va.EspeakLibPhonemizer().phonemize(mot.text) if False else phonemizer.phonemize(mot.text)
                    share = mot.phone
                    if k < len(rg.groupe.jonctions) and rg.groupe.jonctions[k].startswith("liaison_"):
                        consonant = _LIAISONS.get(mot.liaison, "")
                        if consonant and share.endswith(consonant):
                            share = share[: -len(consonant)]
                    same = _plain(share) == _plain(syllabeur_clean(mot.text, alone))
                    split_ok += same
                    if shares and not same:
                        print(f"  share  {mot.text!r}: in context /{mot.phone}/, alone /{alone}/")
    return {
        "sentences": sentences_ok, "sentence_total": len(cases),
        "words": words_ok, "word_total": words,
        "split": split_ok, "split_total": split_total,
        "by_category": by_category,
    }


_LIAISONS: dict[str, str] = {}


def _plain(ipa: str) -> str:
    return ipa.replace("ˈ", "").replace("ˌ", "").replace("ː", "")


def syllabeur_clean(word: str, ipa: str) -> str:
    import vantro_aligneur.vantro_aligneur as va

    return va._nettoyer_prononciation(word, ipa) if hasattr(va, "_nettoyer_prononciation") else ipa


def main() -> int:
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--quiet", action="store_true", help="the shares only")
    ap.add_argument("--shares", action="store_true", help="list the words whose share differs from their reading alone")
    args = ap.parse_args()
    import vantro_aligneur._chargeur as chargeur
    import vantro_aligneur.vantro_aligneur as va

    _LIAISONS.update(chargeur.liaison_consonnes())
    syllabeur = va.VantroSyllabeur(va.EspeakLibPhonemizer())
    cases = load()
    r = measure(cases, syllabeur, verbose=not args.quiet, shares=args.shares)
    print()
    for cat, (ok, n) in r["by_category"].items():
        print(f"  {cat:<45} {ok:>3}/{n:<3} sentences right")
    s = 100 * r["sentences"] / r["sentence_total"]
    w = 100 * r["words"] / r["word_total"]
    print(f"sentences whose groups and junctions are all right: {r['sentences']}/{r['sentence_total']} = {s:.1f}%"
          f"  (target 95%)")
    print(f"words whose letters are all right:                 {r['words']}/{r['word_total']} = {w:.1f}%"
          f"  (target 99%)")
    if r["split_total"]:
        print(f"words whose share of the sentence is their own reading: {r['split']}/{r['split_total']} = "
              f"{100 * r['split'] / r['split_total']:.1f}%")
    return 0 if s >= 95 and w >= 99 else 1


if __name__ == "__main__":
    sys.exit(main())
