"""Analyse d'un corpus entier sur tous les cœurs de la machine.

``analyser_corpus`` lit une suite de textes avec ``analyser_texte`` dans
plusieurs processus (chacun avec son espeak-ng chargé une fois) et rend les
résultats dans l'ordre des textes, au fur et à mesure : seule une fenêtre
bornée de textes est en cours à un instant donné, quelle que soit la taille du
corpus.

    >>> from vantro_aligneur import analyser_corpus
    >>> for resultat in analyser_corpus(["Les enfants lisent.", "Il a 7 ans."], processus=2):
    ...     print(resultat.format_ligne1())
"""

from __future__ import annotations

import importlib
import itertools
import os
import pickle
import signal
import sys
import threading
from collections import deque
from collections.abc import Callable, Iterable, Iterator, Sized
from concurrent.futures import Future, ProcessPoolExecutor
from typing import TYPE_CHECKING, Any, TypeVar, Union, overload

if TYPE_CHECKING:
    from .vantro_aligneur import OptionsGroupes, ResultatSyllabation, VantroSyllabeur

__all__ = ["analyser_corpus", "TAILLE_LOT"]

#: Textes envoyés ensemble à un processus : assez pour que l'envoi et le
#: retour des résultats coûtent peu devant l'analyse, assez peu pour que la
#: charge reste répartie et la mémoire bornée.
TAILLE_LOT = 8

#: Lots en cours par processus : un qu'il analyse, un qui l'attend, un dont
#: les résultats reviennent.
LOTS_PAR_PROCESSUS = 3

#: Nom d'un phonemiseur ("programme", "bibliotheque"), None (la bibliothèque)
#: ou un objet phonemiseur, qui doit alors se transmettre par pickle.
Phonemiseur = Union[str, None, Any]
NOMS_DE_PHONEMISEURS = ("programme", "bibliotheque")

T = TypeVar("T")

#: What a worker makes of each result before sending it: None sends the
#: records themselves (packed), a callable sends what it returns.
Rendu = Union[Callable[["ResultatSyllabation"], Any], None]


# ------------------------------------------------------------------ the facade


def nouveau_syllabeur(phonemiseur: Phonemiseur) -> VantroSyllabeur:
    """The facade for `phonemiseur`, as analyser_corpus names it."""
    from . import vantro_aligneur as va

    if phonemiseur is None or phonemiseur == "bibliotheque":
        return va.VantroSyllabeur(va.EspeakLibPhonemizer())
    if phonemiseur == "programme":
        return va.VantroSyllabeur(va.EspeakPhonemizer())
    if isinstance(phonemiseur, str):
        raise ValueError(
            f"phonemiseur inconnu : {phonemiseur!r} (\"programme\", \"bibliotheque\", None ou un objet phonemiseur)"
        )
    return va.VantroSyllabeur(phonemiseur)


def verifier_phonemiseur(phonemiseur: Phonemiseur) -> None:
    """Raises, in the caller's process, what would otherwise fail in every worker."""
    if isinstance(phonemiseur, str):
        if phonemiseur not in NOMS_DE_PHONEMISEURS:
            nouveau_syllabeur(phonemiseur)  # raises the error that names the choices
        return
    if phonemiseur is None:
        return
    try:
        pickle.dumps(phonemiseur)
    except Exception as erreur:
        raise TypeError(f"le phonemiseur doit se transmettre par pickle aux processus d'analyse : {erreur}") from erreur


def verifier_rendu(rendu: Rendu) -> None:
    if rendu is None:
        return
    if not callable(rendu):
        raise TypeError(f"rendu doit être appelable ou None, pas {type(rendu).__name__}")
    # Checked even where the workers are forked and would not need it: a
    # lambda that works on Linux would otherwise fail elsewhere.
    try:
        pickle.dumps(rendu)
    except Exception as erreur:
        raise TypeError(f"rendu doit se transmettre par pickle aux processus d'analyse : {erreur}") from erreur


# -------------------------------------------------------------- the workers
# Module globals of each worker process: the facade is built by the first lot
# (not by the pool's initializer) so that a failure to build it reaches the
# caller as the error it is, not as a broken pool.

_phonemiseur_du_processus: Phonemiseur = None
_options_du_processus: OptionsGroupes | None = None
_syllabeur_du_processus: VantroSyllabeur | None = None
_rendu_du_processus: Rendu = None


# The caller's own facade, made before its workers are forked: they inherit
# it with the module and espeak-ng already loaded, and start at once.
_syllabeur_a_heriter: VantroSyllabeur | None = None


def _preparer_processus(
    phonemiseur: Phonemiseur, options: OptionsGroupes | None, herite: bool = False, rendu: Rendu = None
) -> None:
    global _phonemiseur_du_processus, _options_du_processus, _syllabeur_du_processus, _rendu_du_processus
    # Ctrl-C reaches every process of the terminal's group: the caller alone
    # decides, and ends the workers itself.
    signal.signal(signal.SIGINT, signal.SIG_IGN)
    _phonemiseur_du_processus, _options_du_processus = phonemiseur, options
    _syllabeur_du_processus = _syllabeur_a_heriter if herite else None
    # Sent once per worker, not with every lot.
    _rendu_du_processus = rendu


