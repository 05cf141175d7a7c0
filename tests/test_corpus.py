"""analyser_corpus: a corpus over several processes gives what one process gives."""

import itertools
import os
import pickle
import signal
import subprocess
import sys
import textwrap
import time

import pytest

import vantro_aligneur
from vantro_aligneur import corpus
from vantro_aligneur import vantro_aligneur as va

TEXTES = [
    "Les enfants lisent un livre.",
    "",
    "Il a 7 ans ! C’est l’anniversaire de Léo.",
    "   ",
    "Le 1er mai 1939, M. Dupont a payé 10 € à 8 h 30.",
    "« Va-t’en ! » dit-elle. Les héros ont-ils eu peur ?",
    "Un ami est venu.\n\nIl est parti.",
    "e\u0301te\u0301",  # decomposed accents: spans point into the caller's characters
    "Le petit chat dort.",
]


@pytest.fixture(scope="module")
def attendus(library):
    facade = va.VantroSyllabeur(library)
    return [facade.analyser_texte(t) for t in TEXTES]


@pytest.mark.parametrize(
    "processus, taille_lot", [(1, 1), (2, 1), (2, 3), (3, 2), (2, 100)]
)
def test_same_results_as_one_process_in_order(attendus, processus, taille_lot):
    resultats = list(vantro_aligneur.analyser_corpus(iter(TEXTES), processus=processus, taille_lot=taille_lot))
    assert resultats == attendus
    assert [r.texte_original for r in resultats] == TEXTES


def test_options_reach_every_worker(library):
    options = va.OptionsGroupes(gerer_liaisons=False, syllabes_ecrites=True)
    attendus = [va.VantroSyllabeur(library).analyser_texte(t, options) for t in TEXTES[:3]]
    assert list(corpus.analyser_corpus(TEXTES[:3], processus=2, options=options, taille_lot=1)) == attendus


def test_a_phonemizer_object_travels_to_the_workers(attendus):
    resultats = corpus.analyser_corpus(TEXTES[:2], processus=2, phonemiseur=va.EspeakLibPhonemizer("fr"))
    assert list(resultats) == attendus[:2]


def test_the_program_reads_as_the_library(attendus):
    assert list(corpus.analyser_corpus(TEXTES[:1], processus=2, phonemiseur="programme")) == attendus[:1]


class Counted:
    """An endless corpus that counts the texts taken from it."""

    def __init__(self):
        self.taken = 0

    def __iter__(self):
        for i in itertools.count():
            self.taken += 1
            yield f"Le chat {i} dort."


@pytest.mark.parametrize("processus, taille_lot", [(1, 4), (2, 1), (2, 4)])
def test_an_endless_corpus_is_read_lazily(library, processus, taille_lot):
    source = Counted()
    resultats = corpus.analyser_corpus(source, processus=processus, taille_lot=taille_lot)
    premiers = list(itertools.islice(resultats, 5))
    assert [r.texte_original for r in premiers] == [f"Le chat {i} dort." for i in range(5)]
    # A bounded window: the texts in flight, never the whole input.
    assert source.taken <= 5 + (processus * corpus.LOTS_PAR_PROCESSUS + 1) * taille_lot
    resultats.close()


@pytest.mark.parametrize("processus", [1, 2])
def test_an_error_reaches_the_caller_after_the_results_before_it(library, processus):
    textes = ["Le chat dort.", "Il pleut.", 42, "Jamais lu."]
    resultats = corpus.analyser_corpus(textes, processus=processus, taille_lot=1)
    assert [r.texte_original for r in itertools.islice(resultats, 2)] == textes[:2]
    with pytest.raises(TypeError) as info:
        next(resultats)
    assert "texte n° 2 du corpus" in getattr(info.value, "__notes__", [])


def failing_source(good):
    yield from good
    raise OSError("disque illisible")


@pytest.mark.parametrize("processus, taille_lot", [(1, 1), (2, 1), (2, 2), (2, 5)])
def test_an_error_of_the_corpus_itself_comes_after_the_texts_read_before_it(library, processus, taille_lot):
    textes = ["Le chat dort.", "Il pleut.", "Jamais deux sans trois."]
    resultats = corpus.analyser_corpus(failing_source(textes), processus=processus, taille_lot=taille_lot)
    assert [r.texte_original for r in itertools.islice(resultats, 3)] == textes
    with pytest.raises(OSError, match="disque illisible"):
        next(resultats)


@pytest.mark.skipif(not os.path.isdir("/proc"), reason="needs /proc to find the workers")
def test_a_dead_worker_is_an_error_not_a_hang(library):
    from concurrent.futures.process import BrokenProcessPool

    before = set(descendants(os.getpid()))
    resultats = corpus.analyser_corpus(Counted(), processus=2, taille_lot=1)
    next(resultats)
    workers = [p for p in descendants(os.getpid()) if p not in before and running(p)]
    assert workers
    os.kill(workers[0], signal.SIGKILL)  # as the kernel does when memory runs out
    with pytest.raises(BrokenProcessPool):
        for _ in range(10_000):
            next(resultats)


