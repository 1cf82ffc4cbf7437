#!/usr/bin/env python3
"""smoke_window.py PNG LOG COMMAND...: starts COMMAND (plix under the
emulated Wine, its output in LOG), waits for plix's window, checks that it
shows a strip per processor and one for memory, each with its label, on the
yellow background with green bars, saves the screenshot as PNG, and ends
plix through its menu's Exit. Emulated, everything is slow: the waits are
minutes, not seconds.
"""

import os, sys, time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
from plixdesk import (STRIP_HEIGHT, WINDOW_WIDTH, Image, kill, processor_count, run,  # noqa: E402
                      start_quietly, visible_windows, wait_for, window_geometry)

BACKGROUND = (255, 255, 128)
BAR = (20, 200, 40)
MIN_BAR_COLUMNS = 4


def crash(log):
    """Wine's line about an unhandled fault in plix, if it wrote one."""
    with open(log, errors="replace") as f:
        return next((line.strip() for line in f if line.startswith("wine: Unhandled")), None)


def screenshot(geometry, png):
    x, y, w, h = geometry
    crop = ["import", "-silent", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}"]
    run(crop + [png])
    raw = png + ".rgb"
    run(crop + ["-depth", "8", "rgb:" + raw])
    with open(raw, "rb") as f:
        data = f.read()
    os.remove(raw)
    return Image(w, h, data)


def strip_faults(image, strips):
    """What a strip lacks: its label (dark text at its top left) or its bars."""
    faults = []
    for strip in range(strips):
        top = STRIP_HEIGHT * strip
        label = [image.pixel(x, y) for y in range(top + 1, top + 14) for x in range(1, 40)]
        if sum(1 for p in label if sum(p) < 200) <= 10:
            faults.append(f"strip {strip} has no label")
        columns = {x for x in range(1, WINDOW_WIDTH - 1) for y in range(top + 1, top + STRIP_HEIGHT - 1)
                   if image.pixel(x, y) == BAR}
        if len(columns) < MIN_BAR_COLUMNS:
            faults.append(f"strip {strip} has {len(columns)} columns of bars, not {MIN_BAR_COLUMNS}")
    if image.count(BACKGROUND) < image.width * image.height // 3:
        faults.append("the yellow background is missing")
    return faults


def main(png, log, *command):
    open(log, "w").close()
    plix = start_quietly(list(command), log)
    try:
        window = wait_for(lambda: (visible_windows("--name", "^plix$") or [None])[0] or crash(log), 300, 1)
        if not window or window.startswith("wine:"):
            sys.exit(f"plix showed no window: {window or 'none in 5 minutes'}; see {log}")
        strips = processor_count() + 1
        geometry = window_geometry(window)
        if geometry[2:] != (WINDOW_WIDTH, STRIP_HEIGHT * strips):
            sys.exit(f"plix's window is {geometry[2]}x{geometry[3]}, not "
                     f"{WINDOW_WIDTH}x{STRIP_HEIGHT * strips} for {strips} strips")
        # A bar is the mean of six samples: give it two minutes for a few.
        clean = wait_for(lambda: not strip_faults(screenshot(geometry, png), strips), 120, 3)
        faults = [] if clean else strip_faults(screenshot(geometry, png), strips)
        for fault in faults:
            print(fault)
        print(f"screenshot: {png}")
        run(["xdotool", "mousemove", str(geometry[0] + 20), str(geometry[1] + 20), "click", "3"])
        time.sleep(5)
        run(["xdotool", "key", "--delay", "300", "Up", "Return"])
        try:
            plix.wait(120)
        except Exception:
            sys.exit("Exit in plix's menu did not end it within 2 minutes")
        if faults:
            sys.exit(1)
        print(f"plix on the arm64 desk: {strips} strips with labels and bars; Exit ended it")
    finally:
        kill(plix)


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
