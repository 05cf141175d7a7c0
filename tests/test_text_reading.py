"""analyser_texte: plain French text to reading groups, read in context by espeak-ng."""

import sys
import unicodedata

import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

from vantro_aligneur import vantro_aligneur as va

sys.path.insert(0, str(__import__("pathlib").Path(__file__).resolve().parents[1] / "bench"))
import text_accuracy  # noqa: E402

JUNCTIONS = text_accuracy.JUNCTIONS


@pytest.fixture(scope="module")
def syllabeur(library):
    return va.VantroSyllabeur(library)


def letters_placed(text, result):
    """Positions of the text's letters that no syllable covers."""
    covered = set()
    for rg in result.groupes:
        for s in rg.syllabes:
            covered.update(range(*s.span))
    return [i for i, c in enumerate(text) if c.isalpha() and i not in covered]


def phoneme_letters(result, group_text):
    """(ipa, grapheme) of every phoneme of the group whose text is `group_text`."""
    for rg in result.groupes:
        if rg.groupe.text == group_text:
            return [(p.ipa, p.grapheme) for s in rg.syllabes for g in (s.attaque, s.noyau, s.coda) for p in g.phonemes]
    raise AssertionError(f"no group {group_text!r} in {[rg.groupe.text for rg in result.groupes]}")


def test_the_sentence_of_the_issue(syllabeur):
    text = "Les enfants ont un ami. Il a 7 ans ! C’est l’anniversaire de Léo."
    r = syllabeur.analyser_texte(text)
    assert r.texte_original is text
    assert text_accuracy.groups_line(r) == (
        "Les ~z enfants | ont | un ~n ami | Il _ a | 7 | ans | C’ ' est | l’ ' anniversaire | de | Léo")
    # The liaison z is heard and spelled by the s; the n of "un" serves both.
    assert ("z", "s") in phoneme_letters(r, "Les enfants")
    assert text_accuracy.syllables_line(text, r).split(" | ")[2] == "u(n).na.mi"
    seven = next(rg for rg in r.groupes if rg.groupe.text == "7")
    assert seven.groupe.est_formule
    assert seven.groupe.lecture.display_fr == "sept"
    assert [(s.ortho, s.phone, s.span) for s in seven.syllabes] == [("sept", "sɛt", (29, 30))]
    assert letters_placed(text, r) == []


@pytest.mark.parametrize("text, groups", [
    # glides join like vowels; h aspiré blocks; forbidden liaisons are not made
    ("Les oiseaux et les yeux.", "Les ~z oiseaux | et | les ~z yeux"),
    ("Les haricots, le héros.", "Les | haricots | le | héros"),
    ("Le bras est cassé.", "Le | bras | est | cassé"),
    ("Paul et un ami.", "Paul _ et | un ~n ami"),
    ("Un grand homme.", "Un | grand ~t homme"),
    # inverted pronouns, hyphens and elisions with each apostrophe
    ("Dit-elle, a-t-il, est-ce que tu viens ?", "Dit ~t -elle | a - -t-il | est - -ce | que | tu | viens"),
    ("J'ai l’école et lʼami.", "J' ' ai | l’ ' école _ et | lʼ ' ami"),
])
def test_groups_and_junctions(syllabeur, text, groups):
    assert text_accuracy.groups_line(syllabeur.analyser_texte(text)) == groups


def test_decomposed_text_gives_the_same_groups_over_its_own_characters(syllabeur):
    nfc = "L’élève écoute les étoiles."
    nfd = unicodedata.normalize("NFD", nfc)
    a, b = syllabeur.analyser_texte(nfc), syllabeur.analyser_texte(nfd)
    assert text_accuracy.groups_line(a) == text_accuracy.groups_line(b)
    assert [s.ortho for rg in a.groupes for s in rg.syllabes] == [s.ortho for rg in b.groupes for s in rg.syllabes]
    for rg in b.groupes:
        for s in rg.syllabes:
            # A syllable's span covers whole characters of the caller's text.
            letters = unicodedata.normalize("NFC", nfd[slice(*s.span)])
            assert letters.replace(" ", "") == s.ortho.replace("°", "").replace("(", "").replace(")", "") \
                or "(" in s.ortho
    assert letters_placed(nfd, b) == []


def test_errors_stay_local(syllabeur):
    # espeak-ng reads "chef-d'œuvre" with sounds its letters cannot spell.
    text = "C'est un chef-d'œuvre, dit-il."
    r = syllabeur.analyser_texte(text)
    words = {m.text: m for rg in r.groupes for m in rg.groupe.mots}
    assert not words["chef-d'œuvre"].token.aligne
    assert all(m.token.aligne for t, m in words.items() if t != "chef-d'œuvre")
    assert letters_placed(text, r) == [i for i in range(text.index("chef"), text.index(",")) if text[i].isalpha()]
    # A word past the length the alignment accepts fails alone.
    long_word = "a" * 3000
    r = syllabeur.analyser_texte(f"Le chat dort. {long_word} Le chien aboie.")
    tokens = [m.token for rg in r.groupes for m in rg.groupe.mots]
    assert [t.text for t in tokens if not t.aligne] == [long_word]
    assert [rg.groupe.text for rg in r.groupes][-3:] == ["Le", "chien", "aboie"]


