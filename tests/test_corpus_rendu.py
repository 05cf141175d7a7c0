"""analyser_corpus(rendu=...): each worker renders its own results, the caller gets what it returns."""

import operator

import pytest

from vantro_aligneur import corpus
from vantro_aligneur import vantro_aligneur as va
from vantro_aligneur.cli.sorties import Rendu

TEXTES = [
    "Les enfants lisent un livre.",
    "",
    "Il a 7 ans ! C’est l’anniversaire de Léo.",
    "Un ami est venu.\n\nIl est parti.",
    "e\u0301te\u0301",
    "Le petit chat dort.",
]


@pytest.fixture(scope="module")
def resultats(library):
    facade = va.VantroSyllabeur(library)
    return [facade.analyser_texte(t) for t in TEXTES]


def nombre_de_groupes(resultat):
    return len(resultat.groupes)


class Fragile:
    """Fails on one text, to see where the error surfaces."""

    def __init__(self, texte):
        self.texte = texte

    def __call__(self, resultat):
        if resultat.texte_original == self.texte:
            raise LookupError("rendu impossible")
        return resultat.format_ligne1()


RENDUS = [
    operator.methodcaller("format_detail"),
    nombre_de_groupes,
    Rendu("json", False, "orales"),
    Rendu("html", False, "ecrites", "Titre"),
    Rendu("texte", True, "orales"),
]


@pytest.mark.parametrize("rendu", RENDUS, ids=repr)
@pytest.mark.parametrize("processus, taille_lot", [(1, 8), (2, 1), (2, 4), (3, 100)])
def test_each_result_is_rendered_in_order(resultats, rendu, processus, taille_lot):
    rendus = list(corpus.analyser_corpus(iter(TEXTES), processus=processus, taille_lot=taille_lot, rendu=rendu))
    assert rendus == [rendu(r) for r in resultats]


def test_the_caller_rebuilds_no_record(library, monkeypatch):
    def interdit(octets):
        raise AssertionError("a record was rebuilt in the caller")

    monkeypatch.setattr(corpus, "deballer", interdit)
    assert len(list(corpus.analyser_corpus(TEXTES, processus=2, taille_lot=2, rendu=nombre_de_groupes))) == len(TEXTES)


@pytest.mark.parametrize("processus, taille_lot", [(1, 1), (2, 1), (2, 3)])
def test_an_error_of_the_rendering_comes_after_the_results_before_it(library, processus, taille_lot):
    rendus = corpus.analyser_corpus(TEXTES, processus=processus, taille_lot=taille_lot, rendu=Fragile(TEXTES[3]))
    recus = []
    with pytest.raises(LookupError, match="rendu impossible") as erreur:
        for texte in rendus:
            recus.append(texte)
    assert len(recus) == 3
    assert "texte n° 3 du corpus" in erreur.value.__notes__


@pytest.mark.parametrize("processus", [1, 2])
@pytest.mark.parametrize(
    "rendu, message",
    [
        (lambda r: r, "rendu doit se transmettre par pickle"),
        ("json", "rendu doit être appelable ou None, pas str"),
    ],
)
def test_a_rendering_that_cannot_reach_the_workers_fails_at_the_call(processus, rendu, message):
    with pytest.raises(TypeError, match=message):
        corpus.analyser_corpus(TEXTES, processus=processus, rendu=rendu)
