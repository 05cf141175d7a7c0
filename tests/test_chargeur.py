"""The data loader: shared tables, derived sets, and every data-file fault."""

import json
import textwrap

import pytest

from package_copy import copy_package, run_python
from vantro_aligneur import _chargeur

MISSING = (
    "Fichier de donnees donnees_aligneur.json introuvable. "
    "Installez le package complet : pip install vantro-aligneur"
)


def test_module_docstring():
    assert _chargeur.__doc__ == (
        "Chargeur paresseux des donnees metier de l'Aligneur.\n\n"
        "Charge le fichier donnees_aligneur.json une seule fois (singleton)\n"
        "et expose les constantes derivees : alphabet IPA, tables phoneme-grapheme,\n"
        "mappings eSpeak, consonnes de liaison, lettres muettes, et les sets\n"
        "voyelles/consonnes/semi-voyelles.\n"
    )


@pytest.mark.parametrize(
    "accessor, member",
    [
        (_chargeur.alphabet_ipa, "alphabet_ipa"),
        (_chargeur.phone_to_graphemes, "phone_to_graphemes"),
        (_chargeur.espeak_to_ipa, "espeak_to_ipa"),
        (_chargeur.liaison_consonnes, "liaison_consonnes"),
    ],
)
def test_tables_are_shared_members_of_the_document(accessor, member):
    assert accessor() is accessor()
    assert accessor() is _chargeur._charger()[member]
    assert _chargeur._charger() is _chargeur._charger()


def test_silent_letters_are_a_fresh_set_each_call():
    first, second = _chargeur.lettres_muettes_possibles(), _chargeur.lettres_muettes_possibles()
    assert first == second and first is not second
    first.add("§")
    assert "§" not in _chargeur.lettres_muettes_possibles()


@pytest.mark.parametrize(
    "accessor, kind, sous_type",
    [(_chargeur.voyelles, "voyelle", "orale"), (_chargeur.consonnes, "consonne", None),
     (_chargeur.semi_voyelles, "semi-voyelle", None)],
)
def test_derived_sets_follow_the_alphabet(accessor, kind, sous_type):
    expected = {
        sym for sym, entry in _chargeur.alphabet_ipa().items()
        if entry.get("type") == kind and (sous_type is None or entry.get("sous_type") == sous_type)
    }
    assert accessor() == expected
    assert accessor() is accessor()


# Each case: how to spoil the data file, then the exception and message expected
# from the first accessor call (and from importing the main module).
FAULTS = [
    ("missing", None, "FileNotFoundError", MISSING),
    ("not utf-8", b"\xff\xfe{}", "UnicodeDecodeError", None),
    ("not json", b"{not json", "JSONDecodeError", None),
    ("top level list", b"[1, 2]", "TypeError", "Expected dict, got list"),
]


@pytest.mark.parametrize("name, content, error, message", FAULTS, ids=[f[0] for f in FAULTS])
def test_data_file_faults_then_repair(tmp_path, name, content, error, message):
    data = copy_package(tmp_path)
    good = data.read_bytes()
    if content is None:
        data.unlink()
    else:
        data.write_bytes(content)
    code = textwrap.dedent(
        f"""
        import pathlib
        from vantro_aligneur import _chargeur
        for attempt in range(2):
            try:
                _chargeur.alphabet_ipa()
            except Exception as exc:
                print(type(exc).__name__, "|", exc, "|", exc.__cause__ is None, exc.__context__ is None)
        try:
            import vantro_aligneur.vantro_aligneur
        except Exception as exc:
            print("import", type(exc).__name__)
        pathlib.Path({str(data)!r}).write_bytes({good!r})
        try:
            print("repaired", len(_chargeur.alphabet_ipa()) > 0)
        except Exception as exc:
            print("still", type(exc).__name__)
        """
    )
    out = run_python(tmp_path, code)
    assert out.returncode == 0, out.stderr
    lines = out.stdout.splitlines()
    first = lines[0].split(" | ")
    assert first[0] == error
    if message is not None:
        assert first[1] == message
    if name == "missing":
        assert first[2] == "True True"
    assert lines[1].split(" | ")[0] == error
    assert lines[2] == f"import {error}"
    # A failed load stores nothing; a parsed document that is no object stays stored.
    assert lines[3] == ("still TypeError" if name == "top level list" else "repaired True")


