"""The local reading page: `vantro-syllabeur serve`, or any WSGI server on `creer_application()`."""

from .application import creer_application

__all__ = ["creer_application"]
