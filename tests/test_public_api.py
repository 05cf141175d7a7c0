"""The compiled sources use CPython's public C API only.

Private functions (a leading `_Py`), the fields of the interpreter's own
object structures and private attributes of the standard library change or
vanish between releases; one of them kept the module from building on a new
CPython. This scan keeps them out.
"""

import pathlib
import re

import pytest

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCE_DIRS = ["src", "fuzz"]
SUFFIXES = {".cpp", ".hpp", ".h", ".cc"}

# (what is forbidden, pattern, a line it must catch)
FORBIDDEN = [
    ("private CPython function or variable", r"\b_Py[A-Za-z_]", "    _Py_NewReference(obj);"),
    ("private CPython function or variable", r"\b_Py[A-Za-z_]", "while (_PySet_NextEntry(s, &pos, &k, &h))"),
    ("dict version tag", r"\bma_version_tag\b", "return ((PyDictObject*)d)->ma_version_tag;"),
    ("item array of a list or tuple", r"\bob_item\b", "PyObject** items = list->ob_item;"),
    ("layout of a built-in object", r"\b(PyDictObject|PySetObject|PyListObject|PyTupleObject|PyCFunctionObject)\b",
     "auto* f = reinterpret_cast<PyCFunctionObject*>(fn);"),
    ("layout of a built-in object", r"\b(PyDictObject|PySetObject|PyListObject|PyTupleObject|PyCFunctionObject)\b",
     "const PySetObject* s = as_set(o);"),
    ("hash table of a set", r"\bsetentry\b", "const setentry* table = s->table;"),
    ("private attribute of a logger", r'"_cache"', 'X(cache, "_cache")'),
]


def sources():
    for d in SOURCE_DIRS:
        for path in sorted((ROOT / d).rglob("*")):
            if path.suffix in SUFFIXES and path.is_file():
                yield path


def code_of(line):
    """The line without its // comment, so that comments may name what is avoided."""
    return line.split("//", 1)[0]


@pytest.mark.parametrize("what, pattern, example", FORBIDDEN)
def test_each_pattern_catches_its_example(what, pattern, example):
    assert re.search(pattern, code_of(example)), what


def test_sources_are_found():
    names = {p.name for p in sources()}
    assert {"module_globals.cpp", "data_watch.cpp", "record_free_lists.cpp"} <= names


def test_no_private_api_in_the_sources():
    found = []
    for path in sources():
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            for what, pattern in dict.fromkeys((what, pattern) for what, pattern, _ in FORBIDDEN):
                if re.search(pattern, code_of(line)):
                    found.append(f"{path.relative_to(ROOT)}:{number}: {what}: {line.strip()}")
    assert found == []
