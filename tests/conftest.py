import os
import sys

# The pure-Python reference implementations live beside the tests.
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
