"""Several threads calling the analyses at once get exactly what serial calls
give: no shared state of the library leaks from one call into another."""

from __future__ import annotations

import copy
import random
import sys
import threading

import pytest

from hot_calls import Lexicon, Token
from vantro_aligneur import _chargeur
from vantro_aligneur import vantro_aligneur as va

THREADS = 4
REAL = [("chocolat", "ʃɔkɔla"), ("homme", "ɔm"), ("pas", "pa"), ("grand-mère", "ɡʁɑ̃mɛʁ"), ("taxi", "taksi"),
        ("examen", "ɛɡzamɛ̃"), ("oiseau", "wazo"), ("Aujourd'hui", "oʒuʁdɥi"), ("extraordinaire", "ɛkstʁaɔʁdinɛʁ"),
        ("fille", "fij"), ("parlent", "paʁl"), ("", ""), ("x", "")]


def generated_pairs(n, seed=3):
    """Words written piece by piece from the table, with their IPA, and some that do not align."""
    rng = random.Random(seed)
    table = [(k, g) for k, gs in _chargeur.phone_to_graphemes().items() for g in gs if "²" not in g]
    pairs = []
    for _ in range(n):
        pieces = [rng.choice(table) for _ in range(rng.randint(1, 7))]
        word, phone = "".join(g for _, g in pieces), "".join(k for k, _ in pieces)
        if rng.random() < 0.2:
            word = word[::-1]  # mostly not alignable: the failure path runs concurrently too
        pairs.append((word, phone))
    return pairs


PAIRS = REAL + generated_pairs(150)


def sentences(n, seed=5):
    rng = random.Random(seed)
    out = []
    for _ in range(n):
        mots, pos = [], 0
        for word, phone in rng.sample(PAIRS, rng.randint(1, 6)):
            liaison = rng.choice(["none", "Lz", "Lt"])
            mots.append(va.MotAnalyse(Token(word, (pos, pos + len(word))), phone, liaison,
                                      ponctuation_avant=rng.random() < 0.1, est_formule=rng.random() < 0.05))
            pos += len(word) + 1
        lectures = {0: va.LectureFormule("un", [va.EventFormule("1", "œ̃", (0, 1))])} if rng.random() < 0.2 else None
        out.append((mots, lectures))
    return out


SENTENCES = sentences(60)


@pytest.fixture(autouse=True)
def frequent_switches():
    """Threads take turns as often as the interpreter allows."""
    old = sys.getswitchinterval()
    sys.setswitchinterval(1e-6)
    yield
    sys.setswitchinterval(old)


def run_in_threads(work, items, rounds=5):
    """Runs `work` on every item in each thread, each thread in its own order; returns {thread: {i: result}}."""
    barrier = threading.Barrier(THREADS)
    results = {t: {} for t in range(THREADS)}
    errors = []

    def body(t):
        order = list(range(len(items))) * rounds
        random.Random(t).shuffle(order)
        barrier.wait()
        try:
            for i in order:
                results[t][i] = work(t, items[i])
        except BaseException as exc:  # noqa: BLE001 - reported by the main thread
            errors.append(exc)

    threads = [threading.Thread(target=body, args=(t,)) for t in range(THREADS)]
    for th in threads:
        th.start()
    for th in threads:
        th.join(timeout=300)
    assert not any(th.is_alive() for th in threads), "a thread never finished"
    assert not errors, errors
    return results


def same_everywhere(results, serial):
    for t in range(THREADS):
        assert results[t] == serial, f"thread {t} differs"


def test_word_analysis_in_threads():
    facade = va.VantroSyllabeur(Lexicon(dict(PAIRS)))

    def work(_t, pair):
        word, phone = pair
        r = facade.analyze(word, phone)
        return r, r.format_detail(), facade.analyze(word).format_simple()

    serial = {i: work(0, p) for i, p in enumerate(PAIRS)}
    same_everywhere(run_in_threads(work, PAIRS), serial)


def test_alignment_and_syllables_in_threads():
    def work(_t, pair):
        word, phone = pair
        return (va._aligner(word, phone), va._aligner(word + " " + word, phone + phone, [len(word)]),
                va._syllabify_ipa(phone), va.iter_phonemes(phone))

    serial = {i: work(0, p) for i, p in enumerate(PAIRS)}
    same_everywhere(run_in_threads(work, PAIRS), serial)


def test_complete_analysis_in_threads():
    facade = va.VantroSyllabeur(Lexicon({}))
    # Each thread gets its own records: the analysis writes into the groups it builds.
    copies = {t: copy.deepcopy(SENTENCES) for t in range(THREADS)}

    def analyse(mots, lectures):
        r = facade.analyser_complet(mots, lectures)
        return r.format_detail(), [[s.span for s in rg.syllabes] for rg in r.groupes]

    def work(t, index):
        return analyse(*copies[t][index])

    serial = {i: analyse(*s) for i, s in enumerate(copy.deepcopy(SENTENCES))}
    same_everywhere(run_in_threads(work, list(range(len(SENTENCES)))), serial)


def test_errors_in_one_thread_leave_the_others_alone():
    """Calls that fail (too long, wrong type, bad reading) between good ones."""
    bad_reading = va.LectureFormule("x", [va.EventFormule("x", "iks", (3, 1))])
    facade = va.VantroSyllabeur(Lexicon(dict(PAIRS)))

    def work(t, pair):
        word, phone = pair
        try:
            if t % 2:
                va._aligner("a" * 5000, phone)
            else:
                va.syllabifier_groupes([va.GroupeLecture(est_formule=True)], {0: bad_reading})
        except ValueError:
            pass
        return facade.analyze(word, phone).format_detail()

    serial = {i: work(0, p) for i, p in enumerate(PAIRS)}
    same_everywhere(run_in_threads(work, PAIRS), serial)
