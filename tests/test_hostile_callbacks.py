"""Every entry point that walks the caller's containers or calls back into
Python, under callbacks that change what is being walked (see
hostile_callbacks.py). One property per group of entry points; each draws
the entry point, its hostile arguments and the plan of actions.

Each call returns or raises a Python exception; when the plan only calls
the library again or collects garbage, the result is the one a quiet call
gives. scripts/hostile_run.sh runs these with many more examples.
"""

from __future__ import annotations

import copy
import logging
import pickle
import subprocess
from unittest import mock

import pytest
from hypothesis import given
from hypothesis import strategies as st

from hostile_callbacks import (
    HInt, HSeq, HStr, Chaos, benign_plans, duck, hostile_settings, hostile_span, kinds, maybe, plans,
    still_works,
)
from vantro_aligneur import _chargeur
from vantro_aligneur import vantro_aligneur as va

CHOCOLAT = (["ʃ", "ɔ", "k", "ɔ", "l", "a"], ["ch", "o", "c", "o", "l", "at°"],
            [(0, 2), (2, 3), (3, 4), (4, 5), (5, 6), (6, 8)])


def run(entries, data, plan):
    """Draws an entry point, builds its arguments quietly, then calls it with the plan armed."""
    name = data.draw(st.sampled_from(sorted(entries)), label="entry")
    chaos = Chaos(plan)
    try:
        made = entries[name](chaos, data)
        call, quiet = made if isinstance(made, tuple) else (made, None)
        chaos.active = True
        try:
            result = call()
        except Exception:  # noqa: BLE001 - any Python exception is a sound outcome
            result = failed = object()
        else:
            failed = None
        chaos.finish()
        if quiet is not None and chaos.benign and failed is None:
            assert result == quiet(), name
    finally:
        chaos.finish()
    still_works()


def spans_for(chaos, data, spans):
    return chaos.watch([hostile_span(chaos, data.draw(kinds), a, b) for a, b in spans])


# ---- alignment ----------------------------------------------------------------------

def phonemise(chaos, data):
    ph, gr, plain = (list(x) for x in CHOCOLAT)
    spans = spans_for(chaos, data, plain)
    chaos.watch(ph, gr)
    return (lambda: va._phonemise_alignment(ph, gr, spans)), (lambda: va._phonemise_alignment(*CHOCOLAT))


def build_syllabes(chaos, data):
    syll, ph, gr = ["ʃɔ", "kɔ", "la"], list(CHOCOLAT[0]), list(CHOCOLAT[1])
    spans = spans_for(chaos, data, CHOCOLAT[2])
    ok = maybe(chaos, data.draw(kinds), True)
    chaos.watch(syll, ph, gr)
    return (lambda: va._build_syllabes(syll, ph, gr, spans, 4, ok),
            lambda: va._build_syllabes(["ʃɔ", "kɔ", "la"], *CHOCOLAT, 4, True))


def aligner(chaos, data):
    plain = data.draw(st.sampled_from([None, [], [4], [2, 4, 6]]))
    bounds = None if plain is None else chaos.watch([maybe(chaos, data.draw(kinds), b) for b in plain])
    return lambda: va._aligner("chocolat", "ʃɔkɔla", bounds), lambda: va._aligner("chocolat", "ʃɔkɔla", plain)


def alignement_v2(chaos, data):
    plain = _chargeur.phone_to_graphemes()
    table = {}
    for key, graphemes in plain.items():
        k = data.draw(kinds) if key in "ʃɔkla" else 0
        table[HStr(chaos, key) if k == 1 else key] = HSeq(chaos, graphemes) if k == 2 else list(graphemes)
    chaos.watch(table)
    chaos.targets.extend(v for v in table.values() if isinstance(v, list) and v)
    return (lambda: va._alignement_v2("chocolat", "ʃɔkɔla", table),
            lambda: va._alignement_v2("chocolat", "ʃɔkɔla", plain))


