"""What the bindings keep between calls is checked without trusting the caller.

Module globals, the logger's level and the shared sets are remembered from
one call to the next; every change made in between must show in the next
call, the checks must run none of the caller's code, and records handed out
again after dying must be as good as new.
"""

import gc
import logging
import sys
import tracemalloc
import weakref

import pytest

import vantro_aligneur.vantro_aligneur as va

LOGGER = "vantro_aligneur.vantro_aligneur"


class Refusing:
    def phonemize(self, word):
        raise AssertionError("no phonemizer call expected")


def analyze():
    return va.VantroSyllabeur(Refusing()).analyze("chat", "ʃa")


# ---- the logger's level, as logging itself decides it --------------------------------


class Collect(logging.Handler):
    def __init__(self):
        super().__init__(logging.NOTSET)
        self.messages = []

    def emit(self, record):
        self.messages.append(record.getMessage())


@pytest.fixture
def logging_state():
    """The module's logger with a collecting handler; every level put back afterwards."""
    logger = va.logger
    parent, root = logging.getLogger("vantro_aligneur"), logging.getLogger()
    saved = (logger.level, parent.level, root.level, logger.disabled, logging.root.manager.disable)
    handler = Collect()
    logger.addHandler(handler)
    yield logger, parent, root, handler
    logger.removeHandler(handler)
    logger.setLevel(saved[0])
    parent.setLevel(saved[1])
    root.setLevel(saved[2])
    logger.disabled = saved[3]
    logging.disable(saved[4])


# Applied in this order, each followed by one analysis: whether its debug
# line is written. Each step undoes nothing, so a stale answer shows.
LOG_STEPS = [
    ("root at WARNING", lambda lg, parent, root: root.setLevel(logging.WARNING), False),
    ("the logger at DEBUG", lambda lg, parent, root: lg.setLevel(logging.DEBUG), True),
    ("the logger at INFO", lambda lg, parent, root: lg.setLevel(logging.INFO), False),
    ("the logger unset, its parent at DEBUG",
     lambda lg, parent, root: (lg.setLevel(logging.NOTSET), parent.setLevel(logging.DEBUG)), True),
    ("the parent unset, root still at WARNING", lambda lg, parent, root: parent.setLevel(logging.NOTSET), False),
    ("root at DEBUG", lambda lg, parent, root: root.setLevel(logging.DEBUG), True),
    ("logging disabled up to DEBUG", lambda lg, parent, root: logging.disable(logging.DEBUG), False),
    ("logging enabled again", lambda lg, parent, root: logging.disable(logging.NOTSET), True),
    ("the logger disabled", lambda lg, parent, root: setattr(lg, "disabled", True), False),
    ("the logger enabled", lambda lg, parent, root: setattr(lg, "disabled", False), True),
]


def test_each_change_of_level_is_seen_by_the_next_call(logging_state):
    logger, parent, root, handler = logging_state
    for what, step, written in LOG_STEPS:
        handler.messages.clear()
        step(logger, parent, root)
        analyze()
        assert (handler.messages == ["analyze() word='chat' phone='ʃa'"]) == written, what


# ---- module globals -------------------------------------------------------------------


def make_logger(name):
    logger = logging.Logger(name, logging.DEBUG)
    handler = Collect()
    logger.addHandler(handler)
    return logger, handler


def test_rebound_and_deleted_globals_are_seen(monkeypatch):
    original = va.logger
    first, first_seen = make_logger("first")
    second, second_seen = make_logger("second")
    monkeypatch.setattr(va, "logger", first)
    analyze()
    assert len(first_seen.messages) == 1
    # The first logger dies here: nothing may still point at it.
    va.logger = second
    del first
    gc.collect()
    analyze()
    assert len(second_seen.messages) == 1 and len(first_seen.messages) == 1
    # Many new names move the module's table; the binding must still be found.
    for i in range(200):
        setattr(va, f"_scratch_{i}", i)
    try:
        analyze()
        assert len(second_seen.messages) == 2
    finally:
        for i in range(200):
            delattr(va, f"_scratch_{i}")
    del va.logger
    with pytest.raises(NameError, match="'logger'"):
        analyze()
    va.__dict__.update(logger=second)
    analyze()
    assert len(second_seen.messages) == 3
    va.logger = original


# ---- the shared sets --------------------------------------------------------------------


class CountingSet(set):
    """A set that counts the calls of its Python-level iteration."""

    iterations = 0

    def __iter__(self):
        CountingSet.iterations += 1
        return super().__iter__()


class LoudStr(str):
    """A str that counts every comparison and hash made of it."""

    calls = 0

    def __hash__(self):
        LoudStr.calls += 1
        return str.__hash__(self)

    def __eq__(self, other):
        LoudStr.calls += 1
        return str.__eq__(self, other)


