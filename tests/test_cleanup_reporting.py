"""The clean-up on request in the phonemizers, the text path's choices, and
words read with another language's rules reported in the records, the JSON
and the log."""

from __future__ import annotations

import json
import logging
from importlib import resources

import pytest

from espeak_fakes import FakeEspeak, path_with
from vantro_aligneur import vantro_aligneur as va

LOGGER = "vantro_aligneur.vantro_aligneur"


def warnings_of(caplog):
    return [r.getMessage() for r in caplog.records if r.name == LOGGER and r.levelno == logging.WARNING]


@pytest.fixture
def fake(monkeypatch, tmp_path):
    program = FakeEspeak(tmp_path, output={
        "nuit": "nˈyi\n".encode(),
        "gagné": "ɡanjˈe\n".encode(),
        "pull": "(en)pˈʊl(fr)\n".encode(),
        "tu": "tˈy\n".encode(),
    })
    monkeypatch.setenv("PATH", path_with(program.bin))
    return program


# ---- the phonemizers ----------------------------------------------------------------------


@pytest.mark.parametrize("word, plain, cleaned", [
    ("nuit", "nyi", "nɥi"),
    ("gagné", "ɡanje", "ɡaɲe"),
    ("tu", "ty", "ty"),          # nothing to correct
    ("pull", "pʊl", "pʊl"),      # an English reading: no French rule matches
])
def test_program_phonemizer_cleans_only_on_request(fake, word, plain, cleaned):
    assert va.EspeakPhonemizer().phonemize(word) == plain
    assert va.EspeakPhonemizer(nettoyage=False).phonemize(word) == plain
    assert va.EspeakPhonemizer("fr", nettoyage=True).phonemize(word) == cleaned


def test_the_option_is_keyword_only_and_kept():
    assert va.EspeakPhonemizer()._nettoyage is False
    assert va.EspeakPhonemizer(nettoyage=1)._nettoyage is True
    with pytest.raises(TypeError):
        va.EspeakPhonemizer("fr", True)
    with pytest.raises(AttributeError):
        va.EspeakPhonemizer()._nettoyage = True


def test_program_phonemizer_warns_of_a_foreign_reading(fake, caplog):
    caplog.set_level(logging.DEBUG, logger=LOGGER)
    phonemizer = va.EspeakPhonemizer()
    assert phonemizer.phonemize("nuit") == "nyi"
    assert warnings_of(caplog) == []
    assert phonemizer.phonemize("pull") == "pʊl"
    assert warnings_of(caplog) == ["'pull' read by eSpeak-NG with the rules of language 'en', not of voice 'fr'"]


def test_facade_analyzes_with_the_cleaned_reading(fake):
    cleaned = va.VantroSyllabeur(va.EspeakPhonemizer(nettoyage=True)).analyze("nuit")
    plain = va.VantroSyllabeur().analyze("nuit")
    assert (cleaned.phone, [s.ortho for s in cleaned.syllabes]) == ("nɥi", ["nuit°"])
    assert (plain.phone, [s.ortho for s in plain.syllabes]) == ("nyi", ["nu", "it°"])


WORDS = ["nuit", "nuage", "gagné", "champignon", "rien", "jouent", "chocolat", "pull", "dos"]


def test_library_phonemizer_cleans_only_on_request(library):
    cleaning = va.EspeakLibPhonemizer(nettoyage=True)
    assert (library._nettoyage, cleaning._nettoyage) == (False, True)
    changed = 0
    for word in WORDS:
        plain = library.phonemize(word)
        assert cleaning.phonemize(word) == va._nettoyer_prononciation(word, plain)[0]
        changed += cleaning.phonemize(word) != plain
    assert changed >= 3


def test_library_phonemizer_warns_of_a_foreign_reading(library, caplog):
    caplog.set_level(logging.WARNING, logger=LOGGER)
    library.phonemize("chocolat")
    assert warnings_of(caplog) == []
    library.phonemize("pull")
    assert warnings_of(caplog) == ["'pull' read by eSpeak-NG with the rules of language 'en', not of voice 'fr'"]


