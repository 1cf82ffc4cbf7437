#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <pdhmsg.h>

#include "app/WindowPainter.h"
#include "counters/CounterQuery.h"
#include "gauges/AveragingPercentMonitor.h"
#include "gauges/MonitorRegistry.h"
#include "tests/support/RecordingGauge.h"
#include "tests/support/ScriptedPdh.h"
#include "tests/support/TestWindows.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

const wchar_t* const kKeys[] = {L"cpu0", L"cpu1", L"mem"};
const wchar_t* const kPaths[] = {L"\\Processor(0)\\% Processor Time", L"\\Processor(1)\\% Processor Time",
                                 L"\\Memory\\% Committed Bytes In Use"};

// The clock sampling reads: it stands still unless a test moves it on.
ULONGLONG passTicks = 0;
ULONGLONG WINAPI passClock() { return passTicks; }
constexpr unsigned kPeriodMs = 100;

// Three gauges on a scripted query, sampled at ten a second and painted
// into a window of outer size 60 x 120, whose client area is 58 x 118
// inside its border.
class PaintPass : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScriptedPdh::reset();
        query = std::make_unique<CounterQuery>(scriptedPdhTable);
        for (int i = 0; i < 3; ++i) {
            query->addCounter(kKeys[i], kPaths[i]);
            gauges.push_back(std::make_unique<RecordingGauge>(kKeys[i]));
            registry.slotFor(kKeys[i]) = gauges.back().get();
        }
        ScriptedPdh::clearCalls();
        makePainter();
    }

    void makePainter()
    {
        sampling = std::make_unique<Sampling>(*query, registry, passClock);
        painter = std::make_unique<WindowPainter>(*sampling);
    }

    // A tick: a period later, a sample, then the picture.
    void paint()
    {
        passTicks += kPeriodMs;
        sampling->sample(kPeriodMs);
        draw();
    }

    void draw() { painter->paintWindow(surface.dc(), stripLayoutInColumns(3, 1), WindowPainter::Copy::Whole); }

    // How many samples each gauge has been fed.
    std::vector<size_t> fed() const
    {
        std::vector<size_t> counts;
        for (const auto& gauge : gauges)
            counts.push_back(gauge->samples.size());
        return counts;
    }

    // Black label pixels in the top-left corner of the gauge starting at row y.
    int labelPixels(int y) const { return surface.count(kBlack, 0, y, 40, y + 14); }

    // A window of the layout's outer size.
    TestWindow window{60, 120};
    PixelSurface surface{58, 118};
    std::unique_ptr<CounterQuery> query;
    std::unique_ptr<Sampling> sampling;
    std::unique_ptr<WindowPainter> painter;
    std::vector<std::unique_ptr<RecordingGauge>> gauges;
    MonitorRegistry registry;
};

} // namespace

TEST_F(PaintPass, PaintsTheClientAreaOfTheBorderedWindowTheLayoutSizes)
{
    const StripLayout layout = stripLayoutInColumns(3, 1);
    EXPECT_EQ(layout.clientWidth, 58);
    EXPECT_EQ(layout.clientHeight, 118);
    RECT client = {};
    GetClientRect(window.handle(), &client);
    EXPECT_EQ(client.right, layout.clientWidth);
    EXPECT_EQ(client.bottom, layout.clientHeight);
}

TEST_F(PaintPass, FillsTheBackgroundAndStacksTheLabelsFortyPixelsApart)
{
    paint();
    EXPECT_EQ(surface.pixel(57, 117), kBackgroundColour);
    EXPECT_EQ(surface.pixel(50, 30), kBackgroundColour);
    EXPECT_GT(labelPixels(0), 10);
    EXPECT_GT(labelPixels(40), 10);
    EXPECT_GT(labelPixels(80), 10);
    // Nothing is drawn between the labels.
    EXPECT_EQ(surface.count(kBlack, 0, 20, 58, 40), 0);
    EXPECT_EQ(surface.count(kBlack, 0, 60, 58, 80), 0);
}

