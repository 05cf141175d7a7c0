"""Slow, literal model of the word pipeline around the alignment search.

Phoneme tokens and classes, the sonority syllabifier, syllable constituents,
the syllable builder, the two reading-group stages (words only, no formula)
and the word analysis, each written step by step as the rules read, with no
shortcut. The alignment itself comes from reference_search. Results are plain
tuples and dicts, never the library's records, so that tests compare them
field by field:

    syllable = (phone, ortho, span, attaque, noyau, coda)
    attaque, noyau, coda = [(ipa, grapheme), ...]
"""

from __future__ import annotations

import math
from dataclasses import dataclass, field
from typing import Callable, NamedTuple

from project_data import SHARED_MARK, SILENT_MARK, iter_phonemes
from reference_search import aligner_reference, phonemise_alignment_reference

COMPOUND_PHONEMES = frozenset({"tʃ", "dʒ", "ts", "ɡz"})  # the g is U+0261
SONORITY_ORDER = ["Y", "L", "N", "O"]

Span = tuple[int, int]
Syllable = tuple[str, str, Span, list, list, list]


# ---- tables ---------------------------------------------------------------------------


@dataclass
class Tables:
    """The linguistic tables the pipeline reads; derived sets computed from the alphabet."""

    alphabet: dict
    phone_to_graphemes: dict
    liaison_consonnes: dict = field(default_factory=dict)
    lettres_muettes: set = field(default_factory=set)
    voyelles: set = field(init=False)
    consonnes: set = field(init=False)
    semi_voyelles: set = field(init=False)

    def __post_init__(self) -> None:
        self.voyelles = set()
        self.consonnes = set()
        self.semi_voyelles = set()
        for symbol, entry in self.alphabet.items():
            if entry.get("type") == "voyelle" and entry.get("sous_type") == "orale":
                self.voyelles.add(symbol)
            if entry.get("type") == "consonne":
                self.consonnes.add(symbol)
            if entry.get("type") == "semi-voyelle":
                self.semi_voyelles.add(symbol)


_default_tables: Tables | None = None


def default_tables() -> Tables:
    """The tables of the installed data file, read through the loader module."""
    global _default_tables
    if _default_tables is None:
        from vantro_aligneur import _chargeur

        _default_tables = Tables(
            alphabet=_chargeur.alphabet_ipa(),
            phone_to_graphemes=_chargeur.phone_to_graphemes(),
            liaison_consonnes=_chargeur.liaison_consonnes(),
            lettres_muettes=_chargeur.lettres_muettes_possibles(),
        )
    return _default_tables


# ---- phoneme tokens and classes -------------------------------------------------------


def est_voyelle(phoneme: str, t: Tables) -> bool:
    if phoneme == "":
        return False
    if phoneme in t.voyelles:
        return True
    return phoneme[0] in t.voyelles


def est_consonne(phoneme: str, t: Tables) -> bool:
    if phoneme == "":
        return False
    return phoneme in t.consonnes


def est_semi_voyelle(phoneme: str, t: Tables) -> bool:
    if phoneme == "":
        return False
    return phoneme in t.semi_voyelles


def phone_starts_with_vowel(phone: str, t: Tables) -> bool:
    if phone == "":
        return False
    tokens = iter_phonemes(phone)
    if not tokens:
        return False
    return est_voyelle(tokens[0], t)


def phone_ends_with_consonne(phone: str, t: Tables) -> bool:
    if phone == "":
        return False
    tokens = iter_phonemes(phone)
    if not tokens:
        return False
    return est_consonne(tokens[-1], t)


# ---- sonority syllabifier -------------------------------------------------------------


class SonorityClasses(NamedTuple):
    O: frozenset
    N: frozenset
    L: frozenset
    Y: frozenset
    V: frozenset


def build_sonority_classes(t: Tables) -> SonorityClasses:
    O, N, L, Y, V = set(), set(), set(), set(), set()
    for symbol, entry in t.alphabet.items():
        kind = entry.get("type")
        if kind == "voyelle":
            V.add(symbol)
        elif kind == "semi-voyelle":
            Y.add(symbol)
        elif kind == "consonne":
            sous_type = entry.get("sous_type")
            if sous_type == "nasale":
                N.add(symbol)
            elif sous_type == "liquide":
                L.add(symbol)
            else:
                O.add(symbol)
    O.add("s")
    L.add("s")
    for c in COMPOUND_PHONEMES:
        O.add(c)
    return SonorityClasses(frozenset(O), frozenset(N), frozenset(L), frozenset(Y), frozenset(V))


