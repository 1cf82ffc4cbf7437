#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <utility>

#include "app/MainWindow.h"
#include "common/WindowDpi.h"
#include "app/WindowPainter.h"
#include "counters/CounterQuery.h"
#include "gauges/AveragingPercentMonitor.h"
#include "gauges/MonitorRegistry.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "tests/support/RecordingGauge.h"
#include "tests/support/ScriptedDisplay.h"
#include "tests/support/ScriptedPdh.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestWindows.h"
#include "ui/Dialogs.h"
#include "ui/Placement.h"

namespace {

// The main window's clock: it stands still unless a test moves it on.
ULONGLONG testTicks = 1000000;
ULONGLONG WINAPI testClock() { return testTicks; }

// The real main window of the test process, made by startInstance on the
// process-wide query, registry and settings, with the given key names.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScriptedPdh::reset();
        counterQuery.counters.clear();
        settings.pollingFrequency = 10;
        settings.windowX = 100;
        settings.windowY = 100;
        settings.settingsDirty = false;
        ScriptedDisplay::reset();
        if (windowClassName[0] == 0) {
            LoadStringW(instance(), IDS_APP_TITLE, windowTitle, kWindowTextCapacity);
            LoadStringW(instance(), IDS_WINDOW_CLASS, windowClassName, kWindowTextCapacity);
            registerMainClass(instance());
        }
    }

    void TearDown() override
    {
        if (mainWindow != nullptr) {
            DestroyWindow(mainWindow);
            DestroyWindow(owner_);
            mainWindow = nullptr;
        }
        // Destroying the windows posted quit messages; drop them.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        ReleaseCapture();
    }

    static HINSTANCE instance() { return GetModuleHandleW(nullptr); }

    void start(int keyCount, int showCommand = SW_SHOWNOACTIVATE)
    {
        for (int i = 0; i < keyCount; ++i) {
            std::wstring key = L"cpu" + std::to_wstring(i);
            counterQuery.addCounter(key, L"\\Processor(" + std::to_wstring(i) + L")\\% Processor Time");
            if (monitorRegistry.slotFor(key) == nullptr)
                monitorRegistry.slotFor(key) = new RecordingGauge(key);
        }
        ASSERT_TRUE(startInstance(instance(), showCommand, testClock));
        owner_ = GetWindow(mainWindow, GW_OWNER);
        settings.settingsDirty = false;
    }

    RECT windowRect() const
    {
        RECT rect = {};
        GetWindowRect(mainWindow, &rect);
        return rect;
    }

    LRESULT send(UINT message, int x, int y, WPARAM wParam = 0)
    {
        return SendMessageW(mainWindow, message, wParam, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }

    // Whether a mouse move now drags the window along.
    bool followsTheMouse()
    {
        const RECT before = windowRect();
        send(WM_MOUSEMOVE, 45, 45, MK_LBUTTON);
        const RECT after = windowRect();
        return !EqualRect(&before, &after);
    }

    // Rows of the first strip's label that hold ink, read back from the
    // window as a tick painted it.
    int labelRows()
    {
        send(WM_TIMER, 0, 0, 1);
        PixelSurface shown(40, 40, kBackgroundColour);
        HDC dc = GetDC(mainWindow);
        BitBlt(shown.dc(), 0, 0, 40, 40, dc, 0, 0, SRCCOPY);
        ReleaseDC(mainWindow, dc);
        int rows = 0;
        for (int y = 0; y < 40; ++y)
            rows += shown.count(RGB(0, 0, 0), 0, y, 40, y + 1) > 0 ? 1 : 0;
        return rows;
    }

    HWND owner_ = nullptr;
};

} // namespace