@pytest.mark.parametrize("word, reread", [
    ("pull", True),        # English rules, a French reading exists
    ("dos", True),
    ("football", False),   # English wherever the joiner goes
    ("chocolat", False),   # French already
])
def test_library_phonemizer_reads_again_in_french_on_request(library, caplog, word, reread):
    caplog.set_level(logging.WARNING, logger=LOGGER)
    rereading = va.EspeakLibPhonemizer(relecture_francaise=True)
    assert (library._relecture_francaise, rereading._relecture_francaise) == (False, True)
    plain = library.phonemize(word)
    caplog.clear()
    got = rereading.phonemize(word)
    assert (got != plain) == reread
    assert any("read again" in m for m in warnings_of(caplog)) == reread
    if reread:  # the same reading the text path gives a word alone among French words
        text = words_of(va.analyser_texte(f"Il a vu le {word} ici.", nettoyage=False))
        assert got == text[word].phone


# ---- the text path --------------------------------------------------------------------------


def words_of(result):
    return {m.token.text: m for g in result.groupes for m in g.groupe.mots}


def test_text_reports_switched_words(library, caplog):
    caplog.set_level(logging.WARNING, logger=LOGGER)
    text = "Il met son pull et son short. La nuit tombe."
    reread = words_of(va.analyser_texte(text))
    assert (reread["pull"].token.langue, reread["pull"].token.relu_en_francais) == ("en", True)
    assert (reread["nuit"].token.langue, reread["nuit"].token.relu_en_francais) == ("", False)
    messages = warnings_of(caplog)
    assert len(messages) == 1 and "'pull' (en, read again in French)" in messages[0], messages

    caplog.clear()
    kept = words_of(va.analyser_texte(text, relecture_francaise=False))
    assert (kept["pull"].token.langue, kept["pull"].token.relu_en_francais) == ("en", False)
    assert kept["pull"].phone != reread["pull"].phone
    assert "'pull' (en)" in warnings_of(caplog)[0]


def test_text_path_cleans_unless_told_not_to(library):
    text = "La nuit tombe."
    assert words_of(va.analyser_texte(text))["nuit"].phone == "nɥi"
    plain = words_of(va.analyser_texte(text, nettoyage=False))["nuit"].phone
    assert plain == library.phonemize("nuit")
    facade = va.VantroSyllabeur(va.EspeakLibPhonemizer())
    assert words_of(facade.analyser_texte(text, None, nettoyage=False))["nuit"].phone == plain


def test_french_text_logs_no_warning(library, caplog):
    caplog.set_level(logging.WARNING, logger=LOGGER)
    va.analyser_texte("Les enfants lisent un livre.")
    assert warnings_of(caplog) == []


def test_text_options_are_keyword_only(library):
    with pytest.raises(TypeError):
        va.analyser_texte("La nuit.", None, False)


# ---- the letter view and the JSON ------------------------------------------------------------


def schema():
    return json.loads(resources.files("vantro_aligneur.data").joinpath("vue_lettres.schema.json").read_text("utf-8"))


def test_json_words_carry_their_language(library):
    import jsonschema

    result = va.analyser_texte("Il met son pull. Il joue au football.")
    doc = json.loads(va.vers_json(result))
    jsonschema.validate(doc, schema(), cls=jsonschema.Draft202012Validator)
    assert doc["version"] == schema()["properties"]["version"]["const"] == "1.1"
    by_text = {m["texte"]: (m["langue"], m["relu_en_francais"]) for m in doc["mots"]}
    assert by_text["pull"] == ("en", True)
    assert by_text["met"] == (None, False)
    assert by_text["football"][0] == "en"
    assert va.vue_lettres(result)["mots"] == doc["mots"]


class Token:
    def __init__(self, text, span, **extra):
        self.text, self.span = text, span
        self.__dict__.update(extra)


@pytest.mark.parametrize("extra, expected", [
    ({}, (None, False)),                                     # a caller's token says nothing
    ({"langue": "en"}, ("en", False)),
    ({"langue": "en", "relu_en_francais": True}, ("en", True)),
    ({"langue": "", "relu_en_francais": True}, (None, False)),  # French: nothing was read again
    ({"langue": 3}, (None, False)),                          # not a language name
])
def test_json_words_from_callers_tokens(extra, expected):
    mots = [va.MotAnalyse(Token("pull", (0, 4), **extra), "pyl")]
    result = va.VantroSyllabeur().analyser_complet(mots)
    doc = json.loads(va.vers_json(result))
    assert [(m["langue"], m["relu_en_francais"]) for m in doc["mots"]] == [expected]


def test_json_of_a_word_result_has_no_language():
    doc = va.vue_lettres(va.VantroSyllabeur().analyze("chocolat", "ʃɔkɔla"))
    assert [(m["langue"], m["relu_en_francais"]) for m in doc["mots"]] == [(None, False)]
