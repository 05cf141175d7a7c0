"""The word pipeline against the slow reference model, on real French words.

The (word, IPA) pairs come from espeak-ng's French voice, called in-process
over a fixed sample of the system word list, so the inputs carry what the
analyser really meets: length marks, nasal vowels, compound consonants,
hyphens and apostrophes in the words. Each stage is compared on its own
(syllabifier, constituents, alignment, syllable builder) and then the whole
word analysis and the two reading-group stages, field by field. Random
inputs (hypothesis) then reach the corners that real words do not.
"""

from __future__ import annotations

import os
import random
import sys
from dataclasses import dataclass

import pytest
from hypothesis import HealthCheck, example, given, settings
from hypothesis import strategies as st

import reference_pipeline as ref
from vantro_aligneur import _chargeur
from vantro_aligneur import vantro_aligneur as va

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "scripts"))
import espeak_inprocess  # noqa: E402
from project_data import WORDLIST, read_words  # noqa: E402

WORD_STEP = 70        # about 4,900 words: every stage but the search
SEARCH_STEP = 2       # of those, every second one goes through the reference search too
SENTENCES = 300
MISMATCHES_SHOWN = 8

TABLES = ref.default_tables()


# ---- corpus -------------------------------------------------------------------------


@pytest.fixture(scope="module")
def corpus() -> list[tuple[str, str]]:
    if not WORDLIST.exists():
        pytest.skip("no system French word list")
    if not espeak_inprocess.available("fr"):
        pytest.skip("libespeak-ng with a French voice is not available")
    words = read_words()
    return [(w, espeak_inprocess.phonemize(w)[0]) for w in words[::WORD_STEP]]


class RefusingPhonemizer:
    """Every pronunciation is given by the test: asking for one is a fault."""

    def phonemize(self, word):
        raise AssertionError(f"phonemizer called for {word!r}")


def plain_syllable(s: va.Syllabe) -> ref.Syllable:
    def group(g):
        return [(p.ipa, p.grapheme) for p in g.phonemes]

    return (s.phone, s.ortho, tuple(s.span), group(s.attaque), group(s.noyau), group(s.coda))


def plain_alignment(al) -> tuple:
    ph, gr, spans, ok = al
    return (list(ph), list(gr), [tuple(sp) for sp in spans], ok)


def assert_no_mismatch(mismatches: list, what: str) -> None:
    if mismatches:
        shown = "\n".join(f"  input {inp!r}\n    library   {lib!r}\n    reference {r!r}"
                          for inp, lib, r in mismatches[:MISMATCHES_SHOWN])
        pytest.fail(f"{len(mismatches)} {what} differ from the reference:\n{shown}")


# ---- tables -----------------------------------------------------------------------------


def test_reference_reads_the_same_classes():
    assert TABLES.voyelles == _chargeur.voyelles()
    assert TABLES.consonnes == _chargeur.consonnes()
    assert TABLES.semi_voyelles == _chargeur.semi_voyelles()
    classes = ref.build_sonority_classes(TABLES)
    for name in ("O", "N", "L", "Y", "V"):
        assert getattr(va._SONORITY, name) == set(getattr(classes, name)), name


# ---- one stage at a time ----------------------------------------------------------------


def test_syllables_and_constituents(corpus):
    mismatches = []
    for word, phone in corpus:
        lib, r = va._syllabify_ipa(phone), ref.syllabify_ipa(phone, TABLES)
        if lib != r:
            mismatches.append(((word, phone), lib, r))
        for syll in r:
            lib_parts, r_parts = va._decouper_syllabe(syll), ref.decouper_syllabe(syll, TABLES)
            if lib_parts != r_parts:
                mismatches.append((syll, lib_parts, r_parts))
    assert_no_mismatch(mismatches, "syllabifications")


def test_alignment(corpus):
    align = ref.reference_aligner(TABLES)
    mismatches = []
    for word, phone in corpus[::SEARCH_STEP]:
        lib, r = plain_alignment(va._aligner(word, phone)), align(word, phone)
        if lib != r:
            mismatches.append(((word, phone), lib, r))
    assert_no_mismatch(mismatches, "alignments")


def test_syllable_builder_on_real_alignments(corpus):
    """Builder alone: both sides get the library's syllables and alignment."""
    mismatches = []
    for n, (word, phone) in enumerate(corpus):
        sylls = va._syllabify_ipa(phone)
        dec_ph, dec_gr, dec_spans, ok = plain_alignment(va._aligner(word, phone))
        offset = n % 23
        # Every fifth word also as a failed alignment: syllables without letters.
        for flag in (ok, False) if n % 5 == 0 else (ok,):
            lib = [plain_syllable(s) for s in va._build_syllabes(sylls, dec_ph, dec_gr, dec_spans, offset, flag)]
            r = ref.build_syllabes(sylls, dec_ph, dec_gr, dec_spans, offset, flag, TABLES)
            if lib != r:
                mismatches.append(((word, phone, dec_gr, offset, flag), lib, r))
    assert_no_mismatch(mismatches, "syllable lists")


