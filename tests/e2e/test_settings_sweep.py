"""The real program started on stored settings a user never makes: positions
at the ends of the 32-bit range or far off the screen, and polling
frequencies the Config dialog would refuse. After the first polling tick
the window lies inside the work area (the whole 1024x768 screen, as openbox
has no panel here), it collects at a usable rate, and the file it writes
back holds that rate and the position as stored, which no pull-in changes."""

import os
import time
import unittest

from plixdesk import PlixRun, settings_bytes, wait_for, window_size

PLIX_EXE = os.environ.get("PLIX_EXE", "")

WORK_AREA = (0, 0, 1024, 768)


WINDOW_SIZE = window_size()
INT_MIN = -2 ** 31
INT_MAX = 2 ** 31 - 1
RATE_SECONDS = 3

# (frequency, x, y) as stored.
STORED = [
    (0, INT_MIN, INT_MIN),
    (-7, INT_MAX, INT_MAX),
    (3, -900, 50),
    (0, 5000, 5000),
    (11, INT_MIN, INT_MAX),
]


def inside_work_area(geometry):
    x, y, width, height = geometry
    left, top, right, bottom = WORK_AREA
    return left <= x and top <= y and x + width <= right and y + height <= bottom


class StoredExtremes(unittest.TestCase):
    def test_extreme_stored_settings_end_inside_the_work_area_at_a_usable_rate(self):
        for frequency, x, y in STORED:
            with self.subTest(frequency=frequency, x=x, y=y):
                run = PlixRun(PLIX_EXE, settings=settings_bytes(frequency, x, y))
                try:
                    self.check_start(run, frequency, x, y)
                finally:
                    run.close()

    def check_start(self, run, frequency, x, y):
        run.start()
        self.assertTrue(wait_for(lambda: run.collects() >= 1, 5), "no polling tick")
        self.assertTrue(wait_for(lambda: inside_work_area(run.geometry()), 1),
                        "the window stayed at %r" % (run.geometry(),))
        expected = frequency if 1 <= frequency <= 10 else 10
        before = run.collects()
        time.sleep(RATE_SECONDS)
        rate = (run.collects() - before) / RATE_SECONDS
        self.assertLessEqual(abs(rate - expected), max(1.0, 0.3 * expected),
                             "%.1f collects per second for a stored frequency of %d" % (rate, frequency))
        self.assertIsNone(run.process.poll())

        geometry = run.geometry()
        self.assertTrue(inside_work_area(geometry), "the window left the work area: %r" % (geometry,))
        self.assertEqual(geometry[2:], WINDOW_SIZE)
        stored = (expected, x, y)
        self.assertTrue(wait_for(lambda: run.settings() == stored, 3),
                        "plix.cfg holds %r, not %r" % (run.settings(), stored))


if __name__ == "__main__":
    unittest.main()
