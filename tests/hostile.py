"""Hypothesis strategies for the robustness tests: hostile text, objects of
every kind, duck-typed tokens and readings whose attributes are missing or
raise, and (word, IPA) pairs that the phoneme table can spell."""

from __future__ import annotations


from hypothesis import strategies as st
from project_data import WORDLIST, read_words

from vantro_aligneur import _chargeur

MARKERS = "°²"
IGNORED = "- '’_"


def _alignment_limit() -> float:
    """Longest written form or pronunciation the search accepts (as its refusal says)."""
    import re

    from vantro_aligneur import vantro_aligneur as va
    try:
        va._aligner("", "a" * 200_000)
    except ValueError as exc:
        found = re.search(r"\d+", str(exc))
        if found:
            return int(found.group())
    return float("inf")


ALIGNMENT_LIMIT = _alignment_limit()


class Boom(Exception):
    """Raised by hostile objects: must come back to the caller unchanged."""


def _boom(*_args, **_kwargs):
    raise Boom()


class Hostile:
    """Every protocol it might be asked for raises, but repr (kept for reports)."""

    __eq__ = __ne__ = __lt__ = __gt__ = __le__ = __ge__ = _boom
    __hash__ = __bool__ = __len__ = __iter__ = __index__ = __int__ = _boom
    __str__ = __format__ = __getitem__ = _boom

    def __repr__(self):
        return "Hostile()"

    def __getattr__(self, name):
        raise Boom(name)


class Str(str):
    """A str subclass: accepted wherever a str is."""


# ---- text ---------------------------------------------------------------------------

IPA_SYMBOLS = sorted(_chargeur.alphabet_ipa())
COMBINING = [chr(c) for c in range(0x300, 0x370)] + ["\u0903", "\u20dd"]  # Mn (tie bar included), Mc, Me
IPA_EXTRA = ["ˈ", "ˌ", "ː", ".", " ", "‿", "-", "ə", "tʃ", "dʒ", "ts", "ɡz", "ɑ̃", "ɛ̃", "s", "ʁ", "l", "j"]
FRENCH_LETTERS = "abcdefghijklmnopqrstuvwxyzàâäçéèêëîïôöùûüÿœæABCDEÉÈÀÇŒ"

any_char = st.one_of(
    st.characters(),                                           # everything but surrogates
    st.characters(categories=["Cs"]),                          # lone surrogates
    st.characters(categories=["Cc", "Cf", "Zs", "Zl", "Zp"]),  # controls, format, spaces
    st.characters(min_codepoint=0x10000),                      # beyond the BMP
    st.sampled_from(COMBINING),
)
ipa_symbol = st.one_of(st.sampled_from(IPA_SYMBOLS), st.sampled_from(IPA_EXTRA), st.sampled_from(COMBINING))
ipa_piece = st.one_of(ipa_symbol, ipa_symbol, any_char)
ortho_piece = st.one_of(st.sampled_from(FRENCH_LETTERS), st.sampled_from(IGNORED + MARKERS), any_char)


def joined(piece, max_size):
    return st.lists(piece, max_size=max_size).map("".join)


ipa_text = joined(ipa_symbol, 24)
ortho_text = joined(st.sampled_from(FRENCH_LETTERS + IGNORED), 20)


def huge(piece, low=200, high=800):
    """Some thousands of code points: a short text repeated."""
    return st.builds(lambda s, n: s * n, joined(piece, 8).filter(bool), st.integers(low, high))


texts = st.one_of(
    st.just(""),
    joined(any_char, 30),
    joined(ipa_piece, 30),
    joined(ortho_piece, 30),
    st.builds(lambda m, t: m + t, joined(st.sampled_from(COMBINING), 3).filter(bool), joined(ipa_piece, 12)),
    huge(ipa_piece),
    st.builds(Str, joined(ipa_piece, 10)),
)
ipa_texts = st.one_of(ipa_text, texts)
ortho_texts = st.one_of(ortho_text, texts)

# ---- objects of the wrong kind ----------------------------------------------------

INT64_EDGES = [2**63 - 1, -(2**63), 2**63, 2**64, -(2**64) - 1, 2**62, -(2**62)]
big_ints = st.one_of(st.integers(-(2**70), 2**70), st.sampled_from(INT64_EDGES))
ints = st.one_of(st.integers(-20, 40), big_ints)
objects = st.one_of(
    st.none(), st.booleans(), ints, st.floats(allow_nan=True), st.binary(max_size=6),
    st.lists(st.integers(), max_size=3), st.tuples(ints, ints), st.dictionaries(st.text(max_size=2), ints, max_size=2),
    st.frozensets(st.text(max_size=2), max_size=2), st.builds(object), st.builds(Hostile), st.just(str),
    st.just(Ellipsis), st.builds(bytearray, st.binary(max_size=4)),
)
not_str = objects
not_list = st.one_of(objects.filter(lambda o: not isinstance(o, list)), st.text(max_size=3),
                     st.lists(st.text(max_size=3), max_size=3).map(tuple))
