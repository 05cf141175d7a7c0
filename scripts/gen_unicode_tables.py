#!/usr/bin/env python3
"""Generates the Unicode tables of src/core/unicode/ from the running interpreter.

The C++ core must answer exactly as CPython 3.11's str and unicodedata do, so
the tables are read off the interpreter itself rather than off the Unicode
data files.

unicode_tables.inc: general category M*, str.isspace(), str.lower() /
str.upper() of every code point, and the two properties the final-sigma rule
of str.lower() consults.

normalization_tables.inc: the general category, the canonical combining
class, the NFC quick-check answer, the full canonical decomposition and the
primary composites of every code point, for unicodedata.normalize("NFC", s).
Hangul syllables are left out of both tables: they decompose and compose by
arithmetic.

CPython exposes neither "cased" nor "case-ignorable", so both are measured
through str.lower() on "1" + c + "Σ" and "A" + c + "Σ". The rule only ever asks
whether a character is cased after it found it not case-ignorable, so the
three states ignorable / cased / neither are all that the C++ side needs.

Usage: python3 scripts/gen_unicode_tables.py [output folder]
"""

from __future__ import annotations

import sys
import unicodedata
from pathlib import Path

EXPECTED_UNIDATA = "14.0.0"
MAX_CP = 0x110000

F_MARK = 0x01
F_SPACE = 0x02
F_CASED = 0x04
F_CASE_IGNORABLE = 0x08
F_LOWER_EXT = 0x10
F_UPPER_EXT = 0x20


def ends_final_sigma(prefix: str) -> bool:
    return (prefix + "\u03a3").lower()[-1] == "\u03c2"


def mapping(cp: int, mapped: str, ext: list[int], ext_index: dict[str, int]) -> tuple[bool, int]:
    """(is expansion, value): a delta for one code point, an offset otherwise."""
    if len(mapped) == 1:
        return False, ord(mapped) - cp
    if mapped not in ext_index:
        ext_index[mapped] = len(ext)
        ext.append(len(mapped))
        ext.extend(ord(ch) for ch in mapped)
    return True, ext_index[mapped]


def build() -> tuple[list[tuple[int, int, int]], list[int], list[int]]:
    # Record 0 is the identity record with no property: the answer for any
    # value outside the code space as well.
    records: list[tuple[int, int, int]] = [(0, 0, 0)]
    record_index: dict[tuple[int, int, int], int] = {records[0]: 0}
    ext: list[int] = []
    ext_index: dict[str, int] = {}
    per_cp: list[int] = []
    for cp in range(MAX_CP):
        ch = chr(cp)
        flags = 0
        if unicodedata.category(ch)[0] == "M":
            flags |= F_MARK
        if ch.isspace():
            flags |= F_SPACE
        after_uncased = ends_final_sigma("1" + ch)
        after_cased = ends_final_sigma("A" + ch)
        if after_cased and not after_uncased:
            flags |= F_CASE_IGNORABLE
        elif after_cased and after_uncased:
            flags |= F_CASED
        elif after_uncased:
            raise SystemExit(f"unexpected final-sigma behaviour at U+{cp:04X}")
        is_ext, lower = mapping(cp, ch.lower(), ext, ext_index)
        if is_ext:
            flags |= F_LOWER_EXT
        is_ext, upper = mapping(cp, ch.upper(), ext, ext_index)
        if is_ext:
            flags |= F_UPPER_EXT
        key = (flags, lower, upper)
        idx = record_index.get(key)
        if idx is None:
            idx = record_index[key] = len(records)
            records.append(key)
        per_cp.append(idx)
    return records, ext, per_cp


def smallest_two_stage(per_cp: list[int]) -> tuple[int, int, list[int], list[int]]:
    best = None
    for shift in range(4, 11):
        stage1, stage2 = two_stage(per_cp, shift)
        cost = len(stage1) * ctype(stage1)[1] + len(stage2) * ctype(stage2)[1]
        if best is None or cost < best[0]:
            best = (cost, shift, stage1, stage2)
    assert best is not None
    return best


