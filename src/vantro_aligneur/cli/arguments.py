"""The command line: options, their checks, and usage errors in French."""

from __future__ import annotations

import argparse
import sys
from dataclasses import dataclass
from typing import NoReturn

PROGRAMME = "vantro-syllabeur"
FORMATS = ("texte", "json", "html")
SYLLABES = ("orales", "ecrites")
PHONEMISEURS = ("programme", "bibliotheque")
PORT_PAR_DEFAUT = 8765

DESCRIPTION = """\
Analyse syllabique du français pour l'aide à la lecture.

Sans argument : analyse interactive, un mot par ligne (« /ʃɔkɔla » découpe de
l'IPA brute). Avec des mots : chaque mot du texte, en détail. Avec --groupes :
le texte entier en groupes de lecture (élisions, liaisons, enchaînements).
« vantro-syllabeur serve [--port N] » : la page de lecture, dans le navigateur.
"""

EXEMPLES = """\
exemples :
  vantro-syllabeur le chat
  vantro-syllabeur --groupes Les enfants ont un ami.
  vantro-syllabeur --groupes --format json -f histoire.txt
  vantro-syllabeur --groupes --format html -f histoire.txt > histoire.html
  vantro-syllabeur --groupes -j 2 -f corpus.txt
  vantro-syllabeur serve --port 8765
  vantro-syllabeur -- serve        (analyse le mot « serve »)
"""


class ErreurUsage(Exception):
    """A command line that cannot be run as given; exit status 2."""


class _Analyseur(argparse.ArgumentParser):
    # argparse would print its own English message and exit; the caller
    # reports usage errors itself, in one place and in French.
    def error(self, message: str) -> NoReturn:
        raise ErreurUsage(_en_francais(message))


class _Aide(argparse.RawDescriptionHelpFormatter):
    def add_usage(self, usage, actions, groups, prefix=None):  # type: ignore[no-untyped-def]
        super().add_usage(usage, actions, groups, "utilisation : " if prefix is None else prefix)


def _titres(p: _Analyseur) -> _Analyseur:
    p._positionals.title = "arguments"
    p._optionals.title = "options"
    return p


def _en_francais(message: str) -> str:
    remplacements = (
        ("unrecognized arguments:", "option inconnue :"),
        ("expected one argument", "attend une valeur"),
        ("invalid choice:", "valeur invalide :"),
        ("choose from", "choisir parmi"),
        ("argument ", "option "),
        ("invalid positive_int value:", "nombre invalide :"),
        ("invalid port value:", "port invalide :"),
        ("the following arguments are required:", "options manquantes :"),
    )
    for anglais, francais in remplacements:
        message = message.replace(anglais, francais)
    return message


def _entier_positif(valeur: str) -> int:
    try:
        n = int(valeur)
    except ValueError:
        raise argparse.ArgumentTypeError(f"nombre invalide : {valeur!r}") from None
    if n < 1:
        raise argparse.ArgumentTypeError(f"il faut au moins 1 processus, pas {n}")
    return n


def _port(valeur: str) -> int:
    try:
        n = int(valeur)
    except ValueError:
        raise argparse.ArgumentTypeError(f"port invalide : {valeur!r}") from None
    if not 0 <= n <= 65535:
        raise argparse.ArgumentTypeError(f"port hors de 0..65535 : {n}")
    return n


@dataclass(frozen=True)
class Commande:
    """What the command line asks for, checked."""

    action: str  # "interactif", "mots", "groupes" or "serve"
    mots: tuple[str, ...] = ()
    fichier: str | None = None
    phonemiseur: str | None = None
    format: str = "texte"
    couleur: bool = False
    syllabes: str = "orales"
    processus: int | None = None
    port: int = PORT_PAR_DEFAUT


