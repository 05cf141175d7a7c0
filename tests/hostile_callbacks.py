"""Objects whose Python hooks fight back while the library walks them.

Every hook (__index__, __bool__, __hash__, __eq__, __iter__, __len__, a
property, __del__, a logging handler, a phonemizer) calls Chaos.tick(). A
plan drawn by hypothesis says at which ticks an action runs: clear, grow,
shrink or rebind one of the containers being walked, delete an attribute,
collect garbage, call the library again from inside the call, rebind a
module table, or raise. The call under test must then return or raise a
Python exception, and the interpreter must still analyse a word afterwards.
"""

from __future__ import annotations

import gc
import os

from hypothesis import HealthCheck, Phase, settings
from hypothesis import strategies as st

from hostile import Boom
from vantro_aligneur import _chargeur
from vantro_aligneur import vantro_aligneur as va

UNDER_SANITIZER = bool(os.environ.get("VANTRO_UNDER_SANITIZER"))
# scripts/hostile_run.sh raises this to hundreds of thousands.
EXAMPLES = int(os.environ.get("VANTRO_HOSTILE_EXAMPLES", "40"))


def hostile_settings():
    n = max(10, EXAMPLES // 4) if UNDER_SANITIZER and "VANTRO_HOSTILE_EXAMPLES" not in os.environ else EXAMPLES
    return settings(max_examples=n, deadline=None, database=None,
                    phases=[Phase.explicit, Phase.generate, Phase.shrink],
                    suppress_health_check=list(HealthCheck))


# ---- module tables the actions may rebind (always restored) ----------------------------

TABLE_GLOBALS = ["_PHONE_TO_GRAPHEMES", "_VOYELLES", "_CONSONNES", "_SEMI_VOYELLES", "_LETTRES_MUETTES_POSSIBLES",
                 "_LIAISON_CONSONNES", "_SONORITY", "_ALPHABET_IPA", "logger", "construire_groupes",
                 "syllabifier_groupes"]
SAVED = {name: getattr(va, name) for name in TABLE_GLOBALS}
OTHER_TABLE = {"a": ["a"], "b": ["b"], "k": ["c"]}  # cannot spell "chocolat"
OTHER_TABLES = [
    ("_PHONE_TO_GRAPHEMES", lambda: OTHER_TABLE),
    ("_VOYELLES", lambda: {"a", "ɔ"}),
    ("_LETTRES_MUETTES_POSSIBLES", lambda: {"t"}),
    ("_LIAISON_CONSONNES", lambda: {}),
    ("_SONORITY", va._SonorityClasses(O={"k", "b", "ʃ"}, N=set(), L={"l"}, Y=set(), V={"a", "ɔ"})),
    ("_SEMI_VOYELLES", lambda: set()),
]


def restore_tables():
    for name, value in SAVED.items():
        setattr(va, name, value)


def still_works():
    r = va.VantroSyllabeur().analyze("chocolat", "ʃɔkɔla")
    assert [s.phone for s in r.syllabes] == ["ʃɔ", "kɔ", "la"], r


def with_other_tables(call):
    """`call` with every module table rebound to other data, then the tables as they were."""
    saved = {name: getattr(va, name) for name, _ in OTHER_TABLES}
    try:
        for name, value in OTHER_TABLES:
            setattr(va, name, value)
        return call()
    finally:
        for name, value in saved.items():
            setattr(va, name, value)


def _quietly(call):
    try:
        call()
    except Exception:  # noqa: BLE001 - the nested call may meet the same hostile data
        pass


def _other_tables_call():
    return with_other_tables(lambda: (va._aligner("abc", "abk"), va.VantroSyllabeur().analyze("abc", "abk"),
                                      va.construire_groupes([va.MotAnalyse(va.JetonTexte("ab", (0, 2)), "ab")]),
                                      va._alignement_v2("abc", "abk", OTHER_TABLE)))


# Calls into the library from inside a call: the same functions, other data
# (every other one compiles other tables).
REENTRANT = [
    _other_tables_call,
    lambda: va.VantroSyllabeur().analyze("chocolat", "ʃɔkɔla"),
    lambda: va._aligner("chocolat", "ʃɔkɔla"),
    lambda: va._alignement_v2("ab", "ab", OTHER_TABLE),
    lambda: va.construire_groupes([va.MotAnalyse(va.JetonTexte("les", (0, 3)), "le", "Lz"),
                                   va.MotAnalyse(va.JetonTexte("amis", (4, 8)), "ami")]),
    lambda: va.syllabifier_groupes([va.GroupeLecture([va.MotAnalyse(va.JetonTexte("la", (0, 2)), "la")], "la",
                                                     (0, 2))]),
    lambda: va.vue_lettres(va.VantroSyllabeur().analyze("chat", "ʃa")),
    lambda: (_chargeur.voyelles(), _chargeur.phone_to_graphemes(), _chargeur.lettres_muettes_possibles()),
    lambda: va._syllabify_ipa("ʃɔkɔla"),
    _other_tables_call,
]

ACTIONS = ["clear", "grow", "shrink", "rebind", "del_attr", "collect", "reenter", "retable", "raise"]
BENIGN = {"collect", "reenter"}  # they change nothing the outer call reads

# A plan: actions at given ticks (mostly early ones, where the walks start),
# and maybe one action that runs at every tick.
ticks = st.one_of(st.integers(1, 4), st.integers(1, 40))
STICKY = ["clear", "shrink", "rebind", "del_attr", "collect", "raise"]
plans = st.tuples(st.dictionaries(ticks, st.tuples(st.sampled_from(ACTIONS), st.integers(0, 63)), max_size=5),
                  st.one_of(st.none(), st.none(), st.sampled_from(STICKY)))
benign_plans = st.tuples(st.dictionaries(ticks, st.tuples(st.sampled_from(sorted(BENIGN)), st.integers(0, 63)),
                                         max_size=4),
                         st.sampled_from([None, "collect", "reenter"]))


class Chaos:
    """Runs the plan's actions as the hooks tick."""

    def __init__(self, plan):
        steps, self.sticky = plan if isinstance(plan, tuple) else (plan, None)
        self.plan = dict(steps)
        self.benign = all(action in BENIGN for action, _ in self.plan.values()) and self.sticky in (None, *BENIGN)
        self.ticks = 0
        self.active = False  # off while the objects are built
        self.depth = 0
        self.dying = 0
        self.targets = []  # containers the actions change
        self.current = None  # the container of the object whose hook ran last
        self.attrs = []    # (object, attribute) the actions delete
        self.cleanups = []

    def tick(self, owner=None):
        if not self.active:
            return
        if owner is not None:
            self.current = owner
        self.ticks += 1
        step = self.plan.pop(self.ticks, None)
        if step is None and self.sticky and not self.depth:
            # A sticky call into the library compiles other tables each time.
            step = (self.sticky, {"collect": self.ticks * 2, "reenter": 0}.get(self.sticky, self.ticks))
        if step is None or self.depth > 2:
            return
        self.depth += 1
        try:
            getattr(self, "_" + step[0])(step[1])
        finally:
            self.depth -= 1

    def watch(self, *containers):
        """Lets the actions change `containers`; their hooked items (and the
        hooked tokens and pairs they hold) name them as their owner, so that an
        action can hit the very container whose item is being read."""
        self.targets.extend(containers)
        for container in containers:
            items = container.values() if isinstance(container, dict) else container
            for item in list(items):
                inner = item if isinstance(item, tuple) else (item, getattr(item, "token", None))
                for obj in inner:
                    if isinstance(obj, (Hooked, HStr)):
                        obj.owner = container
        return containers[0] if len(containers) == 1 else containers

    def finish(self):
        self.active = False
        cleanups, self.cleanups = self.cleanups, []
        for cleanup in reversed(cleanups):
            cleanup()
        restore_tables()
        self.targets.clear()
        self.attrs.clear()

    # ---- actions
    def _target(self, k):
        if k % 4 != 3 and self.current is not None:
            return self.current
        return self.targets[k // 4 % len(self.targets)] if self.targets else None

    def _clear(self, k):
        t = self._target(k)
        if t is not None:
            t.clear()

    def _grow(self, k):
        t = self._target(k)
        if isinstance(t, list):
            t.extend(t[: k % 3 + 1] or [object()])
        elif isinstance(t, dict):
            t[len(t) + 1000 + k] = next(iter(t.values()), None)
        elif isinstance(t, set):
            t.add(f"z{k}")

    def _shrink(self, k):
        t = self._target(k)
        if isinstance(t, list):
            del t[k % (len(t) + 1):]
        elif isinstance(t, (dict, set)) and t:
            t.pop() if isinstance(t, set) else t.pop(next(iter(t)))

    def _rebind(self, k):
        t = self._target(k)
        if isinstance(t, list) and t:
            t[k % len(t)] = t[-1] if k % 2 else object()
        elif isinstance(t, dict) and t:
            t[next(iter(t))] = t[list(t)[-1]] if k % 2 else object()

    def _del_attr(self, k):
        if not self.attrs:
            return
        obj, name = self.attrs[k % len(self.attrs)]
        try:
            if name == "__dict__":
                obj.__dict__ = {}
            else:
                delattr(obj, name)
        except (AttributeError, TypeError):
            pass

    def _collect(self, k):
        gc.collect(0 if k % 2 == 0 else k % 3)

    def _reenter(self, k):
        _quietly(REENTRANT[k % len(REENTRANT)])

    def _retable(self, k):
        name, value = OTHER_TABLES[k % len(OTHER_TABLES)]
        setattr(va, name, value)

    def _raise(self, k):
        if not self.dying:  # a finalizer's exception would only be printed
            raise Boom(k)


# ---- hooked objects ----------------------------------------------------------------------

class Hooked:
    """Ticks when it dies: releasing it runs the caller's code."""

    owner = None

    def __init__(self, chaos):
        self._chaos = chaos

    def tick(self):
        self._chaos.tick(self.owner)

    def __del__(self):
        chaos = self.__dict__.get("_chaos")
        # A collection may have cleared the Chaos first (they form cycles).
        if chaos is None or "dying" not in vars(chaos):
            return
        chaos.dying += 1
        try:
            chaos.tick()
        except Exception:  # noqa: BLE001 - a finalizer cannot raise
            pass
        finally:
            chaos.dying -= 1


class HInt(Hooked):
    def __init__(self, chaos, value):
        super().__init__(chaos)
        self.value = value

    def __index__(self):
        self.tick()
        return self.value

    __int__ = __index__

    # Compared and shown as the bounds of a span are in the checks and their messages.
    def _compare(op):
        def compare(self, other):
            self.tick()
            return op(self.value, other.value if isinstance(other, HInt) else other)
        return compare

    __lt__, __le__ = _compare(int.__lt__), _compare(int.__le__)
    __gt__, __ge__ = _compare(int.__gt__), _compare(int.__ge__)
    __eq__ = _compare(lambda a, b: a == b)
    __hash__ = Hooked.__hash__

    def __str__(self):
        self.tick()
        return str(self.value)

    __repr__ = __format__ = lambda self, *_: self.__str__()


class HBool(Hooked):
    def __init__(self, chaos, value):
        super().__init__(chaos)
        self.value = value

    def __bool__(self):
        self.tick()
        return self.value


class HSeq(Hooked):
    """An iterable (not a list): iter, len and indexing tick."""

    def __init__(self, chaos, items):
        super().__init__(chaos)
        self.items = list(items)

    def __iter__(self):
        self.tick()
        return iter(list(self.items))

    def __len__(self):
        self.tick()
        return len(self.items)

    def __getitem__(self, i):
        self.tick()
        return self.items[i]


class HStr(str):
    """A str whose hashing and comparisons tick."""

    owner = None

    def __new__(cls, chaos, text):
        s = super().__new__(cls, text)
        s.chaos = chaos
        return s

    def __hash__(self):
        self.chaos.tick(self.owner)
        return str.__hash__(self)

    def __eq__(self, other):
        self.chaos.tick(self.owner)
        return str.__eq__(self, other)

    def __ne__(self, other):
        return not self == other

    def __repr__(self):
        self.chaos.tick(self.owner)
        return str.__repr__(self)


def _getter(name):
    def get(self):
        self.tick()
        return self._values[name]
    return property(get)


_DUCK_TYPES = {}


def duck(chaos, **values):
    """An object whose attributes are properties that tick, then give `values`."""
    names = tuple(sorted(values))
    cls = _DUCK_TYPES.get(names)
    if cls is None:
        cls = _DUCK_TYPES[names] = type("Duck", (Hooked,), {name: _getter(name) for name in names})
    obj = cls(chaos)
    obj._values = dict(values)
    return obj


def hostile_span(chaos, kind, start, end):
    """(start, end) as a plain tuple, a tuple of ticking ints, a list of them
    (which the actions may empty), or a ticking iterable."""
    if kind == 0:
        return (start, end)
    if kind == 1:
        return (HInt(chaos, start), HInt(chaos, end))
    if kind == 2:
        return chaos.watch([HInt(chaos, start), HInt(chaos, end)])
    return HSeq(chaos, [HInt(chaos, start), end])


def maybe(chaos, kind, value):
    """`value` as it is, or behind a ticking wrapper of its type."""
    if kind == 0 or value is None:
        return value
    if isinstance(value, bool):
        return HBool(chaos, value)
    if isinstance(value, int):
        return HInt(chaos, value)
    if isinstance(value, str):
        return HStr(chaos, value)
    if isinstance(value, list):
        return chaos.watch(value) if kind == 1 else HSeq(chaos, value)
    return value


kinds = st.integers(0, 3)
