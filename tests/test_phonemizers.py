"""Phonemizers: the espeak-ng program (through stand-in programs on PATH), the
in-process library, the G2P adapter and the interface."""

from __future__ import annotations

import logging
import shutil
import os
import subprocess
import threading

import pytest

from espeak_fakes import FakeEspeak, path_with
from vantro_aligneur import vantro_aligneur as va

LOGGER = "vantro_aligneur.vantro_aligneur"
WARNING = "eSpeak-NG not available, phonemization will fail"
NOT_INSTALLED = ("eSpeak-NG n'est pas installe. Installez-le (sudo apt install espeak-ng) "
                 "ou fournissez un phonemiseur custom.")


@pytest.fixture
def runs(monkeypatch):
    """Every subprocess.run call, checked for the documented options; the
    5-second time-out is shortened so that hanging programs fail fast."""
    real = subprocess.run
    seen: list[list[str]] = []

    def run(args, **kwargs):
        assert kwargs == {"capture_output": True, "timeout": 5}
        seen.append(list(args))
        return real(args, capture_output=True, timeout=0.5)

    monkeypatch.setattr(subprocess, "run", run)
    return seen


def install(monkeypatch, tmp_path, **kwargs) -> FakeEspeak:
    fake = FakeEspeak(tmp_path, **kwargs)
    monkeypatch.setenv("PATH", path_with(fake.bin))
    return fake


def remove_espeak(monkeypatch, tmp_path) -> None:
    empty = tmp_path / "empty"
    empty.mkdir()
    monkeypatch.setenv("PATH", str(empty))


# ---- EspeakPhonemizer ---------------------------------------------------------------

def test_fresh_phonemizer_starts_nothing(runs):
    ph = va.EspeakPhonemizer()
    assert (ph._lang, ph._available) == ("fr", None)
    assert va.EspeakPhonemizer("de")._lang == "de"
    assert isinstance(ph, va.Phonemizer)
    assert runs == []


@pytest.mark.parametrize("printed, expected", [
    (" ˈbɔ̃ˌʒuːʁ \n".encode(), "bɔ̃ʒuːʁ"),                   # stress marks, ends, length mark kept
    ("lə- mˈɔ̃d\n".encode(), "ləmɔ̃d"),                       # words joined, hyphens dropped
    ("bɔ̃ʒˈuʁ\nlə mˈɔ̃d\n".encode(), "bɔ̃ʒuʁ\nləmɔ̃d"),         # a line break inside stays
    ("(en)tˈiː(fr)\n".encode(), "tiː"),                      # language-switch markers
    ("(en-us)ɹˈʌn(fr) ɡʁˈɑ̃\n".encode(), "ɹʌnɡʁɑ̃"),
    (b"a\xffb\xe2\x82\n", "a\ufffdb\ufffd"),                  # not UTF-8
    (b"", ""),
])
def test_output_cleaning(runs, monkeypatch, tmp_path, printed, expected):
    install(monkeypatch, tmp_path, default=printed)
    assert va.EspeakPhonemizer().phonemize("mot") == expected


def test_command_lines(runs, monkeypatch, tmp_path):
    fake = install(monkeypatch, tmp_path, default=b"x")
    ph = va.EspeakPhonemizer("fr-be")
    for word in ["chat", "-h", "--version", "a b"]:
        ph.phonemize(word)
    assert runs == [["espeak-ng", "--version"]] + [
        ["espeak-ng", "-v", "fr-be", "--ipa", "-q", "--", w] for w in ["chat", "-h", "--version", "a b"]]
    assert fake.calls()[1:] == ["-v fr-be --ipa -q -- chat", "-v fr-be --ipa -q -- -h",
                                "-v fr-be --ipa -q -- --version", "-v fr-be --ipa -q -- a b"]


def test_error_status_still_gives_the_output(runs, monkeypatch, tmp_path):
    install(monkeypatch, tmp_path, default="ʃˈa\n".encode(), exit_status=3)
    assert va.EspeakPhonemizer().phonemize("chat") == "ʃa"


@pytest.mark.parametrize("kind", ["absent", "hangs"])
def test_unavailable_program(runs, monkeypatch, tmp_path, caplog, kind):
    if kind == "absent":
        remove_espeak(monkeypatch, tmp_path)
    else:
        install(monkeypatch, tmp_path, version_hangs=True)
    caplog.set_level(logging.WARNING, logger=LOGGER)
    ph = va.EspeakPhonemizer()
    assert ph.is_available() is False
    assert ph.is_available() is False
    with pytest.raises(RuntimeError) as err:
        ph.phonemize("chat")
    assert str(err.value) == NOT_INSTALLED
    assert ph._available is False
    assert runs == [["espeak-ng", "--version"]]
    assert [(r.name, r.levelno, r.getMessage()) for r in caplog.records] == [(LOGGER, logging.WARNING, WARNING)]


def test_available_is_cached(runs, monkeypatch, tmp_path):
    install(monkeypatch, tmp_path, exit_status=1)
    ph = va.EspeakPhonemizer()
    assert ph.is_available() is True
    assert ph.is_available() is True
    assert runs == [["espeak-ng", "--version"]]


