"""A text read into reading groups, paragraph by paragraph, in one process or in several."""

from __future__ import annotations

import sys
from collections.abc import Iterator
from typing import Any

from . import entrees, sorties
from . import phonemiseur as choix
from .arguments import Commande


def _options(commande: Commande) -> Any:
    from vantro_aligneur.vantro_aligneur import OptionsGroupes

    return OptionsGroupes(syllabes_ecrites=commande.syllabes == "ecrites")


def _rendus(commande: Commande, textes: Iterator[str], phonemiseur: Any, sortie: sorties.Sortie) -> Iterator[Any]:
    """Each paragraph's text as written out, in order: str, or bytes from the workers."""
    options = _options(commande)
    if commande.processus is not None and commande.processus > 1:
        # Imported here: the pool and its progress bar cost nothing to a
        # run in one process. The workers render their own results: the
        # caller would otherwise make every record a second time, on a core
        # the workers need.
        from vantro_aligneur.corpus import analyser_corpus

        yield from analyser_corpus(textes, processus=commande.processus, options=options,
                                   phonemiseur=choix.nom_de(phonemiseur), rendu=sortie.en_octets() or sortie.rendu)
        return
    from vantro_aligneur.vantro_aligneur import VantroSyllabeur

    syllabeur = VantroSyllabeur(phonemiseur)
    for texte in textes:
        yield sortie.rendu(syllabeur.analyser_texte(texte, options))


def groupes(commande: Commande) -> int:
    phonemiseur = choix.creer(commande.phonemiseur)
    titre = None if commande.fichier in (None, "-") else commande.fichier
    sortie = sorties.creer(commande.format, commande.couleur, commande.syllabes, sys.stdout, titre)
    with entrees.ouvrir(commande.fichier, commande.mots) as textes:
        for texte in _rendus(commande, textes, phonemiseur, sortie):
            sortie.ecrire_rendu(texte)
    sortie.fin()
    return 0