@pytest.mark.parametrize(
    "kwargs, error, message",
    [
        ({"processus": 0}, ValueError, "processus doit être au moins 1"),
        ({"processus": "2"}, TypeError, "processus doit être un entier ou None"),
        ({"processus": True}, TypeError, "processus doit être un entier ou None"),
        ({"taille_lot": 0}, ValueError, "taille_lot doit être au moins 1"),
        ({"taille_lot": 1.5}, TypeError, "taille_lot doit être un entier"),
        ({"phonemiseur": "espeak"}, ValueError, "phonemiseur inconnu : 'espeak'"),
        ({"phonemiseur": "espeak", "processus": 1}, ValueError, "phonemiseur inconnu"),
        ({"phonemiseur": va._G2PAdapter(type("G", (), {"predict": lambda s, w: "a"})())}, TypeError, "pickle"),
    ],
)
def test_bad_arguments_fail_at_the_call(kwargs, error, message):
    kwargs.setdefault("processus", 2)
    with pytest.raises(error, match=message):
        corpus.analyser_corpus(TEXTES, **kwargs)


@pytest.mark.parametrize("progression, shown", [(True, True), (False, False), (None, False)])
def test_the_progress_bar_shows_only_when_asked_or_on_a_terminal(library, capsys, progression, shown):
    list(corpus.analyser_corpus(TEXTES[:2], processus=1, progression=progression))
    err = capsys.readouterr().err
    assert ("2/2" in err) == shown, err  # captured standard error is no terminal


def descendants(pid):
    """Every process below `pid`, from /proc."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
            except (OSError, IndexError, ValueError):
                continue
            children.setdefault(ppid, []).append(int(entry))
    found, todo = [], [pid]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


def running(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


@pytest.mark.skipif(not os.path.isdir("/proc"), reason="needs /proc to find the workers")
def test_ctrl_c_ends_the_workers(library):
    script = textwrap.dedent(
        """
        import itertools, sys
        from vantro_aligneur import analyser_corpus

        if __name__ == "__main__":
            textes = (f"Le chat {i} dort sur le tapis du salon." for i in itertools.count())
            for i, resultat in enumerate(analyser_corpus(textes, processus=2, taille_lot=1)):
                if i == 20:
                    print("running", flush=True)
        """
    )
    child = subprocess.Popen(
        [sys.executable, "-c", script], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True
    )
    try:
        assert child.stdout.readline().strip() == "running"
        workers = descendants(child.pid)
        assert workers
        child.send_signal(signal.SIGINT)
        _, err = child.communicate(timeout=60)
    finally:
        child.kill()
    assert child.returncode != 0 and "KeyboardInterrupt" in err
    deadline = time.monotonic() + 10
    while any(running(p) for p in workers) and time.monotonic() < deadline:
        time.sleep(0.1)
    assert not [p for p in workers if running(p)]


def test_the_facade_is_built_once_per_worker(monkeypatch, library):
    built = []
    original = corpus.nouveau_syllabeur

    def counting(phonemiseur):
        built.append(phonemiseur)
        return original(phonemiseur)

    monkeypatch.setattr(corpus, "nouveau_syllabeur", counting)
    corpus._preparer_processus(None, None)
    try:
        for premier in range(3):
            corpus._analyser_lot(premier, ["Le chat."])
    finally:
        signal.signal(signal.SIGINT, signal.default_int_handler)
        corpus._preparer_processus(None, None)
    assert built == [None]


def test_results_pickle_the_way_the_workers_send_them(attendus):
    assert pickle.loads(pickle.dumps(attendus, pickle.HIGHEST_PROTOCOL)) == attendus


def test_the_package_gives_its_type_to_mypy(tmp_path):
    pytest.importorskip("mypy")
    snippet = tmp_path / "use.py"
    snippet.write_text(
        "from vantro_aligneur import analyser_corpus\n"
        "from vantro_aligneur.vantro_aligneur import ResultatSyllabation\n"
        "resultat = next(analyser_corpus(['Le chat.'], processus=2, phonemiseur='bibliotheque'))\n"
        "nombre: int = resultat\n"
        "def detail(r: ResultatSyllabation) -> str:\n"
        "    return r.format_detail()\n"
        "rendus = analyser_corpus(['Le chat.'], processus=2, rendu=detail)\n"
        "entier: int = next(rendus)\n"
    )
    def mypy(*args):
        return subprocess.run(
            [sys.executable, "-m", "mypy", "--strict", "--no-incremental", *args],
            capture_output=True, text=True, timeout=600, cwd=str(tmp_path),
        ).stdout

    used = mypy(str(snippet))
    # The errors are the deliberate ones: the type of a result, and of what
    # the rendering returns, are known.
    assert used.count("error:") == 2, used
    assert 'Incompatible types in assignment (expression has type "ResultatSyllabation"' in used
    assert 'Incompatible types in assignment (expression has type "str", variable has type "int"' in used
    modules = mypy("-p", "vantro_aligneur.corpus", "-p", "vantro_aligneur.corpus_dask")
    assert "Success" in modules, modules


def test_workers_start_from_a_fork_server_while_other_threads_run(attendus):
    import threading

    stop = threading.Event()
    other = threading.Thread(target=stop.wait)
    other.start()
    try:
        assert corpus._contexte().get_start_method() in ("forkserver", "spawn")
        assert list(corpus.analyser_corpus(TEXTES, processus=2, taille_lot=2)) == attendus
    finally:
        stop.set()
        other.join()


def test_a_script_without_a_main_guard_works(library, tmp_path):
    script = tmp_path / "script.py"
    script.write_text(
        "from vantro_aligneur import ResultatSyllabation, analyser_corpus\n"
        "print([r.texte_original for r in analyser_corpus(['Le chat.', 'Il dort.'] * 3, processus=2, taille_lot=1)])\n"
    )
    out = subprocess.run([sys.executable, str(script)], capture_output=True, text=True, timeout=120)
    assert out.returncode == 0, out.stderr
    assert out.stdout.strip() == str(["Le chat.", "Il dort."] * 3)
