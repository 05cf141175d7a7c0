"""Records, phonemizers and the facade go through pickle, to other processes too."""

import pickle
import subprocess
import sys
import types

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

from vantro_aligneur import vantro_aligneur as va

PROTOCOLS = range(pickle.HIGHEST_PROTOCOL + 1)


def groupe(*ipas):
    return va.GroupePhonologique([va.Phoneme(i, i) for i in ipas])


def every_record():
    jeton = va.JetonTexte("12", (4, 6), "nombre", False, "en")
    mot = va.MotAnalyse(jeton, "duz", "z", "NUM", True, False, True)
    lecture = va.LectureFormule("douze", [va.EventFormule("12", "duz", (0, 2), (0, 5))])
    lecture_groupe = va.GroupeLecture([mot], "duz", (4, 6), ["liaison_z"], True, lecture)
    syllabe = va.Syllabe("duz", "12", (4, 6), groupe("d"), groupe("u"), groupe("z"))
    return {
        "Phoneme": va.Phoneme("ʃ", "ch"),
        "GroupePhonologique": groupe("p", "l"),
        "Syllabe": syllabe,
        "ResultatAnalyse": va.ResultatAnalyse("douze", "duz", [syllabe]),
        "MotAnalyse": mot,
        "MotAnalyse with a plain token": va.MotAnalyse(types.SimpleNamespace(text="les", span=(0, 3)), "le"),
        "EventFormule": lecture.events[0],
        "LectureFormule": lecture,
        "OptionsGroupes": va.OptionsGroupes(False, True, False, True, True),
        "GroupeLecture": lecture_groupe,
        "ResultatGroupe": va.ResultatGroupe(lecture_groupe, [syllabe]),
        "ResultatSyllabation": va.ResultatSyllabation(
            "Il a 12 ans", [va.ResultatGroupe(lecture_groupe, [syllabe])], va.OptionsGroupes(gerer_liaisons=False)
        ),
        "JetonTexte": jeton,
        "_SonorityClasses": va._SonorityClasses({"p"}, {"n"}, {"l"}, {"j"}, {"a"}),
    }


def walk(value):
    """Every record reachable from `value`."""
    if isinstance(value, list):
        for item in value:
            yield from walk(item)
    elif hasattr(value, "__dataclass_fields__") and type(value).__module__ == va.__name__:
        yield value
        for name in value.__dataclass_fields__:
            yield from walk(getattr(value, name))


@pytest.mark.parametrize("protocol", PROTOCOLS)
@pytest.mark.parametrize("name", list(every_record()))
def test_every_record_round_trips(name, protocol):
    value = every_record()[name]
    back = pickle.loads(pickle.dumps(value, protocol))
    assert back == value and repr(back) == repr(value)
    # The nested records come back as records, not as look-alikes.
    assert [type(r) for r in walk(back)] == [type(r) for r in walk(value)]


@pytest.mark.parametrize("name", list(every_record()))
def test_a_record_is_rebuilt_by_its_constructor_from_plain_data(name):
    value = every_record()[name]
    reduced = value.__reduce__()
    assert reduced[0] is type(value)
    args = reduced[1]
    assert len(args) == len(value.__dataclass_fields__)
    for arg in args:  # what the constructor gets holds nothing that could lead back to the record
        assert arg is None or type(arg) in (str, int, bool, tuple)
    # The state holds only the fields the constructor got as None.
    state = reduced[2] if len(reduced) > 2 else {}
    for field, arg in zip(value.__dataclass_fields__, args):
        assert (field in state) == (arg is None and getattr(value, field) is not None)


@pytest.mark.parametrize(
    "payload, error",
    [
        ((va.Phoneme, ("a", "b", "c")), "Phoneme.__init__() takes from 2 to 3 positional arguments but 4 were given"),
        ((va.Syllabe, ("pa",)), "Syllabe.__init__() missing 2 required positional arguments: 'ortho' and 'span'"),
        ((va.OptionsGroupes, (True,) * 6), "OptionsGroupes.__init__() takes from 1 to 6 positional arguments"),
    ],
)
def test_a_crafted_pickle_meets_the_constructor_checks(payload, error):
    class Crafted:
        def __reduce__(self):
            return payload

    data = pickle.dumps(Crafted())
    with pytest.raises(TypeError) as info:
        pickle.loads(data)
    assert str(info.value).startswith(error)


@pytest.mark.parametrize("protocol", PROTOCOLS)
def test_instance_attributes_and_deleted_fields_survive(protocol):
    extra = va.Phoneme("a")
    extra.note = ["x"]
    back = pickle.loads(pickle.dumps(extra, protocol))
    assert back == extra and back.note == ["x"]

    deleted = va.MotAnalyse(phone="a")
    del deleted.liaison
    back = pickle.loads(pickle.dumps(deleted, protocol))
    assert back.phone == "a" and not hasattr(back, "liaison")  # not the default "none"


