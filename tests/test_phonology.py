"""Tokens, phoneme classes and syllabification through the Python API."""

import sys
import unicodedata

import pytest

import vantro_aligneur.vantro_aligneur as va
from unicode_of_the_core import ASSIGNED_AFTER_THE_CORE, CORE_UNIDATA, known_to_the_core

TIE = "\u0361"
TILDE = "\u0303"


@pytest.mark.parametrize(
    "ipa, tokens",
    [
        ("ʃa", ["ʃ", "a"]),
        ("ɑ" + TILDE, ["ɑ̃"]),
        ("", []),
        (TILDE + TILDE + "a", [TILDE + TILDE, "a"]),
        ("ˈaː. b", ["ˈ", "a", "ː", ".", " ", "b"]),
        ("t" + TIE + "ʃ", ["t" + TIE, "ʃ"]),
        ("\U0001F600" + TILDE + "\ud800", ["\U0001F600" + TILDE, "\ud800"]),
    ],
)
def test_iter_phonemes(ipa, tokens):
    assert va.iter_phonemes(ipa) == tokens


def test_mark_category_agrees_with_unicodedata_for_every_code_point():
    disagree = []
    for cp in filter(known_to_the_core, range(sys.maxunicode + 1)):
        is_mark = unicodedata.category(chr(cp)).startswith("M")
        if (len(va.iter_phonemes("a" + chr(cp))) == 1) != is_mark:
            disagree.append(hex(cp))
    assert disagree == []


@pytest.mark.skipif(unicodedata.unidata_version != CORE_UNIDATA, reason="needs the core's own Unicode version")
def test_code_points_left_out_on_a_newer_unicode_are_unassigned_in_the_cores():
    assert {unicodedata.category(chr(cp)) for cp in ASSIGNED_AFTER_THE_CORE} == {"Cn"}


@pytest.mark.parametrize(
    "fn, arg, expected",
    [
        (va.est_voyelle, "a", True),
        (va.est_voyelle, "a" + TILDE, True),
        (va.est_voyelle, "", False),
        (va.est_voyelle, "p", False),
        (va.est_consonne, "p", True),
        (va.est_consonne, "tʃ", "tʃ" in va._CONSONNES()),
        (va.est_consonne, "", False),
        (va.est_semi_voyelle, "j", True),
        (va.est_semi_voyelle, "", False),
        (va._phone_starts_with_vowel, "ɑ̃fɑ̃", True),
        (va._phone_starts_with_vowel, "", False),
        (va._phone_ends_with_consonne, "avɛk", True),
        (va._phone_ends_with_consonne, "le", False),
        (va._phone_ends_with_schwa, "ə", True),
        (va._phone_ends_with_schwa, "ə" + TILDE, False),
        (va._phone_ends_with_schwa, "", False),
    ],
)
def test_predicates(fn, arg, expected):
    assert fn(arg) is expected


@pytest.mark.parametrize(
    "phone, syllables",
    [
        ("ʃɔkɔla", ["ʃɔ", "kɔ", "la"]),
        ("", []),
        ("pst", ["pst"]),
        ("pata", ["pa", "ta"]),
        ("kuplɛ", ["ku", "plɛ"]),
        ("aptə", ["ap", "tə"]),
        ("ɛspʁi", ["ɛs", "pʁi"]),
        ("ɛkstʁa", ["ɛk", "stʁa"]),
        ("taksi", ["ta", "ksi"]),
        ("aʁlta", ["aʁl", "ta"]),
        ("abjɛ̃", ["a", "bjɛ̃"]),
        ("atʃa", ["a", "tʃa"]),
        ("ʃɔˈkɔla", ["ʃɔ", "ˈkɔ", "la"]),
        ("aa", ["a", "a"]),
    ],
)
def test_syllabify_ipa(phone, syllables):
    assert va._syllabify_ipa(phone) == syllables
    assert "".join(va._syllabify_ipa(phone)) == phone


def test_length_mark_stays_with_its_vowel():
    for phone in ("fɛːʁi", "ɛːʁ", "paːpa", "ʁoːbɛʁ"):
        owner = next(s for s in va._syllabify_ipa(phone) if "ː" in s)
        assert not owner.startswith("ː")
        assert va._decouper_syllabe(owner)[1] + "ː" in owner


def test_split_central_cluster_without_s_as_onset_liquid():
    classes = va._SONORITY
    assert va._split_central_cluster(["k", "s"], classes) == 0
    assert va._split_central_cluster(["k", "s"], classes, s_liquid_in_attack=False) == 1
    assert va._split_central_cluster(["s"], classes) == 0


@pytest.mark.parametrize(
    "token, letter",
    [("a", "V"), ("ɑ̃", "V"), ("j", "Y"), ("ʁ", "L"), ("s", "L"), ("m", "N"), ("p", "O"), ("ˈ", "O"), ("tʃ", "O")],
)
def test_class_of(token, letter):
    assert va._class_of(token, va._SONORITY) == letter


def test_sonority_classes_record():
    s = va._SONORITY
    assert "s" in s.O and "s" in s.L and va.COMPOUND_PHONEMES <= s.O
    assert all(getattr(s, name) for name in "ONLYV")
    assert s == va._build_sonority_classes()


@pytest.mark.parametrize(
    "syll, parts",
    [
        ("pʁi", ("pʁ", "i", "")),
        ("ɛs", ("", "ɛ", "s")),
        ("stʁa", ("stʁ", "a", "")),
        ("bjɛ̃", ("bj", "ɛ̃", "")),
        ("ai", ("", "a", "i")),
        ("", None),
        ("pst", None),
    ],
)
def test_decouper_syllabe(syll, parts):
    assert va._decouper_syllabe(syll) == parts


@pytest.mark.parametrize(
    "tokens, merged",
    [(["t", "ʃ", "a"], ["tʃ", "a"]), (["ɡ", "z"], ["ɡz"]), (["g", "z"], ["g", "z"]), (["t", "ʃ" + TILDE], ["t", "ʃ" + TILDE]),
     (["t", "s", "ʃ"], ["ts", "ʃ"])],
)
def test_merge_compounds(tokens, merged):
    assert va._merge_compounds_ipa(tokens) == merged


@pytest.mark.parametrize(
    "call",
    [
        lambda: va.iter_phonemes(None),
        lambda: va.est_voyelle(1),
        lambda: va._syllabify_ipa(b"a"),
        lambda: va._decouper_syllabe(None),
        lambda: va._merge_compounds_ipa("ab"),
        lambda: va._split_central_cluster(("a",), va._SONORITY),
        lambda: va._class_of(None, va._SONORITY),
    ],
)
def test_wrong_argument_types(call):
    with pytest.raises(TypeError, match=r"^Argument '\w+' has incorrect type \(expected \w+, got \w+\)$"):
        call()
