"""The desktops plix's users really have: more processors than one column of
strips can hold, and two monitors side by side."""

import os
import shutil
import subprocess
import tempfile
import time

from plixdesk import Display, many_processors, settings_bytes, wait_for
from test_desktop import BACKGROUND, DesktopTest, dark


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


class TwoMonitors(DesktopTest):
    """Two 1280 x 1024 heads, the second right of the first. Wine keeps the
    monitors it saw first for as long as its server runs, so these tests get
    a copy of the test prefix with a server of its own."""

    @classmethod
    def setUpClass(cls):
        cls.saved = {name: os.environ[name] for name in ("DISPLAY", "WINEPREFIX")}
        cls.logs = tempfile.mkdtemp(prefix="plix-heads-")
        cls.display = Display(110, cls.logs, ("1280x1024", "1280x1024"), window_manager=True)
        prefix = cls.saved["WINEPREFIX"] + "-heads"
        shutil.rmtree(prefix, ignore_errors=True)
        shutil.copytree(cls.saved["WINEPREFIX"], prefix, symlinks=True)
        os.environ.update(DISPLAY=cls.display.name, WINEPREFIX=prefix)
        cls.wine("wineserver", "-p")
        # With XRandR, Wine sees the heads as one monitor.
        cls.wine("wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "UseXRandR", "/d", "N", "/f")

    @classmethod
    def tearDownClass(cls):
        cls.wine("wineserver", "-k")
        shutil.rmtree(os.environ["WINEPREFIX"], ignore_errors=True)
        os.environ.update(cls.saved)
        cls.display.stop()

    @classmethod
    def wine(cls, *args):
        with open(os.path.join(cls.logs, "wine.log"), "ab") as log:
            subprocess.run(args, stdin=subprocess.DEVNULL, stdout=log, stderr=log, check=True)

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
