"""Plain model of the pronunciation clean-up, written from the rules' wording.

Each rule is a loop over the reading's phoneme tokens with the spelling test
that guards it; the native clean-up must give the same reading on any input.
"""

from __future__ import annotations

import unicodedata

VOWELS = set("ieɛaɑɔouyøœə")
OBSTRUENTS = set("pbtdkɡgfvszʃʒ")
LIQUIDS = set("lʁr")
CONSONANTS = OBSTRUENTS | LIQUIDS | set("mnɲŋ")
VOWEL_LETTERS = set("aàâäeéèêëiîïoôöuùûüyÿœæ")


def tokens(ipa: str) -> list[str]:
    out: list[str] = []
    current = ""
    for ch in ipa:
        if unicodedata.category(ch).startswith("M"):
            current += ch
        else:
            if current:
                out.append(current)
            current = ch
    if current:
        out.append(current)
    return out


def is_vowel(t: str) -> bool:
    return t[:1] in VOWELS


def after_cluster(toks: list[str], k: int) -> bool:
    return k >= 2 and toks[k - 2] in OBSTRUENTS and toks[k - 1] in LIQUIDS


def has_pair(word: str, first: str, then: str) -> bool:
    return any(a in first and b in then for a, b in zip(word, word[1:]))


def ui_glide(word, toks):
    if has_pair(word, "uûü", "iïîy"):
        for k in range(len(toks) - 1):
            if toks[k] == "y" and toks[k + 1] == "i":
                toks[k] = "ɥ"


def u_glide(word, toks):
    if has_pair(word, "uûü", VOWEL_LETTERS):
        for k in range(len(toks) - 1):
            nxt = toks[k + 1]
            if toks[k] == "y" and is_vowel(nxt) and nxt not in ("i", "ə") and not after_cluster(toks, k):
                toks[k] = "ɥ"


def palatal_sources(word: str) -> list[bool]:
    out, i = [], 0
    while i + 1 < len(word):
        tail_ok = i + 2 == len(word) or word[i + 2] in VOWEL_LETTERS or word[i + 2] == "s"
        if i > 0 and word[i : i + 2] == "gn" and tail_ok:
            out.append(True)
            i += 2
        elif word[i] == "n" and word[i + 1] in "iyï" and i + 2 < len(word) and word[i + 2] in VOWEL_LETTERS:
            out.append(False)
            i += 2
        else:
            i += 1
    return out


def gn_palatal(word, toks):
    sources = palatal_sources(word)
    if True not in sources:
        return
    sites = [k for k, t in enumerate(toks)
             if t == "ɲ" or (t == "n" and k + 1 < len(toks) and toks[k + 1] in ("j", "i"))]
    if len(sites) != len(sources):
        return
    for gn, k in reversed(list(zip(sources, sites))):
        if gn and toks[k] == "n" and not (k > 0 and toks[k - 1] in ("ɡ", "g")):
            glide = toks[k + 1] == "j"
            toks[k] = "ɲ"
            if glide:
                del toks[k + 1]


def ou_vowel(word, toks):
    if has_pair(word, "o", "uûù"):
        for k, t in enumerate(toks):
            if t == "w" and (k + 1 == len(toks) or toks[k + 1] in CONSONANTS):
                toks[k] = "u"


def ien_glide(word, toks):
    if "ien" in word:
        for k in range(1, len(toks) - 1):
            if toks[k] == "i" and toks[k + 1] == "ɛ̃" and toks[k - 1] in CONSONANTS and not after_cluster(toks, k):
                toks[k] = "j"


RULES = [("ui_glide", ui_glide), ("u_glide", u_glide), ("gn_palatal", gn_palatal),
         ("ou_vowel", ou_vowel), ("ien_glide", ien_glide)]


def clean(word: str, ipa: str) -> tuple[str, list[str]]:
    """(corrected reading, names of the rules that changed it)."""
    toks = tokens(ipa)
    lower = word.lower()
    applied = []
    for name, rule in RULES:
        before = list(toks)
        rule(lower, toks)
        if toks != before:
            applied.append(name)
    return ("".join(toks) if applied else ipa), applied
