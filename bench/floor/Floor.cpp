// The Wine floor: the least a gauge window like plix's can cost under Wine.
// A popup window of plix's size with a polling timer; every tick (and every
// WM_PAINT) makes a bitmap and a memory DC, fills them light yellow, copies
// them to the window in one BitBlt and deletes them again, the same shape as
// plix's paint pass, but with no counters and no gauges.
//
// Command line: the rate in ticks per second (1 to 10, default 10) and,
// optionally, the window's outer height (default 40 per active processor
// plus 40 for memory, as plix sizes its window).

#include <windows.h>

#include <cstdlib>

#include "bench/floor/FloorPaint.h"

namespace {

constexpr wchar_t kClassName[] = L"PLIXFLOOR";
constexpr wchar_t kTitle[] = L"plix floor";
constexpr int kWidth = 60;
constexpr int kHeightPerStrip = 40;
constexpr int kLeft = 100;
constexpr int kTop = 100;
constexpr int kMinRate = 1;
constexpr int kMaxRate = 10;
constexpr int kDefaultRate = 10;
constexpr UINT_PTR kTimerId = 1;
constexpr int kMillisecondsPerSecond = 1000;

int activeProcessorCount()
{
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    int count = 0;
    for (DWORD_PTR mask = info.dwActiveProcessorMask; mask != 0; mask &= mask - 1)
        ++count;
    return count;
}

void onTimer(HWND window)
{
    HDC dc = GetDC(window);
    floorPaint(dc, window);
    ReleaseDC(window, dc);
}

void onPaint(HWND window)
{
    PAINTSTRUCT paintStruct;
    HDC dc = BeginPaint(window, &paintStruct);
    floorPaint(dc, window);
    EndPaint(window, &paintStruct);
}

LRESULT CALLBACK floorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        onPaint(window);
        return 0;
    case WM_TIMER:
        onTimer(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    char* rest = commandLine;
    long rate = std::strtol(commandLine, &rest, 10);
    if (rate < kMinRate || rate > kMaxRate)
        rate = kDefaultRate;
    long height = std::strtol(rest, nullptr, 10);
    if (height <= 0)
        height = kHeightPerStrip * (activeProcessorCount() + 1);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = floorWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);

    HWND window = CreateWindowExW(0, kClassName, kTitle, WS_POPUP | WS_BORDER, kLeft, kTop, kWidth,
                                  static_cast<int>(height), nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    SetTimer(window, kTimerId, static_cast<UINT>(kMillisecondsPerSecond / rate), nullptr);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
