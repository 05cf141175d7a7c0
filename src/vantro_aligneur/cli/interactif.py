"""Word by word: the interactive loop and the words given on the command line."""

from __future__ import annotations

import sys
from typing import Any

from . import phonemiseur as choix
from . import sorties
from .arguments import Commande

BANNER = "Vantro Syllabeur Complet — Mode interactif (Ctrl+C pour quitter)"
PROMPT = "Mot > "


def _syllabeur(commande: Commande) -> Any:
    from vantro_aligneur.vantro_aligneur import EspeakPhonemizer, VantroSyllabeur

    # Word by word, the program is the reader unless another is asked for:
    # each word is read alone, where the library saves little.
    if commande.phonemiseur is None:
        return VantroSyllabeur()
    if commande.phonemiseur == "programme":
        return VantroSyllabeur(EspeakPhonemizer())
    return VantroSyllabeur(choix.creer(commande.phonemiseur))


def mots(commande: Commande) -> int:
    syllabeur = _syllabeur(commande)
    sortie = sorties.creer(commande.format, commande.couleur, commande.syllabes, sys.stdout)
    ecrites = commande.syllabes == "ecrites" and commande.format == "texte" and not commande.couleur
    for resultat in syllabeur.analyze_text(" ".join(commande.mots)):
        if ecrites:
            # The detailed rendering shows the result's own syllables: read
            # the word again, with the same pronunciation, cut as written.
            resultat = syllabeur.analyze(resultat.mot, resultat.phone, syllabes_ecrites=True)
        sortie.ecrire(resultat)
    sortie.fin()
    return 0


def interactif(commande: Commande) -> int:
    syllabeur = _syllabeur(commande)
    print(BANNER)
    print()
    try:
        while True:
            line = input(PROMPT).strip()
            if not line:
                continue
            if line.startswith("/"):
                ipa = line[1:].strip()
                syllabes = syllabeur.syllabify_ipa(ipa)
                print(f"  /{ipa}/ -> {'.'.join(syllabes)} ({len(syllabes)} syll.)")
            else:
                print(syllabeur.analyze(line).format_detail())
            print()
    except (KeyboardInterrupt, EOFError):
        print()
    return 0
