"""The program run by `python -m vantro_aligneur`: interactive loop and
command-line mode, compared character for character."""

from __future__ import annotations

import os
import signal
import subprocess
import sys

import pytest

from espeak_fakes import FakeEspeak, path_with

BANNER = "Vantro Syllabeur Complet — Mode interactif (Ctrl+C pour quitter)\n\n"
PROMPT = "Mot > "

CHAT = "chat -> /ʃa/\n  σ1: /ʃa/ <<chat°>> [0:4] att=ʃ noy=a cod=-\n"
LE = "le -> /lə/\n  σ1: /lə/ <<le>> [0:2] att=l noy=ə cod=-\n"


def env_with_path(path: str) -> dict[str, str]:
    return dict(os.environ, PATH=path, PYTHONIOENCODING="utf-8")


@pytest.fixture
def no_espeak(tmp_path):
    """PATH without any espeak-ng: a run that starts it fails loudly."""
    empty = tmp_path / "empty"
    empty.mkdir()
    return env_with_path(str(empty))


@pytest.fixture
def fake_espeak(tmp_path):
    fake = FakeEspeak(tmp_path, output={"chat": "ʃˈa\n".encode(), "le": "lə\n".encode()})
    fake.env = env_with_path(path_with(fake.bin))
    return fake


def run(args, stdin, env):
    return subprocess.run([sys.executable, "-m", "vantro_aligneur", *args], input=stdin.encode(),
                          capture_output=True, env=env, timeout=60)


@pytest.mark.parametrize("stdin, shown", [
    ("/ʃɔkɔla\n", "  /ʃɔkɔla/ -> ʃɔ.kɔ.la (3 syll.)\n\n" + PROMPT),
    ("/ʃɔkɔla", "  /ʃɔkɔla/ -> ʃɔ.kɔ.la (3 syll.)\n\n" + PROMPT),
    ("  /  ʃɔkɔla  \n", "  /ʃɔkɔla/ -> ʃɔ.kɔ.la (3 syll.)\n\n" + PROMPT),
    ("/a/\n", "  /a// -> a/ (1 syll.)\n\n" + PROMPT),          # the trailing slash is IPA
    ("/\n", "  // ->  (0 syll.)\n\n" + PROMPT),
    ("\n   \n\t\n", PROMPT * 3),
    ("", ""),
])
def test_interactive_raw_ipa(no_espeak, stdin, shown):
    done = run([], stdin, no_espeak)
    assert done.returncode == 0, done.stderr.decode()
    assert done.stdout.decode() == BANNER + PROMPT + shown + "\n"


def test_interactive_word(fake_espeak):
    done = run([], "chat\n\n/la\n", fake_espeak.env)
    assert done.returncode == 0, done.stderr.decode()
    assert done.stdout.decode() == (BANNER + PROMPT + CHAT + "\n" + PROMPT + PROMPT
                                    + "  /la/ -> la (1 syll.)\n\n" + PROMPT + "\n")
    assert fake_espeak.calls() == ["--version", "-v fr --ipa -q -- chat"]


def test_arguments_mode(fake_espeak):
    done = run(["le", "chat"], "", fake_espeak.env)
    assert done.returncode == 0, done.stderr.decode()
    assert done.stdout.decode() == LE + "\n" + CHAT + "\n"
    assert fake_espeak.calls()[1:] == ["-v fr --ipa -q -- le", "-v fr --ipa -q -- chat"]


def test_arguments_without_words(no_espeak):
    done = run(["12", "!"], "", no_espeak)
    assert (done.returncode, done.stdout) == (0, b"")


def test_missing_espeak_ends_with_an_error(no_espeak):
    done = run([], "chat\n", no_espeak)
    assert done.returncode != 0
    assert done.stdout.decode() == BANNER + PROMPT
    assert "RuntimeError: eSpeak-NG n'est pas installe" in done.stderr.decode()


def test_interrupt_at_the_prompt(no_espeak):
    proc = subprocess.Popen([sys.executable, "-m", "vantro_aligneur"], stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=no_espeak)
    try:
        seen = b""
        while not seen.endswith(PROMPT.encode()):
            chunk = os.read(proc.stdout.fileno(), 4096)
            assert chunk, "program ended before prompting"
            seen += chunk
        proc.send_signal(signal.SIGINT)
        rest, err = proc.communicate(timeout=30)
    finally:
        proc.kill()
    assert proc.returncode == 0, err.decode()
    assert (seen + rest).decode() == BANNER + PROMPT + "\n"