TEST_F(MainWindow, IsSixtyWideAndFortyHighPerKeyName)
{
    start(3);
    RECT outer = windowRect();
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 100);
    EXPECT_EQ(outer.right - outer.left, 60);
    EXPECT_EQ(outer.bottom - outer.top, 120);
    RECT client = {};
    GetClientRect(mainWindow, &client);
    EXPECT_EQ(client.right, 58);
    EXPECT_EQ(client.bottom, 118);
    EXPECT_TRUE(GetWindowLongW(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(mainWindow, GWL_STYLE)) & (WS_POPUP | WS_BORDER | WS_CAPTION),
              static_cast<DWORD>(WS_POPUP | WS_BORDER));
    EXPECT_NE(GetWindow(mainWindow, GW_OWNER), nullptr);
    EXPECT_TRUE(pollingTimerStarted);
    // Nothing erases the client area before the picture is copied over all of it.
    EXPECT_EQ(GetClassLongPtrW(mainWindow, GCLP_HBRBACKGROUND), 0u);
    EXPECT_EQ(GetClassLongW(mainWindow, GCL_STYLE) & (CS_HREDRAW | CS_VREDRAW), 0u);
    EXPECT_EQ(send(WM_ERASEBKGND, 0, 0), TRUE);
}

TEST_F(MainWindow, StripsTooManyForTheWorkAreaStandInColumnsAndATickRestoresThem)
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int strips = (work.bottom - work.top) / 40 + 1;
    const StripLayout layout = stripLayout(strips, work.bottom - work.top);
    ASSERT_EQ(layout.columns, 2);
    start(strips);
    const auto size = [this] {
        RECT rect = windowRect();
        return std::make_pair(static_cast<int>(rect.right - rect.left), static_cast<int>(rect.bottom - rect.top));
    };
    EXPECT_EQ(size(), std::make_pair(119, layout.height));
    // One column of them would not fit: the next tick lays the window out
    // again, keeping its top-left corner.
    SetWindowPos(mainWindow, nullptr, 0, 0, 60, 40 * strips, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    send(WM_TIMER, 0, 0, 1);
    EXPECT_EQ(size(), std::make_pair(119, layout.height));
    EXPECT_EQ(windowRect().left, 100);
}

TEST_F(MainWindow, MonitorsAreReadOnDisplayChangesAndTheWindowKeptOnScreenAtOnceButNeverOnATick)
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    start(3);
    const struct {
        UINT message;
        WPARAM wParam;
        int reads;
    } messages[] = {{WM_TIMER, 1, 0}, {WM_DISPLAYCHANGE, 32, 1}, {WM_SETTINGCHANGE, SPI_SETWORKAREA, 1},
                    {WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0}};
    for (const auto& message : messages) {
        SetWindowPos(mainWindow, nullptr, work.left - 500, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        const std::size_t readsBefore = ScriptedDisplay::monitorReads();
        SendMessageW(mainWindow, message.message, message.wParam, 0);
        EXPECT_EQ(ScriptedDisplay::monitorReads() - readsBefore, static_cast<std::size_t>(message.reads))
            << message.message << " " << message.wParam;
        // A tick pulls the window in; a display change puts it back at the stored place.
        const int left = message.reads > 0 ? 100 : message.message == WM_TIMER ? work.left : work.left - 500;
        EXPECT_EQ(windowRect().left, left) << message.message << " " << message.wParam;
    }
}

namespace {

// The main window's own procedure, behind one that tells the window its DPI
// changed the first time it moves once armed: what Windows does from inside
// SetWindowPos when a move crosses onto a monitor of another scale.
WNDPROC plixProcedure = nullptr;
bool crossingArmed = false;
RECT crossingSuggested = {};

LRESULT CALLBACK crossingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallWindowProcW(plixProcedure, window, message, wParam, lParam);
    if (message == WM_WINDOWPOSCHANGED && crossingArmed) {
        crossingArmed = false;
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&crossingSuggested));
    }
    return result;
}

} // namespace

