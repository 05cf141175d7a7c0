"""The letter view and its exports: vue_lettres, vers_json, vers_html, vers_ansi."""

import json
import os
import re
from dataclasses import dataclass
from html.parser import HTMLParser
from importlib import resources

import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

import vantro_aligneur.vantro_aligneur as va
import view_model

HERE = os.path.dirname(os.path.abspath(__file__))


class NoPhonemizer:
    def phonemize(self, word):
        raise AssertionError("every pronunciation is given")


ANALYSER = va.VantroSyllabeur(NoPhonemizer())


@dataclass
class Tok:
    text: str
    span: tuple


def sentence(text, *words, options=None):
    """analyser_complet on `text`, each word given as (text, phone[, liaison[, pos]])."""
    mots, pos = [], 0
    for word, phone, *rest in words:
        at = text.index(word, pos)
        pos = at + len(word)
        mots.append(va.MotAnalyse(Tok(word, (at, pos)), phone, *rest))
    result = ANALYSER.analyser_complet(mots, options=options)
    result.texte_original = text
    return result


LES_ENFANTS = (
    "Les enfants lisent un livre.",
    ("Les", "le", "Lz"),
    ("enfants", "ɑ̃fɑ̃"),
    ("lisent", "liz", "none", "VER"),
    ("un", "œ̃", "Ln"),
    ("livre", "livʁ"),
)


def schema():
    return json.loads(resources.files("vantro_aligneur.data").joinpath("vue_lettres.schema.json").read_text("utf-8"))


def validate(document):
    import jsonschema

    jsonschema.validate(document, schema(), cls=jsonschema.Draft202012Validator)


def letters_by_word(doc, word_index):
    return [l for l in doc["lettres"] if l["mot"] == word_index]


# ---- the example of the issue ---------------------------------------------------------------


def test_les_enfants_lisent_un_livre():
    text = LES_ENFANTS[0]
    result = sentence(*LES_ENFANTS)
    doc = json.loads(va.vers_json(result))
    validate(doc)
    # Every letter of the text exactly once, in exactly one syllable.
    assert [l["position"] for l in doc["lettres"]] == [i for i, c in enumerate(text) if c.isalpha()]
    assert all(l["syllabe"] is not None for l in doc["lettres"])
    assert sorted(i for s in doc["syllabes"] for i in s["lettres"]) == list(range(len(doc["lettres"])))

    def roles(word):
        return "".join(l["caractere"] + ":" + l["role"][0] for l in letters_by_word(doc, word))

    enfants, lisent = letters_by_word(doc, 1), letters_by_word(doc, 2)
    assert enfants[-1]["caractere"] == "s" and enfants[-1]["role"] == "muette"
    assert [l["role"] for l in lisent[3:]] == ["muette"] * 3  # the "ent" of "lisent"
    s = lisent[2]
    assert s["caractere"] == "s" and [doc["phonemes"][k]["ipa"] for k in s["phonemes"]] == ["z"]
    en = doc["unites"][enfants[0]["unite"]]
    assert en["graphie"] == "en" and [doc["phonemes"][k]["ipa"] for k in en["phonemes"]] == ["ɑ̃"]
    assert enfants[1]["unite"] == enfants[0]["unite"]
    # The liaison of "Les enfants" is carried by the s of "Les".
    (liaison,) = [j for j in doc["jonctions"] if j["type"] == "liaison"]
    assert doc["lettres"][liaison["lettre"]]["role"] == "liaison" and liaison["consonne"] == "z"

    written = json.loads(va.vers_json(result, "ecrites"))
    validate(written)
    livre = [s for s in written["syllabes"] if written["lettres"][s["lettres"][0]]["mot"] == 4]
    assert [s["texte"] for s in livre] == ["li", "vre"]


# ---- every result exports -----------------------------------------------------------------