def test_main_function(monkeypatch, capsys, fake_espeak):
    from vantro_aligneur.__main__ import main

    monkeypatch.setenv("PATH", fake_espeak.env["PATH"])
    assert main(["chat"]) == 0
    assert capsys.readouterr().out == CHAT + "\n"


# ---------------------------------------------------------------------------
# Options: reading groups, output formats, usage errors.

import io
import json

from vantro_aligneur.cli import entrees
from vantro_aligneur.cli.arguments import Commande, ErreurUsage, lire

PHRASE = "Les enfants ont un ami."


class Terminal(io.StringIO):
    def isatty(self):
        return True


def main_in_process(args, capsys, monkeypatch, stdin=None):
    from vantro_aligneur.cli import main

    if stdin is not None:
        monkeypatch.setattr(sys, "stdin", stdin)
    status = main(args)
    out, err = capsys.readouterr()
    return status, out, err


@pytest.mark.parametrize("args, message", [
    (["--format", "xml", "chat"], "valeur invalide"),
    (["--groupes", "--couleur", "--format", "json", "chat"], "--couleur ne vaut que pour --format texte"),
    (["-f", "texte.txt"], "-f/--fichier demande --groupes"),
    (["-j", "2", "chat"], "-j/--processus demande --groupes"),
    (["--groupes", "-j", "0", "chat"], "au moins 1 processus"),
    (["--groupes", "-j", "deux", "chat"], "nombre invalide"),
    (["--groupes", "-f", "texte.txt", "chat"], "pas les deux"),
    (["--inconnue", "chat"], "option inconnue : --inconnue"),
    (["--phonemiseur"], "attend une valeur"),
    (["--format", "json"], "l'analyse interactive n'a que --phonemiseur"),
    (["--syllabes", "ecrites"], "l'analyse interactive n'a que --phonemiseur"),
    (["serve", "--port", "70000"], "port hors de 0..65535"),
    (["serve", "--port", "huit"], "port invalide"),
    (["serve", "chat"], "option inconnue : chat"),
    (["--groupes", "caf\udcff"], "un argument n'est pas du texte UTF-8 : b'caf\\xff'"),
    (["--format", "json", "caf\udcff"], "pas du texte UTF-8"),
])
def test_usage_errors(args, message, capsys, monkeypatch):
    status, out, err = main_in_process(args, capsys, monkeypatch, stdin=io.StringIO(""))
    assert (status, out) == (2, "")
    assert message in err
    assert err.startswith("vantro-syllabeur : erreur : ") and "Traceback" not in err


def test_no_text_from_a_terminal(capsys, monkeypatch):
    status, _, err = main_in_process(["--groupes"], capsys, monkeypatch, stdin=Terminal())
    assert status == 2 and "aucun texte" in err


@pytest.mark.parametrize("args, command", [
    ([], Commande("interactif")),
    (["le", "chat"], Commande("mots", ("le", "chat"))),
    (["--", "serve"], Commande("mots", ("serve",))),
    (["-5", "degrés"], Commande("mots", ("-5", "degrés"))),
    (["le", "--format", "json", "chat"], Commande("mots", ("le", "chat"), format="json")),
    (["--phonemiseur", "bibliotheque"], Commande("interactif", phonemiseur="bibliotheque")),
    (["--groupes", "a", "b"], Commande("groupes", ("a", "b"))),
    (["--groupes", "-f", "-", "-j", "3"], Commande("groupes", fichier="-", processus=3)),
    (["--groupes", "--couleur", "--syllabes", "ecrites", "x"],
     Commande("groupes", ("x",), couleur=True, syllabes="ecrites")),
    (["serve"], Commande("serve")),
    (["serve", "--port", "0", "--phonemiseur", "programme"], Commande("serve", port=0, phonemiseur="programme")),
])
def test_commands(args, command, monkeypatch):
    monkeypatch.setattr(sys, "stdin", Terminal())
    assert lire(args) == command


def test_piped_text_is_read_without_arguments(monkeypatch):
    monkeypatch.setattr(sys, "stdin", io.StringIO(""))
    assert lire(["--groupes"]) == Commande("groupes", fichier="-")


