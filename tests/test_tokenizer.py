"""The text tokenizer against a slow, literal model of it, and its spans against unicodedata.

`reference_tokenizer` applies the cutting rules with regular expressions and
plain loops; the core must cut every generated French-like text the same way
(kinds, texts, NFC spans, flags, sentences, readings). Spans into the
caller's text are checked by what they must satisfy: the NFC of the caller's
characters under a token is the token's text, whatever the input's form.
"""

from __future__ import annotations

import unicodedata

import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

from reference_tokenizer import decouper_texte_reference
from unicode_of_the_core import known_to_the_core

va = pytest.importorskip("vantro_aligneur.vantro_aligneur")

APOSTROPHES = ["'", "\u2019", "\u02bc"]
WORDS = ["enfant", "école", "Léo", "ami", "ogre", "île", "heure", "haricot", "été", "Noël", "cœur", "ça",
         "aujourd'hui", "presqu'île", "prud'homme", "quelqu'un", "grands-parents", "arc-en-ciel", "peut-être",
         "rendez-vous", "garde-à-vous", "Jean-Paul", "étudiant·e·s", "anti\u00adgel", "Louis", "chapitre",
         "siècle", "Il", "Elle", "On", "Vie", "Ce", "Le", "CD", "vi", "chez-moi", "moi-même", "c'est-à-dire"]
ELIDED = ["l", "L", "d", "j", "J", "m", "t", "s", "c", "C", "n", "qu", "Qu", "jusqu", "lorsqu", "presqu"]
VERBS = ["a", "dit", "est", "dis", "donne", "va", "allez", "prends", "sont", "Crois"]
PRONOUNS = ["il", "elle", "on", "ce", "moi", "le", "la", "les", "en", "y", "vous", "t-il", "t-on", "t-en",
            "t'en", "m'en", "le-moi", "vous-en"]
FORMULAS = ["12", "1998", "3,5", "3.5", "1 000", "1\u00a0000 000", "1er", "1re", "2e", "2nd", "3ᵉ", "21èmes",
            "8 h 30", "8h30", "14h", "50 %", "10 €", "10,50 €", "-5", "−5", "+33", "20 °C", "0 °F", "45°", "1939-1945",
            "12/05/2023", "8:30", "10km", "km", "kg", "m", "h", "M.", "MM.", "Mme", "Mlle", "Dr", "Dr.", "etc.",
            "n°", "J.-C.", "km/h", "m²", "XIV", "XIXe", "Ier", "IIe", "MP3", "H2O", "3D", "4x4", "COVID-19",
            "A380", "www.exemple.fr", "https://exemple.fr/a?b=1", "nom@exemple.fr", "½", "²", "1234567890123"]
MARKS = [",", ".", "!", "?", "…", "...", "?!", ";", ":", "«", "»", "“", "”", '"', "(", ")", "—", "–", "-",
         "&", "@", "#", "+", "=", "<", ">", "/", "*", "_", "'", "\u2019"]
ODD = ["\U0001f431", "\U0001f468\u200d\U0001f469", "\u0301", "\x00", "\x07", "\ufeff", "\u200b", "\ue000",
       "\U000e0001", "\ud800", "\udfff", "\u0378", "^", "`", "\u02bc", "\u1100\u1161", "\u0b47\u0b3e", "A\u030a"]
SPACES = [" ", " ", " ", "", "\n", "\n\n", "\u00a0", "\u202f", "\t", "\r\n", "\u2029"]
# Characters whose neighbours change how they are read, for random runs.
SHUFFLED = list("aeéElLtTsqQuU'’ʼ-‑.,:/0123 hH%€°MXIVD²ᵉʳ") + ["\u0301", "\u00a0"]


@st.composite
def french_text(draw: st.DrawFn) -> str:
    parts = []
    for _ in range(draw(st.integers(0, 14))):
        kind = draw(st.integers(0, 10))
        if kind <= 2:
            parts.append(draw(st.sampled_from(WORDS)))
        elif kind == 3:
            parts.append(draw(st.sampled_from(ELIDED)) + draw(st.sampled_from(APOSTROPHES))
                         + draw(st.sampled_from(WORDS + FORMULAS[:3])))
        elif kind == 4:
            pronoun = draw(st.sampled_from(PRONOUNS)).replace("'", draw(st.sampled_from(APOSTROPHES)))
            parts.append(draw(st.sampled_from(VERBS)) + "-" + pronoun)
        elif kind in (5, 6):
            parts.append(draw(st.sampled_from(FORMULAS)))
        elif kind in (7, 8):
            parts.append(draw(st.sampled_from(MARKS)))
        elif kind == 9:
            parts.append(draw(st.sampled_from(ODD)))
        else:
            parts.append(draw(st.text(st.sampled_from(SHUFFLED), max_size=8)))
        parts.append(draw(st.sampled_from(SPACES)))
    return "".join(parts)