ALIGNMENT = {"phonemise": phonemise, "build_syllabes": build_syllabes, "aligner": aligner,
             "alignement_v2": alignement_v2}


@hostile_settings()
@given(data=st.data(), plan=plans)
def test_alignment_entry_points_survive_their_callbacks(data, plan):
    run(ALIGNMENT, data, plan)


@hostile_settings()
@given(data=st.data(), plan=benign_plans)
def test_alignment_results_do_not_depend_on_nested_calls(data, plan):
    run(ALIGNMENT, data, plan)


# ---- records and their renderings ------------------------------------------------------------

def token(chaos, data, text, span):
    t = data.draw(st.integers(0, 2))
    if t == 0:
        return va.JetonTexte(text, span)
    s = hostile_span(chaos, data.draw(kinds), *span)
    return duck(chaos, text=maybe(chaos, data.draw(kinds), text), span=s)


def word(chaos, data, text, span, phone, liaison="none"):
    w = va.MotAnalyse(token(chaos, data, text, span), phone, liaison)
    chaos.attrs.append((w, "token"))
    return w


def hostile_syllable(chaos, data, phone, ortho, span):
    if data.draw(st.booleans()):
        s = va.Syllabe(phone, ortho, hostile_span(chaos, data.draw(kinds), *span),
                       noyau=va.GroupePhonologique(chaos.watch([va.Phoneme(phone[-1], ortho[-1])])))
        chaos.attrs.append((s, "noyau"))
        return s
    group = duck(chaos, phone=maybe(chaos, data.draw(kinds), phone[-1]),
                 phonemes=chaos.watch([va.Phoneme(phone[-1], ortho[-1])]))
    return duck(chaos, phone=maybe(chaos, data.draw(kinds), phone), ortho=ortho,
                span=hostile_span(chaos, data.draw(kinds), *span), attaque=group, noyau=group, coda=group)


def analyse_result(chaos, data):
    syllabes = chaos.watch([hostile_syllable(chaos, data, p, o, s)
                            for p, o, s in [("ʃɔ", "cho", (0, 3)), ("kɔ", "co", (3, 5)), ("la", "lat", (5, 8))]])
    r = va.ResultatAnalyse("chocolat", "ʃɔkɔla", syllabes)
    chaos.attrs.append((r, "syllabes"))
    return r


def sentence_result(chaos, data):
    mots = chaos.watch([word(chaos, data, "les", (0, 3), "le", "Lz"), word(chaos, data, "amis", (4, 8), "ami")])
    syllabes = chaos.watch([hostile_syllable(chaos, data, "le", "le", (0, 2)),
                            hostile_syllable(chaos, data, "za", "sa", (2, 5)),
                            hostile_syllable(chaos, data, "mi", "mis", (5, 8))])
    groupe = va.GroupeLecture(mots, "lezami", hostile_span(chaos, data.draw(kinds), 0, 8), chaos.watch(["liaison"]))
    groupes = chaos.watch([va.ResultatGroupe(groupe, syllabes)])
    options = va.OptionsGroupes(ajouter_schwas_finaux=maybe(chaos, data.draw(kinds), False))
    r = va.ResultatSyllabation("les amis", groupes, options)
    chaos.attrs.extend([(groupe, "mots"), (r, "groupes"), (groupe, "jonctions")])
    return r


def renderings(chaos, data):
    r = data.draw(st.sampled_from([analyse_result, sentence_result]))(chaos, data)
    method = data.draw(st.sampled_from(["format_detail", "nb_syllabes", "repr", "eq"] + (
        ["format_simple"] if isinstance(r, va.ResultatAnalyse) else ["format_ligne1", "format_ligne2", "nb_groupes"])))
    if method == "repr":
        return lambda: repr(r)
    if method == "eq":
        return lambda: r == copy.copy(r)
    if method.startswith("nb_"):
        return lambda: getattr(r, method)
    return getattr(r, method)