TEST_F(PaintPass, FeedsEveryGaugeOneSamplePerPassThatSamplesAndNoneWhenItKeepsOrPrimes)
{
    paint();
    EXPECT_EQ(fed(), std::vector<size_t>(3, 1));
    paint();
    EXPECT_EQ(fed(), std::vector<size_t>(3, 2));
    draw();
    sampling->primeNext();
    paint();
    EXPECT_EQ(fed(), std::vector<size_t>(3, 2));
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::CollectQueryData), 3u);
}

TEST_F(PaintPass, FeedsTheCounterValueAsAFraction)
{
    ScriptedPdh::setValue(kPaths[0], 7);
    ScriptedPdh::setValue(kPaths[1], 100);
    ScriptedPdh::setValue(kPaths[2], 250);
    paint();
    EXPECT_DOUBLE_EQ(gauges[0]->samples.back(), 0.07);
    EXPECT_DOUBLE_EQ(gauges[1]->samples.back(), 1.0);
    EXPECT_DOUBLE_EQ(gauges[2]->samples.back(), 2.5);
}

TEST_F(PaintPass, DrawsBarsOnceGaugesHaveHistory)
{
    ScriptedPdh::setValue(kPaths[2], 100);
    // Bars start on column 59, which lies outside the 58 columns shown; after
    // 25 passes there are four means, and bars on columns 59, 58 and 57.
    for (int pass = 0; pass < 25; ++pass)
        paint();
    const COLORREF green = AveragingPercentMonitor::kBarColour;
    // mem's full bar covers its strip from row 80 down; "mem: 100%" is wide
    // enough to lie over its top rows.
    EXPECT_EQ(surface.count(green, 57, 95, 58, 118), 118 - 95);
    EXPECT_GE(surface.count(green, 57, 80, 58, 95), 8);
    // cpu0 reads 0: a bar of length 0 is one pixel, on the first row of the
    // strip below.
    EXPECT_EQ(surface.pixel(57, 40), green);
    EXPECT_EQ(surface.count(green, 57, 0, 58, 40), 0);
    EXPECT_EQ(surface.count(green, 56, 0, 57, 118), 0);
}

TEST_F(PaintPass, RecoversWhenOnlyTheFirstCollectFails)
{
    ScriptedPdh::queueStatus(PdhCall::CollectQueryData, PDH_NO_DATA);
    paint();
    EXPECT_EQ(query->status, ERROR_SUCCESS);
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::CloseQuery), 1u);
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::OpenQuery), 1u);
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::AddCounter), 3u);
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::CollectQueryData), 2u);
    EXPECT_EQ(fed(), std::vector<size_t>(3, 1));
    EXPECT_GT(labelPixels(0), 10);
    EXPECT_EQ(surface.count(kRed, 0, 0, 58, 118), 0);
}

TEST_F(PaintPass, TwoFailedCollectsDrawTheRedCrossAndFeedNoGauge)
{
    ScriptedPdh::queueStatus(PdhCall::CollectQueryData, PDH_NO_DATA);
    ScriptedPdh::queueStatus(PdhCall::CollectQueryData, PDH_NO_DATA);
    paint();
    EXPECT_EQ(fed(), std::vector<size_t>(3, 0));
    EXPECT_EQ(surface.count(kBlack, 0, 0, 58, 118), 0);

    // One line from the top-left corner pixel towards (58, 118), the other
    // from the top-right one, (57, 0), towards (0, 118): one pixel per row,
    // both end points outside the surface.
    EXPECT_EQ(surface.pixel(0, 0), kRed);
    EXPECT_EQ(surface.pixel(57, 0), kRed);
    for (int y = 0; y < 118; ++y) {
        int falling = y * 58 / 118;
        int rising = 57 - y * 57 / 118;
        bool onFalling = false;
        bool onRising = false;
        for (int dx = -1; dx <= 1; ++dx) {
            int a = falling + dx;
            int b = rising + dx;
            onFalling |= a >= 0 && a < 58 && surface.pixel(a, y) == kRed;
            onRising |= b >= 0 && b < 58 && surface.pixel(b, y) == kRed;
        }
        // On the last row the falling line reaches column 57.5 and may leave
        // the surface.
        EXPECT_TRUE(onFalling || y == 117) << "row " << y;
        EXPECT_TRUE(onRising) << "row " << y;
        EXPECT_LE(surface.count(kRed, 0, y, 58, y + 1), 2) << "row " << y;
    }
    int red = surface.count(kRed, 0, 0, 58, 118);
    int background = surface.count(kBackgroundColour, 0, 0, 58, 118);
    EXPECT_EQ(red + background, 58 * 118);
    EXPECT_GE(red, 2 * 118 - 2);
}

