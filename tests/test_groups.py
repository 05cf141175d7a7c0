"""Reading groups (E1), formula readings and group syllabification (E2)."""

import re
from dataclasses import dataclass

import pytest

import vantro_aligneur.vantro_aligneur as va
from vantro_aligneur.vantro_aligneur import (
    EventFormule,
    GroupeLecture,
    LectureFormule,
    MotAnalyse,
    OptionsGroupes,
)


@dataclass
class Tok:
    text: str
    span: tuple


def sentence(*words):
    """Words as (text, phone, liaison, flags...) laid out with one space between them."""
    mots, pos = [], 0
    for text, phone, *rest in words:
        liaison = rest[0] if rest else "none"
        flags = set(rest[1:])
        mots.append(
            MotAnalyse(
                Tok(text, (pos, pos + len(text))), phone, liaison,
                ponctuation_avant="ponct" in flags, elision_avant="elision" in flags, est_formule="formule" in flags,
            )
        )
        pos += len(text) + 1
    return mots


def shape(groupes):
    return [(g.text, g.phone_groupe, g.jonctions, g.est_formule) for g in groupes]


@pytest.mark.parametrize(
    "words, options, expected",
    [
        ([], None, []),
        ([("chat", "ʃa")], None, [("chat", "ʃa", [], False)]),
        ([("l'", "l"), ("enfant", "ɑ̃fɑ̃")], None, [("l' enfant", "lɑ̃fɑ̃", ["elision"], False)]),
        ([("les", "le", "Lz"), ("enfants", "ɑ̃fɑ̃")], None, [("les enfants", "leɑ̃fɑ̃", ["liaison_z"], False)]),
        ([("les", "le", "Lz"), ("enfants", "ɑ̃fɑ̃")], OptionsGroupes(gerer_liaisons=False),
         [("les", "le", [], False), ("enfants", "ɑ̃fɑ̃", [], False)]),
        ([("avec", "avɛk"), ("elle", "ɛl")], None, [("avec elle", "avɛkɛl", ["enchainement"], False)]),
        ([("l'", "l"), ("enfant", "ɑ̃fɑ̃", "none", "ponct")], None,
         [("l'", "l", [], False), ("enfant", "ɑ̃fɑ̃", [], False)]),
        ([("il", "il"), ("2", "dø", "none", "formule"), ("ans", "ɑ̃")], None,
         [("il", "il", [], False), ("2", "dø", [], True), ("ans", "ɑ̃", [], False)]),
        ([("les", "le", "Lq"), ("amis", "ami")], None, [("les", "le", [], False), ("amis", "ami", [], False)]),
        ([("cet", "sɛt", "Lq"), ("ami", "ami")], None, [("cet ami", "sɛtami", ["enchainement"], False)]),
        ([("qu", "k", "none"), ("il", "il", "none", "elision")], None, [("qu il", "kil", ["elision"], False)]),
        ([("les", "le", "Lz"), ("grands", "ɡʁɑ̃", "Lz"), ("arbres", "aʁbʁ")], None,
         [("les", "le", [], False), ("grands arbres", "ɡʁɑ̃aʁbʁ", ["liaison_z"], False)]),
    ],
)
def test_construire_groupes(words, options, expected):
    mots = sentence(*words)
    groupes = va.construire_groupes(mots, options)
    assert shape(groupes) == expected
    assert [m for g in groupes for m in g.mots] == mots
    assert all(m is o for m, o in zip((m for g in groupes for m in g.mots), mots))


def test_group_span_runs_from_first_to_last_word():
    mots = sentence(("avec", "avɛk"), ("elle", "ɛl"))
    (groupe,) = va.construire_groupes(mots)
    assert groupe.span == (0, 9)
    bare = [MotAnalyse(None, "avɛk"), MotAnalyse(None, "ɛl")]
    assert va.construire_groupes(bare)[0].span == (0, 0)


def test_liaison_across_words_covers_the_space():
    mots = [MotAnalyse(Tok("les", (0, 3)), "le", "Lz"), MotAnalyse(Tok("enfants", (4, 11)), "ɑ̃fɑ̃")]
    (rg,) = va.syllabifier_groupes(va.construire_groupes(mots))
    assert rg.groupe.jonctions == ["liaison_z"]
    spans = [s.span for s in rg.syllabes]
    assert spans[0][0] == 0 and spans[-1][1] == 11
    assert all(a[1] <= b[1] for a, b in zip(spans, spans[1:]))
    # Each syllable's letters are those of the sentence under its span.
    text = "les enfants"
    for s in rg.syllabes:
        letters = s.ortho.replace("°", "").replace("²", "")
        assert letters.replace("(", "").replace(")", "") in text[s.span[0]:s.span[1]].replace(" ", "")


