"""Result records: dataclass behaviour, derived properties and text renderings.

Where the standard library can serve as an oracle, each record is checked
against a plain dataclass declared with the same fields.
"""
from __future__ import annotations

import copy
import dataclasses
import pickle
import types
import weakref

import pytest

from vantro_aligneur import vantro_aligneur as va

REQUIRED = object()


class Factory:
    def __init__(self, make):
        self.make = make


# The records' public interface: field names, order, annotations, defaults.
INTERFACE = {
    "Phoneme": [("ipa", "str", REQUIRED), ("grapheme", "str", "")],
    "GroupePhonologique": [("phonemes", "list[Phoneme]", Factory(list))],
    "Syllabe": [
        ("phone", "str", REQUIRED),
        ("ortho", "str", REQUIRED),
        ("span", "Span", REQUIRED),
        ("attaque", "GroupePhonologique", Factory(va.GroupePhonologique)),
        ("noyau", "GroupePhonologique", Factory(va.GroupePhonologique)),
        ("coda", "GroupePhonologique", Factory(va.GroupePhonologique)),
    ],
    "ResultatAnalyse": [
        ("mot", "str", REQUIRED),
        ("phone", "str", REQUIRED),
        ("syllabes", "list[Syllabe]", Factory(list)),
    ],
    "MotAnalyse": [
        ("token", "Any", None),
        ("phone", "str", ""),
        ("liaison", "str", "none"),
        ("pos", "str", ""),
        ("ponctuation_avant", "bool", False),
        ("elision_avant", "bool", False),
        ("est_formule", "bool", False),
    ],
    "EventFormule": [
        ("ortho", "str", REQUIRED),
        ("phone", "str", REQUIRED),
        ("span_source", "Span", (0, 0)),
        ("span_lecture", "Span", (0, 0)),
    ],
    "LectureFormule": [("display_fr", "str", REQUIRED), ("events", "list[EventFormule]", Factory(list))],
    "OptionsGroupes": [
        ("gerer_elisions", "bool", True),
        ("gerer_liaisons", "bool", True),
        ("gerer_enchainement", "bool", True),
        ("ajouter_schwas_finaux", "bool", False),
        ("syllabes_ecrites", "bool", False),
    ],
    "GroupeLecture": [
        ("mots", "list[MotAnalyse]", Factory(list)),
        ("phone_groupe", "str", ""),
        ("span", "Span", (0, 0)),
        ("jonctions", "list[str]", Factory(list)),
        ("est_formule", "bool", False),
        ("lecture", "Optional[LectureFormule]", None),
    ],
    "ResultatGroupe": [("groupe", "GroupeLecture", REQUIRED), ("syllabes", "list[Syllabe]", Factory(list))],
    "ResultatSyllabation": [
        ("texte_original", "str", REQUIRED),
        ("groupes", "list[ResultatGroupe]", Factory(list)),
        ("options", "OptionsGroupes", Factory(va.OptionsGroupes)),
    ],
    "_SonorityClasses": [(name, "set[str]", REQUIRED) for name in "ONLYV"],
}
FROZEN = {"_SonorityClasses"}
MUTABLE_NAMES = sorted(set(INTERFACE) - FROZEN)
ALL_NAMES = sorted(INTERFACE)


def reference(name):
    """A plain dataclass with the same interface, as the oracle."""
    spec = []
    for field, annotation, default in INTERFACE[name]:
        if default is REQUIRED:
            spec.append((field, annotation))
        elif isinstance(default, Factory):
            spec.append((field, annotation, dataclasses.field(default_factory=default.make)))
        else:
            spec.append((field, annotation, dataclasses.field(default=default)))
    return dataclasses.make_dataclass(name, spec, frozen=name in FROZEN)


def required_values(name):
    return [f"v{i}" for i, (_, _, d) in enumerate(INTERFACE[name]) if d is REQUIRED]


def exception_of(call):
    try:
        call()
    except Exception as exc:  # noqa: BLE001 - the oracle comparison needs any error
        return type(exc), str(exc)
    return None


# ------------------------------------------------------------------ metadata


