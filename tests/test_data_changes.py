"""Changes to the shared tables are seen by the very next call.

The main module keeps compiled forms of the loader's tables between calls;
whatever a caller changes (an item of a list, a set, the document itself, a
rebound data name) must show in the next result, and undoing the change must
give back the first result.
"""

import gc

import pytest

import vantro_aligneur.vantro_aligneur as va
from vantro_aligneur import _chargeur

DOC = _chargeur._charger()


@pytest.fixture
def restore_tables():
    """Puts every list, set and dict of the loader back as it was, in place."""
    table = DOC["phone_to_graphemes"]
    saved_table = {k: list(v) for k, v in table.items()}
    saved_silent = list(DOC["lettres_muettes_possibles"])
    saved_liaisons = dict(DOC["liaison_consonnes"])
    sets = [va._VOYELLES(), va._CONSONNES(), va._SEMI_VOYELLES(), *(getattr(va._SONORITY, c) for c in "ONLYV")]
    saved_sets = [set(s) for s in sets]
    yield
    for key in list(table):
        if key not in saved_table:
            del table[key]
    for key, graphemes in saved_table.items():
        table.setdefault(key, [])[:] = graphemes
    DOC["lettres_muettes_possibles"][:] = saved_silent
    DOC["liaison_consonnes"].clear()
    DOC["liaison_consonnes"].update(saved_liaisons)
    for s, saved in zip(sets, saved_sets):
        s.clear()
        s.update(saved)


def spelled(word, phone):
    """The graphemes of the alignment, or None when there is none."""
    _, graphemes, _, ok = va._aligner(word, phone)
    return graphemes if ok else None


def analyzed(word, phone):
    """The same through the facade: the letters of each syllable."""
    result = va.VantroSyllabeur(phonemizer=_NoPhonemizer()).analyze(word, phone)
    return [s.ortho for s in result.syllabes]


class _NoPhonemizer:
    def phonemize(self, word):
        raise AssertionError("no phonemizer call expected")


# ---- the phoneme table ---------------------------------------------------------------

# Each step changes the table returned by phone_to_graphemes() and says how
# "q" then aligns with the phoneme "§" (absent from the real table).
TABLE_STEPS = [
    ("add a key", lambda t: t.__setitem__("§", ["k"]), None),
    ("append to its list", lambda t: t["§"].append("q"), ["q"]),
    ("replace an item, same length", lambda t: t["§"].__setitem__(1, "w"), None),
    ("insert in front", lambda t: t["§"].insert(0, "q"), ["q"]),
    ("remove an item", lambda t: t["§"].remove("q"), None),
    ("bind a new list", lambda t: t.__setitem__("§", ["q"]), ["q"]),
    ("extend a list to a longer one", lambda t: t["§"].extend(["qq", "k"]), ["q"]),
    ("clear the list", lambda t: t["§"].clear(), None),
    ("a tuple instead of a list", lambda t: t.__setitem__("§", ("q",)), ["q"]),
    ("delete the key", lambda t: t.__delitem__("§"), None),
]


def test_every_change_to_the_table_is_seen(restore_tables):
    table = va._PHONE_TO_GRAPHEMES()
    assert spelled("q", "§") is None
    for name, change, expected in TABLE_STEPS:
        change(table)
        assert spelled("q", "§") == expected, name
        assert (analyzed("q", "§") == ["q"]) == (expected is not None), name


def test_a_changed_grapheme_in_a_real_list_is_seen(restore_tables):
    table = va._PHONE_TO_GRAPHEMES()
    assert spelled("chat", "ʃa") == ["ch", "at°"]
    position = table["ʃ"].index("ch")
    table["ʃ"][position] = "xh"  # same length: only the item differs
    assert spelled("chat", "ʃa") is None and spelled("xhat", "ʃa") == ["xh", "at°"]
    table["ʃ"][position] = "ch"
    assert spelled("chat", "ʃa") == ["ch", "at°"]


def test_a_new_document_member_and_a_rebound_name_are_seen(restore_tables, monkeypatch):
    other = {k: list(v) for k, v in DOC["phone_to_graphemes"].items()}
    other["§"] = ["q"]
    monkeypatch.setitem(DOC, "phone_to_graphemes", other)
    assert va._PHONE_TO_GRAPHEMES() is other and spelled("q", "§") == ["q"]
    monkeypatch.undo()
    assert spelled("q", "§") is None
    calls = []
    monkeypatch.setattr(va, "_PHONE_TO_GRAPHEMES", lambda: calls.append(1) or other)
    assert spelled("q", "§") == ["q"] and analyzed("q", "§") == ["q"]
    assert len(calls) == 2  # a rebound name is called at every use
    monkeypatch.undo()
    assert spelled("q", "§") is None