def without_source_spans(cut: dict) -> dict:
    return {"nfc": cut["nfc"], "phrases": [
        {"span_nfc": tuple(p["span_nfc"]), "lecture": p["lecture"],
         "tokens": [{k: tuple(v) if isinstance(v, (list, tuple)) else v for k, v in t.items() if k != "span"}
                    for t in p["tokens"]]}
        for p in cut["phrases"]]}


def check_source_spans(original: str, cut: dict) -> None:
    """Every non-space character in one token; each token's characters give its text."""
    covered = 0
    for phrase in cut["phrases"]:
        tokens = phrase["tokens"]
        assert phrase["span"] == (tokens[0]["span"][0], tokens[-1]["span"][1])
        for tok in tokens:
            start, end = tok["span"]
            assert covered <= start < end <= len(original)
            assert original[covered:start].isspace() or covered == start
            assert unicodedata.normalize("NFC", original[start:end]) == tok["texte"]
            covered = end
    assert original[covered:].isspace() or covered == len(original)


@settings(max_examples=300, deadline=None, suppress_health_check=[HealthCheck.too_slow])
@given(french_text())
def test_cut_agrees_with_the_reference(text: str) -> None:
    assert without_source_spans(va._decouper_texte(text)) == without_source_spans(decouper_texte_reference(text))


@settings(max_examples=200, deadline=None, suppress_health_check=[HealthCheck.too_slow])
@given(french_text(), st.sampled_from(["", "NFC", "NFD"]))
def test_spans_point_at_the_callers_characters(text: str, form: str) -> None:
    given_text = unicodedata.normalize(form, text) if form else text
    cut = va._decouper_texte(given_text)
    check_source_spans(given_text, cut)
    # Decomposed or composed, the text is cut alike.
    assert without_source_spans(cut) == without_source_spans(va._decouper_texte(unicodedata.normalize("NFC", text)))


ASSIGNED = [chr(c) for c in range(0x110000)
            if unicodedata.category(chr(c)) not in ("Cn", "Co", "Cs") and known_to_the_core(c)]


@pytest.mark.parametrize("prefix", ["", "a", "\u1100", "\uac00", "\u0b47"])
def test_nfc_is_exact_over_the_code_space(prefix: str) -> None:
    # Each code point after a letter that may compose with it and before two
    # marks: every composition, exclusion and reordering rule is met. Code
    # points with no character compose with nothing: they are tried once.
    chars = [chr(c) for c in range(0x110000) if known_to_the_core(c)] if not prefix else ASSIGNED
    for base in range(0, len(chars), 0x1000):
        text = "".join(prefix + c + "\u0327\u0301" for c in chars[base:base + 0x1000])
        assert va._decouper_texte(text)["nfc"] == unicodedata.normalize("NFC", text), hex(base)


def test_the_sentence_of_the_issue() -> None:
    text = "Les enfants ont un ami. Il a 7 ans ! C\u2019est l\u2019anniversaire de L\u00e9o."
    cut = va._decouper_texte(unicodedata.normalize("NFD", text))
    assert [p["lecture"] for p in cut["phrases"]] == [
        "Les enfants ont un ami.", "Il a 7 ans !", "C'est l'anniversaire de Léo."]
    third = cut["phrases"][2]["tokens"]
    assert [(t["type"], t["texte"], t["elide"], t["elision_avant"]) for t in third[:4]] == [
        ("mot", "C\u2019", True, False), ("mot", "est", False, True),
        ("mot", "l\u2019", True, False), ("mot", "anniversaire", False, True)]
    assert cut["phrases"][1]["tokens"][2]["type"] == "nombre"
    assert third[5]["span"] == (61, 65)  # "Le\u0301o" in the decomposed text


def test_argument_is_checked() -> None:
    with pytest.raises(TypeError, match="Argument 'texte' has incorrect type"):
        va._decouper_texte(None)
