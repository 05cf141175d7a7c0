"""Analyseur syllabique du français pour l'aide à la lecture.

Le module principal ``vantro_aligneur.vantro_aligneur`` n'est chargé qu'au
premier usage d'un de ses noms : importer le paquet (ou son chargeur de
données ``vantro_aligneur._chargeur``) ne lit pas encore le fichier de données.

    >>> from vantro_aligneur import VantroSyllabeur
    >>> VantroSyllabeur().analyze("chocolat", "ʃɔkɔla").format_simple()
    'chocolat -> /ʃɔ.kɔ.la/ (3 syll.)'
"""

from __future__ import annotations

import importlib
from typing import TYPE_CHECKING, Any

from ._version import __version__

if TYPE_CHECKING:
    from .corpus import analyser_corpus as analyser_corpus

__all__ = [
    # the facade and the phonemizers
    "VantroSyllabeur",
    "Phonemizer",
    "EspeakPhonemizer",
    "EspeakLibPhonemizer",
    # records
    "Span",
    "Phoneme",
    "GroupePhonologique",
    "Syllabe",
    "ResultatAnalyse",
    "MotAnalyse",
    "EventFormule",
    "LectureFormule",
    "OptionsGroupes",
    "GroupeLecture",
    "ResultatGroupe",
    "ResultatSyllabation",
    # operations and constants
    "iter_phonemes",
    "est_voyelle",
    "est_consonne",
    "est_semi_voyelle",
    "ajouter_schwa_final",
    "construire_groupes",
    "lecture_depuis_g2p",
    "syllabifier_groupes",
    "COMPOUND_PHONEMES",
]

# Names of the package that live in a module of their own, not in the main
# module that __all__ mirrors: a whole corpus over every core.
_AILLEURS = {"analyser_corpus": ".corpus"}


def __getattr__(name: str) -> Any:
    if name not in __all__ and name not in _AILLEURS:
        raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
    module = importlib.import_module(_AILLEURS.get(name, ".vantro_aligneur"), __name__)
    value = getattr(module, name)
    globals()[name] = value  # later look-ups skip this function
    return value


def __dir__() -> list[str]:
    return sorted(set(globals()) | set(__all__) | set(_AILLEURS))