def test_word_analysis(corpus):
    syllabeur = va.VantroSyllabeur(phonemizer=RefusingPhonemizer())
    mismatches = []
    for n, (word, phone) in enumerate(corpus[::SEARCH_STEP]):
        # Some words capitalised: the letters keep the caller's case.
        word = word.capitalize() if n % 9 == 0 else word.upper() if n % 9 == 1 else word
        res = syllabeur.analyze(word, phone)
        lib = (res.mot, res.phone, [plain_syllable(s) for s in res.syllabes])
        r = ref.analyze(word, phone, TABLES)
        if lib != r:
            mismatches.append(((word, phone), lib, r))
    assert_no_mismatch(mismatches, "word analyses")


# ---- reading groups on synthetic sentences -------------------------------------------------

ELIDED = [("l'", "l"), ("d'", "d"), ("qu'", "k"), ("j'", "ʒ"), ("n'", "n"), ("s'", "s"), ("c'", "s"),
          ("jusqu'", "ʒysk"), ("l’", "l"), ("d’", "d")]
LIAISONS = ["none", "none", "none", "Lz", "Lt", "Ln", "Lq", ""]
PUNCTUATION = [", ", "; ", ". ", " : ", " ! ", " (", " « "]


@dataclass
class Tok:
    text: str
    span: tuple


def random_sentence(rng: random.Random, words: list[tuple[str, str]]) -> list[dict]:
    """Word dicts laid out in a text: spaces, punctuation, elisions glued on."""
    picks = []
    for _ in range(rng.randint(1, 7)):
        if rng.random() < 0.2:
            picks.append(rng.choice(ELIDED))
        picks.append(rng.choice(words))
    out, pos = [], 0
    for k, (text, phone) in enumerate(picks):
        ponct = k > 0 and rng.random() < 0.15
        if rng.random() < 0.02:
            # A word without a token: no text, span (0, 0).
            text, span = "", (0, 0)
        else:
            if k > 0:
                glued = out[-1]["text"][-1:] in ("'", "’") and not ponct and rng.random() < 0.8
                sep = rng.choice(PUNCTUATION) if ponct else ("" if glued else " ")
                pos += len(sep)
            span = (pos, pos + len(text))
            pos += len(text)
        out.append({
            "text": text, "span": span, "phone": phone,
            "liaison": rng.choice(LIAISONS),
            "ponctuation_avant": ponct,
            "elision_avant": rng.random() < 0.05,
            "est_formule": rng.random() < 0.03,
        })
    return out


def to_mots(sentence: list[dict]) -> list[va.MotAnalyse]:
    return [va.MotAnalyse(Tok(w["text"], w["span"]) if w["text"] else None, w["phone"], w["liaison"],
                          ponctuation_avant=w["ponctuation_avant"], elision_avant=w["elision_avant"],
                          est_formule=w["est_formule"]) for w in sentence]


def group_fields(positions, texts, phone_groupe, span, jonctions, est_formule) -> tuple:
    return (positions, texts, phone_groupe, tuple(span), list(jonctions), est_formule)


@pytest.fixture(scope="module")
def sentences(corpus):
    rng = random.Random(20240611)
    # Short words keep the groups within reach of the reference search.
    words = [(w, p) for w, p in corpus if 0 < len(ref.iter_phonemes(p)) <= 7]
    out = []
    for _ in range(SENTENCES):
        flags = [rng.random() < 0.8 for _ in range(3)]
        out.append((random_sentence(rng, words), flags))
    return out


def test_group_builder(sentences):
    mismatches = []
    for sentence, (elisions, liaisons, enchainement) in sentences:
        mots = to_mots(sentence)
        options = va.OptionsGroupes(elisions, liaisons, enchainement)
        lib_groups = va.construire_groupes(mots, options)
        ids = {id(m): k for k, m in enumerate(mots)}
        lib = [group_fields([ids.get(id(m)) for m in g.mots], [m.text for m in g.mots], g.phone_groupe, g.span,
                            g.jonctions, g.est_formule) for g in lib_groups]
        r_groups = ref.construire_groupes(sentence, elisions, liaisons, enchainement, TABLES)
        positions = {id(w): k for k, w in enumerate(sentence)}
        r = [group_fields([positions[id(w)] for w in g["mots"]], [w["text"] for w in g["mots"]], g["phone_groupe"],
                          g["span"], g["jonctions"], g["est_formule"]) for g in r_groups]
        if lib != r:
            mismatches.append(((sentence, (elisions, liaisons, enchainement)), lib, r))
    assert_no_mismatch(mismatches, "group lists")


