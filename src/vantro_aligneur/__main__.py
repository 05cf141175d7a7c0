"""Interactive and command-line syllabic analyser.

    python -m vantro_aligneur              # one word per line, "/" for raw IPA
    python -m vantro_aligneur le chat      # every word of the text, detailed
    python -m vantro_aligneur --help       # reading groups, JSON, HTML, the web page
"""

from __future__ import annotations

import sys

from vantro_aligneur.cli import main
from vantro_aligneur.cli.interactif import BANNER, PROMPT

__all__ = ["main", "BANNER", "PROMPT"]

if __name__ == "__main__":
    sys.exit(main())
