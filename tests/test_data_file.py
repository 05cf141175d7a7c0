"""The shipped data file: schema and the invariants the search relies on."""

import json

import pytest

from project_data import DATA_FILE as DATA
from project_data import iter_phonemes as tokens

SOUS_TYPES = {
    "voyelle": {"orale", "nasale"},
    "consonne": {"occlusive", "fricative", "nasale", "liquide"},
    "semi-voyelle": {"approximante", "longueur", "liaison"},
}
# Marks of hand-written IPA that are spelled by no letter and are not phonemes.
MARKS = {"ˈ", "ˌ", "."}
SHARED = "²"
SHARED_ALONE = {"j"}

# What espeak-ng 1.51 prints for the French word list: French reading, then the
# English phonemes of its "(en)...(fr)" switches.
ESPEAK_FR = "ʁ a e i s t ɛ l k j d p n ɔ̃ m ɑ̃ o z y b f ɔ ə v ɡ u ʒ ʃ ɛ̃ w ø œ ɲ œ̃ ŋ ɪ ː".split()
ESPEAK_EN = "ɹ ʌ ɒ ɐ ɜ ʊ ɪ θ ð h ɑ x ə".split()
DICTIONARY = "ɥ ɑ r ʀ x h".split()




@pytest.fixture(scope="module")
def doc():
    raw = DATA.read_bytes()
    return json.loads(raw.decode("utf-8"))


def test_top_level_members(doc):
    assert list(doc) == ["version", "notes", "alphabet_ipa", "phone_to_graphemes",
                         "espeak_to_ipa", "liaison_consonnes", "lettres_muettes_possibles",
                         "lecture_en_contexte"]
    assert doc["version"] == 1
    assert "CC BY-SA 4.0" in doc["notes"]


def test_alphabet_types_and_sous_types(doc):
    for sym, entry in doc["alphabet_ipa"].items():
        assert entry["type"] in SOUS_TYPES, sym
        assert entry["sous_type"] in SOUS_TYPES[entry["type"]], sym
        assert len(tokens(sym)) == 1, f"{sym!r} must be one phoneme token"


def test_vowels_are_oral_letters_or_oral_plus_tilde(doc):
    alpha = doc["alphabet_ipa"]
    for sym, entry in alpha.items():
        if entry["type"] != "voyelle":
            continue
        if entry["sous_type"] == "orale":
            assert len(sym) == 1, sym
        else:
            assert len(sym) == 2 and sym[1] == "\u0303", sym
            assert alpha[sym[0]] == {"type": "voyelle", "sous_type": "orale"}, sym


@pytest.mark.parametrize("inventory", [ESPEAK_FR, ESPEAK_EN, DICTIONARY], ids=["espeak-fr", "espeak-en", "dictionary"])
def test_inventories_are_classed_and_spelled(doc, inventory):
    for sym in inventory:
        assert sym in doc["alphabet_ipa"], sym
        assert doc["phone_to_graphemes"].get(sym), sym


def test_every_phoneme_has_graphemes(doc):
    table = doc["phone_to_graphemes"]
    missing = [s for s in doc["alphabet_ipa"] if not table.get(s)]
    assert missing == []


def test_keys_split_into_one_or_two_known_tokens(doc):
    # Zero tokens would make the search loop; three or more would leave a
    # two-phoneme element after the compound split and shift the syllables.
    alpha = doc["alphabet_ipa"]
    for key in doc["phone_to_graphemes"]:
        toks = tokens(key.lower())
        assert 1 <= len(toks) <= 2, key
        for tok in toks:
            assert tok in alpha or tok in MARKS, (key, tok)


def test_graphemes_are_lower_case_letters_without_duplicates(doc):
    for key, graphs in doc["phone_to_graphemes"].items():
        assert len(graphs) == len(set(graphs)), key
        for g in graphs:
            assert g == g.lower(), (key, g)
            assert all(ch.isalpha() or ch == SHARED for ch in g), (key, g)


def test_empty_graphemes_only_for_marks_without_letters(doc):
    # An empty grapheme can be read anywhere, and stops silent letters there.
    alpha = doc["alphabet_ipa"]
    for key, graphs in doc["phone_to_graphemes"].items():
        if "" in graphs:
            assert graphs == [""], key
            assert key in MARKS or alpha[key]["type"] == "semi-voyelle" and alpha[key]["sous_type"] != "approximante", key


def test_shared_marker_placement(doc):
    # "²" ends a grapheme of a two-phoneme key, so the split gives the second
    # phoneme the shared letter; alone it lets /j/ share the letters before it
    # (gn read /nj/), and must stay last in that list.
    for key, graphs in doc["phone_to_graphemes"].items():
        for g in graphs:
            if g == SHARED:
                assert key in SHARED_ALONE and graphs[-1] == SHARED, key
            elif SHARED in g:
                assert len(tokens(key)) == 2, (key, g)
                assert g.index(SHARED) == len(g) - 1, (key, g)


def test_liaison_consonants(doc):
    liaisons = doc["liaison_consonnes"]
    assert liaisons == {"Lz": "z", "Lt": "t", "Ln": "n", "Lr": "ʁ", "Lp": "p"}
    for cons in liaisons.values():
        assert doc["alphabet_ipa"][cons]["type"] == "consonne"


def test_silent_letters(doc):
    letters = doc["lettres_muettes_possibles"]
    assert len(letters) == len(set(letters))
    for letter in letters:
        assert len(letter) == 1 and letter.isalpha() and letter == letter.lower(), letter
    # A silent vowel other than e would outrank real vowel spellings.
    assert not set(letters) & set("aiouyàâéèêëîïôûù")


def test_espeak_mapping_targets_the_alphabet(doc):
    alpha = doc["alphabet_ipa"]
    for ascii_code, ipa in doc["espeak_to_ipa"].items():
        assert ascii_code.isascii(), ascii_code
        assert ipa in alpha or ipa in MARKS, (ascii_code, ipa)


@pytest.mark.parametrize(
    "phone, syllables",
    [
        ("aːpla", ["aː", "pla"]),
        ("mɛːʁa", ["mɛː", "ʁa"]),
        ("taːt", ["taːt"]),
        ("lez‿ɑ̃fɑ̃", ["le", "z‿ɑ̃", "fɑ̃"]),
    ],
)
def test_length_and_liaison_marks_stay_in_their_syllable(phone, syllables):
    module = pytest.importorskip("vantro_aligneur.vantro_aligneur")
    assert module._syllabify_ipa(phone) == syllables