def test_pronunciation_time_out_propagates(runs, monkeypatch, tmp_path):
    install(monkeypatch, tmp_path, hang=True)
    ph = va.EspeakPhonemizer()
    ph._available = True
    with pytest.raises(subprocess.TimeoutExpired):
        ph.phonemize("chat")


def test_program_gone_after_check_propagates(runs, monkeypatch, tmp_path):
    install(monkeypatch, tmp_path)
    ph = va.EspeakPhonemizer()
    assert ph.is_available()
    remove_espeak(monkeypatch, tmp_path)
    with pytest.raises(FileNotFoundError):
        ph.phonemize("chat")
    assert ph._available is True


def test_other_start_errors_leave_the_check_open(monkeypatch):
    def run(args, **kwargs):
        raise PermissionError("denied")

    monkeypatch.setattr(subprocess, "run", run)
    ph = va.EspeakPhonemizer()
    with pytest.raises(PermissionError):
        ph.is_available()
    assert ph._available is None


def test_subclass_decides_availability(runs):
    class Never(va.EspeakPhonemizer):
        def is_available(self):
            return False

    with pytest.raises(RuntimeError):
        Never().phonemize("chat")
    assert runs == []


@pytest.mark.parametrize("call", [
    lambda: va.EspeakPhonemizer(3),
    lambda: va.EspeakPhonemizer(lang=None),
    lambda: va.EspeakPhonemizer().phonemize(3),
    lambda: va.EspeakPhonemizer().phonemize(None),
    lambda: va.Phonemizer().phonemize(b"chat"),
])
def test_argument_types(runs, call):
    with pytest.raises(TypeError, match=r"^Argument '(lang|word)' has incorrect type \(expected str, got "):
        call()
    assert runs == []


def test_interface_body():
    assert va.Phonemizer().phonemize("chat") is None


# ---- _G2PAdapter --------------------------------------------------------------------

class Model:
    def __init__(self, answer):
        self.answer = answer
        self.words = []

    def predict(self, word):
        self.words.append(word)
        return self.answer


@pytest.mark.parametrize("answer", ["ˈʃa ", "", None])
def test_adapter_returns_predict_unchanged(answer):
    model = Model(answer)
    adapter = va._G2PAdapter(model)
    assert adapter._g2p is model
    assert adapter.phonemize("chat") == answer
    assert model.words == ["chat"]


@pytest.mark.parametrize("answer, name", [(5, "int"), (b"a", "bytes"), (["a"], "list")])
def test_adapter_refuses_non_strings(answer, name):
    with pytest.raises(TypeError, match=f"^Expected str, got {name}$"):
        va._G2PAdapter(Model(answer)).phonemize("chat")


def test_adapter_needs_predict():
    with pytest.raises(TypeError, match=r"^L'objet G2P doit avoir une méthode \.predict\(word\) -> str$"):
        va._G2PAdapter(object())
    with pytest.raises(TypeError, match="^Argument 'word'"):
        va._G2PAdapter(Model("a")).phonemize(1)


# ---- EspeakLibPhonemizer --------------------------------------------------------------

@pytest.mark.skipif(shutil.which("espeak-ng") is None, reason="espeak-ng program missing")
@pytest.mark.parametrize("word", ["chocolat", "-h", "--version", "tee", "porte-manteau", "aujourd'hui",
                                  "bonjour, le monde. oui", "", "Éléphant", "12",
                                  "caf\udce9"])  # undecodable file-name byte
def test_library_matches_program(library, word):
    assert library.phonemize(word) == va.EspeakPhonemizer().phonemize(word)


def test_library_is_safe_across_threads(library):
    words = ["chocolat", "maison", "enfant", "oiseau", "grenouille", "chat"] * 20
    expected = [library.phonemize(w) for w in words]
    results: dict[int, list[str]] = {}

    def work(k):
        results[k] = [library.phonemize(w) for w in words]

    threads = [threading.Thread(target=work, args=(k,)) for k in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert all(results[k] == expected for k in range(4))


def test_library_errors(library):
    with pytest.raises(RuntimeError, match="zz-none"):
        va.EspeakLibPhonemizer("zz-none")
    with pytest.raises(ValueError, match="embedded null byte"):
        library.phonemize("a\0b")
    with pytest.raises(TypeError, match="^Argument 'word'"):
        library.phonemize(None)


def zombies() -> list[int]:
    """Children of this process that ended without being waited for."""
    found = []
    for entry in os.listdir("/proc"):
        try:
            with open(f"/proc/{entry}/stat", encoding="ascii", errors="replace") as fh:
                fields = fh.read().rsplit(")", 1)[1].split()
        except (OSError, IndexError):
            continue
        if fields[0] == "Z" and int(fields[1]) == os.getpid():
            found.append(int(entry))
    return found


@pytest.mark.skipif(not os.path.isdir("/proc"), reason="needs /proc")
def test_timed_out_program_is_reaped(runs, monkeypatch, tmp_path):
    install(monkeypatch, tmp_path, hang=True)
    ph = va.EspeakPhonemizer()
    ph._available = True
    for _ in range(3):
        with pytest.raises(subprocess.TimeoutExpired):
            ph.phonemize("chat")
    assert zombies() == []
