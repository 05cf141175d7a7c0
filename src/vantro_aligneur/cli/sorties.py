"""Output formats: each result is written as soon as it is analysed.

A result becomes text through a `Rendu`, which keeps no state and pickles: the
worker processes of ``-j N`` render their own results and send only the text,
so the caller never rebuilds the records. The `Sortie` only writes that text
in order and frames it (the HTML page's head and end).
"""

from __future__ import annotations

import json
from typing import Any, TextIO

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


def corps_html(page: str) -> str:
    return page[page.index(_DEBUT_CORPS) + len(_DEBUT_CORPS):page.rindex(_FIN_CORPS)]


class Sortie:
    """Writes rendered results one after the other, then closes what it opened."""

    def __init__(self, flux: TextIO, rendu: Rendu) -> None:
        self.flux = flux
        self.rendu = rendu

    def ecrire(self, resultat: Any) -> None:
        self.ecrire_rendu(self.rendu(resultat))

    def ecrire_rendu(self, texte: str) -> None:
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

    def ecrire_rendu(self, texte: str) -> None:
        if not self.ouverte:
            # The head holds only the title and the style, the same for every text.
            page = self._page_vide()
            self.flux.write(page[:page.index(_DEBUT_CORPS) + len(_DEBUT_CORPS)])
            self.ouverte = True
        else:
            self.flux.write("\n")
        self.flux.write(texte)

    def fin(self) -> None:
        # No text at all still makes a valid (empty) page.
        self.flux.write(_FIN_CORPS if self.ouverte else self._page_vide())
        super().fin()


def creer(format: str, couleur: bool, syllabes: str, flux: TextIO, titre: str | None = None) -> Sortie:
    rendu = Rendu(format, couleur, syllabes, titre if format == "html" else None)
    return SortieHtml(flux, rendu) if format == "html" else Sortie(flux, rendu)