TEST_F(MainWindow, DpiChangeScalesTheStripsAndFontAtTheSuggestedPlaceOrUnderTheDraggingCursor)
{
    // Grabbed at client (10, 10), screen (111, 111), the window's corner is
    // 11 pixels up and left of the cursor, now at (121, 121): 22 at twice
    // the scale. The change comes as a message of its own, or from inside
    // the move that crossed onto a monitor of twice the scale: a tick
    // pulling the window in from off the screen, or the drag step.
    const struct {
        bool drag;
        bool insideMove;
        int dpi;
        RECT suggested, expected;
    } rows[] = {{false, false, 192, {300, 200, 390, 380}, {300, 200, 420, 440}},
                {true, false, 192, {300, 200, 390, 380}, {99, 99, 219, 339}},
                {false, false, 96, {150, 120, 210, 240}, {150, 120, 210, 240}},
                {false, true, 192, {300, 200, 420, 440}, {300, 200, 420, 440}},
                {true, true, 192, {300, 200, 420, 440}, {99, 99, 219, 339}}};
    for (const auto& row : rows) {
        start(3);
        plixProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(crossingProcedure)));
        crossingSuggested = row.suggested;
        if (row.drag)
            send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
        crossingArmed = row.insideMove;
        if (row.drag)
            send(WM_MOUSEMOVE, 20, 20, MK_LBUTTON);
        if (row.insideMove && !row.drag) {
            SetWindowPos(mainWindow, nullptr, -900, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            send(WM_TIMER, 0, 0, 1);
        }
        if (!row.insideMove)
            SendMessageW(mainWindow, WM_DPICHANGED, MAKEWPARAM(row.dpi, row.dpi),
                         reinterpret_cast<LPARAM>(&row.suggested));
        const auto context = ::testing::Message() << row.dpi << (row.drag ? " dragging" : "")
                                                  << (row.insideMove ? " inside the move" : "");
        EXPECT_FALSE(crossingArmed) << context;
        const RECT rect = windowRect();
        EXPECT_TRUE(EqualRect(&rect, &row.expected)) << context;
        EXPECT_EQ(settings.windowX, row.drag ? row.expected.left : 100) << context;
        EXPECT_EQ(settings.windowY, row.drag ? row.expected.top : 100) << context;
        // The labels' font grows with the scale, and the tick that paints
        // them finds nothing to move.
        const int rows = labelRows();
        EXPECT_GE(rows, 7 * row.dpi / 96) << context;
        EXPECT_LE(rows, 12 * row.dpi / 96) << context;
        const RECT later = windowRect();
        EXPECT_TRUE(EqualRect(&later, &row.expected)) << context;
        TearDown();
        SetUp();
    }
}

