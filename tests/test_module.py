"""Module set-up: exposed names, constants, expressions, the final schwa."""

import importlib.metadata
import logging
import re
from pathlib import Path

import pytest

import vantro_aligneur
import vantro_aligneur.vantro_aligneur as va
from vantro_aligneur import _chargeur

EXPOSED = """Span Phoneme GroupePhonologique Syllabe ResultatAnalyse MotAnalyse EventFormule LectureFormule
OptionsGroupes GroupeLecture ResultatGroupe ResultatSyllabation Phonemizer EspeakPhonemizer _G2PAdapter
VantroSyllabeur iter_phonemes est_voyelle est_consonne est_semi_voyelle _phone_starts_with_vowel
_phone_ends_with_consonne _phone_ends_with_schwa _SonorityClasses _build_sonority_classes _class_of
_merge_compounds_ipa _split_central_cluster _syllabify_ipa _decouper_syllabe _alignement_v2 _build_spans
_phonemise_alignment _aligner _build_syllabes ajouter_schwa_final construire_groupes lecture_depuis_g2p
_valider_spans_formule _syllabes_depuis_lecture syllabifier_groupes logger __version__ _ALPHABET_IPA
_PHONE_TO_GRAPHEMES _ESPEAK_TO_IPA _VOYELLES _CONSONNES _SEMI_VOYELLES _LETTRES_MUETTES_POSSIBLES
_LIAISON_CONSONNES COMPOUND_PHONEMES _SONORITY _IGNORED_CHARS _RE_E_MUET _RE_VERB_ENT""".split()


def test_every_name_is_exposed():
    assert [n for n in EXPOSED if not hasattr(va, n)] == []


def test_constants():
    assert va.__version__ == "2.0.0"
    assert va.Span is tuple
    assert va.COMPOUND_PHONEMES == {"tʃ", "dʒ", "ts", "\u0261z"}
    assert va._IGNORED_CHARS == {"-", " ", "'", "\u2019", "_"}
    assert isinstance(va.logger, logging.Logger) and va.logger.name == "vantro_aligneur.vantro_aligneur"
    assert va.logger.handlers == [] and va.logger.level == logging.NOTSET
    assert va._RE_E_MUET.pattern == "(?<![éèêë])es?$" and va._RE_E_MUET.flags & re.IGNORECASE
    assert va._RE_VERB_ENT.pattern == "ent$" and va._RE_VERB_ENT.flags & re.IGNORECASE


@pytest.mark.parametrize(
    "name, accessor",
    [("_ALPHABET_IPA", "alphabet_ipa"), ("_PHONE_TO_GRAPHEMES", "phone_to_graphemes"),
     ("_ESPEAK_TO_IPA", "espeak_to_ipa"), ("_VOYELLES", "voyelles"), ("_CONSONNES", "consonnes"),
     ("_SEMI_VOYELLES", "semi_voyelles"), ("_LETTRES_MUETTES_POSSIBLES", "lettres_muettes_possibles"),
     ("_LIAISON_CONSONNES", "liaison_consonnes")],
)
def test_data_names_are_the_accessors(name, accessor):
    assert getattr(va, name) is getattr(_chargeur, accessor)
    assert getattr(va, "_get_" + accessor) is getattr(_chargeur, accessor)


@pytest.mark.parametrize(
    "ortho, pos, phone, expected",
    [
        ("table", "NOM", "tabl", "tablə"),
        ("tables", "NOM", "tabl", "tablə"),
        ("TABLE", "NOM", "tabl", "tablə"),
        ("parlent", "VER", "paʁl", "paʁlə"),
        ("parlent", "ADJ", "paʁl", "paʁl"),
        ("parlent", "ver:pres", "paʁl", "paʁlə"),
        ("fée", "NOM", "fek", "fek"),
        ("années", "NOM", "anek", "anek"),
        ("vie", "NOM", "vi", "vi"),
        ("une", "DET", "yn", "ynə"),
        ("chat", "NOM", "ʃa", "ʃa"),
        ("table", "NOM", "", ""),
        ("", "NOM", "tabl", "tabl"),
        ("e", "NOM", "ʁ", "ʁə"),
        ("table\n", "NOM", "tabl", "tablə"),
        ("tablé", "NOM", "tabl", "tabl"),
        ("paRLENT", "VERB", "ˈ", "ˈə"),
    ],
)
def test_ajouter_schwa_final(ortho, pos, phone, expected):
    assert va.ajouter_schwa_final(ortho, pos, phone) == expected


def test_the_version_is_written_once():
    pyproject = (Path(__file__).resolve().parents[1] / "pyproject.toml").read_text(encoding="utf-8")
    declared = re.search(r'^version = "([^"]+)"$', pyproject, re.M).group(1)
    assert declared == "2.0.0"
    installed = importlib.metadata.version("vantro-aligneur")
    assert (installed, va.__version__, vantro_aligneur.__version__) == (declared, declared, declared)


def test_ajouter_schwa_final_checks_types():
    with pytest.raises(TypeError, match="Argument 'pos' has incorrect type \\(expected str, got NoneType\\)"):
        va.ajouter_schwa_final("table", None, "tabl")


def test_table_changes_are_seen_by_the_next_call():
    table = va._PHONE_TO_GRAPHEMES()
    before = va._aligner("zz", "z")
    saved = list(table["z"])
    try:
        table["z"].insert(0, "zz")
        after = va._aligner("zz", "z")
        assert after[1] == ["zz"] and after[3]
    finally:
        table["z"][:] = saved
    assert va._aligner("zz", "z") == before


def test_vowel_set_changes_are_seen():
    vowels = va._VOYELLES()
    assert not va.est_voyelle("§")
    vowels.add("§")
    try:
        assert va.est_voyelle("§") and va._syllabify_ipa("p§p§") == ["p§", "p§"]
    finally:
        vowels.discard("§")
    assert not va.est_voyelle("§")
