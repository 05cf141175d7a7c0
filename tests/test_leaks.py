"""Repeated calls of every hot operation, error paths included, leave the
reference counts of their arguments exactly as they were and keep no Python
object. Short runs here; bench/leaks.py makes a million calls of each and
watches the process's memory."""

from __future__ import annotations

import gc
import os
import sys

import pytest

from hot_calls import cases
from vantro_aligneur import vantro_aligneur as va

# The instrumented build runs much slower; its allocator also hides the block count.
CALLS = 2_000 if os.environ.get("VANTRO_UNDER_SANITIZER") else 20_000
CASES = cases(va)


def live():
    gc.collect()
    return sys.getallocatedblocks(), len(gc.get_objects())


@pytest.mark.parametrize("name, call, watched, cost", CASES, ids=[c[0] for c in CASES])
def test_repeated_calls_keep_nothing(name, call, watched, cost):
    n = max(200, CALLS // cost)
    for _ in range(100):  # caches filled on first use are not leaks
        call()
    blocks, objects = live()
    counts = [sys.getrefcount(w) for w in watched]
    for _ in range(n):
        call()
    blocks_after, objects_after = live()
    assert [sys.getrefcount(w) for w in watched] == counts
    # One object kept per call would show as n; allow for the interpreter's own caches.
    assert objects_after - objects < n // 20
    assert blocks_after - blocks < n // 20
