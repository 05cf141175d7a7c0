"""The shipped stubs describe the built modules (mypy's stubtest)."""

import pathlib
import subprocess
import sys

import pytest

pytest.importorskip("mypy")


# What the stubs cannot say on some interpreters, each entry with its reason.
ALLOWLISTS = {(3, 12): pathlib.Path(__file__).parent / "data" / "stubtest_allowlist_3_12.txt"}


def test_stubs_match_the_built_modules(tmp_path):
    allow = []
    for since, path in ALLOWLISTS.items():
        if sys.version_info >= since:
            allow += ["--allowlist", str(path)]
    out = subprocess.run(
        [sys.executable, "-m", "mypy.stubtest", "vantro_aligneur.vantro_aligneur", "vantro_aligneur._chargeur", *allow],
        capture_output=True, text=True, timeout=600, cwd=str(tmp_path),
    )
    assert out.returncode == 0, out.stdout + out.stderr