class OwnToken:
    """A caller's token: the module reads only `text` and `span`."""

    def __init__(self, text, span):
        self.text, self.span, self.other = text, span, object()


def results():
    yield "word", ANALYSER.analyze("chocolat", "ʃɔkɔla")
    yield "word written", ANALYSER.analyze("table", "tabl", syllabes_ecrites=True)
    yield "word not aligned", ANALYSER.analyze("xyz", "ʃɔkɔla")
    yield "empty word", ANALYSER.analyze("", "")
    yield "sentence", sentence(*LES_ENFANTS)
    yield "sentence written", sentence(*LES_ENFANTS, options=va.OptionsGroupes(syllabes_ecrites=True))
    mots = [va.MotAnalyse(OwnToken("Avec", (0, 4)), "avɛk"), va.MotAnalyse(OwnToken("elle", (5, 9)), "ɛl")]
    yield "own tokens", ANALYSER.analyser_complet(mots)
    yield "no tokens", ANALYSER.analyser_complet([va.MotAnalyse(None, "le"), va.MotAnalyse(object(), "ʃa")])
    formule = va.MotAnalyse(Tok("12", (3, 5)), "duz", est_formule=True)
    reading = va.LectureFormule("douze", [va.EventFormule("douze", "duz", (3, 5))])
    yield "formula", ANALYSER.analyser_complet([va.MotAnalyse(Tok("Il", (0, 2)), "il"), formule], {1: reading})
    yield "empty sentence", va.ResultatSyllabation("")
    yield "records built by hand", va.ResultatSyllabation(
        "ba", [va.ResultatGroupe(va.GroupeLecture([va.MotAnalyse(Tok("ba", (0, 2)), "ba")], "ba"),
                                 [va.Syllabe("ba", "b°a", (0, 2))])])


RESULTS = list(results())


@pytest.mark.parametrize("name,result", RESULTS, ids=[n for n, _ in RESULTS])
@pytest.mark.parametrize("mode", ["orales", "ecrites"])
def test_every_result_exports(name, result, mode):
    text = va.vers_json(result, mode)
    doc = json.loads(text)
    validate(doc)
    assert doc == va.vue_lettres(result, mode)
    # Letters are the words' characters, once each, in text order, at their place.
    positions = [l["position"] for l in doc["lettres"]]
    assert positions == sorted(set(positions))
    assert all(doc["texte"][l["position"]] == l["caractere"] for l in doc["lettres"])
    # Syllables hold their letters in order and never share one.
    owners = {}
    for si, s in enumerate(doc["syllabes"]):
        for i in s["lettres"]:
            assert owners.setdefault(i, si) == si and doc["lettres"][i]["syllabe"] == si
    syl = [l["syllabe"] for l in doc["lettres"] if l["syllabe"] is not None]
    assert syl == sorted(syl)
    va.vers_html(result, mode)
    va.vers_ansi(result, mode)


def test_the_view_agrees_with_the_records():
    result = sentence(*LES_ENFANTS)
    doc = va.vue_lettres(result)
    records = [s for rg in result.groupes for s in rg.syllabes]
    assert [s["phone"] for s in doc["syllabes"]] == [s.phone for s in records]
    for s, rec in zip(doc["syllabes"], records):
        lo, hi = rec.span
        assert all(lo <= doc["lettres"][i]["position"] < hi for i in s["lettres"])
        for part in ("attaque", "noyau", "coda"):
            assert s[part]["phone"] == getattr(rec, part).phone
            ours = [doc["phonemes"][k]["grapheme"].replace("°", "").replace("²", "") for k in s[part]["phonemes"]]
            assert ours == [p.grapheme for p in getattr(rec, part).phonemes]


@pytest.mark.parametrize("name,result", [(n, r) for n, r in RESULTS if "written" in n])
def test_written_results_keep_their_letters(name, result):
    assert "inconnue" not in {l["role"] for l in va.vue_lettres(result)["lettres"]}


