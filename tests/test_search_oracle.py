"""The core's segmentation search against a slow, obvious model of it.

`reference_search` runs the exhaustive depth-first search exactly as the
rules read (every grouping, every spelling, every alignment recorded, then
ranked); the core reaches the same answer through a bounded search. Any
difference in the phonemes, the graphemes (markers and case included) or the
success flag is a fault of one of them.
"""

from __future__ import annotations

from pathlib import Path

import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

from reference_search import aligner_reference, alignement_v2_reference

va = pytest.importorskip("vantro_aligneur.vantro_aligneur")
from vantro_aligneur._chargeur import lettres_muettes_possibles, phone_to_graphemes  # noqa: E402

SILENT = frozenset(lettres_muettes_possibles())
PHONEMES = ["a", "e", "ə", "o", "i", "k", "s", "t", "m", "w", "ɑ̃", "ʃ"]
LETTERS = sorted(set("aeiokstmcxu") | {c for c in SILENT if len(c) == 1})
NOISE = ["-", "'", " ", "’", "_", "h", "H", "e", "E", "s", "S", "é", "É"]
# Characters that no French word holds but that the rules still define:
# markers typed into the word, a letter whose lower case has two characters.
ODD = ["°", "²", "İ"]
WORDS = [
    tuple(line.rstrip("\n").split("\t"))
    for line in (Path(__file__).parent / "data" / "french_words_ipa.tsv").read_text(encoding="utf-8").splitlines(True)
    if not line.startswith("#")
]


def spelled(draw: st.DrawFn, table: dict[str, list[str]], tokens: list[str]) -> str:
    """A written form that mostly spells `tokens` with the table, with noise around."""
    parts = []
    for tok in tokens:
        if draw(st.integers(0, 3)) == 0:
            parts.append(draw(st.sampled_from(NOISE)))
        if draw(st.integers(0, 30)) == 0:
            parts.append(draw(st.sampled_from(ODD)))
        graphemes = table.get(tok) or [draw(st.sampled_from(LETTERS))]
        parts.append(draw(st.sampled_from(graphemes)).replace("²", ""))
    if draw(st.booleans()):
        parts.append(draw(st.sampled_from(["e", "s", "es", "t", "x", "h", "-s", "ent"])))
    word = "".join(parts)
    case = draw(st.integers(0, 4))
    if case == 0:
        word = word.upper()
    elif case == 1 and word:
        word = word[0].upper() + word[1:]
    return word


@st.composite
def search_cases(draw: st.DrawFn) -> tuple[str, str, dict[str, list[str]], list[int] | None]:
    phonemes = draw(st.lists(st.sampled_from(PHONEMES), min_size=2, max_size=6, unique=True))
    keys = list(phonemes)
    for _ in range(draw(st.integers(0, 3))):
        compound = "".join(draw(st.lists(st.sampled_from(phonemes), min_size=2, max_size=3)))
        if compound not in keys:
            keys.append(compound)
    keys += draw(st.lists(st.sampled_from(["A", "Ks", "", "as", "e", "h°", "x²"]), max_size=2, unique=True))
    keys = list(dict.fromkeys(draw(st.permutations(keys))))

    grapheme = st.builds(lambda letters, mark: mark(letters),
                         st.text(st.sampled_from(LETTERS), min_size=1, max_size=3),
                         st.sampled_from([lambda g: g] * 8 + [lambda g: g + "²", lambda g: "²", lambda g: "",
                                                               lambda g: g[0] + "²" + g[1:], lambda g: g + "°"]))
    table = {k: draw(st.lists(grapheme, max_size=4)) for k in keys}

    tokens = draw(st.lists(st.sampled_from(phonemes), max_size=6))
    phone = "".join(tokens)
    if draw(st.integers(0, 9)) == 0:
        phone = phone.upper()
    if draw(st.integers(0, 3)) == 0:
        ortho = draw(st.text(st.sampled_from(LETTERS + NOISE + ODD), max_size=9))
    else:
        ortho = spelled(draw, table, tokens)
    boundaries = draw(st.one_of(st.none(), st.lists(st.integers(-1, len(ortho) + 1), max_size=3)))
    return ortho, phone, table, boundaries


@settings(max_examples=600, deadline=None, suppress_health_check=[HealthCheck.too_slow])
@given(search_cases())
def test_search_matches_the_exhaustive_model(case):
    ortho, phone, table, boundaries = case
    expected = alignement_v2_reference(ortho, phone, table, set(SILENT), boundaries)
    assert va._alignement_v2(ortho, phone, table, boundaries) == expected


@pytest.mark.parametrize("word,phone", WORDS, ids=[w for w, _ in WORDS])
def test_real_words_with_the_french_table(word, phone):
    table = phone_to_graphemes()
    assert va._alignement_v2(word, phone, table) == alignement_v2_reference(word, phone, table, set(SILENT))
    assert va._aligner(word, phone) == aligner_reference(word, phone, table, set(SILENT))


def test_real_word_pairs_as_reading_groups():
    # Consecutive words of the list joined as a group, with their word ends:
    # the final e and s of each word may then also be silent where read.
    table = phone_to_graphemes()
    for (w1, p1), (w2, p2) in zip(WORDS[::2], WORDS[1::2]):
        ortho, phone, ends = w1 + w2, p1 + p2, [len(w1), len(w1) + len(w2)]
        expected = aligner_reference(ortho, phone, table, set(SILENT), ends)
        assert va._aligner(ortho, phone, ends) == expected, (ortho, phone)