TEST_F(MainWindow, TheOwnerLeavesDisplayWorkAreaAndDpiChangesAlone)
{
    // plix on the second of two monitors, the taller: its 20 strips stand in
    // one column there, where the first would take two.
    ScriptedDisplay::setMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 768}, true},
                                  {{1024, 0, 2304, 1024}, {1024, 0, 2304, 1024}, false}});
    settings.windowX = 1100;
    start(20);
    const RECT placed = windowRect();
    ASSERT_EQ(placed.right - placed.left, 60);
    ASSERT_EQ(placed.left, 1100);
    const std::size_t reads = ScriptedDisplay::monitorReads();

    HWND owner = GetWindow(mainWindow, GW_OWNER);
    RECT suggested = {0, 0, 120, 1600};
    SendMessageW(owner, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    SendMessageW(owner, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    SendMessageW(owner, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    // A tick then works from the main window's state as it stands.
    send(WM_TIMER, 0, 0, 1);

    EXPECT_EQ(ScriptedDisplay::monitorReads(), reads);
    const RECT rect = windowRect();
    EXPECT_TRUE(EqualRect(&rect, &placed));
    EXPECT_EQ(settings.windowX, 1100);
    EXPECT_EQ(settings.windowY, 100);
    EXPECT_FALSE(settings.settingsDirty);
}

namespace {

UINT WINAPI dpi144ForWindow(HWND) { return 144; }
UINT WINAPI dpi168ForSystem() { return 168; }
HRESULT WINAPI dpi120ForMonitor(HMONITOR, MONITOR_DPI_TYPE, UINT* dpiX, UINT* dpiY)
{
    *dpiX = *dpiY = 120;
    return S_OK;
}
HRESULT WINAPI failingDpiForMonitor(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*) { return E_INVALIDARG; }
BOOL WINAPI borderOfDpiOver96(LPRECT rect, DWORD, BOOL, DWORD, UINT dpi)
{
    const int border = static_cast<int>(dpi) / 96;
    InflateRect(rect, border, border);
    return TRUE;
}

} // namespace

TEST(WindowDpi, AskedOfTheWindowThenItsMonitorThenTheSystem)
{
    const struct {
        const char* name;
        UINT(WINAPI* forWindow)(HWND);
        HRESULT(WINAPI* forMonitor)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);
        int expected;
    } rows[] = {{"the window's", dpi144ForWindow, dpi120ForMonitor, 144},
                {"its monitor's, before Windows 10 1607", nullptr, dpi120ForMonitor, 120},
                {"the system's, before Windows 8.1", nullptr, nullptr, 168},
                {"the system's, where the monitor cannot tell", nullptr, failingDpiForMonitor, 168}};
    TestWindow window(60, 40);
    for (const auto& row : rows) {
        DisplayFunctions display = systemDisplayFunctions();
        display.getDpiForWindow = row.forWindow;
        display.getDpiForMonitor = row.forMonitor;
        display.getDpiForSystem = dpi168ForSystem;
        EXPECT_EQ(windowDpi(display, window.handle()), row.expected) << row.name;
    }
    DisplayFunctions display = systemDisplayFunctions();
    display.adjustWindowRectExForDpi = borderOfDpiOver96;
    EXPECT_EQ(windowBorder(display, 192), 2) << "as Windows frames the window";
    display.adjustWindowRectExForDpi = nullptr;
    EXPECT_EQ(windowBorder(display, 192), 1) << "where Windows cannot tell";
}

TEST_F(MainWindow, WithoutKeyNamesKeepsOneStripForTheRedCross)
{
    start(0);
    RECT outer = windowRect();
    EXPECT_EQ(outer.right - outer.left, 60);
    EXPECT_EQ(outer.bottom - outer.top, 40);
}

TEST_F(MainWindow, TicksAndPaintsSampleNoSoonerThanHalfAPeriodAndOnlyPrimeAfterAGapAResumeOrAClockChange)
{
    start(1);
    const std::vector<double>& samples = dynamic_cast<RecordingGauge*>(monitorRegistry.slotFor(L"cpu0"))->samples;
    // What comes, a message first where there is one, how long after the
    // last, and whether it feeds; at ten samples a second, after the
    // first paint's collect.
    const UINT kPaint = WM_PAINT;
    const struct {
        UINT message;
        WPARAM event;
        UINT asker;
        ULONGLONG ms;
        bool feeds;
    } rows[] = {{0, 0, kPaint, 0, false},          {0, 0, WM_TIMER, 49, false},
                {0, 0, WM_TIMER, 1, true},          {0, 0, kPaint, 10, false},
                {0, 0, WM_TIMER, 90, true},         {0, 0, WM_TIMER, 2500, false},
                {0, 0, WM_TIMER, 100, true},        {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, WM_TIMER, 100, false},
                {0, 0, WM_TIMER, 100, true},        {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, kPaint, 100, false},
                {0, 0, kPaint, 100, true},          {WM_TIMECHANGE, 0, WM_TIMER, 100, false},
                {0, 0, WM_TIMER, 100, true},        {WM_POWERBROADCAST, PBT_APMSUSPEND, WM_TIMER, 100, true}};
    for (const auto& row : rows) {
        const size_t before = samples.size();
        if (row.message != 0)
            SendMessageW(mainWindow, row.message, row.event, 0);
        testTicks += row.ms;
        if (row.asker == kPaint) {
            InvalidateRect(mainWindow, nullptr, FALSE);
            UpdateWindow(mainWindow);
        } else {
            send(WM_TIMER, 0, 0, 1);
        }
        EXPECT_EQ(samples.size(), before + (row.feeds ? 1 : 0)) << row.asker << " after " << row.ms << " ms";
    }
}

TEST_F(MainWindow, ShowsNormallyWhateverTheStartOrAMinimizeAsksTakingTheFocusOnlyWhereAskedTo)
{
    const std::pair<int, bool> rows[] = {{SW_HIDE, false},    {SW_SHOWNORMAL, true},     {SW_SHOWMINIMIZED, true},
                                         {SW_MAXIMIZE, true}, {SW_SHOWNOACTIVATE, false}, {SW_SHOW, true},
                                         {SW_MINIMIZE, false}, {SW_SHOWMINNOACTIVE, false}, {SW_SHOWNA, false},
                                         {SW_RESTORE, true},  {SW_SHOWDEFAULT, true},    {SW_FORCEMINIMIZE, false},
                                         {-1, false},         {12, false}};
    for (const auto& [command, activates] : rows) {
        { // gone before TearDown drops its WM_PAINT, which would come back for ever
            TestWindow typingInto(200, 100);
            ShowWindow(typingInto.handle(), SW_SHOWNORMAL);
            start(1, command);
            EXPECT_EQ(startShowCommand(command), activates ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) << command;
            EXPECT_TRUE(IsWindowVisible(mainWindow) && !IsIconic(mainWindow) && !IsZoomed(mainWindow)) << command;
            EXPECT_EQ(GetActiveWindow(), activates ? mainWindow : typingInto.handle()) << command;
            EXPECT_FALSE(dynamic_cast<RecordingGauge*>(monitorRegistry.slotFor(L"cpu0"))->samples.empty()) << command;
        }
        TearDown();
        SetUp();
    }
    // Minimized later: a display change leaves it, the next tick restores it where it stood.
    start(3);
    ShowWindow(mainWindow, SW_MINIMIZE);
    send(WM_DISPLAYCHANGE, 1024, 768, 32);
    send(WM_TIMER, 0, 0, 1);
    const RECT rect = windowRect(), expected = {100, 100, 160, 220};
    EXPECT_TRUE(IsWindowVisible(mainWindow) && !IsIconic(mainWindow) && EqualRect(&rect, &expected));
}

TEST_F(MainWindow, MouseMoveWithoutAPressDoesNothing)
{
    start(3);
    EXPECT_EQ(send(WM_MOUSEMOVE, 40, 40), 0);
    RECT rect = windowRect();
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 100);
    EXPECT_FALSE(settings.settingsDirty);
}

