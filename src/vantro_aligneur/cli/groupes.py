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


def _resultats(commande: Commande, textes: Iterator[str], phonemiseur: Any) -> Iterator[Any]:
    options = _options(commande)
    if commande.processus is not None and commande.processus > 1:
        # Imported here: the pool and its progress bar cost nothing to a
        # run in one process.
        from vantro_aligneur.corpus import analyser_corpus

        yield from analyser_corpus(textes, processus=commande.processus, options=options,
                                   phonemiseur=choix.nom_de(phonemiseur))
        return
    from vantro_aligneur.vantro_aligneur import VantroSyllabeur

    syllabeur = VantroSyllabeur(phonemiseur)
    for texte in textes:
        yield syllabeur.analyser_texte(texte, options)


def groupes(commande: Commande) -> int:
    phonemiseur = choix.creer(commande.phonemiseur)
    titre = None if commande.fichier in (None, "-") else commande.fichier
    sortie = sorties.creer(commande.format, commande.couleur, commande.syllabes, sys.stdout, titre)
    with entrees.ouvrir(commande.fichier, commande.mots) as textes:
        for resultat in _resultats(commande, textes, phonemiseur):
            sortie.ecrire(resultat)
    sortie.fin()
    return 0