def test_records_changed_by_the_caller_are_shown_as_they_are():
    result = ANALYSER.analyze("chocolat", "ʃɔkɔla")
    result.syllabes = [va.Syllabe("ʃɔkɔla", "chocolat", (0, 8))]
    doc = va.vue_lettres(result)
    assert [s["phone"] for s in doc["syllabes"]] == ["ʃɔkɔla"]
    assert {l["syllabe"] for l in doc["lettres"]} == {0} and {l["role"] for l in doc["lettres"]} == {"inconnue"}


def test_texts_the_spans_do_not_point_into():
    # analyser_complet joins the words with spaces; the tokens point into the
    # caller's own text, where a comma stands between them.
    mots = [va.MotAnalyse(Tok("Oui", (0, 3)), "wi"), va.MotAnalyse(Tok("merci", (5, 10)), "mɛʁsi", ponctuation_avant=True)]
    doc = va.vue_lettres(ANALYSER.analyser_complet(mots))
    assert doc["texte"] == "Oui merci"
    assert "".join(l["caractere"] for l in doc["lettres"]) == "Ouimerci"
    assert [s["span"] for s in doc["syllabes"]] == [[0, 3], [4, 7], [7, 9]]


@pytest.mark.parametrize(
    "call,error",
    [
        (lambda r: va.vers_json(r, "orale"), ValueError),
        (lambda r: va.vers_json(r, syllabes=None), TypeError),
        (lambda r: va.vers_json("texte"), TypeError),
        (lambda r: va.vers_html(r, couleurs=("red", "blue;}")), ValueError),
        (lambda r: va.vers_html(r, couleurs=("red",)), ValueError),
        (lambda r: va.vers_html(r, taille_police=10), ValueError),
        (lambda r: va.vers_html(r, espacement_lettres="1em"), TypeError),
        (lambda r: va.vers_html(r, "orales", True), TypeError),  # the options are keyword-only
        (lambda r: va.vers_ansi(r, couleurs=(1, 256)), ValueError),
    ],
)
def test_bad_arguments(call, error):
    with pytest.raises(error):
        call(ANALYSER.analyze("ami", "ami"))


# ---- oracle: a plain model of the spoken view ---------------------------------------------