@pytest.mark.parametrize("name", ALL_NAMES)
def test_dataclass_metadata_matches_a_plain_dataclass(name):
    ours, ref = getattr(va, name), reference(name)
    assert ours.__name__ == ours.__qualname__ == name
    assert ours.__module__ == "vantro_aligneur.vantro_aligneur"
    assert dataclasses.is_dataclass(ours)
    assert repr(dataclasses.fields(ours)) == repr(dataclasses.fields(ref))
    assert repr(ours.__dataclass_params__) == repr(ref.__dataclass_params__)
    assert ours.__match_args__ == ref.__match_args__
    assert ours.__annotations__ == ref.__annotations__
    if name == "EventFormule":
        assert ours.__doc__ == "Un cran de lecture pour une formule."
    else:
        assert ours.__doc__ == ref.__doc__


@pytest.mark.parametrize("name", ALL_NAMES)
def test_construction_and_repr_match_a_plain_dataclass(name):
    ours, ref = getattr(va, name), reference(name)
    args = required_values(name)
    assert repr(ours(*args)) == repr(ref(*args))
    keywords = {f: v for (f, _, _), v in zip(INTERFACE[name], args)}
    assert ours(**keywords) == ours(*args)
    full = [f"x{i}" for i in range(len(INTERFACE[name]))]
    assert repr(ours(*full)) == repr(ref(*full))
    assert dataclasses.astuple(ours(*full)) == tuple(full)


def bad_calls(name):
    n = len(INTERFACE[name])
    first = INTERFACE[name][0][0]
    return [
        ((), {}),
        (tuple(range(n + 1)), {}),
        (tuple(range(n + 2)), {"nope": 1}),
        ((), {"nope": 1}),
        ((1,), {first: 2}),
        ((), {1: 2}),
        ((), {"zzz": 1, first: 1}),
    ]


@pytest.mark.parametrize("name", ALL_NAMES)
def test_argument_errors_are_worded_like_a_dataclass_init(name):
    ours, ref = getattr(va, name), reference(name)
    for args, kwargs in bad_calls(name):
        expected = exception_of(lambda: ref(*args, **kwargs))
        assert exception_of(lambda: ours(*args, **kwargs)) == expected, (args, kwargs)
        # The same through an explicit __init__ call on an existing record.
        record = ours(*required_values(name))
        assert exception_of(lambda: ours.__init__(record, *args, **kwargs)) == expected


def test_argument_error_examples():
    cases = [
        (lambda: va.Phoneme(), "Phoneme.__init__() missing 1 required positional argument: 'ipa'"),
        (
            lambda: va.Phoneme("a", "b", "c"),
            "Phoneme.__init__() takes from 2 to 3 positional arguments but 4 were given",
        ),
        (lambda: va.Phoneme("a", x=1), "Phoneme.__init__() got an unexpected keyword argument 'x'"),
        (lambda: va.Phoneme("a", ipa="b"), "Phoneme.__init__() got multiple values for argument 'ipa'"),
        (
            lambda: va.Syllabe(),
            "Syllabe.__init__() missing 3 required positional arguments: 'phone', 'ortho', and 'span'",
        ),
        (
            lambda: va.ResultatAnalyse(),
            "ResultatAnalyse.__init__() missing 2 required positional arguments: 'mot' and 'phone'",
        ),
        (
            lambda: va._SonorityClasses(*"abcdef"),
            "_SonorityClasses.__init__() takes 6 positional arguments but 7 were given",
        ),
    ]
    for call, message in cases:
        with pytest.raises(TypeError) as info:
            call()
        assert str(info.value) == message


def test_init_called_again_reinitialises_with_fresh_defaults():
    s = va.Syllabe("pa", "pa", (0, 2))
    old = s.attaque
    s.__init__("ta", "ta", (2, 4))
    assert (s.phone, s.span) == ("ta", (2, 4))
    assert s.attaque is not old and s.attaque == va.GroupePhonologique()


def test_field_values_are_not_type_checked():
    p = va.Phoneme(1, grapheme=None)
    assert (p.ipa, p.grapheme) == (1, None)


# ------------------------------------------------------------------ defaults


