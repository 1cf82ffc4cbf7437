// AveragingPercentMonitor: the gauge the paint pass feeds and draws. Its
// SampleAverager folds every run of six samples into one mean and keeps the
// newest 200; this class draws them as green bars from the right edge
// leftwards under a label with the newest raw sample. The bars go straight
// into the pixels when the DC draws one to one into a 32-bit top-down DIB
// section, as the paint pass's off-screen bitmap is; anywhere else they are
// one PolyPolyline.

#include "gauges/AveragingPercentMonitor.h"

#include <cstdint>
#include <vector>

#include "gauges/BarPixels.h"
#include "gauges/GaugeLabel.h"

namespace {

// A 32-bit DIB pixel holds red, green and blue from the high byte down.
constexpr std::uint32_t kBarPixel = (GetRValue(AveragingPercentMonitor::kBarColour) << 16) |
                                    (GetGValue(AveragingPercentMonitor::kBarColour) << 8) |
                                    GetBValue(AveragingPercentMonitor::kBarColour);

// The DC's clip box and what GetClipBox said of it.
struct ClipBox {
    int kind;
    RECT box;
};

ClipBox clipBoxOf(HDC dc)
{
    ClipBox clip = {};
    clip.kind = GetClipBox(dc, &clip.box);
    return clip;
}

// The bars a device context can show: those on the columns of its clip box.
// A context whose clip box cannot be read gets every bar, to clip itself.
BarPositions barsShownBy(const ClipBox& clip, std::size_t meanCount, std::int64_t newestColumn)
{
    if (clip.kind == ERROR)
        return allBars(meanCount);
    return barsInColumns(meanCount, newestColumn, clip.box.left, clip.box.right);
}

// Whether the DC's logical coordinates are its bitmap's pixels: no mapping
// mode, world transform, mirroring or origin moves them.
bool drawsOneToOne(HDC dc)
{
    POINT origin = {0, 0};
    return GetMapMode(dc) == MM_TEXT && GetGraphicsMode(dc) == GM_COMPATIBLE && GetLayout(dc) == 0 &&
           LPtoDP(dc, &origin, 1) && origin.x == 0 && origin.y == 0;
}

COLORREF colourOf(std::uint32_t pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// GetObject reports every DIB section's height as positive, whichever way
// its rows run, so one pixel of the clip box tells: a marker stored where
// that pixel lies in a top-down bitmap, and nowhere else, is what GetPixel
// reads back only if the bitmap is top-down. The pixel is then restored.
bool rowsRunDown(HDC dc, const PixelRows& pixels, const RECT& box)
{
    int y = box.top;
    if (2 * y == pixels.height - 1) {
        // The middle row lies at the same place either way; the next one
        // tells, and with no next row in the clip box the order is moot.
        if (y + 1 >= box.bottom)
            return true;
        ++y;
    }
    if (box.left < 0 || box.left >= pixels.width || y < 0 || y >= pixels.height)
        return false;
    std::uint32_t& topDown = pixels.rows[y * pixels.pitch + box.left];
    const std::uint32_t bottomUp = pixels.rows[(pixels.height - 1 - y) * pixels.pitch + box.left];
    const std::uint32_t saved = topDown;
    const std::uint32_t marker = ~bottomUp & 0xFFFFFF;
    topDown = marker;
    const bool down = GetPixel(dc, box.left, y) == colourOf(marker);
    topDown = saved;
    return down;
}

// The pixels of the DC's bitmap, when bars written there come out as a pen
// would draw them: a 32-bit top-down DIB section, drawn one to one, clipped
// to one rectangle, with the pen's colour copied as it is.
bool writablePixels(HDC dc, const ClipBox& clip, PixelRows& pixels)
{
    if (clip.kind != SIMPLEREGION || GetROP2(dc) != R2_COPYPEN || !drawsOneToOne(dc))
        return false;
    DIBSECTION section = {};
    if (GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof section, &section) != sizeof section)
        return false;
    const BITMAP& bitmap = section.dsBm;
    if (bitmap.bmBitsPixel != 32 || section.dsBmih.biCompression != BI_RGB || bitmap.bmBits == nullptr)
        return false;
    pixels = PixelRows{static_cast<std::uint32_t*>(bitmap.bmBits),
                       bitmap.bmWidthBytes / static_cast<std::ptrdiff_t>(sizeof(std::uint32_t)), bitmap.bmWidth,
                       bitmap.bmHeight};
    // Drawing still batched for the bitmap must land before the bars do.
    GdiFlush();
    return rowsRunDown(dc, pixels, clip.box);
}

// The bars as one PolyPolyline of two-point lines, with the bar pen.
void drawBarLines(HDC dc, const std::deque<double>& means, BarPositions shown, std::int64_t newestColumn, int foot,
                  int height)
{
    std::vector<DWORD> counts(shown.end - shown.first, 2);
    std::vector<POINT> points;
    points.reserve(2 * counts.size());
    for (std::size_t position = shown.first; position < shown.end; ++position) {
        const int column = static_cast<int>(barColumn(position, means.size(), newestColumn));
        // LineTo stops one pixel short, so a bar of length h covers h + 1
        // rows, the lowest being the first row below the gauge.
        points.push_back(POINT{column, foot});
        points.push_back(POINT{column, foot - barLength(means[position], height) - 1});
    }
    HPEN pen = CreatePen(PS_SOLID, AveragingPercentMonitor::kBarPenWidth, AveragingPercentMonitor::kBarColour);
    HGDIOBJ previous = SelectObject(dc, pen);
    PolyPolyline(dc, points.data(), counts.data(), static_cast<DWORD>(counts.size()));
    SelectObject(dc, previous);
    DeleteObject(pen);
}

int textWidth(HDC dc, const std::wstring& text)
{
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

} // namespace

std::wstring fittingLabelFor(HDC dc, const std::wstring& keyName, int percent)
{
    return fittingLabel(labelForms(keyName, percent), AveragingPercentMonitor::kVisibleWidth,
                        [dc](const std::wstring& text) { return textWidth(dc, text); });
}

AveragingPercentMonitor::AveragingPercentMonitor(const std::wstring& keyName)
    : keyName_(keyName)
{
}

int AveragingPercentMonitor::addSample(double sample)
{
    averager_.addSample(sample);
    return 1;
}

RECT AveragingPercentMonitor::getRect()
{
    return RECT{0, 0, width_, height_};
}

void AveragingPercentMonitor::draw(HDC dc, int x, int y)
{
    drawBars(dc, x, y);
    if (!averager_.pending().empty())
        drawLabel(dc, x, y);
}

void AveragingPercentMonitor::drawBars(HDC dc, int x, int y) const
{
    const std::deque<double>& means = averager_.history();
    const std::int64_t newestColumn = static_cast<std::int64_t>(x) + width_ - 1;
    const ClipBox clip = clipBoxOf(dc);
    // With a full history about 140 of the 199 bars stand left of the
    // surface; only the ones it shows are drawn.
    const BarPositions shown = barsShownBy(clip, means.size(), newestColumn);
    if (shown.empty())
        return;
    const int foot = y + height_;
    PixelRows pixels = {};
    if (writablePixels(dc, clip, pixels)) {
        const PixelRect within = {clip.box.left, clip.box.top, clip.box.right, clip.box.bottom};
        paintBars(pixels, within, means, shown, newestColumn, foot, height_, kBarPixel);
    } else {
        drawBarLines(dc, means, shown, newestColumn, foot, height_);
    }
}

void AveragingPercentMonitor::drawLabel(HDC dc, int x, int y)
{
    const int percent = labelPercent(averager_.pending().back());
    if (!label_.chosen || label_.percent != percent)
        label_ = ChosenLabel{true, percent, fittingLabelFor(dc, keyName_, percent)};
    RECT rect = getRect();
    OffsetRect(&rect, x, y);
    SetBkMode(dc, TRANSPARENT);
    // Clipped to the rectangle as DrawTextW with DT_SINGLELINE would, for
    // the same pixels at less cost.
    ExtTextOutW(dc, rect.left, rect.top, ETO_CLIPPED, &rect, label_.text.c_str(),
                static_cast<UINT>(label_.text.size()), nullptr);
}
