"""plix killed while it saves: a drag that never stops keeps the settings
dirty on every tick, so plix writes plix.cfg every second or so, and SIGKILL
ends its Wine process at random moments across several save periods. After
every kill plix.cfg is absent (only before the first save) or 20 valid
bytes; the only other file a kill may leave is the plix.cfg.tmp it
interrupted, and the next start, in the same folder, removes that.

A save lasts about a millisecond in a second, so random kills seldom
land inside one; a second test therefore kills plix the moment it creates
plix.cfg.tmp (seen through inotify)."""

import ctypes
import math
import os
import random
import select
import signal
import struct
import subprocess
import sys
import threading
import time
import unittest

from plixdesk import PlixRun, parse_settings, settings_bytes, window_size

PLIX_EXE = os.environ.get("PLIX_EXE", "")

SCREEN = (1024, 768)
KILLS = 50
TRIGGERED_KILLS = 10
# Saves come a little over a second apart, the first a little over a second
# after the settings are loaded, which happens just before the window shows:
# delays of up to five seconds span several save periods.
LONGEST_DELAY = 5.0
OWN_FILES = {"plix.exe", "collects.txt", "opens.txt", "wine.log"}
CFG = "plix.cfg"
TMP = "plix.cfg.tmp"


WINDOW_SIZE = window_size()


