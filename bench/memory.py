#!/usr/bin/env python3
"""Memory over long runs: RSS and live objects must not grow; arguments keep their reference counts.

Phases, each after a warm-up: a million `analyze(word, phone)` calls over the
word list; the error paths (inputs too long for the search, wrong argument
types) a hundred thousand times each; `analyser_complet` on sentences. RSS
is read from /proc/self/status; the growth allowed is allocator noise.

    PYTHONPATH=<site> python3 bench/memory.py [--calls N] [--json FILE]
"""

from __future__ import annotations

import gc
import sys

import _common as c

GROWTH_TARGET_KB = 512


def settle() -> tuple[int, int]:
    gc.collect()
    return c.rss_kb(), len(gc.get_objects())


def run_phase(rows, name: str, step, calls: int, report_every: int) -> None:
    warm = max(1, calls // 10)
    for i in range(warm):
        step(i)
    marks: list[int] = []  # created before counting, like everything the loop keeps
    rss0, objs0 = settle()
    for i in range(calls):
        step(i)
        if (i + 1) % report_every == 0:
            marks.append(c.rss_kb())
    rss1, objs1 = settle()
    print(f"  {name}: RSS {rss0} kB -> {rss1} kB after {calls} calls; samples {marks}")
    rows.add(f"memory: {name}", f"RSS growth kB over {calls:,} calls", rss1 - rss0, GROWTH_TARGET_KB,
             unit_fmt="{:.0f}")
    rows.add(f"memory: {name}", "live objects growth", objs1 - objs0, 0, unit_fmt="{:.0f}")


def main() -> int:
    ap = c.parser(__doc__.splitlines()[0])
    ap.add_argument("--calls", type=int, default=1_000_000)
    args = ap.parse_args()
    if args.quick:
        args.calls = 100_000
    m = c.import_module()
    rows = c.Rows(args.json)
    s = m.VantroSyllabeur()
    pairs = c.load_pairs(50_000)
    n = len(pairs)

    # Arguments whose reference counts must come back unchanged.
    word, phone = "chocolaterie", "ʃɔkɔlatʁi"
    table = m._PHONE_TO_GRAPHEMES()
    a_list = table["a"]
    # One-letter str are shared singletons that anything may hold: watch a longer one.
    grapheme = next(g for gs in table.values() for g in gs if len(g) > 1)
    watched = {"word": word, "phone": phone, "table": table, "table['a']": a_list, "facade": s,
               "grapheme": grapheme, "_SONORITY": m._SONORITY, "_VOYELLES()": m._VOYELLES()}
    sys.path.insert(0, str(c.BENCH_DIR))
    import bench_complet

    sentences = bench_complet.sentences(m, bench_complet.pronouncer())
    # Each path's compiled tables keep their own references from its first call on.
    s.analyze(word, phone)
    s.analyser_complet(sentences[0])
    before = {k: sys.getrefcount(v) for k, v in watched.items()}

    run_phase(rows, "analyze", lambda i: s.analyze(*pairs[i % n]), args.calls, args.calls // 5)
    for _ in range(1000):
        s.analyze(word, phone)
        m._aligner(word, phone)
        m._syllabify_ipa(phone)

    too_long = "a" * 5000

    def errors(i):
        for fn, a in ((s.analyze, (too_long, too_long)), (s.analyze, (None, "a")), (m._aligner, (word, 5)),
                      (m._build_syllabes, (["a"], ["a"], [], [], 0, True))):
            try:
                fn(*a)
            except (ValueError, TypeError, IndexError):
                pass

    run_phase(rows, "error paths", errors, args.calls // 10, args.calls // 50)

    run_phase(rows, "analyser_complet", lambda i: s.analyser_complet(sentences[i % len(sentences)]),
              args.calls // 20, args.calls // 100)

    after = {k: sys.getrefcount(v) for k, v in watched.items()}
    changed = {k: (before[k], after[k]) for k in watched if before[k] != after[k]}
    for k, (b, a) in changed.items():
        print(f"  refcount of {k}: {b} -> {a}")
    rows.add_check("reference counts", "arguments and tables", "unchanged" if not changed else
                   f"{len(changed)} changed", "unchanged", not changed)
    rows.write()
    return 0 if c.all_ok(rows) else 1


if __name__ == "__main__":
    raise SystemExit(main())
