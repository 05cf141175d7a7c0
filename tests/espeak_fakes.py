"""Stand-in espeak-ng programs for tests: put first on PATH, they log their
arguments and print fixed bytes, so no test depends on the real program."""

from __future__ import annotations

import os
import stat
from pathlib import Path


class FakeEspeak:
    """A directory holding an `espeak-ng` script.

    `output` maps a word (the last argument) to the bytes printed for it;
    `default` is printed for other words. `--version` exits 0 at once unless
    `version_hangs`. `exit_status` is returned after printing; `hang` makes
    the pronunciation run sleep 10 s instead.
    """

    def __init__(self, root: Path, *, output: dict[str, bytes] | None = None, default: bytes = b"",
                 exit_status: int = 0, hang: bool = False, version_hangs: bool = False) -> None:
        self.bin = root / "bin"
        self.bin.mkdir(parents=True, exist_ok=True)
        self.log = root / "argv.log"
        data = root / "out"
        data.mkdir(exist_ok=True)
        (data / "_default").write_bytes(default)
        cases = []
        for i, (word, printed) in enumerate((output or {}).items()):
            (data / f"w{i}").write_bytes(printed)
            quoted = word.replace("'", "'\\''")
            cases.append(f"  '{quoted}') cat '{data}/w{i}' ;;")
        version = "exec sleep 10" if version_hangs else "exit 0"
        body = "exec sleep 10" if hang else "\n".join([
            'for last; do :; done',
            'case "$last" in',
            *cases,
            f"  *) cat '{data}/_default' ;;",
            "esac",
            f"exit {exit_status}",
        ])
        script = self.bin / "espeak-ng"
        script.write_text("\n".join([
            "#!/bin/sh",
            f"printf '%s\\n' \"$*\" >> '{self.log}'",
            f'if [ "$1" = "--version" ]; then {version}; fi',
            body,
            "",
        ]), encoding="utf-8")
        script.chmod(script.stat().st_mode | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)

    def calls(self) -> list[str]:
        """Argument lines of every run so far, space-joined."""
        if not self.log.exists():
            return []
        return self.log.read_text(encoding="utf-8").splitlines()


def path_with(directory: Path) -> str:
    """PATH with `directory` first, the rest of the current PATH after it."""
    return os.pathsep.join([str(directory), os.environ.get("PATH", "")])
