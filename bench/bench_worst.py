#!/usr/bin/env python3
"""Crafted worst cases: long runs for the alignment search, huge inputs everywhere.

1. The search on runs of one letter against runs of one phoneme, on hundreds
   of letters that may all be silent, on repeated multi-letter spellings, at
   growing sizes up to the input limit: the time at the limit, and how it
   grows when the size is multiplied by four.
2. Inputs just above the limit must be refused with ValueError at once.
3. Every public function gets inputs of 100,000 code points (or lists that
   long) and must return or raise quickly: refused at once when too long for
   the search, else in time proportional to the input.

    PYTHONPATH=<site> python3 bench/bench_worst.py [--json FILE]
"""

from __future__ import annotations

import re
import subprocess
import sys

import _common as c

N_HUGE = 100_000
LIMIT_TARGET_S = 0.25     # one search at the input limit
GROWTH_TARGET = 20.0      # memory(4n) / memory(n) near the limit: at most about quadratic
REFUSE_TARGET_S = 0.001   # refusal of an input above the limit
HUGE_TARGET_US = 20.0     # any public function on 100,000 code points, per code point


def input_limit() -> int:
    text = (c.ROOT / "src" / "core" / "alignment" / "search.hpp").read_text(encoding="utf-8")
    return int(re.search(r"MAX_ALIGNMENT_INPUT\s*=\s*(\d+)", text).group(1))