TEST_F(MainWindow, ReleaseWithoutAPressLeavesDraggingOff)
{
    start(3);
    EXPECT_EQ(send(WM_LBUTTONUP, 5, 5), 0);
    EXPECT_FALSE(followsTheMouse());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MainWindow, DragMovesTheWindowByTheMouseMotionAndStoresIt)
{
    start(3);
    send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), mainWindow);
    // Client coordinates are taken against the window where it stands when
    // the message arrives, so one move of (+20, +15) is enough to test.
    send(WM_MOUSEMOVE, 30, 25, MK_LBUTTON);
    RECT rect = windowRect();
    EXPECT_EQ(rect.left, 120);
    EXPECT_EQ(rect.top, 115);
    EXPECT_EQ(settings.windowX, 120);
    EXPECT_EQ(settings.windowY, 115);
    EXPECT_TRUE(settings.settingsDirty);
    send(WM_LBUTTONUP, 30, 25);
    EXPECT_FALSE(followsTheMouse());
}

TEST_F(MainWindow, DragPushedPastTheLeftEdgeStopsThereAndFollowsAtOnceOnTheWayBack)
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    settings.windowX = work.left + 100;
    start(3);
    send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    // The cursor goes 150 pixels left of the client area, 40 past the edge.
    send(WM_MOUSEMOVE, -150, 10, MK_LBUTTON);
    EXPECT_EQ(windowRect().left, work.left);
    // That client point was taken against the window where it stood before
    // the move: the cursor is at screen x - 49, which is client x - 50 now.
    // A cursor that comes back 19 pixels, still past the edge, pulls the
    // window along at once by the same 19.
    send(WM_MOUSEMOVE, -50 + 19, 10, MK_LBUTTON);
    EXPECT_EQ(windowRect().left, work.left + 19);
    EXPECT_EQ(settings.windowX, work.left + 19);
    send(WM_LBUTTONUP, 0, 10);
}

