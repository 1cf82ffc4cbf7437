#pragma once
// The main window's place on the monitors: the monitors as Windows last
// reported them, and the window sized and moved as ui/WindowPlan decides,
// every tick and at each step of a drag.

#include <windows.h>

#include "ui/StripLayout.h"
#include "ui/WindowPlan.h"

class Settings;

// The monitors, read once at start and again by readMonitors when the
// displays or the work area change: a tick asks Windows nothing about them.
const Monitors& knownMonitors();
void readMonitors();
// How many times the monitors were read, so that tests can tell.
int monitorReads();

// The main window's rectangle, border included.
ScreenRect windowRect(HWND window);

// The client point of a mouse message: signed 16-bit x and y.
POINT clientPointOf(LPARAM lParam);

// Sizes and moves the window, in one SetWindowPos, to its plan at
// layout.dpi for the monitor it is on, unless it already stands so; the
// plan's top-left corner is stored in the settings. `layout` becomes the
// plan's.
void placeWindow(HWND window, int stripCount, StripLayout& layout, Settings& settings);

// The window's DPI became dpi (WM_DPICHANGED): laid out again at it with
// its top-left corner at `suggested`'s, Windows' choice, or during a drag
// where the cursor keeps the point it holds, the grab offset scaled by the
// change; then clamped as always.
void rescaleWindow(HWND window, int stripCount, int dpi, const RECT& suggested, bool dragging, StripLayout& layout,
                   Settings& settings);

void beginDrag(POINT clientPoint, HWND window);
// Lays the window out at layout.dpi for the monitor under the cursor and
// moves it there; `layout` follows the window's size.
void dragTo(HWND window, POINT clientPoint, int stripCount, StripLayout& layout, Settings& settings);

// Window rectangle minus cursor position, from the last beginDrag or re-anchor.
extern POINT dragOffset;