@pytest.mark.parametrize("args, shown", [
    (["--help"], ["--groupes", "--format", "--phonemiseur", "-j N", "serve --port"]),
    (["serve", "--help"], ["--port", "127.0.0.1"]),
    (["--version"], ["vantro-syllabeur 2.0.0"]),
])
def test_help_and_version(args, shown, capsys, monkeypatch):
    status, out, err = main_in_process(args, capsys, monkeypatch)
    assert (status, err) == (0, "")
    for text in shown:
        assert text in out


def test_usage_error_exit_status_from_the_program(no_espeak):
    done = run(["--format"], "", no_espeak)
    assert done.returncode == 2 and done.stdout == b""
    assert "Traceback" not in done.stderr.decode()


@pytest.mark.parametrize("lines, paragraphs", [
    ([], []),
    (["\n", "  \n"], []),
    (["un\n"], ["un"]),
    (["un\n", "deux\n"], ["un\ndeux"]),
    (["un\n", "\n", "\n", "deux"], ["un", "deux"]),
    (["un\r\n", " \t\r\n", "deux\r\n"], ["un", "deux"]),
    (["\n", "un\n", "\n"], ["un"]),
])
def test_paragraphs(lines, paragraphs):
    assert list(entrees.paragraphes(lines)) == paragraphs


def expected(library, texte, format, syllabes="orales", couleur=False):
    import vantro_aligneur.vantro_aligneur as va

    resultat = va.VantroSyllabeur(library).analyser_texte(
        texte, va.OptionsGroupes(syllabes_ecrites=syllabes == "ecrites"))
    if format == "json":
        return json.loads(va.vers_json(resultat, syllabes))
    if couleur:
        return va.vers_ansi(resultat, syllabes) + "\n\n"
    return resultat.format_detail() + "\n\n"


@pytest.mark.parametrize("options, format, syllabes, couleur", [
    ([], "texte", "orales", False),
    (["--syllabes", "ecrites"], "texte", "ecrites", False),
    (["--couleur"], "texte", "orales", True),
    (["--couleur", "--syllabes", "ecrites"], "texte", "ecrites", True),
    (["--format", "json"], "json", "orales", False),
    (["--format", "json", "--syllabes", "ecrites"], "json", "ecrites", False),
])
def test_groups_formats(library, options, format, syllabes, couleur, capsys, monkeypatch):
    status, out, err = main_in_process(["--groupes", "--phonemiseur", "bibliotheque", *options, *PHRASE.split()],
                                       capsys, monkeypatch)
    assert (status, err) == (0, "")
    if format == "json":
        assert out.count("\n") == 1 and json.loads(out) == expected(library, PHRASE, format, syllabes)
    else:
        assert out == expected(library, PHRASE, format, syllabes, couleur)


def test_groups_html_page_holds_every_paragraph(library, tmp_path, capsys, monkeypatch):
    import vantro_aligneur.vantro_aligneur as va

    source = tmp_path / "histoire.txt"
    source.write_text("Les enfants ont un ami.\n\nIl a <b>7</b> ans.\n", encoding="utf-8")
    status, page, _ = main_in_process(["--groupes", "--phonemiseur", "bibliotheque", "--format", "html", "-f",
                                       str(source)], capsys, monkeypatch)
    assert status == 0
    assert page.startswith("<!DOCTYPE html>") and page.endswith("</body>\n</html>\n")
    assert page.count('<div class="vantro-lecture"') == 2 and page.count("<body>") == 1
    assert f"<title>{source}</title>" in page and "<b>" not in page
    seul = va.vers_html(va.VantroSyllabeur(library).analyser_texte("Les enfants ont un ami."), page=False)
    assert seul.split("</style>", 1)[1] in page


def test_groups_html_of_no_text_is_a_page(library, capsys, monkeypatch):
    status, page, _ = main_in_process(["--groupes", "--format", "html", "-f", "-"], capsys, monkeypatch,
                                      stdin=io.TextIOWrapper(io.BytesIO(b"\n\n")))
    assert status == 0 and page.startswith("<!DOCTYPE html>") and page.endswith("</html>\n")