def families(n: int) -> dict[str, tuple[str, str]]:
    """Inputs of about n code points (word, phone)."""
    return {
        "a*n / a*n": ("a" * n, "a" * n),
        "h*n / a": ("h" * n, "a"),
        "e*n / ə": ("e" * n, "ə"),
        "s*n / s": ("s" * n, "s"),
        "h*n+a / a*n": ("h" * (n - 1) + "a", "a" * (n - 1)),
        "ch*n / ʃ*n": ("ch" * (n // 2), "ʃ" * (n // 2)),
        "eau*n / o*n": ("eau" * (n // 3), "o" * (n // 3)),
        "aient*n / ɛ*n": ("aient" * (n // 5), "ɛ" * (n // 5)),
        "ss*n / s*n": ("ss" * (n // 2), "s" * (n // 2)),
        "gn*n / ɲ*n": ("gn" * (n // 2), "ɲ" * (n // 2)),
    }


# Peak memory one search adds, in kB, measured in a fresh interpreter. The
# peak is the process's own (VmHWM): ru_maxrss would carry the parent's over exec.
MEMORY_PROBE = """
import re, sys
import vantro_aligneur.vantro_aligneur as m

def peak_kb():
    with open("/proc/self/status", encoding="ascii") as fh:
        return int(re.search(r"VmHWM:\\s*(\\d+)", fh.read()).group(1))

m._aligner("chocolat", "ʃɔkɔla")
word, phone = sys.stdin.read().split("\\n")
before = peak_kb()
m._aligner(word, phone)
print(peak_kb() - before)
"""


def search_memory_kb(word: str, phone: str) -> int:
    out = subprocess.run([sys.executable, "-c", MEMORY_PROBE], input=word + "\n" + phone, capture_output=True,
                         text=True, encoding="utf-8", check=True)
    return int(out.stdout)


def best_time(fn, *args, repeat: int = 3) -> tuple[float, object]:
    best, result = None, None
    for _ in range(repeat):
        t, result = c.time_once(fn, *args)
        best = t if best is None or t < best else best
    return best, result


class Tok:
    def __init__(self, text, span):
        self.text, self.span = text, span


class G2P:
    def __init__(self, text):
        self.display_fr, self.events = text, []


class Echo:
    """A phonemizer that reads every word as "a" repeated: no process started."""

    def phonemize(self, word):
        return "a" * len(word)


def huge_calls(m, n: int):
    big = "a" * n
    word_text = " ".join(["chocolat"] * (n // 9))
    ipa = "ʃɔkɔla" * (n // 6)
    tokens = ["ʃ", "ɔ", "k", "ɔ", "l", "a"] * (n // 6)
    consonants = ["p", "t", "k", "s", "l", "ʁ"] * (n // 6)
    spans = [(i, i + 1) for i in range(n)]
    one_letters = ["a"] * n
    son = m._SONORITY
    mot = m.MotAnalyse(Tok(big, (0, n)), ipa)
    mots = [m.MotAnalyse(Tok("a", (i, i + 1)), "a") for i in range(n // 10)]
    groupe = m.GroupeLecture([mot], ipa, (0, n))
    lecture = m.LectureFormule(big, [m.EventFormule(big, ipa, (0, n), (0, n))])
    s = m.VantroSyllabeur(Echo())
    long_result = m.ResultatAnalyse(big, ipa, [m.Syllabe(big, big, (0, n))])
    return [
        ("iter_phonemes", m.iter_phonemes, (ipa,)),
        ("est_voyelle", m.est_voyelle, (big,)),
        ("est_consonne", m.est_consonne, (big,)),
        ("est_semi_voyelle", m.est_semi_voyelle, (big,)),
        ("_phone_starts_with_vowel", m._phone_starts_with_vowel, (ipa,)),
        ("_phone_ends_with_consonne", m._phone_ends_with_consonne, (ipa,)),
        ("_phone_ends_with_schwa", m._phone_ends_with_schwa, (ipa,)),
        ("_class_of", m._class_of, (big, son)),
        ("_merge_compounds_ipa", m._merge_compounds_ipa, (tokens,)),
        ("_split_central_cluster", m._split_central_cluster, (consonants, son)),
        ("_syllabify_ipa", m._syllabify_ipa, (ipa,)),
        ("_decouper_syllabe", m._decouper_syllabe, (ipa,)),
        ("_alignement_v2", m._alignement_v2, (big, ipa, m._PHONE_TO_GRAPHEMES())),
        ("_aligner (both)", m._aligner, (big, ipa)),
        ("_aligner (word)", m._aligner, (big, "a")),
        ("_aligner (phone)", m._aligner, ("a", ipa)),
        ("_aligner (bounds)", m._aligner, ("a", "a", list(range(n)))),
        ("_build_spans", m._build_spans, (big, one_letters)),
        ("_phonemise_alignment", m._phonemise_alignment, (tokens, one_letters[: len(tokens)], spans[: len(tokens)])),
        ("_build_syllabes", m._build_syllabes, (["a"] * n, one_letters, one_letters, spans, 0, True)),
        ("ajouter_schwa_final", m.ajouter_schwa_final, (big, "VER", ipa)),
        ("construire_groupes (1 word)", m.construire_groupes, ([mot, mot],)),
        ("construire_groupes (n/10)", m.construire_groupes, (mots,)),
        ("syllabifier_groupes", m.syllabifier_groupes, ([groupe], None)),
        ("lecture_depuis_g2p", m.lecture_depuis_g2p, (G2P(big),)),
        ("_valider_spans_formule", m._valider_spans_formule, (lecture,)),
        ("_syllabes_depuis_lecture", m._syllabes_depuis_lecture, (lecture,)),
        ("analyze", s.analyze, (big, ipa)),
        ("analyze (phonemizer)", s.analyze, (big,)),
        ("analyze_text", s.analyze_text, (word_text,)),
        ("syllabify_ipa", s.syllabify_ipa, (ipa,)),
        ("analyser_complet", s.analyser_complet, ([mot],)),
        ("format_simple", long_result.format_simple, ()),
        ("format_detail", long_result.format_detail, ()),
        ("records", m.Syllabe, (big, big, (0, n))),
    ]


def main() -> int:
    ap = c.parser(__doc__.splitlines()[0])
    args = ap.parse_args()
    m = c.import_module()
    rows = c.Rows(args.json)
    limit = input_limit()
    m._aligner("chocolat", "ʃɔkɔla")  # the table is compiled on first use
    print(f"input limit {limit}")

    # 1. The search up to the limit.
    slowest_at_limit, worst_growth = (0.0, ""), (0.0, "")
    quarter = limit // 4
    for name in families(limit):
        t_quarter, _ = best_time(m._aligner, *families(quarter)[name])
        t_limit, r = best_time(m._aligner, *families(limit)[name])
        if isinstance(r, Exception):
            print(f"  {name}: raised {type(r).__name__}: {r}")
            rows.add_check("search: " + name, "at the limit", type(r).__name__, "a result", False)
            continue
        growth = t_limit / max(t_quarter, 1e-6)
        print(f"  {name:<16} n={limit}: {t_limit * 1e3:8.2f} ms   n={quarter}: {t_quarter * 1e3:8.2f} ms"
              f"   x{growth:.1f}   ok={r[3]}")
        slowest_at_limit = max(slowest_at_limit, (t_limit, name))
        if t_limit > 1e-3:  # growth of sub-millisecond times is noise
            worst_growth = max(worst_growth, (growth, name))
    rows.add("search at limit (slowest)", f"ms ({slowest_at_limit[1]})", slowest_at_limit[0] * 1e3,
             LIMIT_TARGET_S * 1e3, unit_fmt="{:.2f}")
    if worst_growth[1]:
        name = worst_growth[1]
        rows.add("search time n -> 4n", f"ratio ({name})", worst_growth[0], unit_fmt="{:.1f}")
        kb_quarter = search_memory_kb(*families(quarter)[name])
        kb_limit = search_memory_kb(*families(limit)[name])
        print(f"  {name}: {kb_limit} kB at n={limit}, {kb_quarter} kB at n={quarter}")
        rows.add("search memory n -> 4n", f"ratio ({name})", kb_limit / max(kb_quarter, 1), GROWTH_TARGET,
                 unit_fmt="{:.1f}")

    # 2. Above the limit: refused at once.
    slowest_refusal, all_refused = 0.0, True
    for name, (w, p) in families(limit + 5).items():
        for args_ in ((w, p), (w + "a" * 5, "a"), ("a", p + "a" * (limit + 1))):
            t, r = best_time(m._aligner, *args_)
            all_refused &= isinstance(r, ValueError)
            slowest_refusal = max(slowest_refusal, t)
    rows.add_check("above the limit", "every input refused", "ValueError" if all_refused else "no", "ValueError",
                   all_refused)
    rows.add("above the limit", "slowest refusal, ms", slowest_refusal * 1e3, REFUSE_TARGET_S * 1e3,
             unit_fmt="{:.3f}")

    # 3. 100,000 code points everywhere.
    slowest, failures = (0.0, ""), []
    for name, fn, fargs in huge_calls(m, N_HUGE):
        t, r = c.time_once(fn, *fargs)
        kind = type(r).__name__ if isinstance(r, Exception) else "returned"
        print(f"  {name:<30} {t * 1e3:9.2f} ms  {kind}")
        if isinstance(r, Exception) and not isinstance(r, (ValueError, TypeError, IndexError, OverflowError)):
            failures.append(f"{name}: {kind}")
        slowest = max(slowest, (t, name))
        del r
    for f in failures:
        print("  unexpected:", f)
    rows.add_check("100k code points", "unexpected errors", str(len(failures)), "0", not failures)
    # Some calls do real work on every one of the 100,000 code points (analyze_text
    # analyses 11,000 words): the bound is per code point, not per call.
    rows.add("100k code points", f"slowest us/code point ({slowest[1]})", slowest[0] * 1e6 / N_HUGE,
             HUGE_TARGET_US, unit_fmt="{:.2f}")
    rows.write()
    return 0 if c.all_ok(rows) else 1


if __name__ == "__main__":
    raise SystemExit(main())
