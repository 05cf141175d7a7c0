"""What a request may hold, checked before anything is analysed: every
refusal is a `RequeteInvalide` whose message goes back to the client."""

from __future__ import annotations

import json
import re
from dataclasses import dataclass, field
from typing import Any
from urllib.parse import parse_qsl

SYLLABES = ("orales", "ecrites")
OPTIONS_GROUPES = ("gerer_elisions", "gerer_liaisons", "gerer_enchainement", "ajouter_schwas_finaux")
TAILLES = (1.0, 1.25, 1.5, 2.0)
_COULEUR = re.compile(r"#[0-9a-fA-F]{6}")


class RequeteInvalide(Exception):
    """A request that cannot be served as sent; `statut` is the HTTP status."""

    def __init__(self, message: str, statut: int = 400) -> None:
        super().__init__(message)
        self.message = message
        self.statut = statut


@dataclass
class Demande:
    """A checked request: the text and how to read and show it."""

    texte: str
    syllabes: str = "orales"
    groupes: dict[str, bool] = field(default_factory=dict)
    couleurs: tuple[str, str] = ("#0072B2", "#D55E00")
    couleur_muettes: str = "#767676"
    espacement_lettres: float = 0.0
    espacement_mots: float = 0.0
    taille_police: float = 1.0


def _texte(valeur: Any) -> str:
    if not isinstance(valeur, str):
        raise RequeteInvalide(f"« texte » doit être une chaîne, pas {_nom_type(valeur)}")
    # A lone surrogate is no character: it could be neither analysed nor
    # written back as UTF-8.
    for i, c in enumerate(valeur):
        if "\ud800" <= c <= "\udfff":
            raise RequeteInvalide(f"« texte » contient un demi-caractère U+{ord(c):04X} à la position {i}")
    return valeur


def _nom_type(valeur: Any) -> str:
    return {bool: "un booléen", int: "un nombre", float: "un nombre", str: "une chaîne", list: "une liste",
            dict: "un objet", type(None): "null"}.get(type(valeur), type(valeur).__name__)


def depuis_json(corps: bytes) -> Demande:
    """The API's body: {"texte": "...", "options": {...}}."""
    try:
        document = json.loads(corps.decode("utf-8"))
    except UnicodeDecodeError as exc:
        raise RequeteInvalide(f"le corps n'est pas du UTF-8 (octet {exc.start})") from None
    except json.JSONDecodeError as exc:
        raise RequeteInvalide(f"JSON invalide : {exc.msg} (ligne {exc.lineno}, colonne {exc.colno})") from None
    except RecursionError:
        raise RequeteInvalide("JSON invalide : trop imbriqué") from None
    if not isinstance(document, dict):
        raise RequeteInvalide(f"le corps doit être un objet JSON, pas {_nom_type(document)}")
    inconnus = sorted(set(document) - {"texte", "options"})
    if inconnus:
        raise RequeteInvalide(f"champ inconnu : {', '.join(inconnus)}")
    if "texte" not in document:
        raise RequeteInvalide("champ « texte » manquant")
    demande = Demande(_texte(document["texte"]))
    options = document.get("options", {})
    if options is None:
        options = {}
    if not isinstance(options, dict):
        raise RequeteInvalide(f"« options » doit être un objet, pas {_nom_type(options)}")
    for nom, valeur in options.items():
        if nom == "syllabes":
            if valeur not in SYLLABES:
                raise RequeteInvalide(f"« syllabes » vaut « orales » ou « ecrites », pas {json.dumps(valeur)}")
            demande.syllabes = valeur
        elif nom in OPTIONS_GROUPES:
            if not isinstance(valeur, bool):
                raise RequeteInvalide(f"l'option « {nom} » doit être un booléen, pas {_nom_type(valeur)}")
            demande.groupes[nom] = valeur
        else:
            raise RequeteInvalide(f"option inconnue : {nom}")
    return demande


def _nombre(formulaire: dict[str, str], nom: str, minimum: float, maximum: float) -> float:
    brut = formulaire.get(nom, "0")
    try:
        valeur = float(brut)
    except ValueError:
        raise RequeteInvalide(f"« {nom} » doit être un nombre, pas « {brut[:40]} »") from None
    if not minimum <= valeur <= maximum:  # NaN fails too
        raise RequeteInvalide(f"« {nom} » doit être compris entre {minimum:g} et {maximum:g}")
    return valeur


def _couleur(formulaire: dict[str, str], nom: str, defaut: str) -> str:
    valeur = formulaire.get(nom, defaut)
    if not _COULEUR.fullmatch(valeur):
        raise RequeteInvalide(f"« {nom} » doit être une couleur #rrggbb, pas « {valeur[:40]} »")
    return valeur


CHAMPS_FORMULAIRE = frozenset({"texte", "syllabes", "couleur1", "couleur2", "couleur_muettes",
                               "espacement_lettres", "espacement_mots", "taille"})


def depuis_formulaire(corps: bytes) -> Demande:
    """The page's form, sent as application/x-www-form-urlencoded."""
    try:
        paires = parse_qsl(corps.decode("ascii"), keep_blank_values=True, strict_parsing=False,
                           encoding="utf-8", errors="strict", max_num_fields=len(CHAMPS_FORMULAIRE) + 1)
    except UnicodeDecodeError:
        raise RequeteInvalide("le formulaire n'est pas du UTF-8") from None
    except ValueError:
        raise RequeteInvalide("le formulaire a trop de champs") from None
    formulaire: dict[str, str] = {}
    for nom, valeur in paires:
        if nom not in CHAMPS_FORMULAIRE:
            raise RequeteInvalide(f"champ inconnu : {nom[:40]}")
        if nom in formulaire:
            raise RequeteInvalide(f"champ en double : {nom}")
        formulaire[nom] = valeur
    if "texte" not in formulaire:
        raise RequeteInvalide("champ « texte » manquant")
    # Browsers send a text box's line breaks as CRLF; the reader typed
    # line feeds, and a carriage return would show as a stray character.
    demande = Demande(_texte(formulaire["texte"]).replace("\r\n", "\n").replace("\r", "\n"))
    syllabes = formulaire.get("syllabes", "orales")
    if syllabes not in SYLLABES:
        raise RequeteInvalide(f"« syllabes » vaut « orales » ou « ecrites », pas « {syllabes[:40]} »")
    demande.syllabes = syllabes
    demande.couleurs = (_couleur(formulaire, "couleur1", Demande.couleurs[0]),
                        _couleur(formulaire, "couleur2", Demande.couleurs[1]))
    demande.couleur_muettes = _couleur(formulaire, "couleur_muettes", Demande.couleur_muettes)
    demande.espacement_lettres = _nombre(formulaire, "espacement_lettres", 0.0, 0.5)
    demande.espacement_mots = _nombre(formulaire, "espacement_mots", 0.0, 1.0)
    taille = _nombre(formulaire, "taille", 1.0, 2.0) if "taille" in formulaire else 1.0
    if taille not in TAILLES:
        raise RequeteInvalide(f"« taille » vaut l'une de {', '.join(f'{t:g}' for t in TAILLES)}")
    demande.taille_police = taille
    return demande
