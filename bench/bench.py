#!/usr/bin/env python3
"""What plix costs to keep running, next to xosview and the two floors.

Runs side by side, each on a private Xvfb and each Wine program in a Wine
prefix (so with a wineserver) of its own:
  plix.exe under Wine with the Linux counter provider, at 10 Hz and 1 Hz;
  the counters floor (bench/floor in its counters mode: plix's window size,
  a timer, one collect of plix's counters, each formatted as an integer,
  and one bare paint per tick) at 10 Hz and 1 Hz: the least a live gauge
  can cost, the figure plix is held against;
  the Wine floor (the same with no counters) at 10 Hz and 1 Hz;
  xosview (CPU and memory meters only) at 10 and 1 samples per second;
  plix and the counters floor at 10 Hz seeing 2, 16, 32 and 64 processors
  (scripts/plixdesk.py many_processors: a preloaded library sets Wine's
  processor count, and the provider reads recorded /proc files with that
  many cpu lines, refreshed from the host's every tick so the bars move).
For each it takes the CPU time over BENCH_SECONDS after a BENCH_WARMUP
warm-up: the program process, plus its wineserver above that server's idle
rate (measured just before, for as long, with Wine's services up but no
program), plus its Xvfb; and the program's VmRSS at the end. Median and
range over BENCH_RUNS runs.

Then, in one more prefix: the microbenchmarks (bench/Microbench.cpp: one
provider collect, one paint pass), the start-up time from launch to a mapped
window with a warm wineserver, and the size of plix.exe.

Prints a table; it never fails on a slow machine. A ratio of two CPU
figures prints n/a when either is below RESOLVING_TICKS clock ticks over
the measured seconds: each figure sums three differences counted in whole
ticks. From the processor counts it fits the cost of one more strip: the
slope of CPU time per tick against strip count.

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
BENCH_PROFILE_PROCESSORS (64) processors, side by side, sampled by Linux
perf (cpu-clock, PROFILE_HZ samples a second) for BENCH_SECONDS in the
program, its wineserver and its Xvfb; it prints microseconds per tick by
library and by function, and the largest differences.
"""

import os
import platform
import shutil
import statistics
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
from plixdesk import (Display, kill, many_processors, resident_kib, settings_bytes, start_quietly,  # noqa: E402
                      window_geometry)

SECONDS = float(os.environ.get("BENCH_SECONDS", "60"))
RUNS = int(os.environ.get("BENCH_RUNS", "3"))
WARMUP = float(os.environ.get("BENCH_WARMUP", "5"))
STARTS = int(os.environ.get("BENCH_STARTS", "5"))
FIRST_DISPLAY = int(os.environ.get("BENCH_FIRST_DISPLAY", "90"))
PROFILE_PROCESSORS = int(os.environ.get("BENCH_PROFILE_PROCESSORS", "64"))

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
# A CPU figure sums three differences of whole clock ticks (program,
# wineserver less its idle rate, Xvfb), so each is off by up to three
# ticks: below 30 a ratio could be off by a fifth and is not printed.
RESOLVING_TICKS = 30
PROCESSOR_COUNTS = (2, 16, 32, 64)
SWEEP_RATE = 10
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
# beside this one at these processor counts.
BASELINE = os.environ.get("BENCH_BASELINE", "")
BASELINE_COUNTS = (2, 64)


class Program:
    """One configuration of the side-by-side run: the host's own processors,
    or `processors` of them through recorded /proc files."""

    def __init__(self, kind, rate, files, processors=None):
        self.kind, self.rate, self.files, self.processors = kind, rate, files, processors
        self.label = "%s %d Hz" % (NAMES[kind], rate)
        self.tag = "%s-%d" % (kind, rate)
        if processors:
            self.label += ", %d processors" % processors
            self.tag += "-n%d" % processors
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
            env = dict(env, **feeder.env[self.processors])
        self.process = start_quietly(self.command(display), os.path.join(log_dir, self.tag + ".log"),
                                     cwd=self.folder, env=env)
        return self.process