TEST_F(PaintPass, NextPassAfterTheCrossStartsOverWithACollect)
{
    ScriptedPdh::queueStatus(PdhCall::CollectQueryData, PDH_NO_DATA);
    ScriptedPdh::queueStatus(PdhCall::CollectQueryData, PDH_NO_DATA);
    paint();
    draw();
    EXPECT_GT(surface.count(kRed, 0, 0, 58, 118), 0);
    paint();
    EXPECT_EQ(surface.count(kRed, 0, 0, 58, 118), 0);
    EXPECT_EQ(fed(), std::vector<size_t>(3, 1));
}

TEST_F(PaintPass, ACounterWithoutAValueYetGoesUnfedAndKeepsItsLabelWithoutAReopen)
{
    paint();
    ScriptedPdh::failFormatting(kPaths[1], PDH_INVALID_DATA, PDH_CSTATUS_INVALID_DATA);
    paint();
    EXPECT_EQ(fed(), (std::vector<size_t>{2, 1, 2}));
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::CloseQuery), 0u);
    EXPECT_GT(labelPixels(40), 10);
    EXPECT_EQ(surface.count(kRed, 0, 0, 58, 118), 0);
}

TEST_F(PaintPass, ACounterInTroubleCrossesOutItsOwnStripAloneAndIsAddedAgainEveryFewSeconds)
{
    paint();
    ScriptedPdh::failFormatting(kPaths[1], PDH_INVALID_DATA, PDH_CSTATUS_NO_INSTANCE);
    for (int pass = 0; pass < 35; ++pass)  // 3.5 s
        paint();
    EXPECT_EQ(fed(), (std::vector<size_t>{36, 1, 36}));
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::CloseQuery), 0u);
    EXPECT_EQ(ScriptedPdh::pathsOf(PdhCall::AddCounter), std::vector<std::wstring>(2, kPaths[1]));
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::RemoveCounter), 2u);
    // Corner to corner of cpu1's own rows, and no red anywhere else.
    EXPECT_EQ(surface.pixel(0, 40), kRed);
    EXPECT_EQ(surface.pixel(57, 40), kRed);
    EXPECT_GE(surface.count(kRed, 0, 40, 58, 80), 2 * 58 - 2);
    EXPECT_EQ(surface.count(kRed, 0, 0, 58, 40) + surface.count(kRed, 0, 80, 58, 118), 0);
    EXPECT_GT(labelPixels(0), 10);
    EXPECT_GT(labelPixels(80), 10);

    ScriptedPdh::allowFormatting(kPaths[1]);
    paint();
    EXPECT_EQ(surface.count(kRed, 0, 0, 58, 118), 0);
    EXPECT_GT(labelPixels(40), 10);
    EXPECT_EQ(fed(), (std::vector<size_t>{37, 2, 37}));
}