@pytest.mark.parametrize(
    "mutate, call, error, message",
    [
        ("del doc['phone_to_graphemes']", "phone_to_graphemes", "KeyError", "'phone_to_graphemes'"),
        ("doc['liaison_consonnes'] = [1]", "liaison_consonnes", "TypeError", "Expected dict, got list"),
        ("doc['espeak_to_ipa'] = None", "espeak_to_ipa", None, None),
        ("doc['lettres_muettes_possibles'] = 3", "lettres_muettes_possibles", "TypeError", None),
    ],
)
def test_member_faults(tmp_path, mutate, call, error, message):
    data = copy_package(tmp_path)
    doc = json.loads(data.read_text(encoding="utf-8"))
    exec(mutate)
    data.write_text(json.dumps(doc, ensure_ascii=False), encoding="utf-8")
    code = textwrap.dedent(
        f"""
        from vantro_aligneur import _chargeur
        try:
            print("ok", repr(_chargeur.{call}()))
        except Exception as exc:
            print(type(exc).__name__, "|", exc)
        """
    )
    out = run_python(tmp_path, code)
    assert out.returncode == 0, out.stderr
    kind, _, rest = out.stdout.strip().partition(" | ")
    if error is None:
        assert out.stdout.strip() == "ok None"
    else:
        assert kind == error
        if message is not None:
            assert rest == message


def test_entry_without_type_or_sous_type(tmp_path):
    data = copy_package(tmp_path)
    doc = json.loads(data.read_text(encoding="utf-8"))
    doc["alphabet_ipa"]["§"] = {}
    doc["alphabet_ipa"]["¤"] = {"type": "voyelle"}
    data.write_text(json.dumps(doc, ensure_ascii=False), encoding="utf-8")
    code = (
        "from vantro_aligneur import _chargeur as c\n"
        "print(any(s in x for x in (c.voyelles(), c.consonnes(), c.semi_voyelles()) for s in '§¤'))"
    )
    out = run_python(tmp_path, code)
    assert out.stdout.strip() == "False", out.stderr


@pytest.mark.parametrize(
    "mutate, expected",
    [
        # A key that holds no phoneme token can never be read: it is passed over, not looped on.
        ("doc['phone_to_graphemes'] = {'': ['ch'], **doc['phone_to_graphemes']}", "same"),
        ("doc['phone_to_graphemes']['\u0303'] = ['n']", "same"),
        ("doc['phone_to_graphemes']['ʃ'] = 5", "TypeError"),
        ("doc['phone_to_graphemes']['ʃ'] = ['ch', 5]", "TypeError"),
        # The silent letters are only tested for membership: another value is simply never met.
        ("doc['lettres_muettes_possibles'] = ['t', 5]", "same"),
    ],
)
def test_table_faults_reach_the_alignment(tmp_path, mutate, expected):
    data = copy_package(tmp_path)
    doc = json.loads(data.read_text(encoding="utf-8"))
    exec(mutate)
    data.write_text(json.dumps(doc, ensure_ascii=False), encoding="utf-8")
    code = (
        "from vantro_aligneur import vantro_aligneur as va\n"
        "try:\n"
        "    print(va._aligner('chat', 'ʃa'), va.VantroSyllabeur().analyze('chat', 'ʃa').format_simple())\n"
        "except Exception as exc:\n"
        "    print(type(exc).__name__)\n"
    )
    out = run_python(tmp_path, code, timeout=60)
    assert out.returncode == 0, out.stderr
    if expected == "same":
        assert out.stdout.strip() == "(['ʃ', 'a'], ['ch', 'at°'], [(0, 2), (2, 4)], True) chat -> /ʃa/ (1 syll.)"
    else:
        assert out.stdout.strip() == expected
