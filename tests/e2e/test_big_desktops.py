"""The desktops plix's users really have: more processors than one column of
strips can hold, two monitors side by side, and a display scaled to 150%."""

import os
import tempfile
import time

from plixdesk import (Display, OwnPrefix, many_processors, scaled_prefix, settings_bytes, still_loads,
                      wait_for)
from test_desktop import BACKGROUND, BAR, DesktopTest, dark


class ManyProcessors(DesktopTest):
    def test_strips_that_outgrow_the_screen_stand_in_columns_each_whole(self):
        # 33 strips on a 768-pixel screen: 19 rows fit, so two columns of 17.
        run = self.prepare(settings=settings_bytes(10, 100, 50))
        run.env.update(many_processors(32, os.path.join(run.folder, "proc")))
        run.start()
        x, y, width, height = run.geometry()
        self.assertEqual((x, y, width, height), (100, 50, 119, 680))
        time.sleep(1)
        image = run.screenshot()
        self.assertEqual(image.count(BACKGROUND, (59, 1, 60, height - 1)), 0, "no line between the columns")
        for strip in range(33):
            left, top = 1 + 59 * (strip // 17), 1 + 40 * (strip % 17)
            label = sum(1 for yy in range(top, top + 13) for xx in range(left, left + 57)
                        if dark(image.pixel(xx, yy)))
            self.assertGreater(label, 10, "no label on strip %d" % strip)


    def test_every_processor_of_two_nodes_stands_where_its_key_name_sorts(self):
        # 128 processors in two NUMA nodes of 64, as Windows puts them in two
        # processor groups: 129 strips in seven balanced columns, 19 rows
        # fitting the 768-pixel screen. Only processor 5 of node 1 (Linux
        # cpu 69, so key name cpu69) is busy.
        run = self.prepare(settings=settings_bytes(10, 0, 0))
        proc = os.path.join(run.folder, "proc")
        run.env.update(many_processors(128, proc, nodes=[64, 64]))
        still_loads(proc, [1.0 if k == 69 else 0.0 for k in range(128)])
        run.start()
        self.assertEqual(run.geometry(), (0, 0, 1 + 59 * 7, 760))
        self.assertTrue(wait_for(lambda: run.collects() >= 30, 20), "too few collects")
        image = run.screenshot()
        keys = sorted(["cpu%d" % k for k in range(128)] + ["mem"])
        # The first 129 % 7 = 3 columns hold 19 strips, the others 18.
        cells = [(c, r) for c in range(7) for r in range(19 if c < 3 else 18)]
        for key, (column, row) in zip(keys, cells):
            left, top = 1 + 59 * column, 1 + 40 * row
            label = sum(1 for y in range(top, top + 13) for x in range(left, left + 40) if dark(image.pixel(x, y)))
            self.assertGreater(label, 10, "no label on %s's strip" % key)
            if key.startswith("cpu"):
                # The newest bar that shows, below the label: full for the
                # busy processor, only its foot pixel on the next strip's
                # top row for the idle ones.
                bar = sum(1 for y in range(top + 14, top + 39) if image.pixel(left + 57, y) == BAR)
                self.assertEqual(bar, 25 if key == "cpu69" else 0, key)

    def test_sixteen_processors_of_one_node_keep_their_single_column(self):
        run = self.prepare(settings=settings_bytes(10, 100, 50))
        run.env.update(many_processors(16, os.path.join(run.folder, "proc"), nodes=[16]))
        run.start()
        self.assertEqual(run.geometry(), (100, 50, 60, 680))


class TwoMonitors(DesktopTest):
    """Two 1280 x 1024 heads, the second right of the first, in a prefix of
    their own."""

    @classmethod
    def setUpClass(cls):
        logs = tempfile.mkdtemp(prefix="plix-heads-")
        cls.display = Display(110, logs, ("1280x1024", "1280x1024"), window_manager=True)
        # With XRandR, Wine sees the heads as one monitor.
        cls.prefix = OwnPrefix("heads", logs, cls.display.name,
                               [(r"HKCU\Software\Wine\X11 Driver", "UseXRandR", "REG_SZ", "N")])

    @classmethod
    def tearDownClass(cls):
        cls.prefix.close()
        cls.display.stop()

    def test_a_window_on_the_second_monitor_stays_there(self):
        run = self.launch(settings=settings_bytes(10, 1400, 100))
        # Every tick places the window before it collects: a few collects
        # past the first paint's are a few ticks that left it alone.
        shown = run.collects()
        self.assertTrue(wait_for(lambda: run.collects() >= shown + 3, 10), "no tick")
        self.assertEqual(run.geometry()[:2], (1400, 100))
        self.assertEqual(run.settings(), (10, 1400, 100))

    def test_a_drag_carries_the_window_onto_the_second_monitor(self):
        run = self.launch(settings=settings_bytes(10, 1100, 100))
        self.drag(run, [(1120, 120), (1200, 120), (1300, 130), (1400, 140)])
        run.mouse("mouseup", 1)
        self.wait_position(run, 1380, 120)
        self.wait_settings(run, (10, 1380, 120))


class DisplayScale(DesktopTest):
    """A laptop at 150%: Wine's scale at 144 DPI, in a prefix of its own."""

    @classmethod
    def setUpClass(cls):
        cls.prefix = scaled_prefix(144, tempfile.mkdtemp(prefix="plix-scale-"))

    @classmethod
    def tearDownClass(cls):
        cls.prefix.close()

    def test_at_150_percent_the_strips_bars_and_labels_are_the_100_percent_picture_grown(self):
        run = self.prepare(settings=settings_bytes(10, 100, 100))
        proc = os.path.join(run.folder, "proc")
        run.env.update(many_processors(2, proc))
        still_loads(proc, [1.0, 0.5])
        run.start()
        # Three 90 x 60 strips; 88 of a strip's columns show inside the border.
        self.assertEqual(run.geometry(), (100, 100, 90, 180))
        self.assertTrue(wait_for(lambda: run.collects() >= 60, 20), "too few collects")
        first = run.collects()
        image = run.screenshot()
        for strip in range(3):
            top = 1 + 60 * strip
            label = [(x, y) for y in range(top, top + 20) for x in range(1, 89) if dark(image.pixel(x, y))]
            self.assertGreater(len(label), 40, "no label on strip %d" % strip)
            # A label that fits leaves the last column that shows blank.
            self.assertLess(max(x for x, _ in label), 88, "strip %d's label is cut at the border" % strip)
        # The newest bars, in the last column that shows: cpu0's the whole
        # strip high, cpu1's half of it (below the two foot rows of cpu0's).
        for strip, rows, green in ((0, range(1, 61), 60), (1, range(63, 121), 30)):
            self.assertEqual(sum(1 for y in rows if image.pixel(88, y) == BAR), green, "strip %d's bar" % strip)
        # A mean stands on one or two columns, not one: about 1.5 a mean.
        # Counted between two screenshots, since a few collects at start
        # feed no gauge; a run of six samples makes a mean.
        columns = [sum(1 for x in range(1, 89) if image.pixel(x, 60) == BAR)]
        self.assertTrue(wait_for(lambda: run.collects() >= first + 90, 20), "too few collects")
        means = (run.collects() - first) // 6
        columns.append(sum(1 for x in range(1, 89) if run.screenshot().pixel(x, 60) == BAR))
        self.assertGreaterEqual(columns[1] - columns[0], 3 * means // 2 - 3, "%r columns, %d means" % (columns, means))
