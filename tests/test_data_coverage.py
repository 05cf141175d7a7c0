"""Alignment coverage of the data file on real French words.

A fixed sample of the Debian French word list is phonemized in-process by
libespeak-ng (French voice, cleaned as the espeak-ng phonemizer cleans it) and
aligned by the library.  The rate of aligned words among those espeak-ng reads
in French must not fall below the level measured when the data was last tuned,
and every aligned word must pass the two letter checks of the coverage report.
"""

import importlib.util
import sys
from pathlib import Path

import pytest
from project_data import WORDLIST, read_words, spread_sample

ROOT = Path(__file__).resolve().parent.parent
SAMPLE_SIZE = 4000
# Measured on this sample: 3970 of 3973 French-read words (99.92%) and 23 of
# 27 English-switched ones; the margins absorb an espeak-ng point release.
MIN_FRENCH_RATE = 0.998
MIN_SWITCHED_RATE = 0.70


def _load(name: str):
    spec = importlib.util.spec_from_file_location(name, ROOT / "scripts" / f"{name}.py")
    module = importlib.util.module_from_spec(spec)
    sys.modules[name] = module
    spec.loader.exec_module(module)
    return module


espeak = _load("espeak_inprocess")
coverage = _load("coverage_report")

pytestmark = [
    pytest.mark.skipif(not WORDLIST.exists(), reason="French word list (wfrench) not installed"),
    pytest.mark.skipif(not espeak.available("fr"), reason="libespeak-ng with a French voice not available"),
]


@pytest.fixture(scope="module")
def corpus():
    sample = spread_sample(read_words(), SAMPLE_SIZE)
    return [(w, *espeak.phonemize(w, "fr")) for w in sample]


@pytest.fixture(scope="module")
def results(corpus):
    module = pytest.importorskip("vantro_aligneur.vantro_aligneur")
    analyser = module.VantroSyllabeur()
    out = []
    for word, phone, switched in corpus:
        dec_ph, dec_gr, dec_spans, ok = module._aligner(word, phone)
        orthos = [s.ortho for s in analyser.analyze(word, phone).syllabes] if ok else []
        out.append((word, phone, switched, ok, list(dec_gr), list(dec_spans), orthos))
    return out


@pytest.mark.parametrize("switched, minimum", [(False, MIN_FRENCH_RATE), (True, MIN_SWITCHED_RATE)],
                         ids=["french-read", "english-switched"])
def test_alignment_rate(results, switched, minimum):
    group = [r for r in results if r[2] == switched]
    aligned = sum(1 for r in group if r[3])
    failed = [f"{r[0]} /{r[1]}/" for r in group if not r[3]]
    assert group and aligned / len(group) >= minimum, failed


def test_syllable_letters_give_back_the_word(results):
    bad = [(w, orthos) for w, _p, _s, ok, _g, _sp, orthos in results
           if ok and coverage.letters_from_syllables(orthos) != w]
    assert bad == []


def test_every_letter_in_one_phoneme_span(results):
    bad = [(w, err) for w, _p, _s, ok, gr, spans, _o in results
           if ok and (err := coverage.check_spans(w, gr, spans))]
    assert bad == []
