"""Pure-Python model of the IPA syllabifier and the syllable builder.

The coverage report can run before the extension module is built: it then
pairs this model with the reference search of tests/reference_search.py.
It follows the library's rules closely enough for the data checks (which
letters end up in which syllable); the library itself is the authority.
"""

from __future__ import annotations

import math
import unicodedata
from dataclasses import dataclass, field

COMPOUND_PHONEMES = {"tʃ", "dʒ", "ts", "ɡz"}


def iter_phonemes(ipa: str) -> list[str]:
    tokens: list[str] = []
    current = ""
    for ch in ipa:
        if unicodedata.category(ch).startswith("M"):
            current += ch
        else:
            if current:
                tokens.append(current)
            current = ch
    if current:
        tokens.append(current)
    return tokens


class Phonology:
    """Phoneme classes and syllabification derived from one alphabet table."""

    def __init__(self, alphabet: dict[str, dict]):
        self.voyelles = {s for s, e in alphabet.items()
                         if e.get("type") == "voyelle" and e.get("sous_type") == "orale"}
        self.semi = {s for s, e in alphabet.items() if e.get("type") == "semi-voyelle"}
        V: set[str] = set()
        Y: set[str] = set()
        L: set[str] = set()
        N: set[str] = set()
        O: set[str] = set()
        for sym, entry in alphabet.items():
            kind = entry.get("type")
            if kind == "voyelle":
                V.add(sym)
            elif kind == "semi-voyelle":
                Y.add(sym)
            elif kind == "consonne":
                sub = entry.get("sous_type")
                (N if sub == "nasale" else L if sub == "liquide" else O).add(sym)
        O.add("s")
        L.add("s")
        O.update(COMPOUND_PHONEMES)
        self.V, self.Y, self.L, self.N, self.O = V, Y, L, N, O

    def est_voyelle(self, ph: str) -> bool:
        return bool(ph) and (ph in self.voyelles or ph[0] in self.voyelles)

    def class_of(self, tok: str) -> str:
        if tok in self.V or self.est_voyelle(tok):
            return "V"
        if tok in self.Y or tok in self.semi:
            return "Y"
        if tok in self.L:
            return "L"
        if tok in self.N:
            return "N"
        return "O"

    def split_cluster(self, cluster: list[str]) -> int:
        n = len(cluster)
        if n < 2:
            return 0
        i, j = 0, n
        sets = {"Y": self.Y, "L": self.L, "N": self.N, "O": self.O}
        for cls in ("Y", "L", "N", "O"):
            if j > i and cluster[j - 1] in sets[cls]:
                j -= 1
            if j > i and cluster[i] in sets[cls]:
                i += 1
        if j > i:
            k = i
            while k < j and self.class_of(cluster[k]) in ("L", "Y") and cluster[k] != "s":
                k += 1
            i = k
        return i

    def syllabify(self, phone: str) -> list[str]:
        raw = iter_phonemes(phone)
        toks: list[str] = []
        k = 0
        while k < len(raw):
            if k + 1 < len(raw) and raw[k] + raw[k + 1] in COMPOUND_PHONEMES:
                toks.append(raw[k] + raw[k + 1])
                k += 2
            else:
                toks.append(raw[k])
                k += 1
        if not toks:
            return []
        nuclei = [i for i, t in enumerate(toks) if self.class_of(t) == "V"]
        if len(nuclei) < 2:
            return ["".join(toks)]
        cuts = [a + 1 + self.split_cluster(toks[a + 1:b]) for a, b in zip(nuclei, nuclei[1:])]
        out, prev = [], 0
        for c in cuts:
            out.append("".join(toks[prev:c]))
            prev = c
        out.append("".join(toks[prev:]))
        return out

    def decouper(self, syll: str):
        toks = iter_phonemes(syll)
        vs = [i for i, t in enumerate(toks) if self.est_voyelle(t)]
        if not vs:
            return None
        v = vs[0]
        return "".join(toks[:v]), toks[v], "".join(toks[v + 1:])


@dataclass
class Syllabe:
    phone: str
    ortho: str
    span: tuple[int, int]
    attaque: list = field(default_factory=list)
    noyau: list = field(default_factory=list)
    coda: list = field(default_factory=list)


def build_syllabes(ph: Phonology, syll_phones, dec_ph, dec_gr, dec_spans, offset, ok):
    """Syllables with their letters, laid over the alignment by position."""
    result: list[Syllabe] = []
    cursor = 0
    for sp in syll_phones:
        toks = iter_phonemes(sp)
        decomp = ph.decouper(sp)
        if not ok or not dec_ph:
            result.append(Syllabe(sp, "", (0, 0)))
            continue
        mapped = []
        for p in toks:
            if cursor < len(dec_ph):
                mapped.append((p, dec_gr[cursor], dec_spans[cursor]))
                cursor += 1
            else:
                mapped.append((p, "", (0, 0)))
        parts: list[str] = []
        rs, re_ = math.inf, 0
        bridge, doubled = "", False
        for idx, (_p, g, (s, e)) in enumerate(mapped):
            if s < e:
                rs, re_ = min(rs, s), max(re_, e)
            if "²" not in g:
                parts.append(g)
            elif idx == 0:
                clean = g.replace("²", "")
                if clean:
                    bridge = clean.replace("°", "")
                    parts.append(clean)
                else:
                    parts.append("")
                    doubled = True
            elif g.replace("²", ""):
                parts.append(g)
            else:
                parts.append("")
                for q in range(idx - 1, -1, -1):
                    if parts[q].replace("°", "").replace("²", ""):
                        parts[q] += "²"
                        break
        if rs == math.inf or rs >= re_:
            rs, re_ = 0, 0
        span = (offset + int(rs), offset + int(re_))
        ortho = "".join(parts)
        if result:
            prev = result[-1]
            if bridge:
                if prev.ortho.endswith(bridge):
                    prev.ortho = prev.ortho[: len(prev.ortho) - len(bridge)] + "(" + bridge + ")"
                else:
                    prev.ortho += "(" + bridge + ")"
                bs = mapped[0][2] if mapped else (0, 0)
                if bs[0] < bs[1] and offset + bs[1] > prev.span[1]:
                    prev.span = (prev.span[0], offset + bs[1])
            elif doubled:
                prev.ortho += "²"
        graphs = [m[1].replace("°", "").replace("²", "") for m in mapped]
        syl = Syllabe(sp, ortho, span)
        k = 0

        def take():
            nonlocal k
            g = graphs[k] if k < len(graphs) else ""
            k += 1
            return g

        if decomp is None:
            syl.attaque = [(m[0], g) for m, g in zip(mapped, graphs)]
        else:
            att, noy, cod = decomp
            syl.attaque = [(p, take()) for p in iter_phonemes(att)]
            syl.noyau = [(noy, take())]
            syl.coda = [(p, take()) for p in iter_phonemes(cod)]
        result.append(syl)
    return result