@pytest.mark.parametrize("source", ["arguments", "file", "stdin", "dash"])
def test_groups_sources_agree(library, source, tmp_path, capsys, monkeypatch):
    texte = "Les enfants ont un ami.\nIl a sept ans.\n\nC’est l’anniversaire de Léo."
    args, stdin = ["--groupes", "--format", "json"], None
    if source == "arguments":
        args += [texte]
    elif source == "file":
        (tmp_path / "t.txt").write_bytes(b"\xef\xbb\xbf" + texte.replace("\n", "\r\n").encode())
        args += ["-f", str(tmp_path / "t.txt")]
    else:
        stdin = io.TextIOWrapper(io.BytesIO(texte.encode()))
        args += ["-f", "-"] if source == "dash" else []
    status, out, err = main_in_process(args, capsys, monkeypatch, stdin=stdin)
    assert (status, err) == (0, "")
    documents = [json.loads(line) for line in out.splitlines()]
    assert [d["texte"] for d in documents] == ["Les enfants ont un ami.\nIl a sept ans.",
                                               "C’est l’anniversaire de Léo."]


@pytest.mark.parametrize("content, message", [
    (b"Les enfants\n\xff\xfe ont un ami.\n", "n'est pas du texte UTF-8"),
    (None, "impossible de lire"),
])
def test_unreadable_file(content, message, tmp_path, capsys, monkeypatch):
    path = tmp_path / "t.txt"
    if content is not None:
        path.write_bytes(content)
    status, _, err = main_in_process(["--groupes", "--phonemiseur", "programme", "-f", str(path)],
                                     capsys, monkeypatch)
    assert status == 2 and message in err and "Traceback" not in err


@pytest.mark.parametrize("args, lines", [
    (["--format", "json", "le", "chat"], 2),
    (["--syllabes", "ecrites", "--format", "json", "chat"], 1),
])
def test_words_as_json(fake_espeak, args, lines, capsys, monkeypatch):
    monkeypatch.setenv("PATH", fake_espeak.env["PATH"])
    status, out, _ = main_in_process(args, capsys, monkeypatch)
    documents = [json.loads(line) for line in out.splitlines()]
    assert status == 0 and len(documents) == lines
    assert documents[-1]["texte"] == "chat"


def test_words_written_syllables_and_colours(fake_espeak, capsys, monkeypatch):
    import vantro_aligneur.vantro_aligneur as va

    monkeypatch.setenv("PATH", fake_espeak.env["PATH"])
    _, ecrites, _ = main_in_process(["--syllabes", "ecrites", "chat"], capsys, monkeypatch)
    assert ecrites == va.VantroSyllabeur().analyze("chat", "ʃa", syllabes_ecrites=True).format_detail() + "\n\n"
    _, couleurs, _ = main_in_process(["--couleur", "chat"], capsys, monkeypatch)
    assert couleurs == va.vers_ansi(va.VantroSyllabeur().analyze("chat", "ʃa")) + "\n\n"
    assert "\x1b[" in couleurs


def test_missing_espeak_with_options_is_a_message(no_espeak, capsys, monkeypatch):
    monkeypatch.setenv("PATH", no_espeak["PATH"])
    status, out, err = main_in_process(["--format", "json", "chat"], capsys, monkeypatch)
    assert (status, out) == (1, "")
    assert "eSpeak-NG n'est pas installe" in err and "Traceback" not in err


def test_phonemizer_choice(monkeypatch):
    import vantro_aligneur.vantro_aligneur as va
    from vantro_aligneur.cli import phonemiseur

    def absent(*_):
        raise RuntimeError("libespeak-ng.so.1: introuvable")

    monkeypatch.setattr(va, "EspeakLibPhonemizer", absent)
    assert isinstance(phonemiseur.creer(None), va.EspeakPhonemizer)
    assert isinstance(phonemiseur.creer("programme"), va.EspeakPhonemizer)
    with pytest.raises(phonemiseur.ErreurPhonemiseur, match="introuvable"):
        phonemiseur.creer("bibliotheque")


def test_groups_in_worker_processes(library, tmp_path, capsys, monkeypatch):
    pytest.importorskip("vantro_aligneur.corpus")
    source = tmp_path / "t.txt"
    source.write_text("\n\n".join(["Les enfants ont un ami.", "Il a sept ans.", "Un grand homme."] * 3),
                      encoding="utf-8")
    _, seul, _ = main_in_process(["--groupes", "-f", str(source)], capsys, monkeypatch)
    status, partage, err = main_in_process(["--groupes", "-j", "2", "-f", str(source)], capsys, monkeypatch)
    assert status == 0 and "Traceback" not in err
    assert partage == seul and seul.count("Texte : ") == 9


