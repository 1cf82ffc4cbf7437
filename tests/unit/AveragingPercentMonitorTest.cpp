// Tests for the averaging gauge: its interface, the label text, and the
// drawing by reading pixels back from a 32-bpp DIB section selected into a
// memory device context. The averaging itself is tested on SampleAverager.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gauges/AveragingPercentMonitor.h"
#include "common/WindowDpi.h"
#include "gauges/GaugeLabel.h"
#include "gauges/LabelFont.h"
#include "gauges/SampleAverager.h"
#include "tests/support/EveryBarGauge.h"
#include "tests/support/TestWindows.h"

namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kBar = AveragingPercentMonitor::kBarColour;
constexpr int kSamplesPerMean = 6;

// A white surface whose pixels the test reads, with DEFAULT_GUI_FONT
// selected, as the paint pass does before drawing any gauge.
class Surface : public PixelSurface {
public:
    Surface(int width, int height) : PixelSurface(width, height, kBackground)
    {
        oldFont_ = SelectObject(dc(), GetStockObject(DEFAULT_GUI_FONT));
    }
    ~Surface() { SelectObject(dc(), oldFont_); }

    bool ready() const { return dc() != nullptr; }

    int count(COLORREF colour) const { return PixelSurface::count(colour, 0, 0, width(), height()); }

    int countInColumn(int x, COLORREF colour) const { return PixelSurface::count(colour, x, 0, x + 1, height()); }

    bool columnHas(int x, COLORREF colour) const { return countInColumn(x, colour) > 0; }

    // Rows top..bottom (inclusive) of column x are all `colour`.
    bool columnRunIs(int x, int top, int bottom, COLORREF colour) const
    {
        return PixelSurface::count(colour, x, top, x + 1, bottom + 1) == bottom - top + 1;
    }

    // Bounding box of the pixels of one colour; empty when there are none.
    RECT boundsOf(COLORREF colour) const
    {
        RECT box = {width(), height(), 0, 0};
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                if (pixel(x, y) == colour) {
                    box.left = x < box.left ? x : box.left;
                    box.top = y < box.top ? y : box.top;
                    box.right = x + 1 > box.right ? x + 1 : box.right;
                    box.bottom = y + 1 > box.bottom ? y + 1 : box.bottom;
                }
        return box;
    }

private:
    HGDIOBJ oldFont_ = nullptr;
};

template <typename Gauge>
void feed(Gauge& gauge, double sample, int times)
{
    for (int i = 0; i < times; ++i)
        gauge.addSample(sample);
}

// Two runs of `mean` (the first mean never gets a bar) plus the sample that
// folds the second run, so exactly one bar for `mean` is drawn.
void feedOneBar(AveragingPercentMonitor& gauge, double mean)
{
    feed(gauge, mean, 2 * kSamplesPerMean + 1);
}

// The label in its full form.
std::wstring labelFor(const std::wstring& keyName, double sample)
{
    return labelForms(keyName, labelPercent(sample))[0];
}

// Bar tests use a one-letter key name so the label stays well left of the
// newest bar on column 59.
const std::wstring kShortKey = L"m";

} // namespace

// ---- Averaging and history -------------------------------------------------

TEST(AveragingPercentMonitorSamples, NewGaugeHasFixedRectangleAndItsKeyName)
{
    AveragingPercentMonitor gauge(L"cpu0");
    RECT rect = gauge.getRect();
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 60);
    EXPECT_EQ(rect.bottom, 40);
    EXPECT_EQ(gauge.keyName(), L"cpu0");
}

TEST(AveragingPercentMonitorSamples, AddSampleAlwaysReturnsOne)
{
    AveragingPercentMonitor gauge(L"cpu0");
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(gauge.addSample(-3.0 + i), 1);
}

// ---- Label text ---------------------------------------------------------------

