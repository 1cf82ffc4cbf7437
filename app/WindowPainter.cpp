// The paint pass behind every tick and every WM_PAINT. It is also what
// drives sampling: a pass that samples has Sampling collect the counters and
// feed the gauges before it draws them. The picture is kept between passes: a strip's
// cell is drawn again only when what it shows changed (a new mean scrolled
// its bars, its label's number changed), straight into the picture's
// pixels, and a tick copies only those cells to the window. A new layout,
// the red cross and its recovery draw everything. Where each strip stands
// and at what size is the layout's to say.

#include "app/WindowPainter.h"

#include <algorithm>
#include <string>

#include "common/PixelFormat.h"
#include "counters/CounterQuery.h"
#include "gauges/AveragingPercentMonitor.h"
#include "gauges/MonitorRegistry.h"

namespace {

constexpr std::uint32_t kBackgroundPixel = pixelOf(kBackgroundColour);
constexpr std::uint32_t kBarPixel = pixelOf(AveragingPercentMonitor::kBarColour);

PixelRect clientArea(const StripLayout& layout)
{
    return {0, 0, layout.clientWidth, layout.clientHeight};
}

// A column's visible pixels (58 columns at 96 DPI), down to the foot of its
// last strip, so that a strip shows in any column just what it would show
// in a single one and an empty cell below a shorter column shows only the
// background.
PixelRect columnArea(const StripLayout& layout, int column)
{
    const std::int64_t left = std::int64_t{layout.pitch} * column;
    const std::int64_t bottom =
        std::min<std::int64_t>(std::int64_t{layout.strip.height} * stripsInColumn(layout, column), layout.clientHeight);
    return {left, 0, left + layout.strip.visibleWidth, bottom};
}

// A strip's own rows of its column. The foot row below them, where its bars
// stand, is the next strip's top row, and drawn with that strip's cell.
PixelRect cellArea(const StripLayout& layout, const StripCell& cell)
{
    const PixelRect column = columnArea(layout, cell.column);
    return {column.left, cell.y, column.right, std::min<std::int64_t>(cell.y + layout.strip.height, column.bottom)};
}

bool isEmpty(const PixelRect& area)
{
    return area.left >= area.right || area.top >= area.bottom;
}

// The smallest rectangle holding both.
PixelRect bounding(const PixelRect& a, const PixelRect& b)
{
    if (isEmpty(a))
        return b;
    if (isEmpty(b))
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

PixelRect intersection(const PixelRect& a, const PixelRect& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

} // namespace

std::vector<Strip> stripsOf(const CounterQuery& query, MonitorRegistry& registry)
{
    std::vector<Strip> strips;
    for (const auto& filed : query.counters) {
        auto found = registry.monitors.find(filed.first);
        // Set-up makes every gauge an averaging one; a key name without one
        // takes no strip.
        auto* gauge = found != registry.monitors.end() ? dynamic_cast<AveragingPercentMonitor*>(found->second)
                                                       : nullptr;
        if (gauge != nullptr)
            strips.push_back({&filed.second, gauge});
    }
    return strips;
}

WindowPainter::WindowPainter(CounterQuery& query, MonitorRegistry& registry, TickClock clock)
    : query_(query), registry_(registry), sampling_(query, registry, clock), stamps_({kBackgroundPixel, kBarPixel})
{
}

void WindowPainter::paintWindow(HDC target, const StripLayout& layout, Copy copy, Feed feed)
{
    paintGauges(layout, feed);
    if (copy == Copy::Whole) {
        BitBlt(target, 0, 0, layout.clientWidth, layout.clientHeight, buffer_.dc(), 0, 0, SRCCOPY);
        return;
    }
    // One copy of the rectangle round all that changed: copies go row by
    // row, and many narrow ones cost more than one wide one.
    if (!isEmpty(changed_))
        BitBlt(target, static_cast<int>(changed_.left), static_cast<int>(changed_.top),
               static_cast<int>(changed_.right - changed_.left), static_cast<int>(changed_.bottom - changed_.top),
               buffer_.dc(), static_cast<int>(changed_.left), static_cast<int>(changed_.top), SRCCOPY);
}

void WindowPainter::paintGauges(const StripLayout& layout, Feed feed)
{
    if (buffer_.fit(layout.clientWidth, layout.clientHeight) || !(layout == drawnLayout_))
        whole_ = true;
    drawnLayout_ = layout;
    changed_ = {0, 0, 0, 0};
    stamps_.useFont(font_.fontFor(layout.strip.dpi), layout.strip.dpi);
    if (feed == Feed::Sample ? !sampling_.sample() : !sampling_.read()) {
        drawErrorCross(layout);
        return;
    }
    if (!listed_) {
        strips_ = stripsOf(query_, registry_);
        listed_ = true;
    }
    if (buffer_.pixels().height == 0)
        return;
    if (whole_)
        drawEverything(layout);
    else
        drawChanged(layout);
}

void WindowPainter::fill(const PixelRect& area, std::uint32_t pixel)
{
    const PixelRows pixels = buffer_.pixels();
    const std::int64_t left = std::max<std::int64_t>(area.left, 0);
    const std::int64_t right = std::min<std::int64_t>(area.right, pixels.width);
    for (std::int64_t y = std::max<std::int64_t>(area.top, 0); y < std::min<std::int64_t>(area.bottom, pixels.height);
         ++y)
        std::fill(pixels.rows + y * pixels.pitch + left, pixels.rows + y * pixels.pitch + right, pixel);
}

void WindowPainter::drawEverything(const StripLayout& layout)
{
    fill(clientArea(layout), kBackgroundPixel);
    // One pixel between two columns, in the border's colour, so that the
    // columns read as gauges side by side rather than one column's labels
    // running into the next one's newest bars.
    const std::uint32_t line = pixelOf(GetSysColor(COLOR_WINDOWFRAME));
    for (int column = 1; column < layout.columns; ++column)
        fill({layout.pitch * column - 1, 0, layout.pitch * column, layout.clientHeight}, line);
    const int shown = std::min(static_cast<int>(strips_.size()), layout.stripCount);
    for (int k = 0; k < shown; ++k)
        checkBars(layout, k);
    for (int column = 0, first = 0; column < layout.columns; first += stripsInColumn(layout, column), ++column)
        drawColumn(layout, column, first, std::min(first + stripsInColumn(layout, column), shown));
    changed_ = clientArea(layout);
    whole_ = false;
}

void WindowPainter::drawChanged(const StripLayout& layout)
{
    const int shown = std::min(static_cast<int>(strips_.size()), layout.stripCount);
    markChanges(layout, shown);
    for (int column = 0, first = 0; column < layout.columns; first += stripsInColumn(layout, column), ++column) {
        const int end = std::min(first + stripsInColumn(layout, column), shown);
        const bool escapes = std::any_of(strips_.begin() + std::min(first, end), strips_.begin() + end,
                                         [](const Strip& strip) { return !strip.barsStay; });
        if (escapes || (first < end && redraws_[static_cast<std::size_t>(first)] == Redraw::Column)) {
            // A bar reaches past its cell and the foot row below: the column
            // is drawn again as a whole, in order, as a bar above or below
            // may lie over any of its cells.
            fill(columnArea(layout, column), kBackgroundPixel);
            drawColumn(layout, column, first, end);
            changed_ = bounding(changed_, columnArea(layout, column));
            continue;
        }
        for (int k = first; k < end; ++k) {
            const Redraw redraw = redraws_[static_cast<std::size_t>(k)];
            if (redraw != Redraw::Nothing)
                changed_ = bounding(changed_, drawCell(layout, k, redraw == Redraw::LabelRows));
        }
    }
}

// What each cell shows anew: the rows of its label where only the label's
// number changed; the whole cell where its strip has a new mean, and the
// cell below, whose top row holds its bars' feet; the whole column where a
// strip's bars left their cell or came back into it.
void WindowPainter::markChanges(const StripLayout& layout, int shown)
{
    redraws_.assign(static_cast<std::size_t>(shown), Redraw::Nothing);
    const auto atLeast = [this](int k, Redraw redraw) {
        Redraw& marked = redraws_[static_cast<std::size_t>(k)];
        marked = std::max(marked, redraw);
    };
    for (int k = 0; k < shown; ++k) {
        Strip& strip = strips_[static_cast<std::size_t>(k)];
        const AveragingPercentMonitor& gauge = *strip.gauge;
        if (strip.drawnLabel != gauge.hasLabel() || strip.drawnPercent != gauge.percentShown())
            atLeast(k, Redraw::LabelRows);
        if (strip.drawnMeans == gauge.meansMade())
            continue;
        atLeast(k, Redraw::Cell);
        const StripCell cell = stripCell(layout, k);
        if (k + 1 < shown && stripCell(layout, k + 1).y > 0)
            atLeast(k + 1, Redraw::Cell);
        const bool stayed = strip.barsStay;
        checkBars(layout, k);
        if (strip.barsStay != stayed)
            atLeast(k - cell.y / layout.strip.height, Redraw::Column);
    }
}

void WindowPainter::checkBars(const StripLayout& layout, int k)
{
    const StripCell cell = stripCell(layout, k);
    const PixelRect column = columnArea(layout, cell.column);
    Strip& strip = strips_[static_cast<std::size_t>(k)];
    strip.barsStay = strip.gauge->barsStayInStrip(cell.x, cell.y, layout.strip, static_cast<int>(column.left),
                                                  static_cast<int>(column.right));
}

void WindowPainter::drawColumn(const StripLayout& layout, int column, int first, int end)
{
    const PixelRect clip = columnArea(layout, column);
    for (int k = first; k < end; ++k) {
        const StripCell cell = stripCell(layout, k);
        strips_[static_cast<std::size_t>(k)].gauge->paintBars(buffer_.pixels(), clip, cell.x, cell.y, layout.strip);
        readUnderLabel(buffer_.pixels(), labelRows(layout, cell), stamps_.colours(),
                       strips_[static_cast<std::size_t>(k)].under);
        drawLabel(layout, k, clip);
    }
}

// The rows of a cell its label may take.
PixelRect WindowPainter::labelRows(const StripLayout& layout, const StripCell& cell) const
{
    PixelRect rows = cellArea(layout, cell);
    rows.bottom = std::min<std::int64_t>(rows.bottom, rows.top + stamps_.textHeight());
    return rows;
}

PixelRect WindowPainter::drawCell(const StripLayout& layout, int k, bool labelRowsOnly)
{
    const StripCell cell = stripCell(layout, k);
    const PixelRect rows = labelRows(layout, cell);
    const PixelRect clip = cellArea(layout, cell);
    Strip& strip = strips_[static_cast<std::size_t>(k)];
    // A new number over bars that stayed: laid in place of the old one.
    if (labelRowsOnly && strip.laid.first != nullptr) {
        LaidLabel fresh = strip.gauge->labelStamps(cell.x, cell.y, layout.strip, stamps_);
        fresh.clip = intersection(fresh.clip, clip);
        if (relayLabel(buffer_.pixels(), strip.laid, fresh, strip.under, stamps_.colours())) {
            remember(strip, fresh);
            return rows;
        }
    }
    fill(clip, kBackgroundPixel);
    if (cell.y > 0) {
        const StripCell above = stripCell(layout, k - 1);
        strips_[static_cast<std::size_t>(k) - 1].gauge->paintBars(buffer_.pixels(), clip, above.x, above.y,
                                                                   layout.strip);
    }
    strip.gauge->paintBars(buffer_.pixels(), clip, cell.x, cell.y, layout.strip);
    readUnderLabel(buffer_.pixels(), rows, stamps_.colours(), strip.under);
    drawLabel(layout, k, clip);
    return clip;
}

void WindowPainter::drawLabel(const StripLayout& layout, int k, const PixelRect& clip)
{
    Strip& strip = strips_[static_cast<std::size_t>(k)];
    const StripCell cell = stripCell(layout, k);
    LaidLabel label = strip.gauge->labelStamps(cell.x, cell.y, layout.strip, stamps_);
    label.clip = intersection(label.clip, clip);
    const bool laid = label.first != nullptr && stampLabel(buffer_.pixels(), label.clip, label.x, label.y,
                                                           *label.first, *label.second, stamps_.colours());
    if (!laid && strip.gauge->hasLabel()) {
        // Drawn as the gauge draws into any DC, in the label font and
        // within the same clip.
        HDC dc = buffer_.dc();
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, static_cast<int>(clip.left), static_cast<int>(clip.top), static_cast<int>(clip.right),
                          static_cast<int>(clip.bottom));
        SelectObject(dc, font_.fontFor(layout.strip.dpi));
        SetBkMode(dc, TRANSPARENT);
        strip.gauge->drawLabel(dc, cell.x, cell.y, layout.strip);
        RestoreDC(dc, saved);
        GdiFlush();
    }
    remember(strip, laid ? label : LaidLabel{});
}

void WindowPainter::remember(Strip& strip, const LaidLabel& laid)
{
    strip.laid = laid;
    strip.drawnMeans = strip.gauge->meansMade();
    strip.drawnLabel = strip.gauge->hasLabel();
    strip.drawnPercent = strip.gauge->percentShown();
}

void WindowPainter::drawErrorCross(const StripLayout& layout)
{
    fill(clientArea(layout), kBackgroundPixel);
    ::drawErrorCross(buffer_.dc(), layout);
    GdiFlush();
    changed_ = clientArea(layout);
    whole_ = true;
}

void drawErrorCross(HDC dc, const StripLayout& layout)
{
    HPEN pen = CreatePen(PS_SOLID, 1, kErrorCrossColour);
    HGDIOBJ previous = SelectObject(dc, pen);
    const RECT rect = {0, 0, layout.clientWidth, layout.clientHeight};
    // LineTo leaves out its end point, so the first line stops short of the
    // bottom-right corner and the second starts on the last column.
    MoveToEx(dc, rect.left, rect.top, nullptr);
    LineTo(dc, rect.right, rect.bottom);
    MoveToEx(dc, rect.right - 1, rect.top, nullptr);
    LineTo(dc, rect.left, rect.bottom);
    SelectObject(dc, previous);
    DeleteObject(pen);
}