not_dict = st.one_of(objects.filter(lambda o: not isinstance(o, dict)), st.text(max_size=3))
small_spans = st.tuples(st.integers(0, 30), st.integers(0, 30))
spans = st.one_of(small_spans, st.tuples(ints, ints))
hostile_spans = st.one_of(spans, objects, st.lists(ints, max_size=3), st.tuples(ints, ints, ints),
                          st.tuples(st.text(max_size=2), st.text(max_size=2)))

# ---- duck-typed callers' objects, built twice from one recipe ---------------------------
#
# A recipe describes an object; build() makes a fresh one each time, so the
# object under test and the reference model never share an iterator.

ABSENT = "absent"     # the attribute does not exist
MISSING = "missing"   # reading it raises AttributeError: counts as absent
RAISES = "raises"     # reading it raises Boom: must come back unchanged


def _raiser(exc_type, name):
    def get(self):
        raise exc_type(name)
    return property(get)


def build(recipe):
    """recipe: ("duck", {name: (kind, value)}), ("list"/"tuple"/"iter", [recipes]) or ("value", v)."""
    kind, body = recipe
    if kind == "value":
        return body
    if kind in ("list", "tuple", "iter"):
        items = [build(r) for r in body]
        return {"list": list, "tuple": tuple, "iter": iter}[kind](items)
    ns = {}
    for name, (how, value) in body.items():
        if how == MISSING:
            ns[name] = _raiser(AttributeError, name)
        elif how == RAISES:
            ns[name] = _raiser(Boom, name)
        elif how == "has":
            ns[name] = build(value)
    return type("Duck", (), ns)()


def value(v):
    return ("value", v)


def attribute(values):
    """How one attribute of a duck reads: absent, raising, or one of `values` (recipes)."""
    return st.one_of(st.sampled_from([(ABSENT, None), (MISSING, None), (RAISES, None)]),
                     values.map(lambda r: ("has", r)))


def ducks(**attributes):
    return st.fixed_dictionaries(attributes).map(lambda d: ("duck", d))


def sequences(items, max_size=4):
    return st.tuples(st.sampled_from(["list", "tuple", "iter"]), st.lists(items, max_size=max_size))


token_recipes = st.one_of(
    objects.map(value),
    ducks(text=attribute(st.one_of(ortho_text, st.none(), objects).map(value)),
          span=attribute(hostile_spans.map(value))),
)
good_token_recipes = st.one_of(
    st.none().map(value),
    ducks(text=st.one_of(st.sampled_from([(ABSENT, None), (MISSING, None)]),
                         ortho_text.map(lambda t: ("has", value(t)))),
          span=st.one_of(st.sampled_from([(ABSENT, None), (MISSING, None)]),
                         small_spans.map(lambda s: ("has", value(s))))),
)
step_recipes = ducks(ortho=attribute(st.one_of(ortho_text, objects).map(value)),
                     phone=attribute(st.one_of(ipa_text, objects).map(value)),
                     span_source=attribute(hostile_spans.map(value)))
g2p_recipes = ducks(events=attribute(st.one_of(sequences(step_recipes), objects.map(value))),
                    display_fr=attribute(st.one_of(texts, objects).map(value)))

# ---- (word, IPA) pairs that the table can spell --------------------------------------

_spellable = [
    (key, g) for key, graphemes in _chargeur.phone_to_graphemes().items() for g in graphemes
    if g and not any(m in g for m in MARKERS) and not any(c in IGNORED for c in g)
]
_single_token = [(k, g) for k, g in _spellable if len(k) == 1]


def spelled(max_pieces=4):
    """(word, phone): a word written piece by piece with table graphemes of single-token keys."""
    return st.lists(st.sampled_from(_single_token), min_size=1, max_size=max_pieces).map(
        lambda ps: ("".join(g for _, g in ps), "".join(k for k, _ in ps)))


def french_words(step=997):
    """Every `step`-th word of the system word list (a fixed handful without one)."""
    if WORDLIST.exists():
        return read_words()[::step]
    return ["chocolat", "homme", "pas", "grand-mère", "l'enfant", "taxi", "aujourd'hui", "oiseau"]