@pytest.mark.parametrize(
    "name, fields",
    [
        ("GroupePhonologique", ["phonemes"]),
        ("Syllabe", ["attaque", "noyau", "coda"]),
        ("ResultatAnalyse", ["syllabes"]),
        ("LectureFormule", ["events"]),
        ("GroupeLecture", ["mots", "jonctions"]),
        ("ResultatGroupe", ["syllabes"]),
        ("ResultatSyllabation", ["groupes", "options"]),
    ],
)
def test_mutable_defaults_are_created_afresh(name, fields):
    cls = getattr(va, name)
    a, b = cls(*required_values(name)), cls(*required_values(name))
    values = [getattr(r, f) for r in (a, b) for f in fields]
    assert len({id(v) for v in values}) == len(values)


def test_appending_to_one_group_leaves_every_other_group_empty():
    s1, s2 = va.Syllabe("ʃa", "cha", (0, 3)), va.Syllabe("a", "a", (3, 4))
    s1.attaque.phonemes.append(va.Phoneme("ʃ", "ch"))
    assert s1.attaque.phone == "ʃ"
    assert [g.phonemes for g in (s1.noyau, s1.coda, s2.attaque, s2.noyau, s2.coda)] == [[]] * 5


def test_default_options_and_counts_of_a_bare_sentence_result():
    r = va.ResultatSyllabation("texte")
    assert (r.nb_groupes, r.nb_syllabes) == (0, 0)
    assert r.options == va.OptionsGroupes(True, True, True, False)
    assert r.options is not va.ResultatSyllabation("texte").options


def test_list_field_is_the_list_itself():
    phonemes = []
    g = va.GroupePhonologique(phonemes)
    assert g.phonemes is phonemes
    phonemes.append(va.Phoneme("a", "a"))
    assert g.phone == "a"


# ---------------------------------------------------- attributes and equality


def test_fields_can_be_assigned_and_deleted():
    p = va.Phoneme("a")
    p.grapheme = "à"
    assert p == va.Phoneme("a", "à")
    del p.grapheme
    with pytest.raises(AttributeError):
        p.grapheme
    with pytest.raises(AttributeError):
        repr(p)
    assert p.__getstate__() == {"ipa": "a"}
    p.extra = 1  # instances take arbitrary attributes, like a dataclass's
    assert vars(p) == {"extra": 1}


class MyPhoneme(va.Phoneme):
    pass


@pytest.mark.parametrize(
    "left, right, equal",
    [
        (va.Phoneme("a", "a"), va.Phoneme("a", "a"), True),
        (va.Phoneme("a", "a"), va.Phoneme("a", "à"), False),
        (va.Phoneme("a"), MyPhoneme("a"), False),
        (MyPhoneme("a"), MyPhoneme("a"), True),
        (va.Phoneme("a"), ("a", ""), False),
        (va.EventFormule("a", "b"), va.EventFormule("a", "b", (0, 0), (0, 0)), True),
        (va.GroupeLecture(), va.GroupeLecture(span=[0, 0]), False),
        (va.OptionsGroupes(), va.OptionsGroupes(1, 1, 1, 0), True),
        (va.Syllabe("a", "a", (0, 1)), va.Syllabe("a", "a", (0, 1), va.GroupePhonologique([va.Phoneme("x")])), False),
    ],
)
def test_equality_is_field_wise_within_one_class(left, right, equal):
    assert (left == right) is equal
    assert (left != right) is not equal


def test_eq_returns_notimplemented_for_other_classes():
    assert va.Phoneme("a").__eq__(MyPhoneme("a")) is NotImplemented
    assert va.Phoneme("a").__eq__("a") is NotImplemented
    assert va.Phoneme("a").__lt__(va.Phoneme("b")) is NotImplemented


def test_equality_compares_in_declaration_order_and_propagates_errors():
    class Boom:
        def __eq__(self, other):
            raise ValueError("boom")

    with pytest.raises(ValueError):
        va.Phoneme(Boom()) == va.Phoneme(Boom())
    # The first differing field decides; later fields are not compared.
    assert va.Phoneme("a", Boom()) != va.Phoneme("b", Boom())