TEST_F(PaintPass, FailingCollectsReopenAtMostOnceASecondAndARefusedOpenIsTriedAgain)
{
    for (int i = 0; i < 60; ++i)
        ScriptedPdh::queueStatus(PdhCall::CollectQueryData, PDH_NO_DATA);
    ScriptedPdh::queueStatus(PdhCall::OpenQuery, PDH_MEMORY_ALLOCATION_FAILURE);
    // 2.5 s of failing collects at ten a second: the first reopen's open is
    // refused, the ones a second and two seconds later open.
    for (int pass = 0; pass < 25; ++pass)
        paint();
    EXPECT_EQ(ScriptedPdh::countOf(PdhCall::OpenQuery), 3u);
    EXPECT_GT(surface.count(kRed, 0, 0, 58, 118), 0);
    ScriptedPdh::reset();
    passTicks += 1000;
    paint();
    EXPECT_EQ(surface.count(kRed, 0, 0, 58, 118), 0);
    EXPECT_EQ(fed(), std::vector<size_t>(3, 1));
}

TEST_F(PaintPass, KeyWithoutAGaugeIsSkippedAndTakesNoRoom)
{
    registry.monitors.erase(L"cpu1");
    makePainter();
    paint();
    EXPECT_EQ(fed(), (std::vector<size_t>{1, 0, 1}));
    // mem moves up into the second strip, and the third strip stays empty.
    EXPECT_GT(labelPixels(40), 10);
    EXPECT_EQ(surface.count(kBlack, 0, 80, 58, 118), 0);
    EXPECT_EQ(registry.monitors.count(L"cpu1"), 0u);
}

TEST_F(PaintPass, CopiesToTheTargetInOneBlockAndLeavesItsObjectsAlone)
{
    HGDIOBJ bitmapBefore = GetCurrentObject(surface.dc(), OBJ_BITMAP);
    HGDIOBJ fontBefore = GetCurrentObject(surface.dc(), OBJ_FONT);
    paint();
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_BITMAP), bitmapBefore);
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), fontBefore);
}

TEST_F(PaintPass, ColumnsStandSideBySideEachClippedToItsStripsBehindALine)
{
    // Two columns of two rows: cpu0 and cpu1 down the first, mem atop the second.
    PixelSurface wide{117, 78};
    ScriptedPdh::setValue(kPaths[0], 100);
    ScriptedPdh::setValue(kPaths[2], 100);
    for (int pass = 0; pass < 25; ++pass) {
        paint();
        painter->paintWindow(wide.dc(), stripLayoutInColumns(3, 2));
    }
    const COLORREF green = AveragingPercentMonitor::kBarColour;
    EXPECT_EQ(wide.count(GetSysColor(COLOR_WINDOWFRAME), 58, 0, 59, 78), 78) << "the line between the columns";
    // Each column shows what a single column shows: full bars on its 58th
    // pixel, and the bar feet on the first row of the strip below, but not
    // in the empty cell below the last strip of a shorter column.
    EXPECT_EQ(wide.count(green, 57, 15, 58, 41), 26);
    EXPECT_EQ(wide.count(green, 59 + 57, 15, 59 + 58, 41), 25);
    EXPECT_EQ(wide.count(green, 59, 0, 59 + 57, 78), 0);
    EXPECT_GT(wide.count(kBlack, 59, 0, 99, 14), 10) << "mem's label";
    EXPECT_EQ(wide.count(kBlack, 59, 40, 117, 78) + wide.count(green, 59, 40, 117, 78), 0) << "nothing below mem";
}

TEST_F(PaintPass, ATickCopiesOnlyWhatChangedUnlessColoursOrTheFontSmoothingChanged)
{
    const StripLayout layout = stripLayoutInColumns(3, 1);
    const auto tick = [&] {
        RECT all = {0, 0, 58, 118};
        HBRUSH blue = CreateSolidBrush(kBlue);
        FillRect(surface.dc(), &all, blue);
        DeleteObject(blue);
        passTicks += kPeriodMs;
        sampling->sample(kPeriodMs);
        painter->paintWindow(surface.dc(), layout, WindowPainter::Copy::Changed);
        return surface.count(kBackgroundColour, 0, 0, 58, 118);
    };
    EXPECT_GT(tick(), 0) << "the first pass draws everything";
    EXPECT_EQ(tick(), 0) << "same numbers, no new mean: nothing to copy";
    ScriptedPdh::setValue(kPaths[1], 42);
    const int relabelled = tick();
    EXPECT_GT(relabelled, 0);
    EXPECT_EQ(surface.count(kBackgroundColour, 0, 0, 58, 40) + surface.count(kBackgroundColour, 0, 80, 58, 118), 0)
        << "cpu1's label alone";
    painter->redrawEverything();
    tick();
    EXPECT_EQ(surface.count(kBlue, 0, 0, 58, 118), 0) << "everything, after a colour change";
}