def word_properties(chaos, data):
    w = word(chaos, data, "chat", (0, 4), "ʃa")
    g = va.GroupeLecture(chaos.watch([w, word(chaos, data, "noir", (5, 9), "nwaʁ")]))
    return data.draw(st.sampled_from([lambda: (w.text, w.span), lambda: g.text, lambda: repr(g), lambda: g == g]))


def state(chaos, data):
    r = va.Phoneme("a", "a")
    keys = [HStr(chaos, "x"), HStr(chaos, "ipa"), "y"]
    r.__dict__.update({k: HInt(chaos, i) for i, k in enumerate(keys[: data.draw(st.integers(0, 3))])})
    chaos.attrs.append((r, "__dict__"))
    chaos.watch(r.__dict__)
    return data.draw(st.sampled_from([
        lambda: r.__setstate__({HStr(chaos, "z"): 1, "ipa": "b"}),
        r.__getstate__,
        lambda: copy.deepcopy(r),
        lambda: pickle.loads(pickle.dumps(r)),
    ]))


def frozen_hash(chaos, data):
    classes = va._SonorityClasses(*(frozenset(HStr(chaos, c) for c in s) for s in ["pk", "mn", "l", "j", "ao"]))
    return lambda: (hash(classes), classes == copy.copy(classes))


def constructors(chaos, data):
    """Records made while the plan runs: defaults are allocated, so a collection may run."""
    def make():
        w = va.MotAnalyse(token=duck(chaos, text="chat", span=(0, 4)), **{HStr(chaos, "phone"): HStr(chaos, "ʃa")})
        g = va.GroupeLecture(chaos.watch([w, w]), HStr(chaos, "ʃaʃa"), (HInt(chaos, 0), HInt(chaos, 9)))
        s = va.Syllabe(HStr(chaos, "ʃa"), "chat", hostile_span(chaos, data.draw(kinds), 0, 4))
        r = va.ResultatSyllabation("chat chat", chaos.watch([va.ResultatGroupe(g, chaos.watch([s]))]))
        return repr(r), r == copy.copy(r), g.text, r.nb_syllabes
    return make


RECORDS = {"renderings": renderings, "word_properties": word_properties, "state": state,
           "frozen_hash": frozen_hash, "constructors": constructors}


@hostile_settings()
@given(data=st.data(), plan=plans)
def test_records_survive_their_callbacks(data, plan):
    run(RECORDS, data, plan)


# ---- reading groups ---------------------------------------------------------------------------

def sentence_words(chaos, data):
    words = [("les", (0, 3), "le", "Lz"), ("enfants", (4, 11), "ɑ̃fɑ̃", "none"), ("jouent", (12, 18), "ʒu", "none")]
    mots = []
    for text, span, phone, liaison in words:
        if data.draw(st.booleans()):
            mots.append(word(chaos, data, text, span, phone, liaison))
        else:
            mots.append(duck(chaos, text=maybe(chaos, data.draw(kinds), text),
                             span=hostile_span(chaos, data.draw(kinds), *span),
                             phone=maybe(chaos, data.draw(kinds), phone), liaison=liaison,
                             ponctuation_avant=maybe(chaos, data.draw(kinds), False),
                             elision_avant=maybe(chaos, data.draw(kinds), False),
                             est_formule=maybe(chaos, data.draw(kinds), False), pos=""))
    return chaos.watch(mots)


def reading(chaos, data):
    steps = [duck(chaos, ortho=maybe(chaos, data.draw(kinds), o), phone=maybe(chaos, data.draw(kinds), p),
                  span_source=hostile_span(chaos, data.draw(kinds), *s))
             for o, p, s in [("1", "œ̃", (0, 1)), ("2", "dø", (1, 2))]]
    events = chaos.watch(steps) if data.draw(st.booleans()) else HSeq(chaos, steps)
    return duck(chaos, events=events, display_fr=maybe(chaos, data.draw(kinds), "un deux"))


def options(chaos, data):
    return va.OptionsGroupes(*(maybe(chaos, data.draw(kinds), b) for b in (True, True, True, False,
                                                                           data.draw(st.booleans()))))


