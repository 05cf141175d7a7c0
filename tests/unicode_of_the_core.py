"""The Unicode version the core's tables follow, and what later versions added.

The core answers as Unicode 14.0 does (CPython 3.11's unicodedata) on every
interpreter. Tests that compare it with the running interpreter's unicodedata
leave out the code points that a later Unicode assigned: for the core they
are still unassigned. Unicode 15.0 and 15.1 (CPython 3.12 and 3.13) only
assigned new code points; no property of an older one changed.
"""

import unicodedata

CORE_UNIDATA = "14.0.0"

# Assigned in Unicode 15.0 or 15.1 (first..last, hexadecimal).
_ASSIGNED_AFTER_CORE = (
    "0CF3 0ECE 2FFC..2FFF 31EF 10EFD..10EFF 1123F..11241 11B00..11B09 11F00..11F10 11F12..11F3A 11F3E..11F59 "
    "1342F 13439..13455 1B132 1B155 1D2C0..1D2D3 1DF25..1DF2A 1E030..1E06D 1E08F 1E4D0..1E4F9 1F6DC "
    "1F774..1F776 1F77B..1F77F 1F7D9 1FA75..1FA77 1FA87..1FA88 1FAAD..1FAAF 1FABB..1FABD 1FABF 1FACE..1FACF "
    "1FADA..1FADB 1FAE8 1FAF7..1FAF8 2B739 2EBF0..2EE5D 31350..323AF"
)


def _ranges():
    for part in _ASSIGNED_AFTER_CORE.split():
        first, _, last = part.partition("..")
        yield int(first, 16), int(last or first, 16)


ASSIGNED_AFTER_THE_CORE = frozenset(cp for first, last in _ranges() for cp in range(first, last + 1))
NEWER_THAN_THE_CORE = ASSIGNED_AFTER_THE_CORE if unicodedata.unidata_version != CORE_UNIDATA else frozenset()


def known_to_the_core(cp: int) -> bool:
    """False for a code point the interpreter knows but the core's Unicode does not."""
    return cp not in NEWER_THAN_THE_CORE
