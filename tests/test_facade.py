"""The VantroSyllabeur facade: construction, word analysis, text analysis,
complete analysis of a sentence, and the lazy package entry."""

from __future__ import annotations

import logging
import subprocess
import sys
from types import SimpleNamespace

import pytest

from vantro_aligneur import vantro_aligneur as va

LOGGER = "vantro_aligneur.vantro_aligneur"
BAD_PHONEMIZER = "Le phonemiseur doit avoir une methode .phonemize(word) ou .predict(word)"


class Refusing:
    """A phonemizer that must never be asked."""

    def phonemize(self, word):
        raise AssertionError(f"phonemizer called for {word!r}")


class Lexicon:
    """A phonemizer with fixed answers, recording the words asked."""

    def __init__(self, answers=None, default="a"):
        self.answers = answers or {}
        self.default = default
        self.asked = []

    def phonemize(self, word):
        self.asked.append(word)
        return self.answers.get(word, self.default)


@pytest.fixture
def no_process(monkeypatch):
    def run(*args, **kwargs):
        raise AssertionError("no process may be started")

    monkeypatch.setattr(subprocess, "run", run)


# ---- construction -----------------------------------------------------------------

def test_default_phonemizer_is_espeak_for_french(no_process):
    ph = va.VantroSyllabeur()._phonemizer
    assert type(ph) is va.EspeakPhonemizer
    assert (ph._lang, ph._available) == ("fr", None)
    assert type(va.VantroSyllabeur(None)._phonemizer) is va.EspeakPhonemizer


def _predict(word):
    return "a"


@pytest.mark.parametrize("given, kept", [
    (SimpleNamespace(phonemize=len), "itself"),
    (SimpleNamespace(phonemize=len, predict=_predict), "itself"),
    (SimpleNamespace(predict=_predict), "adapter"),
    (SimpleNamespace(phonemize=None, predict=_predict), "adapter"),
    (SimpleNamespace(phonemize=None), "itself"),
    (va.EspeakPhonemizer("en"), "itself"),
])
def test_phonemizer_selection(given, kept):
    ph = va.VantroSyllabeur(phonemizer=given)._phonemizer
    if kept == "itself":
        assert ph is given
    else:
        assert type(ph) is va._G2PAdapter and ph._g2p is given


@pytest.mark.parametrize("given", [3, "espeak", object(), SimpleNamespace(predit=_predict)])
def test_unusable_phonemizer(given):
    with pytest.raises(TypeError) as err:
        va.VantroSyllabeur(given)
    assert str(err.value) == BAD_PHONEMIZER


def test_with_espeak_builds_the_called_class(no_process):
    class Mine(va.VantroSyllabeur):
        pass

    for cls, args, lang in [(va.VantroSyllabeur, (), "fr"), (Mine, ("de",), "de"), (Mine, (), "fr")]:
        syllabeur = cls.with_espeak(*args)
        assert type(syllabeur) is cls
        assert type(syllabeur._phonemizer) is va.EspeakPhonemizer
        assert syllabeur._phonemizer._lang == lang
    assert va.VantroSyllabeur.with_espeak(lang="it")._phonemizer._lang == "it"
    with pytest.raises(TypeError, match=r"^Argument 'lang' has incorrect type \(expected str, got int\)$"):
        va.VantroSyllabeur.with_espeak(5)


# ---- word analysis --------------------------------------------------------------------

WORDS = [
    ("chocolat", "ʃɔkɔla"),
    ("Chocolat", "ʃɔkɔla"),
    ("oiseaux", "wazo"),
    ("grenouille", "ɡʁənuj"),
    ("exact", "ɛɡzakt"),
    ("xyz", "ʃɔkɔla"),       # no alignment: syllables without letters
    ("", ""),
    ("l'enfant", "lɑ̃fɑ̃"),
]


@pytest.mark.parametrize("word, phone", WORDS)
def test_analyze_chains_the_stages(word, phone):
    result = va.VantroSyllabeur(Refusing()).analyze(word, phone)
    dec_ph, dec_gr, dec_spans, ok = va._aligner(word, phone)
    syllabes = va._build_syllabes(va._syllabify_ipa(phone), dec_ph, dec_gr, dec_spans, 0, ok)
    assert result == va.ResultatAnalyse(word, phone, syllabes)
    assert result.mot is word and result.phone is phone
    assert type(result) is va.ResultatAnalyse


