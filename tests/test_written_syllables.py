"""Written syllables: the cut a French school book makes, in the word and sentence analyses."""

import os
from dataclasses import dataclass

import pytest

import vantro_aligneur.vantro_aligneur as va

HERE = os.path.dirname(os.path.abspath(__file__))


def table():
    with open(os.path.join(HERE, "data", "written_syllables.tsv"), encoding="utf-8") as f:
        return [tuple(line.rstrip("\n").split("\t")) for line in f if line.strip() and not line.startswith("#")]


WORDS = table()


class NoPhonemizer:
    def phonemize(self, word):
        raise AssertionError("every pronunciation is given")


ANALYSER = va.VantroSyllabeur(NoPhonemizer())


def cut(syllabes):
    # A hyphen stays on the syllable it ends; the table writes it once.
    return "-".join(s.ortho.replace("°", "").rstrip("-") for s in syllabes)


def test_the_table_is_large_enough():
    assert len(WORDS) >= 150
    assert len({w for w, _, _ in WORDS}) == len(WORDS)


@pytest.mark.parametrize("word,ipa,expected", WORDS, ids=[w for w, _, _ in WORDS])
def test_school_hyphenation(word, ipa, expected):
    result = ANALYSER.analyze(word, ipa, syllabes_ecrites=True)
    assert cut(result.syllabes) == expected
    # Every letter once, in order; the spans tile the word.
    assert "".join(s.ortho.replace("°", "") for s in result.syllabes) == word
    ends = [0] + [s.span[1] for s in result.syllabes]
    assert [s.span[0] for s in result.syllabes] == ends[:-1] and ends[-1] == len(word)
    # The phonemes of the written syllables are the word's, each once.
    assert "".join(s.phone for s in result.syllabes) == ipa or not va._aligner(word, ipa)[3]


@pytest.mark.parametrize(
    "word,ipa,expected",
    [
        ("paysanne", "", "pay-san-ne"),  # nothing aligned: the letters alone decide
        ("table", "", "ta-ble"),
        ("maintenant", "", "main-te-nant"),
        ("aujourd'hui", "", "au-jour-d'hui"),
        ("presqu'île", "", "pres-qu'î-le"),
        ("a-t-il", "", "a-t-il"),
        ("l'enfant", "", "l'en-fant"),
        ("pff", "", "pff"),
    ],
)
def test_letters_alone(word, ipa, expected):
    assert cut(ANALYSER.analyze(word, ipa, syllabes_ecrites=True).syllabes) == expected


def test_the_default_stays_the_syllables_as_heard():
    heard = ANALYSER.analyze("table", "tabl")
    assert [s.ortho for s in heard.syllabes] == ["table°"]
    written = ANALYSER.analyze("table", "tabl", syllabes_ecrites=True)
    assert [(s.phone, s.ortho, s.span) for s in written.syllabes] == [("ta", "ta", (0, 2)), ("bl", "ble°", (2, 5))]
    assert written.syllabes[1].attaque.phone == "bl" and written.syllabes[1].noyau.phonemes == []


@dataclass
class Tok:
    text: str
    span: tuple


def sentence(text, *words):
    """MotAnalyse records of `text`, each word given as (text, phone, liaison, pos)."""
    mots, pos = [], 0
    for word, phone, liaison, tag in words:
        at = text.index(word, pos)
        pos = at + len(word)
        mots.append(va.MotAnalyse(Tok(word, (at, pos)), phone, liaison, tag))
    return mots


LES_ENFANTS = (
    "Les enfants lisent une table.",
    ("Les", "le", "Lz", "DET"),
    ("enfants", "ɑ̃fɑ̃", "none", "NOM"),
    ("lisent", "liz", "none", "VER"),
    ("une", "yn", "none", "DET"),
    ("table", "tabl", "none", "NOM"),
)


@pytest.mark.parametrize(
    "schwas,expected",
    [
        (False, "Les|en-fants|li-sent|u-ne|ta-ble  le.ɑ̃.fɑ̃ | li.z.y.n | ta.bl"),
        (True, "Les|en-fants|li-sent|u-ne|ta-ble  le.ɑ̃.fɑ̃ | li.zə.y.nə | ta.blə"),
    ],
)
def test_sentence_written_syllables_and_final_schwas(schwas, expected):
    options = va.OptionsGroupes(syllabes_ecrites=True, ajouter_schwas_finaux=schwas)
    result = ANALYSER.analyser_complet(sentence(*LES_ENFANTS), options=options)
    words = []
    for rg in result.groupes:
        for mot in rg.groupe.mots:
            start, end = mot.span
            words.append("-".join(s.ortho.replace("°", "") for s in rg.syllabes if start <= s.span[0] < end))
    assert "|".join(words) + "  " + result.format_ligne2() == expected
    # Spans point into the caller's text.
    text = LES_ENFANTS[0]
    for rg in result.groupes:
        for s in rg.syllabes:
            assert text[s.span[0]:s.span[1]] == s.ortho.replace("°", "")


def test_the_schwa_flag_alone_changes_nothing():
    plain = ANALYSER.analyser_complet(sentence(*LES_ENFANTS))
    flagged = ANALYSER.analyser_complet(sentence(*LES_ENFANTS), options=va.OptionsGroupes(ajouter_schwas_finaux=True))
    assert plain.groupes == flagged.groupes


@pytest.mark.parametrize(
    "word,ipa,expected",
    [
        # One letter a constituent: a attaque, n noyau, c coda. The consonant of
        # a nasal vowel spells the nucleus with the vowel letters before it.
        ("enfant", "ɑ̃fɑ̃", "nnannc"),
        ("lundi", "lœ̃di", "annan"),
        ("maintenant", "mɛ̃tənɑ̃", "annnanannc"),
        ("parle", "paʁl", "ancan"),
        ("passant", "pasɑ̃", "ancannc"),
    ],
)
def test_written_constituents(word, ipa, expected):
    view = va.vue_lettres(ANALYSER.analyze(word, ipa, syllabes_ecrites=True), syllabes="ecrites")
    assert "".join(l["constituant"][0] for l in view["lettres"]) == expected