TEST_F(MainWindow, DragThatEndsWhereItBeganTouchesNoSetting)
{
    start(3);
    send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    send(WM_MOUSEMOVE, 10, 10, MK_LBUTTON);
    send(WM_LBUTTONUP, 10, 10);
    EXPECT_EQ(settings.windowX, 100);
    EXPECT_EQ(settings.windowY, 100);
    EXPECT_FALSE(settings.settingsDirty);
}

TEST_F(MainWindow, LosingTheCaptureEndsTheDrag)
{
    start(3);
    send(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    HWND owner = GetWindow(mainWindow, GW_OWNER);
    SetCapture(owner);
    EXPECT_FALSE(followsTheMouse());
    RECT rect = windowRect();
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 100);
}

TEST_F(MainWindow, TickPullsAWindowFarOffScreenIntoTheWorkAreaButKeepsTheStoredPlaceAndTheFocusWhereTheyAre)
{
    settings.windowX = -900;
    settings.windowY = 50;
    start(3);
    TestWindow typingInto(200, 100);
    ShowWindow(typingInto.handle(), SW_SHOWNORMAL);
    SetWindowPos(mainWindow, nullptr, -900, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    send(WM_TIMER, 0, 0, 1);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT rect = windowRect();
    EXPECT_EQ(rect.left, work.left);
    EXPECT_EQ(rect.top, 50);
    EXPECT_EQ(GetActiveWindow(), typingInto.handle());
    EXPECT_EQ(settings.windowX, -900);
    EXPECT_EQ(settings.windowY, 50);
    EXPECT_FALSE(settings.settingsDirty);
}

// Stored coordinates at the ends of the 32-bit range, (x, y).
class MainWindowStoredAtIntegerEnds : public MainWindow,
                                      public ::testing::WithParamInterface<std::pair<std::int32_t, std::int32_t>> {};

TEST_P(MainWindowStoredAtIntegerEnds, TickPullsTheWindowIntoTheWorkAreaAtFullSize)
{
    settings.windowX = GetParam().first;
    settings.windowY = GetParam().second;
    start(3);
    send(WM_TIMER, 0, 0, 1);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT rect = windowRect();
    EXPECT_EQ(rect.right - rect.left, 60);
    EXPECT_EQ(rect.bottom - rect.top, 120);
    EXPECT_EQ(rect.left, GetParam().first < 0 ? work.left : work.right - 60);
    EXPECT_EQ(rect.top, GetParam().second < 0 ? work.top : work.bottom - 120);
    EXPECT_EQ(settings.windowX, GetParam().first);
    EXPECT_EQ(settings.windowY, GetParam().second);
    EXPECT_FALSE(settings.settingsDirty);
}

INSTANTIATE_TEST_SUITE_P(Ends, MainWindowStoredAtIntegerEnds,
                         ::testing::Values(std::make_pair(INT_MIN, INT_MIN), std::make_pair(INT_MAX, INT_MAX),
                                           std::make_pair(INT_MIN, INT_MAX), std::make_pair(INT_MAX, INT_MIN)));

TEST_F(MainWindow, TickLeavesAWindowInsideTheWorkAreaAndTheSettingsAlone)
{
    start(3);
    send(WM_TIMER, 0, 0, 1);
    RECT rect = windowRect();
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 100);
    EXPECT_FALSE(settings.settingsDirty);
}