@pytest.mark.parametrize("name", MUTABLE_NAMES)
def test_mutable_records_are_unhashable(name):
    record = getattr(va, name)(*required_values(name))
    assert getattr(va, name).__hash__ is None
    with pytest.raises(TypeError):
        hash(record)
    with pytest.raises(TypeError):
        {record}


def test_recursive_repr_matches_a_plain_dataclass():
    ours, ref = va.GroupePhonologique(), reference("GroupePhonologique")()
    ours.phonemes.append(ours)
    ref.phonemes.append(ref)
    assert repr(ours) == repr(ref) == "GroupePhonologique(phonemes=[...])"
    assert ours == ours


# ------------------------------------------------------------ frozen record


def sonority(**changes):
    values = dict(O={"p", "s"}, N={"n"}, L={"l", "s"}, Y={"j"}, V={"a"})
    values.update(changes)
    return va._SonorityClasses(**values)


@pytest.mark.parametrize(
    "action, message",
    [
        (lambda c: setattr(c, "O", set()), "cannot assign to field 'O'"),
        (lambda c: delattr(c, "V"), "cannot delete field 'V'"),
        (lambda c: setattr(c, "other", 1), "cannot assign to field 'other'"),
    ],
)
def test_sonority_classes_are_frozen(action, message):
    with pytest.raises(dataclasses.FrozenInstanceError) as info:
        action(sonority())
    assert str(info.value) == message


def test_sonority_classes_eq_hash_and_params():
    assert sonority() == sonority()
    assert sonority() != sonority(N=set())
    with pytest.raises(TypeError):  # sets are unhashable, as in the frozen dataclass
        hash(sonority())
    frozen = {k: frozenset(v) for k, v in dict(O="p", N="n", L="l", Y="j", V="a").items()}
    assert hash(va._SonorityClasses(**frozen)) == hash(tuple(frozen.values()))
    assert va._SonorityClasses.__dataclass_params__.frozen
    assert dataclasses.replace(sonority(), O={"t"}).O == {"t"}


def test_frozen_subclass_may_add_attributes():
    class Mine(va._SonorityClasses):
        pass

    c = Mine(*[set()] * 5)
    c.note = "ok"
    with pytest.raises(dataclasses.FrozenInstanceError):
        c.O = set()
    assert c.note == "ok"


# --------------------------------------------------- dataclasses functions


def sample_sentence():
    mot = va.MotAnalyse(types.SimpleNamespace(text="les", span=(0, 3)), "le", "Lz", "DET")
    groupe = va.GroupeLecture([mot], "le", (0, 3), ["liaison"])
    syllabe = va.Syllabe("le", "les", (0, 3), va.GroupePhonologique([va.Phoneme("l", "l")]))
    return va.ResultatSyllabation("les", [va.ResultatGroupe(groupe, [syllabe])])


def test_asdict_astuple_replace_fields():
    r = sample_sentence()
    d = dataclasses.asdict(r)
    assert d["groupes"][0]["syllabes"][0]["attaque"] == {"phonemes": [{"ipa": "l", "grapheme": "l"}]}
    assert d["options"] == {
        "gerer_elisions": True,
        "gerer_liaisons": True,
        "gerer_enchainement": True,
        "ajouter_schwas_finaux": False,
        "syllabes_ecrites": False,
    }
    assert dataclasses.astuple(va.Phoneme("a", "b")) == ("a", "b")
    replaced = dataclasses.replace(r, texte_original="autre")
    assert replaced.texte_original == "autre" and replaced.groupes is r.groupes
    assert [f.name for f in dataclasses.fields(r)] == ["texte_original", "groupes", "options"]
    assert dataclasses.is_dataclass(r)


def test_match_by_position_and_keyword():
    match va.Syllabe("pa", "pa", (0, 2)):
        case va.Syllabe(phone, ortho, (start, end), va.GroupePhonologique([])):
            assert (phone, ortho, start, end) == ("pa", "pa", 0, 2)
        case _:
            pytest.fail("no match")
    match va.MotAnalyse(phone="ɑ̃"):
        case va.MotAnalyse(None, phone, liaison="none"):
            assert phone == "ɑ̃"
        case _:
            pytest.fail("no match")


# ------------------------------------------------- copy, deepcopy, pickle


