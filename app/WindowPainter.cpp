// The paint pass behind every tick and every WM_PAINT, which also drives
// sampling. The first pass, a new layout, font or colours, the pass after
// the red cross and every pass on which a gauge's bars move (every sixth)
// scroll: everything is drawn and copied. Any other pass relabels: only the
// labels whose number changed are drawn again, and only they are copied.

#include "app/WindowPainter.h"

#include <algorithm>

#include "counters/CounterQuery.h"
#include "gauges/AveragingPercentMonitor.h"
#include "gauges/GaugeLabel.h"
#include "gauges/MonitorRegistry.h"

namespace {

PixelRect clientArea(const StripLayout& layout)
{
    return {0, 0, layout.clientWidth, layout.clientHeight};
}

// A column's visible pixels (58 columns at 96 DPI), down to the foot of its
// last strip: an empty cell below a shorter column shows only background.
PixelRect columnArea(const StripLayout& layout, int column)
{
    const std::int64_t left = std::int64_t{layout.pitch} * column;
    const std::int64_t bottom =
        std::min<std::int64_t>(std::int64_t{layout.strip.height} * stripsInColumn(layout, column), layout.clientHeight);
    return {left, 0, left + layout.strip.visibleWidth, bottom};
}

// A strip's own rows of its column. The foot row below them, where its bars
// stand, is the next strip's top row.
PixelRect cellArea(const StripLayout& layout, const StripCell& cell)
{
    const PixelRect column = columnArea(layout, cell.column);
    return {column.left, cell.y, column.right, std::min<std::int64_t>(cell.y + layout.strip.height, column.bottom)};
}

// visit(column, first strip, end) over the first `shown` strips.
template <typename Visit>
void forEachColumn(const StripLayout& layout, std::size_t shown, Visit visit)
{
    std::size_t first = 0;
    for (int column = 0; column < layout.columns; ++column) {
        const std::size_t end = std::min(first + static_cast<std::size_t>(stripsInColumn(layout, column)), shown);
        visit(column, std::min(first, end), end);
        first = end;
    }
}

} // namespace

std::vector<Strip> stripsOf(const CounterQuery& query, MonitorRegistry& registry)
{
    std::vector<Strip> strips;
    for (const auto& filed : query.counters) {
        // A key name without a gauge takes no strip.
        const auto found = registry.monitors.find(filed.first);
        if (found != registry.monitors.end() && found->second != nullptr)
            strips.emplace_back(&filed.second, found->second);
    }
    return strips;
}

WindowPainter::WindowPainter(CounterQuery& query, MonitorRegistry& registry, CreateDib createDib, TickClock clock)
    : sampling_(query, clock), strips_(stripsOf(query, registry)), picture_(createDib), pieces_(createDib)
{
}

void WindowPainter::paintWindow(HDC target, const StripLayout& layout, Copy copy, Feed feed)
{
    paintGauges(layout, feed);
    // Copies go row by row, and many narrow ones cost more than one wide
    // one: what changed is copied as the one rectangle round it.
    const PixelRect area = copy == Copy::Whole ? clientArea(layout) : changed_;
    if (picture_.pixels().height == 0 || isEmpty(area))
        return;
    BitBlt(target, static_cast<int>(area.left), static_cast<int>(area.top), static_cast<int>(area.right - area.left),
           static_cast<int>(area.bottom - area.top), picture_.dc(), static_cast<int>(area.left),
           static_cast<int>(area.top), SRCCOPY);
}

void WindowPainter::redrawEverything()
{
    pieces_.drop();
    for (Strip& strip : strips_)
        strip.keyPieces = {};
    whole_ = true;
}

void WindowPainter::paintGauges(const StripLayout& layout, Feed feed)
{
    if (picture_.fit(layout.clientWidth, layout.clientHeight) || !(layout == drawnLayout_))
        whole_ = true;
    if (pieces_.useFont(font_.fontFor(layout.strip.dpi), layout.strip.dpi))
        redrawEverything();
    drawnLayout_ = layout;
    changed_ = {0, 0, 0, 0};
    const bool sampled = feed == Feed::Sample ? sampling_.sample() : sampling_.read();
    if (feed == Feed::Sample && sampling_.feeds()) {
        for (const Strip& strip : strips_) {
            if (strip.counter->fresh)
                strip.gauge->addSample(strip.counter->value.longValue / 100.0);
        }
    }
    if (picture_.pixels().height == 0) {
        whole_ = true;
        return;
    }
    if (!sampled)
        drawErrorCross(layout);
    else if (whole_ || meansMoved())
        scroll(layout);
    else
        relabel(layout);
}

bool WindowPainter::meansMoved() const
{
    return std::any_of(strips_.begin(), strips_.end(),
                       [](const Strip& strip) { return strip.drawnMeans != strip.gauge->meansMade(); });
}

void WindowPainter::place(const StripLayout& layout)
{
    drawings_.resize(std::min(strips_.size(), static_cast<std::size_t>(layout.stripCount)));
    for (std::size_t k = 0; k < drawings_.size(); ++k) {
        const StripCell cell = stripCell(layout, static_cast<int>(k));
        const AveragingPercentMonitor& gauge = *strips_[k].gauge;
        drawings_[k] = {&gauge.means(), gauge.barPlacement(cell.x, cell.y, layout.strip), cellArea(layout, cell)};
    }
}

