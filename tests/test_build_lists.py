"""The build lists every C++ source by name: a file left out of CMakeLists.txt
would build nowhere and be tested by nothing."""

import re
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]


def test_every_cpp_source_is_listed_once():
    cmake = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    assert "GLOB" not in cmake
    listed = re.findall(r"^\s+((?:src|tests|bench)/\S+\.cpp)\s*$", cmake, flags=re.M)
    on_disk = sorted(str(p.relative_to(ROOT)) for folder in ("src", "tests/cpp", "bench/cpp")
                     for p in (ROOT / folder).rglob("*.cpp"))
    assert sorted(listed) == on_disk
