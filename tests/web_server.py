"""`vantro-syllabeur serve` started as the user starts it, on a free loopback port."""

from __future__ import annotations

import os
import re
import subprocess
import sys
import threading


class Serveur:
    def __init__(self) -> None:
        env = dict(os.environ, PYTHONIOENCODING="utf-8", PYTHONUNBUFFERED="1")
        self.proc = subprocess.Popen([sys.executable, "-m", "vantro_aligneur", "serve", "--port", "0"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
        line = self.proc.stderr.readline().decode()
        found = re.search(r"http://127\.0\.0\.1:(\d+)/", line)
        if not found:
            self.arreter()
            raise RuntimeError(f"the server did not start: {line}{self.proc.stderr.read().decode()}")
        self.port = int(found.group(1))
        self.url = f"http://127.0.0.1:{self.port}/"
        # Read what the server logs as it comes: a full pipe would block it.
        self.journal: list[bytes] = []
        self.lecteur = threading.Thread(target=lambda: self.journal.extend(self.proc.stderr), daemon=True)
        self.lecteur.start()

    def rss_kib(self) -> int:
        with open(f"/proc/{self.proc.pid}/status", encoding="ascii") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        raise RuntimeError("no VmRSS")

    def arreter(self) -> str:
        """Stops the server as a service manager does; returns what it wrote on standard error."""
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        if hasattr(self, "lecteur"):
            self.lecteur.join(timeout=10)
            return b"".join(self.journal).decode()
        return self.proc.stderr.read().decode()

