#pragma once
// Keeping the main window inside the work area, and dragging it there.
// The arithmetic is in ui/PlacementMath; these read the screen, call it and
// move the window.

#include <windows.h>

#include "ui/PlacementMath.h"

class Settings;

// The main window's rectangle, border included.
ScreenRect windowRect(HWND window);

// The work area of the monitor nearest a rectangle or a point: a position
// on a monitor that is no longer attached lands on the nearest one.
ScreenRect workAreaNearest(const ScreenRect& rect);
ScreenRect workAreaNearest(ScreenPoint point);

// The client point of a mouse message: signed 16-bit x and y.
POINT clientPointOf(LPARAM lParam);

// Keeps the window inside a work area the caller has already found for it.
void keepInWorkArea(HWND window, const ScreenRect& workArea, Settings& settings);
void beginDrag(POINT clientPoint, HWND window);
void dragTo(HWND window, POINT clientPoint, Settings& settings);

void dragTo(HWND window, POINT clientPoint);

// Window rectangle minus cursor position, from the last beginDrag or re-anchor.
extern POINT dragOffset;