def _analyseur_principal() -> _Analyseur:
    p = _titres(_Analyseur(prog=PROGRAMME, description=DESCRIPTION, epilog=EXEMPLES, add_help=False,
                           formatter_class=_Aide))
    p.add_argument("-h", "--help", action="store_true", help="affiche cette aide et termine")
    p.add_argument("--version", action="store_true", help="affiche la version et termine")
    p.add_argument("--groupes", action="store_true",
                   help="analyse le texte en groupes de lecture (arguments, -f FICHIER ou entrée standard)")
    p.add_argument("-f", "--fichier", metavar="FICHIER",
                   help="lit le texte dans FICHIER (UTF-8 ; « - » : l'entrée standard) ; avec --groupes")
    p.add_argument("--phonemiseur", choices=PHONEMISEURS,
                   help="espeak-ng lancé comme programme, ou chargé comme bibliothèque (par défaut : la "
                        "bibliothèque si elle se charge, sinon le programme ; le programme pour les mots)")
    p.add_argument("--format", choices=FORMATS, default="texte",
                   help="texte (détail), json (un document par paragraphe et par ligne), html (une page)")
    p.add_argument("--couleur", action="store_true", help="syllabes en couleurs dans le terminal (format texte)")
    p.add_argument("--syllabes", choices=SYLLABES, default="orales",
                   help="syllabes entendues (orales) ou celles de l'écrit, à l'école (ecrites)")
    p.add_argument("-j", "--processus", metavar="N", type=_entier_positif,
                   help="analyse les paragraphes dans N processus (avec --groupes)")
    p.add_argument("mots", nargs="*", metavar="MOT", help="le texte à analyser")
    return p


def _analyseur_serve() -> _Analyseur:
    p = _titres(_Analyseur(prog=f"{PROGRAMME} serve", add_help=False, formatter_class=_Aide,
                           description="La page de lecture, servie sur 127.0.0.1 seulement (cette machine)."))
    p.add_argument("-h", "--help", action="store_true", help="affiche cette aide et termine")
    p.add_argument("--port", type=_port, default=PORT_PAR_DEFAUT,
                   help=f"port d'écoute (par défaut {PORT_PAR_DEFAUT} ; 0 : un port libre)")
    p.add_argument("--phonemiseur", choices=PHONEMISEURS, help="comme pour l'analyse")
    return p


def _utf8(mots: tuple[str, ...]) -> None:
    # Bytes that are not UTF-8 reach Python as lone surrogates: refused like
    # such a file, not analysed and written back as something else.
    for mot in mots:
        if any("\udc80" <= c <= "\udcff" for c in mot):
            raise ErreurUsage(f"un argument n'est pas du texte UTF-8 : {mot.encode('utf-8', 'surrogateescape')!r}")


def aide(serve: bool = False) -> str:
    return (_analyseur_serve() if serve else _analyseur_principal()).format_help()


def lire(argv: list[str]) -> Commande | str:
    """The checked command, or the text to print for --help / --version."""
    if argv[:1] == ["serve"]:
        ns = _analyseur_serve().parse_args(argv[1:])
        if ns.help:
            return aide(serve=True)
        return Commande("serve", phonemiseur=ns.phonemiseur, port=ns.port)

    # A word such as "-5" is text, not an unknown option (argparse's rule
    # for arguments that look like negative numbers); "--" ends the options.
    ns = _analyseur_principal().parse_intermixed_args(argv)
    if ns.help:
        return aide()
    if ns.version:
        from vantro_aligneur._version import __version__

        return f"{PROGRAMME} {__version__}\n"
    mots = tuple(ns.mots)
    if ns.couleur and ns.format != "texte":
        raise ErreurUsage("--couleur ne vaut que pour --format texte")
    if not ns.groupes:
        for option, valeur in (("-f/--fichier", ns.fichier), ("-j/--processus", ns.processus)):
            if valeur is not None:
                raise ErreurUsage(f"{option} demande --groupes")
        if not mots:
            if ns.format != "texte" or ns.couleur or ns.syllabes != "orales":
                raise ErreurUsage("l'analyse interactive n'a que --phonemiseur ; donnez des mots, "
                                  "ou un texte avec --groupes")
            return Commande("interactif", phonemiseur=ns.phonemiseur)
        commande = Commande("mots", mots, phonemiseur=ns.phonemiseur, format=ns.format, couleur=ns.couleur,
                            syllabes=ns.syllabes)
        if commande != Commande("mots", mots):
            _utf8(mots)
        return commande
    if ns.fichier is not None and mots:
        raise ErreurUsage("donnez le texte en arguments ou par -f FICHIER, pas les deux")
    _utf8(mots)
    fichier = ns.fichier
    if fichier is None and not mots:
        if sys.stdin is None or sys.stdin.isatty():
            raise ErreurUsage("aucun texte : donnez-le en arguments, par -f FICHIER ou sur l'entrée standard")
        fichier = "-"
    return Commande("groupes", mots, fichier=fichier, phonemiseur=ns.phonemiseur, format=ns.format,
                    couleur=ns.couleur, syllabes=ns.syllabes, processus=ns.processus)
