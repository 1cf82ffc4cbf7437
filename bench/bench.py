#!/usr/bin/env python3
"""What plix costs to keep running, next to xosview and the two floors.

Runs side by side, each on a private Xvfb and each Wine program in a Wine
prefix (so with a wineserver) of its own:
  plix.exe under Wine with the Linux counter provider, at 10 Hz and 1 Hz;
  the counters floor (bench/floor in its counters mode: plix's window size,
  a timer, one collect of the counters plix files, each formatted as an
  integer, and one bare paint per tick) at 10 Hz and 1 Hz: the least a
  live gauge can cost, the figure plix is held against;
  the Wine floor (the same with no counters) at 10 Hz and 1 Hz;
  xosview (CPU and memory meters only) at 10 and 1 samples per second;
  plix and the counters floor at 10 Hz seeing 2, 16, 64, 128 and 256
  processors (128 and 256 as two NUMA nodes of half each), under each of
  three loads, both reading the same recorded /proc files, a folder for
  each processor count and load (scripts/plixdesk.py many_processors: the
  provider reads the recorded files, and up to 255 processors a preloaded
  library sets Wine's processor count):
    static: the host's own times copied afresh every tick (on an idle
      host, bars that barely move);
    busy: every processor a new random load, 0 to 100 %, every step, so
      every label changes every tick: the worst case;
    idle: a desktop at rest, each processor 0 to 2 % a step, with about
      one in 50 in a burst of 20 to 100 % lasting a few ticks.
  The busy and idle loads (plixdesk.SteppedLoads) take a step every 50 ms,
  twice a tick: stepped every 100 ms, one interval between two of plix's
  collects in about 200 held no step (measured here), and that collect
  found no new reading and kept its labels. A step for all ten folders
  costs a few ms, the files in /dev/shm, each replaced whole.
With BENCH_BASELINE, an earlier build's plix.exe runs beside them at 2 and
64 processors under each load.
For each it takes the CPU time over BENCH_SECONDS after a BENCH_WARMUP
warm-up, which starts once every window is up: the program process, plus
its wineserver above that server's idle rate (measured just before, for as
long, with Wine's services up but no program), plus its Xvfb; and the
program's VmRSS at the end. Median and range over BENCH_RUNS runs. With
BENCH_LOADS_APART set, the loads run one after another (the main programs
with the static one), each group side by side: over twice as long, with
half the programs or fewer at a time.

Then, in one more prefix: the microbenchmarks (bench/Microbench.cpp: one
provider collect, one paint pass), the start-up time from launch to a mapped
window with a warm wineserver, also of plix and the counters floor seeing
256 processors in two NUMA nodes (aim for plix: at most 0.5 s), and the
size of plix.exe.

Prints how long the run should take, then a table; it never fails on a
slow machine. A ratio of two CPU figures prints n/a when either is below
RESOLVING_TICKS clock ticks over the measured seconds: each figure sums
three differences counted in whole ticks. For each load it fits the cost
of one more strip from the processor counts: the slope of CPU time per
tick against strip count; and it shows plix's memory at 64 and at 256
processors.

  bench.py BUILD_DIR [profile]
with BUILD_DIR/plix.exe, BUILD_DIR/hostcounters/pdh.dll,
BUILD_DIR/tools/processor_count.so and BUILD_DIR/bench/{floor,plix_microbench}.exe
built, and the Wine environment
of scripts/lib.sh with a prepared prefix in WINEPREFIX, which each program
gets a copy of (bench/run.sh does all that).
Wine's output always goes to files: its helper processes inherit the
descriptors and would hold a pipe open forever.

With `profile` it measures nothing of the above, but shows where plix's time
per tick goes against the counters floor's: both at 10 Hz seeing
BENCH_PROFILE_PROCESSORS (64) processors under BENCH_PROFILE_LOAD (static,
busy or idle; busy), side by side, sampled by Linux perf (cpu-clock,
PROFILE_HZ samples a second) for BENCH_SECONDS in the program, its
wineserver and its Xvfb; it prints microseconds per tick by library and by
function, and the largest differences.
"""

import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
from plixdesk import (Display, SteppedLoads, copy_host_times, kill, many_processors, resident_kib,  # noqa: E402
                      settings_bytes, start_quietly, wait_for, window_geometry, write_whole)

SECONDS = float(os.environ.get("BENCH_SECONDS", "60"))
RUNS = int(os.environ.get("BENCH_RUNS", "3"))
WARMUP = float(os.environ.get("BENCH_WARMUP", "5"))
STARTS = int(os.environ.get("BENCH_STARTS", "5"))
FIRST_DISPLAY = int(os.environ.get("BENCH_FIRST_DISPLAY", "90"))
PROFILE_PROCESSORS = int(os.environ.get("BENCH_PROFILE_PROCESSORS", "64"))
PROFILE_LOAD = os.environ.get("BENCH_PROFILE_LOAD", "busy")

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
# A CPU figure sums three differences of whole clock ticks (program,
# wineserver less its idle rate, Xvfb), so each is off by up to three
# ticks: below 30 a ratio could be off by a fifth and is not printed.
RESOLVING_TICKS = 30
PROCESSOR_COUNTS = (2, 16, 64, 128, 256)
# From this many processors on the machine has two NUMA nodes of half each.
TWO_NODES_FROM = 128
LOADS = ("static", "busy", "idle")
LOAD_TEXT = {
    "static": "the host's own times copied afresh every tick",
    "busy": "every processor a new random load, 0 to 100 %, every step",
    "idle": "a desktop at rest: 0 to 2 % a processor, about one in 50 in a burst of 20 to 100 %",
}
SWEEP_RATE = 10
# The busy and idle loads take a step twice a tick: stepped once a tick, two
# of plix's collects could fall between two steps, and the second would
# find no new reading and keep its labels.
STEP_SECONDS = 0.05
STATIC_SECONDS = 1.0 / SWEEP_RATE
START_PROCESSORS = 256
START_AIM_MS = 500
# plix's memory is compared at these processor counts.
RSS_COUNTS = (64, 256)
LOADS_TOGETHER = os.environ.get("BENCH_LOADS_APART", "") == ""
TOGETHER_TEXT = ("all programs side by side" if LOADS_TOGETHER else
                 "the loads one after another, the programs of each side by side")
