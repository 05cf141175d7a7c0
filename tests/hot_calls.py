"""The hot operations of the library, each as one repeatable call, for the
leak checks (tests/test_leaks.py, short; bench/leaks.py, a million calls).

Every case is (name, call, watched, cost): `call()` runs the operation once
(an expected error included), `watched` holds the argument objects whose
reference counts must not move, and `cost` divides the number of calls for
operations much slower than the others.
"""

from __future__ import annotations

import subprocess
from types import SimpleNamespace
from unittest import mock


class Token:
    def __init__(self, text, span):
        self.text, self.span = text, span


class Raising:
    """A token whose text cannot be read."""

    @property
    def text(self):
        raise KeyError("text")


class Lexicon:
    def __init__(self, answers):
        self.answers = answers

    def phonemize(self, word):
        return self.answers.get(word, "a")


class Failing:
    def phonemize(self, word):
        raise LookupError(word)


def swallow(fn, *args, errors=(Exception,)):
    def call():
        try:
            fn(*args)
        except errors:
            pass
    return call


def sentence(va):
    words = [("les", "le", "Lz"), ("enfants", "ɑ̃fɑ̃", "none"), ("avec", "avɛk", "none"), ("elle", "ɛl", "none"),
             ("l'", "l", "none"), ("arbre", "aʁbʁ", "none"), ("3", "tʁwa", "none")]
    mots, pos = [], 0
    for text, phone, liaison in words:
        mots.append(va.MotAnalyse(Token(text, (pos, pos + len(text))), phone, liaison,
                                  est_formule=text.isdigit()))
        pos += len(text) + 1
    return mots


