// The application shell: class registration, the two windows, the polling
// timer and the window procedure. Every tick places the window, runs a paint
// pass and saves the settings when due, in that order.

#include "app/MainWindow.h"

#include <string>
#include <vector>

#include "app/PaintPass.h"
#include "app/PollingTimer.h"
#include "common/WindowDpi.h"
#include "counters/CounterQuery.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "ui/ContextMenu.h"
#include "ui/Placement.h"

HINSTANCE appInstance = nullptr;
wchar_t windowTitle[kWindowTextCapacity] = {};
wchar_t windowClassName[kWindowTextCapacity] = {};
HWND mainWindow = nullptr;
bool pollingTimerStarted = false;
bool dragging = false;
int stripCount = 0;
StripLayout windowLayout = stripLayoutInColumns(0, 1);

namespace {

void setPollingTimer(HWND window)
{
    if (pollingTimerStarted)
        KillTimer(window, kPollingTimerId);
    SetTimer(window, kPollingTimerId, pollingPeriodMs(settings.pollingFrequency), nullptr);
    pollingTimerStarted = true;
}

HWND createOwnerWindow(HINSTANCE instance)
{
    return CreateWindowExW(0, windowClassName, L"", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
}

// Laid out and placed for the monitor under the stored position, as the
// first tick would place it. The stored position is left for that tick to
// update, so that a position pulled in from off the screen is saved. The
// DPI is the system's until the window exists: on a monitor of another
// scale it is laid out again at once.
HWND createMainWindow(HINSTANCE instance, HWND owner)
{
    const WindowPlan plan =
        planWindowAt(stripCount, knownMonitors(), {settings.windowX, settings.windowY}, systemDpi());
    windowLayout = plan.layout;
    const ScreenRect& rect = plan.rect;
    HWND window = CreateWindowExW(0, windowClassName, windowTitle, WS_POPUP | WS_BORDER, rect.left, rect.top,
                                  windowLayout.width, windowLayout.height, owner, nullptr, instance, nullptr);
    if (window == nullptr)
        return nullptr;
    const int dpi = windowDpi(window);
    if (dpi != windowLayout.dpi) {
        windowLayout.dpi = dpi;
        placeWindow(window, stripCount, windowLayout, settings);
    }
    return window;
}

void onTimer(HWND window)
{
    placeWindow(window, stripCount, windowLayout, settings);
    HDC dc = GetDC(window);
    paintWindow(dc, window, windowLayout);
    ReleaseDC(window, dc);
    settings.saveIfDue();
}

// Monitors plugged in or out, a resolution or a taskbar changed: the window
// is laid out and kept on screen now rather than at the next tick.
void onDisplayChange(HWND window)
{
    readMonitors();
    placeWindow(window, stripCount, windowLayout, settings);
}

// Dragged onto a monitor of another scale, or the scale changed in
// Settings: the strips, their bars and the labels' font grow or shrink with
// it at once.
void onDpiChanged(HWND window, int dpi, const RECT& suggested)
{
    rescaleWindow(window, stripCount, dpi, suggested, dragging, windowLayout, settings);
    labelFont.fontFor(windowLayout.dpi);
}

void onPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    paintWindow(dc, window, windowLayout);
    EndPaint(window, &paint);
}

// Windows ends the process soon after WM_ENDSESSION without running static
// destructors, so the exit save would never happen: write a change now,
// throttle or not. A cancelled end of session (wParam FALSE) changes nothing.
void onEndSession(bool sessionEnds)
{
    if (sessionEnds)
        settings.saveNow();
}

void onLeftButtonDown(HWND window, POINT clientPoint)
{
    dragging = true;
    beginDrag(clientPoint, window);
    SetCapture(window);
}

void onLeftButtonUp()
{
    dragging = false;
    ReleaseCapture();
}

void onMouseMove(HWND window, POINT clientPoint)
{
    if (dragging)
        dragTo(window, clientPoint, stripCount, windowLayout, settings);
}

} // namespace

void registerMainClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PLIX));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = windowClassName;
    windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PLIX_SMALL));
    RegisterClassExW(&windowClass);
}

bool startInstance(HINSTANCE instance, int showCommand)
{
    appInstance = instance;
    std::vector<std::wstring> keyNames;
    counterQuery.getKeyNames(keyNames);

    stripCount = static_cast<int>(keyNames.size());
    readMonitors();

    HWND owner = createOwnerWindow(instance);
    mainWindow = createMainWindow(instance, owner);
    if (mainWindow == nullptr)
        return false;

    setPollingTimer(mainWindow);
    ShowWindow(mainWindow, showCommand);
    // The first WM_PAINT, and with it every gauge's first sample, happens here.
    UpdateWindow(mainWindow);
    SetWindowPos(mainWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return true;
}

void restartPollingTimer()
{
    if (mainWindow == nullptr)
        return;
    setPollingTimer(mainWindow);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
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
    case WM_MOUSEMOVE:
        onMouseMove(window, clientPointOf(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        onLeftButtonDown(window, clientPointOf(lParam));
        return 0;
    case WM_LBUTTONUP:
        onLeftButtonUp();
        return 0;
    case WM_CAPTURECHANGED:
        // Whoever took the capture also took the button-up: stop following
        // the mouse instead of dragging with the button released.
        dragging = false;
        return 0;
    case WM_RBUTTONUP:
        showContextMenu(clientPointOf(lParam), window, appInstance, restartPollingTimer);
        return 0;
    case WM_DISPLAYCHANGE:
        onDisplayChange(window);
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA)
            onDisplayChange(window);
        return 0;
    case WM_DPICHANGED:
        // Windows gives the same DPI for x and y.
        onDpiChanged(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        onEndSession(wParam != FALSE);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