# ---- letters that may be silent ------------------------------------------------------

SILENT_STEPS = [
    # (change to the document's list, is "lah" / "la" aligned afterwards)
    ("remove h", lambda s: s.remove("h"), False),
    ("put h back at the end", lambda s: s.append("h"), True),
    ("replace h by x, same length", lambda s: s.__setitem__(s.index("h"), "x"), False),
    ("replace x by h", lambda s: s.__setitem__(s.index("x"), "h"), True),
    ("empty the list", lambda s: s.clear(), False),
    ("only h", lambda s: s.append("h"), True),
]


def test_every_change_to_the_silent_letters_is_seen(restore_tables):
    silent = DOC["lettres_muettes_possibles"]
    assert spelled("lah", "la") == ["l", "ah°"]
    for name, change, aligned in SILENT_STEPS:
        change(silent)
        assert (spelled("lah", "la") is not None) == aligned, name
        assert va._LETTRES_MUETTES_POSSIBLES() == set(silent), name


def test_silent_letters_from_a_new_member_or_another_accessor(restore_tables, monkeypatch):
    monkeypatch.setitem(DOC, "lettres_muettes_possibles", ["t"])
    assert spelled("lah", "la") is None and spelled("lat", "la") == ["l", "at°"]
    monkeypatch.undo()
    assert spelled("lah", "la") == ["l", "ah°"]
    monkeypatch.setattr(va, "_LETTRES_MUETTES_POSSIBLES", lambda: {"t"})
    assert spelled("lah", "la") is None
    monkeypatch.setattr(va, "_LETTRES_MUETTES_POSSIBLES", lambda: {"h", "t"})
    assert spelled("lah", "la") == ["l", "ah°"]


# ---- phoneme sets and sonority classes -----------------------------------------------


def test_a_vowel_swapped_for_another_is_seen(restore_tables):
    vowels = va._VOYELLES()
    assert va.est_voyelle("a") and not va.est_voyelle("§")
    # Same number of items, and the new one may land in the freed slot.
    vowels.discard("a")
    vowels.add("§")
    assert not va.est_voyelle("a") and va.est_voyelle("§")
    vowels.discard("§")
    vowels.add("a")
    assert va.est_voyelle("a") and not va.est_voyelle("§")


@pytest.mark.parametrize("how", ["change the set", "bind new classes"])
def test_sonority_changes_are_seen(restore_tables, monkeypatch, how):
    assert va._syllabify_ipa("paʁti") == ["paʁ", "ti"]
    if how == "change the set":
        va._SONORITY.L.discard("ʁ")
        va._SONORITY.O.add("ʁ")
    else:
        c = va._SONORITY
        monkeypatch.setattr(va, "_SONORITY", va._SonorityClasses(c.O | {"ʁ"}, c.N, c.L - {"ʁ"}, c.Y, c.V))
    # An obstruent before another obstruent: the cut falls between them.
    assert va._syllabify_ipa("paʁti") == ["paʁ", "ti"]
    assert va._syllabify_ipa("apʁa") == ["ap", "ʁa"]
    assert va.VantroSyllabeur(_NoPhonemizer()).syllabify_ipa("apʁa") == ["ap", "ʁa"]
    monkeypatch.undo()
    if how == "change the set":
        va._SONORITY.O.discard("ʁ")
        va._SONORITY.L.add("ʁ")
    assert va._syllabify_ipa("apʁa") == ["a", "pʁa"]


def test_liaison_table_changes_are_seen(restore_tables):
    class Tok:
        def __init__(self, text):
            self.text, self.span = text, (0, len(text))

    mots = [va.MotAnalyse(Tok("les"), "le", "Lz"), va.MotAnalyse(Tok("amis"), "ami")]
    assert va.construire_groupes(mots)[0].jonctions == ["liaison_z"]
    va._LIAISON_CONSONNES()["Lz"] = "s"
    assert va.construire_groupes(mots)[0].jonctions == ["liaison_s"]
    del va._LIAISON_CONSONNES()["Lz"]
    assert len(va.construire_groupes(mots)) == 2


# ---- a word analysed while another is being built ------------------------------------