def test_options_and_the_module_function(syllabeur):
    text = "Les enfants ont un ami."
    options = va.OptionsGroupes(gerer_liaisons=False)
    r = syllabeur.analyser_texte(text, options)
    assert r.options is options
    assert text_accuracy.groups_line(r) == "Les | enfants | ont | un | ami"
    assert [m.phone for rg in r.groupes for m in rg.groupe.mots][:2] == ["le", "ɑ̃fɑ̃"]
    assert va.analyser_texte(text) == syllabeur.analyser_texte(text)


def test_which_phonemizer_reads_in_context():
    class Lexicon:
        def phonemize(self, word):
            return "a"

    with pytest.raises(TypeError, match="EspeakLibPhonemizer"):
        va.VantroSyllabeur(Lexicon()).analyser_texte("Le chat.")
    with pytest.raises(TypeError, match=r"^Argument 'texte' has incorrect type"):
        va.analyser_texte(None)


def test_the_program_reads_as_the_library(syllabeur):
    program = va.VantroSyllabeur(va.EspeakPhonemizer())
    if not program._phonemizer.is_available():
        pytest.skip("espeak-ng program missing")
    text = "Les oiseaux, les haricots et 21 ans."
    assert program.analyser_texte(text) == syllabeur.analyser_texte(text)


def test_nothing_to_read(syllabeur):
    for text in ["", "   ", "… « » !!", "\u200b\U0001F600"]:
        r = syllabeur.analyser_texte(text)
        assert (r.nb_groupes, r.texte_original) == (0, text)


def test_the_test_set_reaches_its_targets(syllabeur):
    r = text_accuracy.measure(text_accuracy.load(), syllabeur, verbose=False)
    assert r["sentence_total"] >= 150
    assert r["sentences"] / r["sentence_total"] >= 0.95
    assert r["words"] / r["word_total"] >= 0.99


# ---- invariants on generated texts -------------------------------------------------------

VOCABULARY = ["les", "enfants", "ont", "un", "ami", "l’", "l'", "lʼ", "école", "et", "héros", "haricots", "oiseaux",
              "grand", "homme", "dit", "-elle", "est", "-ce", "aujourd'hui", "arc-en-ciel", "7", "1998", "3,5",
              "Léo", "à", "zzkx", "MP3", "très", "yeux", "ça", "élève"]
PUNCTUATION = ["", "", "", ",", ".", " !", " ?", " «", "»", " —", "…"]


@st.composite
def texts(draw):
    out = []
    for _ in range(draw(st.integers(1, 12))):
        word = draw(st.sampled_from(VOCABULARY))
        glue = word.startswith("-") or (out and out[-1][-1:] in "'’ʼ")
        out.append(("" if glue or not out else " ") + word + draw(st.sampled_from(PUNCTUATION)))
    text = "".join(out)
    return unicodedata.normalize("NFD", text) if draw(st.booleans()) else text


@given(texts())
@settings(max_examples=60, deadline=None, suppress_health_check=[HealthCheck.function_scoped_fixture])
def test_invariants(syllabeur, text):
    r = syllabeur.analyser_texte(text)
    previous_end = 0
    for rg in r.groupes:
        g = rg.groupe
        assert len(g.jonctions) == len(g.mots) - 1
        assert g.span == (g.mots[0].span[0], g.mots[-1].span[1])
        for m in g.mots:
            start, end = m.span
            assert previous_end <= start < end <= len(text)
            assert unicodedata.normalize("NFC", text[start:end]) == m.text
            previous_end = end
        for s in rg.syllabes:
            assert g.span[0] <= s.span[0] <= s.span[1] <= g.span[1]
        if not g.est_formule and all(m.token.aligne for m in g.mots):
            covered = {i for s in rg.syllabes for i in range(*s.span)}
            assert all(i in covered for m in g.mots for i in range(*m.span) if text[i].isalpha())


def test_the_lexicon_is_read_from_the_data_file(syllabeur):
    from vantro_aligneur import _chargeur

    lexicon = _chargeur._charger()["lecture_en_contexte"]
    assert text_accuracy.groups_line(syllabeur.analyser_texte("Les amis.")) == "Les ~z amis"
    lexicon["disjonctifs"].append("amis")
    try:
        assert text_accuracy.groups_line(syllabeur.analyser_texte("Les amis.")) == "Les | amis"
    finally:
        lexicon["disjonctifs"].remove("amis")
    assert text_accuracy.groups_line(syllabeur.analyser_texte("Les amis.")) == "Les ~z amis"
    saved = _chargeur._charger().pop("lecture_en_contexte")
    try:
        with pytest.raises(KeyError, match="lecture_en_contexte"):
            syllabeur.analyser_texte("Les amis.")
    finally:
        _chargeur._charger()["lecture_en_contexte"] = saved


def test_written_syllables_and_the_letter_view(syllabeur):
    text = "Les enfants lisent un livre."
    written = syllabeur.analyser_texte(text, va.OptionsGroupes(syllabes_ecrites=True))
    assert [[s.ortho.replace("°", "") for s in g.syllabes] for g in written.groupes][:2] == [
        ["Les", "en", "fants"], ["li", "sent", "un"]]
    view = va.vue_lettres(syllabeur.analyser_texte(text))
    assert view["texte"] == text