def _analyser_lot(premier: int, textes: list[str]) -> list[Any]:
    global _syllabeur_du_processus
    if _syllabeur_du_processus is None:
        _syllabeur_du_processus = nouveau_syllabeur(_phonemiseur_du_processus)
    if _rendu_du_processus is not None:
        return list(_analyser_avec(_syllabeur_du_processus, premier, textes, _options_du_processus,
                                   _rendu_du_processus))
    return emballer_chaque(_syllabeur_du_processus, premier, textes, _options_du_processus)


def emballer_chaque(
    syllabeur: VantroSyllabeur, premier: int, textes: list[str], options: OptionsGroupes | None
) -> list[bytes]:
    """Each text's result packed as soon as it is made, for the caller's process.

    Pickling the records one by one would cost about as much as the analysis
    that made them; packed at once, a result is dropped before the next one
    is made, and the collector never sees a lot of them alive together.
    """
    from . import vantro_aligneur as va

    return [va._emballer(r) for r in _analyser_avec(syllabeur, premier, textes, options)]


def deballer(octets: bytes) -> ResultatSyllabation:
    from . import vantro_aligneur as va

    resultat: ResultatSyllabation = va._deballer(octets)
    return resultat


def _analyser_avec(
    syllabeur: VantroSyllabeur, premier: int, textes: Iterable[str], options: OptionsGroupes | None,
    rendu: Rendu = None,
) -> Iterator[Any]:
    for rang, texte in enumerate(textes, premier):
        try:
            resultat = syllabeur.analyser_texte(texte, options)
            if rendu is not None:
                resultat = rendu(resultat)
        except Exception as erreur:
            erreur.add_note(f"texte n° {rang} du corpus")
            raise
        yield resultat


# ---------------------------------------------------------------- the caller


def _nombre_de_processus(processus: int | None) -> int:
    if processus is None:
        return os.cpu_count() or 1
    if isinstance(processus, bool) or not isinstance(processus, int):
        raise TypeError(f"processus doit être un entier ou None, pas {type(processus).__name__}")
    if processus < 1:
        raise ValueError(f"processus doit être au moins 1, pas {processus}")
    return processus


def _taille_de_lot(taille_lot: int) -> int:
    if isinstance(taille_lot, bool) or not isinstance(taille_lot, int):
        raise TypeError(f"taille_lot doit être un entier, pas {type(taille_lot).__name__}")
    if taille_lot < 1:
        raise ValueError(f"taille_lot doit être au moins 1, pas {taille_lot}")
    return taille_lot


class _SansBarre:
    def __enter__(self) -> _SansBarre:
        return self

    def __exit__(self, *exc: object) -> None:
        pass

    def update(self, n: int = 1) -> None:
        pass


def _barre(textes: Iterable[str], progression: bool | None) -> Any:
    if not (sys.stderr.isatty() if progression is None else progression):
        return _SansBarre()
    tqdm = importlib.import_module("tqdm").tqdm

    class Barre(tqdm):  # type: ignore[misc, valid-type]
        # No monitor thread: a thread running when the workers start would
        # rule out starting them by fork.
        monitor_interval = 0

    total = len(textes) if isinstance(textes, Sized) else None
    return Barre(total=total, unit=" textes", file=sys.stderr, dynamic_ncols=True)


@overload
def analyser_corpus(
    textes: Iterable[str],
    *,
    processus: int | None = None,
    options: OptionsGroupes | None = None,
    phonemiseur: Phonemiseur = None,
    progression: bool | None = None,
    taille_lot: int = TAILLE_LOT,
    rendu: None = None,
) -> Iterator[ResultatSyllabation]: ...


@overload
def analyser_corpus(
    textes: Iterable[str],
    *,
    processus: int | None = None,
    options: OptionsGroupes | None = None,
    phonemiseur: Phonemiseur = None,
    progression: bool | None = None,
    taille_lot: int = TAILLE_LOT,
    rendu: Callable[[ResultatSyllabation], T],
) -> Iterator[T]: ...


