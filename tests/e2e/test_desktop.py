"""End-to-end tests: the real plix.exe under Wine, with the Linux counter
provider, on the test run's X display (with openbox as window manager),
driven with xdotool and looked at through xwininfo and screenshots."""

import os
import pathlib
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import unittest

from plixdesk import (PlixRun, desktool, kill, parse_settings, per_user_settings_folder, processor_count,
                      settings_bytes, start_quietly, stat_text, unwritable, wait_for, window_shown, window_size,
                      write_whole)

PLIX_EXE = os.environ.get("PLIX_EXE", "")
# A pdh.dll that writes MARKER_LOADED beside itself when it is loaded.
MARKER_PDH = os.environ.get("PLIX_MARKER_PDH", "")
MARKER_LOADED = "pdh-marker-loaded.txt"

BACKGROUND = (255, 255, 128)
BAR = (20, 200, 40)
RED = (255, 0, 0)
SCREEN_WIDTH = 1024


def dark(pixel):
    return sum(pixel) < 200


class DesktopTest(unittest.TestCase):
    def prepare(self, settings=None, env=None):
        run = PlixRun(PLIX_EXE, settings=settings, env=env)
        self.addCleanup(run.close)
        return run

    def launch(self, settings=None, env=None):
        return self.prepare(settings, env).start()

    def wait_settings(self, run, expected, timeout=6):
        found = wait_for(lambda: run.settings() == expected, timeout)
        self.assertTrue(found, "plix.cfg holds %r, not %r" % (run.settings(), expected))

    def wait_position(self, run, x, y, timeout=3):
        wait_for(lambda: run.geometry()[:2] == (x, y), timeout)
        self.assertEqual(run.geometry()[:2], (x, y))

    def hold_settings(self, run, milliseconds):
        """Holds plix.cfg open without sharing, as a backup tool might."""
        hold_log = os.path.join(run.folder, "hold.log")
        holder = start_quietly(desktool("hold", PlixRun.windows_path(run.cfg), milliseconds), hold_log)
        self.addCleanup(kill, holder)
        self.assertTrue(wait_for(lambda: b"held" in pathlib.Path(hold_log).read_bytes(), 10),
                        "plix.cfg was not locked")
        return holder

    def drag(self, run, points):
        """Left-button drag through the given screen points, one move each."""
        first = points[0]
        run.mouse("mousemove", first[0], first[1], "mousedown", 1)
        time.sleep(0.2)
        for x, y in points[1:]:
            run.mouse("mousemove", x, y)
            time.sleep(0.1)