@pytest.mark.parametrize("options", [
    [],
    ["--syllabes", "ecrites"],
    ["--couleur"],
    ["--format", "json"],
    ["--format", "json", "--syllabes", "ecrites"],
    ["--format", "html"],
    ["--format", "html", "--syllabes", "ecrites"],
])
def test_workers_write_what_one_process_writes(library, options, tmp_path, capsys, monkeypatch):
    pytest.importorskip("vantro_aligneur.corpus")
    source = tmp_path / "t.txt"
    source.write_text("\n\n".join(["Les enfants ont un ami.", "Il a <b>7</b> ans !", "", "Un grand homme.",
                                     "C’est l’anniversaire de Léo."] * 2), encoding="utf-8")
    args = ["--groupes", "--phonemiseur", "bibliotheque", *options, "-f", str(source)]
    status1, seul, err1 = main_in_process([*args, "-j", "1"], capsys, monkeypatch)
    status2, partage, err2 = main_in_process([*args, "-j", "2"], capsys, monkeypatch)
    assert (status1, err1, status2, err2) == (0, "", 0, "")
    # Not the same nothing twice: 8 paragraphs take more than a few hundred characters in any format.
    assert partage == seul and len(seul) > 1000


@pytest.mark.parametrize("format, couleur, syllabes, encodage", [
    ("texte", False, "orales", "utf-8"),
    ("texte", True, "ecrites", "utf-8"),
    ("json", False, "orales", "utf-16"),
    ("html", False, "orales", "latin-1"),   # IPA out of range: the stream's own error handler
    ("html", False, "ecrites", "utf-8"),
])
def test_encoded_renderings_write_what_text_writes(library, format, couleur, syllabes, encodage):
    import pickle

    from vantro_aligneur.cli import sorties
    import vantro_aligneur.vantro_aligneur as va

    facade = va.VantroSyllabeur(library)
    resultats = [facade.analyser_texte(t) for t in ["Les enfants ont un ami.", "Il a <b>7</b> ans !"]]

    def ecrit(octets):
        flux = io.TextIOWrapper(io.BytesIO(), encoding=encodage, errors="backslashreplace", newline="\n")
        sortie = sorties.creer(format, couleur, syllabes, flux, "Titre")
        rendu = (sortie.en_octets() if octets else None) or sortie.rendu
        for resultat in resultats:
            # As the workers send it.
            sortie.ecrire_rendu(pickle.loads(pickle.dumps(rendu))(resultat))
        sortie.fin()
        return flux.buffer.getvalue()

    assert ecrit(octets=True) == ecrit(octets=False)


def test_a_stream_without_bytes_is_written_as_text(library):
    from vantro_aligneur.cli import sorties

    flux = io.StringIO()
    sortie = sorties.creer("html", False, "orales", flux)
    assert sortie.en_octets() is None
    sortie.fin()
    assert flux.getvalue().startswith("<!DOCTYPE html>")


def test_closed_pipe_is_not_an_error(tmp_path, no_espeak):
    source = tmp_path / "t.txt"
    source.write_text("Les enfants ont un ami.\n\n" * 400, encoding="utf-8")
    env = dict(os.environ, PYTHONIOENCODING="utf-8")
    proc = subprocess.Popen([sys.executable, "-m", "vantro_aligneur", "--groupes", "-f", str(source)],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
    proc.stdout.read(10)
    proc.stdout.close()
    err = proc.stderr.read()
    proc.wait(timeout=60)
    assert b"Traceback" not in err and b"BrokenPipe" not in err


def test_both_readers_agree(library, capsys, monkeypatch):
    texte = "Les enfants ont un ami. Il a 7 ans !"
    sorties = [main_in_process(["--groupes", "--phonemiseur", nom, texte], capsys, monkeypatch)
               for nom in ("programme", "bibliotheque")]
    assert sorties[0] == sorties[1] and sorties[0][0] == 0


def test_serve_reports_what_stops_it(library, capsys, monkeypatch):
    import socket

    pytest.importorskip("waitress")

    with socket.socket() as occupe:
        occupe.bind(("127.0.0.1", 0))
        occupe.listen()
        port = occupe.getsockname()[1]
        status, _, err = main_in_process(["serve", "--port", str(port)], capsys, monkeypatch)
    assert status == 1 and f"impossible d'écouter sur 127.0.0.1:{port}" in err

    monkeypatch.setitem(sys.modules, "waitress.server", None)
    status, _, err = main_in_process(["serve"], capsys, monkeypatch)
    assert status == 1 and "pip install 'vantro-aligneur[web]'" in err and "Traceback" not in err