def test_sets_are_read_from_their_table_not_through_the_callers_code(monkeypatch):
    c = va._SONORITY
    obstruents, liquids = CountingSet(c.O), CountingSet(c.L)
    monkeypatch.setattr(va, "_SONORITY", va._SonorityClasses(obstruents, c.N, liquids, c.Y, c.V))
    CountingSet.iterations = 0
    assert va._syllabify_ipa("apʁa") == ["a", "pʁa"]
    set.discard(liquids, "ʁ")
    set.add(obstruents, "ʁ")
    assert va._syllabify_ipa("apʁa") == ["ap", "ʁa"]
    assert va._syllabify_ipa("apʁa") == ["ap", "ʁa"]
    assert CountingSet.iterations == 0


def test_no_item_of_a_set_is_hashed_or_compared_by_the_checks():
    vowels = va._VOYELLES()
    loud = LoudStr("§")
    vowels.add(loud)
    try:
        LoudStr.calls = 0
        for _ in range(3):
            assert va.est_voyelle("§") and va.est_voyelle("a")
        assert LoudStr.calls == 0
    finally:
        vowels.discard("§")
    assert not va.est_voyelle("§")


@pytest.mark.parametrize("rounds", [1, 40])
def test_an_item_taken_out_and_put_back_is_seen_each_time(rounds):
    vowels = va._VOYELLES()
    for _ in range(rounds):
        vowels.discard("a")
        assert not va.est_voyelle("a")
        vowels.add("a")
        assert va.est_voyelle("a")


# ---- records handed out again -----------------------------------------------------------


def many_results(n=400):
    s = va.VantroSyllabeur(Refusing())
    return [s.analyze("chocolat", "ʃɔkɔla") for _ in range(n)]


def test_records_made_again_from_dead_ones_are_as_new():
    gc.collect()  # empties the free lists
    fresh = va.VantroSyllabeur(Refusing()).analyze("chocolat", "ʃɔkɔla")
    fresh_refs = sys.getrefcount(fresh.syllabes[0])
    dead = many_results()
    watchers = []
    for r in dead:
        r.note = "left behind"
        r.syllabes[0].note = "left behind"
        watchers.append(weakref.ref(r))
    del dead, r
    assert all(w() is None for w in watchers)
    again = many_results(50)
    for r in again:
        assert "note" not in vars(r) and "note" not in vars(r.syllabes[0])
        assert gc.is_tracked(r) and gc.is_tracked(r.syllabes[0])
        refs = sys.getrefcount(r.syllabes[0])
        assert refs == fresh_refs
        assert r.format_simple() == fresh.format_simple()
    w = weakref.ref(again[0])
    del again, r
    assert w() is None


@pytest.mark.skipif(sys.version_info < (3, 13), reason="no public hook tells the allocation tracer before 3.13")
def test_a_record_made_again_is_traced_where_it_was_made():
    tracemalloc.start()
    try:
        gc.collect()  # empties the free lists: what fills them now is traced
        many_results()  # made in many_results, dropped into the free lists
        line = sys._getframe().f_lineno + 1
        result = va.VantroSyllabeur(Refusing()).analyze("chocolat", "ʃɔkɔla")
        traceback = tracemalloc.get_object_traceback(result)
    finally:
        tracemalloc.stop()
    assert traceback is not None
    assert (traceback[0].filename, traceback[0].lineno) == (__file__, line)


# ---- what a call holds is given back ----------------------------------------------------


def table_objects():
    c = va._SONORITY
    return [va._VOYELLES(), va._CONSONNES(), va._SEMI_VOYELLES(), c.O, c.N, c.L, c.Y, c.V, va._PHONE_TO_GRAPHEMES()]


# One-code-point tokens, a nasal vowel (a token the checks make a str for), a
# word whose alignment fails.
HELD_WORDS = [("chat", "ʃa"), ("banc", "bɑ̃"), ("lundi", "lœ̃di"), ("xyz", "ʃɔkɔla")]


def test_analyze_gives_back_every_reference_it_takes():
    s = va.VantroSyllabeur(Refusing())
    for w, p in HELD_WORDS:
        s.analyze(w, p)  # first calls compile and keep what they compile
    tables = table_objects()
    before = [sys.getrefcount(t) for t in tables]
    letter = "a"
    letter_refs = sys.getrefcount(letter)
    for _ in range(200):
        for w, p in HELD_WORDS:
            s.analyze(w, p)
    assert [sys.getrefcount(t) for t in tables] == before
    assert sys.getrefcount(letter) == letter_refs
