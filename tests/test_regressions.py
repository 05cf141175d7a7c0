"""Faults the fuzzers, the sanitizer build and the property tests found, as
the caller meets them. Positions beyond 64 bits are refused with
OverflowError instead of wrapping around (tests/cpp/test_regressions.cpp
holds the same faults at the level of the core)."""

from __future__ import annotations

import pytest

from hot_calls import Token
from vantro_aligneur import vantro_aligneur as va

TOP = 2**63 - 1


def two_words_at(start):
    mots = [va.MotAnalyse(Token("les", (start, start + 3)), "le", "Lz"),
            va.MotAnalyse(Token("amis", (start + 4, start + 8)), "ami")]
    return va.construire_groupes(mots)


@pytest.mark.parametrize("call", [
    # fuzz_syllabify: the word offset moved the syllable span past the top of the range.
    lambda: va._build_syllabes(["bjɛ̃"], ["b", "j", "ɛ̃"], ["b", "i", "en"], [(0, 1), (1, 2), (2, 4)], TOP, True),
    lambda: va._build_syllabes(["pa"], ["p", "a"], ["p", "a"], [(-(2**63), 1), (1, 2)], -1, True),
    # The split of a compound entry whose span starts at the top.
    lambda: va._phonemise_alignment(["ks"], ["x"], [(TOP, TOP)]),
    # A reading group whose words lie at the top of the caller's text.
    lambda: va.syllabifier_groupes(two_words_at(TOP - 4)),
    lambda: va.syllabifier_groupes([va.GroupeLecture([va.MotAnalyse(Token("ami", (TOP - 1, TOP)), "ami")], "ami")]),
], ids=["word offset", "negative offset", "compound split", "group of words", "one word"])
def test_positions_beyond_64_bits_are_refused(call):
    with pytest.raises(OverflowError):
        call()


def test_largest_positions_that_fit_are_exact():
    built = va._build_syllabes(["bjɛ̃"], ["b", "j", "ɛ̃"], ["b", "i", "en"], [(0, 1), (1, 2), (2, 4)], TOP - 4, True)
    assert built[0].span == (TOP - 4, TOP)
    assert va._phonemise_alignment(["wa"], ["oi"], [(TOP - 2, TOP)])[2] == [(TOP - 2, TOP - 1), (TOP - 1, TOP)]


@pytest.mark.parametrize("boundaries", [[-(2**63)], [-(2**63) + 1, -1, 0], [TOP], [-(2**63), TOP, 3]])
def test_word_boundaries_at_the_ends_of_the_range(boundaries):
    # fuzz_search: the boundary -2^63 made "boundary - 1" wrap around.
    assert va._aligner("pas", "pa", boundaries) == va._aligner("pas", "pa")


def letters(graphemes):
    return "".join(g.replace("°", "").replace("²", "") for g in graphemes)


@pytest.mark.parametrize("word, phone", [
    ("défibrİr", "defibʁœʁ"),   # fuzz_search: the last span ended past the word
    ("İl", "il"),
    ("CHİMİE", "ʃimi"),
    ("İİİ", "iii"),
])
def test_dotted_capital_i_keeps_positions_in_the_word(word, phone):
    # Its lower case is two characters; the search reads it as a plain "i".
    dec_ph, dec_gr, spans, ok = va._aligner(word, phone)
    assert ok
    assert letters(dec_gr) == word
    assert all(0 <= s <= e <= len(word) for s, e in spans)
    assert [word[s:e] for s, e in spans] == [g.replace("°", "").replace("²", "") for g in dec_gr]
    syllabes = va.VantroSyllabeur().analyze(word, phone).syllabes
    assert all(0 <= s.span[0] <= s.span[1] <= len(word) for s in syllabes)
    assert "".join(s.ortho.replace("°", "").replace("²", "") for s in syllabes) == word


def test_dotted_capital_i_in_a_reading_group():
    mots = [va.MotAnalyse(Token("l'", (0, 2)), "l"), va.MotAnalyse(Token("İle", (2, 5)), "il")]
    groupes = va.syllabifier_groupes(va.construire_groupes(mots))
    spans = [s.span for g in groupes for s in g.syllabes]
    assert spans and all(0 <= s <= e <= 5 for s, e in spans)