def class_of(token: str, classes: SonorityClasses, t: Tables) -> str:
    if token in classes.V or est_voyelle(token, t):
        return "V"
    if token in classes.Y or est_semi_voyelle(token, t):
        return "Y"
    if token in classes.L:
        return "L"
    if token in classes.N:
        return "N"
    return "O"


def merge_compounds_ipa(tokens: list[str]) -> list[str]:
    out: list[str] = []
    i = 0
    while i < len(tokens):
        if i + 1 < len(tokens) and tokens[i] + tokens[i + 1] in COMPOUND_PHONEMES:
            out.append(tokens[i] + tokens[i + 1])
            i += 2
        else:
            out.append(tokens[i])
            i += 1
    return out


def split_central_cluster(cluster: list[str], classes: SonorityClasses, t: Tables,
                          s_liquid_in_attack: bool = True) -> int:
    n = len(cluster)
    if n < 2:
        return 0

    def is_liquid_attack(c: str) -> bool:
        return c in classes.L and (s_liquid_in_attack or c != "s")

    sets = {"Y": classes.Y, "L": classes.L, "N": classes.N, "O": classes.O}
    i = 0
    j = n
    for cls in SONORITY_ORDER:
        # right step (onset side)
        if j > i:
            c = cluster[j - 1]
            if ((cls == "Y" and c in classes.Y) or (cls == "L" and is_liquid_attack(c))
                    or (cls == "N" and c in classes.N) or (cls == "O" and c in classes.O)):
                j -= 1
        # left step (coda side)
        if j > i:
            c = cluster[i]
            if c in sets[cls]:
                i += 1
    if j > i:
        k = i
        while k < j and class_of(cluster[k], classes, t) in ("L", "Y") and cluster[k] != "s":
            k += 1
        i = k
    return i


def syllabify_ipa(phone: str, t: Tables | None = None) -> list[str]:
    t = t or default_tables()
    classes = build_sonority_classes(t)
    tokens = merge_compounds_ipa(iter_phonemes(phone))
    if not tokens:
        return []
    nuclei = [k for k, tok in enumerate(tokens) if class_of(tok, classes, t) == "V"]
    if len(nuclei) < 2:
        return ["".join(tokens)]
    boundaries = []
    for a, b in zip(nuclei, nuclei[1:]):
        boundaries.append(a + 1 + split_central_cluster(tokens[a + 1 : b], classes, t))
    syllables = []
    prev = 0
    for bd in boundaries:
        syllables.append("".join(tokens[prev:bd]))
        prev = bd
    syllables.append("".join(tokens[prev:]))
    return syllables


# ---- syllable constituents ------------------------------------------------------------


def decouper_syllabe(syll_phone: str, t: Tables | None = None) -> tuple[str, str, str] | None:
    t = t or default_tables()
    tokens = iter_phonemes(syll_phone)
    vowels = [k for k, tok in enumerate(tokens) if est_voyelle(tok, t)]
    if not vowels:
        return None
    v = vowels[0]
    return "".join(tokens[:v]), tokens[v], "".join(tokens[v + 1 :])


# ---- syllable builder -----------------------------------------------------------------


def _clean(g: str) -> str:
    return g.replace(SILENT_MARK, "").replace(SHARED_MARK, "")