namespace {

// The picture as a pass drew it when it kept nothing: everything anew with
// GDI, each gauge drawing itself into its column's clip, or its cross in
// its turn where its counter is in trouble.
void drawEverythingAnew(const PixelSurface& surface, const StripLayout& layout,
                        const std::vector<AveragingPercentMonitor*>& gauges, const Sampling& sampling, HFONT font)
{
    HDC dc = surface.dc();
    const RECT client = {0, 0, layout.clientWidth, layout.clientHeight};
    HBRUSH brush = CreateSolidBrush(kBackgroundColour);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    for (int column = 1; column < layout.columns; ++column) {
        const RECT line = {layout.pitch * column - 1, 0, layout.pitch * column, layout.clientHeight};
        FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOWFRAME));
    }
    const int saved = SaveDC(dc);
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    for (std::size_t k = 0; k < gauges.size(); ++k) {
        const StripCell cell = stripCell(layout, static_cast<int>(k));
        const int columnBottom = layout.strip.height * stripsInColumn(layout, cell.column);
        if (cell.y == 0) {
            SelectClipRgn(dc, nullptr);
            IntersectClipRect(dc, cell.x, 0, cell.x + layout.strip.visibleWidth, columnBottom);
        }
        if (!sampling.strips()[k].troubled) {
            gauges[k]->draw(dc, cell.x, cell.y, layout.strip);
            continue;
        }
        GdiFlush();
        const PixelRect cellArea = {cell.x, cell.y, cell.x + layout.strip.visibleWidth,
                                    std::min(cell.y + layout.strip.height, std::min(columnBottom, layout.clientHeight))};
        drawCross(surface.rows(), cellArea, cellArea, kStripColours.cross);
    }
    RestoreDC(dc, saved);
}

} // namespace

namespace {

// CreateDIBSection, made to fail for every DIB, or for the small ones label
// pieces are rendered in, while a test says so.
enum class FailingDibs { None, Small, All };
FailingDibs failingDibs = FailingDibs::None;
int refusedDibs = 0;

HBITMAP WINAPI scriptedCreateDib(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                 DWORD offset)
{
    const LONG pixels = info->bmiHeader.biWidth * -info->bmiHeader.biHeight;
    if (failingDibs == FailingDibs::All || (failingDibs == FailingDibs::Small && pixels < 4000)) {
        ++refusedDibs;
        return nullptr;
    }
    return CreateDIBSection(dc, info, usage, bits, section, offset);
}

} // namespace

