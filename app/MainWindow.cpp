// The application shell: class registration, the two windows, the polling
// timer and the window procedure. Every tick places the window, samples and
// feeds the gauges, draws them and saves the settings when due, in that
// order. The main window's
// state is one value that only its own messages reach.

#include "app/MainWindow.h"

#include <algorithm>
#include <memory>

#include "app/WindowPainter.h"
#include "common/WindowDpi.h"
#include "counters/CounterQuery.h"
#include "gauges/MonitorRegistry.h"
#include "res/resource.h"
#include "settings/PollingRate.h"
#include "settings/Settings.h"
#include "ui/ContextMenu.h"
#include "ui/Placement.h"

HINSTANCE appInstance = nullptr;
wchar_t windowTitle[kWindowTextCapacity] = {};
wchar_t windowClassName[kWindowTextCapacity] = {};
HWND mainWindow = nullptr;
bool pollingTimerStarted = false;

namespace {

constexpr unsigned kPollingTimerId = 1;

struct MainWindowState {
    MainWindowState(CounterQuery& query, MonitorRegistry& registry, TickClock clock)
        : sampling(query, registry, clock), paint(sampling) {}

    WindowState window;
    Sampling sampling;
    WindowPainter paint;
    unsigned periodMs = 0;  // the polling timer's
};

// Made anew for every main window startInstance makes.
std::unique_ptr<MainWindowState> mainState;

void setPollingTimer(HWND window, MainWindowState& state)
{
    if (pollingTimerStarted)
        KillTimer(window, kPollingTimerId);
    state.periodMs = pollingPeriodMs(settings.pollingFrequency);
    SetTimer(window, kPollingTimerId, state.periodMs, nullptr);
    pollingTimerStarted = true;
}

HWND createOwnerWindow(HINSTANCE instance)
{
    return CreateWindowExW(0, windowClassName, L"", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
}

// Laid out and placed for the monitor under the stored position, as the
// first tick would place it, at the system DPI: the window's own is known
// once it exists.
HWND createMainWindow(HINSTANCE instance, HWND owner, WindowState& state)
{
    const WindowScale scale = scaleAt(displayFunctions, systemDpi(displayFunctions));
    const WindowPlan plan = planWindowAt(state.stripCount, state.monitors, {settings.windowX, settings.windowY}, scale);
    state.layout = plan.layout;
    return CreateWindowExW(0, windowClassName, windowTitle, kMainWindowStyle, plan.rect.left, plan.rect.top,
                           plan.layout.width, plan.layout.height, owner, nullptr, instance, nullptr);
}

// On a monitor of another scale than the system's the window is laid out
// again at once, as when it is moved there.
void takeWindowDpi(HWND window, WindowState& state)
{
    const int dpi = usableDpi(windowDpi(displayFunctions, window));
    if (dpi == state.layout.strip.dpi)
        return;
    RECT now = {};
    GetWindowRect(window, &now);
    dpiChanged(window, state, dpi, now, settings, displayFunctions);
}

void showAtStart(HWND window, int shown)
{
    ShowWindow(window, shown);
    // Windows may take the start's own show command instead of the first one
    // a program gives (a shortcut's "Run: Minimized"); the second is as given.
    if (IsIconic(window) || IsZoomed(window) || !IsWindowVisible(window))
        ShowWindow(window, shown);
}

void onTimer(HWND window, MainWindowState& state)
{
    keepInWorkArea(window, state.window, settings);
    state.sampling.sample(state.periodMs);
    // The window shows the rest already: only what changed is copied.
    HDC dc = GetDC(window);
    state.paint.paintWindow(dc, state.window.layout, WindowPainter::Copy::Changed);
    ReleaseDC(window, dc);
    settings.saveIfDue();
}

// A paint samples too, so that uncovering the window shows the load of now;
// Sampling keeps it from collecting again within half a period.
void onPaint(HWND window, MainWindowState& state)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    state.sampling.sample(state.periodMs);
    state.paint.paintWindow(dc, state.window.layout, WindowPainter::Copy::Whole);
    EndPaint(window, &paint);
}

// Monitors, a resolution or a taskbar changed: laid out and drawn anew.
void onDisplayChange(HWND window, MainWindowState& state)
{
    displayChanged(window, state.window, settings, displayFunctions);
    state.paint.redrawEverything();
}

// Label pieces rendered with the old font smoothing are made again.
void onSettingChange(HWND window, MainWindowState& state, UINT setting)
{
    switch (setting) {
    case SPI_SETWORKAREA:
        onDisplayChange(window, state);
        break;
    case SPI_SETFONTSMOOTHING:
    case SPI_SETFONTSMOOTHINGTYPE:
    case SPI_SETFONTSMOOTHINGCONTRAST:
    case SPI_SETFONTSMOOTHINGORIENTATION:
        state.paint.redrawEverything();
        break;
    }
}

// Windows ends the process soon after WM_ENDSESSION without running static
// destructors, so the exit save would never happen: write a change now,
// throttle or not. A cancelled end of session (wParam FALSE) changes nothing.
// The Restart Manager closing programs for an installer or an update
// (ENDSESSION_CLOSEAPP) waits for plix to end by itself: it leaves as on
// Exit, the window first.
void onEndSession(HWND window, bool sessionEnds, LPARAM how)
{
    if (!sessionEnds)
        return;
    if ((how & ENDSESSION_CLOSEAPP) != 0)
        DestroyWindow(window);
    settings.saveNow();
}

void onLeftButtonDown(HWND window, WindowState& state, POINT clientPoint)
{
    beginDrag(window, state, clientPoint);
    SetCapture(window);
}

void onLeftButtonUp(WindowState& state)
{
    endDrag(state);
    ReleaseCapture();
}

void onMouseMove(HWND window, WindowState& state, POINT clientPoint)
{
    if (state.drag.active)
        dragTo(window, state, clientPoint, settings);
}

LRESULT handleMainWindowMessage(HWND window, MainWindowState& state, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        onPaint(window, state);
        return 0;
    case WM_TIMER:
        onTimer(window, state);
        return 0;
    case WM_MOUSEMOVE:
        onMouseMove(window, state.window, clientPointOf(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        onLeftButtonDown(window, state.window, clientPointOf(lParam));
        return 0;
    case WM_LBUTTONUP:
        onLeftButtonUp(state.window);
        return 0;
    case WM_CAPTURECHANGED:
        // Whoever took the capture also took the button-up: stop following
        // the mouse instead of dragging with the button released.
        endDrag(state.window);
        return 0;
    case WM_RBUTTONUP:
        showContextMenu(clientPointOf(lParam), window, appInstance, restartPollingTimer);
        return 0;
    case WM_DISPLAYCHANGE:
        onDisplayChange(window, state);
        return 0;
    case WM_SETTINGCHANGE:
        onSettingChange(window, state, static_cast<UINT>(wParam));
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        state.paint.redrawEverything();
        return 0;
    case WM_DPICHANGED:
        // Windows gives the same DPI for x and y.
        dpiChanged(window, state.window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam), settings,
                   displayFunctions);
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            state.sampling.primeNext();
        return TRUE;
    case WM_TIMECHANGE:
        state.sampling.primeNext();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        onEndSession(window, wParam != FALSE, lParam);
        return 0;
    case WM_ERASEBKGND:
        // The picture covers the whole client area: anything drawn under it
        // first would only flash.
        return TRUE;
    case WM_SIZE:
        // Laid out anew, the picture moves as a whole, not only where the
        // window grew.
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

void registerMainClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    // No background brush and no redraw on resize: nothing erases the
    // client area before the paint pass copies its picture over all of it.
    windowClass.style = 0;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PLIX));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszClassName = windowClassName;
    windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PLIX_SMALL));
    RegisterClassExW(&windowClass);
}

