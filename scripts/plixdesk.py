"""Drives the real plix.exe under Wine on an X display, the way a user meets
it: shared by the desktop tests, the bench and the run command.

It knows plix.cfg's bytes and where plix keeps it per user, the window's
size, how to make a folder unwritable, recorded /proc files of a machine
with many processors and the loads written into them (still, moving in
waves, or stepped: busy or idle), how to start plix and find its window,
the right-click menu, screenshots and pixels, a process's resident
memory, and private Xvfb displays. Each PlixRun starts plix in a
folder holding a copy of plix.exe (and, if asked, a prepared plix.cfg), and
stops everything it started on close(). The Linux counter provider is the
Wine prefix's system32 pdh.dll (install_provider), never a file beside
plix.exe. The Wine settings (WINEPREFIX, WINEDLLOVERRIDES) come from the
environment that scripts/lib.sh sets up.

Wine's output goes to files, never to pipes: Wine's helper processes inherit
them and would keep a pipe open forever.

Run as a program, it is the run command's headless look at plix:
  plixdesk.py show FOLDER SCREENSHOT LOG
starts FOLDER/plix.exe with Wine's output in LOG, lets it run for ten
seconds, saves a screenshot and exits plix through its menu, so that its
settings are saved. And
  plixdesk.py scale-picture PLIX_EXE PICTURE
makes the README's picture of plix at 100% and at 200%.
"""

import contextlib
import getpass
import math
import os
import random
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time

MAGIC = 0xC078AEED
WINDOW_WIDTH = 60
STRIP_HEIGHT = 40


def settings_bytes(frequency, x, y):
    return struct.pack("<IIiii", MAGIC, 1, frequency, x, y)


def parse_settings(data):
    if len(data) != 20:
        return None
    magic, version, frequency, x, y = struct.unpack("<IIiii", data)
    if magic != MAGIC or version != 1:
        return None
    return frequency, x, y


def per_user_settings_folder(prefix=None):
    """Where plix keeps its settings when it cannot write its own folder:
    plix in the Wine user's LOCALAPPDATA, C:\\users\\USER\\AppData\\Local."""
    prefix = prefix or os.environ.get("WINEPREFIX", "")
    return os.path.join(prefix, "drive_c", "users", getpass.getuser(), "AppData", "Local", "plix")


@contextlib.contextmanager
def unwritable(folder):
    """No file can be added to or removed from the folder while this lasts,
    not even by root: it is immutable (chattr +i, so this needs root). Its
    files can still be written in place."""
    run(["chattr", "+i", folder])
    try:
        yield folder
    finally:
        run(["chattr", "-i", folder])


def processor_count():
    """Logical processors as /proc/stat lists them: plix shows one strip each."""
    with open("/proc/stat") as f:
        return sum(1 for line in f if line.startswith("cpu") and line[3].isdigit())


def window_size():
    """plix's window: a strip per processor and one for memory."""
    return WINDOW_WIDTH, STRIP_HEIGHT * (processor_count() + 1)


# Wine 8 keeps GetSystemInfo's processor count in a byte: from 256 on, a
# preloaded count reads modulo 256 (256 as 0, 300 as 44). Up to 255 it
# reads as set, though past 64 it is more than Windows ever reports for one
# processor group, beside a mask of 64 bits.
MAX_PRELOADED_PROCESSORS = 255


def write_whole(path, text):
    """Replaces a file whole, so that a reader never sees half of it."""
    fresh = path + ".new"
    with open(fresh, "w") as f:
        f.write(text)
    os.replace(fresh, path)


def cpu_list(first, count):
    """Linux's list format for `count` cpus from `first` on."""
    if count == 0:
        return "\n"
    return "%d\n" % first if count == 1 else "%d-%d\n" % (first, first + count - 1)