def construire(chaos, data):
    mots, opts = sentence_words(chaos, data), options(chaos, data)
    return lambda: va.construire_groupes(mots, opts)


def syllabifier(chaos, data):
    groupes = []
    for _ in range(data.draw(st.integers(1, 3))):
        mots = sentence_words(chaos, data)[: data.draw(st.integers(1, 3))]
        g = va.GroupeLecture(chaos.watch(mots), "lezɑ̃fɑ̃ʒu"[: 2 + 3 * len(mots)], (0, 18),
                             est_formule=maybe(chaos, data.draw(kinds), False))
        chaos.attrs.extend([(g, "mots"), (g, "lecture"), (g, "phone_groupe")])
        groupes.append(g)
    lectures = chaos.watch({0: reading(chaos, data)}) if data.draw(st.booleans()) else None
    return lambda: va.syllabifier_groupes(chaos.watch(groupes), lectures)


def complet(chaos, data):
    mots, opts = sentence_words(chaos, data), options(chaos, data)
    lectures = chaos.watch({1: reading(chaos, data)}) if data.draw(st.booleans()) else None
    syllabeur = va.VantroSyllabeur(phonemizer(chaos, data, None))
    chaos.attrs.append((syllabeur, "_phonemizer"))
    logged(chaos)
    return lambda: syllabeur.analyser_complet(mots, lectures, opts)


def g2p_reading(chaos, data):
    lecture = reading(chaos, data)
    fn = data.draw(st.sampled_from([va.lecture_depuis_g2p, va._valider_spans_formule, va._syllabes_depuis_lecture]))
    return lambda: fn(lecture)


GROUPS = {"construire": construire, "syllabifier": syllabifier, "complet": complet, "g2p_reading": g2p_reading}


@hostile_settings()
@given(data=st.data(), plan=plans)
def test_group_entry_points_survive_their_callbacks(data, plan):
    run(GROUPS, data, plan)


# ---- the module's tables ---------------------------------------------------------------------

def hostile_table(chaos, data):
    table = {}
    for key, graphemes in _chargeur.phone_to_graphemes().items():
        k = data.draw(kinds) if key in "ʃɔkla" else 0
        table[HStr(chaos, key) if k == 1 else key] = HSeq(chaos, graphemes) if k == 2 else list(graphemes)
    return chaos.watch(table)


def hostile_set(chaos, data, items):
    k = data.draw(kinds)
    if k == 0:
        return chaos.watch(set(items))
    if k == 1:
        return chaos.watch({HStr(chaos, i) for i in items})
    return HSeq(chaos, items) if k == 2 else chaos.watch(list(items))


def hostile_classes(chaos, data):
    real = va._SONORITY
    return duck(chaos, **{c: hostile_set(chaos, data, getattr(real, c)) for c in "ONLYV"})


def hostile_alphabet(chaos, data):
    pairs = [(s, duck(chaos, get=lambda name, e=e: e.get(name))) for s, e in _chargeur.alphabet_ipa().items()]
    pairs = chaos.watch(pairs)
    return duck(chaos, items=lambda: HSeq(chaos, pairs))


def passing_through(chaos, name):
    """The module's own producer of `name`, ticking before it gives the same table."""
    real = getattr(va, name)
    if not callable(real):
        return duck(chaos, **{c: getattr(real, c) for c in "ONLYV"})
    return lambda: (chaos.tick(), real())[1]


