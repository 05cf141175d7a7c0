"""The pronunciation clean-up: the native rules against the plain model of
reference_cleanup.py, word by word and on generated readings, and the words
that justify each rule."""

from __future__ import annotations

import pytest
from hypothesis import given, settings, strategies as st

import reference_cleanup as ref
from vantro_aligneur import vantro_aligneur as va

clean = va._nettoyer_prononciation

# (rule, word, espeak-ng's reading, corrected reading): the words each rule is
# for, and words like them it must leave as they are (reading unchanged).
JUSTIFYING = [
    ("ui_glide", "nuit", "nyi", "nɥi"),
    ("ui_glide", "suis", "syi", "sɥi"),
    ("ui_glide", "Lui", "lyi", "lɥi"),
    ("ui_glide", "construit", "kɔ̃stʁyi", "kɔ̃stʁɥi"),
    ("ui_glide", "pays", "pɛi", "pɛi"),              # no u before the i
    ("ui_glide", "Louis", "lwi", "lwi"),
    ("u_glide", "nuage", "nyaʒ", "nɥaʒ"),
    ("u_glide", "tuer", "tye", "tɥe"),
    ("u_glide", "muet", "myɛ", "mɥɛ"),
    ("u_glide", "cruel", "kʁyɛl", "kʁyɛl"),         # obstruent + liquid before
    ("u_glide", "gluant", "ɡlyɑ̃", "ɡlyɑ̃"),
    ("u_glide", "tu", "ty", "ty"),                   # no vowel after
    ("gn_palatal", "gagné", "ɡanje", "ɡaɲe"),
    ("gn_palatal", "champignon", "ʃɑ̃pinjɔ̃", "ʃɑ̃piɲɔ̃"),
    ("gn_palatal", "compagnie", "kɔ̃pani", "kɔ̃paɲi"),
    ("gn_palatal", "baignoire", "bɛnjwaʁ", "bɛɲwaʁ"),
    ("gn_palatal", "montagne", "mɔ̃taɲ", "mɔ̃taɲ"),   # already /ɲ/
    ("gn_palatal", "panier", "panje", "panje"),       # "ni" is /nj/
    ("gn_palatal", "stagnions", "staɡnjɔ̃", "staɡnjɔ̃"),  # the g is said
    ("gn_palatal", "gnome", "ɡnom", "ɡnom"),          # word-initial gn
    ("ou_vowel", "jouent", "ʒw", "ʒu"),
    ("ou_vowel", "jouera", "ʒwʁa", "ʒuʁa"),
    ("ou_vowel", "oui", "wi", "wi"),                  # a vowel follows
    ("ou_vowel", "ouest", "wɛst", "wɛst"),
    ("ien_glide", "rien", "ʁiɛ̃", "ʁjɛ̃"),
    ("ien_glide", "riens", "ʁiɛ̃", "ʁjɛ̃"),
    ("ien_glide", "ombrien", "ɔ̃bʁiɛ̃", "ɔ̃bʁiɛ̃"),     # obstruent + liquid before
    ("ien_glide", "bien", "bjɛ̃", "bjɛ̃"),
]


@pytest.mark.parametrize("rule, word, heard, expected", JUSTIFYING, ids=lambda v: v if isinstance(v, str) else None)
def test_each_rule_on_the_words_that_justify_it(rule, word, heard, expected):
    applied = [rule] if expected != heard else []
    assert clean(word, heard) == (expected, applied)
    assert ref.clean(word, heard) == (expected, applied)


def test_the_native_table_agrees_with_the_model():
    rules = va._regles_nettoyage()
    assert [r["nom"] for r in rules] == [name for name, _ in ref.RULES]
    for r in rules:
        assert r["corrige"] and r["garde"], r["nom"]
        for word, heard, corrected in r["corrige"]:
            assert clean(word, heard) == ref.clean(word, heard) == (corrected, [r["nom"]])
        for word, heard in r["garde"]:
            assert clean(word, heard) == ref.clean(word, heard) == (heard, [])


@pytest.mark.parametrize("word, heard", [
    ("", ""),
    ("nuit", ""),
    ("", "nyi"),
    ("gagné", "ɡan"),                 # a reading cut short
    ("gnangnan", "ɲɑ̃ɲɑ̃"),            # two gn, both already palatal
    ("agneau", "anjo"),               # one gn, /nj/
    ("compagnon", "kɔ̃panjɔ̃ni"),       # more palatal places than letters: unsure, kept
    ("NUIT", "nyi"),                  # capitals
    ("aujourd'hui", "oʒuʁdyi"),       # apostrophe
    ("huit-cents", "yisɑ̃"),           # hyphen
    ("nuit", "n\u0303yi"),            # a combining mark on a consonant
    ("rien", "ʁiɛ\u0303\u0303"),       # a doubled tilde is another phoneme
    ("jouent", "ʒwː"),                # length mark after the glide
])
def test_edges_agree_with_the_model(word, heard):
    assert clean(word, heard) == ref.clean(word, heard)


def test_arguments_are_checked():
    with pytest.raises(TypeError, match="ipa"):
        clean("nuit", None)
    with pytest.raises(TypeError, match="mot"):
        clean(b"nuit", "nyi")


PHONEMES = ["i", "e", "ɛ", "a", "ɑ", "ɔ", "o", "u", "y", "ø", "œ", "ə", "ɛ̃", "ɑ̃", "ɔ̃", "œ̃", "j", "w", "ɥ",
            "p", "b", "t", "d", "k", "ɡ", "g", "f", "v", "s", "z", "ʃ", "ʒ", "m", "n", "ɲ", "ŋ", "l", "ʁ", "r",
            "ː", "\u0303", "ɪ"]
LETTERS = "aeiouyéèêëîïûüùôgnlrtsbcpdjqkhm-'"

readings = st.lists(st.sampled_from(PHONEMES), max_size=12).map("".join)
words = st.text(alphabet=LETTERS + LETTERS.upper()[:10], max_size=12)


@settings(max_examples=3000, deadline=None)
@given(words, readings)
def test_generated_readings_agree_with_the_model(word, heard):
    assert clean(word, heard) == ref.clean(word, heard)


@settings(max_examples=500, deadline=None)
@given(st.text(max_size=10), st.text(max_size=10))
def test_any_text_agrees_with_the_model(word, heard):
    # Letters whose lower case is longer than themselves (İ) are outside
    # what a reading of a word can hold; the model lowers as Python does.
    if any(len(c.lower()) != 1 for c in word):
        return
    assert clean(word, heard) == ref.clean(word, heard)


def word_list_sample(step):
    try:
        from project_data import WORDLIST
        lines = WORDLIST.read_text(encoding="utf-8").splitlines()
    except OSError:
        pytest.skip("the French word list (wfrench) is not installed")
    return lines[::step]


def test_word_list_read_by_espeak_agrees_with_the_model(library):
    changed = 0
    for word in word_list_sample(97):
        heard = library.phonemize(word)
        got = clean(word, heard)
        assert got == ref.clean(word, heard), (word, heard)
        changed += got[0] != heard
    assert changed > 0  # the rules do fire on real readings
