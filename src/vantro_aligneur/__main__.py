"""Interactive and command-line syllabic analyser.

    python -m vantro_aligneur              # one word per line, "/" for raw IPA
    python -m vantro_aligneur le chat      # every word of the text, detailed
"""

from __future__ import annotations

import sys
from collections.abc import Sequence

BANNER = "Vantro Syllabeur Complet — Mode interactif (Ctrl+C pour quitter)"
PROMPT = "Mot > "


def main(argv: Sequence[str] | None = None) -> int:
    """Runs the program on `argv` (default: the command line); returns the exit status."""
    from vantro_aligneur.vantro_aligneur import VantroSyllabeur

    args = list(sys.argv[1:] if argv is None else argv)
    syllabeur = VantroSyllabeur()
    if args:
        for result in syllabeur.analyze_text(" ".join(args)):
            print(result.format_detail())
            print()
        return 0

    print(BANNER)
    print()
    try:
        while True:
            line = input(PROMPT).strip()
            if not line:
                continue
            if line.startswith("/"):
                ipa = line[1:].strip()
                syllabes = syllabeur.syllabify_ipa(ipa)
                print(f"  /{ipa}/ -> {'.'.join(syllabes)} ({len(syllabes)} syll.)")
            else:
                print(syllabeur.analyze(line).format_detail())
            print()
    except (KeyboardInterrupt, EOFError):
        print()
    return 0


if __name__ == "__main__":
    sys.exit(main())
