// AveragingPercentMonitor: the gauge the paint pass feeds and draws. Its
// SampleAverager folds every run of six samples into one mean and keeps the
// newest 200; this class draws them as green bars from the right edge
// leftwards under a label with the newest raw sample, at the strip size the
// paint pass hands it: the 96-DPI picture grown by its DPI. The bars are drawn as pixels
// into a small image and laid over the DC in two calls.

#include "gauges/AveragingPercentMonitor.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/PixelFormat.h"
#include "gauges/GaugeLabel.h"
#include "gauges/LabelStamps.h"

namespace {

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

constexpr std::uint32_t kBarPixel = pixelOf(AveragingPercentMonitor::kBarColour);
constexpr std::uint32_t kKeepPixel = 0x00FFFFFF;
static_assert(kBarPixel != 0, "a bar's pixels tell themselves from the black around them");

// The bars over `area` as 32-bit pixels: the bar colour where a bar is,
// black elsewhere.
std::vector<std::uint32_t> barImage(const PixelRect& area, const std::deque<double>& means, BarPositions shown,
                                    const BarPlacement& placement)
{
    const int width = static_cast<int>(area.right - area.left);
    const int rows = static_cast<int>(area.bottom - area.top);
    std::vector<std::uint32_t> image(static_cast<std::size_t>(width) * static_cast<std::size_t>(rows));
    const PixelRows pixels = {image.data(), width, width, rows};
    BarPlacement withinImage = placement;
    withinImage.left -= area.left;
    withinImage.top -= area.top;
    paintBars(pixels, PixelRect{0, 0, width, rows}, means, shown, withinImage, kBarPixel);
    return image;
}

// Lays the bars over the DC in two calls, whatever lies beneath and within
// the DC's clip region: ANDing a mask, white but black under the bars,
// clears the bars' pixels and keeps the rest; ORing the bars then colours
// them.
void stampBars(HDC dc, const PixelRect& area, std::vector<std::uint32_t> bars)
{
    const int width = static_cast<int>(area.right - area.left);
    const int rows = static_cast<int>(area.bottom - area.top);
    const BITMAPINFO info = topDownPixelsInfo(width, rows);
    std::vector<std::uint32_t> mask(bars.size());
    std::transform(bars.begin(), bars.end(), mask.begin(), [](std::uint32_t bar) { return bar ? 0 : kKeepPixel; });
    const int left = static_cast<int>(area.left);
    const int top = static_cast<int>(area.top);
    StretchDIBits(dc, left, top, width, rows, 0, 0, width, rows, mask.data(), &info, DIB_RGB_COLORS, SRCAND);
    StretchDIBits(dc, left, top, width, rows, 0, 0, width, rows, bars.data(), &info, DIB_RGB_COLORS, SRCPAINT);
}

int textWidth(HDC dc, const std::wstring& text)
{
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

} // namespace

std::wstring fittingLabelFor(HDC dc, const std::wstring& keyName, int percent, int visibleWidth)
{
    return fittingLabel(labelForms(keyName, percent), visibleWidth,
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
    draw(dc, x, y, stripSizeAt(kBaseDpi));
}

void AveragingPercentMonitor::draw(HDC dc, int x, int y, const StripSize& strip)
{
    drawBars(dc, x, y, strip);
    if (!averager_.pending().empty())
        drawLabel(dc, x, y, strip);
}

void AveragingPercentMonitor::drawBars(HDC dc, int x, int y, const StripSize& strip) const
{
    const std::deque<double>& means = averager_.history();
    const BarPlacement placement = {x, y, width_, height_, strip.dpi};
    const ClipBox clip = clipBoxOf(dc);
    if (clip.kind == ERROR)
        return;
    // With a full history about 140 of the 199 bars stand left of the
    // surface; only the ones on the columns it shows are drawn.
    const BarPositions shown = barsShown(placement, means.size(), clip.box.left, clip.box.right);
    const PixelRect within = {clip.box.left, clip.box.top, clip.box.right, clip.box.bottom};
    const PixelRect area = barArea(within, means, shown, placement);
    if (area.left >= area.right || area.top >= area.bottom)
        return;
    stampBars(dc, area, barImage(area, means, shown, placement));
}

RECT AveragingPercentMonitor::labelRect(int x, int y, const StripSize& strip)
{
    // Through the virtual getRect, so that a derived gauge's rectangle
    // holds, grown to the strip's scale.
    const RECT own = getRect();
    const auto scaled = [&strip](LONG length) { return static_cast<LONG>(scaledLength(length, strip.dpi)); };
    return RECT{x + scaled(own.left), y + scaled(own.top), x + scaled(own.right), y + scaled(own.bottom)};
}

int AveragingPercentMonitor::percentShown() const
{
    return hasLabel() ? labelPercent(averager_.pending().back()) : 0;
}

bool AveragingPercentMonitor::barsStayInStrip(int x, int y, const StripSize& strip, int left, int right) const
{
    const std::deque<double>& means = averager_.history();
    const BarPlacement placement = {x, y, width_, height_, strip.dpi};
    return ::barsStayInStrip(means, barsShown(placement, means.size(), left, right), placement);
}

void AveragingPercentMonitor::paintBars(const PixelRows& surface, const PixelRect& clip, int x, int y,
                                        const StripSize& strip) const
{
    const std::deque<double>& means = averager_.history();
    const BarPlacement placement = {x, y, width_, height_, strip.dpi};
    ::paintBars(surface, clip, means, barsShown(placement, means.size(), clip.left, clip.right), placement, kBarPixel);
}

const LabelStamp& AveragingPercentMonitor::keyStamp(std::size_t form, LabelStamps& stamps)
{
    if (keyStamps_.dpi != stamps.dpi())
        keyStamps_ = KeyStamps{stamps.dpi(), {}, {}};
    if (!keyStamps_.made[form]) {
        keyStamps_.forms[form] = stamps.render(labelPrefixes(keyName_)[form]);
        keyStamps_.made[form] = true;
    }
    return keyStamps_.forms[form];
}

LaidLabel AveragingPercentMonitor::labelStamps(int x, int y, const StripSize& strip, LabelStamps& stamps)
{
    const LabelStamp* number = hasLabel() ? stamps.number(percentShown()) : nullptr;
    if (number == nullptr)
        return {};
    // The first form whose two pieces fit the columns that show, as
    // fittingLabel chooses: text advances add up.
    std::size_t form = 0;
    while (form + 1 < std::tuple_size<LabelForms>::value &&
           keyStamp(form, stamps).advance + number->advance > strip.visibleWidth)
        ++form;
    const RECT rect = labelRect(x, y, strip);
    return {&keyStamp(form, stamps), number, rect.left, rect.top, {rect.left, rect.top, rect.right, rect.bottom}};
}

void AveragingPercentMonitor::drawLabel(HDC dc, int x, int y, const StripSize& strip)
{
    const int percent = percentShown();
    if (!label_.chosen || label_.percent != percent || label_.dpi != strip.dpi ||
        label_.visibleWidth != strip.visibleWidth)
        label_ = ChosenLabel{true, percent, strip.dpi, strip.visibleWidth,
                             fittingLabelFor(dc, keyName_, percent, strip.visibleWidth)};
    RECT rect = labelRect(x, y, strip);
    SetBkMode(dc, TRANSPARENT);
    // Clipped to the rectangle as DrawTextW with DT_SINGLELINE would, for
    // the same pixels at less cost.
    ExtTextOutW(dc, rect.left, rect.top, ETO_CLIPPED, &rect, label_.text.c_str(),
                static_cast<UINT>(label_.text.size()), nullptr);
}
