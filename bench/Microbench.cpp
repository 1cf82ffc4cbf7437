// Microbenchmarks of what one plix tick costs under Wine, in microseconds:
// one collect from the counter provider (PdhCollectQueryData and three
// formatted values: two processors and memory), one paint pass of three
// gauges into a memory DC on a hidden 60 x 120 window, its drawing alone,
// one gauge's draw with 60 and with 199 bars, and the Wine floor's paint.
// The drawing targets a bitmap in the screen's format, as the paint pass
// does. The 199-bar draw is also timed with a gauge that draws every bar
// with a line each and leaves the clipping to GDI ("_every_bar").
// The paint figures run on a PDH table of constants, so the counters cost
// nothing there. Each figure is the median of 1000 timed repetitions; the
// output is one "name median min p90" line per figure.

#include <windows.h>
#include <pdh.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/WindowPainter.h"
#include "bench/floor/FloorPaint.h"
#include "counters/CounterQuery.h"
#include "counters/CounterStatus.h"
#include "gauges/AveragingPercentMonitor.h"
#include "gauges/GaugeSetup.h"
#include "gauges/MonitorRegistry.h"
#include "tests/support/EveryBarGauge.h"

namespace {

constexpr int kRepetitions = 1000;
constexpr int kWarmUpRepetitions = 50;
constexpr int kWindowWidth = 60;
constexpr int kWindowHeight = 120;
constexpr LONG kConstantPercent = 37;
constexpr double kConstantSample = kConstantPercent / 100.0;
// Samples after which a gauge's history holds 61 means (60 bars) and 200
// means (199 bars, the steady state of a long run).
constexpr int kSamplesForSixtyBars = 6 * 61 + 1;
constexpr int kSamplesForFullHistory = 6 * 200 + 1;
constexpr double kMicrosecondsPerSecond = 1e6;
constexpr wchar_t kWindowClass[] = L"PlixMicrobench";

// The key names and counter paths plix files on a machine of two processors.
const std::vector<std::wstring> kKeyNames = {processorKeyName(0), processorKeyName(1), kMemoryKeyName};
const std::vector<std::wstring> kCounterPaths = {processorCounterPath(0), processorCounterPath(1),
                                                 kMemoryCounterPath};

// A PDH whose every call succeeds at once and whose every value is 37%.
PDH_STATUS WINAPI constantOpenQuery(LPCWSTR, DWORD_PTR, PDH_HQUERY* query)
{
    static int queryToken = 0;
    *query = &queryToken;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI constantAddCounter(PDH_HQUERY, LPCWSTR, DWORD_PTR, PDH_HCOUNTER* counter)
{
    static int counterToken = 0;
    *counter = &counterToken;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI constantCollect(PDH_HQUERY)
{
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI constantFormat(PDH_HCOUNTER, DWORD, LPDWORD, PPDH_FMT_COUNTERVALUE value)
{
    *value = PDH_FMT_COUNTERVALUE{};
    value->longValue = kConstantPercent;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI constantCloseQuery(PDH_HQUERY)
{
    return ERROR_SUCCESS;
}

// It lists no processors: the paint figures file their own.
const PdhFunctions kConstantPdh = {constantOpenQuery,  constantAddCounter, constantCollect, constantFormat,
                                   constantCloseQuery, nullptr, nullptr};

// The same, but every value a fresh pseudo-random percent: any from 0 to
// 100 (busy), or mostly 0 to 2 with one in fifty any (idle).
bool busyValues = true;
std::uint32_t valueSeed = 1;

PDH_STATUS WINAPI changingFormat(PDH_HCOUNTER, DWORD, LPDWORD, PPDH_FMT_COUNTERVALUE value)
{
    valueSeed = valueSeed * 1664525u + 1013904223u;
    const std::uint32_t random = valueSeed >> 8;
    *value = PDH_FMT_COUNTERVALUE{};
    value->longValue = static_cast<LONG>(busyValues || random % 50 == 0 ? random % 101 : random % 3);
    return ERROR_SUCCESS;
}

const PdhFunctions kChangingPdh = {constantOpenQuery,  constantAddCounter, constantCollect, changingFormat,
                                   constantCloseQuery, nullptr, nullptr};

double secondsPerTick()
{
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    return 1.0 / static_cast<double>(frequency.QuadPart);
}

// Times each call of work; false from work stops the run and reports it.
bool timeRepetitions(const char* name, const std::function<bool()>& work)
{
    for (int i = 0; i < kWarmUpRepetitions; ++i) {
        if (!work()) {
            std::printf("%s failed\n", name);
            return false;
        }
    }
    const double tickSeconds = secondsPerTick();
    std::vector<double> micros;
    micros.reserve(kRepetitions);
    for (int i = 0; i < kRepetitions; ++i) {
        LARGE_INTEGER start = {};
        LARGE_INTEGER end = {};
        QueryPerformanceCounter(&start);
        bool ok = work();
        QueryPerformanceCounter(&end);
        if (!ok) {
            std::printf("%s failed\n", name);
            return false;
        }
        micros.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * tickSeconds * kMicrosecondsPerSecond);
    }
    std::sort(micros.begin(), micros.end());
    std::printf("%s %.2f %.2f %.2f\n", name, micros[micros.size() / 2], micros.front(),
                micros[micros.size() * 9 / 10]);
    return true;
}

// The provider's collect through System32's pdh.dll, bound as plix binds it.
void benchProviderCollect()
{
    const PdhFunctions& pdh = systemPdh();
    PDH_HQUERY query = nullptr;
    if (pdh.openQuery(nullptr, 0, &query) != ERROR_SUCCESS) {
        std::printf("collect failed\n");
        return;
    }
    std::vector<PDH_HCOUNTER> counters;
    for (const std::wstring& path : kCounterPaths) {
        PDH_HCOUNTER counter = nullptr;
        if (pdh.addCounter(query, path.c_str(), 0, &counter) != ERROR_SUCCESS) {
            std::printf("collect failed\n");
            pdh.closeQuery(query);
            return;
        }
        counters.push_back(counter);
    }
    timeRepetitions("collect", [&] {
        if (pdh.collectQueryData(query) != ERROR_SUCCESS)
            return false;
        for (PDH_HCOUNTER counter : counters) {
            PDH_FMT_COUNTERVALUE value = {};
            // Collects this close together give processors no value, as on
            // Windows: timed all the same.
            const PDH_STATUS status = pdh.getFormattedCounterValue(counter, PDH_FMT_LONG, nullptr, &value);
            if (formatOutcome(static_cast<std::uint32_t>(status), static_cast<std::uint32_t>(value.CStatus)) ==
                FormatOutcome::Failed)
                return false;
        }
        return true;
    });
    pdh.closeQuery(query);
}

HWND createHiddenWindow()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, kWindowClass, L"microbench", WS_POPUP | WS_BORDER, 0, 0, kWindowWidth, kWindowHeight,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// A clock that moves on by one polling period at every reading, so that
// every sample the bench asks for collects and feeds.
constexpr unsigned kBenchPeriodMs = 100;

ULONGLONG WINAPI steppingClock()
{
    static ULONGLONG now = 0;
    return now += kBenchPeriodMs;
}

// One paint pass and its drawing alone, on three gauges whose histories are
// full, as after a long run.
void benchPaintPasses(HDC target)
{
    CounterQuery query(kConstantPdh);
    MonitorRegistry registry;
    std::vector<std::unique_ptr<AveragingPercentMonitor>> gauges;
    for (std::size_t i = 0; i < kKeyNames.size(); ++i) {
        query.addCounter(kKeyNames[i], kCounterPaths[i]);
        gauges.push_back(std::make_unique<AveragingPercentMonitor>(kKeyNames[i]));
        registry.slotFor(kKeyNames[i]) = gauges.back().get();
    }
    const StripLayout layout = stripLayoutInColumns(static_cast<int>(kKeyNames.size()), 1);
    Sampling sampling(query, registry, steppingClock);
    WindowPainter pass(sampling);
    for (int i = 0; i < kSamplesForFullHistory; ++i) {
        sampling.sample(kBenchPeriodMs);
        pass.paintGauges(layout);
    }

    timeRepetitions("paint_pass", [&] {
        sampling.sample(kBenchPeriodMs);
        pass.paintWindow(target, layout);
        return query.status == ERROR_SUCCESS;
    });
    timeRepetitions("paint_gauges", [&] {
        sampling.sample(kBenchPeriodMs);
        pass.paintGauges(layout);
        return query.status == ERROR_SUCCESS;
    });
}

// A tick's paint pass at 256 processors and memory in the 14 columns of a
// 768-pixel screen, its histories full, busy and idle: the pass and the
// copy of what changed into a bitmap in the screen's format.
void benchBigTicks(HDC screen)
{
    constexpr int kStrips = 257;
    CounterQuery query(kChangingPdh);
    MonitorRegistry registry;
    std::vector<std::unique_ptr<AveragingPercentMonitor>> gauges;
    for (int k = 0; k < kStrips; ++k) {
        const std::wstring key = k + 1 < kStrips ? processorKeyName(k) : std::wstring(kMemoryKeyName);
        query.addCounter(key, key);
        gauges.push_back(std::make_unique<AveragingPercentMonitor>(key));
        registry.slotFor(key) = gauges.back().get();
    }
    const StripLayout layout = stripLayout(kStrips, 768);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, layout.clientWidth, layout.clientHeight);
    HGDIOBJ previous = SelectObject(target, bitmap);
    Sampling sampling(query, registry, steppingClock);
    WindowPainter pass(sampling);
    for (const bool busy : {true, false}) {
        busyValues = busy;
        for (int i = 0; i < kSamplesForFullHistory; ++i) {
            sampling.sample(kBenchPeriodMs);
            pass.paintGauges(layout);
        }
        timeRepetitions(busy ? "tick_257_busy" : "tick_257_idle", [&] {
            sampling.sample(kBenchPeriodMs);
            pass.paintWindow(target, layout, WindowPainter::Copy::Changed);
            return query.status == ERROR_SUCCESS;
        });
    }
    SelectObject(target, previous);
    DeleteObject(bitmap);
    DeleteDC(target);
}

// One gauge fed `samples` constant samples, then its draw timed on its own.
template <typename Gauge>
void benchGaugeDraw(const char* name, int samples, HDC target)
{
    Gauge gauge(L"cpu0");
    for (int i = 0; i < samples; ++i)
        gauge.addSample(kConstantSample);
    timeRepetitions(name, [&] {
        gauge.draw(target, 0, 0);
        return true;
    });
}

void benchPainting()
{
    HWND window = createHiddenWindow();
    if (window == nullptr) {
        std::printf("paint failed\n");
        return;
    }
    RECT client = {};
    GetClientRect(window, &client);

    // The target: a memory DC holding a bitmap in the screen's format, as
    // the paint pass's off-screen bitmap is, with the paint pass's font.
    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP targetBitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ previousTarget = SelectObject(target, targetBitmap);
    SelectObject(target, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(target, TRANSPARENT);

    benchPaintPasses(target);
    benchBigTicks(screen);

    benchGaugeDraw<AveragingPercentMonitor>("gauge_draw_60_bars", kSamplesForSixtyBars, target);
    benchGaugeDraw<AveragingPercentMonitor>("gauge_draw_199_bars", kSamplesForFullHistory, target);
    benchGaugeDraw<EveryBarGauge>("gauge_draw_199_bars_every_bar", kSamplesForFullHistory, target);
    timeRepetitions("floor_paint", [&] {
        floorPaint(target, window);
        return true;
    });

    SelectObject(target, previousTarget);
    DeleteObject(targetBitmap);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
    DestroyWindow(window);
}

} // namespace

// The process-wide objects plix_core refers to; the timed passes above run
// on objects of their own.
CounterQuery counterQuery(kConstantPdh);
MonitorRegistry monitorRegistry;

int main()
{
    benchProviderCollect();
    benchPainting();
    std::fflush(stdout);
    return 0;
}
