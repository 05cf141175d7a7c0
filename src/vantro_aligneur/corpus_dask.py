"""Analyse d'un corpus sur une grappe dask.distributed.

Il faut ``pip install vantro-aligneur[dask]`` ici et sur chaque machine de la
grappe (le paquet et espeak-ng sont chargés par les workers).

    >>> from dask.distributed import Client
    >>> from vantro_aligneur.corpus_dask import analyser_corpus_dask
    >>> client = Client("tcp://scheduler:8786")
    >>> for resultat in analyser_corpus_dask(textes, client):
    ...     print(resultat.format_ligne1())
"""

from __future__ import annotations

import pickle
import threading
from collections import deque
from collections.abc import Iterable, Iterator
from typing import TYPE_CHECKING, Any

from .corpus import (
    TAILLE_LOT,
    Lots,
    Phonemiseur,
    _taille_de_lot,
    deballer,
    emballer_chaque,
    nouveau_syllabeur,
    verifier_phonemiseur,
)

if TYPE_CHECKING:
    from .vantro_aligneur import OptionsGroupes, ResultatSyllabation, VantroSyllabeur

__all__ = ["analyser_corpus_dask"]

#: Lots en cours par thread de worker de la grappe.
LOTS_PAR_THREAD = 3

# One facade per worker process and phonemizer, kept between tasks: building
# it loads espeak-ng. The threads of a worker share it.
_syllabeurs: dict[bytes, VantroSyllabeur] = {}
_verrou = threading.Lock()


def _syllabeur_du_worker(phonemiseur: Phonemiseur) -> VantroSyllabeur:
    cle = pickle.dumps(phonemiseur)
    with _verrou:
        syllabeur = _syllabeurs.get(cle)
        if syllabeur is None:
            syllabeur = _syllabeurs[cle] = nouveau_syllabeur(phonemiseur)
        return syllabeur


def _analyser_lot_dask(
    phonemiseur: Phonemiseur, options: OptionsGroupes | None, premier: int, textes: list[str]
) -> list[bytes]:
    return emballer_chaque(_syllabeur_du_worker(phonemiseur), premier, textes, options)


def analyser_corpus_dask(
    textes: Iterable[str],
    client: Any,
    options: OptionsGroupes | None = None,
    *,
    phonemiseur: Phonemiseur = None,
    taille_lot: int = TAILLE_LOT,
) -> Iterator[ResultatSyllabation]:
    """Analyse chaque texte de `textes` (``analyser_texte``) sur les workers de `client`, dans l'ordre.

    `client` est un ``dask.distributed.Client`` ; chaque worker garde un syllabeur
    (et son espeak-ng) d'une tâche à l'autre. `phonemiseur` et `taille_lot` comme
    pour ``analyser_corpus``. Seuls quelques lots par thread de la grappe sont en
    cours à la fois ; une erreur d'analyse est levée ici.
    """
    lot = _taille_de_lot(taille_lot)
    verifier_phonemiseur(phonemiseur)
    return _sur_la_grappe(textes, client, options, phonemiseur, lot)


def _threads(client: Any) -> int:
    try:
        return max(1, int(sum(client.nthreads().values())))
    except Exception:  # a client that cannot say: a modest window
        return 2


def _sur_la_grappe(
    textes: Iterable[str], client: Any, options: OptionsGroupes | None, phonemiseur: Phonemiseur, lot: int
) -> Iterator[ResultatSyllabation]:
    lots = Lots(textes, lot)
    en_cours: deque[Any] = deque()

    def soumettre(premier: int, textes_du_lot: list[str]) -> None:
        en_cours.append(
            client.submit(_analyser_lot_dask, phonemiseur, options, premier, textes_du_lot, pure=False)
        )

    try:
        for premier, textes_du_lot in lots.prendre(_threads(client) * LOTS_PAR_THREAD):
            soumettre(premier, textes_du_lot)
        while en_cours:
            emballes = en_cours.popleft().result()
            for premier, textes_du_lot in lots.prendre(1):
                soumettre(premier, textes_du_lot)
            for octets in emballes:
                yield deballer(octets)
        lots.lever()
    finally:
        if en_cours:
            client.cancel(list(en_cours))