def analyser_corpus(
    textes: Iterable[str],
    *,
    processus: int | None = None,
    options: OptionsGroupes | None = None,
    phonemiseur: Phonemiseur = None,
    progression: bool | None = None,
    taille_lot: int = TAILLE_LOT,
    rendu: Rendu = None,
) -> Iterator[Any]:
    """Analyse chaque texte de `textes` (``analyser_texte``), dans l'ordre, sur plusieurs processus.

    `processus` : nombre de processus d'analyse (None : un par cœur, 1 : dans ce
    processus, sans pool). `phonemiseur` : "bibliotheque" ou None (espeak-ng chargé
    dans chaque processus), "programme" (le programme espeak-ng), ou un objet
    phonemiseur qui se transmet par pickle. `progression` : barre de progression
    sur la sortie d'erreur (None : seulement si c'est un terminal). `taille_lot` :
    textes envoyés ensemble à un processus. `rendu` : appelé sur chaque résultat
    dans le processus qui l'a fait (il doit se transmettre par pickle) ; ce qu'il
    rend est rendu à la place du résultat, sans que l'appelant refasse les
    enregistrements (None : les résultats eux-mêmes).

    Les résultats sont ceux d'un seul processus, rendus au fur et à mesure ; seuls
    quelques lots par processus sont en cours à la fois. Une erreur d'analyse est
    levée ici, avec le rang du texte en note ; Ctrl-C arrête les processus.
    """
    nombre = _nombre_de_processus(processus)
    lot = _taille_de_lot(taille_lot)
    verifier_rendu(rendu)
    if nombre == 1:
        return _en_processus(textes, options, nouveau_syllabeur(phonemiseur), progression, rendu)
    verifier_phonemiseur(phonemiseur)
    return _en_pool(textes, nombre, options, phonemiseur, progression, lot, rendu)


def _en_processus(
    textes: Iterable[str], options: OptionsGroupes | None, syllabeur: VantroSyllabeur, progression: bool | None,
    rendu: Rendu,
) -> Iterator[Any]:
    with _barre(textes, progression) as barre:
        for resultat in _analyser_avec(syllabeur, 0, textes, options, rendu):
            yield resultat
            barre.update(1)


class Lots:
    """The texts cut into lots, numbered by their first text's rank.

    An error of the caller's iterable is kept until the results of the texts
    read before it are handed out, as one process would have.
    """

    def __init__(self, textes: Iterable[str], taille: int) -> None:
        self._textes = iter(textes)
        self._taille = taille
        self._premier = 0
        self._fini = False
        self.erreur: Exception | None = None

    def prendre(self, nombre: int) -> list[tuple[int, list[str]]]:
        lots: list[tuple[int, list[str]]] = []
        while len(lots) < nombre and not self._fini:
            lot: list[str] = []
            try:
                lot.extend(itertools.islice(self._textes, self._taille))
            except Exception as erreur:
                self.erreur, self._fini = erreur, True
            if len(lot) < self._taille:
                self._fini = True
            if lot:
                lots.append((self._premier, lot))
                self._premier += len(lot)
        return lots

    def lever(self) -> None:
        """Raises the iterable's error, once every lot before it is handed out."""
        if self.erreur is not None:
            raise self.erreur


def _contexte() -> Any:
    import multiprocessing

    methodes = multiprocessing.get_all_start_methods()
    # A fork starts workers at once, and does not run the caller's main module
    # again (a script needs no `if __name__ == "__main__"`), but it copies the
    # locks other threads hold at that instant: with other threads running,
    # the workers come from a fork server instead.
    if sys.platform.startswith("linux") and "fork" in methodes and threading.active_count() == 1:
        return multiprocessing.get_context("fork")
    return multiprocessing.get_context("forkserver" if "forkserver" in methodes else "spawn")


def _arreter(pool: ProcessPoolExecutor, brutalement: bool) -> None:
    if brutalement:
        # The pool offers no way to stop a running task: its processes are ended.
        for p in list(getattr(pool, "_processes", {}).values()):
            if p.is_alive():
                p.terminate()
    pool.shutdown(wait=True, cancel_futures=True)


def _en_pool(
    textes: Iterable[str], nombre: int, options: OptionsGroupes | None, phonemiseur: Phonemiseur,
    progression: bool | None, lot: int, rendu: Rendu,
) -> Iterator[Any]:
    global _syllabeur_a_heriter
    contexte = _contexte()
    herite = contexte.get_start_method() == "fork"
    if herite:
        # A facade that cannot be made fails here, as the caller's own error.
        _syllabeur_a_heriter = nouveau_syllabeur(phonemiseur)
    pool = ProcessPoolExecutor(
        max_workers=nombre, mp_context=contexte, initializer=_preparer_processus,
        initargs=(phonemiseur, options, herite, rendu),
    )
    fini = False
    try:
        with _barre(textes, progression) as barre:
            en_cours: deque[Future[list[Any]]] = deque()
            lots = Lots(textes, lot)
            for premier, textes_du_lot in lots.prendre(nombre * LOTS_PAR_PROCESSUS):
                en_cours.append(pool.submit(_analyser_lot, premier, textes_du_lot))
            while en_cours:
                recus = en_cours.popleft().result()
                # The next lot leaves before these results are handed out, so
                # that the workers never wait on a slow consumer's turn.
                for premier, textes_du_lot in lots.prendre(1):
                    en_cours.append(pool.submit(_analyser_lot, premier, textes_du_lot))
                if rendu is None:
                    for octets in recus:
                        yield deballer(octets)
                else:
                    yield from recus
                # Once per lot: a bar drawn for every text would cost the caller
                # a share of the core its workers need.
                barre.update(len(recus))
            lots.lever()
        fini = True
    finally:
        _syllabeur_a_heriter = None
        _arreter(pool, brutalement=not fini)