def tables(chaos, data):
    through = data.draw(st.sets(st.sampled_from(["_PHONE_TO_GRAPHEMES", "_VOYELLES", "_CONSONNES", "_SEMI_VOYELLES",
                                                 "_LETTRES_MUETTES_POSSIBLES", "_LIAISON_CONSONNES", "_SONORITY"])))
    for name in through:
        setattr(va, name, passing_through(chaos, name))
    rebound = data.draw(st.sets(st.sampled_from(["table", "voyelles", "muettes", "liaisons", "sonority",
                                                 "alphabet"])))
    made = {
        "table": ("_PHONE_TO_GRAPHEMES", lambda: hostile_table(chaos, data)),
        "voyelles": ("_VOYELLES", lambda: hostile_set(chaos, data, _chargeur.voyelles())),
        "muettes": ("_LETTRES_MUETTES_POSSIBLES", lambda: hostile_set(chaos, data, _chargeur.lettres_muettes_possibles())),
        "liaisons": ("_LIAISON_CONSONNES", lambda: chaos.watch(
            {HStr(chaos, k): v for k, v in _chargeur.liaison_consonnes().items()})),
        "sonority": ("_SONORITY", lambda: hostile_classes(chaos, data)),
        "alphabet": ("_ALPHABET_IPA", lambda: hostile_alphabet(chaos, data)),
    }
    for what in rebound:
        name, make = made[what]
        value = make()
        setattr(va, name, value if name == "_SONORITY" else (lambda v=value: v))
    classes = hostile_classes(chaos, data)
    call = data.draw(st.sampled_from([
        lambda: va.VantroSyllabeur().analyze("chocolat", "ʃɔkɔla"),
        lambda: va._aligner("chocolat", "ʃɔkɔla"),
        lambda: (va.est_voyelle("a"), va._syllabify_ipa("ʃɔkɔla")),
        lambda: va.construire_groupes([va.MotAnalyse(va.JetonTexte("les", (0, 3)), "le", "Lz"),
                                       va.MotAnalyse(va.JetonTexte("amis", (4, 8)), "ami")]),
        va._build_sonority_classes,
        lambda: va._class_of("a", classes),
        lambda: va._split_central_cluster(["p", "l"], classes),
        lambda: va.vue_lettres(va.VantroSyllabeur().analyze("chat", "ʃa", syllabes_ecrites=True)),
        lambda: va._alignement_v2("chocolat", "ʃɔkɔla", _chargeur.phone_to_graphemes()),
        lambda: va.syllabifier_groupes([va.GroupeLecture([va.MotAnalyse(va.JetonTexte("chocolat", (0, 8)), "ʃɔkɔla")],
                                                         "ʃɔkɔla", (0, 8))]),
    ]))
    # Every table holds the module's own data: a quiet call gives the same result.
    return call, call


DATA = {"tables": tables}


@hostile_settings()
@given(data=st.data(), plan=plans)
def test_table_producers_survive_their_callbacks(data, plan):
    run(DATA, data, plan)


@hostile_settings()
@given(data=st.data(), plan=benign_plans)
def test_tables_in_use_are_not_changed_by_nested_calls(data, plan):
    run(DATA, data, plan)


# ---- the facade and its phonemizers ----------------------------------------------------------

def logged(chaos):
    """A logging handler on the module logger that ticks."""

    class Handler(logging.Handler):
        def emit(self, record):
            chaos.tick()

    handler, level = Handler(), va.logger.level
    va.logger.addHandler(handler)
    va.logger.setLevel(logging.DEBUG)
    chaos.cleanups.append(lambda: (va.logger.removeHandler(handler), va.logger.setLevel(level)))


def phonemizer(chaos, data, syllabeur_box):
    answer = maybe(chaos, data.draw(st.integers(0, 1)), "ʃɔkɔla")
    if data.draw(st.booleans()):
        return duck(chaos, phonemize=lambda word: (chaos.tick(), answer)[1])
    return duck(chaos, predict=lambda word: (chaos.tick(), answer)[1])


def facade(chaos, data):
    syllabeur = va.VantroSyllabeur(phonemizer(chaos, data, None))
    chaos.attrs.append((syllabeur, "_phonemizer"))
    logged(chaos)
    written = maybe(chaos, data.draw(kinds), data.draw(st.booleans()))
    return data.draw(st.sampled_from([
        lambda: syllabeur.analyze("chocolat", syllabes_ecrites=written),
        lambda: syllabeur.analyze_text("le chocolat"),
        lambda: syllabeur.syllabify_ipa("ʃɔkɔla"),
    ]))