# For the estimate only, as measured here: seconds a program's display and
# wineserver take to start and stop, the microbenchmarks and collect rates,
# and one timed start-up of each kind.
SETUP_SECONDS = 1.3
SINGLE_SECONDS = 15
START_SECONDS = 6
WINDOW_TIMEOUT = 60
PROFILE_HZ = 1000
WINDOW_X, WINDOW_Y = 100, 100

XOSVIEW_OFF = ("load swap page net disk battery gfx wireless interrupts irqrate lmstemp coretemp "
               "acpitemp bsdsensor RAID NFSDStats NFSStats").split() + ["serial%d" % i for i in range(10)]


def log(message):
    print(message, file=sys.stderr, flush=True)


def plix_cfg(folder, rate):
    with open(os.path.join(folder, "plix.cfg"), "wb") as f:
        f.write(settings_bytes(rate, WINDOW_X, WINDOW_Y))


def without_wine(env):
    """The environment for a program outside Wine, so not counted in a prefix."""
    return {k: v for k, v in env.items() if k != "WINEPREFIX"}


# ---------------------------------------------------------------- /proc


def machine_busy_ticks():
    """Clock ticks all the machine's processors spent busy since boot."""
    with open("/proc/stat") as f:
        times = [int(x) for x in f.readline().split()[1:]]
    # Of user nice system idle iowait irq softirq steal: all but idle and iowait.
    return sum(times[:8]) - times[3] - times[4]


def cpu_ticks(pid):
    """utime + stime of a whole process, in clock ticks; None once it is gone."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
    except (FileNotFoundError, ProcessLookupError, IndexError):
        return None
    # fields[0] is the state, field 3 of the file; utime and stime are 14, 15.
    return int(fields[11]) + int(fields[12])


def processes_of_prefix(prefix):
    """pid -> command name of every process started with WINEPREFIX=prefix."""
    wanted = ("WINEPREFIX=" + prefix).encode() + b"\0"
    found = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/environ" % entry, "rb") as f:
                environ = f.read()
            with open("/proc/%s/comm" % entry) as f:
                comm = f.read().strip()
        except (FileNotFoundError, ProcessLookupError, PermissionError):
            continue
        if environ.startswith(wanted) or (b"\0" + wanted) in environ:
            found[int(entry)] = comm
    return found


# ---------------------------------------------------------------- Wine


def link_or_copy(source, target):
    """Hard links the prefix's files, which Wine only reads (a prefix is
    about 700 MB and the bench makes over a dozen), but copies the registry,
    which the wineserver writes."""
    if source.endswith(".reg"):
        shutil.copy2(source, target)
    else:
        os.link(source, target)


class Prefix:
    """A Wine prefix copied from the template, with a persistent wineserver
    and the counter provider, copied afresh, as its system32 pdh.dll."""

    def __init__(self, root, name, template, display, log_dir, provider):
        self.path = os.path.join(root, name)
        if not os.path.exists(os.path.join(self.path, ".plix-ready")):
            shutil.rmtree(self.path, ignore_errors=True)
            shutil.copytree(template, self.path, symlinks=True, copy_function=link_or_copy)
        pdh = os.path.join(self.path, "drive_c", "windows", "system32", "pdh.dll")
        # Unlinked first: written through a hard link it would change the template's too.
        if os.path.lexists(pdh):
            os.remove(pdh)
        shutil.copy(provider, pdh)
        self.display = display
        self.log_dir = log_dir
        self.name = name
        self.env = dict(os.environ, WINEPREFIX=self.path, DISPLAY=display.name)
        self.server_pid = None

    def quiet(self, args):
        log_path = os.path.join(self.log_dir, "%s-%s.log" % (self.name, os.path.basename(args[0])))
        start_quietly(args, log_path, env=self.env).wait()

    def start_server(self):
        """A persistent wineserver with Wine's services running, as a program finds them."""
        self.quiet(["wineserver", "-p"])
        self.quiet(["wineboot"])
        for _ in range(100):
            for pid, comm in processes_of_prefix(self.path).items():
                if comm.startswith("wineserver"):
                    self.server_pid = pid
                    return
            time.sleep(0.1)
        raise RuntimeError("no wineserver for " + self.path)

    def helper_pids(self, program_pid):
        return [pid for pid in processes_of_prefix(self.path)
                if pid not in (program_pid, self.server_pid)]

    def stop(self):
        self.quiet(["wineserver", "-k"])
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline and processes_of_prefix(self.path):
            time.sleep(0.1)


# ---------------------------------------------------------------- programs