class ProcFeeder:
    """Recorded /proc files for each processor count, copied afresh from
    the host's every tick while it runs, so that the bars move as on a
    machine with that many processors."""

    def __init__(self, root, counts, library):
        self.library = library
        self.folders = {n: os.path.join(root, "proc-%d" % n) for n in counts}
        self.env = {n: many_processors(n, folder, library) for n, folder in self.folders.items()}
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self.refresh, daemon=True)

    def refresh(self):
        while not self.stopping.wait(1.0 / SWEEP_RATE):
            for n, folder in self.folders.items():
                many_processors(n, folder, self.library)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.stopping.set()
        self.thread.join()


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
    log("run %d of %d: %d programs side by side, %.0f s idle, %.0f s warm-up, %.0f s measured"
        % (number, RUNS, len(programs), SECONDS, WARMUP, SECONDS))
    displays, prefixes = {}, {}
    try:
        for p in programs:
            displays[p.tag] = Display(FIRST_DISPLAY, log_dir)
            if p.under_wine:
                prefixes[p.tag] = Prefix(os.path.join(root, "prefixes"), p.tag, template,
                                         displays[p.tag], log_dir, p.files["pdh"])
        for prefix in prefixes.values():
            prefix.start_server()
        time.sleep(3)

        # Each wineserver's own rate with Wine's services up and no program.
        idle_start = {t: cpu_ticks(x.server_pid) for t, x in prefixes.items()}
        t0 = time.monotonic()
        time.sleep(SECONDS)
        idle_seconds = time.monotonic() - t0
        idle_rate = {t: (cpu_ticks(x.server_pid) - idle_start[t]) / idle_seconds
                     for t, x in prefixes.items()}

        for p in programs:
            p.launch(displays[p.tag], prefixes.get(p.tag), log_dir, feeder)
        time.sleep(WARMUP)
        windows = {p.tag: displays[p.tag].visible_window(*p.window_search()) for p in programs}
        missing = [p.label for p in programs if not windows[p.tag]]
        if missing:
            log("  no window for: " + ", ".join(missing))

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

        before = sample()
        t0 = time.monotonic()
        time.sleep(SECONDS)
        after = sample()
        seconds = time.monotonic() - t0

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
                "window": window_geometry(windows[p.tag], displays[p.tag].name)[2:] if windows[p.tag] else None,
            })
            r = p.results[-1]
            log("  %-16s total %.2f%% (program %.2f, wineserver %.2f, Xvfb %.2f), RSS %.1f MiB"
                % (p.label, r["total"], program, server, xvfb, r["rss"]))
    finally:
        stop_everything(programs, prefixes, displays)


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
    display = Display(FIRST_DISPLAY, log_dir)
    prefix = Prefix(os.path.join(root, "prefixes"), "single", template, display, log_dir, files["pdh"])
    try:
        prefix.start_server()
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
        kinds = {
            "plix": (["wine", os.path.join(folder, "plix.exe")], prefix.env, ["--name", "^plix$"]),
            "floor": (["wine", os.path.join(folder, "floor.exe"), "10"], prefix.env, ["--name", "^plix floor$"]),
            "counters floor": (["wine", os.path.join(folder, "floor.exe"), "10", "counters"], prefix.env,
                               ["--name", "^plix floor$"]),
            "xosview": (Program("xosview", 10, files).command(display),
                        without_wine(os.environ), ["--class", "xosview"]),
        }
        starts = {}
        for kind, (command, env, search) in kinds.items():
            times = []
            # The first start only warms the file cache and Wine's desktop.
            for attempt in range(STARTS + 1):
                def launch():
                    return start_quietly(command, os.path.join(log_dir, "start-%s.log" % kind),
                                         cwd=folder, env=env)

                seconds, process = time_to_window(display, launch, search)
                if attempt > 0 and seconds is not None:
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
        prefix.stop()
        display.stop()
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
    programs = [Program(kind, SWEEP_RATE, files, PROFILE_PROCESSORS) for kind in ("plix", "counters")]
    displays, prefixes, records = {}, {}, {}
    log("profile: plix and the counters floor at %d Hz seeing %d processors, %.0f s warm-up, %.0f s sampled"
        % (SWEEP_RATE, PROFILE_PROCESSORS, WARMUP, SECONDS))
    with ProcFeeder(root, [PROFILE_PROCESSORS], files["processors"]) as feeder:
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

    lines = ["", "Where plix's time per tick goes against the counters floor's: both at %d Hz seeing %d processors,"
             % (SWEEP_RATE, PROFILE_PROCESSORS),
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


def report(programs, single, files, load_before, load_after):
    lines = []
    out = lines.append
    out("")
    out("plix benchmark: %d run(s), %.0f s measured after %.0f s warm-up, all programs side by side"
        % (RUNS, SECONDS, WARMUP))
    lines.extend(machine_lines())
    out("load average before / after: %s / %s (other work on the machine shows here)" % (load_before, load_after))
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

    def med(kind, rate, key, processors=None):
        for p in programs:
            if p.kind == kind and p.rate == rate and p.processors == processors:
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
    lines.extend(processor_lines(programs, med))

    micro = single.get("micro", {})
    names = [
        ("collect", "provider collect (PdhCollectQueryData + 3 formatted values)"),
        ("paint_pass", "paint pass into a memory DC (paintWindow, 3 full gauges)"),
        ("paint_gauges", "  of which drawing (paintGauges)"),
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
    out("Start-up, launch to mapped window, warm wineserver, ms, median [min-max] of %d:" % STARTS)
    for kind, times in single.get("starts", {}).items():
        out("  %-14s %s" % (kind, fmt_range(times, 0)))
    out("")
    out("plix.exe: %d bytes" % os.path.getsize(files["plix"]))
    return "\n".join(lines)


def processor_lines(programs, med):
    """The table of plix and the counters floor seeing 2 to 64 processors,
    and the cost of one more strip."""
    lines = []
    out = lines.append
    counts = sorted({p.processors for p in programs if p.processors})
    if not counts:
        return lines
    out("plix and the counters floor at %d Hz seeing N processors (N + 1 strips), CPU in %% of one core,"
        % SWEEP_RATE)
    out("median [min-max], and CPU time per tick in microseconds:")
    out("|   N | windows, plix / floor | plix CPU %           | counters floor CPU % | plix / floor | plix us/tick | floor us/tick |")
    out("|-----|-----------------------|----------------------|----------------------|--------------|--------------|---------------|")
    per_tick = {"plix": [], "counters": []}

    def window(program):
        sizes = [r["window"] for r in program.results if r and r["window"]]
        return "%dx%d" % sizes[-1] if sizes else "n/a"

    for n in counts:
        found = {p.kind: p for p in programs if p.processors == n}
        cpu = {kind: med(kind, SWEEP_RATE, "total", n) for kind in per_tick}
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
    baseline = [n for n in counts if any(p.kind == "previous" and p.processors == n for p in programs)]
    if baseline:
        out("")
        out("Against the previous build (BENCH_BASELINE), CPU over the counters floor's:")
        for n in baseline:
            floor = med("counters", SWEEP_RATE, "total", n)
            out("  N = %2d: plix / floor %s, previous plix / floor %s" % (
                n, ratio(med("plix", SWEEP_RATE, "total", n), floor, RESOLUTION),
                ratio(med("previous", SWEEP_RATE, "total", n), floor, RESOLUTION)))
    out("")
    out("One more strip, us per tick: slope of the least-squares line through CPU time per tick")
    out("against strip count (N + 1, N = %s):" % ", ".join(str(n) for n in counts))
    for name, points in (("plix", per_tick["plix"]), ("counters floor", per_tick["counters"]),
                         ("plix - counters floor", difference)):
        fit = least_squares(points)
        out("  %-22s %s" % (name, "n/a" if fit is None else
                              "%6.1f us per strip (line meets no strips at %.0f us)" % fit))
    out("")
    return lines


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
    programs += [Program(kind, SWEEP_RATE, files, n) for n in PROCESSOR_COUNTS for kind in ("plix", "counters")]
    if BASELINE:
        files["previous"] = os.path.abspath(BASELINE)
        programs += [Program("previous", SWEEP_RATE, files, n) for n in BASELINE_COUNTS]
    for p in programs:
        p.prepare_folder(root)

    load_before = loadavg()
    with ProcFeeder(root, PROCESSOR_COUNTS, files["processors"]) as feeder:
        for number in range(1, RUNS + 1):
            one_run(number, programs, root, template, log_dir, feeder)
    single = single_checks(programs, root, template, log_dir, files)
    text = report(programs, single, files, load_before, loadavg())
    print(text)
    with open(os.path.join(root, "results.txt"), "w") as f:
        f.write(text + "\n")
    log("\nlogs: %s\nresults: %s" % (log_dir, os.path.join(root, "results.txt")))


if __name__ == "__main__":
    main()
