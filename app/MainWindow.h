#pragma once
// The window class, the owner and main windows, the polling timer and the
// window procedure that hands each message to the code that handles it.

#include <windows.h>

#include "app/Sampling.h"

constexpr int kWindowTextCapacity = 100;

extern HINSTANCE appInstance;
extern wchar_t windowTitle[kWindowTextCapacity];
extern wchar_t windowClassName[kWindowTextCapacity];
extern HWND mainWindow;
extern bool pollingTimerStarted;

void registerMainClass(HINSTANCE instance);
bool startInstance(HINSTANCE instance, int showCommand, TickClock clock = GetTickCount64);
// plix has no caption or taskbar button, so it always shows normally:
// SW_SHOWNORMAL where the command activates, else SW_SHOWNOACTIVATE.
int startShowCommand(int showCommand);
void restartPollingTimer();
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
