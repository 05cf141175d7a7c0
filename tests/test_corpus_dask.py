"""analyser_corpus_dask on a local cluster of two worker processes."""

import itertools

import pytest

distributed = pytest.importorskip("distributed", reason="dask.distributed missing: pip install .[dask]")

from vantro_aligneur import corpus_dask  # noqa: E402
from vantro_aligneur import vantro_aligneur as va  # noqa: E402

TEXTES = [
    "Les enfants lisent un livre.",
    "",
    "Il a 7 ans ! C’est l’anniversaire de Léo.",
    "Le 1er mai, M. Dupont a payé 10 € à 8 h 30.",
    "« Va-t’en ! » dit-elle.",
    "Le petit chat dort.",
]


@pytest.fixture(scope="module")
def client(library):
    with distributed.LocalCluster(
        n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None, silence_logs=40
    ) as cluster, distributed.Client(cluster) as c:
        yield c


@pytest.fixture(scope="module")
def attendus(library):
    facade = va.VantroSyllabeur(library)
    return [facade.analyser_texte(t) for t in TEXTES]


@pytest.mark.parametrize("taille_lot", [1, 4])
def test_same_results_as_one_process_in_order(client, attendus, taille_lot):
    assert list(corpus_dask.analyser_corpus_dask(TEXTES, client, taille_lot=taille_lot)) == attendus


def test_options_and_one_facade_per_worker(client, library):
    options = va.OptionsGroupes(gerer_liaisons=False)
    attendus = [va.VantroSyllabeur(library).analyser_texte(t, options) for t in TEXTES]
    assert list(corpus_dask.analyser_corpus_dask(TEXTES, client, options, taille_lot=1)) == attendus
    counts = client.run(lambda: len(corpus_dask._syllabeurs))
    assert len(counts) == 2 and set(counts.values()) <= {0, 1}


def test_an_error_reaches_the_caller(client):
    resultats = corpus_dask.analyser_corpus_dask(["Le chat dort.", 42], client, taille_lot=1)
    assert next(resultats).texte_original == "Le chat dort."
    with pytest.raises(TypeError) as info:
        next(resultats)
    assert "texte n° 1 du corpus" in getattr(info.value, "__notes__", [])


def test_an_endless_corpus_is_read_lazily(client):
    textes = (f"Le chat {i} dort." for i in itertools.count())
    resultats = corpus_dask.analyser_corpus_dask(textes, client, taille_lot=2)
    assert [r.texte_original for r in itertools.islice(resultats, 3)] == [f"Le chat {i} dort." for i in range(3)]
    resultats.close()


def test_an_error_of_the_corpus_itself_comes_after_the_texts_read_before_it(client):
    def source():
        yield "Le chat dort."
        raise OSError("disque illisible")

    resultats = corpus_dask.analyser_corpus_dask(source(), client, taille_lot=4)
    assert next(resultats).texte_original == "Le chat dort."
    with pytest.raises(OSError, match="disque illisible"):
        next(resultats)
