"""Output formats: each result is written as soon as it is analysed.

A result becomes text through a `Rendu`, which keeps no state and pickles: the
worker processes of ``-j N`` render their own results and send only the text,
so the caller never rebuilds the records. The `Sortie` only writes that text
in order and frames it (the HTML page's head and end).
"""

from __future__ import annotations

import json
import os
from typing import Any, BinaryIO, TextIO

_DEBUT_CORPS = "<body>\n"
_FIN_CORPS = "\n</body>\n</html>\n"


class Rendu:
    """The text written for one result, in one format."""

    def __init__(self, format: str, couleur: bool, syllabes: str, titre: str | None = None) -> None:
        self.format = format
        self.couleur = couleur
        self.syllabes = syllabes
        self.titre = titre

    def __call__(self, resultat: Any) -> str:
        from vantro_aligneur import vantro_aligneur as va

        if self.format == "json":
            # One document per line (JSON Lines), so a reader can stream them.
            document: str = va.vers_json(resultat, self.syllabes)
            if "\n" in document:
                document = json.dumps(json.loads(document), ensure_ascii=False, separators=(",", ":"))
            return document + "\n"
        if self.format == "html":
            return corps_html(va.vers_html(resultat, self.syllabes, page=True, titre=self.titre))
        if self.couleur:
            return str(va.vers_ansi(resultat, self.syllabes)) + "\n\n"
        return str(resultat.format_detail()) + "\n\n"

    def __eq__(self, autre: object) -> bool:
        return isinstance(autre, Rendu) and vars(self) == vars(autre)

    def __repr__(self) -> str:
        return f"Rendu({self.format!r}, {self.couleur!r}, {self.syllabes!r}, {self.titre!r})"


class RenduOctets:
    """A rendering encoded where it is made.

    The text of a whole corpus in JSON weighs about 2 kB a word: sent as str,
    the caller would decode it from the pipe and encode it again for the
    terminal, on the core its workers need.
    """

    def __init__(self, rendu: Rendu, encodage: str, erreurs: str) -> None:
        self.rendu = rendu
        self.encodage = encodage
        self.erreurs = erreurs

    def __call__(self, resultat: Any) -> bytes:
        return self.rendu(resultat).encode(self.encodage, self.erreurs)


def _par_morceaux(encodage: str) -> bool:
    """Whether pieces encoded apart join into the whole encoded at once (not so
    for an encoding that opens with a byte order mark)."""
    try:
        return "a".encode(encodage) + "b".encode(encodage) == "ab".encode(encodage)
    except LookupError:
        return False


def corps_html(page: str) -> str:
    return page[page.index(_DEBUT_CORPS) + len(_DEBUT_CORPS):page.rindex(_FIN_CORPS)]


class Sortie:
    """Writes rendered results one after the other, then closes what it opened."""

    def __init__(self, flux: TextIO, rendu: Rendu) -> None:
        self.flux = flux
        self.rendu = rendu
        self._octets: BinaryIO | None = None
        self._codage = ("utf-8", "strict")

    def en_octets(self) -> RenduOctets | None:
        """From now on, `ecrire_rendu` takes what the returned rendering makes: the
        text already encoded, written to the stream's bytes. None, and nothing
        changes, when the stream has no bytes under it or would change its line ends."""
        octets = getattr(self.flux, "buffer", None)
        encodage = getattr(self.flux, "encoding", None)
        if octets is None or not encodage or os.linesep != "\n" or not _par_morceaux(encodage):
            return None
        self.flux.flush()
        self._octets = octets
        self._codage = (encodage, getattr(self.flux, "errors", None) or "strict")
        return RenduOctets(self.rendu, *self._codage)

    def ecrire(self, resultat: Any) -> None:
        self._ecrire(self.rendu(resultat))

    def ecrire_rendu(self, texte: str | bytes) -> None:
        if isinstance(texte, bytes):
            assert self._octets is not None
            self._octets.write(texte)
        else:
            self._ecrire(texte)

    def _ecrire(self, texte: str) -> None:
        if self._octets is not None:
            self._octets.write(texte.encode(*self._codage))
        else:
            self.flux.write(texte)

    def fin(self) -> None:
        self.flux.flush()


class SortieHtml(Sortie):
    """One standalone page holding every reading, in order."""

    def __init__(self, flux: TextIO, rendu: Rendu) -> None:
        super().__init__(flux, rendu)
        self.ouverte = False

    def _page_vide(self) -> str:
        from vantro_aligneur.vantro_aligneur import ResultatSyllabation, vers_html

        page: str = vers_html(ResultatSyllabation(""), self.rendu.syllabes, page=True, titre=self.rendu.titre)
        return page

    def ecrire_rendu(self, texte: str | bytes) -> None:
        if not self.ouverte:
            # The head holds only the title and the style, the same for every text.
            page = self._page_vide()
            self._ecrire(page[:page.index(_DEBUT_CORPS) + len(_DEBUT_CORPS)])
            self.ouverte = True
        else:
            self._ecrire("\n")
        super().ecrire_rendu(texte)

    def fin(self) -> None:
        # No text at all still makes a valid (empty) page.
        self._ecrire(_FIN_CORPS if self.ouverte else self._page_vide())
        super().fin()


def creer(format: str, couleur: bool, syllabes: str, flux: TextIO, titre: str | None = None) -> Sortie:
    rendu = Rendu(format, couleur, syllabes, titre if format == "html" else None)
    return SortieHtml(flux, rendu) if format == "html" else Sortie(flux, rendu)