TEST(AveragingPercentMonitorLabel, ShowsKeyNameAndZeroPaddedPercent)
{
    EXPECT_EQ(labelFor(L"cpu0", 0.07), L"cpu0: 07%");
    EXPECT_EQ(labelFor(L"cpu0", 1.0), L"cpu0: 100%");
    EXPECT_EQ(labelFor(L"cpu0", 0.0), L"cpu0: 00%");
    EXPECT_EQ(labelFor(L"mem", 0.42), L"mem: 42%");
}

TEST(AveragingPercentMonitorLabel, PercentTruncatesRatherThanRounds)
{
    EXPECT_EQ(labelFor(L"cpu0", 0.999), L"cpu0: 99%");
    // 0.29 * 100.0 is 28.999...
    EXPECT_EQ(labelFor(L"cpu0", 29 / 100.0), L"cpu0: 28%");
}

TEST(AveragingPercentMonitorLabel, FontIsStockAtTheSystemDpiAndMadeOnceForAnother)
{
    const int system = systemDpi();
    HGDIOBJ stock = GetStockObject(DEFAULT_GUI_FONT);
    LabelFont fonts;
    EXPECT_EQ(fonts.fontFor(system), stock);
    HFONT doubled = fonts.fontFor(2 * system);
    EXPECT_EQ(fontHeight(doubled), 2 * fontHeight(stock));
    EXPECT_EQ(fonts.fontFor(2 * system), doubled);
    fonts.fontFor(3 * system);
    EXPECT_EQ(GetObjectType(doubled), 0u) << "the font it replaced is deleted";
}

// ---- Drawing ---------------------------------------------------------------------

TEST(AveragingPercentMonitorDraw, NewGaugePaintsNothing)
{
    Surface surface(60, 41);
    ASSERT_TRUE(surface.ready());
    AveragingPercentMonitor gauge(L"cpu0");
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_EQ(surface.count(kBackground), 60 * 41);
}

TEST(AveragingPercentMonitorDraw, TwelveSamplesDrawNoBar)
{
    Surface surface(60, 41);
    ASSERT_TRUE(surface.ready());
    AveragingPercentMonitor gauge(kShortKey);
    feed(gauge, 1.0, 12);
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_EQ(surface.count(kBar), 0);
}

TEST(AveragingPercentMonitorDraw, ThirteenSamplesDrawOneBarOnRightmostColumn)
{
    Surface surface(60, 41);
    ASSERT_TRUE(surface.ready());
    AveragingPercentMonitor gauge(kShortKey);
    feedOneBar(gauge, 0.5);
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_TRUE(surface.columnHas(59, kBar));
    for (int x = 0; x < 59; ++x)
        EXPECT_FALSE(surface.columnHas(x, kBar)) << "column " << x;
}

TEST(AveragingPercentMonitorDraw, HalfMeanPaintsTwentyOneRows)
{
    Surface surface(60, 45);
    ASSERT_TRUE(surface.ready());
    AveragingPercentMonitor gauge(kShortKey);
    feedOneBar(gauge, 0.5);
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_TRUE(surface.columnRunIs(59, 20, 40, kBar));
    EXPECT_EQ(surface.countInColumn(59, kBar), 21);
    EXPECT_EQ(surface.pixel(59, 19), kBackground);
    EXPECT_EQ(surface.pixel(59, 41), kBackground);
}

TEST(AveragingPercentMonitorDraw, FullMeanPaintsWholeHeightAndFootRow)
{
    Surface surface(60, 45);
    ASSERT_TRUE(surface.ready());
    AveragingPercentMonitor gauge(kShortKey);
    feedOneBar(gauge, 1.0);
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_TRUE(surface.columnRunIs(59, 0, 40, kBar));
    EXPECT_EQ(surface.pixel(59, 41), kBackground);
}

TEST(AveragingPercentMonitorDraw, ZeroMeanPaintsFootRowOnly)
{
    Surface surface(60, 45);
    ASSERT_TRUE(surface.ready());
    AveragingPercentMonitor gauge(kShortKey);
    feedOneBar(gauge, 0.0);
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_EQ(surface.pixel(59, 40), kBar);
    EXPECT_EQ(surface.countInColumn(59, kBar), 1);
}