class Annotated(va.MotAnalyse):
    """A subclass with its own __init__ signature and instance attributes."""

    def __init__(self, note):
        super().__init__(phone="a")
        self.note = note


def cyclic_group():
    g = va.GroupePhonologique()
    g.phonemes.append(g)
    return g


@pytest.mark.parametrize("protocol", range(pickle.HIGHEST_PROTOCOL + 1))
def test_pickle_round_trips(protocol):
    for value in [sample_sentence(), sonority(), Annotated("n"), va.MotAnalyse(), va.EventFormule("1", "œ̃")]:
        back = pickle.loads(pickle.dumps(value, protocol))
        assert type(back) is type(value) and back == value and vars(back) == vars(value)
    g = pickle.loads(pickle.dumps(cyclic_group(), protocol))
    assert g.phonemes[0] is g


def test_copy_is_shallow_and_deepcopy_is_deep():
    r = sample_sentence()
    shallow, deep = copy.copy(r), copy.deepcopy(r)
    assert shallow == r == deep
    assert shallow.groupes is r.groupes
    assert deep.groupes is not r.groupes and deep.groupes[0].groupe.mots[0] is not r.groupes[0].groupe.mots[0]
    a = copy.deepcopy(Annotated("x"))
    assert (type(a), a.note, a.phone) == (Annotated, "x", "a")
    g = copy.deepcopy(cyclic_group())
    assert g.phonemes[0] is g
    assert copy.copy(sonority()) == sonority()


# ------------------------------------------------------------- subclasses


def test_python_subclasses_work():
    class MyMot(va.MotAnalyse):
        def shout(self):
            return self.text.upper()

    m = MyMot(types.SimpleNamespace(text="enfant"))
    assert m.shout() == "ENFANT" and m.span == (0, 0)
    assert repr(m).startswith("test_python_subclasses_work.<locals>.MyMot(token=namespace(")
    assert isinstance(m, va.MotAnalyse) and dataclasses.is_dataclass(m)
    assert weakref.ref(m)() is m

    class Quiet(va.ResultatSyllabation):
        def format_ligne1(self):
            return "<l1>"

    assert Quiet("t").format_detail().splitlines()[2] == "Ligne 1 : <l1>"


# ------------------------------------------------------ derived properties


def P(ipa, grapheme=""):
    return va.Phoneme(ipa, grapheme)


@pytest.mark.parametrize(
    "phonemes, phone, grapheme",
    [
        ([], "", ""),
        ([P("ʃ", "ch"), P("a", "a")], "ʃa", "cha"),
        ([P("ɑ̃", "en")], "ɑ̃", "en"),
        ([types.SimpleNamespace(ipa="k", grapheme="qu"), P("a", "a")], "ka", "qua"),
        ((P("o", "eau"),), "o", "eau"),
    ],
)
def test_group_phone_and_grapheme(phonemes, phone, grapheme):
    g = va.GroupePhonologique(phonemes)
    assert (g.phone, g.grapheme) == (phone, grapheme)


def test_group_properties_fail_like_a_join():
    with pytest.raises(TypeError, match="sequence item 0: expected str instance, int found"):
        va.GroupePhonologique([P(1)]).phone
    with pytest.raises(AttributeError):
        va.GroupePhonologique([object()]).phone


class Token:
    def __init__(self, **attributes):
        self.__dict__.update(attributes)


class RaisingToken:
    @property
    def text(self):
        raise ValueError("broken token")

    @property
    def span(self):
        raise AttributeError("no span after all")


@pytest.mark.parametrize(
    "token, text, span",
    [
        (None, "", (0, 0)),
        (Token(text="enfant"), "enfant", (0, 0)),
        (Token(span=(4, 10)), "", (4, 10)),
        (Token(text="les", span=[0, 3]), "les", [0, 3]),
        (Token(text=None), None, (0, 0)),
        (object(), "", (0, 0)),
    ],
)
def test_word_text_and_span(token, text, span):
    m = va.MotAnalyse(token)
    assert m.text == text and m.span == span


def test_word_text_type_and_errors():
    with pytest.raises(TypeError, match="^Expected str, got int$"):
        va.MotAnalyse(Token(text=3)).text
    with pytest.raises(ValueError, match="broken token"):
        va.MotAnalyse(RaisingToken()).text
    assert va.MotAnalyse(RaisingToken()).span == (0, 0)


