"""Slow, literal model of the text tokenizer.

It reads the rules as they are written in the README ("How text is cut into
tokens") and applies them with regular expressions and plain loops over the
NFC text, with no attempt at speed. The result has the shape of the module's
`_decouper_texte`, without the spans in the caller's text (the tests check
those against unicodedata separately):

    {"nfc": str, "phrases": [{"span_nfc", "lecture", "tokens": [token, ...]}]}
    token = {"type", "texte", "span_nfc", "span_lecture", "ponctuation_avant",
             "elide", "elision_avant", "trait_union_avant"}
"""

from __future__ import annotations

import re
import unicodedata
from dataclasses import dataclass, field

APOSTROPHES = "'\u2019\u02bc"
HYPHENS = "-\u2010\u2011"
INVISIBLE = "\u00ad\u200c\u200d\u2060"
MIDDLE_DOT = "\u00b7"
SENTENCE_FINAL = ".!?\u2026\u203c\u2047\u2048\u2049"
CLOSING = "\u00bb\u201d\"'\u2019)]}\u203a"
OPENING = "\u00ab\u201c\"([\u2039\u2014\u2013-\u2015\u2018\u201e"
GROUP_SPACES = " \u00a0\u202f\u2009\u2007"
LINE_BREAKS = "\n\r\u2028\u0085\v\f"

ELIDED = {"l", "d", "j", "m", "t", "s", "c", "ç", "n", "qu", "jusqu", "lorsqu", "puisqu", "quoiqu", "presqu"}
KEPT = ("presqu'île", "presqu'ile")
PRONOUNS = {"je", "tu", "il", "elle", "on", "nous", "vous", "ils", "elles", "iel", "iels",
            "ce", "moi", "toi", "lui", "leur", "le", "la", "les", "en", "y"}
AFTER_T = {"il", "elle", "on", "ils", "elles", "iel", "iels", "en"}
ELIDED_PRONOUNS = {"m'en", "t'en", "l'en", "m'y", "t'y", "l'y"}
PREPOSITIONS = {"à", "chez", "entre", "sans", "par", "pour", "de", "sur", "sous", "contre", "vers", "après"}
NOUNS = {"rendez-vous"}

# written: (reading, plural, flags); flags: t title, n after a number only, e may end a sentence
DOTTED = {
    "M.": ("monsieur", "", "t"), "MM.": ("messieurs", "", "t"), "etc.": ("et cetera", "", "e"),
    "cf.": ("confer", "", ""), "J.-C.": ("Jésus-Christ", "", "e"), "c.-à-d.": ("c'est-à-dire", "", ""),
    "n°": ("numéro", "numéros", ""), "N°": ("numéro", "numéros", ""), "nº": ("numéro", "numéros", ""),
    "Nº": ("numéro", "numéros", ""), "ex.": ("exemple", "", ""), "env.": ("environ", "", ""),
    "tél.": ("téléphone", "", ""), "vol.": ("volume", "", ""), "chap.": ("chapitre", "", ""),
    "apr.": ("après", "", ""), "km/h": ("kilomètre heure", "kilomètres heure", ""),
    "km²": ("kilomètre carré", "kilomètres carrés", ""), "m²": ("mètre carré", "mètres carrés", ""),
    "m³": ("mètre cube", "mètres cubes", ""), "cm²": ("centimètre carré", "centimètres carrés", ""),
    "cm³": ("centimètre cube", "centimètres cubes", ""),
}
WORDS = {
    "Mme": ("madame", "", "t"), "Mmes": ("mesdames", "", "t"), "Mlle": ("mademoiselle", "", "t"),
    "Mlles": ("mesdemoiselles", "", "t"), "Mᵐᵉ": ("madame", "", "t"), "Mˡˡᵉ": ("mademoiselle", "", "t"),
    "Dr": ("docteur", "", "t"), "Drs": ("docteurs", "", "t"), "Pr": ("professeur", "", "t"),
    "Mgr": ("monseigneur", "", "t"), "St": ("saint", "", "t"), "Ste": ("sainte", "", "t"),
    "Cie": ("compagnie", "", ""),
}
UNITS = {  # unit: (singular, plural, after a number only)
    "km": ("kilomètre", False), "kg": ("kilogramme", False), "cm": ("centimètre", False),
    "mm": ("millimètre", False), "mg": ("milligramme", False), "ml": ("millilitre", False),
    "mL": ("millilitre", False), "cl": ("centilitre", False), "cL": ("centilitre", False),
    "dl": ("décilitre", False), "kWh": ("kilowattheure", False), "kW": ("kilowatt", False),
    "m": ("mètre", True), "g": ("gramme", True), "l": ("litre", True), "L": ("litre", True),
    "s": ("seconde", True), "min": ("minute", True), "ms": ("milliseconde", True), "t": ("tonne", True),
    "ha": ("hectare", True), "W": ("watt", True), "V": ("volt", True), "ko": ("kilooctet", True),
    "Mo": ("mégaoctet", True), "Go": ("gigaoctet", True), "j": ("jour", True),
}
for _unit, (_said, _after) in UNITS.items():
    WORDS[_unit] = (_said, _said + "s", "n" if _after else "")