def test_analyze_example():
    result = va.VantroSyllabeur(Refusing()).analyze("chocolat", phone="ʃɔkɔla")
    assert result.format_simple() == "chocolat -> /ʃɔ.kɔ.la/ (3 syll.)"


def test_analyze_asks_the_phonemizer_without_phone():
    lexicon = Lexicon({"Chat": "ʃa"})
    result = va.VantroSyllabeur(lexicon).analyze("Chat", None)
    assert (result.mot, result.phone, lexicon.asked) == ("Chat", "ʃa", ["Chat"])


@pytest.mark.parametrize("answer, name", [(None, "NoneType"), (5, "int"), (b"a", "bytes")])
def test_phonemizer_must_give_a_string(answer, name):
    with pytest.raises(TypeError, match=f"^Expected str, got {name}$"):
        va.VantroSyllabeur(Lexicon(default=answer)).analyze("chat")


def test_phonemizer_errors_propagate():
    class Broken:
        def phonemize(self, word):
            raise KeyError(word)

    with pytest.raises(KeyError):
        va.VantroSyllabeur(Broken()).analyze("chat")


def test_default_phonemizer_without_espeak(monkeypatch, tmp_path):
    monkeypatch.setenv("PATH", str(tmp_path))
    syllabeur = va.VantroSyllabeur()
    assert syllabeur.analyze("chat", "ʃa").phone == "ʃa"
    with pytest.raises(RuntimeError, match="^eSpeak-NG n'est pas installe"):
        syllabeur.analyze("chat")


@pytest.mark.parametrize("phone, shown", [("ʃa", "'ʃa'"), (None, "None")])
def test_analyze_logs_at_debug(caplog, phone, shown):
    caplog.set_level(logging.DEBUG, logger=LOGGER)
    va.VantroSyllabeur(Lexicon(default="ʃa")).analyze("chat", phone)
    debug = [r for r in caplog.records if r.levelno == logging.DEBUG]
    assert [(r.name, r.msg, r.getMessage()) for r in debug] == [
        (LOGGER, "analyze() word=%r phone=%r", f"analyze() word='chat' phone={shown}")]


def test_analyze_is_silent_above_debug(caplog):
    caplog.set_level(logging.INFO, logger=LOGGER)
    va.VantroSyllabeur(Refusing()).analyze("chat", "ʃa")
    assert caplog.records == []


def test_replaced_logger_is_used(monkeypatch):
    seen = []
    fake = SimpleNamespace(debug=lambda *args: seen.append(args))
    monkeypatch.setattr(va, "logger", fake)
    va.VantroSyllabeur(Refusing()).analyze("chat", "ʃa")
    assert seen == [("analyze() word=%r phone=%r", "chat", "ʃa")]


@pytest.mark.parametrize("call, name, expected", [
    (lambda s: s.analyze(3), "word", "str"),
    (lambda s: s.analyze(None, "a"), "word", "str"),
    (lambda s: s.analyze("a", 3), "phone", "str"),
    (lambda s: s.analyze_text(None), "text", "str"),
    (lambda s: s.syllabify_ipa(["a"]), "phone", "str"),
    (lambda s: s.analyser_complet("mots"), "mots", "list"),
    (lambda s: s.analyser_complet(None), "mots", "list"),
    (lambda s: s.analyser_complet([], [1]), "lectures_formules", "dict"),
    (lambda s: s.construire_groupes((1,)), "mots", "list"),
    (lambda s: s.syllabifier_groupes(None), "groupes", "list"),
    (lambda s: s.syllabifier_groupes([], lectures_formules=3), "lectures_formules", "dict"),
])
def test_argument_types(call, name, expected):
    with pytest.raises(TypeError, match=rf"^Argument '{name}' has incorrect type \(expected {expected}, got "):
        call(va.VantroSyllabeur(Refusing()))


# ---- text analysis ----------------------------------------------------------------------