def test_properties_are_read_only_and_follow_the_fields():
    m = va.MotAnalyse(Token(text="a"))
    with pytest.raises(AttributeError):
        m.text = "b"
    m.token = Token(text="b")
    assert m.text == "b"
    g = va.GroupeLecture([va.MotAnalyse(Token(text="les")), va.MotAnalyse(Token(text="enfants"))])
    assert g.text == "les enfants"
    g.mots.pop()
    assert g.text == "les"
    assert va.GroupeLecture().text == ""


def test_counts():
    syl = va.Syllabe("a", "a", (0, 1))
    groupes = [va.ResultatGroupe(va.GroupeLecture(), [syl, syl]), va.ResultatGroupe(va.GroupeLecture())]
    r = va.ResultatSyllabation("t", groupes)
    assert (r.nb_groupes, r.nb_syllabes) == (2, 2)
    assert va.ResultatAnalyse("a", "a", [syl] * 3).nb_syllabes == 3
    with pytest.raises(TypeError):
        va.ResultatAnalyse("a", "a", 5).nb_syllabes


# --------------------------------------------------------------- renderings


def G(*pairs):
    return va.GroupePhonologique([P(i, g) for i, g in pairs])


def S(phone, ortho, span, att=(), noy=(), cod=()):
    return va.Syllabe(phone, ortho, span, G(*att), G(*noy), G(*cod))


CHOCOLAT = va.ResultatAnalyse(
    "chocolat",
    "ʃɔkɔla",
    [
        S("ʃɔ", "cho", (0, 3), [("ʃ", "ch")], [("ɔ", "o")]),
        S("kɔ", "co", (3, 5), [("k", "c")], [("ɔ", "o")]),
        S("la", "lat", (5, 8), [("l", "l")], [("a", "a")]),
    ],
)
ARBRE = va.ResultatAnalyse(
    "arbre", "aʁbʁ", [S("aʁ", "ar", (0, 2), (), [("a", "a")], [("ʁ", "r")]), S("bʁ", "bre", (2, 5))]
)


@pytest.mark.parametrize(
    "result, simple, detail",
    [
        (
            CHOCOLAT,
            "chocolat -> /ʃɔ.kɔ.la/ (3 syll.)",
            "chocolat -> /ʃɔkɔla/\n"
            "  σ1: /ʃɔ/ <<cho>> [0:3] att=ʃ noy=ɔ cod=-\n"
            "  σ2: /kɔ/ <<co>> [3:5] att=k noy=ɔ cod=-\n"
            "  σ3: /la/ <<lat>> [5:8] att=l noy=a cod=-",
        ),
        (
            ARBRE,
            "arbre -> /aʁ.bʁ/ (2 syll.)",
            "arbre -> /aʁbʁ/\n"
            "  σ1: /aʁ/ <<ar>> [0:2] att=- noy=a cod=ʁ\n"
            "  σ2: /bʁ/ <<bre>> [2:5] att=- noy=- cod=-",
        ),
        (va.ResultatAnalyse("hm", "hm"), "hm -> // (0 syll.)", "hm -> /hm/"),
        (va.ResultatAnalyse("", ""), " -> // (0 syll.)", " -> //"),
    ],
)
def test_word_renderings(result, simple, detail):
    assert result.format_simple() == simple
    assert result.format_detail() == detail


def test_format_simple_rebuilds_the_pronunciation_from_the_syllables():
    r = va.ResultatAnalyse("mot", "ignoré", [S("mo", "mot", (0, 3))])
    assert r.format_simple() == "mot -> /mo/ (1 syll.)"


def word(text):
    return va.MotAnalyse(Token(text=text))