@pytest.mark.parametrize("protocol", PROTOCOLS)
def test_shared_records_stay_shared(protocol):
    phoneme = va.Phoneme("a")
    liste = [va.GroupePhonologique([phoneme]), va.GroupePhonologique([phoneme])]
    back = pickle.loads(pickle.dumps(liste, protocol))
    assert back[0].phonemes[0] is back[1].phonemes[0]


# ------------------------------------------------------------------ analysers


class Predictor:
    """A g2p object that pickles (defined at module level)."""

    def predict(self, word):
        return {"chat": "ʃa"}.get(word, "a")


class LoudEspeak(va.EspeakPhonemizer):
    def __init__(self, volume):
        super().__init__("fr")
        self.volume = volume


def phonemizer_state(p):
    """What a phonemizer is made of: its type, voice, wrapped g2p's type and own attributes."""
    return type(p), getattr(p, "_lang", None), type(getattr(p, "_g2p", None)), getattr(p, "__dict__", {})


@pytest.mark.parametrize("protocol", PROTOCOLS)
@pytest.mark.parametrize(
    "make",
    [
        lambda: va.Phonemizer(),
        lambda: va.EspeakPhonemizer(),
        lambda: va.EspeakPhonemizer("en"),
        lambda: va._G2PAdapter(Predictor()),
        lambda: LoudEspeak(11),
    ],
    ids=["Phonemizer", "EspeakPhonemizer", "EspeakPhonemizer en", "_G2PAdapter", "subclass"],
)
def test_phonemizers_round_trip(make, protocol):
    value = make()
    back = pickle.loads(pickle.dumps(value, protocol))
    assert phonemizer_state(back) == phonemizer_state(value)
    if isinstance(value, va._G2PAdapter):
        assert back.phonemize("chat") == "ʃa"


def test_the_availability_of_the_program_is_asked_again():
    p = va.EspeakPhonemizer()
    p._available = False  # as decided on a machine without espeak-ng
    assert pickle.loads(pickle.dumps(p))._available is None


def test_an_adapter_of_an_unpicklable_g2p_says_so():
    g2p = types.SimpleNamespace(predict=lambda word: "a")
    with pytest.raises((pickle.PicklingError, AttributeError, TypeError)):
        pickle.dumps(va._G2PAdapter(g2p))


def test_the_library_phonemizer_checks_its_voice_when_unpickled(library):
    class Crafted:
        def __reduce__(self):
            return va.EspeakLibPhonemizer, ("zz-pas-une-voix",)

    with pytest.raises(RuntimeError):
        pickle.loads(pickle.dumps(Crafted()))


def test_facade_round_trips_with_its_phonemizer(library):
    facade = va.VantroSyllabeur(library)
    back = pickle.loads(pickle.dumps(facade))
    assert type(back._phonemizer) is va.EspeakLibPhonemizer and back._phonemizer._lang == "fr"
    texte = "Les enfants ont 12 ans."
    assert back.analyser_texte(texte) == facade.analyser_texte(texte)
    annotated = va.VantroSyllabeur(Predictor())
    annotated.nom = "lecteur"
    g2p = pickle.loads(pickle.dumps(annotated))
    assert type(g2p._phonemizer) is va._G2PAdapter and g2p.analyze("chat").phone == "ʃa"
    assert g2p.nom == "lecteur"


def test_a_real_result_round_trips(library):
    resultat = va.VantroSyllabeur(library).analyser_texte("« Va-t’en ! » dit-elle. L’ogre a 12 ans depuis le 1er mai.")
    assert any(g.groupe.est_formule for g in resultat.groupes)
    for protocol in PROTOCOLS:
        back = pickle.loads(pickle.dumps(resultat, protocol))
        assert back == resultat and back.format_detail() == resultat.format_detail()
        assert va.vers_json(back) == va.vers_json(resultat)


def test_a_facade_pickled_here_reads_in_another_process(library):
    data = pickle.dumps((va.VantroSyllabeur(library), "Il était une fois un petit chat."))
    script = (
        "import pickle, sys\n"
        "facade, texte = pickle.loads(sys.stdin.buffer.read())\n"
        "sys.stdout.buffer.write(pickle.dumps(facade.analyser_texte(texte)))\n"
    )
    out = subprocess.run([sys.executable, "-c", script], input=data, capture_output=True, timeout=120)
    assert out.returncode == 0, out.stderr.decode()
    assert pickle.loads(out.stdout) == va.VantroSyllabeur(library).analyser_texte("Il était une fois un petit chat.")