TEST_F(MainWindow, EndOfSessionWritesAChangeInsideTheThrottleOnlyWhenTheSessionEndsAndEndsPlixForTheRestartManager)
{
    const std::wstring testProcessPath = settings.settingsPath;
    const std::wstring folder = makeTestFolder(L"end-session");
    settings.settingsPath = folder + L"\\plix.cfg";
    start(1);
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;
        bool writes, ends;
    } messages[] = {{WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, TRUE, false, false},
                    {WM_ENDSESSION, FALSE, ENDSESSION_CLOSEAPP, 0, false, false},
                    {WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, 0, true, false},
                    {WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, 0, true, true}};  // last: plix ends
    const auto encoded = encodeSettings({10, 321, 123});
    settings.setPosition(321, 123);
    for (const auto& message : messages) {
        DeleteFileW(settings.settingsPath.c_str());
        settings.settingsDirty = true;
        // A write attempt this very moment: the throttle holds every due save back.
        settings.lastSaveTime = systemClock();
        EXPECT_EQ(SendMessageW(mainWindow, message.message, message.wParam, message.lParam), message.result)
            << message.message;
        EXPECT_EQ(readFile(settings.settingsPath), message.writes ? Bytes(encoded.begin(), encoded.end()) : Bytes{})
            << message.message << " " << message.wParam << " " << message.lParam;
        EXPECT_EQ(settings.settingsDirty, !message.writes) << message.message << " " << message.wParam;
        MSG quit;
        EXPECT_EQ(!IsWindow(mainWindow) && PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE), message.ends)
            << message.message << " " << message.lParam;
    }
    DeleteFileW(settings.settingsPath.c_str());
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
    settings.settingsPath = testProcessPath;
}

TEST_F(MainWindow, RestartingTheTimerWithoutAWindowDoesNothing)
{
    pollingTimerStarted = false;
    restartPollingTimer();
    EXPECT_FALSE(pollingTimerStarted);
}

namespace {

// The Config dialog, made modeless from its real template so that a test
// can type into it and press its buttons.
class ConfigDialog : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        start(1);
        dialog = CreateDialogParamW(instance(), MAKEINTRESOURCEW(IDD_CONFIG), mainWindow, configDialogProc,
                                    configDialogParam(restartPollingTimer));
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOWNOACTIVATE);
    }

    void TearDown() override
    {
        DestroyWindow(dialog);
        MainWindow::TearDown();
    }

    std::wstring text(int control) const
    {
        wchar_t buffer[100] = {};
        GetDlgItemTextW(dialog, control, buffer, 100);
        return buffer;
    }

    void pressOk(const wchar_t* field)
    {
        SetDlgItemTextW(dialog, IDC_FREQUENCY, field);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }

    HWND dialog = nullptr;
};

} // namespace

TEST_F(ConfigDialog, ShowsTheCurrentFrequency)
{
    EXPECT_EQ(text(IDC_FREQUENCY), L"10");
    EXPECT_EQ(text(IDC_RANGE_MESSAGE), L"");
}

TEST_F(ConfigDialog, OkWithANewValueStoresItAndRestartsTheTimer)
{
    pollingTimerStarted = false;
    pressOk(L"5");
    EXPECT_EQ(settings.pollingFrequency, 5);
    EXPECT_TRUE(settings.settingsDirty);
    EXPECT_TRUE(pollingTimerStarted);
    EXPECT_FALSE(IsWindowVisible(dialog));
}

TEST_F(ConfigDialog, OkWithTheSameValueRestartsTheTimerButChangesNothing)
{
    pollingTimerStarted = false;
    pressOk(L"10");
    EXPECT_EQ(settings.pollingFrequency, 10);
    EXPECT_FALSE(settings.settingsDirty);
    EXPECT_TRUE(pollingTimerStarted);
}

TEST_F(ConfigDialog, OutOfRangeValuesShowTheMessageAndKeepTheDialogOpen)
{
    for (const wchar_t* bad : {L"0", L"11", L""}) {
        pollingTimerStarted = false;
        pressOk(bad);
        EXPECT_EQ(text(IDC_RANGE_MESSAGE), L"Must enter a value between 1 and 10") << bad;
        EXPECT_EQ(settings.pollingFrequency, 10) << bad;
        EXPECT_FALSE(settings.settingsDirty) << bad;
        EXPECT_FALSE(pollingTimerStarted) << bad;
        EXPECT_TRUE(IsWindowVisible(dialog)) << bad;
    }
    pressOk(L"3");
    EXPECT_EQ(settings.pollingFrequency, 3);
}

TEST_F(ConfigDialog, CancelChangesNothing)
{
    pollingTimerStarted = false;
    SetDlgItemTextW(dialog, IDC_FREQUENCY, L"4");
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(settings.pollingFrequency, 10);
    EXPECT_FALSE(settings.settingsDirty);
    EXPECT_FALSE(pollingTimerStarted);
}