def sentence():
    les_enfants = va.GroupeLecture([word("les"), word("enfants")], "lezɑ̃fɑ̃", (0, 11), ["liaison_z"])
    trois = va.LectureFormule("trois", [va.EventFormule("3", "tʁwa", (12, 13), (0, 5))])
    formule = va.GroupeLecture([word("3")], "tʁwa", (12, 13), [], True, trois)
    brut = va.GroupeLecture([word("x²")], "iks", (14, 16), ["liaison", "enchainement"], True, None)
    return va.ResultatSyllabation(
        "les enfants 3 x²",
        [
            va.ResultatGroupe(
                les_enfants,
                [
                    S("le", "les", (0, 3), [("l", "l")], [("e", "es")]),
                    S("zɑ̃", "en", (3, 5), [("z", "")], [("ɑ̃", "en")]),
                    S("fɑ̃", "fants", (5, 11), [("f", "f")], [("ɑ̃", "an")]),
                ],
            ),
            va.ResultatGroupe(formule, [S("tʁwa", "3", (12, 13), [("t", ""), ("ʁ", "")], [("wa", "")])]),
            va.ResultatGroupe(brut),
        ],
    )


def test_sentence_renderings():
    r = sentence()
    assert r.format_ligne1() == "les enfants | [trois] | x²"
    assert r.format_ligne2() == "le.zɑ̃.fɑ̃ | tʁwa | "
    assert r.format_detail() == (
        "Texte : les enfants 3 x²\n"
        "Groupes : 3  Syllabes : 4\n"
        "Ligne 1 : les enfants | [trois] | x²\n"
        "Ligne 2 : le.zɑ̃.fɑ̃ | tʁwa | \n"
        "\n"
        "  G1: <<les enfants>>  /lezɑ̃fɑ̃/  jonctions=liaison_z\n"
        "    σ1: /le/ <<les>> [0:3] att=l noy=e cod=-\n"
        "    σ2: /zɑ̃/ <<en>> [3:5] att=z noy=ɑ̃ cod=-\n"
        "    σ3: /fɑ̃/ <<fants>> [5:11] att=f noy=ɑ̃ cod=-\n"
        "  G2: <<3>> [FORMULE]  /tʁwa/  jonctions=-\n"
        "    σ1: /tʁwa/ <<3>> [12:13] att=tʁ noy=wa cod=-\n"
        "  G3: <<x²>> [FORMULE]  /iks/  jonctions=liaison, enchainement"
    )


def test_sentence_without_groups():
    r = va.ResultatSyllabation("")
    assert (r.format_ligne1(), r.format_ligne2()) == ("", "")
    assert r.format_detail() == "Texte : \nGroupes : 0  Syllabes : 0\nLigne 1 : \nLigne 2 : \n"


def test_renderings_format_any_values_like_an_f_string():
    odd = va.Syllabe(3, None, [7, 8], types.SimpleNamespace(phone=""), types.SimpleNamespace(phone=1), G())
    r = va.ResultatAnalyse(12, 1.5, [odd])
    assert r.format_detail() == "12 -> /1.5/\n  σ1: /3/ <<None>> [7:8] att=- noy=1 cod=-"
    g = va.GroupeLecture(phone_groupe=None, est_formule=1, lecture=va.LectureFormule(42))
    assert va.ResultatSyllabation(0, [va.ResultatGroupe(g)]).format_ligne1() == "[42]"


@pytest.mark.parametrize(
    "syllabe, error",
    [
        (va.Syllabe("a", "a", (1,)), IndexError),
        (va.Syllabe("a", "a", 5), TypeError),
        (types.SimpleNamespace(phone="a"), AttributeError),
        (va.Syllabe("a", "a", (0, 1), attaque=None), AttributeError),
    ],
)
def test_malformed_syllables_raise_the_hosts_errors(syllabe, error):
    with pytest.raises(error):
        va.ResultatAnalyse("a", "a", [syllabe]).format_detail()


def test_rendering_docstrings():
    assert va.ResultatAnalyse.format_simple.__doc__ == 'Retourne "mot -> /phone/ (n syllabes)".'
    assert va.ResultatAnalyse.format_detail.__doc__ == "Retourne un affichage détaillé avec attaque/noyau/coda."
    assert va.ResultatSyllabation.format_ligne1.__doc__ == "Groupes de lecture (non syllabé)."
    assert va.ResultatSyllabation.format_ligne2.__doc__ == "Syllabes."
    assert va.ResultatSyllabation.format_detail.__doc__ == "Affichage détaillé des groupes et syllabes."
