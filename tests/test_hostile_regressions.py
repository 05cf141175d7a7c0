"""Callbacks that change what the library is walking: each case once crashed
the interpreter or silently changed a result. Each call must now return a
consistent result or raise a Python exception."""

from __future__ import annotations

import logging
import subprocess
from unittest import mock

import pytest

from vantro_aligneur import _chargeur
from vantro_aligneur import vantro_aligneur as va


class Boom(Exception):
    pass


class Later:
    """An index that runs `action` when it is read."""

    def __init__(self, value, action):
        self.value, self.action = value, action

    def __index__(self):
        self.action()
        return self.value


def still_works():
    r = va.VantroSyllabeur().analyze("chocolat", "ʃɔkɔla")
    assert [s.phone for s in r.syllabes] == ["ʃɔ", "kɔ", "la"]


@pytest.fixture(autouse=True)
def restore_globals():
    saved = dict(vars(va))
    yield
    for name in [n for n in vars(va) if n not in saved]:
        delattr(va, name)
    vars(va).update(saved)
    still_works()


# ---- sequences emptied while they are read -------------------------------------------

def test_spans_list_emptied_by_an_index():
    spans = []
    spans.extend([(Later(0, spans.clear), 1), (0, 1), (0, 1)])
    assert va._phonemise_alignment(["a", "b", "c"], ["a", "b", "c"], spans) == (["a"], ["a"], [(0, 1)])


@pytest.mark.parametrize("where", ["phonemise", "build_syllabes", "boundaries"])
def test_span_pair_emptied_by_its_first_index(where):
    # The second item lives only in the pair: emptying the pair frees it.
    pair = []
    pair.extend([Later(0, pair.clear), Later(1, lambda: None)])
    if where == "phonemise":
        assert va._phonemise_alignment(["a"], ["a"], [pair]) == (["a"], ["a"], [(0, 1)])
    elif where == "build_syllabes":
        syllabes = va._build_syllabes(["a"], ["a"], ["a"], [pair], 0, True)
        assert [s.span for s in syllabes] == [(0, 1)]
    else:
        bounds = []
        bounds.extend([Later(1, bounds.clear), Later(2, lambda: None), Later(3, lambda: None)])
        va._aligner("abc", "abk", bounds)


def test_words_of_a_group_emptied_by_a_text_property():
    mots = []

    class W:
        def __init__(self, t, s):
            self._t, self.span = t, s

        @property
        def text(self):
            mots.clear()
            return self._t

    mots.extend([W("les", (0, 3)), W("enfants", (4, 11)), W("x", (12, 13))])
    g = va.GroupeLecture(mots=mots, phone_groupe="lezɑ̃fɑ̃x", span=(0, 13))
    (rg,) = va.syllabifier_groupes([g])
    assert "".join(s.phone for s in rg.syllabes) == "lezɑ̃fɑ̃x"


def test_groups_list_emptied_while_a_group_is_syllabified():
    groupes = []

    class W:
        span = (0, 3)

        @property
        def text(self):
            groupes.clear()
            return "les"

    groupes.extend([va.GroupeLecture(mots=[W()], phone_groupe="le", span=(0, 3)) for _ in range(3)])
    assert len(va.syllabifier_groupes(groupes)) == 3


# ---- a compiled table changed by a nested call ---------------------------------------------

OTHER_TABLE = {"a": ["a"], "b": ["b"], "k": ["c"]}


def nested_once(action):
    """A silent-letters accessor that runs `action` once, from inside the outer call."""
    accessor = va._LETTRES_MUETTES_POSSIBLES
    busy = []

    def letters():
        if not busy:
            busy.append(1)
            try:
                action()
            finally:
                busy.clear()
        return accessor()

    return letters