class EndlessDrag:
    """Moves the mouse round a circle until stopped, so that the window,
    dragged with the left button held, moves on every polling tick."""

    CENTRE = (SCREEN[0] // 2, SCREEN[1] // 2)
    RADIUS = 150
    STEP = 0.07  # radians: about ten pixels a move

    def __init__(self, angle):
        self.angle = angle
        self.stopped = threading.Event()
        self.thread = threading.Thread(target=self.move, daemon=True)
        self.thread.start()

    def move(self):
        while not self.stopped.is_set():
            self.angle += self.STEP
            x = self.CENTRE[0] + int(self.RADIUS * math.cos(self.angle))
            y = self.CENTRE[1] + int(self.RADIUS * math.sin(self.angle))
            subprocess.run(["xdotool", "mousemove", str(x), str(y)], capture_output=True)
            time.sleep(0.02)

    def stop(self):
        self.stopped.set()
        self.thread.join(5)


class TemporaryFileWatch:
    """Reports the creation of plix.cfg.tmp in a folder, through inotify."""

    IN_CREATE = 0x100
    EVENT_HEADER = struct.Struct("iIII")

    def __init__(self, folder):
        libc = ctypes.CDLL(None, use_errno=True)
        self.fd = libc.inotify_init1(os.O_CLOEXEC | os.O_NONBLOCK)
        if self.fd < 0:
            raise OSError(ctypes.get_errno(), "inotify_init1")
        if libc.inotify_add_watch(self.fd, os.fsencode(folder), self.IN_CREATE) < 0:
            os.close(self.fd)
            raise OSError(ctypes.get_errno(), "inotify_add_watch")

    def wait_created(self, timeout):
        deadline = time.monotonic() + timeout
        while True:
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([self.fd], [], [], remaining)[0]:
                return False
            data = os.read(self.fd, 4096)
            offset = 0
            while offset < len(data):
                _, _, _, length = self.EVENT_HEADER.unpack_from(data, offset)
                offset += self.EVENT_HEADER.size
                name = data[offset:offset + length].rstrip(b"\0")
                offset += length
                if name == TMP.encode():
                    return True

    def close(self):
        os.close(self.fd)


class KilledMidSave(unittest.TestCase):
    def launch(self, settings=None):
        run = PlixRun(PLIX_EXE, settings=settings)
        self.addCleanup(run.close)
        return run

    def check_stored(self, data, kill):
        self.assertEqual(len(data), 20, "kill %d left a plix.cfg of %d bytes" % (kill, len(data)))
        stored = parse_settings(data)
        self.assertIsNotNone(stored, "kill %d left plix.cfg with a bad header: %s" % (kill, data.hex()))
        frequency, x, y = stored
        self.assertTrue(1 <= frequency <= 10, "kill %d left frequency %d" % (kill, frequency))
        # Every stored position comes from a window kept inside the screen.
        self.assertTrue(0 <= x <= SCREEN[0] - WINDOW_SIZE[0] and 0 <= y <= SCREEN[1] - WINDOW_SIZE[1],
                        "kill %d left position (%d, %d)" % (kill, x, y))
        return stored

    def test_every_kill_during_an_endless_drag_leaves_a_whole_file_or_none(self):
        seed = int(os.environ.get("PLIX_KILL_SEED", time.time_ns() % 1000000))
        sys.stderr.write("kill test seed %d (PLIX_KILL_SEED repeats the delays)\n" % seed)
        rng = random.Random(seed)
        run = self.launch()
        cfg = os.path.join(run.folder, CFG)
        tmp = os.path.join(run.folder, TMP)

        saved_once = False
        before_first_save = 0
        left_tmp = 0
        contents = set()
        tmp_to_clean = False
        for kill in range(1, KILLS + 1):
            run.start()
            if tmp_to_clean:
                self.assertFalse(os.path.exists(tmp), "the start after kill %d kept plix.cfg.tmp" % (kill - 1))
                tmp_to_clean = False

            x, y, _, _ = run.geometry()
            run.mouse("mousemove", x + 20, y + 20, "mousedown", 1)
            mover = EndlessDrag(rng.uniform(0, 6.28))
            try:
                time.sleep(rng.uniform(0, LONGEST_DELAY))
                os.kill(run.process.pid, signal.SIGKILL)
                run.process.wait(10)
            finally:
                mover.stop()
                run.mouse("mouseup", 1)

            names = set(os.listdir(run.folder))
            self.assertEqual(names - OWN_FILES - {CFG, TMP}, set(), "kill %d left stray files" % kill)
            if CFG in names:
                with open(cfg, "rb") as f:
                    contents.add(self.check_stored(f.read(), kill))
                saved_once = True
            else:
                self.assertFalse(saved_once, "plix.cfg vanished with kill %d" % kill)
                before_first_save += 1
            if TMP in names:
                left_tmp += 1
                tmp_to_clean = True

        sys.stderr.write("kill test: %d kills, %d before the first save, %d left plix.cfg.tmp, "
                         "%d different plix.cfg contents\n" % (KILLS, before_first_save, left_tmp, len(contents)))
        run.start()
        if tmp_to_clean:
            self.assertFalse(os.path.exists(tmp), "the start after the last kill kept plix.cfg.tmp")
        # The drags really were saved, many times over.
        self.assertGreaterEqual(len(contents), 10)

    def test_kill_as_a_save_begins_keeps_the_old_file_and_the_next_start_removes_the_temporary_one(self):
        run = self.launch(settings=settings_bytes(10, 100, 100))
        cfg = os.path.join(run.folder, CFG)
        tmp = os.path.join(run.folder, TMP)
        watch = TemporaryFileWatch(run.folder)
        self.addCleanup(watch.close)
        interrupted = 0
        for kill in range(1, TRIGGERED_KILLS + 1):
            with open(cfg, "rb") as f:
                before = f.read()
            run.start()
            self.assertFalse(os.path.exists(tmp), "the start before kill %d kept plix.cfg.tmp" % kill)
            x, y, _, _ = run.geometry()
            run.mouse("mousemove", x + 20, y + 20, "mousedown", 1)
            mover = EndlessDrag(kill)
            try:
                self.assertTrue(watch.wait_created(6), "no save within six seconds of dragging")
                os.kill(run.process.pid, signal.SIGKILL)
                run.process.wait(10)
            finally:
                mover.stop()
                run.mouse("mouseup", 1)

            names = set(os.listdir(run.folder))
            self.assertEqual(names - OWN_FILES - {CFG, TMP}, set(), "kill %d left stray files" % kill)
            self.assertIn(CFG, names)
            with open(cfg, "rb") as f:
                after = f.read()
            self.check_stored(after, kill)
            if TMP in names:
                # The save did not get as far as the move: the file is the old one.
                interrupted += 1
                self.assertEqual(after, before, "kill %d changed plix.cfg and left plix.cfg.tmp" % kill)
                self.assertLessEqual(os.path.getsize(tmp), 20)

        sys.stderr.write("kills as a save began: %d, %d of them left plix.cfg.tmp\n"
                         % (TRIGGERED_KILLS, interrupted))
        run.start()
        self.assertFalse(os.path.exists(tmp), "the start after the last kill kept plix.cfg.tmp")
        # Without a single interrupted save this test proved nothing about them.
        self.assertGreater(interrupted, 0)

    def test_start_removes_a_half_written_temporary_file_and_keeps_the_settings(self):
        stored = settings_bytes(3, 200, 150)
        run = self.launch(settings=stored)
        tmp = os.path.join(run.folder, TMP)
        with open(tmp, "wb") as f:
            f.write(stored[:7])
        run.start()
        self.assertFalse(os.path.exists(tmp))
        self.assertEqual(run.geometry()[:2], (200, 150))
        with open(run.cfg, "rb") as f:
            self.assertEqual(f.read(), stored)


if __name__ == "__main__":
    unittest.main()