def own_analyze(chaos, data):
    class Syllabeur(va.VantroSyllabeur):
        def analyze(self, word, phone=None, **kwargs):
            chaos.tick()
            return super().analyze(word, "ʃɔkɔla", **kwargs)

    syllabeur = Syllabeur()
    return lambda: syllabeur.analyze_text("chocolat chocolat")


def availability(chaos, data):
    p = va.EspeakPhonemizer()
    chaos.attrs.extend([(p, "_available"), (p, "_lang")])
    logged(chaos)
    effect = data.draw(st.sampled_from([FileNotFoundError(), subprocess.TimeoutExpired("espeak-ng", 5)]))

    def run_fails(*args, **kwargs):
        chaos.tick()
        raise effect

    patch = mock.patch.object(subprocess, "run", side_effect=run_fails)
    patch.start()
    chaos.cleanups.append(patch.stop)
    return lambda: (p.is_available(), p.is_available())


def text_reader(chaos, data):
    try:
        va.EspeakLibPhonemizer()
    except RuntimeError:
        return lambda: None
    # A subclass of the program phonemizer is asked whether it is the library's
    # first, which reads its __class__.
    base = data.draw(st.sampled_from([va.EspeakLibPhonemizer, va.EspeakPhonemizer]))

    class Reader(base):
        @property
        def _lang(self):
            chaos.tick()
            return "fr"

        @property
        def __class__(self):
            chaos.tick()
            return base

    syllabeur = va.VantroSyllabeur(Reader())
    chaos.attrs.append((syllabeur, "_phonemizer"))
    return lambda: syllabeur.analyser_texte("Les enfants jouent.")


FACADE = {"facade": facade, "own_analyze": own_analyze, "availability": availability, "text_reader": text_reader}


@hostile_settings()
@given(data=st.data(), plan=plans)
def test_facade_survives_its_callbacks(data, plan):
    run(FACADE, data, plan)


# ---- the letter view ---------------------------------------------------------------------------

def view(chaos, data):
    r = data.draw(st.sampled_from([analyse_result, sentence_result]))(chaos, data)
    mode = data.draw(st.sampled_from(["orales", "ecrites"]))
    colours = data.draw(st.sampled_from([None, "list", "seq"]))
    html_colours = {None: None, "list": chaos.watch(["#000", "#111"]), "seq": HSeq(chaos, ["#000", "#111"])}[colours]
    return data.draw(st.sampled_from([
        lambda: va.vue_lettres(r, mode),
        lambda: va.vers_json(r, mode),
        lambda: va.vers_html(r, mode, couleurs=html_colours) if html_colours else va.vers_html(r, mode),
        lambda: va.vers_ansi(r, mode),
    ]))


VIEW = {"view": view}


@hostile_settings()
@given(data=st.data(), plan=plans)
def test_view_survives_its_callbacks(data, plan):
    run(VIEW, data, plan)


# ---- the helpers themselves --------------------------------------------------------------------

@pytest.mark.parametrize("plan, expected", [
    (({}, "clear"), []),
    ({1: ("clear", 0)}, []),
    ({1: ("grow", 0)}, [1, 2, 1]),
    ({1: ("shrink", 1)}, [1]),
    ({2: ("clear", 0)}, [1, 2]),  # the plan fires at its tick only
])
def test_chaos_changes_the_watched_container_at_its_tick(plan, expected):
    chaos = Chaos(plan)
    target = chaos.watch([1, 2])
    chaos.active = True
    chaos.tick()
    assert target == expected
    chaos.finish()


def test_chaos_is_quiet_once_finished_and_restores_tables():
    chaos = Chaos({1: ("retable", 0), 2: ("raise", 0)})
    chaos.active = True
    chaos.tick()
    assert va._PHONE_TO_GRAPHEMES is not _chargeur.phone_to_graphemes
    chaos.finish()
    chaos.tick()  # no Boom: finished
    assert va._PHONE_TO_GRAPHEMES is _chargeur.phone_to_graphemes
