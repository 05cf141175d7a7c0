"""Writes a run-time seed corpus of real French words for the fuzz targets.

    python3 fuzz/make_seeds.py DATA_JSON OUT_DIR [COUNT]

OUT_DIR/data.tsv      the linguistic data in the form fuzz_common.hpp reads;
OUT_DIR/seed-search/  one word and its IPA per file, and pairs of words as groups;
OUT_DIR/seed-syllabify/  the IPA alone.
Words come from /usr/share/dict/french and their IPA from espeak-ng; without
either, only the data file is written.
"""

from __future__ import annotations

import random
import shutil
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "scripts"))
from project_data import WORDLIST, read_data, read_words  # noqa: E402



def write_data(doc: dict, out: Path) -> None:
    lines = []
    for symbol, entry in doc["alphabet_ipa"].items():
        lines.append("\t".join(["A", symbol, str(entry.get("type", "")), str(entry.get("sous_type", ""))]))
    for key, graphemes in doc["phone_to_graphemes"].items():
        lines.append("\t".join(["G", key, *graphemes]))
    for letter in doc["lettres_muettes_possibles"]:
        lines.append("\t".join(["M", letter]))
    (out / "data.tsv").write_text("\n".join(lines) + "\n", encoding="utf-8")


def pronunciations(words: list[str]) -> list[str] | None:
    if shutil.which("espeak-ng") is None:
        return None
    done = subprocess.run(["espeak-ng", "-q", "--ipa", "-v", "fr"], input="\n".join(words) + "\n",
                          capture_output=True, text=True, timeout=120)
    ipa = [line.strip().replace("ˈ", "").replace("ˌ", "").replace(" ", "") for line in done.stdout.splitlines()]
    ipa = [p for p in ipa if p]
    return ipa if len(ipa) == len(words) else None


def main() -> int:
    data_json, out = Path(sys.argv[1]), Path(sys.argv[2])
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 300
    out.mkdir(parents=True, exist_ok=True)
    write_data(read_data(data_json), out)
    if not WORDLIST.exists():
        return 0
    words = read_words()
    words = random.Random(7).sample(words, min(count, len(words)))
    ipa = pronunciations(words)
    if ipa is None:
        return 0
    search, syllabify = out / "seed-search", out / "seed-syllabify"
    for d in (search, syllabify):
        d.mkdir(exist_ok=True)
    for i, (w, p) in enumerate(zip(words, ipa)):
        (search / f"w{i}").write_text(f"{w}\n{p}\n", encoding="utf-8")
        (syllabify / f"w{i}").write_text(f"{p}\n", encoding="utf-8")
    for i in range(0, len(words) - 1, 2):
        group = f"{words[i]} {words[i + 1]}\n{ipa[i]}{ipa[i + 1]}\n{len(words[i])}\n"
        (search / f"g{i}").write_text(group, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