SYMBOLS = {
    "%": ("pour cent", ""), "\u2030": ("pour mille", ""), "€": ("euro", "euros"), "$": ("dollar", "dollars"),
    "£": ("livre", "livres"), "¥": ("yen", "yens"), "¢": ("centime", "centimes"), "°": ("degré", "degrés"),
    "&": ("et", ""), "@": ("arobase", ""), "#": ("dièse", ""), "§": ("paragraphe", ""), "+": ("plus", ""),
    "=": ("égale", ""), "<": ("inférieur à", ""), ">": ("supérieur à", ""), "×": ("fois", ""),
    "÷": ("divisé par", ""), "±": ("plus ou moins", ""), "\u2212": ("moins", ""), "©": ("copyright", ""),
    "№": ("numéro", "numéros"),
}
ORDINAL_ENDINGS = {  # ending: (feminine, plural, second)
    "er": (0, 0, 0), "ers": (0, 1, 0), "re": (1, 0, 0), "res": (1, 1, 0), "ère": (1, 0, 0), "ères": (1, 1, 0),
    "e": (0, 0, 0), "es": (0, 1, 0), "è": (0, 0, 0), "ème": (0, 0, 0), "èmes": (0, 1, 0), "ième": (0, 0, 0),
    "ièmes": (0, 1, 0), "nd": (0, 0, 1), "nds": (0, 1, 1), "nde": (1, 0, 1), "ndes": (1, 1, 1),
    "d": (0, 0, 1), "de": (1, 0, 1), "ds": (0, 1, 1),
}
SUPERSCRIPTS = str.maketrans("ᵉʳˢᵈⁿ", "ersdn")
NOT_ROMAN = {"CD", "DC", "MC", "CV", "CM", "MD", "XL", "CC", "VI", "MIX", "DIX", "MI", "DI", "LI"}
ROMAN_NOUNS = {"siècle", "chapitre", "tome", "acte", "livre", "partie", "volume", "scène", "leçon", "titre",
               "article", "annexe"}
FORMULAS = {"nombre", "symbole", "abreviation", "code"}


# ---- characters -----------------------------------------------------------------------------------

def one_of(chars: str) -> str:
    """A regular-expression class of exactly these characters."""
    return "[" + "".join(re.escape(c) for c in chars) + "]"


def cat(c: str) -> str:
    return unicodedata.category(c) if c else ""


def is_letter(c: str) -> bool:
    return cat(c)[:1] == "L" and c != "\u02bc"


def is_digit(c: str) -> bool:
    return cat(c) == "Nd"


def is_alnum(c: str) -> bool:
    return is_letter(c) or is_digit(c)


def is_mark(c: str) -> bool:
    return cat(c)[:1] == "M"


def at(t: str, i: int) -> str:
    return t[i] if 0 <= i < len(t) else ""