TEST(AveragingPercentMonitorDraw, TenthsMeanPaintsFifteenRows)
{
    Surface surface(60, 45);
    ASSERT_TRUE(surface.ready());
    AveragingPercentMonitor gauge(kShortKey);
    for (int run = 0; run < 2; ++run)
        for (int i = 1; i <= 6; ++i)
            gauge.addSample(i / 10.0);
    gauge.addSample(0.0);
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_TRUE(surface.columnRunIs(59, 26, 40, kBar));
    EXPECT_EQ(surface.countInColumn(59, kBar), 15);
}

TEST(AveragingPercentMonitorDraw, NegativeMeanHangsBelowTheFoot)
{
    // A length of -5 runs from row 40 down to, not including, row 44.
    Surface surface(60, 50);
    ASSERT_TRUE(surface.ready());
    AveragingPercentMonitor gauge(kShortKey);
    feedOneBar(gauge, -0.125);
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_TRUE(surface.columnRunIs(59, 40, 43, kBar));
    EXPECT_EQ(surface.countInColumn(59, kBar), 4);
}

TEST(AveragingPercentMonitorDraw, OffsetMovesBarsAndLabel)
{
    constexpr int kX = 25;
    constexpr int kY = 30;
    Surface surface(100, 80);
    ASSERT_TRUE(surface.ready());
    AveragingPercentMonitor gauge(kShortKey);
    feedOneBar(gauge, 0.5);
    gauge.draw(surface.dc(), kX, kY);

    EXPECT_TRUE(surface.columnRunIs(kX + 59, kY + 20, kY + 40, kBar));
    EXPECT_EQ(surface.count(kBar), 21);
    EXPECT_EQ(surface.pixel(kX + 59, kY + 19), kBackground);
    EXPECT_EQ(surface.pixel(kX + 59, kY + 41), kBackground);

    RECT text = surface.boundsOf(kBlack);
    ASSERT_LT(text.left, text.right) << "no label drawn";
    EXPECT_GE(text.left, kX);
    EXPECT_GE(text.top, kY);
    EXPECT_LT(text.left, kX + 5);
    EXPECT_LT(text.top, kY + 5);
}

TEST(AveragingPercentMonitorDraw, NewerMeansLieFurtherRight)
{
    // Means 0.0, 1.0, 0.5, 0.25: no bar for the oldest, then one column
    // each from 57 to 59.
    Surface surface(60, 41);
    ASSERT_TRUE(surface.ready());
    AveragingPercentMonitor gauge(kShortKey);
    feed(gauge, 0.0, 6);
    feed(gauge, 1.0, 6);
    feed(gauge, 0.5, 6);
    feed(gauge, 0.25, 6);
    gauge.addSample(0.0);
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_EQ(surface.countInColumn(56, kBar), 0);
    EXPECT_TRUE(surface.columnRunIs(57, 0, 40, kBar));
    EXPECT_EQ(surface.countInColumn(58, kBar), 21);
    EXPECT_EQ(surface.countInColumn(59, kBar), 11);
}

TEST(AveragingPercentMonitorDraw, FullHistoryShowsNewestSixtyMeans)
{
    // After 1207 samples position p holds run p + 2. Only positions 139
    // (a full bar, left of the surface), 140 (length 10, on column 0) and
    // 199 (length 20, on column 59) are non-zero; the label covers the top
    // left, so column 0 carries a bar short enough to stay below it.
    Surface surface(60, 41);
    ASSERT_TRUE(surface.ready());
    AveragingPercentMonitor gauge(kShortKey);
    SampleAverager means;
    for (int run = 1; run <= 201; ++run) {
        double mean = 0.0;
        if (run == 141)
            mean = 1.0;
        else if (run == 142)
            mean = 0.25;
        else if (run == 201)
            mean = 0.5;
        feed(gauge, mean, kSamplesPerMean);
        feed(means, mean, kSamplesPerMean);
    }
    gauge.addSample(0.0);
    means.addSample(0.0);
    ASSERT_EQ(means.history().size(), 200u);
    ASSERT_EQ(means.history()[139], 1.0);
    ASSERT_EQ(means.history()[140], 0.25);
    ASSERT_EQ(means.history()[199], 0.5);

    gauge.draw(surface.dc(), 0, 0);
    EXPECT_TRUE(surface.columnRunIs(0, 30, 40, kBar));
    EXPECT_EQ(surface.countInColumn(0, kBar), 11);
    for (int x = 1; x < 59; ++x)
        ASSERT_EQ(surface.countInColumn(x, kBar), 1) << "column " << x;
    EXPECT_TRUE(surface.columnRunIs(59, 20, 40, kBar));
    EXPECT_EQ(surface.countInColumn(59, kBar), 21);
}

