#pragma once
// Keeping the main window inside the work area, and dragging it there.
// The arithmetic is in ui/PlacementMath; these read the screen, call it and
// move the window.

#include <windows.h>

#include "ui/PlacementMath.h"

class Settings;

// The client point of a mouse message: signed 16-bit x and y.
POINT clientPointOf(LPARAM lParam);

void keepInWorkArea(HWND window, Settings& settings);
void beginDrag(POINT clientPoint, HWND window);
void dragTo(HWND window, POINT clientPoint, Settings& settings);

void keepInWorkArea(HWND window);
void dragTo(HWND window, POINT clientPoint);

// Window rectangle minus cursor position, from the last beginDrag or re-anchor.
extern POINT dragOffset;
