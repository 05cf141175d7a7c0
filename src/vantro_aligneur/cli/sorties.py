"""Output formats: each result is written as soon as it is analysed."""

from __future__ import annotations

import json
from typing import Any, TextIO

_DEBUT_CORPS = "<body>\n"
_FIN_CORPS = "\n</body>\n</html>\n"


class Sortie:
    """Writes results one after the other, then closes what it opened."""

    def __init__(self, flux: TextIO, syllabes: str) -> None:
        self.flux = flux
        self.syllabes = syllabes

    def ecrire(self, resultat: Any) -> None:
        raise NotImplementedError

    def fin(self) -> None:
        self.flux.flush()


class SortieTexte(Sortie):
    """The detailed rendering, each followed by an empty line."""

    def ecrire(self, resultat: Any) -> None:
        self.flux.write(resultat.format_detail() + "\n\n")


class SortieCouleur(Sortie):
    def ecrire(self, resultat: Any) -> None:
        from vantro_aligneur.vantro_aligneur import vers_ansi

        self.flux.write(vers_ansi(resultat, self.syllabes) + "\n\n")


class SortieJson(Sortie):
    """One document per line (JSON Lines), so a reader can stream them."""

    def ecrire(self, resultat: Any) -> None:
        from vantro_aligneur.vantro_aligneur import vers_json

        document = vers_json(resultat, self.syllabes)
        if "\n" in document:
            document = json.dumps(json.loads(document), ensure_ascii=False, separators=(",", ":"))
        self.flux.write(document + "\n")


class SortieHtml(Sortie):
    """One standalone page holding every reading, in order."""

    def __init__(self, flux: TextIO, syllabes: str, titre: str | None = None) -> None:
        super().__init__(flux, syllabes)
        self.titre = titre
        self.ouverte = False

    def ecrire(self, resultat: Any) -> None:
        from vantro_aligneur.vantro_aligneur import vers_html

        page = vers_html(resultat, self.syllabes, page=True, titre=self.titre)
        debut = page.index(_DEBUT_CORPS) + len(_DEBUT_CORPS)
        fin = page.rindex(_FIN_CORPS)
        if not self.ouverte:
            self.flux.write(page[:debut])
            self.ouverte = True
        else:
            self.flux.write("\n")
        self.flux.write(page[debut:fin])

    def fin(self) -> None:
        if not self.ouverte:
            # No text at all still makes a valid (empty) page.
            from vantro_aligneur.vantro_aligneur import ResultatSyllabation, vers_html

            self.flux.write(vers_html(ResultatSyllabation(""), self.syllabes, page=True, titre=self.titre))
        else:
            self.flux.write(_FIN_CORPS)
        super().fin()


def creer(format: str, couleur: bool, syllabes: str, flux: TextIO, titre: str | None = None) -> Sortie:
    if format == "json":
        return SortieJson(flux, syllabes)
    if format == "html":
        return SortieHtml(flux, syllabes, titre)
    return SortieCouleur(flux, syllabes) if couleur else SortieTexte(flux, syllabes)