def test_group_syllabifier(sentences):
    """E2 on the reference's groups, handed to the library as records."""
    mismatches = []
    for sentence, (elisions, liaisons, enchainement) in sentences:
        r_groups = ref.construire_groupes(sentence, elisions, liaisons, enchainement, TABLES)
        mots = to_mots(sentence)
        by_id = {id(w): m for w, m in zip(sentence, mots)}
        lib_groups = [va.GroupeLecture([by_id[id(w)] for w in g["mots"]], g["phone_groupe"], g["span"],
                                       list(g["jonctions"]), g["est_formule"]) for g in r_groups]
        results = va.syllabifier_groupes(lib_groups)
        assert [res.groupe for res in results] == lib_groups
        assert all(res.groupe is g for res, g in zip(results, lib_groups))
        lib = [[plain_syllable(s) for s in res.syllabes] for res in results]
        r = ref.syllabifier_groupes(r_groups, TABLES)
        for g, lib_sylls, r_sylls in zip(r_groups, lib, r):
            if lib_sylls != r_sylls:
                inp = ([(w["text"], w["span"]) for w in g["mots"]], g["phone_groupe"])
                mismatches.append((inp, lib_sylls, r_sylls))
    assert_no_mismatch(mismatches, "group syllabifications")


# ---- generated inputs -------------------------------------------------------------------

SYMBOLS = sorted(TABLES.alphabet) + ["s", "ʁ", "t", "ʃ", "d", "ʒ", "ɡ", "z", "ˈ", "ː", "-", " ", "?"]
CONSONANTS = ["s", "s", "p", "t", "k", "ʃ", "ʒ", "d", "ɡ", "z", "ʁ", "l", "m", "n", "ɲ", "j", "w", "ɥ", "ˈ", "ː", "ts", "tʃ"]
MARKS = ["\u0303", "\u0361", "\u0329", "\u20dd"]
ipa_pieces = st.one_of(st.sampled_from(SYMBOLS), st.sampled_from(CONSONANTS), st.sampled_from(MARKS))
ipa = st.lists(ipa_pieces, max_size=14).map("".join)
syllable = st.lists(st.sampled_from(SYMBOLS + CONSONANTS + ["a", "ɛ̃"]), max_size=5).map("".join)
grapheme = st.one_of(
    st.sampled_from(["", "²", "°", "a", "x", "x²", "l²", "e°", "h°o", "ch", "²°", "é"]),
    st.lists(st.sampled_from(["a", "e", "x", "l", "h", "é", "ch", "°", "²"]), max_size=3).map("".join),
)
span = st.tuples(st.integers(-2, 14), st.integers(-2, 14))
aligned = st.lists(st.tuples(ipa_pieces, grapheme, span), max_size=14)
examples = settings(max_examples=400, deadline=None, suppress_health_check=[HealthCheck.too_slow])


@examples
@given(ipa)
def test_generated_syllabification(phone):
    assert va._syllabify_ipa(phone) == ref.syllabify_ipa(phone, TABLES)
    assert va._decouper_syllabe(phone) == ref.decouper_syllabe(phone, TABLES)


@examples
@given(st.lists(st.sampled_from(CONSONANTS + SYMBOLS), max_size=8), st.booleans())
def test_generated_cluster_split(cluster, s_liquid):
    classes = ref.build_sonority_classes(TABLES)
    assert (va._split_central_cluster(cluster, va._SONORITY, s_liquid_in_attack=s_liquid)
            == ref.split_central_cluster(cluster, classes, TABLES, s_liquid))


@examples
@given(st.lists(syllable, max_size=6), aligned, st.integers(-5, 1000), st.booleans())
# taxi cut as tak.si: the shared x bridges back into the first syllable
@example(["tak", "si"], [("t", "t", (0, 1)), ("a", "a", (1, 2)), ("k", "x", (2, 3)), ("s", "x²", (2, 3)),
                         ("i", "i", (3, 4))], 0, True)
# a bridge that ends before the previous syllable does leaves its span alone
@example(["ab", "ba"], [("a", "a", (0, 1)), ("b", "bb", (1, 3)), ("b", "b²", (1, 2)), ("a", "a", (3, 4))], 0, True)
# a shared letter alone, at a syllable start and after a silent-only grapheme
@example(["ba", "ta"], [("b", "b", (0, 1)), ("a", "a", (1, 2)), ("t", "²", (2, 2)), ("a", "a", (2, 3))], 4, True)
@example(["pat"], [("p", "p", (0, 1)), ("a", "°", (1, 1)), ("t", "²", (1, 1))], 0, True)
def test_generated_syllable_builder(syll_phones, entries, offset, ok):
    dec_ph = [e[0] for e in entries]
    dec_gr = [e[1] for e in entries]
    dec_spans = [e[2] for e in entries]
    lib = [plain_syllable(s) for s in va._build_syllabes(syll_phones, dec_ph, dec_gr, dec_spans, offset, ok)]
    assert lib == ref.build_syllabes(syll_phones, dec_ph, dec_gr, dec_spans, offset, ok, TABLES)
