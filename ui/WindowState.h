#pragma once
// The main window's state in one value (its layout, monitors and drag), and
// the pure functions that turn it and an event (a tick, a mouse move, a
// display or DPI change) into a move, which ui/Placement applies.

#include "ui/WindowPlan.h"

struct DragState {
    bool active = false;          // from a left-button press on the window to its release
    ScreenPoint offset = {0, 0};  // the window's corner minus the cursor, as last anchored
    ScreenPoint cursor = {0, 0};  // the cursor at the drag's last step
};

struct WindowState {
    int stripCount = 0;  // key names filed at start-up: fixed for the run
    Monitors monitors;   // as Windows last reported them: at start and on a display change
    StripLayout layout = stripLayoutInColumns(0, 1);  // what the window is sized for, at its DPI and border
    DragState drag;

    WindowScale scale() const { return {layout.strip.dpi, layout.border}; }
};

// Why the window moves. Each kind is applied its own way: a tick's
// follow-back puts the window back on top of the topmost windows; the
// others leave its place in the z-order alone. None takes the focus.
enum class MoveKind { FollowBack, DragStep, DisplayChange, DpiChange };

struct Move {
    MoveKind kind;
    WindowPlan plan;
    // The plan's rectangle differs from the window's; for a drag step, the
    // step moves the window at all (it is refused past the drag limit).
    bool changesWindow;
    // The user moved it there (a drag step, or a DPI change during one): the
    // place to keep. Other moves leave the stored place for when its monitor
    // or taskbar comes back.
    bool storesPlace;
};

// A tick: the window, now at `window`, laid out for its monitor and kept
// inside that monitor's work area.
Move followBack(const WindowState& state, const ScreenRect& window);

// After the monitors or the work area changed (state.monitors already read
// anew): planned again from the stored place, not from where a pull-in
// left the window, as a start there would plan it.
Move afterDisplayChange(const WindowState& state, ScreenPoint stored, const ScreenRect& window);

// A mouse move of the drag to `cursor`: laid out for the monitor under the
// cursor and clamped there. `reanchor` when the window was stopped at an
// edge or the drag limit, so that the drag offset is taken again.
struct DragMove {
    Move move;
    bool reanchor;
};
DragMove dragStepTo(const WindowState& state, ScreenPoint cursor);

// The window's DPI became scale.dpi: laid out again at it, its top-left
// corner at Windows' suggestion, or during a drag where the cursor keeps
// the point it holds (the drag offset scaled by the change: rescaledDrag).
Move afterDpiChange(const WindowState& state, WindowScale scale, const ScreenRect& suggested,
                    const ScreenRect& window);

// The drag offset grown or shrunk from one DPI to another as MulDiv rounds,
// so that the cursor keeps the point of the window it holds.
DragState rescaledDrag(const DragState& drag, int fromDpi, int toDpi);