void WindowPainter::scroll(const StripLayout& layout)
{
    place(layout);
    for (std::size_t k = 0; k < drawings_.size(); ++k)
        chooseLabel(k, layout);
    const PixelRows pixels = picture_.pixels();
    // One pixel between two columns, in the border's colour, so that the
    // columns read as gauges side by side rather than one column's labels
    // running into the next one's newest bars.
    const std::uint32_t line = pixelOf(GetSysColor(COLOR_WINDOWFRAME));
    const auto drawLabelOf = [&](std::size_t k, const PixelRect& clip) { drawLabel(k, clip, layout); };
    forEachColumn(layout, drawings_.size(), [&](int column, std::size_t first, std::size_t end) {
        const PixelRect area = columnArea(layout, column);
        fillArea(pixels, {area.left, area.bottom, area.right, layout.clientHeight}, kStripColours.background);
        if (column > 0)
            fillArea(pixels, {area.left - 1, 0, area.left, layout.clientHeight}, line);
        drawStrips(pixels, area, drawings_, first, end, Reach::Measure, kStripColours, drawLabelOf);
    });
    for (Strip& strip : strips_)
        strip.drawnMeans = strip.gauge->meansMade();
    changed_ = clientArea(layout);
    whole_ = false;
}

void WindowPainter::relabel(const StripLayout& layout)
{
    const PixelRows pixels = picture_.pixels();
    const auto drawLabelOf = [&](std::size_t k, const PixelRect& clip) { drawLabel(k, clip, layout); };
    forEachColumn(layout, drawings_.size(), [&](int, std::size_t first, std::size_t end) {
        for (std::size_t k = first; k < end; ++k) {
            Strip& strip = strips_[k];
            if (strip.labelled == strip.gauge->hasLabel() && strip.percent == strip.gauge->percentShown())
                continue;
            const LaidLabel was = strip.label;
            const PixelRect wasArea = strip.labelArea;
            chooseLabel(k, layout);
            const PixelRect area = intersection(was.first != nullptr && strip.label.first != nullptr
                                                    ? relabelArea(was, strip.label)
                                                    : bounding(wasArea, strip.labelArea),
                                                drawings_[k].cell);
            if (isEmpty(area))
                continue;
            drawStrips(pixels, area, drawings_, first, end, Reach::Keep, kStripColours, drawLabelOf);
            changed_ = bounding(changed_, area);
        }
    });
}

// Strip k's label as it shows now: its two pieces in the first form whose
// pieces fit the visible columns, as GDI would choose by measuring the
// text; no pieces where one of them could not be rendered or they meet,
// and GDI draws it.
void WindowPainter::chooseLabel(std::size_t k, const StripLayout& layout)
{
    Strip& strip = strips_[k];
    strip.labelled = strip.gauge->hasLabel();
    strip.percent = strip.gauge->percentShown();
    strip.label = {};
    strip.labelArea = {0, 0, 0, 0};
    if (!strip.labelled)
        return;
    const StripCell cell = stripCell(layout, static_cast<int>(k));
    const RECT rect = strip.gauge->labelRect(cell.x, cell.y, layout.strip);
    const PixelRect clip = intersection({rect.left, rect.top, rect.right, rect.bottom}, drawings_[k].cell);
    const LabelPiece* number = pieces_.number(strip.percent);
    const auto keyPiece = [&](std::size_t form) {
        if (strip.keyPieces[form] == nullptr)
            strip.keyPieces[form] = pieces_.piece(labelPrefixes(strip.gauge->keyName())[form]);
        return strip.keyPieces[form];
    };
    bool missing = number == nullptr;
    const std::size_t form = missing ? 0 : fittingForm(layout.strip.visibleWidth, [&](std::size_t measured) {
        const LabelPiece* key = keyPiece(measured);
        missing |= key == nullptr;
        return key != nullptr ? key->advance + number->advance : 0;
    });
    const LaidLabel laid = {missing ? nullptr : keyPiece(form), number, rect.left, rect.top};
    if (laid.first != nullptr && !piecesMeet(laid)) {
        strip.label = laid;
        strip.labelArea = intersection(piecesArea(laid), clip);
    } else {
        strip.labelArea = {clip.left, clip.top, clip.right, std::min<std::int64_t>(clip.bottom, clip.top + pieces_.textHeight())};
    }
}

void WindowPainter::drawLabel(std::size_t k, const PixelRect& clip, const StripLayout& layout)
{
    Strip& strip = strips_[k];
    const PixelRect within = intersection(clip, strip.labelArea);
    if (!strip.labelled || isEmpty(within) || layLabel(picture_.pixels(), within, strip.label, kStripColours))
        return;
    // Drawn as the gauge draws into any DC, in the label font and within
    // the same clip.
    HDC dc = picture_.dc();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, static_cast<int>(within.left), static_cast<int>(within.top), static_cast<int>(within.right),
                      static_cast<int>(within.bottom));
    SelectObject(dc, font_.fontFor(layout.strip.dpi));
    const StripCell cell = stripCell(layout, static_cast<int>(k));
    drawLabelText(dc, strip.gauge->labelRect(cell.x, cell.y, layout.strip), strip.gauge->keyName(), strip.percent,
                  layout.strip.visibleWidth);
    RestoreDC(dc, saved);
    GdiFlush();
}

void WindowPainter::drawErrorCross(const StripLayout& layout)
{
    fillArea(picture_.pixels(), clientArea(layout), kStripColours.background);
    ::drawErrorCross(picture_.dc(), layout);
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
