"""Drives the real plix.exe under Wine on an X display, the way a user meets it.

Each PlixRun gets a folder of its own holding a copy of plix.exe (and, if
asked, a prepared plix.cfg), starts plix there, finds its window, and stops
everything it started on close(). The Linux counter provider is the Wine
prefix's system32 pdh.dll (install_provider), never a file beside plix.exe.
Wine's output goes to files, never to pipes: Wine's helper processes inherit
them and would keep a pipe open forever.
"""

import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time

MAGIC = 0xC078AEED


def settings_bytes(frequency, x, y):
    return struct.pack("<IIiii", MAGIC, 1, frequency, x, y)


def parse_settings(data):
    if len(data) != 20:
        return None
    magic, version, frequency, x, y = struct.unpack("<IIiii", data)
    if magic != MAGIC or version != 1:
        return None
    return frequency, x, y


def install_provider(pdh_dll, prefix=None):
    """Copies the counter provider over system32's pdh.dll of the Wine prefix,
    which must be one that plix's scripts made (they mark it)."""
    prefix = prefix or os.environ.get("WINEPREFIX", "")
    if not any(os.path.exists(os.path.join(prefix, marker)) for marker in (".plix-owned", ".plix-ready")):
        raise SystemExit("refusing Wine prefix %r: not one that plix made" % prefix)
    shutil.copy(pdh_dll, os.path.join(prefix, "drive_c", "windows", "system32", "pdh.dll"))


def run(args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kwargs).stdout


def wait_for(predicate, timeout, step=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            return value
        time.sleep(step)


class Image:
    """An RGB screenshot with pixel access."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def count(self, colour, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        return sum(1 for y in range(y0, y1) for x in range(x0, x1) if self.pixel(x, y) == colour)


class PlixRun:
    def __init__(self, plix_exe, settings=None, env=None):
        self.folder = tempfile.mkdtemp(prefix="plix-e2e-")
        shutil.copy(plix_exe, self.folder)
        self.cfg = os.path.join(self.folder, "plix.cfg")
        if settings is not None:
            with open(self.cfg, "wb") as f:
                f.write(settings)
        self.collect_log = os.path.join(self.folder, "collects.txt")
        self.env = dict(os.environ)
        self.env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winemenubuilder.exe=d;pdh=n"
        self.env["PLIX_COLLECT_LOG"] = self.windows_path(self.collect_log)
        self.env.update(env or {})
        self.log = open(os.path.join(self.folder, "wine.log"), "wb")
        self.process = None
        self.window = None

    @staticmethod
    def windows_path(path):
        return "Z:" + os.path.abspath(path).replace("/", "\\")

    def start(self, expect_window=True):
        self.process = subprocess.Popen(
            ["wine", os.path.join(self.folder, "plix.exe")],
            cwd=self.folder, env=self.env, stdin=subprocess.DEVNULL,
            stdout=self.log, stderr=subprocess.STDOUT, start_new_session=True)
        if expect_window:
            self.window = wait_for(self.find_window, 20)
            if not self.window:
                raise AssertionError("plix showed no window; log: " + self.read_log())
        return self

    def find_window(self):
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid),
                              "--name", "^plix$"],
                             capture_output=True, text=True).stdout.split()
        return out[0] if out else None

    def read_log(self):
        self.log.flush()
        with open(self.log.name, "rb") as f:
            return f.read().decode(errors="replace")[-2000:]

    # What the user sees.

    def geometry(self):
        """Outer rectangle (x, y, width, height) of the main window, from xwininfo."""
        info = run(["xwininfo", "-id", self.window])
        fields = {}
        for line in info.splitlines():
            if ":" in line:
                key, _, value = line.strip().partition(":")
                fields[key.strip()] = value.strip()
        return (int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                int(fields["Width"]), int(fields["Height"]))

    def screenshot(self, path=None):
        x, y, w, h = self.geometry()
        raw = os.path.join(self.folder, "shot.rgb")
        run(["import", "-silent", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y),
             "-depth", "8", "rgb:" + raw])
        if path:
            run(["import", "-silent", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y), path])
        with open(raw, "rb") as f:
            return Image(w, h, f.read())

    def settings(self):
        try:
            with open(self.cfg, "rb") as f:
                return parse_settings(f.read())
        except FileNotFoundError:
            return None

    def collects(self):
        try:
            with open(self.collect_log) as f:
                return int(f.read().strip() or 0)
        except (FileNotFoundError, ValueError):
            return 0

    # What the user does.

    def mouse(self, *args):
        run(["xdotool"] + [str(a) for a in args])

    def right_click_menu(self, keys):
        x, y, _, _ = self.geometry()
        self.mouse("mousemove", x + 20, y + 20, "click", 3)
        time.sleep(0.4)
        run(["xdotool", "key", "--delay", "80"] + keys)

    def dialog(self, title):
        return wait_for(lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
            capture_output=True, text=True).stdout.split(), 5)

    def type_keys(self, *keys):
        run(["xdotool", "key", "--delay", "60"] + list(keys))

    # Ending.

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def close(self):
        if self.process and self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait(10)
        self.log.close()
        shutil.rmtree(self.folder, ignore_errors=True)
