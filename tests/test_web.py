"""The reading page and its JSON API through Flask's test client: what a
browser or a script sends, well formed or not."""

from __future__ import annotations

import json

import pytest

pytest.importorskip("flask", reason="the web extra (Flask, waitress) is not installed")

import vantro_aligneur.vantro_aligneur as va  # noqa: E402
from vantro_aligneur.web import creer_application  # noqa: E402
from vantro_aligneur.web.application import TAILLE_MAX  # noqa: E402

PHRASE = "Les enfants ont un ami."
FORM = "application/x-www-form-urlencoded"


@pytest.fixture(scope="module")
def client(library):
    application = creer_application(library)
    application.testing = False  # errors go through the handlers, as in service
    return application.test_client()


def api(client, body, content_type="application/json", **kwargs):
    if not isinstance(body, bytes):
        body = json.dumps(body).encode()
    return client.post("/api/analyse", data=body, content_type=content_type, **kwargs)


def test_page(client):
    page = client.get("/")
    html = page.get_data(as_text=True)
    assert page.status_code == 200 and page.mimetype == "text/html"
    assert '<textarea id="texte" name="texte"' in html and "<button" in html
    for name in ("syllabes", "couleur1", "couleur2", "couleur_muettes", "espacement_lettres", "espacement_mots",
                 "taille"):
        assert f'name="{name}"' in html
    assert 'value="#0072B2"' in html and 'value="#D55E00"' in html
    # Nothing is fetched from elsewhere: the page works offline.
    assert "http://" not in html and "https://" not in html
    assert "default-src 'none'" in page.headers["Content-Security-Policy"]
    css = client.get("/static/page.css")
    assert css.status_code == 200 and "body" in css.get_data(as_text=True)


def test_reading_in_the_page(client, library):
    page = client.post("/", data={"texte": PHRASE, "syllabes": "orales", "couleur1": "#000000",
                                  "couleur2": "#ffffff", "espacement_lettres": "0.1", "taille": "1.5"})
    html = page.get_data(as_text=True)
    attendu = va.vers_html(va.VantroSyllabeur(library).analyser_texte(PHRASE), page=False,
                           couleurs=("#000000", "#ffffff"), espacement_lettres=0.1, taille_police=1.5)
    assert page.status_code == 200 and attendu in html
    assert "va-j-liaison" in html and "va-muette" in html
    # The form comes back as it was sent.
    assert f">{PHRASE}</textarea>" in html and 'value="orales" checked' in html
    assert 'value="ecrites" checked' not in html and '<option value="1.5" selected>' in html


def test_line_breaks_of_the_text_box(client):
    html = client.post("/", data={"texte": "Un ami.\r\nUn chat.\rUn chien."}).get_data(as_text=True)
    assert ">Un ami.\nUn chat.\nUn chien.</textarea>" in html
    assert "\r" not in html and "\ufffd" not in html


@pytest.mark.parametrize("texte", ["<script>alert(1)</script>", "</textarea><script>alert(1)</script>",
                                   "\"'><img src=x onerror=alert(1)>"])
def test_markup_in_the_text_stays_text(client, texte):
    html = client.post("/", data={"texte": texte}).get_data(as_text=True)
    assert "<script>" not in html and "<img" not in html
    assert "&lt;script&gt;" in html or "&lt;img" in html


@pytest.mark.parametrize("options, check", [
    ({}, lambda doc, r: doc == json.loads(va.vers_json(r))),
    ({"syllabes": "ecrites"}, lambda doc, r: doc == json.loads(va.vers_json(r, "ecrites"))),
    ({"gerer_liaisons": False}, lambda doc, r: "liaison" not in json.dumps(doc["jonctions"])),
    ({"gerer_liaisons": True, "ajouter_schwas_finaux": False, "gerer_elisions": True,
      "gerer_enchainement": True}, lambda doc, r: doc == json.loads(va.vers_json(r))),
])
def test_api(client, library, options, check):
    reponse = api(client, {"texte": PHRASE, "options": options})
    assert reponse.status_code == 200 and reponse.mimetype == "application/json"
    assert check(reponse.get_json(), va.VantroSyllabeur(library).analyser_texte(PHRASE))


def test_api_keeps_the_text_as_sent(client):
    texte = "<script>alert(1)</script> L’été\u0000 \U0001F600"
    document = api(client, {"texte": texte}).get_json()
    assert document["texte"] == texte