def copied_host_stat(count):
    """The host's /proc/stat with its cpuK lines replaced by `count` of
    them, line K copying the host's processor K modulo the host's count, and
    the all-processor line their sum."""
    with open("/proc/stat") as f:
        lines = f.read().splitlines()
    host_cpus = [line.split()[1:] for line in lines if line.startswith("cpu") and line[3].isdigit()]
    # Host processor j stands for every processor K with K % len(host_cpus) == j.
    rounds, rest = divmod(count, len(host_cpus))
    copies = [rounds + (j < rest) for j in range(len(host_cpus))]
    total = [str(sum(copies[j] * int(cpu[i]) for j, cpu in enumerate(host_cpus)))
             for i in range(len(host_cpus[0]))]
    times = [" ".join(cpu) for cpu in host_cpus]
    stat = ["cpu  " + " ".join(total)] + ["cpu%d %s" % (k, times[k % len(times)]) for k in range(count)]
    stat += [line for line in lines if not line.startswith("cpu")]
    return "\n".join(stat) + "\n"


def copy_host_times(count, folder):
    """Writes into `folder` the host's present /proc/stat as `count`
    processors (copied_host_stat) and its /proc/meminfo, each replaced
    whole. The provider shows a processor's load over the last interval in
    which its times moved, and for files that never change that is the
    average since boot: a still bar. A caller that wants live bars calls
    this once per tick."""
    with open("/proc/meminfo") as f:
        meminfo = f.read()
    os.makedirs(folder, exist_ok=True)
    write_whole(os.path.join(folder, "stat"), copied_host_stat(count))
    write_whole(os.path.join(folder, "meminfo"), meminfo)


def many_processors(count, folder, library=None, nodes=None):
    """Makes a Wine program see `count` processors on this machine; returns
    the environment additions that do it.

    Writes `stat` and `meminfo` into `folder` (copy_host_times): the host's
    files, with `count` cpu lines copying the host's processors' times.
    Calling this or copy_host_times again with the same folder copies the
    host's present times. The preloaded library (`library`, or else the one
    PLIX_PROCESSOR_COUNT_LIBRARY names: the build's tools/processor_count.so)
    makes Wine count `count` processors; PLIX_PROC_DIR points the provider at
    the folder. For more than MAX_PRELOADED_PROCESSORS it is left out, and
    Wine counts the host's own.

    `nodes`, processor counts per NUMA node adding up to `count` ([64, 64]),
    writes the recorded sysfs copy `node/nodeK/cpulist` beside them, each
    node holding the next cpus in order. Without it no node is written (and
    one left by an earlier call is removed): the provider then takes one
    node."""
    if nodes is not None and sum(nodes) != count:
        raise ValueError("nodes %r do not add up to %d processors" % (nodes, count))
    copy_host_times(count, folder)
    node_folder = os.path.join(folder, "node")
    if nodes is None:
        shutil.rmtree(node_folder, ignore_errors=True)
    for k, size in enumerate(nodes or []):
        os.makedirs(os.path.join(node_folder, "node%d" % k), exist_ok=True)
        write_whole(os.path.join(node_folder, "node%d" % k, "cpulist"), cpu_list(sum(nodes[:k]), size))
    env = {"PLIX_PROC_DIR": windows_path(folder)}
    if count > MAX_PRELOADED_PROCESSORS:
        return env
    library = library or os.environ.get("PLIX_PROCESSOR_COUNT_LIBRARY", "")
    if not os.path.isfile(library):
        raise SystemExit("no processor count library at %r: build the processor_count target" % library)
    env.update({"LD_PRELOAD": os.path.abspath(library), "PLIX_PROCESSORS": str(count)})
    return env


def stat_text(busy, idle):
    """A stat file of processors whose cumulative times, in clock ticks, are
    busy[K] busy and idle[K] idle, with the all-processor line their sum."""
    lines = ["cpu  %d 0 0 %d 0 0 0 0 0 0" % (sum(busy), sum(idle))]
    lines += ["cpu%d %d 0 0 %d 0 0 0 0 0 0" % (k, b, i) for k, (b, i) in enumerate(zip(busy, idle))]
    return "\n".join(lines) + "\n"


def still_loads(folder, loads):
    """Rewrites the stat file that many_processors wrote in `folder` with
    processors whose load never moves: processor K busy loads[K] (0 to 1) of
    the time since boot, which is what the provider then shows."""
    busy = [round(1000 * load) for load in loads]
    write_whole(os.path.join(folder, "stat"), stat_text(busy, [1000 - b for b in busy]))


