"""A private copy of the installed package, for tests that break its data file.

The loader keeps its tables for the life of the process, so every fault is
exercised in a fresh interpreter started on the copy.
"""

import os
import shutil
import subprocess
import sys
from pathlib import Path

import vantro_aligneur


def copy_package(dest: Path) -> Path:
    src = Path(vantro_aligneur.__file__).parent
    target = dest / "vantro_aligneur"
    shutil.copytree(src, target, ignore=shutil.ignore_patterns("__pycache__"))
    return target / "data" / "donnees_aligneur.json"


def run_python(root: Path, code: str, timeout: float = 60) -> subprocess.CompletedProcess:
    env = dict(os.environ, PYTHONPATH=str(root))
    return subprocess.run(
        [sys.executable, "-c", code], capture_output=True, text=True, timeout=timeout, env=env, cwd=str(root)
    )