@pytest.mark.parametrize("text, words", [
    ("l'enfant", ["l'enfant"]),
    ("l\u2019enfant", ["l\u2019enfant"]),
    ("l\u02bcenfant", ["l\u2019enfant"]),   # read and aligned as the typographic apostrophe
    ("un porte-manteau", ["un", "porte-manteau"]),
    ("a-1", ["a"]),
    ("12 chats, 3 chiens!", ["chats", "chiens"]),
    ("-x 'y", ["x", "y"]),
    ("×÷", ["×÷"]),
    ("Ça dévoile l'œuf", ["Ça", "dévoile", "l", "œuf"]),       # œ only starts a word
    ("aujourd'hui-là", ["aujourd'hui-là"]),
    ("ŁódźÀ", ["ŁódźÀ"]),
    ("mot--mot", ["mot", "mot"]),
    ("", []),
    ("  42 ... ", []),
])
def test_analyze_text_finds_words(text, words):
    lexicon = Lexicon()
    results = va.VantroSyllabeur(lexicon).analyze_text(text)
    assert [r.mot for r in results] == words
    assert lexicon.asked == words
    assert all(r.phone == "a" for r in results)


def test_analyze_text_uses_a_redefined_analyze():
    class Tracing(va.VantroSyllabeur):
        def analyze(self, word, phone=None):
            return (word, phone)

    assert Tracing(Refusing()).analyze_text("le chat") == [("le", None), ("chat", None)]


def test_syllabify_ipa():
    syllabeur = va.VantroSyllabeur(Refusing())
    assert syllabeur.syllabify_ipa("ʃɔkɔla") == ["ʃɔ", "kɔ", "la"]
    for phone in ["", "ɡʁənuj", "ɛkstʁa", "a/"]:
        assert syllabeur.syllabify_ipa(phone) == va._syllabify_ipa(phone)


# ---- complete analysis --------------------------------------------------------------------

def word(text=None, phone="a", start=0):
    token = None if text is None else SimpleNamespace(text=text, span=(start, start + len(text)))
    return va.MotAnalyse(token=token, phone=phone)


@pytest.fixture
def stages(monkeypatch):
    """Replaces E1 and E2 on the module with recorders; E1 returns `plan`."""
    calls = SimpleNamespace(e1=[], e2=[], plan=None)

    def e1(mots, options=None):
        calls.e1.append((mots, options))
        if calls.plan is None:
            return []
        return [va.GroupeLecture(mots=[mots[i] for i in group]) for group in calls.plan]

    def e2(groupes, lectures_formules=None):
        calls.e2.append((groupes, lectures_formules))
        return [va.ResultatGroupe(groupe=g) for g in groupes]

    monkeypatch.setattr(va, "construire_groupes", e1)
    monkeypatch.setattr(va, "syllabifier_groupes", e2)
    return calls


def test_empty_sentence(stages, caplog):
    caplog.set_level(logging.DEBUG, logger=LOGGER)
    result = va.VantroSyllabeur(Refusing()).analyser_complet([])
    assert (result.texte_original, result.nb_groupes, result.nb_syllabes) == ("", 0, 0)
    assert result.options == va.OptionsGroupes()
    assert stages.e1 == [([], result.options)] and stages.e1[0][1] is result.options
    assert stages.e2 == [([], {})]
    assert [(r.levelno, r.getMessage()) for r in caplog.records] == [
        (logging.DEBUG, "analyser_complet() called with 0 mots"),
        (logging.INFO, "analyser_complet() produced 0 groupes, 0 syllabes"),
    ]
    assert [r.args for r in caplog.records] == [(0,), (0, 0)]


LECTURE_A = va.LectureFormule("un", [va.EventFormule("1", "ɛ̃", (0, 1))])
LECTURE_B = va.LectureFormule("deux", [va.EventFormule("2", "dø", (2, 3))])


@pytest.mark.parametrize("plan, lectures, by_group, formules", [
    ([[0, 1], [2]], None, {}, [False, False]),
    ([[0, 1], [2]], {}, {}, [False, False]),
    ([[0, 1], [2]], {2: LECTURE_A}, {1: LECTURE_A}, [False, True]),
    ([[0, 1], [2]], {0: LECTURE_A, 1: LECTURE_B}, {0: LECTURE_B}, [True, False]),
    ([[0], [1], [2]], {0: LECTURE_A, 2: LECTURE_B}, {0: LECTURE_A, 2: LECTURE_B}, [True, False, True]),
    ([[0, 1], [2]], {7: LECTURE_A, "0": LECTURE_B}, {}, [False, False]),
])
def test_readings_move_to_their_groups(stages, plan, lectures, by_group, formules):
    stages.plan = plan
    mots = [word("a"), word("b"), word("c")]
    kept = None if lectures is None else dict(lectures)
    result = va.VantroSyllabeur(Refusing()).analyser_complet(mots, lectures)
    groupes, received = stages.e2[0]
    assert received == by_group and type(received) is dict
    assert [g.est_formule for g in groupes] == formules
    assert [rg.groupe for rg in result.groupes] == groupes
    assert lectures == kept
    assert not any(m.est_formule for m in mots)


