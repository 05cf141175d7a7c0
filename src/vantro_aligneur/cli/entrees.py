"""The text to read, as paragraphs: a blank line ends one.

A paragraph is the unit analysed and written out: a sentence never runs over
a blank line, so cutting there changes no reading, and a long file is read
and written paragraph by paragraph instead of held whole in memory.
"""

from __future__ import annotations

import io
import sys
from collections.abc import Iterable, Iterator
from contextlib import contextmanager
from typing import IO


class ErreurEntree(Exception):
    """The text cannot be read (missing file, not UTF-8); the message says why."""


def paragraphes(lignes: Iterable[str]) -> Iterator[str]:
    """The paragraphs of `lignes` (lines with their line ends), inner line ends kept."""
    courant: list[str] = []
    for ligne in lignes:
        if ligne.strip():
            courant.append(ligne)
        elif courant:
            yield "".join(courant).rstrip("\r\n")
            courant = []
    if courant:
        yield "".join(courant).rstrip("\r\n")


@contextmanager
def ouvrir(fichier: str | None, mots: tuple[str, ...]) -> Iterator[Iterator[str]]:
    """The paragraphs of the words given, of FICHIER, or of standard input for "-"."""
    if fichier is None:
        yield paragraphes(io.StringIO(" ".join(mots)))
        return
    flux: IO[bytes]
    if fichier == "-":
        flux = sys.stdin.buffer
        nom = "l'entrée standard"
    else:
        nom = fichier
        try:
            flux = open(fichier, "rb")
        except OSError as exc:
            raise ErreurEntree(f"impossible de lire {fichier} : {exc.strerror or exc}") from None
    # Decoding is strict: a text that is not UTF-8 is refused rather than
    # read with replaced characters whose positions would no longer match.
    texte = io.TextIOWrapper(flux, encoding="utf-8-sig", errors="strict", newline=None)
    try:
        yield _decode(paragraphes(texte), nom)
    finally:
        if fichier == "-":
            texte.detach()
        else:
            texte.close()


def _decode(source: Iterator[str], nom: str) -> Iterator[str]:
    try:
        yield from source
    except UnicodeDecodeError as exc:
        octet = exc.object[exc.start:exc.start + 1]
        raise ErreurEntree(f"{nom} n'est pas du texte UTF-8 ({exc.reason}, octet {octet!r})") from None
    except OSError as exc:
        raise ErreurEntree(f"impossible de lire {nom} : {exc.strerror or exc}") from None