# ------------------------------------------------------------ packed results


class Token:
    """Any other object: it travels pickled inside the packed bytes."""

    def __init__(self, text):
        self.text = text

    def __eq__(self, other):
        return type(other) is Token and other.text == self.text

    def __repr__(self):
        return f"Token({self.text!r})"


class MyPhoneme(va.Phoneme):
    pass


def packing_cases():
    annotated = va.Phoneme("a")
    annotated.note = 1
    deleted = va.MotAnalyse(phone="a")
    del deleted.pos
    return {
        **every_record(),
        "plain values": [None, True, False, 0, -1, 2**63 - 1, -(2**63), 2**80, 1.5, "", "é", "ʃ", "😀", "\udc80"],
        "nested containers": [[], (), ((1, 2), [3, (4,)]), [[["deep"]]], {"a": [1]}],
        "a token of another type": va.MotAnalyse(Token("les"), "le"),
        "a subclass": [MyPhoneme("a", "b")],
        "instance attributes": annotated,
        "a deleted field": deleted,
    }


@pytest.mark.parametrize("name", list(packing_cases()))
def test_packed_values_come_back_equal_and_of_the_same_types(name):
    value = packing_cases()[name]
    back = va._deballer(va._emballer(value))
    if name == "a deleted field":  # not the default "": still deleted
        assert type(back) is va.MotAnalyse and back.phone == "a" and not hasattr(back, "pos")
        return
    assert back == value and repr(back) == repr(value)
    assert [type(r) for r in walk(back)] == [type(r) for r in walk(value)]
    if name == "instance attributes":
        assert back.note == 1


def test_a_packed_real_result_comes_back_equal(library):
    resultats = [va.VantroSyllabeur(library).analyser_texte(t) for t in ("Il a 12 ans.", "« Va-t’en ! » dit-elle.")]
    data = va._emballer(resultats)
    assert va._deballer(data) == resultats
    assert va._deballer(memoryview(b"x" + data)[1:]) == resultats  # not on a word boundary


# The header of this build: what packing None writes before its one tag byte.
H = va._emballer(None)[:-1]


@pytest.mark.parametrize(
    "data, why",
    [
        (b"", "not packed by this version"),
        (H[:-1] + b"\x07\x00", "not packed by this version"),
        (H, "truncated"),
        (H + b"\x63", "unknown tag"),
        (H + b"\x05\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\x01", "varint too long"),
        (H + b"\x05\x80\x80\x80\x80\x04", "length past the end"),
        (H + b"\x04\x03\x02", "string kind"),
        (H + b"\x04\x04\x01" + bytes(-(len(H) + 3) % 4) + b"\xff\xff\xff\x7f", "code point"),
        (H + b"\x09\x00", "string order"),
        (H + b"\x07\x2a", "record kind"),
        (H + b"\x07\x00\x00", "truncated"),
        (H + b"\x00\x00", "bytes after the value"),
    ],
)
def test_damaged_packed_bytes_are_refused(data, why):
    with pytest.raises(ValueError, match=f"paquet de résultats invalide \\({why}\\)"):
        va._deballer(data)


def test_every_truncation_of_packed_bytes_is_refused(library):
    data = va._emballer(va.VantroSyllabeur(library).analyser_texte("Les enfants ont 12 ans."))
    for end in range(len(data)):
        with pytest.raises(ValueError):
            va._deballer(data[:end])


def packed_sample():
    lecture = every_record()["ResultatSyllabation"]
    return va._emballer([lecture, "ʃa", (1, "x"), [None, True, 2**40]])


@settings(max_examples=300, deadline=None)
@given(st.data())
def test_damaged_packed_bytes_never_crash(data):
    packed = bytearray(packed_sample())
    for _ in range(data.draw(st.integers(1, 4))):
        at = data.draw(st.integers(0, len(packed) - 1))
        packed[at] = data.draw(st.integers(0, 255))
    try:
        va._deballer(bytes(packed))
    except Exception:  # noqa: BLE001 - a damaged pickled leaf may raise anything pickle raises
        pass  # refused; what matters is that the process is still here


def test_nesting_too_deep_is_refused_both_ways():
    deep = []
    for _ in range(5000):
        deep = [deep]
    with pytest.raises(RecursionError):
        va._emballer(deep)
    # As many nested one-item lists as bytes allow, then the innermost empty list.
    with pytest.raises(RecursionError):
        va._deballer(H + b"\x05\x01" * 5000 + b"\x05\x00")
    shallow = []
    for _ in range(500):
        shallow = [shallow]
    assert va._deballer(va._emballer(shallow)) == shallow
