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


_JOINER = "\u034f"  # combining grapheme joiner: silent, and no word or pattern spans it
_VOWELS = set("ieɛaɑɔouyøœə")


def _single_consonants(ipa: str) -> str:
    out: list[str] = []
    for tok in _tokens(ipa):
        if out and tok == out[-1] and tok[:1] not in _VOWELS:
            continue
        out.append(tok)
    return "".join(out)


def _tokens(ipa: str) -> list[str]:
    import unicodedata  # noqa: PLC0415

    toks: list[str] = []
    for ch in ipa:
        if toks and unicodedata.category(ch).startswith("M"):
            toks[-1] += ch
        else:
            toks.append(ch)
    return toks


def french_reading(word: str, voice: str = "fr") -> str | None:
    """The library's French re-reading of a word espeak-ng reads as foreign.

    The word is read again with a combining grapheme joiner at each inner
    position; the shortest reading without a language switch wins (leftmost
    among equals), a consonant the joiner doubled said once. None when every
    position still switches. A word read in French keeps its reading.
    """
    raw = raw_ipa(word, voice)
    if not is_switched(raw):
        return clean(raw)
    best = None
    for k in range(1, len(word)):
        raw = raw_ipa(word[:k] + _JOINER + word[k:], voice)
        if is_switched(raw):
            continue
        ipa = clean(raw).replace(_JOINER, "")
        if best is None or len(ipa) < len(best):
            best = ipa
    return None if best is None else _single_consonants(best)