TEST(AveragingPercentMonitorDraw, LabelAppearsOnlyOnceASampleIsPending)
{
    Surface surface(60, 41);
    ASSERT_TRUE(surface.ready());
    AveragingPercentMonitor gauge(L"cpu0");
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_EQ(surface.count(kBlack), 0);

    gauge.addSample(0.07);
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_GT(surface.count(kBlack), 0);
    EXPECT_EQ(surface.count(kBar), 0);
}

TEST(AveragingPercentMonitorDraw, LabelKeepsItsNumberInTheVisibleColumns)
{
    // The newest sample's label, after an earlier one's, must match the
    // expected text drawn by hand and leave no ink past the 58 visible
    // columns. Wine's widths: "cpu0: -5%" 56 px, "cpu0: 10%" 59, "mem: 28%"
    // 61, "mem:28%" 57, "cpu17:100%" 69, "17:100%" 49, "mem:100%" 64,
    // "cpu17: 100%" 73. The earlier label is drawn at 96 DPI; a choice made
    // there is dropped at 192, where 118 columns show.
    struct Row {
        const wchar_t* keyName;
        double sample;
        const wchar_t* shown;
        int dpi = kBaseDpi;
        double earlier = 0.93;
    };
    const Row rows[] = {
        {L"cpu0", -0.05, L"cpu0: -5%"}, {L"cpu0", 0.07, L"cpu0:07%"}, {L"cpu0", 0.10, L"cpu0:10%"},
        {L"mem", 0.28, L"mem:28%"},     {L"cpu17", 1.0, L"17:100%"},  {L"mem", 1.0, L"100%"},
        {L"cpu17", 1.0, L"cpu17: 100%", 192, 1.0},
    };
    constexpr int kX = 7;
    constexpr int kY = 5;
    for (const Row& row : rows) {
        Surface earlier(140, 100);
        Surface drawn(140, 100);
        Surface expected(140, 100);
        ASSERT_TRUE(earlier.ready() && drawn.ready() && expected.ready());
        AveragingPercentMonitor gauge(row.keyName);
        gauge.addSample(row.earlier);
        gauge.draw(earlier.dc(), kX, kY);
        const StripSize strip = stripSizeAt(row.dpi);
        gauge.addSample(row.sample);
        gauge.draw(drawn.dc(), kX, kY, strip);
        RECT rect = {kX, kY, kX + strip.width, kY + strip.height};
        SetBkMode(expected.dc(), TRANSPARENT);
        DrawTextW(expected.dc(), row.shown, -1, &rect, DT_SINGLELINE);
        ASSERT_GT(expected.count(kBlack), 0);
        EXPECT_EQ(drawn.differingPixels(expected), 0) << row.shown;
        const int pastVisible = kX + strip.visibleWidth;
        EXPECT_EQ(drawn.PixelSurface::count(kBackground, pastVisible, 0, 140, 100), (140 - pastVisible) * 100)
            << row.shown;
    }
}

