// The Wine floors: the least a gauge window like plix's can cost under Wine.
// A popup window of plix's size with a polling timer; every tick (and every
// WM_PAINT) makes a bitmap and a memory DC, fills them light yellow, copies
// them to the window in one BitBlt and deletes them again, the same shape as
// plix's paint pass, but with no gauges. The counters floor also collects
// plix's counters once a tick, formatting each as an integer, before it
// paints: the least a live gauge can cost.
//
// Command line: the rate in ticks per second (1 to 10, default 10) and,
// optionally, the word "counters" for the counters floor.

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "ui/StripLayout.h"
#include "bench/floor/FloorCounters.h"
#include "bench/floor/FloorPaint.h"
#include "counters/PdhFunctions.h"
#include "gauges/CounterNames.h"
#include "ui/PlacementMath.h"

namespace {

constexpr wchar_t kClassName[] = L"PLIXFLOOR";
constexpr wchar_t kTitle[] = L"plix floor";
constexpr char kCountersMode[] = "counters";
constexpr int kLeft = 100;
constexpr int kTop = 100;
constexpr int kMinRate = 1;
constexpr int kMaxRate = 10;
constexpr int kDefaultRate = 10;
constexpr UINT_PTR kTimerId = 1;
constexpr int kMillisecondsPerSecond = 1000;

// Null in the bare floor.
std::unique_ptr<FloorCounters> counters;

struct FloorOptions {
    long rate = kDefaultRate;
    bool withCounters = false;
};

FloorOptions parseCommandLine(const char* commandLine)
{
    FloorOptions options;
    char* rest = nullptr;
    long rate = std::strtol(commandLine, &rest, 10);
    if (rate >= kMinRate && rate <= kMaxRate)
        options.rate = rate;
    options.withCounters = std::strstr(rest, kCountersMode) != nullptr;
    return options;
}

// plix's window for this many strips on the monitor at the floor's corner,
// kept inside that monitor's work area as plix keeps its own.
RECT windowRect(int strips)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromPoint(POINT{kLeft, kTop}, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    StripLayout layout = stripLayout(strips, work.bottom - work.top);
    ClampedPosition corner = clampToWorkArea(kLeft, kTop, layout.width, layout.height,
                                             ScreenRect{work.left, work.top, work.right, work.bottom});
    return RECT{corner.x, corner.y, corner.x + layout.width, corner.y + layout.height};
}

void tick(HDC dc, HWND window)
{
    if (counters)
        counters->collect();
    floorPaint(dc, window);
}

void onTimer(HWND window)
{
    HDC dc = GetDC(window);
    tick(dc, window);
    ReleaseDC(window, dc);
}

void onPaint(HWND window)
{
    PAINTSTRUCT paintStruct;
    HDC dc = BeginPaint(window, &paintStruct);
    tick(dc, window);
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
    const FloorOptions options = parseCommandLine(commandLine);
    const ProcessorCounters processors = processorCounters(systemPdh(), systemProcessorInfo());
    if (options.withCounters)
        counters = std::make_unique<FloorCounters>(systemPdh(), processors);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = floorWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);

    // A strip per active processor and one for memory, as plix has.
    const RECT rect = windowRect(static_cast<int>(processors.size()) + 1);
    HWND window = CreateWindowExW(0, kClassName, kTitle, WS_POPUP | WS_BORDER, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance,
                                  nullptr);
    if (window == nullptr)
        return 1;
    SetTimer(window, kTimerId, static_cast<UINT>(kMillisecondsPerSecond / options.rate), nullptr);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    counters.reset();
    return static_cast<int>(message.wParam);
}