@pytest.mark.parametrize("case", ["alignement_v2", "aligner", "analyze", "syllabifier"])
def test_a_nested_call_with_other_tables_leaves_the_outer_tables(case):
    table = _chargeur.phone_to_graphemes()
    calls = {
        "alignement_v2": lambda: va._alignement_v2("chocolat", "ʃɔkɔla", table),
        "aligner": lambda: va._aligner("chocolat", "ʃɔkɔla"),
        "analyze": lambda: va.VantroSyllabeur().analyze("chocolat", "ʃɔkɔla"),
        "syllabifier": lambda: va.syllabifier_groupes(
            [va.GroupeLecture(mots=[va.MotAnalyse(va.JetonTexte("chocolat", (0, 8)), "ʃɔkɔla")],
                              phone_groupe="ʃɔkɔla", span=(0, 8))]),
    }
    expected = calls[case]()

    def other_tables():
        phone_table, voyelles = va._PHONE_TO_GRAPHEMES, va._VOYELLES
        va._PHONE_TO_GRAPHEMES, va._VOYELLES = (lambda: OTHER_TABLE), (lambda: {"a"})
        try:
            va._alignement_v2("ab", "ab", OTHER_TABLE)
            va._aligner("abc", "abk")
            va.VantroSyllabeur().analyze("abc", "abk")
        finally:
            va._PHONE_TO_GRAPHEMES, va._VOYELLES = phone_table, voyelles

    va._LETTRES_MUETTES_POSSIBLES = nested_once(other_tables)
    assert calls[case]() == expected


# ---- references and slots held across calls into Python ------------------------------------

def test_instance_dict_replaced_while_state_is_restored():
    r = va.Phoneme("a")

    class Key:
        def __hash__(self):
            r.__dict__ = {}
            return 1

        def __eq__(self, other):
            return self is other

    key = Key()
    r.__setstate__({key: 1})
    r.__getstate__()


def test_instance_dict_replaced_while_state_is_read():
    r = va.Phoneme("a")

    class Key:
        def __hash__(self):
            return hash("ipa")

        def __eq__(self, other):
            r.__dict__ = {}
            return False

    r.__dict__[Key()] = 1
    state = r.__getstate__()
    assert state["ipa"] == "a"


def test_phonemizer_freed_while_its_kind_is_checked():
    syllabeur = None

    class P(va.EspeakPhonemizer):
        @property
        def __class__(self):
            del syllabeur._phonemizer
            return va.EspeakPhonemizer

        @property
        def _lang(self):
            raise Boom()

    syllabeur = va.VantroSyllabeur(P())
    with pytest.raises(Boom):
        syllabeur.analyser_texte("Les enfants.")


def test_availability_slot_deleted_by_a_logging_handler():
    phonemizer = va.EspeakPhonemizer()

    class Handler(logging.Handler):
        def emit(self, record):
            del phonemizer._available

    handler = Handler()
    va.logger.addHandler(handler)
    try:
        with mock.patch.object(subprocess, "run", side_effect=FileNotFoundError()):
            assert phonemizer.is_available() is False
    finally:
        va.logger.removeHandler(handler)


def test_phonemizer_slot_deleted_by_the_phonemizer():
    syllabeur = None

    class P:
        def phonemize(self, word):
            del syllabeur._phonemizer
            return "ʃɔkɔla"

    syllabeur = va.VantroSyllabeur(P())
    assert syllabeur.analyze("chocolat").nb_syllabes == 3
    with pytest.raises(AttributeError):
        syllabeur.analyze("chocolat")


def test_phoneme_table_changed_by_a_value_iterator():
    table = dict(_chargeur.phone_to_graphemes())

    class Graphemes:
        def __iter__(self):
            table.clear()
            return iter(["o"])

    table["ɔ"] = Graphemes()
    ph, gr, ok = va._alignement_v2("chocolat", "ʃɔkɔla", table)
    assert len(ph) == len(gr)


# ---- results lists reachable through the collector while they are filled ---------------------

def show_lists_of(kind):
    """What a collection callback can do: find every list of `kind` records and show it."""
    import gc

    for o in gc.get_objects():
        if type(o) is list and o and isinstance(o[0], kind):
            repr(o)


@pytest.mark.parametrize("case", ["analyze_text", "construire_groupes", "syllabifier_groupes"])
def test_results_lists_are_never_seen_half_filled(case):
    if case == "analyze_text":
        class Syllabeur(va.VantroSyllabeur):
            def analyze(self, word, phone=None, **kwargs):
                show_lists_of(va.ResultatAnalyse)
                return super().analyze(word, "ʃa", **kwargs)

        assert len(Syllabeur().analyze_text("chat chat chat")) == 3
        return

    class Token:
        text = "chat"

        @property
        def span(self):
            show_lists_of(va.GroupeLecture if case == "construire_groupes" else va.ResultatGroupe)
            return (0, 4)

    mots = [va.MotAnalyse(Token(), "ʃa") for _ in range(3)]
    groupes = va.construire_groupes(mots)
    if case == "syllabifier_groupes":
        groupes = [va.GroupeLecture([m], "ʃa", (0, 4)) for m in mots]
        assert len(va.syllabifier_groupes(groupes)) == 3