bool startInstance(HINSTANCE instance, int showCommand, TickClock clock)
{
    appInstance = instance;
    mainWindow = nullptr;
    mainState = std::make_unique<MainWindowState>(counterQuery, monitorRegistry, clock);
    WindowState& state = mainState->window;
    // Without any counter, memory's strip stays to show the red cross and
    // take the right button.
    state.stripCount = std::max(1, mainState->paint.stripCount());
    state.monitors = readMonitors(displayFunctions);

    HWND owner = createOwnerWindow(instance);
    mainWindow = createMainWindow(instance, owner, state);
    if (mainWindow == nullptr)
        return false;
    takeWindowDpi(mainWindow, state);

    setPollingTimer(mainWindow, *mainState);
    const int shown = startShowCommand(showCommand);
    showAtStart(mainWindow, shown);
    // The first WM_PAINT, and with it every gauge's first sample, happens here.
    UpdateWindow(mainWindow);
    SetWindowPos(mainWindow, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | (shown == SW_SHOWNOACTIVATE ? SWP_NOACTIVATE : 0));
    return true;
}

int startShowCommand(int showCommand)
{
    switch (showCommand) {
    case SW_SHOWNORMAL:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMAXIMIZED:
    case SW_SHOW:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
        return SW_SHOWNORMAL;
    default:
        return SW_SHOWNOACTIVATE;
    }
}

void restartPollingTimer()
{
    if (mainWindow == nullptr || mainState == nullptr)
        return;
    setPollingTimer(mainWindow, *mainState);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    // The owner is never shown and has no timer, but Windows broadcasts
    // display, work-area and DPI changes to it too: it is not plix, and
    // leaves them all to the default handling.
    if (window != mainWindow || mainState == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return handleMainWindowMessage(window, *mainState, message, wParam, lParam);
}