def cases(va):
    word, phone = "chocolaterie", "ʃɔkɔlatʁi"
    table = va._PHONE_TO_GRAPHEMES()
    long_text = "a" * 5000
    boundaries = [3]
    cluster = ["k", "s", "t", "ʁ"]
    graphemes = ["h°o", "mme°"]
    ph, gr, spans = ["ks", "a"], ["x", "a"], [(0, 1), (1, 2)]
    syll = ["ʃɔ", "kɔ", "la"]
    dec = (["ʃ", "ɔ", "k", "ɔ", "l", "a"], ["ch", "o", "c", "o", "l", "at"],
           [(0, 2), (2, 3), (3, 4), (4, 5), (5, 6), (6, 8)])
    huge_spans = [(2**63 - 1, 2**63 - 1)]
    mots = sentence(va)
    options = va.OptionsGroupes()
    lecture = va.LectureFormule("trois", [va.EventFormule("3", "tʁwa", (0, 1))])
    bad_lecture = va.LectureFormule("x", [va.EventFormule("x", "iks", (4, 2))])
    lectures = {6: lecture}
    groupes = va.construire_groupes(mots, options)
    group_lectures = {len(groupes) - 1: lecture}
    g2p = SimpleNamespace(display_fr="trois", events=[SimpleNamespace(ortho="3", phone="tʁwa", span_source=(0, 1))])
    g2p_bad = SimpleNamespace(events=5)
    lexicon = Lexicon({"chocolaterie": phone, "le": "lə", "chat": "ʃa"})
    facade = va.VantroSyllabeur(lexicon)
    failing = va.VantroSyllabeur(Failing())
    adapter = va._G2PAdapter(SimpleNamespace(predict=lambda w: "ʃa"))
    result = facade.analyze(word, phone)
    sentence_result = facade.analyser_complet(mots, lectures, options)
    token = Token("enfants", (4, 11))
    mot = va.MotAnalyse(token, "ɑ̃fɑ̃")
    bad_mots = [va.MotAnalyse(Raising(), "a"), va.MotAnalyse(Raising(), "a")]
    group = va.GroupePhonologique([va.Phoneme("ʃ", "ch"), va.Phoneme("a", "a")])
    espeak = va.EspeakPhonemizer()
    espeak._available = True
    done = subprocess.CompletedProcess(["espeak-ng"], 0, stdout="  ʃˈa \n".encode(), stderr=b"")

    def run(argv, **kwargs):
        return done

    def espeak_call():
        with mock.patch.object(subprocess, "run", run):
            espeak.phonemize(word)

    out = [
        ("iter_phonemes", lambda: va.iter_phonemes(phone), [phone], 1),
        ("est_voyelle", lambda: va.est_voyelle("ɑ̃"), [], 1),
        ("_syllabify_ipa", lambda: va._syllabify_ipa(phone), [phone], 1),
        ("_decouper_syllabe", lambda: va._decouper_syllabe(phone), [phone], 1),
        ("_merge_compounds_ipa", lambda: va._merge_compounds_ipa(cluster), [cluster], 1),
        ("_split_central_cluster", lambda: va._split_central_cluster(cluster, va._SONORITY), [cluster, va._SONORITY], 1),
        ("_aligner", lambda: va._aligner(word, phone), [word, phone, table], 1),
        ("_aligner with boundaries", lambda: va._aligner("lesenfants", "lezɑ̃fɑ̃", boundaries), [boundaries], 1),
        ("_alignement_v2", lambda: va._alignement_v2(word, phone, table), [word, phone, table], 1),
        ("_build_spans", lambda: va._build_spans("homme", graphemes), [graphemes], 1),
        ("_phonemise_alignment", lambda: va._phonemise_alignment(ph, gr, spans), [ph, gr, spans], 1),
        ("_build_syllabes", lambda: va._build_syllabes(syll, *dec, 0, True), [syll, *dec], 1),
        ("ajouter_schwa_final", lambda: va.ajouter_schwa_final("table", "NOM", "tabl"), [], 1),
        ("construire_groupes", lambda: va.construire_groupes(mots, options), [mots, options, *mots], 2),
        ("syllabifier_groupes", lambda: va.syllabifier_groupes(groupes, group_lectures),
         [groupes, group_lectures, lecture], 4),
        ("analyze", lambda: facade.analyze(word, phone), [word, phone, facade], 1),
        ("analyze, phonemizer", lambda: facade.analyze(word), [word, lexicon], 1),
        ("analyze_text", lambda: facade.analyze_text("le chat"), [lexicon], 2),
        ("syllabify_ipa", lambda: facade.syllabify_ipa(phone), [phone], 1),
        ("analyser_complet", lambda: facade.analyser_complet(mots, lectures, options),
         [mots, lectures, options, lecture, *mots], 4),
        ("format_detail (word)", result.format_detail, [result], 1),
        ("format_detail (sentence)", sentence_result.format_detail, [sentence_result], 2),
        ("MotAnalyse.text/span", lambda: (mot.text, mot.span), [mot, token], 1),
        ("GroupePhonologique.phone", lambda: (group.phone, group.grapheme), [group], 1),
        ("lecture_depuis_g2p", lambda: va.lecture_depuis_g2p(g2p), [g2p], 1),
        ("_valider_spans_formule", lambda: va._valider_spans_formule(lecture), [lecture], 1),
        ("_syllabes_depuis_lecture", lambda: va._syllabes_depuis_lecture(lecture), [lecture], 1),
        ("record repr and ==", lambda: (repr(result), result == result), [result], 2),
        ("_G2PAdapter.phonemize", lambda: adapter.phonemize(word), [word, adapter], 1),
        ("EspeakPhonemizer.phonemize", espeak_call, [word, espeak], 20),
        # Error paths: the exception and everything it holds must go away.
        ("error: wrong type", swallow(va.iter_phonemes, None), [], 1),
        ("error: too long", swallow(va._aligner, long_text, long_text), [long_text], 1),
        ("error: beyond 64 bits", swallow(va._phonemise_alignment, ph, gr, huge_spans), [huge_spans], 1),
        ("error: missing entries", swallow(va._build_syllabes, syll, dec[0], [], [], 0, True), [syll], 1),
        ("error: bad formula span", swallow(va._valider_spans_formule, bad_lecture), [bad_lecture], 1),
        ("error: phonemizer raises", swallow(failing.analyze, word), [word, failing], 1),
        ("error: token raises", swallow(va.construire_groupes, bad_mots), [bad_mots, *bad_mots], 1),
        ("error: events not iterable", swallow(va.lecture_depuis_g2p, g2p_bad), [g2p_bad], 1),
        ("error: facade type", swallow(va.VantroSyllabeur, 3), [], 1),
    ]
    try:
        library = va.EspeakLibPhonemizer()
    except (RuntimeError, AttributeError):
        return out
    out.append(("EspeakLibPhonemizer.phonemize", lambda: library.phonemize(word), [word, library], 50))
    return out
