"""The reading page and its JSON API, as a Flask application.

Every answer is built here; Jinja2 escapes whatever the page shows, and the
coloured reading comes from `vers_html`, which escapes every character of the
text itself. No request reaches the analysis before it is checked
(`requetes`), and no error leaves as a traceback.
"""

from __future__ import annotations

import logging
from typing import Any

from flask import Flask, Response, jsonify, render_template, request
from markupsafe import Markup
from werkzeug.exceptions import HTTPException

from .requetes import TAILLES, Demande, RequeteInvalide, depuis_formulaire, depuis_json

# About ten pages of a book. The letter view of a text weighs far more than
# the text (some 4 KB a character while it is written out), so this bounds
# what one request can take, in time and in memory.
TAILLE_MAX = 32 * 1024
HOTES = frozenset({"127.0.0.1", "localhost", "[::1]"})

# Served from the package: the page works with no network at all.
_POLITIQUE = ("default-src 'none'; style-src 'self' 'unsafe-inline'; img-src 'self' data:; "
              "form-action 'self'; base-uri 'none'; frame-ancestors 'none'")

journal = logging.getLogger(__name__)


def _analyser(phonemiseur: Any, demande: Demande) -> Any:
    from vantro_aligneur.vantro_aligneur import OptionsGroupes, VantroSyllabeur

    options = OptionsGroupes(**demande.groupes)
    return VantroSyllabeur(phonemiseur).analyser_texte(demande.texte, options)


def _api(chemin: str) -> bool:
    return chemin.startswith("/api/")


def creer_application(phonemiseur: Any = None) -> Flask:
    """The application; `phonemiseur` reads the texts (default: the library when it loads, else the program)."""
    if phonemiseur is None:
        from vantro_aligneur.cli.phonemiseur import creer

        phonemiseur = creer(None)
    app = Flask(__name__)
    app.config["MAX_CONTENT_LENGTH"] = TAILLE_MAX
    app.json.ensure_ascii = False  # type: ignore[attr-defined]

    def erreur(message: str, statut: int) -> Response:
        if _api(request.path):
            reponse = jsonify(erreur=message)
        else:
            reponse = Response(render_template("page.html", demande=Demande(""), lecture=None, erreur=message,
                                               tailles=TAILLES), mimetype="text/html")
        reponse.status_code = statut
        return reponse

    @app.before_request
    def hote_local() -> Response | None:
        # A page elsewhere that points a name of its own at 127.0.0.1 must
        # not read this one's answers.
        hote = request.host.rsplit(":", 1)[0] if not request.host.endswith("]") else request.host
        if hote not in HOTES:
            return erreur("hôte refusé : ce serveur ne répond qu'en local", 400)
        return None

    @app.after_request
    def entetes(reponse: Response) -> Response:
        reponse.headers["Content-Security-Policy"] = _POLITIQUE
        reponse.headers["X-Content-Type-Options"] = "nosniff"
        reponse.headers["Referrer-Policy"] = "no-referrer"
        return reponse

    @app.errorhandler(RequeteInvalide)
    def requete_invalide(exc: RequeteInvalide) -> Response:
        return erreur(exc.message, exc.statut)

    @app.errorhandler(HTTPException)
    def http(exc: HTTPException) -> Response:
        messages = {
            404: "page introuvable",
            405: "méthode non permise ici",
            413: f"requête trop grande : {TAILLE_MAX // 1024} Kio au plus",
        }
        return erreur(messages.get(exc.code or 500, exc.description or exc.name), exc.code or 500)

    @app.errorhandler(Exception)
    def panne(exc: Exception) -> Response:
        journal.exception("analyse impossible")
        return erreur("erreur interne : l'analyse a échoué", 500)

    def corps(type_attendu: str) -> bytes:
        if request.mimetype != type_attendu:
            raise RequeteInvalide(f"type de contenu attendu : {type_attendu}", 415)
        return request.get_data(cache=False)

    @app.get("/")
    def page() -> str:
        return render_template("page.html", demande=Demande(""), lecture=None, erreur=None, tailles=TAILLES)

    @app.post("/")
    def lire() -> str:
        from vantro_aligneur.vantro_aligneur import vers_html

        demande = depuis_formulaire(corps("application/x-www-form-urlencoded"))
        lecture = None
        if demande.texte.strip():
            resultat = _analyser(phonemiseur, demande)
            # vers_html escapes every character of the text: the fragment is
            # markup of our own, with the text only ever as text.
            lecture = Markup(vers_html(resultat, demande.syllabes, page=False, couleurs=demande.couleurs,
                                       couleur_muettes=demande.couleur_muettes,
                                       espacement_lettres=demande.espacement_lettres,
                                       espacement_mots=demande.espacement_mots,
                                       taille_police=demande.taille_police))
        return render_template("page.html", demande=demande, lecture=lecture, erreur=None, tailles=TAILLES)

    @app.post("/api/analyse")
    def api_analyse() -> Response:
        from vantro_aligneur.vantro_aligneur import vers_json

        demande = depuis_json(corps("application/json"))
        resultat = _analyser(phonemiseur, demande)
        return Response(vers_json(resultat, demande.syllabes), mimetype="application/json")

    return app