MALFORMED_API = [
    (b"\xff\xfe{}", "application/json", 400, "UTF-8"),
    (b"{", "application/json", 400, "JSON invalide"),
    (b"[" * 30_000, "application/json", 400, "JSON invalide"),
    (b"", "application/json", 400, "JSON invalide"),
    (b"[]", "application/json", 400, "objet JSON"),
    (b"{}", "application/json", 400, "« texte » manquant"),
    ({"texte": 3}, "application/json", 400, "« texte » doit être une chaîne"),
    ({"texte": None}, "application/json", 400, "« texte » doit être une chaîne"),
    ({"texte": "a", "autre": 1}, "application/json", 400, "champ inconnu : autre"),
    ({"texte": "a", "options": []}, "application/json", 400, "« options » doit être un objet"),
    ({"texte": "a", "options": {"vitesse": 2}}, "application/json", 400, "option inconnue : vitesse"),
    ({"texte": "a", "options": {"syllabes": "toutes"}}, "application/json", 400, "« syllabes »"),
    ({"texte": "a", "options": {"syllabes": 1}}, "application/json", 400, "« syllabes »"),
    ({"texte": "a", "options": {"gerer_liaisons": "oui"}}, "application/json", 400, "booléen"),
    ({"texte": "a", "options": {"gerer_liaisons": 1}}, "application/json", 400, "booléen"),
    (b'{"texte": "a\\ud800b"}', "application/json", 400, "U+D800"),
    (b'{"texte": "a"}', "text/plain", 415, "application/json"),
    (b"texte=a", FORM, 415, "application/json"),
    (b'{"texte": "' + b"a" * TAILLE_MAX + b'"}', "application/json", 413, "trop grande"),
]


@pytest.mark.parametrize("body, content_type, status, message", MALFORMED_API)
def test_api_refuses_malformed_requests(client, body, content_type, status, message):
    reponse = api(client, body, content_type)
    assert reponse.status_code == status and reponse.mimetype == "application/json"
    assert message in reponse.get_json()["erreur"]


MALFORMED_FORM = [
    (b"texte=%FF%FE", FORM, 400, "pas du UTF-8"),
    (b"texte=\xc3\xa9", FORM, 400, "pas du UTF-8"),
    (b"syllabes=orales", FORM, 400, "« texte » manquant"),
    (b"texte=a&texte=b", FORM, 400, "en double"),
    (b"texte=a&script=1", FORM, 400, "champ inconnu : script"),
    (b"texte=a&syllabes=toutes", FORM, 400, "« syllabes »"),
    (b"texte=a&couleur1=red%3B%7D", FORM, 400, "#rrggbb"),
    (b"texte=a&espacement_lettres=nan", FORM, 400, "compris entre"),
    (b"texte=a&espacement_mots=3", FORM, 400, "compris entre"),
    (b"texte=a&espacement_mots=beaucoup", FORM, 400, "un nombre"),
    (b"texte=a&taille=1.1", FORM, 400, "« taille »"),
    (b"texte=a%ED%A0%80", FORM, 400, "pas du UTF-8"),
    (b"&".join([b"a=1"] * 100), FORM, 400, "trop de champs"),
    (b'{"texte": "a"}', "application/json", 415, FORM),
    (b"texte=" + b"a" * TAILLE_MAX, FORM, 413, "trop grande"),
]


@pytest.mark.parametrize("body, content_type, status, message", MALFORMED_FORM)
def test_page_refuses_malformed_forms(client, body, content_type, status, message):
    reponse = client.post("/", data=body, content_type=content_type)
    html = reponse.get_data(as_text=True)
    assert reponse.status_code == status and reponse.mimetype == "text/html"
    assert message in html.replace("&#34;", '"').replace("&#39;", "'") and 'role="alert"' in html


@pytest.mark.parametrize("method, path, headers, status, json_error", [
    ("get", "/api/analyse", {}, 405, True),
    ("put", "/", {}, 405, False),
    ("get", "/ailleurs", {}, 404, False),
    ("get", "/api/ailleurs", {}, 404, True),
    ("get", "/", {"Host": "example.org"}, 400, False),
    ("get", "/", {"Host": "evil.example:8765"}, 400, False),
])
def test_other_requests(client, method, path, headers, status, json_error):
    reponse = getattr(client, method)(path, headers=headers)
    assert reponse.status_code == status
    if json_error:
        assert reponse.get_json()["erreur"]
    else:
        assert 'role="alert"' in reponse.get_data(as_text=True)


@pytest.mark.parametrize("host", ["127.0.0.1:8765", "localhost", "[::1]:8765"])
def test_local_hosts(client, host):
    assert client.get("/", headers={"Host": host}).status_code == 200


def test_a_failing_analysis_is_a_message(library, monkeypatch):
    from vantro_aligneur.web import application as module

    def panne(*_):
        raise MemoryError

    monkeypatch.setattr(module, "_analyser", panne)
    application = creer_application(library)
    reponse = application.test_client().post("/api/analyse", json={"texte": "a"})
    assert reponse.status_code == 500 and reponse.get_json() == {"erreur": "erreur interne : l'analyse a échoué"}