def test_sentence_text_and_options(stages):
    options = va.OptionsGroupes(gerer_liaisons=False)
    mots = [word("Les", start=0), word(None), word(None), word("amis", start=5)]
    result = va.VantroSyllabeur(Refusing()).analyser_complet(mots, options=options)
    assert result.texte_original == "Les   amis"
    assert result.options is options and stages.e1[0][1] is options
    assert va.VantroSyllabeur(Refusing()).analyser_complet([word(None), word(None)]).texte_original == " "


def test_stage_errors_propagate_without_result_log(monkeypatch, caplog):
    def e1(mots, options=None):
        raise ValueError("E1")

    monkeypatch.setattr(va, "construire_groupes", e1)
    caplog.set_level(logging.DEBUG, logger=LOGGER)
    with pytest.raises(ValueError, match="E1"):
        va.VantroSyllabeur(Refusing()).analyser_complet([word("a")])
    assert [r.levelno for r in caplog.records] == [logging.DEBUG]


@pytest.mark.parametrize("stage", ["construire_groupes", "syllabifier_groupes"])
def test_stages_must_return_lists(monkeypatch, stage):
    monkeypatch.setattr(va, stage, lambda *args: ())
    syllabeur = va.VantroSyllabeur(Refusing())
    with pytest.raises(TypeError, match="^Expected list, got tuple$"):
        syllabeur.analyser_complet([])
    with pytest.raises(TypeError, match="^Expected list, got tuple$"):
        getattr(syllabeur, stage)([])


def test_single_stages_pass_arguments_through(stages):
    syllabeur = va.VantroSyllabeur(Refusing())
    mots, groupes, lectures = [word("a")], [va.GroupeLecture()], {0: LECTURE_A}
    assert syllabeur.construire_groupes(mots) == [] and stages.e1[-1] == (mots, None)
    syllabeur.construire_groupes(mots, options=va.OptionsGroupes())
    assert stages.e1[-1][1] == va.OptionsGroupes()
    syllabeur.syllabifier_groupes(groupes)
    assert stages.e2[-1] == (groupes, None)
    syllabeur.syllabifier_groupes(groupes, lectures)
    assert stages.e2[-1][1] is lectures


def test_liaison_sentence_end_to_end(caplog):
    caplog.set_level(logging.INFO, logger=LOGGER)
    mots = [va.MotAnalyse(token=SimpleNamespace(text="les", span=(0, 3)), phone="le", liaison="Lz", pos="DET"),
            va.MotAnalyse(token=SimpleNamespace(text="enfants", span=(4, 11)), phone="ɑ̃fɑ̃", pos="NOUN")]
    result = va.VantroSyllabeur(Refusing()).analyser_complet(mots)
    [rg] = result.groupes
    assert rg.groupe.mots[0] is mots[0] and rg.groupe.mots[1] is mots[1]
    assert rg.groupe.jonctions == ["liaison_z"]
    assert result.texte_original == "les enfants"
    assert [r.getMessage() for r in caplog.records] == [
        f"analyser_complet() produced 1 groupes, {result.nb_syllabes} syllabes"]


# ---- the package entry ------------------------------------------------------------------------

def test_package_loads_the_main_module_lazily():
    code = ("import sys, vantro_aligneur, vantro_aligneur._chargeur\n"
            "assert 'vantro_aligneur.vantro_aligneur' not in sys.modules\n"
            "assert vantro_aligneur.__version__ == '2.0.0'\n"
            "from vantro_aligneur import VantroSyllabeur\n"
            "import vantro_aligneur.vantro_aligneur as va\n"
            "assert VantroSyllabeur is va.VantroSyllabeur\n"
            "assert all(getattr(vantro_aligneur, n) is getattr(va, n) for n in vantro_aligneur.__all__)\n")
    subprocess.run([sys.executable, "-c", code], check=True)
    import vantro_aligneur

    with pytest.raises(AttributeError):
        vantro_aligneur.not_a_name  # noqa: B018
