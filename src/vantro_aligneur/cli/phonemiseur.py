"""Which espeak-ng reads the text: the library loaded into the process, or
the program started per clause (much slower, but needs only the program)."""

from __future__ import annotations

from typing import Any


class ErreurPhonemiseur(Exception):
    """The reader asked for cannot start; the message says why."""


def creer(nom: str | None) -> Any:
    """The phonemizer named by --phonemiseur; None: the library when it loads, else the program."""
    from vantro_aligneur.vantro_aligneur import EspeakLibPhonemizer, EspeakPhonemizer

    if nom in (None, "bibliotheque"):
        try:
            return EspeakLibPhonemizer()
        except RuntimeError as exc:
            if nom is not None:
                raise ErreurPhonemiseur(f"la bibliothèque espeak-ng ne se charge pas : {exc}") from None
    return EspeakPhonemizer()


def nom_de(phonemiseur: Any) -> str:
    """The value --phonemiseur takes for this phonemizer, as worker processes rebuild it."""
    from vantro_aligneur.vantro_aligneur import EspeakLibPhonemizer

    return "bibliotheque" if isinstance(phonemiseur, EspeakLibPhonemizer) else "programme"
