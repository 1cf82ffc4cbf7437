#pragma once
// Which monitor the main window belongs to, and how it stands there: the
// strip layout for that monitor's work area and the window's place inside
// it. Decided here for creation, every tick, a display change and each step
// of a drag, from the monitors the shell read alone, so that all agree.

#include <vector>

#include "ui/PlacementMath.h"
#include "ui/StripLayout.h"

struct MonitorArea {
    ScreenRect bounds;
    ScreenRect workArea;
    bool primary;
};
using Monitors = std::vector<MonitorArea>;

// The monitor Windows chooses for a rectangle (MonitorFromRect with
// MONITOR_DEFAULTTONEAREST): the one it overlaps most, else the nearest;
// ties go to the primary, then the first listed. A point counts as its
// one-pixel rectangle. Needs at least one monitor.
const MonitorArea& monitorFor(const Monitors& monitors, const ScreenRect& rect);
const MonitorArea& monitorFor(const Monitors& monitors, ScreenPoint point);

struct WindowPlan {
    StripLayout layout;
    ScreenRect rect;
};

// Every plan lays the strips out at the window's scale: its DPI and border.
//
// The monitor the window now at `window` is planned on: Windows' choice
// (monitorFor) among the monitors it is at rest on (their layout and
// clamping change nothing), or among all. Windows' choice alone would let
// the next tick move a window too wide for a narrow work area, or one with
// no strips, to a neighbour with another layout.
const MonitorArea& monitorForWindow(int stripCount, const Monitors& monitors, const ScreenRect& window,
                                    WindowScale scale = {});

// The window now at `window`, planned on monitorForWindow. Planning again
// from the plan's rectangle gives the same plan.
WindowPlan planWindow(int stripCount, const Monitors& monitors, const ScreenRect& window, WindowScale scale = {});

// A window about to be made with its top-left corner at `topLeft`: sized
// for the monitor under that corner, then planned as a tick would plan it,
// so that the first tick finds nothing to change.
WindowPlan planWindowAt(int stripCount, const Monitors& monitors, ScreenPoint topLeft, WindowScale scale = {});

// One mouse move of a drag: laid out for the monitor under the cursor, so
// that a window dragged onto a taller or shorter monitor takes its layout at
// once, and clamped into that monitor's work area.
struct DragPlan {
    StripLayout layout;
    DragStep step;
};
DragPlan planDrag(int stripCount, const Monitors& monitors, ScreenPoint cursor, ScreenPoint dragOffset,
                  WindowScale scale = {});