class SteppedLoads:
    """The times of `count` processors under a load, advanced a step at a
    time: each step every processor gains STEP_TICKS clock ticks, a part of
    them busy. The provider shows a processor's busy share over the interval
    between two readings whose total moved, so a reader that comes once or
    more a step sees each step's share, in whole percents.

    "busy": every processor a random share, 0 to 100 %, every step, so each
    reading differs from the last: the worst case for a gauge.
    "idle": a desktop at rest: each processor 0 to 2 % a step, but now and
    then one bursts to a random 20 to 100 % for BURST_STEPS steps, so that
    about one processor in BURST_SHARE is in a burst at any time.

    The same seed gives the same loads."""

    KINDS = ("busy", "idle")
    STEP_TICKS = 1000
    IDLE_TICKS = 20
    BURST_TICKS = (200, 1000)
    BURST_STEPS = (6, 16)
    BURST_SHARE = 50

    def __init__(self, kind, count, seed=0):
        if kind not in self.KINDS:
            raise ValueError("no load %r" % kind)
        self.kind, self.count = kind, count
        self.random = random.Random(seed)
        self.busy = [0] * count
        self.idle = [0] * count
        # Steps left of each processor's burst, and its busy ticks a step.
        self.burst_left = [0] * count
        self.burst_ticks = [0] * count
        mean_steps = sum(self.BURST_STEPS) / 2
        self.burst_chance = 1.0 / (self.BURST_SHARE * mean_steps)

    def busy_parts(self):
        """Busy ticks of each processor for one step."""
        rand = self.random.random
        if self.kind == "busy":
            return [int(rand() * (self.STEP_TICKS + 1)) for _ in range(self.count)]
        parts = []
        for k in range(self.count):
            if not self.burst_left[k] and rand() < self.burst_chance:
                self.burst_left[k] = self.random.randint(*self.BURST_STEPS)
                self.burst_ticks[k] = self.random.randint(*self.BURST_TICKS)
            if self.burst_left[k]:
                self.burst_left[k] -= 1
                parts.append(self.burst_ticks[k])
            else:
                parts.append(int(rand() * (self.IDLE_TICKS + 1)))
        return parts

    def step(self):
        """Advances every processor by one step; returns the stat file's text."""
        for k, part in enumerate(self.busy_parts()):
            self.busy[k] += part
            self.idle[k] += self.STEP_TICKS - part
        return stat_text(self.busy, self.idle)


def resident_kib(pid):
    """VmRSS of a process, or None once it is gone."""
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except (FileNotFoundError, ProcessLookupError):
        pass
    return None


def install_provider(pdh_dll, prefix=None):
    """Copies the counter provider over system32's pdh.dll of the Wine prefix,
    which must be one that plix's scripts made (they mark it)."""
    prefix = prefix or os.environ.get("WINEPREFIX", "")
    if not os.path.exists(os.path.join(prefix, ".plix-owned")):
        raise SystemExit("refusing Wine prefix %r: not one that plix made" % prefix)
    shutil.copy(pdh_dll, os.path.join(prefix, "drive_c", "windows", "system32", "pdh.dll"))


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kwargs).stdout


def start_quietly(args, log_path, cwd=None, env=None):
    """Starts a program in a session of its own, its output appended to a file."""
    with open(log_path, "ab") as log:
        return subprocess.Popen(args, cwd=cwd, env=env, stdin=subprocess.DEVNULL, stdout=log,
                                stderr=subprocess.STDOUT, start_new_session=True)


def kill(process):
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGKILL)
    process.wait(10)


def desktool(*args):
    """The command that runs the desktop tests' helper under Wine
    (tests/e2e/tools/desktool.cpp, built where PLIX_DESKTOOL says)."""
    return ["wine", os.environ.get("PLIX_DESKTOOL", "desktool.exe")] + [str(a) for a in args]