def fresh_folder(root, name):
    """An empty folder: nothing from an earlier run (such as a pdh.dll beside
    plix.exe) is left to be loaded."""
    folder = os.path.join(root, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    return folder


NAMES = {"plix": "plix", "counters": "counters floor", "floor": "Wine floor", "xosview": "xosview",
         "previous": "previous plix"}
# With BENCH_BASELINE set to an earlier build's plix.exe, that plix runs
# beside this one at these processor counts, under each load.
BASELINE = os.environ.get("BENCH_BASELINE", "")
BASELINE_COUNTS = (2, 64)


def processor_nodes(count):
    """Processors per NUMA node of the machine the bench gives `count` processors."""
    return [count // 2, count - count // 2] if count >= TWO_NODES_FROM else None


class Program:
    """One configuration of the side-by-side run: the host's own processors,
    or `processors` of them through recorded /proc files under `load`."""

    def __init__(self, kind, rate, files, processors=None, load=None):
        self.kind, self.rate, self.files, self.processors, self.load = kind, rate, files, processors, load
        self.label = "%s %d Hz" % (NAMES[kind], rate)
        self.tag = "%s-%d" % (kind, rate)
        if processors:
            self.label += ", %d processors, %s" % (processors, load)
            self.tag += "-n%d-%s" % (processors, load)
        self.results = []  # one dict per run

    @property
    def under_wine(self):
        return self.kind != "xosview"

    def window_search(self):
        if self.kind in ("plix", "previous"):
            return ["--name", "^plix$"]
        if self.kind in ("floor", "counters"):
            return ["--name", "^plix floor$"]
        return ["--class", "xosview"]

    def prepare_folder(self, root):
        """A folder of its own holding what the program runs from."""
        folder = fresh_folder(root, "run-" + self.tag)
        if self.kind in ("plix", "previous"):
            shutil.copy(self.files[self.kind], os.path.join(folder, "plix.exe"))
            plix_cfg(folder, self.rate)
        elif self.kind in ("floor", "counters"):
            shutil.copy(self.files["floor"], folder)
        self.folder = folder

    def command(self, display):
        if self.kind in ("plix", "previous"):
            return ["wine", os.path.join(self.folder, "plix.exe")]
        if self.kind == "floor":
            return ["wine", os.path.join(self.folder, "floor.exe"), str(self.rate)]
        if self.kind == "counters":
            return ["wine", os.path.join(self.folder, "floor.exe"), str(self.rate), "counters"]
        args = ["xosview", "-display", display.name, "-geometry", "+%d+%d" % (WINDOW_X, WINDOW_Y),
                "-xrm", "xosview*samplesPerSec: %d" % self.rate,
                "-xrm", "xosview*cpu: True", "-xrm", "xosview*cpuFormat: all",
                "-xrm", "xosview*cpuPriority: 1",
                "-xrm", "xosview*mem: True", "-xrm", "xosview*memPriority: 1"]
        for meter in XOSVIEW_OFF:
            args += ["-xrm", "xosview*%s: False" % meter]
        return args

    def launch(self, display, prefix, log_dir, feeder=None):
        env = prefix.env if prefix else without_wine(dict(os.environ, DISPLAY=display.name))
        if self.processors:
            env = dict(env, **feeder.env[self.load, self.processors])
        self.process = start_quietly(self.command(display), os.path.join(log_dir, self.tag + ".log"),
                                     cwd=self.folder, env=env)
        return self.process


class ProcFeeder:
    """Recorded /proc files, a folder for each (load, processor count), fed
    while it runs: under the static load the host's own times copied afresh
    every tick, under the busy and idle loads a step of plixdesk's
    SteppedLoads every STEP_SECONDS. The folders stand in a memory file
    system when there is one (/dev/shm), as /proc does, so that a step costs
    little beside what it measures; they go when the feeder stops."""

    def __init__(self, wanted, library):
        memory = "/dev/shm"
        self.root = tempfile.mkdtemp(prefix="plix-bench-proc-", dir=memory if os.path.isdir(memory) else None)
        self.folders, self.env, self.stepped = {}, {}, {}
        for load, n in sorted(set(wanted)):
            folder = os.path.join(self.root, "%s-%d" % (load, n))
            self.folders[load, n] = folder
            self.env[load, n] = many_processors(n, folder, library, processor_nodes(n))
            if load != "static":
                self.stepped[load, n] = SteppedLoads(load, n, seed=n)
        self.step_seconds = []
        self.cpu_seconds = None
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self.feed, daemon=True)
        # A first step now: a program never reads the host's times copied
        # under a stepped load.
        self.step(False)

    def step(self, static):
        for (load, n), loads in self.stepped.items():
            write_whole(os.path.join(self.folders[load, n], "stat"), loads.step())
        if static:
            for (load, n), folder in self.folders.items():
                if load == "static":
                    copy_host_times(n, folder)

    def feed(self):
        started = time.thread_time()
        static_every = round(STATIC_SECONDS / STEP_SECONDS)
        number, next_step = 0, time.monotonic()
        while True:
            next_step += STEP_SECONDS
            now = time.monotonic()
            # Late steps are not made up in a burst.
            next_step = max(next_step, now)
            if self.stopping.wait(next_step - now):
                break
            number += 1
            t0 = time.perf_counter()
            self.step(number % static_every == 0)
            self.step_seconds.append(time.perf_counter() - t0)
        self.cpu_seconds = time.thread_time() - started

    def summary(self):
        """How much the feeding cost, for the report."""
        if not self.step_seconds:
            return "no step taken"
        elapsed = len(self.step_seconds) * STEP_SECONDS
        return ("a step every %.0f ms took %.1f ms (median), %.1f ms at most; the feeder used %.1f %% of one core"
                % (1000 * STEP_SECONDS, 1000 * statistics.median(self.step_seconds),
                   1000 * max(self.step_seconds), 100.0 * (self.cpu_seconds or 0.0) / elapsed))

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.stopping.set()
        self.thread.join()
        shutil.rmtree(self.root, ignore_errors=True)


# ---------------------------------------------------------------- statistics


def median_range(values):
    values = [v for v in values if v is not None]
    if not values:
        return None
    return statistics.median(values), min(values), max(values)


def fmt_range(values, digits=2, unit=""):
    m = median_range(values)
    if m is None:
        return "n/a"
    # Adding 0.0 turns a rounded -0.0 into 0.0.
    m = [round(v, digits) + 0.0 for v in m]
    if len(values) == 1:
        return "%.*f%s" % (digits, m[0], unit)
    return "%.*f%s [%.*f-%.*f]" % (digits, m[0], unit, digits, m[1], digits, m[2])


def fmt_median(values, digits=2):
    m = median_range(values)
    return "n/a" if m is None else "%.*f" % (digits, round(m[0], digits) + 0.0)


def ratio(a, b, resolution=0.0):
    """a / b, or n/a unless both reach the resolution."""
    if a is None or b is None or b <= 0 or min(a, b) < resolution:
        return "n/a"
    return "%.2f" % (a / b)


def least_squares(points):
    """Slope and intercept of the least-squares line through (x, y) points;
    None with fewer than two distinct x."""
    points = [(x, y) for x, y in points if y is not None]
    if len({x for x, _ in points}) < 2:
        return None
    mean_x = statistics.fmean(x for x, _ in points)
    mean_y = statistics.fmean(y for _, y in points)
    slope = (sum((x - mean_x) * (y - mean_y) for x, y in points)
             / sum((x - mean_x) ** 2 for x, _ in points))
    return slope, mean_y - slope * mean_x


# ---------------------------------------------------------------- the side-by-side run


def percent(ticks, seconds):
    return 100.0 * ticks / CLOCK_TICKS / seconds


# The least CPU figure, in % of one core, that a ratio is taken of.
RESOLUTION = percent(RESOLVING_TICKS, SECONDS)


def microseconds_per_tick(cpu_percent, rate):
    return None if cpu_percent is None else cpu_percent / 100.0 * 1e6 / rate


def stop_everything(programs, prefixes, displays):
    """Ends the programs, then their prefixes' servers, then their displays."""
    for p in programs:
        if getattr(p, "process", None):
            kill(p.process)
    for prefix in prefixes.values():
        prefix.stop()
    for display in displays.values():
        display.stop()


def one_run(number, programs, root, template, log_dir, feeder):
    """Measures the programs side by side; returns how busy the whole
    machine was meanwhile and the programs' CPU figures' sum, in % of one core."""
    log("run %d of %d: %d programs side by side, %.0f s idle, %.0f s warm-up, %.0f s measured"
        % (number, RUNS, len(programs), SECONDS, WARMUP, SECONDS))
    displays, prefixes = {}, {}
    try:
        started = time.monotonic()
        for p in programs:
            displays[p.tag] = Display(FIRST_DISPLAY, log_dir)
            if p.under_wine:
                prefixes[p.tag] = Prefix(os.path.join(root, "prefixes"), p.tag, template,
                                         displays[p.tag], log_dir, p.files["pdh"])
        for prefix in prefixes.values():
            prefix.start_server()
        log("  %d displays and %d wineservers up in %.0f s" % (len(displays), len(prefixes),
                                                              time.monotonic() - started))
        time.sleep(3)

        # Each wineserver's own rate with Wine's services up and no program.
        idle_start = {t: cpu_ticks(x.server_pid) for t, x in prefixes.items()}
        t0 = time.monotonic()
        time.sleep(SECONDS)
        idle_seconds = time.monotonic() - t0
        idle_rate = {t: (cpu_ticks(x.server_pid) - idle_start[t]) / idle_seconds
                     for t, x in prefixes.items()}

        launched = time.monotonic()
        for p in programs:
            p.launch(displays[p.tag], prefixes.get(p.tag), log_dir, feeder)
        # Dozens of Wine programs starting at once take a while on two
        # cores: the warm-up begins once every window is up.
        windows = {}
        while time.monotonic() - launched < WINDOW_TIMEOUT and len(windows) < len(programs):
            for p in programs:
                if p.tag not in windows:
                    found = displays[p.tag].visible_window(*p.window_search())
                    if found:
                        windows[p.tag] = found
            time.sleep(0.2)
        log("  %d windows mapped %.0f s after the first launch" % (len(windows), time.monotonic() - launched))
        missing = [p.label for p in programs if p.tag not in windows]
        if missing:
            log("  no window for: " + ", ".join(missing))
        time.sleep(WARMUP)

        def sample():
            now = {}
            for p in programs:
                prefix = prefixes.get(p.tag)
                helpers = prefix.helper_pids(p.process.pid) if prefix else []
                now[p.tag] = {
                    "program": cpu_ticks(p.process.pid),
                    "server": cpu_ticks(prefix.server_pid) if prefix else 0,
                    "xvfb": cpu_ticks(displays[p.tag].pid),
                    "helpers": {pid: cpu_ticks(pid) for pid in helpers},
                }
            return now

        before, machine_before = sample(), machine_busy_ticks()
        t0 = time.monotonic()
        time.sleep(SECONDS)
        after, machine_after = sample(), machine_busy_ticks()
        seconds = time.monotonic() - t0
        machine = percent(machine_after - machine_before, seconds)
        log("  the whole machine: %.1f %% of one core busy, of %d" % (machine, 100 * os.cpu_count()))

        for p in programs:
            b, a = before[p.tag], after[p.tag]
            if a["program"] is None or b["program"] is None or p.process.poll() is not None:
                log("  %s stopped during the run (exit code %s); see %s" % (p.label, p.process.poll(), log_dir))
                p.results.append(None)
                continue
            program = percent(a["program"] - b["program"], seconds)
            xvfb = percent(a["xvfb"] - b["xvfb"], seconds)
            server = idle = helpers = 0.0
            if p.under_wine:
                idle = percent(idle_rate[p.tag], 1.0)
                server = percent(a["server"] - b["server"], seconds) - idle
                helpers = percent(sum((a["helpers"][pid] or 0) - (b["helpers"].get(pid) or 0)
                                      for pid in a["helpers"] if a["helpers"][pid] is not None), seconds)
            p.results.append({
                "program": program, "server": server, "xvfb": xvfb, "idle": idle,
                "helpers": helpers, "total": program + server + xvfb,
                "rss": resident_kib(p.process.pid) / 1024.0,
                "window": window_geometry(windows[p.tag], displays[p.tag].name)[2:] if p.tag in windows else None,
            })
            r = p.results[-1]
            log("  %-16s total %.2f%% (program %.2f, wineserver %.2f, Xvfb %.2f), RSS %.1f MiB"
                % (p.label, r["total"], program, server, xvfb, r["rss"]))
        measured = sum(p.results[-1]["total"] for p in programs if p.results[-1])
        log("  the programs together: %.1f %% of one core" % measured)
        return {"machine": machine, "measured": measured}
    finally:
        started = time.monotonic()
        stop_everything(programs, prefixes, displays)
        log("  stopped in %.0f s" % (time.monotonic() - started))


# ---------------------------------------------------------------- microbenchmarks and start-up


def time_to_window(display, launch, search, timeout=30.0):
    """Seconds from launch to a mapped window, polled every 10 ms."""
    start = time.monotonic()
    process = launch()
    while time.monotonic() - start < timeout:
        if display.visible_window(*search):
            return time.monotonic() - start, process
        if process.poll() is not None:
            break
        time.sleep(0.01)
    return None, process


def collect_rates(prefix, root, files, log_dir, seconds=6.0):
    """Collects per second of plix at 10 and 1 Hz, from the provider's collect log.

    Kept out of the CPU runs: the log costs a file write per collect."""
    runs = {}
    try:
        for rate in (10, 1):
            folder = fresh_folder(root, "run-rate-%d" % rate)
            shutil.copy(files["plix"], folder)
            plix_cfg(folder, rate)
            counts = os.path.join(folder, "collects.txt")
            env = dict(prefix.env, PLIX_COLLECT_LOG="Z:" + counts.replace("/", "\\"))
            process = start_quietly(["wine", os.path.join(folder, "plix.exe")],
                                    os.path.join(log_dir, "rate-%d.log" % rate), cwd=folder, env=env)
            runs[rate] = (process, counts)
        time.sleep(3)

        def read_counts():
            now = {}
            for rate, (_, counts) in runs.items():
                try:
                    with open(counts) as f:
                        now[rate] = int(f.read().strip() or 0)
                except (FileNotFoundError, ValueError):
                    now[rate] = None
            return now

        before, t0 = read_counts(), time.monotonic()
        time.sleep(seconds)
        after, elapsed = read_counts(), time.monotonic() - t0
        return {rate: None if before[rate] is None or after[rate] is None
                else (after[rate] - before[rate]) / elapsed for rate in runs}
    finally:
        for process, _ in runs.values():
            kill(process)


def single_checks(programs, root, template, log_dir, files):
    results = {}
    started = time.monotonic()
    display = Display(FIRST_DISPLAY, log_dir)
    prefix = Prefix(os.path.join(root, "prefixes"), "single", template, display, log_dir, files["pdh"])
    desktop = None
    try:
        prefix.start_server()
        # Wine's desktop (explorer.exe) starts with the first window, in that
        # program's process group, and ends with it when that program is
        # killed; a start after that now and then found the desktop half gone
        # and no display driver. A program kept up throughout keeps one
        # desktop for every start, as on Windows.
        desktop = start_quietly(["wine", "notepad"], os.path.join(log_dir, "desktop.log"), env=prefix.env)
        if not wait_for(lambda: display.visible_window("--name", "Notepad"), 20):
            log("  no Notepad window to keep Wine's desktop up")
        folder = fresh_folder(root, "run-single")
        for f in ("plix", "micro", "floor"):
            shutil.copy(files[f], folder)

        log("microbenchmarks")
        micro_out = os.path.join(log_dir, "microbench.txt")
        if os.path.exists(micro_out):
            os.remove(micro_out)
        process = start_quietly(["wine", os.path.join(folder, os.path.basename(files["micro"]))], micro_out,
                                cwd=folder, env=prefix.env)
        try:
            process.wait(300)
        except subprocess.TimeoutExpired:
            kill(process)
        micro = {}
        with open(micro_out, errors="replace") as f:
            for line in f:
                parts = line.split()
                if len(parts) == 4:
                    try:
                        micro[parts[0]] = tuple(float(x) for x in parts[1:])
                    except ValueError:
                        pass
        results["micro"] = micro
        results["rates"] = collect_rates(prefix, root, files, log_dir)

        log("start-up times")
        plix_cfg(folder, 10)
        # The big machine's recorded files, as they stand: a start-up reads them once or twice.
        big = dict(prefix.env, **many_processors(START_PROCESSORS, os.path.join(root, "proc-start"),
                                                 files["processors"], processor_nodes(START_PROCESSORS)))
        kinds = {
            "plix": (["wine", os.path.join(folder, "plix.exe")], prefix.env, ["--name", "^plix$"]),
            "floor": (["wine", os.path.join(folder, "floor.exe"), "10"], prefix.env, ["--name", "^plix floor$"]),
            "counters floor": (["wine", os.path.join(folder, "floor.exe"), "10", "counters"], prefix.env,
                               ["--name", "^plix floor$"]),
            "xosview": (Program("xosview", 10, files).command(display),
                        without_wine(os.environ), ["--class", "xosview"]),
            "plix, %d processors" % START_PROCESSORS: (
                ["wine", os.path.join(folder, "plix.exe")], big, ["--name", "^plix$"]),
            "counters floor, %d processors" % START_PROCESSORS: (
                ["wine", os.path.join(folder, "floor.exe"), "10", "counters"], big, ["--name", "^plix floor$"]),
        }
        starts = {}
        for kind, (command, env, search) in kinds.items():
            times = []
            # The first start only warms the file cache and Wine's desktop.
            for attempt in range(STARTS + 1):
                def launch():
                    name = "-".join(kind.replace(",", "").split())
                    return start_quietly(command, os.path.join(log_dir, "start-%s.log" % name),
                                         cwd=folder, env=env)

                seconds, process = time_to_window(display, launch, search)
                if seconds is None:
                    log("  %s: no window (exit code %s)" % (kind, process.poll()))
                elif attempt > 0:
                    times.append(seconds * 1000.0)
                kill(process)
                # Let the window go away before the next start looks for one.
                for _ in range(200):
                    if not display.visible_window(*search):
                        break
                    time.sleep(0.01)
                time.sleep(0.5)
            starts[kind] = times
        results["starts"] = starts
    finally:
        if desktop:
            kill(desktop)
        prefix.stop()
        display.stop()
        log("  microbenchmarks, collect rates and start-ups took %.0f s" % (time.monotonic() - started))
    return results


# ---------------------------------------------------------------- profile

PROFILE_ROLES = ("program", "wineserver", "Xvfb")


def perf_samples(data):
    """(dso, function) -> samples from a perf.data file. Wine's PE modules
    and much of its Unix side carry no symbols perf can read: their samples
    go by address."""
    output = os.path.splitext(data)[0] + ".txt"
    with open(output, "w") as f:
        subprocess.run(["perf", "report", "-i", data, "--stdio", "-q", "-n", "--sort", "dso,sym"],
                       stdout=f, stderr=subprocess.DEVNULL)
    samples = {}
    with open(output) as f:
        for line in f:
            left, mark, function = line.partition(" [.] ")
            if not mark:
                left, mark, function = line.partition(" [k] ")
            parts = left.split(None, 2)
            if not mark or len(parts) < 3 or not parts[0].endswith("%") or not parts[1].isdigit():
                continue
            dso = parts[2].strip()
            # perf takes the exe's image for code made at run time.
            if dso.startswith("[JIT]"):
                dso = "(the exe)"
            # Unnamed addresses stay apart: a hot loop shows as one address.
            key = (dso, function.strip())
            samples[key] = samples.get(key, 0) + int(parts[1])
    return samples


def profile_against_floor(root, template, log_dir, files):
    """Samples plix and the counters floor side by side, with perf, in the
    program, its wineserver and its Xvfb, and prints where plix's time per
    tick goes against the floor's."""
    if PROFILE_LOAD not in LOADS:
        sys.exit("BENCH_PROFILE_LOAD is %r: one of %s" % (PROFILE_LOAD, ", ".join(LOADS)))
    programs = [Program(kind, SWEEP_RATE, files, PROFILE_PROCESSORS, PROFILE_LOAD) for kind in ("plix", "counters")]
    displays, prefixes, records = {}, {}, {}
    log("profile: plix and the counters floor at %d Hz seeing %d processors under the %s load, %.0f s warm-up, "
        "%.0f s sampled" % (SWEEP_RATE, PROFILE_PROCESSORS, PROFILE_LOAD, WARMUP, SECONDS))
    with ProcFeeder([(PROFILE_LOAD, PROFILE_PROCESSORS)], files["processors"]) as feeder:
        try:
            for p in programs:
                p.prepare_folder(root)
                displays[p.tag] = Display(FIRST_DISPLAY, log_dir)
                prefixes[p.tag] = Prefix(os.path.join(root, "prefixes"), "profile-" + p.kind, template,
                                         displays[p.tag], log_dir, files["pdh"])
                prefixes[p.tag].start_server()
            for p in programs:
                p.launch(displays[p.tag], prefixes[p.tag], log_dir, feeder)
            time.sleep(WARMUP)
            for p in programs:
                pids = (p.process.pid, prefixes[p.tag].server_pid, displays[p.tag].pid)
                for role, pid in zip(PROFILE_ROLES, pids):
                    data = os.path.join(root, "perf-%s-%s.data" % (p.kind, role))
                    command = ["perf", "record", "-q", "-e", "cpu-clock", "-F", str(PROFILE_HZ), "-p", str(pid),
                               "-o", data, "--", "sleep", str(SECONDS)]
                    records[p.kind, role] = (data, start_quietly(command, os.path.join(log_dir, "perf.log")))
            for _, process in records.values():
                process.wait()
        finally:
            stop_everything(programs, prefixes, displays)
    log("recorded files: " + feeder.summary())

    us_per_sample = 1e6 / PROFILE_HZ / (SECONDS * SWEEP_RATE)
    per_tick = {}  # (kind, role, dso, function) -> us per tick
    for (kind, role), (data, _) in records.items():
        for (dso, function), count in perf_samples(data).items():
            per_tick[kind, role, dso, function] = count * us_per_sample
    text = profile_report(per_tick)
    print(text)
    with open(os.path.join(root, "profile.txt"), "w") as f:
        f.write(text + "\n")
    log("\nperf data and reports: %s/perf-*\nprofile: %s" % (root, os.path.join(root, "profile.txt")))


def profile_report(per_tick, rows=25):
    def summed(depth):
        """us per tick of plix and of the floor, keyed by the first `depth`
        of (role, dso, function)."""
        sums = {}
        for (kind, *where), value in per_tick.items():
            entry = sums.setdefault(tuple(where[:depth]), {"plix": 0.0, "counters": 0.0})
            entry[kind] += value
        return sorted(sums.items(), key=lambda item: item[1]["plix"] - item[1]["counters"], reverse=True)

    lines = ["", "Where plix's time per tick goes against the counters floor's: both at %d Hz seeing %d processors"
             % (SWEEP_RATE, PROFILE_PROCESSORS),
             "under the %s load (%s)," % (PROFILE_LOAD, LOAD_TEXT[PROFILE_LOAD]),
             "perf cpu-clock samples at %d Hz over %.0f s, in microseconds per tick (one sample is %.1f us per tick)."
             % (PROFILE_HZ, SECONDS, 1e6 / PROFILE_HZ / (SECONDS * SWEEP_RATE)), ""]
    for depth, title, shown in ((1, "process", len(PROFILE_ROLES)), (2, "process and library", rows),
                                (3, "process, library and function", rows)):
        lines.append("By %s, largest differences first:" % title)
        lines.append("| %-70s | %8s | %8s | %8s |" % (title, "plix", "floor", "plix-floor"))
        lines.append("|%s|%s|%s|%s|" % ("-" * 72, "-" * 10, "-" * 10, "-" * 12))
        entries = summed(depth)
        if depth == 1:
            total = {kind: sum(e[kind] for _, e in entries) for kind in ("plix", "counters")}
            entries = entries + [(("all",), total)]
        for where, entry in entries[:shown + 1 if depth == 1 else shown]:
            lines.append("| %-70s | %8.1f | %8.1f | %10.1f |" % (
                " ".join(where)[:70], entry["plix"], entry["counters"], entry["plix"] - entry["counters"]))
        lines.append("")
    return "\n".join(lines)


# ---------------------------------------------------------------- report


def machine_lines():
    model = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    try:
        with open("/etc/debian_version") as f:
            debian = f.read().strip()
    except FileNotFoundError:
        debian = "not Debian"
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True,
                          env=dict(os.environ, WINEDEBUG="-all")).stdout.strip()
    xosview = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", "xosview"],
                             capture_output=True, text=True).stdout.strip()
    return ["machine: %d cores (nproc), %s, Debian %s, %s, xosview %s, kernel %s"
            % (os.cpu_count(), model, debian, wine, xosview or "?", platform.release())]