def build_syllabes(syll_phones: list[str], dec_ph: list[str], dec_gr: list[str], dec_spans: list[Span],
                   word_offset: int, alignment_ok: bool, t: Tables | None = None) -> list[Syllable]:
    t = t or default_tables()
    result: list[list] = []  # mutable while the next syllable may still edit it
    cursor = 0
    for syll_phone in syll_phones:
        # 1
        syll_phonemes = iter_phonemes(syll_phone)
        decomp = decouper_syllabe(syll_phone, t)

        # 2. without letters
        if not alignment_ok or len(dec_ph) == 0:
            if decomp is None:
                attaque = [(p, "") for p in syll_phonemes]
                noyau: list = []
                coda: list = []
            else:
                att, noy, cod = decomp
                attaque = [(p, "") for p in iter_phonemes(att)]
                noyau = [(noy, "")]
                coda = [(p, "") for p in iter_phonemes(cod)]
            result.append([syll_phone, "", (0, 0), attaque, noyau, coda])
            continue

        # 3. map the tokens by position
        mapped: list[tuple[str, str, Span]] = []
        for p in syll_phonemes:
            if cursor < len(dec_ph):
                mapped.append((p, dec_gr[cursor], dec_spans[cursor]))
                cursor += 1
            else:
                mapped.append((p, "", (0, 0)))

        # 4
        syll_ortho_parts: list[str] = []
        rel_start: float = math.inf
        rel_end = 0
        bridge_letter = ""
        doubled_to_prev = False

        # 5
        for idx, (p, g, sp) in enumerate(mapped):
            if sp[0] < sp[1]:
                rel_start = min(rel_start, sp[0])
                rel_end = max(rel_end, sp[1])
            if SHARED_MARK not in g:
                syll_ortho_parts.append(g)
            elif idx == 0:
                clean = g.replace(SHARED_MARK, "")
                if clean != "":
                    bridge_letter = clean.replace(SILENT_MARK, "")
                    syll_ortho_parts.append(clean)
                else:
                    syll_ortho_parts.append("")
                    doubled_to_prev = True
            else:
                if g.replace(SHARED_MARK, "") != "":
                    syll_ortho_parts.append(g)
                else:
                    syll_ortho_parts.append("")
                    for back in range(idx - 1, -1, -1):
                        if _clean(syll_ortho_parts[back]) != "":
                            syll_ortho_parts[back] += SHARED_MARK
                            break

        # 6
        if rel_start == math.inf or rel_start >= rel_end:
            rel_start = 0
            rel_end = 0
        abs_start = word_offset + int(rel_start)
        abs_end = word_offset + int(rel_end)

        # 7
        syll_ortho = "".join(syll_ortho_parts)

        # 8
        if result:
            prev = result[-1]
            if bridge_letter != "":
                prev_ortho = prev[1]
                if prev_ortho.endswith(bridge_letter):
                    prev[1] = prev_ortho[: len(prev_ortho) - len(bridge_letter)] + "(" + bridge_letter + ")"
                else:
                    prev[1] = prev_ortho + "(" + bridge_letter + ")"
                if mapped:
                    bridge_span = mapped[0][2]
                    if bridge_span[0] < bridge_span[1]:
                        bridge_abs_end = word_offset + bridge_span[1]
                        if bridge_abs_end > prev[2][1]:
                            prev[2] = (prev[2][0], bridge_abs_end)
            elif doubled_to_prev:
                prev[1] = prev[1] + SHARED_MARK

        # 9
        def grapheme_at(i: int) -> str:
            if i >= len(mapped):
                return ""
            return mapped[i][1].replace(SILENT_MARK, "").replace(SHARED_MARK, "")

        if decomp is not None:
            att, noy, cod = decomp
            idx = 0
            attaque = []
            for p in iter_phonemes(att):
                attaque.append((p, grapheme_at(idx)))
                idx += 1
            noyau = [(noy, grapheme_at(idx))]
            idx += 1
            coda = []
            for p in iter_phonemes(cod):
                coda.append((p, grapheme_at(idx)))
                idx += 1
        else:
            attaque = [(p, g.replace(SILENT_MARK, "").replace(SHARED_MARK, "")) for p, g, _ in mapped]
            noyau = []
            coda = []

        # 10
        result.append([syll_phone, syll_ortho, (abs_start, abs_end), attaque, noyau, coda])
    return [tuple(s) for s in result]  # type: ignore[misc]


# ---- alignment ------------------------------------------------------------------------

Aligner = Callable[..., tuple[list[str], list[str], list[Span], bool]]


def reference_aligner(t: Tables) -> Aligner:
    def align(ortho: str, phone: str, word_boundaries: list[int] | None = None):
        return aligner_reference(ortho, phone, t.phone_to_graphemes, t.lettres_muettes, word_boundaries)

    return align


# ---- word analysis --------------------------------------------------------------------


def analyze(word: str, phone: str, t: Tables | None = None, aligner: Aligner | None = None):
    """(mot, phone, syllables) of one word with its pronunciation."""
    t = t or default_tables()
    aligner = aligner or reference_aligner(t)
    syll_phones = syllabify_ipa(phone, t)
    dec_ph, dec_gr, dec_spans, ok = aligner(word, phone)
    return word, phone, build_syllabes(syll_phones, dec_ph, dec_gr, dec_spans, 0, ok, t)


