"""The `vantro-syllabeur` program: word by word, in reading groups, or as a local web page."""

from __future__ import annotations

import os
import sys
from collections.abc import Sequence

from .arguments import PROGRAMME, Commande, ErreurUsage, lire
from .entrees import ErreurEntree
from .phonemiseur import ErreurPhonemiseur


def _erreur(message: str, statut: int) -> int:
    print(f"{PROGRAMME} : erreur : {message}", file=sys.stderr)
    if statut == 2:
        print(f"{PROGRAMME} --help : les options", file=sys.stderr)
    return statut


def main(argv: Sequence[str] | None = None) -> int:
    """Runs the program on `argv` (default: the command line); returns the exit status."""
    args = list(sys.argv[1:] if argv is None else argv)
    try:
        commande = lire(args)
    except ErreurUsage as exc:
        return _erreur(str(exc), 2)
    if isinstance(commande, str):
        sys.stdout.write(commande)
        return 0

    from . import groupes, interactif, serve

    try:
        # The interactive loop and the plain word-by-word run end on an
        # error with the interpreter's own report, as they always have.
        if commande.action == "interactif":
            return interactif.interactif(commande)
        if commande == Commande("mots", commande.mots):
            return interactif.mots(commande)
        try:
            if commande.action == "mots":
                return interactif.mots(commande)
            if commande.action == "serve":
                return serve.serve(commande)
            return groupes.groupes(commande)
        except ErreurEntree as exc:
            return _erreur(str(exc), 2)
        except (ErreurPhonemiseur, serve.ErreurServeur, RuntimeError) as exc:
            return _erreur(str(exc), 1)
        except KeyboardInterrupt:
            return 130
    except BrokenPipeError:
        # The reader went away (| head): no report, and none at exit either.
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, sys.stdout.fileno())
        return 1