def loadavg():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def report(programs, single, files, load_before, load_after, machine, feeding):
    lines = []
    out = lines.append
    out("")
    out("plix benchmark: %d run(s), %.0f s measured after %.0f s warm-up, %s"
        % (RUNS, SECONDS, WARMUP, TOGETHER_TEXT))
    lines.extend(machine_lines())
    out("load average before / after: %s / %s (other work on the machine shows here)" % (load_before, load_after))
    out("while measuring, in %% of one core (of %d), median [min-max]: the whole machine busy %s, the programs'"
        % (100 * os.cpu_count(), fmt_range([m["machine"] for m in machine], 1)))
    out("CPU figures added up %s" % fmt_range([m["measured"] for m in machine], 1))
    out("recorded /proc files: " + feeding)
    out("")
    out("CPU in % of one core (program + wineserver above idle + Xvfb), median [min-max]; RSS of the program")
    width = max(len(p.label) for p in programs)
    out("| %-*s | CPU total %%          | program | wineserver | Xvfb | RSS MiB            |" % (width, "program"))
    out("|%s|----------------------|---------|------------|------|--------------------|" % ("-" * (width + 2)))
    for p in programs:
        res = [r for r in p.results if r]
        out("| %-*s | %-20s | %7s | %10s | %4s | %-18s |" % (
            width, p.label, fmt_range([r["total"] for r in res]), fmt_median([r["program"] for r in res]),
            fmt_median([r["server"] for r in res]) if p.under_wine else "-",
            fmt_median([r["xvfb"] for r in res]), fmt_range([r["rss"] for r in res], 1)))
    idle = ["%s %s" % (p.label, fmt_median([r["idle"] for r in p.results if r]))
            for p in programs if p.under_wine]
    out("wineserver idle rates subtracted (%%): %s" % ", ".join(idle))
    helpers = ["%s %s" % (p.label, fmt_median([r["helpers"] for r in p.results if r]))
               for p in programs if p.under_wine]
    out("Wine's service processes, not counted above (%%): %s" % ", ".join(helpers))
    out("")

    def med(kind, rate, key, processors=None, load=None):
        for p in programs:
            if p.kind == kind and p.rate == rate and p.processors == processors and p.load == load:
                m = median_range([r[key] for r in p.results if r])
                return m[0] if m else None
        return None

    out("Ratios of medians (CPU total, RSS); a CPU ratio is n/a when a figure is under %d clock ticks"
        % RESOLVING_TICKS)
    out("over the measured time, %.2f %% of one core here:" % RESOLUTION)
    for rate in sorted({p.rate for p in programs if not p.processors}, reverse=True):
        out("  %2d Hz  " % rate + "    ".join(
            "plix / %s: CPU %s, RSS %s" % (
                NAMES[kind], ratio(med("plix", rate, "total"), med(kind, rate, "total"), RESOLUTION),
                ratio(med("plix", rate, "rss"), med(kind, rate, "rss")))
            for kind in ("counters", "floor", "xosview")))
    out("")
    for load in LOADS:
        lines.extend(processor_lines(programs, med, load))

    micro = single.get("micro", {})
    names = [
        ("collect", "provider collect (PdhCollectQueryData + 3 formatted values)"),
        ("paint_pass", "paint pass into a memory DC (paintWindow, 3 full gauges)"),
        ("paint_gauges", "  of which drawing (paintGauges)"),
        ("tick_257_busy", "a tick's pass at 257 full strips, every label new, copying what changed"),
        ("tick_257_idle", "  the same, labels at 0 to 2 %"),
        ("gauge_draw_199_bars", "one gauge's draw, full history (199 bars)"),
        ("gauge_draw_199_bars_every_bar", "  the same drawing every bar"),
        ("gauge_draw_60_bars", "one gauge's draw, 60 bars"),
        ("floor_paint", "the Wine floor's paint"),
    ]
    out("Microbenchmarks under Wine, microseconds, median of 1000 [min, 90th percentile]:")
    for key, text in names:
        if key in micro:
            m = micro[key]
            out("  %-62s %8.1f  [%.1f, %.1f]" % (text, m[0], m[1], m[2]))
        else:
            out("  %-62s      n/a (see microbench.txt)" % text)
    out("")
    rates = single.get("rates", {})
    out("plix's collects per second (provider's collect log, separate run): %s" % ", ".join(
        "%d Hz: %s" % (rate, "n/a" if value is None else "%.2f" % value)
        for rate, value in sorted(rates.items(), reverse=True)))
    out("")
    out("Start-up, launch to mapped window, warm wineserver, ms, median [min-max] of %d (%d processors: two"
        % (STARTS, START_PROCESSORS))
    out("NUMA nodes of %d, recorded files; aim for plix there: at most %d ms):"
        % (START_PROCESSORS // 2, START_AIM_MS))
    for kind, times in single.get("starts", {}).items():
        out("  %-30s %s" % (kind, fmt_range(times, 0)))
    out("")
    out("plix.exe: %d bytes" % os.path.getsize(files["plix"]))
    return "\n".join(lines)


def processor_lines(programs, med, load):
    """The table of plix and the counters floor seeing 2 to 256 processors
    under one load, the cost of one more strip, and plix's memory."""
    lines = []
    out = lines.append
    counts = sorted({p.processors for p in programs if p.processors and p.load == load})
    if not counts:
        return lines
    out("The %s load (%s):" % (load, LOAD_TEXT[load]))
    out("plix and the counters floor at %d Hz seeing N processors (N + 1 strips; from %d on, two NUMA nodes),"
        % (SWEEP_RATE, TWO_NODES_FROM))
    out("CPU in % of one core, median [min-max], and CPU time per tick in microseconds:")
    out("|   N | windows, plix / floor | plix CPU %           | counters floor CPU % | plix / floor | plix us/tick | floor us/tick |")
    out("|-----|-----------------------|----------------------|----------------------|--------------|--------------|---------------|")
    per_tick = {"plix": [], "counters": []}

    def window(program):
        sizes = [r["window"] for r in program.results if r and r["window"]]
        return "%dx%d" % sizes[-1] if sizes else "n/a"

    for n in counts:
        found = {p.kind: p for p in programs if p.processors == n and p.load == load}
        cpu = {kind: med(kind, SWEEP_RATE, "total", n, load) for kind in per_tick}
        for kind in per_tick:
            per_tick[kind].append((n + 1, microseconds_per_tick(cpu[kind], SWEEP_RATE)))
        out("| %3d | %-21s | %-20s | %-20s | %12s | %12s | %13s |" % (
            n, "%s / %s" % (window(found["plix"]), window(found["counters"])),
            fmt_range([r["total"] for r in found["plix"].results if r]),
            fmt_range([r["total"] for r in found["counters"].results if r]),
            ratio(cpu["plix"], cpu["counters"], RESOLUTION),
            fmt_median([per_tick["plix"][-1][1]], 0), fmt_median([per_tick["counters"][-1][1]], 0)))
    difference = [(x, None if a is None or b is None else a - b)
                  for (x, a), (_, b) in zip(per_tick["plix"], per_tick["counters"])]
    baseline = [n for n in counts if any(p.kind == "previous" and p.processors == n and p.load == load
                                         for p in programs)]
    if baseline:
        out("")
        out("Against the previous build (BENCH_BASELINE), CPU over the counters floor's:")
        for n in baseline:
            floor = med("counters", SWEEP_RATE, "total", n, load)
            out("  N = %3d: plix / floor %s, previous plix / floor %s" % (
                n, ratio(med("plix", SWEEP_RATE, "total", n, load), floor, RESOLUTION),
                ratio(med("previous", SWEEP_RATE, "total", n, load), floor, RESOLUTION)))
    out("")
    out("One more strip, us per tick: slope of the least-squares line through CPU time per tick")
    out("against strip count (N + 1, N = %s):" % ", ".join(str(n) for n in counts))
    for name, points in (("plix", per_tick["plix"]), ("counters floor", per_tick["counters"]),
                         ("plix - counters floor", difference)):
        fit = least_squares(points)
        out("  %-22s %s" % (name, "n/a" if fit is None else
                              "%6.1f us per strip (line meets no strips at %.0f us)" % fit))
    rss = {n: med("plix", SWEEP_RATE, "rss", n, load) for n in RSS_COUNTS}
    if all(rss.values()):
        small, big = RSS_COUNTS
        out("plix's RSS: %.1f MiB at %d processors, %.1f MiB at %d, %+.1f MiB"
            % (rss[small], small, rss[big], big, rss[big] - rss[small]))
    out("")
    return lines


def side_by_side(programs):
    """The groups of programs that run side by side, one group after another."""
    if LOADS_TOGETHER:
        return [programs]
    return [[p for p in programs if p.load == load or (load == LOADS[0] and not p.load)] for load in LOADS]


def expected_seconds(groups):
    """About how long a run of the bench takes here, from the time each
    part took in earlier runs."""
    per_run = sum(SETUP_SECONDS * len(group) + 3 + SECONDS + WARMUP + SECONDS for group in groups)
    return RUNS * per_run + SINGLE_SECONDS + (STARTS + 1) * START_SECONDS


def main():
    profile = sys.argv[2:] == ["profile"]
    if len(sys.argv) != 2 and not profile:
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[1])
    files = {
        "plix": os.path.join(build, "plix.exe"),
        "pdh": os.path.join(build, "hostcounters", "pdh.dll"),
        "floor": os.path.join(build, "bench", "floor.exe"),
        "micro": os.path.join(build, "bench", "plix_microbench.exe"),
        "processors": os.path.join(build, "tools", "processor_count.so"),
    }
    for path in files.values():
        if not os.path.exists(path):
            sys.exit("missing %s: build it first (bench/run.sh does)" % path)
    root = os.path.join(build, "bench-run")
    template = os.environ.get("WINEPREFIX", "")
    if not os.path.exists(os.path.join(template, ".plix-ready")):
        sys.exit("no prepared Wine prefix in WINEPREFIX (%r): bench/run.sh prepares one" % template)
    log_dir = os.path.join(root, "logs")
    shutil.rmtree(log_dir, ignore_errors=True)
    os.makedirs(log_dir)

    if profile:
        profile_against_floor(root, template, log_dir, files)
        return
    programs = [Program(kind, rate, files) for rate in (10, 1) for kind in ("plix", "counters", "floor", "xosview")]
    programs += [Program(kind, SWEEP_RATE, files, n, load)
                 for load in LOADS for n in PROCESSOR_COUNTS for kind in ("plix", "counters")]
    if BASELINE:
        files["previous"] = os.path.abspath(BASELINE)
        programs += [Program("previous", SWEEP_RATE, files, n, load) for load in LOADS for n in BASELINE_COUNTS]
    for p in programs:
        p.prepare_folder(root)
    groups = side_by_side(programs)
    log("%d programs, %s; expected to take about %.0f minutes"
        % (len(programs), TOGETHER_TEXT, expected_seconds(groups) / 60))

    load_before, machine = loadavg(), []
    wanted = [(p.load, p.processors) for p in programs if p.processors]
    with ProcFeeder(wanted, files["processors"]) as feeder:
        for number in range(1, RUNS + 1):
            for group in groups:
                machine.append(one_run(number, group, root, template, log_dir, feeder))
    single = single_checks(programs, root, template, log_dir, files)
    text = report(programs, single, files, load_before, loadavg(), machine, feeder.summary())
    print(text)
    with open(os.path.join(root, "results.txt"), "w") as f:
        f.write(text + "\n")
    log("\nlogs: %s\nresults: %s" % (log_dir, os.path.join(root, "results.txt")))


if __name__ == "__main__":
    main()
