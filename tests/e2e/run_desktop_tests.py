"""Runs the desktop tests against a built plix.exe and counter provider.

Usage: run_desktop_tests.py PLIX_EXE PDH_DLL [unittest arguments]
Needs DISPLAY (with a window manager) and a Wine prefix that plix's scripts
made, as the test command sets them up; the provider goes into that prefix's
system32."""

import os
import sys
import unittest

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [here, os.path.join(here, "..", "..", "scripts")]
import plixdesk  # noqa: E402

if len(sys.argv) < 3:
    sys.exit(__doc__)
os.environ["PLIX_EXE"] = sys.argv[1]
if not os.environ.get("DISPLAY"):
    sys.exit("desktop tests need an X display")
plixdesk.install_provider(sys.argv[2])

suite = unittest.defaultTestLoader.discover(here, pattern="test_*.py")
if len(sys.argv) > 3:
    suite = unittest.defaultTestLoader.loadTestsFromNames(sys.argv[3:])
result = unittest.TextTestRunner(verbosity=2).run(suite)
sys.exit(0 if result.wasSuccessful() else 1)
