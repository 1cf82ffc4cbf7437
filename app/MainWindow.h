#pragma once
// The window class, the owner and main windows, the polling timer and the
// window procedure that hands each message to the code that handles it.

#include <windows.h>

#include "gauges/AveragingPercentMonitor.h"
#include "ui/StripLayout.h"

constexpr int kWindowTextCapacity = 100;
// The window is sized by the gauges it holds, a strip each.
static_assert(kStripWidth == AveragingPercentMonitor::kWidth && kStripHeight == AveragingPercentMonitor::kHeight &&
                  kVisibleStripWidth == AveragingPercentMonitor::kVisibleWidth,
              "the strip layout and the gauges must agree on a strip's size and what of it shows");

extern HINSTANCE appInstance;
extern wchar_t windowTitle[kWindowTextCapacity];
extern wchar_t windowClassName[kWindowTextCapacity];
extern HWND mainWindow;
extern bool pollingTimerStarted;
extern bool dragging;
// Key names filed at start-up: one strip each, for as long as plix runs.
extern int stripCount;
// How the strips stand in the window now: what the window was last sized
// for, and what the paint pass draws.
extern StripLayout windowLayout;

void registerMainClass(HINSTANCE instance);
bool startInstance(HINSTANCE instance, int showCommand);
void restartPollingTimer();
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