# ---- reading groups -------------------------------------------------------------------
#
# A word is a dict with the keys text, span, phone, liaison, ponctuation_avant,
# elision_avant and est_formule. A group is a dict with the keys mots (the word
# dicts), phone_groupe, span, jonctions and est_formule.


def construire_groupes(mots: list[dict], gerer_elisions: bool = True, gerer_liaisons: bool = True,
                       gerer_enchainement: bool = True, t: Tables | None = None) -> list[dict]:
    t = t or default_tables()
    if not mots:
        return []
    groups: list[dict] = []
    current_mots = [mots[0]]
    current_phones = [mots[0]["phone"]]
    current_jonctions: list[str] = []

    def close() -> None:
        groups.append({
            "mots": current_mots,
            "phone_groupe": "".join(current_phones),
            "span": (current_mots[0]["span"][0], current_mots[-1]["span"][1]),
            "jonctions": current_jonctions,
            "est_formule": any(m["est_formule"] for m in current_mots),
        })

    for i in range(1, len(mots)):
        mot_courant = mots[i]
        mot_precedent = mots[i - 1]
        label = None
        if mot_courant["ponctuation_avant"] or mot_courant["est_formule"] or mot_precedent["est_formule"]:
            label = None
        elif gerer_elisions and (mot_precedent["text"].endswith(("'", "\u2019", "\u02bc")) or mot_courant["elision_avant"]):
            label = "elision"
        else:
            if (gerer_liaisons and mot_precedent["liaison"] != "none"
                    and phone_starts_with_vowel(mot_courant["phone"], t)):
                consonne = t.liaison_consonnes.get(mot_precedent["liaison"], "")
                if consonne != "":
                    label = "liaison_" + consonne
            if (label is None and gerer_enchainement and phone_ends_with_consonne(mot_precedent["phone"], t)
                    and phone_starts_with_vowel(mot_courant["phone"], t)):
                label = "enchainement"
        if label is not None:
            current_mots.append(mot_courant)
            current_phones.append(mot_courant["phone"])
            current_jonctions.append(label)
        else:
            close()
            current_mots = [mot_courant]
            current_phones = [mot_courant["phone"]]
            current_jonctions = []
    close()
    return groups


def syllabifier_groupe(groupe: dict, t: Tables | None = None, aligner: Aligner | None = None) -> list[Syllable]:
    """Syllables of one group of words (a group without a formula reading)."""
    t = t or default_tables()
    aligner = aligner or reference_aligner(t)
    phone = groupe["phone_groupe"]
    if phone == "":
        return []
    syll_phones = syllabify_ipa(phone, t)
    mots = groupe["mots"]
    if len(mots) == 1:
        dec_ph, dec_gr, dec_spans, ok = aligner(mots[0]["text"], phone)
        word_offset = mots[0]["span"][0]
    else:
        ortho = ""
        word_boundaries: list[int] = []
        char_map: list[int] = []
        for k, m in enumerate(mots):
            text = m["text"]
            for c in range(len(text)):
                char_map.append(m["span"][0] + c)
            ortho += text
            if k < len(mots) - 1:
                word_boundaries.append(len(ortho))
        dec_ph, dec_gr, dec_spans, ok = aligner(ortho, phone, word_boundaries)
        word_offset = 0
        n = len(char_map)
        mapped_spans = []
        for start, end in dec_spans:
            if start < n:
                new_start = char_map[start]
            elif char_map:
                new_start = char_map[-1] + 1
            else:
                new_start = start
            if 0 < end <= n:
                new_end = char_map[end - 1] + 1
            elif char_map:
                new_end = char_map[-1] + 1
            else:
                new_end = end
            mapped_spans.append((new_start, new_end))
        dec_spans = mapped_spans
    if ok:
        dec_ph, dec_gr, dec_spans = phonemise_alignment_reference(dec_ph, dec_gr, dec_spans)
    return build_syllabes(syll_phones, dec_ph, dec_gr, dec_spans, word_offset, ok, t)


def syllabifier_groupes(groupes: list[dict], t: Tables | None = None,
                        aligner: Aligner | None = None) -> list[list[Syllable]]:
    return [syllabifier_groupe(g, t, aligner) for g in groupes]
