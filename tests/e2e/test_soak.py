"""Soak test: plix at 10 Hz for PLIX_SOAK_SECONDS (60 by default; the soak
command runs 600). Its resident memory after the warm-up (the first minute,
or the first quarter of a shorter run) and at the end must differ by less
than 1 MiB, the collects must keep coming at about the polling rate, and at
the end its window must still answer messages (desktool.exe ping, whose path
comes in PLIX_DESKTOOL)."""

import os
import sys
import time
import unittest

from plixdesk import PlixRun, resident_kib, settings_bytes

PLIX_EXE = os.environ.get("PLIX_EXE", "")

SOAK_SECONDS = int(os.environ.get("PLIX_SOAK_SECONDS", "60"))
WARM_UP_SECONDS = min(60, SOAK_SECONDS // 4)
SAMPLE_SECONDS = 10
RATE = 10
RSS_DRIFT_LIMIT_KIB = 1024


class Soak(unittest.TestCase):
    def test_ten_hertz_run_keeps_its_memory_its_collects_and_its_answers(self):
        self.assertTrue(os.path.isfile(os.environ.get("PLIX_DESKTOOL", "")),
                        "PLIX_DESKTOOL does not name desktool.exe")
        self.assertGreaterEqual(SOAK_SECONDS, 20, "PLIX_SOAK_SECONDS is too short to measure anything")
        run = PlixRun(PLIX_EXE, settings=settings_bytes(RATE, 100, 100))
        self.addCleanup(run.close)
        run.start()
        started = time.monotonic()
        pid = run.process.pid

        def wait_until(second):
            time.sleep(max(0.0, started + second - time.monotonic()))

        wait_until(WARM_UP_SECONDS)
        baseline = resident_kib(pid)
        baseline_collects = run.collects()
        self.assertEqual(run.tool("ping"), 0, "plix's window did not answer after the warm-up")

        samples = [(WARM_UP_SECONDS, baseline, baseline_collects)]
        second = WARM_UP_SECONDS
        while second < SOAK_SECONDS:
            second = min(second + SAMPLE_SECONDS, SOAK_SECONDS)
            wait_until(second)
            self.assertIsNone(run.process.poll(), "plix ended during the soak; log: " + run.read_log())
            samples.append((second, resident_kib(pid), run.collects()))

        final_second, final, final_collects = samples[-1]
        answer = run.tool("ping")
        sys.stderr.write("soak: %d s at %d Hz; VmRSS %d KiB after %d s, %d KiB at the end (%+d KiB); "
                         "%d collects in all\n" % (SOAK_SECONDS, RATE, baseline, WARM_UP_SECONDS, final,
                                                   final - baseline, final_collects))
        sys.stderr.write("soak samples (second, VmRSS KiB, collects): %r\n" % samples)

        self.assertEqual(answer, 0, "plix's window did not answer at the end of the soak")
        self.assertLess(abs(final - baseline), RSS_DRIFT_LIMIT_KIB,
                        "VmRSS went from %d to %d KiB" % (baseline, final))
        # Collects at no less than half the rate, over the whole soak and
        # over its last stretch alone.
        overall = (final_collects - baseline_collects) / (final_second - WARM_UP_SECONDS)
        self.assertGreater(overall, RATE / 2, "%.1f collects per second over the soak" % overall)
        last_second, _, last_collects = samples[-2]
        recent = (final_collects - last_collects) / (final_second - last_second)
        self.assertGreater(recent, RATE / 2, "%.1f collects per second at the end" % recent)


if __name__ == "__main__":
    unittest.main()
