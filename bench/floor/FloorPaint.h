#pragma once
// The Wine floor's paint: plix's paint-pass shape with no counters and no
// gauges. Shared by the floor program and the paint microbenchmark.

#include <windows.h>

void floorPaint(HDC target, HWND window);