def test_analysis_inside_a_collection_during_an_analysis():
    s = va.VantroSyllabeur(_NoPhonemizer())
    expected_outer = s.analyze("chocolaterie", "ʃɔkɔlatʁi")
    expected_inner = s.analyze("bibliothèque", "biblijɔtɛk")
    inner = []

    class Reanalyse:
        def __del__(self):
            inner.append(s.analyze("bibliothèque", "biblijɔtɛk"))

    threshold = gc.get_threshold()
    try:
        for _ in range(20):
            a, b = Reanalyse(), Reanalyse()
            a.other, b.other = b, a  # a cycle: only a collection frees it
            del a, b
            gc.set_threshold(1)  # collect at (nearly) every allocation of the next call
            outer = s.analyze("chocolaterie", "ʃɔkɔlatʁi")
            gc.set_threshold(*threshold)
            assert outer == expected_outer
    finally:
        gc.set_threshold(*threshold)
    gc.collect()
    assert inner and all(r == expected_inner for r in inner)


# ---- the word analysis, whose sets are checked on the questions it asked --------------


def chained(word, phone):
    """The analysis by its three stages, each of which reads the sets whole."""
    dec_ph, dec_gr, dec_spans, ok = va._aligner(word, phone)
    syllabes = va._build_syllabes(va._syllabify_ipa(phone), dec_ph, dec_gr, dec_spans, 0, ok)
    return va.ResultatAnalyse(word, phone, syllabes)


# Words with one-code-point tokens, a nasal vowel (a token of two code points
# whose first one decides) and a cluster whose cut depends on the classes.
CHECKED_WORDS = [("chat", "ʃa"), ("banc", "bɑ̃"), ("âpre", "apʁ"), ("apra", "apʁa"), ("partir", "paʁtiʁ"),
                 ("rose", "ʁoz"), ("pied", "pje"), ("lundi", "lœ̃di")]


def sonority(cls):
    return lambda: getattr(va._SONORITY, cls)


# Each change is made after one analysis of every word has been compiled and
# checked, so a stale classifier would show.
SET_CHANGES = [
    ("a vowel taken out", va._VOYELLES, lambda s: s.discard("a")),
    ("the vowel under a nasal one taken out", va._VOYELLES, lambda s: s.discard("ɑ")),
    ("a nasal vowel of its own", va._VOYELLES, lambda s: (s.discard("œ"), s.add("œ̃"))),
    ("a vowel swapped for another", va._VOYELLES, lambda s: (s.discard("o"), s.add("§"))),
    ("a semi-vowel taken out", va._SEMI_VOYELLES, lambda s: s.discard("j")),
    ("a liquid made an obstruent", sonority("L"), lambda s: s.discard("ʁ")),
    ("an obstruent made a liquid", sonority("O"), lambda s: s.discard("p")),
    ("a class emptied", sonority("V"), set.clear),
    ("a set grown", sonority("N"), lambda s: s.update({"ʁ", "ʃ"})),
    ("a change no word asks about", va._VOYELLES, lambda s: s.discard("y")),
]


@pytest.mark.parametrize("what, get, change", SET_CHANGES, ids=[c[0] for c in SET_CHANGES])
def test_analyze_sees_every_set_change(restore_tables, what, get, change):
    s = va.VantroSyllabeur(_NoPhonemizer())
    before = [s.analyze(w, p) for w, p in CHECKED_WORDS]
    assert before == [chained(w, p) for w, p in CHECKED_WORDS]
    change(get())
    assert [s.analyze(w, p) for w, p in CHECKED_WORDS] == [chained(w, p) for w, p in CHECKED_WORDS]
    get().clear()  # and then emptied: the fixture fills it again
    assert [s.analyze(w, p) for w, p in CHECKED_WORDS] == [chained(w, p) for w, p in CHECKED_WORDS]


def test_analyze_with_sets_that_are_not_sets(restore_tables, monkeypatch):
    vowels = sorted(va._VOYELLES() - {"a"})
    monkeypatch.setattr(va, "_VOYELLES", lambda: vowels)  # a list: read whole at every call
    s = va.VantroSyllabeur(_NoPhonemizer())
    assert [s.analyze(w, p) for w, p in CHECKED_WORDS] == [chained(w, p) for w, p in CHECKED_WORDS]
    vowels.append("a")
    assert [s.analyze(w, p) for w, p in CHECKED_WORDS] == [chained(w, p) for w, p in CHECKED_WORDS]