TEST(AveragingPercentMonitorDraw, LabelIsBlackOverBarsInTopLeftArea)
{
    // Sixty full bars fill the gauge; the label must be drawn after them and
    // with a transparent background, so every pixel is either bar or text.
    Surface surface(60, 41);
    ASSERT_TRUE(surface.ready());
    AveragingPercentMonitor gauge(L"cpu0");
    feed(gauge, 1.0, 61 * kSamplesPerMean + 1);
    gauge.draw(surface.dc(), 0, 0);

    EXPECT_GT(surface.count(kBlack), 0);
    RECT text = surface.boundsOf(kBlack);
    EXPECT_LT(text.left, 5);
    EXPECT_LT(text.top, 5);
    EXPECT_LE(text.bottom, 20);
    EXPECT_EQ(surface.count(kBackground), 0);
    for (int y = text.bottom; y <= 40; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(surface.pixel(x, y), kBar) << x << "," << y;
}

TEST(AveragingPercentMonitorDraw, LabelUsesTheContextsTextColour)
{
    constexpr COLORREF kBlue = RGB(0, 0, 255);
    Surface surface(60, 41);
    ASSERT_TRUE(surface.ready());
    SetTextColor(surface.dc(), kBlue);
    AveragingPercentMonitor gauge(L"cpu0");
    gauge.addSample(0.5);
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_GT(surface.count(kBlue), 0);
    EXPECT_EQ(surface.count(kBlack), 0);
}

namespace {

// A gauge whose rectangle is smaller than its drawing, to show that the
// label is clipped to whatever getRect reports.
class SmallRectGauge : public AveragingPercentMonitor {
public:
    using AveragingPercentMonitor::AveragingPercentMonitor;
    RECT getRect() override { return RECT{0, 0, 12, 6}; }
};

} // namespace

TEST(AveragingPercentMonitorDraw, LabelIsClippedToTheVirtualRectangle)
{
    Surface full(80, 60);
    Surface clipped(80, 60);
    ASSERT_TRUE(full.ready());
    ASSERT_TRUE(clipped.ready());
    AveragingPercentMonitor gauge(L"cpu0");
    SmallRectGauge small(L"cpu0");
    gauge.addSample(0.5);
    small.addSample(0.5);
    gauge.draw(full.dc(), 10, 10);
    small.draw(clipped.dc(), 10, 10);

    RECT fullText = full.boundsOf(kBlack);
    ASSERT_GT(fullText.right, 22) << "label too narrow to show clipping";
    RECT clippedText = clipped.boundsOf(kBlack);
    ASSERT_LT(clippedText.left, clippedText.right) << "clipped label vanished";
    EXPECT_GE(clippedText.left, 10);
    EXPECT_GE(clippedText.top, 10);
    EXPECT_LE(clippedText.right, 22);
    EXPECT_LE(clippedText.bottom, 16);
}

TEST(AveragingPercentMonitorDraw, PreviouslySelectedPenIsRestored)
{
    Surface surface(60, 41);
    ASSERT_TRUE(surface.ready());
    HPEN ownPen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
    HGDIOBJ original = SelectObject(surface.dc(), ownPen);

    AveragingPercentMonitor gauge(kShortKey);
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_PEN), ownPen);

    feedOneBar(gauge, 0.5);
    gauge.draw(surface.dc(), 0, 0);
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_PEN), ownPen);
    EXPECT_EQ(surface.countInColumn(59, kBar), 21);

    SelectObject(surface.dc(), original);
    DeleteObject(ownPen);
}

