import os
import sys

import pytest

# The pure-Python reference implementations live beside the tests; the
# helpers they share with the scripts live in scripts/.
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "scripts"))


@pytest.fixture(scope="module")
def library():
    """The in-process espeak-ng phonemizer; the test is skipped without the library."""
    from vantro_aligneur import vantro_aligneur as va

    try:
        return va.EspeakLibPhonemizer()
    except RuntimeError as exc:
        pytest.skip(f"libespeak-ng missing: {exc}")
