"""A plain model of the letter view (spoken syllables), as an oracle.

From the alignment, as the module's own functions give it, and the syllable
records: which letters each phoneme reaches, the role of each letter, the
syllable and constituent it belongs to. Written slowly and directly, to be
compared with vue_lettres on many inputs.
"""

import vantro_aligneur.vantro_aligneur as va

SIGNS = set("-'’_ ʼ‘\u2010\u2011")
LIAISON_LETTERS = {"z": "sxz", "t": "td", "n": "n", "ʁ": "r", "r": "r", "p": "p", "v": "f", "k": "gc", "ɡ": "g"}
VOWEL_LETTERS = set("aeiouyàâäáéèêëîïíôöóùûüúÿœæ")


def base(c):
    for plain, accented in (("a", "àâäá"), ("e", "éèêë"), ("i", "îïí"), ("o", "ôöó"), ("u", "ùûüú"), ("c", "ç")):
        if c in accented:
            return plain
    return c


def group_alignment(words, phone):
    """Part of the group syllabification: the alignment, spans in the caller's text."""
    if len(words) == 1:
        text, (start, _) = words[0]
        ph, gr, spans, ok = va._aligner(text, phone)
        spans = [(s + start, e + start) for s, e in spans]
    else:
        joined = "".join(t for t, _ in words)
        bounds, pos, cmap = [], 0, []
        for t, (start, _) in words:
            cmap += [start + i for i in range(len(t))]
            pos += len(t)
            bounds.append(pos)
        ph, gr, spans, ok = va._aligner(joined, phone, bounds[:-1])
        n = len(cmap)

        def move(s, e):
            s2 = cmap[s] if s < n else (cmap[-1] + 1 if cmap else s)
            e2 = cmap[e - 1] + 1 if 0 < e <= n else (cmap[-1] + 1 if cmap else e)
            return (s2, e2)

        spans = [move(s, e) for s, e in spans]
    if ok:
        ph, gr, spans = va._phonemise_alignment(ph, gr, spans)
    return ph, gr, spans, ok


def letters(text, words, ph, gr, spans, ok, syllabes, jonctions):
    """{position: (role, syllable, constituent, [ipa...])} for every letter of the words."""
    positions = [p for s, e in words for p in range(s, e)]
    word_of = {p: w for w, (s, e) in enumerate(words) for p in range(s, e)}
    claims = {p: {} for p in positions}  # position -> {phoneme: silent}
    aligned = ok and bool(ph)
    if aligned:
        last = None
        for k, (g, (s, e)) in enumerate(zip(gr, spans)):
            slots = [p for p in positions if s <= p < e]
            prev = reached = None
            for c in g:
                if c == "°":
                    if prev is not None:
                        claims[prev][k] = True
                elif c == "²":
                    if prev is not None:
                        if k > 0:
                            claims[prev].setdefault(k - 1, False)
                    elif last is not None:
                        claims[last].setdefault(k, False)
                elif slots:
                    prev = reached = slots.pop(0)
                    claims[prev].setdefault(k, False)
                else:
                    prev = None
            if reached is not None:
                last = reached
        adjust(text, positions, word_of, claims, ph)

    # The syllable and constituent of every phoneme, by position.
    place, cursor = {}, 0
    for si, s in enumerate(syllabes):
        n = len(va.iter_phonemes(s.phone))
        onset, nucleus = len(s.attaque.phonemes), bool(s.noyau.phonemes)
        for idx in range(n):
            if cursor < len(ph):
                kind = "attaque" if idx < onset else "noyau" if idx == onset and nucleus else "coda"
                place[cursor] = (si, kind)
                cursor += 1
    for k in range(cursor, len(ph)):
        place[k] = (len(syllabes) - 1, "coda")

    heads = {}
    for p in positions:
        for k, silent in sorted(claims[p].items()):
            if not silent:
                heads.setdefault(k, p)
    out = {}
    for p in positions:
        c = claims[p]
        if not aligned:
            role = "signe" if text[p] in SIGNS else "inconnue"
        elif text[p] in SIGNS:
            role = "signe"
        elif any(heads.get(k) == p for k, silent in c.items() if not silent):
            role = "sonore"
        elif any(not silent for silent in c.values()):
            role = "partagee"
        else:
            role = "muette"
        chosen = min(c) if c else None
        if c and text[p].lower() in VOWEL_LETTERS:  # a vowel letter read twice opens the later syllable
            chosen = max([chosen] + [k for k, silent in c.items() if not silent])
        syl, kind = place[chosen] if c and aligned and syllabes else (None, None)
        out[p] = [role, syl, kind, [ph[k] for k, silent in sorted(c.items()) if not silent]]
    if aligned and syllabes:
        fill_unplaced(positions, out)
    else:
        for p in positions:  # records that place their syllables say where letters go
            for si, s in enumerate(syllabes):
                if s.span[0] <= p < s.span[1]:
                    out[p][1] = si
                    break
    for w, label in enumerate(jonctions):
        if w + 1 < len(words) and label.startswith("liaison_") and aligned:
            s, e = words[w]
            if e > s and base(text[e - 1].lower()) in LIAISON_LETTERS.get(label[8:], ""):
                out[e - 1][0] = "liaison"
    return out


def adjust(text, positions, word_of, claims, ph):
    """The i of "ign" goes with the vowel before; the e of "ge", "ce" before a, o, u with the consonant."""
    for i, p in enumerate(positions):
        c = claims[p]
        low = text[p].lower()
        if 0 < i and i + 2 < len(positions) and low == "i" and len(c) == 1 and not next(iter(c.values())):
            (k,) = c
            q = positions[i - 1]
            nxt = text[positions[i + 1]].lower() + text[positions[i + 2]].lower()
            if (k > 0 and ph[k] == "ɲ" and nxt == "gn" and word_of[q] == word_of[p] and text[q].lower() in VOWEL_LETTERS
                    and claims[q] and max(claims[q]) == k - 1 and va.est_voyelle(ph[k - 1])):
                claims[p] = {k - 1: False}
    for i, p in enumerate(positions):
        if not (0 < i < len(positions) - 1) or text[p].lower() != "e":
            continue
        q, r = positions[i - 1], positions[i + 1]
        if word_of[q] != word_of[p] or word_of[r] != word_of[p]:
            continue
        if text[q].lower() in "gc" and base(text[r].lower()) in "aou" and claims[q] and len(claims[p]) == 1:
            (k, silent), = claims[p].items()
            if silent and k == max(claims[q]):
                claims[p] = {k: False}


def fill_unplaced(positions, out):
    nxt = None
    for p in reversed(positions):
        if out[p][1] is None:
            out[p][1] = nxt
        else:
            nxt = out[p][1]
    prev = None
    for p in positions:
        if out[p][1] is None:
            out[p][1] = prev
        else:
            prev = out[p][1]
