"""`vantro-syllabeur serve`: the reading page on this machine only."""

from __future__ import annotations

import signal
import sys
from types import FrameType

from . import phonemiseur as choix
from .arguments import Commande

HOTE = "127.0.0.1"


class ErreurServeur(Exception):
    """The page cannot be served (extra not installed, port taken)."""


def _arret(signum: int, frame: FrameType | None) -> None:
    raise KeyboardInterrupt


def serve(commande: Commande) -> int:
    try:
        from waitress.server import create_server

        from vantro_aligneur.web import creer_application
        from vantro_aligneur.web.application import TAILLE_MAX
    except ImportError as exc:
        raise ErreurServeur(f"la page de lecture demande Flask et waitress : pip install 'vantro-aligneur[web]' "
                            f"({exc})") from None
    application = creer_application(choix.creer(commande.phonemiseur))
    try:
        serveur = create_server(application, host=HOTE, port=commande.port, threads=4,
                                max_request_body_size=TAILLE_MAX + 4096, ident="vantro-syllabeur")
    except OSError as exc:
        raise ErreurServeur(f"impossible d'écouter sur {HOTE}:{commande.port} : {exc.strerror or exc}") from None
    print(f"Page de lecture : http://{HOTE}:{serveur.effective_port}/  (Ctrl+C pour arrêter)",
          file=sys.stderr, flush=True)
    # SIGTERM (a service manager, kill) ends it as cleanly as Ctrl+C: a
    # server started in the background by a shell ignores SIGINT.
    signal.signal(signal.SIGTERM, _arret)
    try:
        serveur.run()
    except KeyboardInterrupt:
        pass
    finally:
        serveur.close()
    return 0
