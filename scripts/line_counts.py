#!/usr/bin/env python3
"""Lines of C++ per folder of src/core and src/bindings, generated tables left
out (src/core/unicode/unicode_tables.inc), for the working tree or for git
revisions side by side.

    python3 scripts/line_counts.py                 # the working tree
    python3 scripts/line_counts.py 0eca935 HEAD    # two revisions, and the tree
"""

from __future__ import annotations

import collections
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SIDES = ("src/core", "src/bindings")
GENERATED = {"src/core/unicode/unicode_tables.inc"}


def counted(path: str) -> bool:
    return path.startswith(SIDES) and path.endswith((".cpp", ".hpp")) and path not in GENERATED


def folder(path: str) -> str:
    parts = path.split("/")
    return "/".join(parts[:3]) if len(parts) > 3 else "/".join(parts[:2]) + "/(top)"


def tree_lines() -> dict[str, int]:
    files = subprocess.run(["git", "ls-files", "--cached", "--others", "--exclude-standard", *SIDES], cwd=ROOT,
                           capture_output=True, text=True, check=True).stdout.split()
    return {f: len((ROOT / f).read_text(encoding="utf-8").splitlines()) for f in files if counted(f) and (ROOT / f).exists()}


def revision_lines(rev: str) -> dict[str, int]:
    files = subprocess.run(["git", "ls-tree", "-r", "--name-only", rev, *SIDES], cwd=ROOT, capture_output=True,
                           text=True, check=True).stdout.split()
    out = {}
    for f in filter(counted, files):
        text = subprocess.run(["git", "show", f"{rev}:{f}"], cwd=ROOT, capture_output=True, text=True, check=True).stdout
        out[f] = len(text.splitlines())
    return out


def by_folder(lines: dict[str, int]) -> collections.Counter:
    totals: collections.Counter = collections.Counter()
    for path, n in lines.items():
        totals[folder(path)] += n
        totals[path.split("/")[0] + "/" + path.split("/")[1]] += n
    return totals


def main(argv: list[str]) -> int:
    columns = [(rev, by_folder(revision_lines(rev))) for rev in argv] + [("tree", by_folder(tree_lines()))]
    rows = sorted(set().union(*(c for _, c in columns)), key=lambda r: (r.split("/")[1], r.count("/"), r))
    print(f"{'folder':<28}" + "".join(f"{name:>10}" for name, _ in columns))
    for row in rows:
        print(f"{row:<28}" + "".join(f"{c.get(row, 0):>10}" for _, c in columns))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
