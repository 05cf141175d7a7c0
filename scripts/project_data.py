"""What the scripts, the benchmarks, the fuzz seeds and the tests each need of
the project's data, written once: the data file, the system's French word
list and even samples of it, and plain-Python forms of two rules of the
library (the phoneme cut of an IPA text, the marks of a grapheme) for tools
and reference models that must not depend on the library itself.
"""

from __future__ import annotations

import json
import unicodedata
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DATA_FILE = ROOT / "src" / "vantro_aligneur" / "data" / "donnees_aligneur.json"
WORDLIST = Path("/usr/share/dict/french")  # Debian package wfrench

SILENT_MARK = "°"  # follows a silent letter
SHARED_MARK = "²"  # a letter shared with the neighbouring phoneme


def read_data(path: str | Path = DATA_FILE) -> dict:
    """The data file, members in file order."""
    return json.loads(Path(path).read_text(encoding="utf-8"))


def read_words(path: str | Path = WORDLIST) -> list[str]:
    """The words of a word list, one a line, blank lines left out."""
    with open(path, encoding="utf-8", errors="replace") as fh:
        return [line.strip() for line in fh if line.strip()]


def spread_sample(items: list, n: int) -> list:
    """`n` items evenly spread over the list (all of them when it is shorter), always the same."""
    if n <= 0 or n >= len(items):
        return list(items)
    step = len(items) / n
    return [items[int(i * step)] for i in range(n)]


def iter_phonemes(ipa: str) -> list[str]:
    """Phoneme tokens: a base character and the combining marks after it;
    marks at the very start form a token of their own."""
    tokens: list[str] = []
    for ch in ipa:
        if tokens and unicodedata.category(ch).startswith("M"):
            tokens[-1] += ch
        else:
            tokens.append(ch)
    return tokens


def without_marks(grapheme: str) -> str:
    """The letters of a grapheme, its marks taken away."""
    return grapheme.replace(SILENT_MARK, "").replace(SHARED_MARK, "")