TEST(PaintPassPicture, ATickCopiesWhatChangedAndTheWindowShowsWhatDrawingAnewWould)
{
    // Seven strips in columns of 3, 2 and 2, then 4 and 3 at the other DPI,
    // fed for long enough that bars lie under the labels. The numbers change
    // from pass to pass, now and then above 100 (bars reaching into the
    // strip above, a number no piece holds) or below 0; both collects of one
    // pass fail; cpu4's counter is gone for a while; for a few passes no
    // label piece can be rendered, and on the pass of the new layout no
    // picture can be made at all.
    for (const int dpi : {kBaseDpi, 2 * kBaseDpi}) {
        ScriptedPdh::reset();
        CounterQuery query(scriptedPdhTable);
        MonitorRegistry registry;
        std::vector<std::unique_ptr<AveragingPercentMonitor>> owned;
        std::vector<AveragingPercentMonitor*> gauges;
        const std::vector<std::wstring> keys = {L"cpu0", L"cpu1", L"cpu2", L"cpu3", L"cpu4", L"cpu5", L"mem"};
        for (const std::wstring& key : keys) {
            query.addCounter(key, key);
            owned.push_back(std::make_unique<AveragingPercentMonitor>(key));
            gauges.push_back(owned.back().get());
            registry.slotFor(key) = gauges.back();
        }
        constexpr int kSwitch = 200;
        const StripLayout layouts[] = {stripLayoutInColumns(7, 3, dpi), stripLayoutInColumns(7, 2, 3 * kBaseDpi - dpi)};
        Sampling sampling(query, registry, passClock);
        WindowPainter painter(sampling, scriptedCreateDib);
        LabelFont font;
        std::unique_ptr<PixelSurface> window, anew;
        for (int pass = 0; pass < 400; ++pass) {
            const StripLayout& layout = layouts[pass < kSwitch ? 0 : 1];
            if (pass == 0 || pass == kSwitch) {
                window = std::make_unique<PixelSurface>(layout.clientWidth, layout.clientHeight);
                anew = std::make_unique<PixelSurface>(layout.clientWidth, layout.clientHeight);
            }
            // Spread out, or in spells of 95 to 103 that fill the strips
            // with bars under their labels, while mem's reach far into
            // cpu5's, low then; cpu3 steady at first.
            for (std::size_t i = 0; i < keys.size(); ++i) {
                const LONG spread = static_cast<LONG>((pass * 37 + i * 11) % 109);
                const LONG high = static_cast<LONG>(i == 6 ? 150 : i == 5 ? 5 : 95 + (pass + i) % 9);
                const LONG value = pass % 17 == 5 ? -spread / 10 : pass < 40 && i == 3 ? 1 : (pass / 60) % 2 ? high : spread;
                ScriptedPdh::setValue(keys[i], value);
            }
            if (pass == 120 || pass == 240)
                ScriptedPdh::failFormatting(keys[4], PDH_INVALID_DATA, PDH_CSTATUS_NO_INSTANCE);
            if (pass == 150 || pass == 260)
                ScriptedPdh::allowFormatting(keys[4]);
            const bool failing = pass == 50;
            if (failing) {
                ScriptedPdh::queueStatus(PdhCall::CollectQueryData, PDH_NO_DATA);
                ScriptedPdh::queueStatus(PdhCall::CollectQueryData, PDH_NO_DATA);
            }
            failingDibs = pass == kSwitch ? FailingDibs::All : pass >= 20 && pass < 24 ? FailingDibs::Small
                                                                                    : FailingDibs::None;
            refusedDibs = pass == 20 ? 0 : refusedDibs;
            passTicks += kPeriodMs;
            sampling.sample(kPeriodMs);
            painter.paintWindow(window->dc(), layout, pass == 0 ? WindowPainter::Copy::Whole
                                                                : WindowPainter::Copy::Changed);
            if (pass == 23) {
                EXPECT_GT(refusedDibs, 0) << "new numbers' pieces";
            }
            failingDibs = FailingDibs::None;
            if (pass == kSwitch) {
                // No picture: nothing copied.
                ASSERT_EQ(window->differingPixels(*anew), 0) << "pass " << pass << " at " << dpi << " DPI";
                continue;
            }
            if (failing) {
                const PixelRect client = {0, 0, layout.clientWidth, layout.clientHeight};
                fillArea(anew->rows(), client, kStripColours.background);
                drawCross(anew->rows(), client, client, kStripColours.cross);
            } else {
                drawEverythingAnew(*anew, layout, gauges, sampling, font.fontFor(layout.strip.dpi));
            }
            ASSERT_EQ(window->differingPixels(*anew), 0) << "pass " << pass << " at " << dpi << " DPI";
        }
    }
}