def two_stage(per_cp: list[int], shift: int) -> tuple[list[int], list[int]]:
    size = 1 << shift
    blocks: dict[tuple[int, ...], int] = {}
    stage1: list[int] = []
    stage2: list[int] = []
    for start in range(0, MAX_CP, size):
        block = tuple(per_cp[start:start + size])
        offset = blocks.get(block)
        if offset is None:
            offset = blocks[block] = len(stage2) >> shift
            stage2.extend(block)
        stage1.append(offset)
    return stage1, stage2


def ctype(values: list[int]) -> tuple[str, int]:
    top = max(values)
    if top < 1 << 8:
        return "std::uint8_t", 1
    if top < 1 << 16:
        return "std::uint16_t", 2
    return "std::uint32_t", 4


def emit_array(name: str, ty: str, values: list[int], per_line: int = 16) -> str:
    lines = [f"constexpr {ty} {name}[{len(values)}] = {{"]
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(str(v) for v in values[i:i + per_line]) + ",")
    lines.append("};")
    return "\n".join(lines)


def main() -> None:
    if unicodedata.unidata_version != EXPECTED_UNIDATA:
        raise SystemExit(f"needs Unicode {EXPECTED_UNIDATA} (Python 3.11), "
                         f"this interpreter has {unicodedata.unidata_version}")
    root = Path(__file__).resolve().parent.parent
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else root / "src/core/unicode"
    out = folder / "unicode_tables.inc"

    records, ext, per_cp = build()
    best = smallest_two_stage(per_cp)
    _, shift, stage1, stage2 = best

    parts = [
        "// Generated by scripts/gen_unicode_tables.py from CPython "
        f"{sys.version_info.major}.{sys.version_info.minor} "
        f"(Unicode {unicodedata.unidata_version}). Do not edit.",
        "// Included by unicode.cpp only.",
        "",
        f"constexpr unsigned kShift = {shift};",
        f"constexpr std::uint8_t kMark = {F_MARK};",
        f"constexpr std::uint8_t kSpace = {F_SPACE};",
        f"constexpr std::uint8_t kCased = {F_CASED};",
        f"constexpr std::uint8_t kCaseIgnorable = {F_CASE_IGNORABLE};",
        f"constexpr std::uint8_t kLowerExt = {F_LOWER_EXT};",
        f"constexpr std::uint8_t kUpperExt = {F_UPPER_EXT};",
        "",
        "// {flags, lower, upper}: a delta to add to the code point, or with the",
        "// matching *Ext flag an offset into kExpansions (length, then code points).",
        f"constexpr Record kRecords[{len(records)}] = {{",
    ]
    parts.extend(f"    {{{f}, {lo}, {up}}}," for f, lo, up in records)
    parts.append("};")
    parts.append("")
    parts.append(emit_array("kExpansions", "char32_t", ext))
    parts.append("")
    parts.append(emit_array("kStage1", ctype(stage1)[0], stage1))
    parts.append("")
    parts.append(emit_array("kStage2", ctype(stage2)[0], stage2))
    parts.append("")
    out.write_text("\n".join(parts), encoding="utf-8")
    print(f"{out}: shift {shift}, {len(records)} records, {len(ext)} expansion slots, "
          f"{len(stage1)} + {len(stage2)} index entries, {best[0]} bytes of index")
    write_normalization(folder / "normalization_tables.inc")


# Order of the C++ enum vantro::unicode::Category (unicode/properties.hpp).
CATEGORIES = ["Cn", "Lu", "Ll", "Lt", "Lm", "Lo", "Mn", "Mc", "Me", "Nd", "Nl", "No", "Pc", "Pd", "Ps", "Pe",
              "Pi", "Pf", "Po", "Sm", "Sc", "Sk", "So", "Zs", "Zl", "Zp", "Cc", "Cf", "Cs", "Co"]
QC_YES, QC_MAYBE, QC_NO = 0, 1, 2
HANGUL_FIRST, HANGUL_LAST = 0xAC00, 0xD7A3
# Hangul vowel and trailing jamo compose with what precedes them.
HANGUL_V = range(0x1161, 0x1176)
HANGUL_T = range(0x11A8, 0x11C3)


