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
