"""Rules of the core compared, on generated inputs, with the plain Python they
are stated in: the final schwa's endings with the module's own regular
expressions, the words of a text with the word expression, the renderings
with f-strings."""

from __future__ import annotations

import os
import re

from hypothesis import given, settings
from hypothesis import strategies as st

from vantro_aligneur import vantro_aligneur as va


def examples(n):
    # The instrumented build runs several times slower: fewer inputs there.
    return settings(max_examples=max(50, n // 4) if os.environ.get("VANTRO_UNDER_SANITIZER") else n, deadline=None)


# Every character a case-insensitive expression takes for one of the letters
# of the endings (the long s "ſ" among them), and neighbours of each kind.
_ENDING_LETTERS = re.compile("[esntéèêë]", re.IGNORECASE)
_LIKE_ENDINGS = sorted({chr(c) for c in range(0x110000) if _ENDING_LETTERS.fullmatch(chr(c))})
ortho_chars = st.sampled_from(_LIKE_ENDINGS + list("ax\n'-") + ["\u0301", "\ud800"])
pos_chars = st.sampled_from(list("vVeErRbB:xß") + ["\u0131", "\ufb00"])


def expected_schwa(ortho, pos, phone):
    if not ortho or not phone:
        return phone
    mute = va._RE_E_MUET.search(ortho) or (va._RE_VERB_ENT.search(ortho) and pos.upper().startswith("VER"))
    if not mute or va.est_voyelle(va.iter_phonemes(phone)[-1]):
        return phone
    return phone + "ə"


@given(st.text(ortho_chars, max_size=6), st.text(pos_chars, max_size=4), st.sampled_from(["tabl", "vi", ""]))
@examples(1500)
def test_final_schwa_follows_the_module_expressions(ortho, pos, phone):
    assert va.ajouter_schwa_final(ortho, pos, phone) == expected_schwa(ortho, pos, phone)


# The typographic apostrophes join words as "'" does; U+02BC is handed on as U+2019.
WORD = re.compile(r"[a-zA-ZÀ-ÿ\u0100-\u024F]+(?:['\u2019\u02bc-][a-zA-ZÀ-ÿ]+)*")
# Both ends of every range, the characters just outside them, and the signs.
text_chars = st.sampled_from(list("azAZ@[`{09 '-’_.") + ["\u02bc", "\u00bf", "\u00c0", "\u00d7", "\u00f7", "\u00ff",
                                                          "\u0100", "\u0153", "\u024f", "\u0250", "\u0301"])


class Echo:
    def phonemize(self, word):
        return "a"


@given(st.text(text_chars, max_size=12))
@examples(1500)
def test_text_words_are_those_of_the_word_expression(text):
    expected = [w.replace("\u02bc", "\u2019") for w in WORD.findall(text)]
    assert [r.mot for r in va.VantroSyllabeur(Echo()).analyze_text(text)] == expected


# ---- renderings -----------------------------------------------------------------------------

def syllable_line(s, i, indent):
    att, noy, cod = (g.phone if g.phone != "" else "-" for g in (s.attaque, s.noyau, s.coda))
    return f"{indent}σ{i}: /{s.phone}/ <<{s.ortho}>> [{s.span[0]}:{s.span[1]}] att={att} noy={noy} cod={cod}"


def word_detail(r):
    return "\n".join([f"{r.mot} -> /{r.phone}/"] + [syllable_line(s, i, "  ") for i, s in enumerate(r.syllabes, 1)])


def ligne1(r):
    return " | ".join(f"[{rg.groupe.lecture.display_fr}]" if rg.groupe.est_formule and rg.groupe.lecture is not None
                      else rg.groupe.text for rg in r.groupes)


def ligne2(r):
    return " | ".join(".".join(s.phone for s in rg.syllabes) for rg in r.groupes)


def sentence_detail(r):
    lines = [f"Texte : {r.texte_original}", f"Groupes : {r.nb_groupes}  Syllabes : {r.nb_syllabes}",
             f"Ligne 1 : {ligne1(r)}", f"Ligne 2 : {ligne2(r)}", ""]
    for gi, rg in enumerate(r.groupes, 1):
        g = rg.groupe
        mark = " [FORMULE]" if g.est_formule else ""
        jonctions = ", ".join(g.jonctions) if g.jonctions else "-"
        lines.append(f"  G{gi}: <<{g.text}>>{mark}  /{g.phone_groupe}/  jonctions={jonctions}")
        lines += [syllable_line(s, i, "    ") for i, s in enumerate(rg.syllabes, 1)]
    return "\n".join(lines)


words = st.text(st.sampled_from(list("aé ʃ\n<>/|.-σ") + ["\ud800", "\U0001f600"]), max_size=4)
offsets = st.integers(-(2**70), 2**70)
groups = st.lists(st.builds(va.Phoneme, words, words), max_size=2).map(va.GroupePhonologique)
syllables = st.builds(va.Syllabe, words, words, st.tuples(offsets, offsets), groups, groups, groups)


class Token:
    def __init__(self, text):
        self.text = text


readings = st.one_of(st.none(), st.builds(va.LectureFormule, words))
reading_groups = st.builds(va.GroupeLecture, st.lists(st.builds(va.MotAnalyse, st.builds(Token, words)), max_size=2),
                           words, st.just((0, 0)), st.lists(words, max_size=2), st.booleans(), readings)
sentences = st.builds(va.ResultatSyllabation, words,
                      st.lists(st.builds(va.ResultatGroupe, reading_groups, st.lists(syllables, max_size=2)),
                               max_size=3))


@given(words, words, st.lists(syllables, max_size=3))
@examples(300)
def test_word_renderings_are_the_f_strings(mot, phone, syllabes):
    r = va.ResultatAnalyse(mot, phone, syllabes)
    assert r.format_simple() == f"{mot} -> /{'.'.join(s.phone for s in syllabes)}/ ({len(syllabes)} syll.)"
    assert r.format_detail() == word_detail(r)


@given(sentences)
@examples(300)
def test_sentence_renderings_are_the_f_strings(r):
    assert (r.format_ligne1(), r.format_ligne2(), r.format_detail()) == (ligne1(r), ligne2(r), sentence_detail(r))