def composition_pairs() -> dict[tuple[int, int], int]:
    """Primary composites: a two-character canonical decomposition that NFC
    puts back together (composition exclusions and singletons do not)."""
    pairs = {}
    for cp in range(MAX_CP):
        if HANGUL_FIRST <= cp <= HANGUL_LAST:
            continue
        d = unicodedata.decomposition(chr(cp))
        if not d or d.startswith("<"):
            continue
        parts = [int(x, 16) for x in d.split()]
        if len(parts) == 2 and unicodedata.normalize("NFC", chr(parts[0]) + chr(parts[1])) == chr(cp):
            pairs[(parts[0], parts[1])] = cp
    return pairs


def write_normalization(out: Path) -> None:
    pairs = composition_pairs()
    seconds = {b for (_, b) in pairs} | set(HANGUL_V) | set(HANGUL_T)
    records: list[tuple[int, int, int]] = [(0, QC_YES, 0)]
    record_index = {records[0]: 0}
    per_cp: list[int] = []
    decomp_cps: list[int] = []
    decomp_offsets: list[int] = []
    decomp_chars: list[int] = []
    for cp in range(MAX_CP):
        ch = chr(cp)
        ccc = unicodedata.combining(ch)
        hangul = HANGUL_FIRST <= cp <= HANGUL_LAST
        nfd = unicodedata.normalize("NFD", ch)
        if nfd != ch and not hangul:
            decomp_cps.append(cp)
            decomp_offsets.append(len(decomp_chars))
            decomp_chars.append(len(nfd))
            decomp_chars.extend(ord(c) for c in nfd)
        if unicodedata.normalize("NFC", ch) != ch:
            qc = QC_NO
        elif cp in seconds:
            qc = QC_MAYBE
        else:
            qc = QC_YES
        # Bit 2 of the quick-check field: the character has a decomposition
        # in the table (so that only those are looked up).
        flags = qc | (4 if nfd != ch and not hangul else 0)
        key = (CATEGORIES.index(unicodedata.category(ch)), flags, ccc)
        idx = record_index.get(key)
        if idx is None:
            idx = record_index[key] = len(records)
            records.append(key)
        per_cp.append(idx)
    if len(records) > 256:
        raise SystemExit(f"{len(records)} property records do not fit in a byte index")
    cost, shift, stage1, stage2 = smallest_two_stage(per_cp)
    keys = sorted(pairs)
    parts = [
        "// Generated by scripts/gen_unicode_tables.py from CPython "
        f"{sys.version_info.major}.{sys.version_info.minor} "
        f"(Unicode {unicodedata.unidata_version}). Do not edit.",
        "// Included by properties.cpp only.",
        "",
        f"constexpr unsigned kPropShift = {shift};",
        "",
        "// {general category, flags (NFC quick check 0 yes / 1 maybe / 2 no, +4 when",
        "// decomposable), canonical combining class}.",
        f"constexpr PropRecord kPropRecords[{len(records)}] = {{",
    ]
    parts.extend(f"    {{{c}, {f}, {ccc}}}," for c, f, ccc in records)
    parts.append("};")
    parts.append("")
    parts.append(emit_array("kPropStage1", ctype(stage1)[0], stage1))
    parts.append("")
    parts.append(emit_array("kPropStage2", ctype(stage2)[0], stage2))
    parts.append("")
    parts.append("// Full canonical decompositions: code points in increasing order, and for")
    parts.append("// each an offset into kDecompChars (length, then the code points).")
    parts.append(emit_array("kDecompCodePoints", "char32_t", decomp_cps, 8))
    parts.append("")
    parts.append(emit_array("kDecompOffsets", ctype(decomp_offsets)[0], decomp_offsets))
    parts.append("")
    parts.append(emit_array("kDecompChars", "char32_t", decomp_chars, 8))
    parts.append("")
    parts.append("// Primary composites: (first << 21 | second) in increasing order, and the")
    parts.append("// composite of each pair.")
    parts.append(emit_array("kComposeKeys", "std::uint64_t", [a << 21 | b for a, b in keys], 6))
    parts.append("")
    parts.append(emit_array("kComposeValues", "char32_t", [pairs[k] for k in keys], 8))
    parts.append("")
    out.write_text("\n".join(parts), encoding="utf-8")
    print(f"{out}: shift {shift}, {len(records)} records, {len(decomp_cps)} decompositions, "
          f"{len(keys)} composites, {cost} bytes of index")


if __name__ == "__main__":
    main()
