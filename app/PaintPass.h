#pragma once
// One paint pass: collect every counter once, feed each gauge one sample and
// draw the gauges stacked in key-name order, through an off-screen bitmap.

#include <windows.h>

#include "gauges/LabelFont.h"
#include "ui/StripLayout.h"

class CounterQuery;
class MonitorRegistry;

constexpr COLORREF kBackgroundColour = RGB(255, 255, 128);
constexpr COLORREF kErrorCrossColour = RGB(255, 0, 0);

// The labels' font at the window's DPI.
extern LabelFont labelFont;

// The strips stand as `layout` says, at its DPI: the layout the window was sized for.
void paintWindow(HDC target, HWND window, const StripLayout& layout);
void paintGauges(HWND window, HDC dc, const StripLayout& layout);
void drawErrorCross(HDC dc, HWND window);

// The same passes on a query and registry of the caller's choice.
void paintWindow(HDC target, HWND window, const StripLayout& layout, CounterQuery& query, MonitorRegistry& registry);
void paintGauges(HWND window, HDC dc, const StripLayout& layout, CounterQuery& query, MonitorRegistry& registry);
