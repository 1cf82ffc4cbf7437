#pragma once
// One paint pass: collect every counter once, feed each gauge one sample and
// draw the gauges stacked in key-name order, through an off-screen bitmap.

#include <windows.h>

class CounterQuery;
class MonitorRegistry;

constexpr COLORREF kBackgroundColour = RGB(255, 255, 128);
constexpr COLORREF kErrorCrossColour = RGB(255, 0, 0);

void paintWindow(HDC target, HWND window);
void paintGauges(HWND window, HDC dc);
void drawErrorCross(HDC dc, HWND window);

// The same passes on a query and registry of the caller's choice.
void paintWindow(HDC target, HWND window, CounterQuery& query, MonitorRegistry& registry);
void paintGauges(HWND window, HDC dc, CounterQuery& query, MonitorRegistry& registry);