def test_enchainement_syllables_take_letters_from_both_words():
    mots = sentence(("avec", "avɛk"), ("elle", "ɛl"))
    (rg,) = va.syllabifier_groupes(va.construire_groupes(mots))
    assert [s.phone for s in rg.syllabes] == ["a", "vɛ", "kɛl"]
    assert rg.syllabes[-1].span[0] < 4 < rg.syllabes[-1].span[1]


def test_one_word_group_is_offset_by_its_span():
    mots = [MotAnalyse(Tok("chocolat", (10, 18)), "ʃɔkɔla")]
    (rg,) = va.syllabifier_groupes(va.construire_groupes(mots))
    assert [s.span for s in rg.syllabes] == [(10, 13), (13, 15), (15, 18)]


def test_formula_groups_take_their_reading():
    reading = LectureFormule("deux", [EventFormule("2", "dø", (5, 6))])
    with_reading = GroupeLecture([MotAnalyse(Tok("2", (5, 6)), "dø")], "dø", (5, 6), [], True, reading)
    by_position = GroupeLecture([MotAnalyse(Tok("3", (8, 9)), "tʁwa")], "tʁwa", (8, 9), [], True)
    not_formula = GroupeLecture([MotAnalyse(Tok("a", (10, 11)), "a")], "a", (10, 11))
    other = LectureFormule("trois", [EventFormule("3", "tʁwa", (8, 9))])
    results = va.syllabifier_groupes([with_reading, by_position, not_formula], {1: other, 2: other})
    assert [s.phone for s in results[0].syllabes] == ["dø"]
    assert by_position.lecture is other and [s.ortho for s in results[1].syllabes] == ["3"]
    assert not_formula.lecture is None and [s.phone for s in results[2].syllabes] == ["a"]
    nucleus = results[1].syllabes[0].noyau.phonemes
    assert [(p.ipa, p.grapheme) for p in nucleus] == [("tʁwa", "")]


def test_empty_ipa_group_has_no_syllables():
    g = GroupeLecture([MotAnalyse(Tok("x", (0, 1)), "")], "")
    assert va.syllabifier_groupes([g])[0].syllabes == []
    assert va.syllabifier_groupes([]) == []


def test_inconsistent_reading_is_refused_before_any_result():
    bad = LectureFormule("x", [EventFormule("a", "a", (0, 1)), EventFormule("x", "x", (5, 3))])
    g = GroupeLecture([], "x", (0, 0), [], True, bad)
    with pytest.raises(ValueError) as err:
        va.syllabifier_groupes([g])
    assert str(err.value) == "EventFormule #1 ('x') : span_source incohérent (5, 3) — start > end"


class Step:
    def __init__(self, **kw):
        self.__dict__.update(kw)


@pytest.mark.parametrize(
    "source, expected",
    [
        (object(), LectureFormule("", [])),
        (Step(display_fr="deux", events=[Step(ortho="2", phone="dø")]),
         LectureFormule("deux", [EventFormule("2", "dø", (0, 0), (0, 0))])),
        (Step(events=[Step(span_source=[1, 2])]), LectureFormule("", [EventFormule("", "", [1, 2], (0, 0))])),
    ],
)
def test_lecture_depuis_g2p(source, expected):
    assert va.lecture_depuis_g2p(source) == expected


@pytest.mark.parametrize(
    "spans, error",
    [([], None), ([(3, 3)], None), ([(0, 4), (2, 6)], None), ([(4, 2)], "EventFormule #0 ('s') : "),
     ([(1, 2, 3)], "too many values")],
)
def test_valider_spans_formule(spans, error):
    lecture = LectureFormule("x", [EventFormule("s", "s", sp) for sp in spans])
    if error is None:
        assert va._valider_spans_formule(lecture) is None
    else:
        with pytest.raises(ValueError, match=re.escape(error)):
            va._valider_spans_formule(lecture)


def test_syllabes_depuis_lecture():
    lecture = LectureFormule("douze", [EventFormule("12", "duz", (3, 5))])
    (s,) = va._syllabes_depuis_lecture(lecture)
    assert (s.phone, s.ortho, s.span) == ("duz", "12", (3, 5))
    assert s.attaque.phonemes == [] and s.coda.phonemes == [] and s.noyau.phone == "duz"