def boundary(t: str, i: int) -> bool:
    return i >= len(t) or not is_alnum(t[i])


def skip_marks(t: str, i: int) -> int:
    while i < len(t) and is_mark(t[i]):
        i += 1
    return i


def comparable(s: str) -> str:
    low = s.lower()
    for a in APOSTROPHES:
        low = low.replace(a, "'")
    return low


def unread(c: str) -> bool:
    g = cat(c)
    return g in ("Cc", "Cf", "Cs", "Co", "Cn", "Sk") or (g == "So" and c not in SYMBOLS)


def word_reading(w: str) -> str:
    out = []
    for c in w:
        if c in APOSTROPHES:
            out.append("'")
        elif c in HYPHENS:
            out.append("-")
        elif c not in INVISIBLE and c != MIDDLE_DOT:
            out.append(c)
    return "".join(out)


# ---- French numbers ---------------------------------------------------------------------------------

UNITS_WORDS = ("zéro un deux trois quatre cinq six sept huit neuf dix onze douze treize quatorze quinze seize "
               "dix-sept dix-huit dix-neuf").split()
TENS_WORDS = {2: "vingt", 3: "trente", 4: "quarante", 5: "cinquante", 6: "soixante"}


def under_hundred(n: int) -> str:
    if n < 20:
        return UNITS_WORDS[n]
    if n < 70:
        tens, unit = divmod(n, 10)
        return TENS_WORDS[tens] + {0: "", 1: " et un"}.get(unit, "-" + UNITS_WORDS[unit])
    if n < 80:
        return "soixante et onze" if n == 71 else "soixante-" + UNITS_WORDS[n - 60]
    return "quatre-vingts" if n == 80 else "quatre-vingt-" + UNITS_WORDS[n - 80]


def under_thousand(n: int, before_mille: bool = False) -> str:
    hundreds, rest = divmod(n, 100)
    words = []
    if hundreds:
        words.append(("" if hundreds == 1 else UNITS_WORDS[hundreds] + " ") + "cent"
                     + ("s" if hundreds > 1 and rest == 0 and not before_mille else ""))
    if rest:
        w = under_hundred(rest)
        words.append(w[:-1] if before_mille and rest == 80 else w)
    return " ".join(words)


def cardinal(n: int) -> str | None:
    if n > 999_999_999_999:
        return None
    if n == 0:
        return "zéro"
    words = []
    for size, name in ((10**9, "milliard"), (10**6, "million")):
        count = n // size % 1000
        if count:
            words.append(f"{under_thousand(count)} {name}{'s' if count > 1 else ''}")
    thousands = n // 1000 % 1000
    if thousands:
        words.append("mille" if thousands == 1 else under_thousand(thousands, True) + " mille")
    if n % 1000:
        words.append(under_thousand(n % 1000))
    return " ".join(words)


def ordinal(n: int, feminine: bool, plural: bool, second: bool) -> str | None:
    if second and n == 2:
        w = "seconde" if feminine else "second"
    elif n == 1:
        w = "première" if feminine else "premier"
    else:
        w = cardinal(n)
        if w is None:
            return None
        w = re.sub(r"cinq$", "cinqu", w)
        w = re.sub(r"neuf$", "neuv", w)
        w = re.sub(r"(e|(?<=vingt)s|(?<=cent)s|(?<=on)s|(?<=ard)s)$", "", w)
        w += "ième"
    return w + ("s" if plural else "")


def ordinal_of(ending: str):
    return ORDINAL_ENDINGS.get(ending.translate(SUPERSCRIPTS))


def roman(s: str) -> int | None:
    if not s or not re.fullmatch(r"M{0,3}(CM|CD|D?C{0,3})(XC|XL|L?X{0,3})(IX|IV|V?I{0,3})", s):
        return None
    values = {"I": 1, "V": 5, "X": 10, "L": 50, "C": 100, "D": 500, "M": 1000}
    total = sum(-values[a] if values[a] < values[b] else values[a] for a, b in zip(s, s[1:] + "I"))
    return total or None


