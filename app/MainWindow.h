#pragma once
// The window class, the owner and main windows, the polling timer and the
// window procedure that hands each message to the code that handles it.

#include <windows.h>

#include "gauges/AveragingPercentMonitor.h"

constexpr int kWindowTextCapacity = 100;
// One gauge wide, one gauge high per key name: the window is sized by the
// gauges it stacks.
constexpr int kMainWindowWidth = AveragingPercentMonitor::kWidth;
constexpr int kHeightPerKeyName = AveragingPercentMonitor::kHeight;

extern HINSTANCE appInstance;
extern wchar_t windowTitle[kWindowTextCapacity];
extern wchar_t windowClassName[kWindowTextCapacity];
extern HWND mainWindow;
extern bool pollingTimerStarted;
extern bool dragging;

void registerMainClass(HINSTANCE instance);
bool startInstance(HINSTANCE instance, int showCommand);
void restartPollingTimer();
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
