#!/usr/bin/env python3
"""A million calls of every hot operation (tests/hot_calls.py), error paths
included: the process's resident memory stays flat and the arguments keep
their reference counts. bench/memory.py follows the word analysis over the
corpus; this covers each operation on its own.

    PYTHONPATH=<site> python3 bench/leaks.py [--calls N] [--only NAME] [--json FILE]
"""

from __future__ import annotations

import gc
import sys
import time

import _common as c

sys.path.insert(0, str(c.ROOT / "tests"))
from hot_calls import cases  # noqa: E402

# Allocator noise: the heap may settle by a few pages over a long run.
GROWTH_TARGET_KB = 1024


def main() -> int:
    ap = c.parser(__doc__.splitlines()[0])
    ap.add_argument("--calls", type=int, default=1_000_000, help="calls of each operation (divided by its cost)")
    ap.add_argument("--only", help="run only the cases whose name contains this")
    args = ap.parse_args()
    if args.quick:
        args.calls = 50_000
    m = c.import_module()
    rows = c.Rows(args.json)
    failed = 0
    for name, call, watched, cost in cases(m):
        if args.only and args.only not in name:
            continue
        n = max(1000, args.calls // cost)
        for _ in range(max(100, n // 10)):  # caches and allocator pools fill first
            call()
        gc.collect()
        counts = [sys.getrefcount(w) for w in watched]
        rss0 = c.rss_kb()
        t0 = time.perf_counter()
        for _ in range(n):
            call()
        elapsed = time.perf_counter() - t0
        gc.collect()
        rss1 = c.rss_kb()
        after = [sys.getrefcount(w) for w in watched]
        moved = [(b, a) for b, a in zip(counts, after) if a != b]
        ok = rss1 - rss0 <= GROWTH_TARGET_KB and not moved
        failed += not ok
        print(f"  {name:32s} {n:>9,} calls {elapsed:7.1f} s  RSS {rss0:>7} -> {rss1:>7} kB"
              f"{'  refcounts ' + str(moved) if moved else ''}{'' if ok else '  FAIL'}", flush=True)
        rows.add(f"leaks: {name}", f"RSS growth kB over {n:,} calls", rss1 - rss0, GROWTH_TARGET_KB, unit_fmt="{:.0f}")
        rows.add_check(f"leaks: {name}", "argument reference counts", "unchanged" if not moved else str(moved),
                       "unchanged", not moved)
    rows.write()
    return 1 if failed else 0


if __name__ == "__main__":
    raise SystemExit(main())
