// The application shell: class registration, the two windows, the polling
// timer and the window procedure. Every tick places the window, runs a paint
// pass and saves the settings when due, in that order.

#include "app/MainWindow.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/PaintPass.h"
#include "app/PollingTimer.h"
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

// CreateWindowExW reads x = INT_MIN as CW_USEDEFAULT, and a coordinate near
// INT_MAX overflows with the window's size into an empty window that no tick
// brings back. A stored position that far out is created at the drag limit
// instead; the first tick pulls it into the work area and stores it.
int creationCoordinate(std::int32_t stored)
{
    return std::clamp(stored, -kDragLimit, kDragLimit);
}

int workAreaHeight(const ScreenRect& area)
{
    return saturate32(std::int64_t{area.bottom} - area.top);
}

// Laid out for the monitor that holds the stored position, or the nearest.
HWND createMainWindow(HINSTANCE instance, HWND owner)
{
    const ScreenPoint topLeft = {creationCoordinate(settings.windowX), creationCoordinate(settings.windowY)};
    const StripLayout layout = stripLayout(stripCount, workAreaHeight(workAreaNearest(topLeft)));
    return CreateWindowExW(0, windowClassName, windowTitle, WS_POPUP | WS_BORDER, topLeft.x, topLeft.y, layout.width,
                           layout.height, owner, nullptr, instance, nullptr);
}

// A window moved to a monitor of another height, or whose work area changed,
// is laid out again for it; its top-left corner stays where it is.
void fitLayoutToWorkArea(HWND window, const ScreenRect& workArea)
{
    const ScreenRect rect = windowRect(window);
    const StripLayout layout = stripLayout(stripCount, workAreaHeight(workArea));
    if (layout.width == rect.right - rect.left && layout.height == rect.bottom - rect.top)
        return;
    SetWindowPos(window, nullptr, 0, 0, layout.width, layout.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window's monitor is found once a tick: the strips are laid out for
// its work area, and the window is then kept inside that same one.
void onTimer(HWND window)
{
    const ScreenRect workArea = workAreaNearest(windowRect(window));
    fitLayoutToWorkArea(window, workArea);
    keepInWorkArea(window, workArea, settings);
    HDC dc = GetDC(window);
    paintWindow(dc, window);
    ReleaseDC(window, dc);
    settings.saveIfDue();
}

void onPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    paintWindow(dc, window);
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
        dragTo(window, clientPoint);
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
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        onEndSession(wParam != FALSE);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
