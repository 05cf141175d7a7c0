"""Short results come from a cache of str objects: it must always give the right text.

Thousands of distinct short texts go through a cache of a few thousand
slots, so slots are taken over again and again; every text handed back must
still be exactly the one asked for, of every width (one-byte, two-byte and
four-byte code points, lone surrogates, code points around U+0300 where the
table of single letters ends).
"""

import random

import vantro_aligneur.vantro_aligneur as va

RANGES = [(0x20, 0x7E), (0xA0, 0x2FF), (0x250, 0x2AF), (0x2F0, 0x310), (0xD800, 0xDFFF), (0x1F300, 0x1F330)]


def random_texts(n, seed):
    rng = random.Random(seed)
    out = []
    for _ in range(n):
        lo, hi = rng.choice(RANGES)
        out.append("".join(chr(rng.randint(lo, hi)) for _ in range(rng.randint(1, 6))))
    return out


def test_every_cached_text_is_the_one_asked_for():
    texts = random_texts(20_000, seed=1)
    for _ in range(2):  # the second round meets texts already in the cache
        for t in texts:
            # A list of tokens comes back as new str made by the module.
            assert va._merge_compounds_ipa([t]) == [t]
            assert va._merge_compounds_ipa([t, "x"]) == [t, "x"]


def test_single_letters_around_the_table_bound():
    for cp in list(range(0, 0x320)) + [0xD800, 0xDFFF, 0x10FFFF]:
        t = chr(cp)
        assert va._merge_compounds_ipa([t]) == [t]
        assert va._merge_compounds_ipa([t])[0] == t