class StartUp(DesktopTest):
    def test_first_start_shows_live_gauges_ignores_a_pdh_dll_beside_it_and_saves_the_defaults(self):
        run = self.prepare()
        shutil.copy(MARKER_PDH, run.folder)
        run.start()
        x, y, width, height = run.geometry()
        self.assertEqual((x, y), (100, 100))
        self.assertEqual((width, height), window_size())

        # About two seconds at 10 Hz make enough means for visible bars.
        time.sleep(2.6)
        image = run.screenshot()
        inside = (1, 1, width - 1, height - 1)
        self.assertGreater(image.count(BACKGROUND, inside), (width - 2) * (height - 2) // 2)
        for strip in range(processor_count() + 1):
            label = (1, 1 + 40 * strip, 40, 14 + 40 * strip)
            dark_pixels = sum(1 for yy in range(label[1], label[3]) for xx in range(label[0], label[2])
                              if dark(image.pixel(xx, yy)))
            self.assertGreater(dark_pixels, 10, "no label in strip %d" % strip)
        # Live bars, so the readings come from the provider in system32.
        self.assertGreater(image.count(BAR, inside), 0)
        self.assertEqual(image.count(RED, inside), 0)
        self.assertFalse(os.path.exists(os.path.join(run.folder, MARKER_LOADED)),
                         "plix loaded the pdh.dll beside it")

        self.wait_settings(run, (10, 100, 100), timeout=4)
        with open(run.cfg, "rb") as f:
            self.assertEqual(f.read(), bytes.fromhex("EDAE78C0 01000000 0A000000 64000000 64000000"))

    def test_window_stored_off_screen_is_pulled_to_the_left_edge_and_the_place_outlasts_the_run(self):
        stored = settings_bytes(10, -900, 50)
        run = self.launch(settings=stored)
        self.wait_position(run, 0, 50)
        time.sleep(2.5)
        self.assertEqual(run.exit_through_menu(10), 0)
        self.assertEqual(pathlib.Path(run.cfg).read_bytes(), stored)

    def test_a_minimized_start_shows_the_window_at_the_stored_position_and_rate(self):
        run = self.prepare(settings=settings_bytes(2, 300, 200)).start(minimized=True)
        self.assertEqual(run.geometry()[:2], (300, 200))
        self.assertGreater(run.screenshot().count(BACKGROUND), 60 * 40 // 2, "not drawn")
        before = run.collects()
        time.sleep(3)
        rate = (run.collects() - before) / 3
        self.assertTrue(1 <= rate <= 3, "%.1f collects per second at rate 2" % rate)


class Dragging(DesktopTest):
    def test_drag_moves_the_window_with_the_mouse_and_stores_it(self):
        run = self.launch()
        self.drag(run, [(120, 120), (140, 130), (170, 150), (200, 170)])
        run.mouse("mouseup", 1)
        self.wait_position(run, 180, 150)
        self.wait_settings(run, (10, 180, 150), timeout=4)

    def test_drag_stops_at_the_screen_edge_and_follows_at_once_on_the_way_back(self):
        run = self.launch()
        # Grabbed 20 pixels right of the window's left edge, then pushed to
        # the screen's left edge: the window stops at x = 0...
        self.drag(run, [(120, 120), (60, 120), (20, 120), (5, 120)])
        self.wait_position(run, 0, 100)
        # ...and follows the cursor's way back at once, without first
        # waiting for the cursor to regain its 20 pixels.
        run.mouse("mousemove", 30, 120)
        time.sleep(0.2)
        run.mouse("mousemove", 60, 120)
        time.sleep(0.2)
        run.mouse("mouseup", 1)
        self.wait_position(run, 55, 100)

    def test_drag_past_the_right_edge_stops_there(self):
        run = self.launch()
        self.drag(run, [(120, 120), (600, 120), (1000, 120), (SCREEN_WIDTH - 1, 120)])
        run.mouse("mouseup", 1)
        self.wait_position(run, SCREEN_WIDTH - 60, 100)


class MenuAndDialogs(DesktopTest):
    def open_config(self, run):
        run.right_click_menu(["Down", "Return"])
        self.assertTrue(run.dialog("Dialog"), "the Config dialog did not open")
        time.sleep(0.3)

    def type_frequency(self, run, text, focus_on_ok=True):
        # Tab order: OK, Cancel, field. Focus starts on OK and stays in the
        # field after a refused value; tabbing into the field selects its text.
        tabs = ["Tab", "Tab"] if focus_on_ok else ["Tab", "Tab", "Tab"]
        keys = tabs + (list(text) if text else ["BackSpace"]) + ["Return"]
        run.type_keys(*keys)
        time.sleep(0.5)

    def test_config_five_saves_it_and_ticks_five_times_a_second(self):
        run = self.launch(settings=settings_bytes(10, 100, 100))
        self.open_config(run)
        self.type_frequency(run, "5")
        self.assertTrue(wait_for(lambda: not window_shown("Dialog"), 3), "the Config dialog stayed open")
        self.wait_settings(run, (5, 100, 100), timeout=4)
        before = run.collects()
        time.sleep(4)
        rate = (run.collects() - before) / 4
        self.assertTrue(3.5 <= rate <= 6, "%.1f collects per second at rate 5" % rate)

    def test_config_refuses_zero_eleven_and_nothing_then_cancel_changes_nothing(self):
        run = self.launch(settings=settings_bytes(10, 100, 100))
        self.open_config(run)
        for i, text in enumerate(["0", "11", ""]):
            self.type_frequency(run, text, focus_on_ok=i == 0)
            self.assertTrue(window_shown("Dialog"), "the dialog closed on %r" % text)
        run.type_keys("Escape")
        self.assertTrue(wait_for(lambda: not window_shown("Dialog"), 3))
        time.sleep(2.5)
        with open(run.cfg, "rb") as f:
            self.assertEqual(parse_settings(f.read()), (10, 100, 100))

    def test_about_opens_and_closes_with_ok(self):
        run = self.launch(settings=settings_bytes(10, 100, 100))
        run.right_click_menu(["Down", "Down", "Return"])
        self.assertTrue(run.dialog("About"), "the About dialog did not open")
        run.type_keys("Return")
        self.assertTrue(wait_for(lambda: not window_shown("About"), 3))
        self.assertIsNone(run.process.poll())
        self.assertEqual(run.settings(), (10, 100, 100))

    def test_exit_ends_with_code_zero_and_keeps_a_last_second_move(self):
        run = self.launch(settings=settings_bytes(10, 100, 100))
        self.drag(run, [(120, 120), (150, 140), (170, 160)])
        run.mouse("mouseup", 1)
        self.wait_position(run, 150, 140)
        self.assertEqual(run.exit_through_menu(10), 0)
        self.assertEqual(run.settings(), (10, 150, 140))


class HostileDesktop(DesktopTest):
    def test_settings_file_locked_at_start_keeps_its_bytes(self):
        stored = settings_bytes(3, 200, 150)
        run = self.prepare(settings=stored)
        holder = self.hold_settings(run, 3000)
        run.start()
        self.assertIsNone(holder.poll(), "the lock ended before plix showed its window")
        self.assertEqual(run.geometry()[:2], (100, 100), "plix did not start on the defaults")
        self.assertEqual(holder.wait(10), 0)
        # Saves fall due a little over a second apart; several come and go.
        time.sleep(4.5)
        self.assertIsNone(run.process.poll())
        with open(run.cfg, "rb") as f:
            self.assertEqual(f.read(), stored)

    def test_exit_takes_the_window_away_at_once_while_the_last_save_waits_for_a_held_file(self):
        run = self.prepare(settings=settings_bytes(10, 100, 100))
        self.hold_settings(run, 20000)
        self.drag(run.start(), [(120, 120), (150, 140), (170, 160)])
        run.mouse("mouseup", 1)
        self.wait_position(run, 150, 140)
        run.right_click_menu(["Up", "Return"])
        self.assertTrue(wait_for(lambda: run.find_window() is None, 0.5, 0.01), "the window lingered after Exit")
        # The last save tries to replace the held plix.cfg for about a second.
        self.assertIsNone(run.process.poll(), "plix ended before its last save")
        self.assertEqual(run.wait_exit(10), 0)

    def test_plix_in_a_folder_it_cannot_write_keeps_its_settings_per_user(self):
        stored = settings_bytes(10, 300, 300)
        run = self.prepare(settings=stored)
        per_user = per_user_settings_folder()
        shutil.rmtree(per_user, ignore_errors=True)
        self.addCleanup(shutil.rmtree, per_user, True)
        for name in ("collects.txt", "wine.log"):  # the test run's own, made before the lock
            open(os.path.join(run.folder, name), "ab").close()
        with unwritable(run.folder):
            run.start()
            self.drag(run, [(320, 320), (370, 340), (420, 370)])
            run.mouse("mouseup", 1)
            self.wait_position(run, 400, 350)
            self.assertEqual(run.exit_through_menu(10), 0)
            run.start()
            self.assertEqual(run.geometry()[:2], (400, 350))
        self.assertEqual(run.settings(), parse_settings(stored))
        with open(os.path.join(per_user, "plix.cfg"), "rb") as f:
            self.assertEqual(parse_settings(f.read()), (10, 400, 350))

    def test_logoff_right_after_a_move_keeps_the_move(self):
        run = self.launch(settings=settings_bytes(10, 100, 100))
        self.drag(run, [(120, 120), (150, 140), (170, 160)])
        run.mouse("mouseup", 1)
        # Seen saved, the first move leaves the throttle about a second before
        # it lets the next save through: the second move and the logoff fall
        # inside it.
        self.wait_settings(run, (10, 150, 140))
        run.mouse("mousemove", 170, 160, "mousedown", 1, "sleep", 0.1, "mousemove", 200, 190, "mouseup", 1)
        self.wait_position(run, 180, 170, timeout=1)
        self.assertEqual(run.tool("end-session"), 0, "plix did not take the logoff")
        self.assertIsNotNone(run.wait_exit(5))
        self.assertEqual(run.settings(), (10, 180, 170))


class CounterFailures(DesktopTest):
    def test_counters_that_need_two_collects_never_show_the_red_cross_nor_reopen(self):
        run = self.launch()
        self.assertEqual(run.screenshot().count(RED), 0)
        # The red cross comes only after a reopen. Two queries: the one plix
        # keeps and the one that lists the processors.
        self.assertTrue(wait_for(lambda: run.collects() >= 20, 10), "too few collects")
        self.assertEqual(run.opens(), 2)

    def test_without_any_counter_one_strip_shows_the_red_cross_and_exit_closes_it(self):
        run = self.launch(env={"PLIX_NO_COUNTERS": "1"})
        _, _, width, height = run.geometry()
        self.assertEqual((width, height), (60, 40))
        self.assertTrue(wait_for(lambda: run.screenshot().count(RED, (1, 1, 59, 39)) >= 2 * 38 - 2, 5),
                        "no red cross")
        self.assertEqual(run.exit_through_menu(10), 0)

    def recorded_proc(self):
        """A folder with copies of /proc/stat and /proc/meminfo for the provider to read."""
        proc = tempfile.mkdtemp(prefix="plix-proc-")
        self.addCleanup(shutil.rmtree, proc, True)
        for name in ("stat", "meminfo"):
            with open("/proc/" + name) as src, open(os.path.join(proc, name), "w") as dst:
                dst.write(src.read())
        return proc

    def test_a_gone_processor_crosses_out_its_own_strip_alone_without_a_reopen_and_comes_back(self):
        proc = self.recorded_proc()
        stat = os.path.join(proc, "stat")
        with open(stat) as f:
            text = f.read()
        run = self.launch(env={"PLIX_PROC_DIR": PlixRun.windows_path(proc)})
        _, _, width, height = run.geometry()
        cpu0, rest = (1, 1, width - 1, 41), (1, 41, width - 1, height - 1)
        self.assertTrue(wait_for(lambda: run.collects() >= 5, 5), "too few collects")
        opens = run.opens()

        write_whole(stat, "".join(line for line in text.splitlines(True) if not line.startswith("cpu0 ")))
        self.assertTrue(wait_for(lambda: run.screenshot().count(RED, cpu0) >= 2 * 56, 5), "no cross over cpu0")
        time.sleep(4)  # more than one try to add it again
        self.assertEqual(run.screenshot().count(RED, rest), 0)
        self.assertEqual(run.opens(), opens, "the query was opened again for one counter")

        write_whole(stat, text)
        self.assertTrue(wait_for(lambda: run.screenshot().count(RED, cpu0) == 0, 8), "cpu0 stayed crossed out")

    def test_unreadable_proc_reopens_once_a_second_and_readings_come_back_after_a_refused_open(self):
        proc = self.recorded_proc()
        refuse = proc + "-refuse-open"
        self.addCleanup(lambda: os.path.exists(refuse) and os.remove(refuse))
        run = self.launch(env={"PLIX_PROC_DIR": PlixRun.windows_path(proc),
                               "PLIX_REFUSE_OPEN": PlixRun.windows_path(refuse)})
        _, _, width, height = run.geometry()
        inside = (1, 1, width - 1, height - 1)
        self.assertEqual(run.screenshot().count(RED, inside), 0)

        hidden = proc + "-hidden"
        open(refuse, "w").close()
        os.rename(proc, hidden)
        self.addCleanup(lambda: os.path.isdir(hidden) and os.rename(hidden, proc))
        self.assertTrue(wait_for(lambda: run.screenshot().count(RED, inside) > height, 5),
                        "no red cross while /proc cannot be read")
        time.sleep(1.5)  # the reopens' opens are refused

        os.remove(refuse)
        opens = run.opens()
        time.sleep(3)
        self.assertIn(run.opens() - opens, range(1, 5), "at ten samples a second, about one reopen a second")

        os.rename(hidden, proc)
        self.assertTrue(wait_for(lambda: run.screenshot().count(RED, inside) == 0, 6),
                        "the red cross stayed after /proc came back")
        # The reopened query's processors have a value from its second collect on.
        self.assertTrue(wait_for(lambda: any(dark(run.screenshot().pixel(x, y)) for y in range(1, 14)
                                             for x in range(1, 40)), 3), "no label on cpu0")

    def test_a_pause_of_a_few_seconds_puts_no_spike_on_an_idle_desk(self):
        # Processors idle 50 ms a step; while plix is stopped they count
        # busy time only, as Windows does over a sleep that no processor
        # counted idle time in. The collect that spans the pause reads them
        # nearly all busy, and must only prime.
        proc = self.recorded_proc()
        count = processor_count()
        times = {"busy": [0] * count, "idle": [0] * count}
        paused, stop = threading.Event(), threading.Event()

        def step():
            share = times["busy" if paused.is_set() else "idle"]
            for k in range(count):
                share[k] += 5
            write_whole(os.path.join(proc, "stat"), stat_text(times["busy"], times["idle"]))

        step()
        writer = threading.Thread(target=lambda: [step() for _ in iter(lambda: stop.wait(0.05), True)])
        writer.start()
        self.addCleanup(writer.join)
        self.addCleanup(stop.set)
        run = self.launch(env={"PLIX_PROC_DIR": PlixRun.windows_path(proc)})
        time.sleep(3)
        pid = int(subprocess.run(["xprop", "-id", run.window, "_NET_WM_PID"], capture_output=True,
                                 text=True).stdout.split("=")[-1])
        os.kill(pid, signal.SIGSTOP)
        paused.set()
        time.sleep(3)
        paused.clear()
        os.kill(pid, signal.SIGCONT)
        time.sleep(2)
        shot = run.screenshot()
        for k in range(count):
            # The strip's own rows, between the foot of the one above and its own.
            self.assertEqual(shot.count(BAR, (30, 40 * k + 2, 59, 40 * k + 41)), 0, "a spike on cpu%d" % k)


if __name__ == "__main__":
    unittest.main()
