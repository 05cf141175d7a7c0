"""The shipped stubs describe the built modules (mypy's stubtest)."""

import subprocess
import sys

import pytest

pytest.importorskip("mypy")


def test_stubs_match_the_built_modules(tmp_path):
    out = subprocess.run(
        [sys.executable, "-m", "mypy.stubtest", "vantro_aligneur.vantro_aligneur", "vantro_aligneur._chargeur"],
        capture_output=True, text=True, timeout=600, cwd=str(tmp_path),
    )
    assert out.returncode == 0, out.stdout + out.stderr
