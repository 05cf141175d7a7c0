"""In-process French phonemization through libespeak-ng (ctypes).

Starting the espeak-ng program costs about 20 ms per word, which makes a
pass over a whole word list take hours.  The library gives the same IPA when
called in the same process, so corpus tools and coverage tests use it.

The cleaning applied here is the one the library's own espeak-ng phonemizer
applies to the program output (stress marks, hyphens and spaces removed),
plus the removal of the "(xx)" language-switch markers, so the pairs built
here are the pairs the analyser sees.
"""

from __future__ import annotations

import ctypes
import ctypes.util
import re
import subprocess

AUDIO_OUTPUT_SYNCHRONOUS = 2
ESPEAK_CHARS_UTF8 = 1
ESPEAK_PHONEMES_IPA = 0x02

_SWITCH_RE = re.compile(r"\([a-zA-Z\-]+\)")
_REMOVED = str.maketrans("", "", "\u02c8\u02cc- ")

_lib = None
_voice = None


class EspeakUnavailable(RuntimeError):
    """libespeak-ng cannot be loaded or initialised."""


def _load(voice: str):
    global _lib, _voice
    if _lib is not None and _voice == voice:
        return _lib
    if _lib is None:
        name = ctypes.util.find_library("espeak-ng") or "libespeak-ng.so.1"
        try:
            lib = ctypes.CDLL(name)
        except OSError as exc:  # pragma: no cover - depends on the machine
            raise EspeakUnavailable(str(exc)) from exc
        lib.espeak_Initialize.argtypes = [ctypes.c_int, ctypes.c_int, ctypes.c_char_p, ctypes.c_int]
        lib.espeak_Initialize.restype = ctypes.c_int
        lib.espeak_SetVoiceByName.argtypes = [ctypes.c_char_p]
        lib.espeak_SetVoiceByName.restype = ctypes.c_int
        lib.espeak_TextToPhonemes.argtypes = [
            ctypes.POINTER(ctypes.c_void_p), ctypes.c_int, ctypes.c_int]
        lib.espeak_TextToPhonemes.restype = ctypes.c_void_p
        if lib.espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, None, 0) <= 0:
            raise EspeakUnavailable("espeak_Initialize failed")
        _lib = lib
    if _lib.espeak_SetVoiceByName(voice.encode("ascii")) != 0:
        raise EspeakUnavailable(f"voice {voice!r} not available")
    _voice = voice
    return _lib


def available(voice: str = "fr") -> bool:
    try:
        _load(voice)
    except EspeakUnavailable:
        return False
    return True


def raw_ipa(word: str, voice: str = "fr") -> str:
    """IPA of `word` as the library prints it, clause by clause, uncleaned.

    Clauses are joined by a line feed, as the program prints them.
    """
    lib = _load(voice)
    buf = ctypes.create_string_buffer(word.encode("utf-8"))
    ptr = ctypes.c_void_p(ctypes.addressof(buf))
    parts = []
    while ptr.value:
        out = lib.espeak_TextToPhonemes(ctypes.byref(ptr), ESPEAK_CHARS_UTF8, ESPEAK_PHONEMES_IPA)
        if out:
            parts.append(ctypes.string_at(out))
    return b"\n".join(parts).decode("utf-8", errors="replace")


def clean(raw: str) -> str:
    """The phonemizer's cleaning, plus removal of language-switch markers."""
    text = _SWITCH_RE.sub("", raw.strip())
    return text.translate(_REMOVED)


def is_switched(raw: str) -> bool:
    """True when espeak-ng read (part of) the word in another language."""
    return _SWITCH_RE.search(raw) is not None


def phonemize(word: str, voice: str = "fr") -> tuple[str, bool]:
    """(cleaned IPA, switched-language flag) of `word`."""
    raw = raw_ipa(word, voice)
    return clean(raw), is_switched(raw)


def program_raw_ipa(word: str, voice: str = "fr") -> str:
    """The same through the espeak-ng program (one process per word)."""
    out = subprocess.run(["espeak-ng", "-v", voice, "--ipa", "-q", "--", word],
                         capture_output=True, timeout=5, check=False)
    return out.stdout.decode("utf-8", errors="replace")