def wait_for(predicate, timeout, step=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            return value
        time.sleep(step)


def visible_windows(*search, display=None):
    """Ids of the mapped windows that `xdotool search` finds."""
    env = dict(os.environ, DISPLAY=display) if display else None
    return subprocess.run(["xdotool", "search", "--onlyvisible"] + list(search),
                          env=env, capture_output=True, text=True).stdout.split()


def window_geometry(window, display=None):
    """Outer rectangle (x, y, width, height) of a window, from xwininfo."""
    env = dict(os.environ, DISPLAY=display) if display else None
    info = run(["xwininfo", "-id", window], env=env)
    fields = {}
    for line in info.splitlines():
        if ":" in line:
            key, _, value = line.strip().partition(":")
            fields[key.strip()] = value.strip()
    return (int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
            int(fields["Width"]), int(fields["Height"]))


def window_shown(title):
    return bool(visible_windows("--name", "^%s$" % title))


class Display:
    """A private X display on the first free display number from `first` up:
    an Xvfb of one screen, or, given several screen sizes, Xephyr with that
    many heads side by side (Xvfb gives Wine one monitor however many
    screens it has) on an Xvfb that holds it. With window_manager, openbox
    runs on it, so that dialogs get the keyboard and drags cross the heads."""

    taken = set()

    def __init__(self, first, log_dir, screens=("1024x768",), window_manager=False):
        number = first
        while (number in Display.taken or os.path.exists("/tmp/.X%d-lock" % number)
               or os.path.exists("/tmp/.X11-unix/X%d" % number)):
            number += 1
        Display.taken.add(number)
        self.name = ":%d" % number
        self.host = None
        self.window_manager = None
        log = os.path.join(log_dir, "x%d.log" % number)
        if len(screens) == 1:
            self.process = start_quietly(["Xvfb", self.name, "-screen", "0", screens[0] + "x24", "-nolisten", "tcp"],
                                         log)
        else:
            sizes = [[int(n) for n in screen.split("x")] for screen in screens]
            holder = "%dx%d" % (sum(w for w, _ in sizes), max(h for _, h in sizes))
            self.host = Display(number + 1, log_dir, (holder,))
            heads = [arg for screen in screens for arg in ("-screen", screen)]
            self.process = start_quietly(["Xephyr", self.name, "+xinerama"] + heads + ["-nolisten", "tcp"], log,
                                         env=dict(os.environ, DISPLAY=self.host.name))
        self.pid = self.process.pid
        if not wait_for(lambda: subprocess.run(["xdpyinfo", "-display", self.name], stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL).returncode == 0, 10, 0.1):
            raise RuntimeError("X display %s did not come up" % self.name)
        if window_manager:
            self.window_manager = start_quietly(["openbox"], log, env=dict(os.environ, DISPLAY=self.name))

    def visible_window(self, *search):
        found = visible_windows(*search, display=self.name)
        return found[0] if found else None

    def stop(self):
        for process in (self.window_manager, self.process):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    kill(process)
        if self.host:
            self.host.stop()
        Display.taken.discard(int(self.name[1:]))


class OwnPrefix:
    """A copy of the prefix WINEPREFIX names, provider and all, with a
    wineserver of its own, and the prefix (and `display`, when given) that
    os.environ names until close(). Wine keeps the monitors and the display
    scale it saw first for as long as its server runs, so each
    (key, name, type, data) in `registry` is set, and the server that set it
    waited out, before the server for the run starts."""

    def __init__(self, suffix, log_dir, display=None, registry=()):
        self.saved = {name: os.environ[name] for name in ("DISPLAY", "WINEPREFIX")}
        self.path = self.saved["WINEPREFIX"] + "-" + suffix
        self.log = os.path.join(log_dir, "wine-%s.log" % suffix)
        shutil.rmtree(self.path, ignore_errors=True)
        shutil.copytree(self.saved["WINEPREFIX"], self.path, symlinks=True)
        os.environ.update(WINEPREFIX=self.path, DISPLAY=display or self.saved["DISPLAY"])
        for key, name, kind, data in registry:
            self.wine("wine", "reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f")
        self.wine("wineserver", "-w")
        self.wine("wineserver", "-p")

    def wine(self, *args, check=True):
        with open(self.log, "ab") as log:
            subprocess.run(args, stdin=subprocess.DEVNULL, stdout=log, stderr=log, check=check)

    def close(self):
        self.wine("wineserver", "-k", check=False)
        shutil.rmtree(self.path, ignore_errors=True)
        os.environ.update(self.saved)


def scaled_prefix(dpi, log_dir):
    """A prefix of its own whose display scale is dpi (96 is 100%), as
    winecfg's "Screen resolution" sets it."""
    return OwnPrefix("dpi%d" % dpi, log_dir,
                     registry=[(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", dpi)])


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
    """plix.exe started in a temporary folder of its own, or in `folder`,
    which then stays. Unless count_collects is False, the provider counts
    plix's collects in collects.txt there, and its opened queries in
    opens.txt. Wine's output goes to log_path, by default wine.log in the
    folder."""

    def __init__(self, plix_exe, settings=None, env=None, folder=None, count_collects=True, log_path=None):
        self.keep_folder = folder is not None
        self.folder = folder or tempfile.mkdtemp(prefix="plix-e2e-")
        if plix_exe != os.path.join(self.folder, "plix.exe"):
            shutil.copy(plix_exe, self.folder)
        self.cfg = os.path.join(self.folder, "plix.cfg")
        if settings is not None:
            with open(self.cfg, "wb") as f:
                f.write(settings)
        self.collect_log = os.path.join(self.folder, "collects.txt")
        self.open_log = os.path.join(self.folder, "opens.txt")
        self.env = dict(os.environ)
        if count_collects:
            self.env["PLIX_COLLECT_LOG"] = windows_path(self.collect_log)
            self.env["PLIX_OPEN_LOG"] = windows_path(self.open_log)
        self.env.update(env or {})
        self.log_path = log_path or os.path.join(self.folder, "wine.log")
        self.process = None
        self.window = None
        self.minimized = False

    windows_path = staticmethod(windows_path)

    def start(self, expect_window=True, minimized=False):
        """minimized: through `start /min`, with the show command of a
        shortcut set to "Run: Minimized"; /wait keeps the run's process
        until plix ends."""
        self.minimized = minimized
        launcher = ["wine", "start", "/wait", "/min", "/unix"] if minimized else ["wine"]
        self.process = start_quietly(launcher + [os.path.join(self.folder, "plix.exe")], self.log_path,
                                     cwd=self.folder, env=self.env)
        if expect_window:
            self.window = wait_for(self.find_window, 20)
            if not self.window:
                raise AssertionError("plix showed no window; log: " + self.read_log())
        return self

    def tool(self, *args, timeout=30):
        """desktool's exit code, its output in desktool.log in the run's folder."""
        process = start_quietly(desktool(*args), os.path.join(self.folder, "desktool.log"))
        return process.wait(timeout)

    def find_window(self):
        # Started by `start`, plix is a process of its own.
        owner = [] if self.minimized else ["--pid", str(self.process.pid)]
        found = visible_windows(*owner, "--name", "^plix$")
        return found[0] if found else None

    def read_log(self):
        with open(self.log_path, "rb") as f:
            return f.read().decode(errors="replace")[-2000:]

    # What the user sees.

    def geometry(self):
        """Outer rectangle (x, y, width, height) of the main window."""
        return window_geometry(self.window)

    def screenshot(self, path=None):
        x, y, w, h = self.geometry()
        crop = ["import", "-silent", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y)]
        raw = os.path.join(self.folder, "shot.rgb")
        run(crop + ["-depth", "8", "rgb:" + raw])
        if path:
            run(crop + [path])
        with open(raw, "rb") as f:
            data = f.read()
        os.remove(raw)
        return Image(w, h, data)

    def settings(self):
        try:
            with open(self.cfg, "rb") as f:
                return parse_settings(f.read())
        except FileNotFoundError:
            return None

    def collects(self, log=None):
        try:
            with open(log or self.collect_log) as f:
                return int(f.read().strip() or 0)
        except (FileNotFoundError, ValueError):
            return 0

    def opens(self):
        return self.collects(self.open_log)

    # What the user does.

    def mouse(self, *args):
        run(["xdotool"] + [str(a) for a in args])

    def right_click_menu(self, keys):
        x, y, _, _ = self.geometry()
        self.mouse("mousemove", x + 20, y + 20, "click", 3)
        time.sleep(0.4)
        run(["xdotool", "key", "--delay", "80"] + keys)

    def exit_through_menu(self, timeout=5):
        """Exit, the menu's last item: plix saves its settings and ends."""
        self.right_click_menu(["Up", "Return"])
        return self.wait_exit(timeout)

    def dialog(self, title):
        return wait_for(lambda: window_shown(title), 5)

    def type_keys(self, *keys):
        run(["xdotool", "key", "--delay", "60"] + list(keys))

    # Ending.

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def close(self):
        if self.process:
            kill(self.process)
        if self.minimized and self.window:
            # Not in the process group of `start`: plix by its window's pid.
            pid = subprocess.run(["xprop", "-id", self.window, "_NET_WM_PID"], capture_output=True, text=True).stdout
            with contextlib.suppress(ValueError, ProcessLookupError):
                os.kill(int(pid.split("=")[-1]), signal.SIGKILL)
        if not self.keep_folder:
            shutil.rmtree(self.folder, ignore_errors=True)


def show(folder, screenshot, log_path):
    """The run command without a display: plix for ten seconds, a screenshot
    of its live bars, then Exit through the menu as a user would."""
    plix = PlixRun(os.path.join(folder, "plix.exe"), folder=folder, count_collects=False, log_path=log_path)
    try:
        plix.start()
    except AssertionError:
        sys.exit("plix did not show its window; see " + plix.log_path)
    try:
        time.sleep(10)
        plix.screenshot(screenshot)
        print("screenshot: " + screenshot)
        plix.exit_through_menu()
    finally:
        plix.close()
    print("settings: " + plix.cfg)


class MovingLoads:
    """Writes, ten times a second until stop(), a stat file into `folder`
    (which many_processors prepared) whose processors' loads follow slow
    waves, the same ones each time it starts."""

    def __init__(self, folder, waves):
        self.folder, self.waves = folder, waves
        self.busy = [0] * len(waves)
        self.idle = [0] * len(waves)
        self.stopped = threading.Event()
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def run(self):
        step = 0
        while not self.stopped.wait(0.1):
            step += 1
            for k, wave in enumerate(self.waves):
                busy = round(100 * min(1.0, max(0.0, wave(step / 10))))
                self.busy[k] += busy
                self.idle[k] += 100 - busy
            write_whole(os.path.join(self.folder, "stat"), stat_text(self.busy, self.idle))

    def stop(self):
        self.stopped.set()
        self.thread.join()


def scale_picture(plix_exe, picture):
    """plix at 100% and at 200% side by side, each in a prefix of that
    scale, with a full history of the same moving loads: the README's
    picture."""
    work = tempfile.mkdtemp(prefix="plix-picture-")
    waves = [lambda t: 0.55 + 0.4 * math.sin(t / 1.5), lambda t: 0.3 + 0.25 * math.sin(t / 2.3 + 1)]
    shots = []
    try:
        for dpi in (96, 192):
            prefix = scaled_prefix(dpi, work)
            plix = PlixRun(plix_exe, settings=settings_bytes(10, 100, 100))
            proc = os.path.join(plix.folder, "proc")
            plix.env.update(many_processors(2, proc))
            loads = MovingLoads(proc, waves)
            try:
                plix.start()
                # 60 means of six samples fill a strip.
                wait_for(lambda: plix.collects() >= 400, 60)
                shots.append(os.path.join(work, "%d.png" % dpi))
                plix.screenshot(shots[-1])
            finally:
                loads.stop()
                plix.close()
                prefix.close()
        run(["convert"] + shots + ["-bordercolor", "white", "-border", "16", "-background", "white",
                                   "-gravity", "north", "+append", picture])
        print("picture: " + picture)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "show":
        show(*sys.argv[2:])
    elif len(sys.argv) == 4 and sys.argv[1] == "scale-picture":
        scale_picture(*sys.argv[2:])
    else:
        sys.exit(__doc__)