namespace {

// Means in an uneven order, so neighbouring bars differ, from well below
// the foot to past the gauge's top: lengths -12, -2, -1 (no pixel), 0, 13,
// 20, 40, 41 and 52.
double unevenSample(int k)
{
    static const double kMeans[] = {-0.3, 0.5, -0.05, 1.025, 0.0, -0.04, 1.3, 0.33, 1.0, -0.025};
    return kMeans[(k / kSamplesPerMean * 7) % 10];
}

// Means whose bars at 192 DPI are their 96-DPI bars doubled: lengths 20,
// 50, 0, 15, 40 and 30 at 96.
double doublingSample(int k)
{
    static const double kMeans[] = {0.5, 1.25, 0.0, 0.375, 1.0, 0.75};
    return kMeans[(k / kSamplesPerMean * 5) % 6];
}

// A surface of a given width with the gauge at (x, y), reaching below the
// gauge's foot row, and its clip region: up to two rectangles, none when
// the first is empty. Two make a region no single rectangle describes.
// At 192 DPI the picture is the 96-DPI one with every pixel doubled; there
// the clip leaves out the label, which keeps the DC's font at every scale.
struct SurfaceCase {
    int width;
    int x;
    int y;
    RECT clip[2];
    int dpi = kBaseDpi;
    double (*sample)(int k) = unevenSample;
};

const SurfaceCase kSurfaceCases[] = {
    {58, 0, 0, {}},   // the main window's client area: the two newest bars are off it
    {60, 0, 0, {}},   // exactly the gauge
    {100, 30, 0, {}}, // room left of the gauge, where older bars still show
    {40, -25, 0, {}}, // the gauge hangs off the left edge
    {120, 59, 40, {{59, 0, 117, 86}}},              // a column's clip, narrower than the gauge
    {60, 0, 40, {{0, 30, 58, 84}}},                 // a clip that also cuts bars above and below
    {60, 0, 0, {{0, 0, 20, 46}, {30, 10, 60, 30}}}, // two rectangles
    {120, 0, 0, {{0, 28, 120, 92}, {116, 0, 120, 28}}, 192, doublingSample},
    {200, 60, 0, {{0, 0, 60, 92}, {60, 28, 200, 92}}, 192, doublingSample},  // older bars left of the gauge
    {40, -50, 40, {{0, 0, 40, 40}, {0, 68, 40, 132}}, 192, doublingSample}, // off the left edge, bars over its top
};

void clipTo(HDC dc, const RECT (&clip)[2])
{
    if (IsRectEmpty(&clip[0]))
        return;
    HRGN region = CreateRectRgnIndirect(&clip[0]);
    HRGN second = CreateRectRgnIndirect(&clip[1]);
    CombineRgn(region, region, second, RGN_OR);
    SelectClipRgn(dc, region);
    DeleteObject(second);
    DeleteObject(region);
}

} // namespace

TEST(AveragingPercentMonitorDraw, DrawsTheSamePixelsAsDrawingEveryBar)
{
    constexpr int kRuns = SampleAverager::kHistoryCap + 5;
    for (const SurfaceCase& c : kSurfaceCases) {
        AveragingPercentMonitor gauge(L"cpu0");
        EveryBarGauge reference(L"cpu0");
        const StripSize strip = stripSizeAt(c.dpi);
        const int scale = c.dpi / kBaseDpi;
        int k = 0;
        // History lengths 0 to 200 and on past the cap; a label from the
        // first sample on.
        for (int run = -1; run <= kRuns; ++run) {
            const int samples = run < 0 ? 0 : run == 0 ? 1 : kSamplesPerMean;
            for (int i = 0; i < samples; ++i, ++k) {
                gauge.addSample(c.sample(k));
                reference.addSample(c.sample(k));
            }
            Surface drawn(c.width, c.y + 46 * scale);
            Surface expected(c.width, c.y + 46 * scale);
            Surface plain(c.width / scale, c.y / scale + 46);
            ASSERT_TRUE(drawn.ready() && expected.ready() && plain.ready());
            clipTo(drawn.dc(), c.clip);
            clipTo(expected.dc(), c.clip);
            gauge.draw(drawn.dc(), c.x, c.y, strip);
            reference.draw(plain.dc(), c.x / scale, c.y / scale);
            StretchBlt(expected.dc(), 0, 0, expected.width(), expected.height(), plain.dc(), 0, 0, plain.width(),
                       plain.height(), SRCCOPY);
            ASSERT_EQ(drawn.differingPixels(expected), 0) << "width " << c.width << ", x " << c.x << ", y " << c.y
                                                          << ", dpi " << c.dpi << ", after " << k << " samples";
        }
    }
}