def word_list():
    rows = []
    with open(os.path.join(HERE, "data", "french_words_ipa.tsv"), encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                word, ipa = line.rstrip("\n").split("\t")
                rows.append((word, ipa))
    return rows


WORDS = word_list()
LIAISONS = ["none", "none", "Lz", "Lt", "Ln"]


def model_of(result):
    """{position: [role, syllable, constituent, ipa...]} of the model, syllables counted over the text."""
    out, base = {}, 0
    for rg in result.groupes:
        g = rg.groupe
        words = [(m.text, m.span) for m in g.mots]
        spans = [(s, s + len(t)) for t, (s, _) in words]
        ph, gr, sp, ok = view_model.group_alignment(words, g.phone_groupe) if g.phone_groupe else ([], [], [], False)
        for p, v in view_model.letters(result.texte_original, spans, ph, gr, sp, ok, rg.syllabes, g.jonctions).items():
            out[p] = [v[0], None if v[1] is None else v[1] + base, v[2]] + v[3]
        base += len(rg.syllabes)
    return out


@settings(max_examples=150, deadline=None, suppress_health_check=[HealthCheck.too_slow])
@given(st.lists(st.tuples(st.sampled_from(WORDS), st.sampled_from(LIAISONS)), min_size=1, max_size=5))
def test_the_view_matches_the_model(chosen):
    text = " ".join(w for (w, _), _ in chosen)
    result = sentence(text, *[(w, ipa, liaison) for (w, ipa), liaison in chosen])
    doc = va.vue_lettres(result)
    ours = {
        l["position"]: [l["role"], l["syllabe"], l["constituant"]] + [doc["phonemes"][k]["ipa"] for k in l["phonemes"]]
        for l in doc["lettres"]
    }
    assert ours == model_of(result)


# ---- HTML ---------------------------------------------------------------------------------------


class Checker(HTMLParser):
    """Well-formed: every element closed in order; collects the text and the reading's elements."""

    VOID = {"meta", "br", "link"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack, self.text, self.syllables, self.arcs, self.silent, self.titles = [], [], 0, 0, 0, []
        self.in_reading = False

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        cls = a.get("class", "")
        if "title" in a:
            self.titles.append(a["title"])
        self.syllables += "va-syl" in cls
        self.arcs += "va-j-liaison" in cls or "va-j-enchainement" in cls
        self.silent += "va-muette" in cls
        if "va-texte" in cls:
            self.in_reading = True
        if tag not in self.VOID:
            self.stack.append(tag)

    def handle_endtag(self, tag):
        assert self.stack and self.stack[-1] == tag, (tag, self.stack)
        self.stack.pop()
        if tag == "p":
            self.in_reading = False

    def handle_data(self, data):
        if self.in_reading:
            self.text.append(data)


def parse(html):
    c = Checker()
    c.feed(html)
    c.close()
    assert c.stack == []
    return c


def test_html_page():
    result = sentence(*LES_ENFANTS)
    html = va.vers_html(result, titre="Lecture <du soir>", espacement_lettres=0.12, taille_police=1.5)
    c = parse(html)
    assert "".join(c.text) == LES_ENFANTS[0]
    assert c.syllables == 6 and c.arcs == 2 and c.silent == 6
    assert html.startswith("<!DOCTYPE html>") and '<html lang="fr">' in html and "@media print" in html
    assert "<title>Lecture &lt;du soir&gt;</title>" in html
    assert "« es » /e/, liaison /z/ — syllabe /le/" in c.titles
    fragment = va.vers_html(result, page=False, couleurs=["black", "#a0a"])
    assert fragment.startswith('<div class="vantro-lecture" lang="fr"') and "--va-c1:#a0a" in fragment
    parse(fragment)


TEXT_CHARS = st.characters(blacklist_categories=("Cs",)) | st.sampled_from(list("<>&\"'\x00\x1b\u2028é \r\n"))


@settings(max_examples=200, deadline=None)
@given(st.lists(st.text(TEXT_CHARS, min_size=1, max_size=8), min_size=1, max_size=4), st.booleans())
def test_html_is_well_formed_and_shows_the_text(words, page):
    text = " ".join(words)
    result = sentence(text, *[(w, "ʃɔkɔla") for w in words])
    html = va.vers_html(result, page=page)
    c = parse(html)
    shown = "".join(c.text)
    # Control characters show as U+FFFD; line breaks, CRLF included, stay white space.
    expected = re.sub(r"[\x00-\x08\x0b\x0c\x0e-\x1f\x7f-\x9f]", "\ufffd", text)
    assert shown == expected
    assert "<script" not in html.lower().replace("&lt;script", "")


def test_script_shows_as_text():
    result = sentence("<script>alert(1)</script>", ("<script>alert(1)</script>", "alɛʁ"))
    html = va.vers_html(result)
    assert "<script" not in html and "&lt;" in html
    assert "".join(parse(html).text) == "<script>alert(1)</script>"


# ---- terminal -----------------------------------------------------------------------------------


def test_ansi_rendering():
    out = va.vers_ansi(sentence(*LES_ENFANTS))
    plain = re.sub(r"\x1b\[[0-9;]*m", "", out)
    assert plain == "Les‿enfants lisent‿un livre."
    assert "\x1b[2;38;5;244ment" in out  # the silent "ent", dimmed grey
    hostile = sentence("a\x1b[31mb", ("a\x1b[31mb", "ab"))
    assert re.sub(r"\x1b\[[0-9;]*m", "", va.vers_ansi(hostile)) == "a\ufffd[31mb"