# ---- tokens ------------------------------------------------------------------------------------------

@dataclass
class Piece:
    type: str
    begin: int
    end: int
    reading: str = ""
    elide: bool = False
    elision_avant: bool = False
    trait_union_avant: bool = False
    may_end: bool = False
    space_before: bool = False
    paragraph_before: bool = False


@dataclass
class Context:
    after_number: bool = False
    after_plural: bool = False
    after_name: bool = False


def word_run(t: str, i: int) -> tuple[int, bool, bool]:
    """End of the word at i, whether it holds a digit, whether a . or @ joins it."""
    digit = dotted = False
    while True:
        while i < len(t) and (is_alnum(t[i]) or is_mark(t[i])):
            digit = digit or is_digit(t[i])
            i += 1
        nxt = at(t, i + 1)
        if not nxt or not is_alnum(nxt):
            return i, digit, dotted
        if t[i] in APOSTROPHES or t[i] in HYPHENS or t[i] == MIDDLE_DOT or t[i] in INVISIBLE:
            i += 1
        elif t[i] in ".@" and (is_digit(nxt) or cat(nxt) == "Ll"):
            dotted = True
            i += 1
        else:
            return i, digit, dotted


def number(t: str, start: int) -> tuple[int, bool, str, int | None]:
    """(end, is a code, reading, integer value) of the number at start."""
    m = re.compile(r"([-+\u2212]?)(\d+)").match(t, start)
    sign = {"-": "moins", "\u2212": "moins", "+": "plus"}.get(m.group(1), "")
    digits_start, i = m.start(2), m.end(2)
    integer = m.group(2)
    if len(integer) <= 3:
        while (g := re.compile(one_of(GROUP_SPACES) + r"(\d\d\d)(?!\d)").match(t, i)):
            integer += g.group(1)
            i = g.end()
    value = int(integer) if integer.isascii() and len(integer) <= 18 else None
    plural = value is not None and value >= 2
    joined, joins, cents = "", 0, ""
    while (j := re.compile(r"(" + one_of(",./:" + HYPHENS) + r")(\d+)").match(t, i)):
        joined += ("-" if j.group(1) in HYPHENS else j.group(1)) + j.group(2)
        joins += 1
        cents = j.group(2) if joins == 1 and j.group(1) in ",." and len(j.group(2)) == 2 else ""
        i = j.end()
    core = integer + joined
    done = False
    if i < len(t) and is_letter(t[i]):
        le = i
        while le < len(t) and (is_letter(t[le]) or is_mark(t[le])):
            le += 1
        letters = t[i:le]
        end = ordinal_of(letters) if joins == 0 else None
        if end and boundary(t, le) and (not end[2] or value == 2):
            words = ordinal(value, *map(bool, end)) if value is not None else None
            core = words if words else core + letters
            i, done = le, True
        elif letters == "h" and joins == 0:
            core += " heures" if plural else " heure"
            i, done = le, True
            if is_digit(at(t, i)) and is_digit(at(t, i + 1)) and boundary(t, i + 2):
                core += " " + t[i:i + 2]
                i += 2
        elif not (letters in UNITS and boundary(t, le)):
            return word_run(t, digits_start)[0], True, "", value
    elif joins == 0 and at(t, i) and t[i] in GROUP_SPACES and at(t, i + 1) == "h" and boundary(t, i + 2):
        core += " heures" if plural else " heure"
        i += 2
        if at(t, i) and t[i] in GROUP_SPACES and all(is_digit(at(t, i + k)) for k in (1, 2)) \
                and boundary(t, i + 3):
            core += " " + t[i + 1:i + 3]
            i += 3
        done = True
    if not done:
        k = i + 1 if at(t, i) and t[i] in GROUP_SPACES else i
        c = at(t, k)
        if c and (c in "%\u2030°" or cat(c) == "Sc"):
            said, many = SYMBOLS.get(c, (c, ""))
            said = many if plural and many else said
            core = f"{integer} {said} {cents}" if cat(c) == "Sc" and cents else f"{core} {said}"
            k += 1
            if c == "°" and at(t, k) in ("C", "F") and boundary(t, k + 1):
                core += " Celsius" if t[k] == "C" else " Fahrenheit"
                k += 1
            i = k
    return skip_marks(t, i), False, (sign + " " if sign else "") + core, value


def capitalised(w: str) -> bool:
    return bool(w) and cat(w[0]) in ("Lu", "Lt") and any(cat(c) == "Ll" for c in w[1:])


class Reference:
    def __init__(self, text: str):
        self.t = unicodedata.normalize("NFC", text)
        self.ctx = Context()
        self.elision_next = False

    # -- scanning --

    def pieces(self) -> list[Piece]:
        t, out, pos = self.t, [], 0
        while True:
            ws_end = pos
            while ws_end < len(t) and t[ws_end].isspace():
                ws_end += 1
            gap = t[pos:ws_end]
            pos = ws_end
            if pos >= len(t):
                return out
            breaks = len(re.findall(r"\r\n|[\n\r\u2028\u0085\v\f]", gap))
            new = self.scan(pos)
            for p in new:
                if self.elision_next and p.type not in ("ponctuation", "autre"):
                    p.elision_avant = True
                self.elision_next = False
                self.remember(p)
            new[0].space_before = bool(gap)
            new[0].paragraph_before = "\u2029" in gap or breaks >= 2
            last = new[-1]
            pos = last.end
            self.elision_next = (last.type == "mot" and last.elide and t[pos - 1] in APOSTROPHES
                                 and pos < len(t) and t[pos].isspace())
            out.extend(new)

    def remember(self, p: Piece) -> None:
        if p.type != "nombre":
            self.ctx.after_plural = False
        self.ctx.after_number = p.type == "nombre"
        w = self.t[p.begin:p.end]
        self.ctx.after_name = p.type == "mot" and (capitalised(w) or comparable(w) in ROMAN_NOUNS)

    def scan(self, pos: int) -> list[Piece]:
        t = self.t
        c = t[pos]
        g = cat(c)
        sign = (c in "-+\u2212" and is_digit(at(t, pos + 1))
                and (pos == 0 or t[pos - 1].isspace() or t[pos - 1] in OPENING))
        if is_digit(c) or sign:
            end, code, reading, value = number(t, pos)
            if code:
                return [Piece("code", pos, end, word_reading(t[pos:end]))]
            self.ctx.after_plural = value is not None and value >= 2
            return [Piece("nombre", pos, end, reading)]
        if is_letter(c):
            return self.scan_word(pos)
        if g in ("Nl", "No"):
            end = skip_marks(t, pos + 1)
            return [Piece("nombre", pos, end, t[pos:end])]
        compares = self.ctx.after_number and re.compile(one_of(GROUP_SPACES) + r"*[\d\-\u2212]").match(t, pos + 1)
        if ((g[0] == "P" or c in APOSTROPHES) and c not in SYMBOLS) or (c in "<>" and not compares):
            run = re.compile(r"\.+|[!?]+|.", re.S).match(t, pos).group()
            end = skip_marks(t, pos + len(run))
            return [Piece("ponctuation", pos, end, t[pos:end], may_end=any(x in SENTENCE_FINAL for x in run))]
        if g[0] in "PS" and not unread(c):
            end = skip_marks(t, pos + 1)
            return [Piece("symbole", pos, end, SYMBOLS.get(c, (c,))[0])]
        end = pos + 1
        while end < len(t) and not t[end].isspace() and (unread(t[end]) or is_mark(t[end])):
            end += 1
        return [Piece("autre", pos, end)]

    def scan_word(self, start: int) -> list[Piece]:
        t = self.t
        address = re.compile(r"(?i:https?://|ftp://|www\.)").match(t, start)
        if address and is_alnum(at(t, address.end())):
            end = start
            while end < len(t) and not t[end].isspace() and not unread(t[end]) and t[end] not in "«»\"<>":
                end += 1
            while end > start + 1 and (t[end - 1] in ".,;:!?)" or t[end - 1] in APOSTROPHES):
                end -= 1
            return [Piece("code", start, end, t[start:end])]
        for written in sorted(DOTTED, key=len, reverse=True):
            if t.startswith(written, start):
                end = start + len(written)
                if not is_alnum(written[-1]) or boundary(t, end):
                    said, many, flags = DOTTED[written]
                    return [Piece("abreviation", start, skip_marks(t, end),
                                  many if self.ctx.after_plural and many else said, may_end="e" in flags)]
                break
        end, digit, dotted = word_run(t, start)
        if digit or dotted:
            out = []
            a = start
            while a < end and is_letter(t[a]):
                a += 1
            b = start
            if a < end and t[a] in APOSTROPHES and comparable(t[start:a]) in ELIDED:
                out.append(Piece("mot", start, a + 1, word_reading(t[start:a + 1]), elide=True))
                b = a + 1
            p = Piece("code", b, end, word_reading(t[b:end]), elision_avant=b != start)
            if is_digit(t[b]):
                n_end, code, reading, _ = number(t, b)
                if not code and n_end == end:
                    p.type, p.reading = "nombre", reading
            out.append(p)
            return out
        out = self.split(start, end)
        for k, p in enumerate(out):
            self.read(p)
            if k + 1 < len(out):
                self.remember(p)
        last = out[-1]
        e = last.end
        if (last.type == "mot" and not last.trait_union_avant and at(t, e) and t[e] in APOSTROPHES
                and comparable(t[last.begin:e]) in ELIDED):
            k = e + 1
            while k < len(t) and t[k].isspace() and t[k] not in LINE_BREAKS and t[k] != "\u2029":
                k += 1
            if k > e + 1 and k < len(t) and is_alnum(t[k]):
                last.end, last.elide = e + 1, True
                last.reading += "'"
        return out

    def split(self, b: int, e: int) -> list[Piece]:
        t = self.t
        out: list[Piece] = []
        after = False
        while True:
            m = re.compile("[^" + one_of(APOSTROPHES + HYPHENS)[1:] + "*" + one_of(APOSTROPHES)).match(t, b, e)
            if not m or m.end() >= e:
                break
            if comparable(t[b:m.end() - 1]) not in ELIDED or comparable(t[b:e]).startswith(KEPT):
                break
            out.append(Piece("mot", b, m.end(), elide=True, elision_avant=after))
            after, b = True, m.end()
        bounds = [b] + [i + 1 for i in range(b, e) if t[i] in HYPHENS] + [e + 1]
        parts = [comparable(t[bounds[k]:bounds[k + 1] - 1]) for k in range(len(bounds) - 1)]

        def euphonic(k: int) -> bool:
            return parts[k] == "t" and k + 1 < len(parts) and parts[k + 1] in AFTER_T

        first = len(parts)
        for k in range(len(parts) - 1, 0, -1):
            if parts[k] in PRONOUNS or parts[k] in ELIDED_PRONOUNS or euphonic(k):
                first = k
            else:
                break
        if first < len(parts) and (parts[first - 1] in PREPOSITIONS or "-".join(parts) in NOUNS):
            first = len(parts)
        out.append(Piece("mot", b, bounds[first] - 1 if first < len(parts) else e, elision_avant=after))
        k = first
        while k < len(parts):
            hyphen, part_end = bounds[k] - 1, bounds[k + 1] - 1
            if euphonic(k):
                out.append(Piece("mot", hyphen, bounds[k + 2] - 1, trait_union_avant=True))
                k += 2
                continue
            apos = next((i for i in range(bounds[k], part_end) if t[i] in APOSTROPHES), None)
            if apos is None:
                out.append(Piece("mot", hyphen, part_end, trait_union_avant=True))
            else:
                out.append(Piece("mot", hyphen, apos + 1, trait_union_avant=True, elide=True))
                out.append(Piece("mot", apos + 1, part_end, elision_avant=True))
            k += 1
        return out

    def read(self, p: Piece) -> None:
        t = self.t
        w = t[p.begin:p.end]
        p.reading = word_reading(w)
        if p.elide or p.trait_union_avant:
            return
        if any(is_digit(c) for c in w):
            p.type = "code"
            return
        if w in WORDS and ("n" not in WORDS[w][2] or self.ctx.after_number):
            said, many, flags = WORDS[w]
            p.type, p.reading = "abreviation", many if self.ctx.after_plural and many else said
            if "t" in flags and at(t, p.end) == ".":
                p.end += 1
            return
        m = re.fullmatch(r"([IVXLCDM]+)(.*)", w, re.S)
        value = roman(m.group(1)) if m else None
        if value:
            letters, suffix = m.group(1), m.group(2)
            end = ordinal_of(suffix) if suffix else None
            if suffix and end and (len(letters) > 1 or letters in "IVX") and (not end[2] or value == 2):
                p.type, p.reading = "nombre", ordinal(value, *map(bool, end))
                return
            if not suffix and self.ctx.after_name and letters not in NOT_ROMAN:
                p.type, p.reading = "nombre", cardinal(value)
                return
        if len(w) == skip_marks(w, 1) and cat(w[0]) == "Lu" and at(t, p.end) == ".":
            p.end += 1
            p.type, p.reading = "abreviation", w

    # -- sentences --

    def sentences(self) -> list[dict]:
        t = self.t
        out, current = [], []
        punct = False
        final = quote = False

        def starts_new(p: Piece) -> bool:
            if not current:
                return False
            if p.paragraph_before:
                return True
            if not final or not p.space_before:
                return False
            c = t[p.begin]
            if p.type == "ponctuation":
                return (not quote) if c == '"' else (c not in CLOSING and c in OPENING)
            if p.type == "autre":
                return False
            return cat(c) in ("Lu", "Lt") or is_digit(c) or c in "-+\u2212"

        for p in self.pieces():
            if starts_new(p):
                out.append(current)
                current, final, quote = [], False, False
            spoken = p.type not in ("ponctuation", "autre")
            tok = {"type": p.type, "texte": t[p.begin:p.end], "span_nfc": (p.begin, p.end),
                   "elide": p.elide, "elision_avant": p.elision_avant,
                   "trait_union_avant": p.trait_union_avant, "ponctuation_avant": False, "_reading": p.reading}
            if spoken:
                tok["ponctuation_avant"] = punct or (not current and bool(out))
                punct = False
            else:
                punct = True
            c = t[p.begin]
            if p.may_end:
                final = True
            elif not (p.type == "ponctuation" and c in CLOSING):
                final = False
            if c == '"':
                quote = not quote
            current.append(tok)
        if current:
            out.append(current)
        return [self.sentence(tokens) for tokens in out]

    @staticmethod
    def sentence(tokens: list[dict]) -> dict:
        lecture = ""
        for i, tok in enumerate(tokens):
            if i:
                prev = tokens[i - 1]
                spoken = {"ponctuation", "autre"}
                space = (prev["span_nfc"][1] < tok["span_nfc"][0]
                         or "autre" in (prev["type"], tok["type"])
                         or ((prev["type"] in FORMULAS or tok["type"] in FORMULAS)
                             and prev["type"] not in spoken and tok["type"] not in spoken
                             and not tok["elision_avant"]))
                if space and lecture and not lecture.endswith(" "):
                    lecture += " "
            start = len(lecture)
            if tok["type"] != "autre":
                lecture += tok["_reading"]
            tok["span_lecture"] = (start, len(lecture))
            del tok["_reading"]
        return {"span_nfc": (tokens[0]["span_nfc"][0], tokens[-1]["span_nfc"][1]), "lecture": lecture,
                "tokens": tokens}


def decouper_texte_reference(text: str) -> dict:
    ref = Reference(text)
    return {"nfc": ref.t, "phrases": ref.sentences()}
