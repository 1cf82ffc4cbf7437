// The paint pass behind every tick and every WM_PAINT, after sampling. The
// first pass, a new layout, font or colours, the pass after the red cross,
// a strip crossed out or back, and every pass on which a gauge's bars move
// (every sixth) scroll: everything is drawn and copied. Any other pass
// relabels: only the labels whose number changed are drawn again, and only
// they are copied.

#include "app/WindowPainter.h"

#include <algorithm>

#include "gauges/AveragingPercentMonitor.h"
#include "gauges/GaugeLabel.h"

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

WindowPainter::WindowPainter(const Sampling& sampling, CreateDib createDib)
    : sampling_(sampling), picture_(createDib), pieces_(createDib)
{
    for (const SampledStrip& sampled : sampling.strips())
        strips_.emplace_back(sampled.gauge);
}

void WindowPainter::paintWindow(HDC target, const StripLayout& layout, Copy copy)
{
    paintGauges(layout);
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

void WindowPainter::paintGauges(const StripLayout& layout)
{
    if (picture_.fit(layout.clientWidth, layout.clientHeight) || !(layout == drawnLayout_))
        whole_ = true;
    if (pieces_.useFont(font_.fontFor(layout.strip.dpi), layout.strip.dpi))
        redrawEverything();
    drawnLayout_ = layout;
    changed_ = {0, 0, 0, 0};
    if (picture_.pixels().height == 0) {
        whole_ = true;
        return;
    }
    if (!sampling_.read())
        drawErrorCross(layout);
    else if (whole_ || stripsMoved())
        scroll(layout);
    else
        relabel(layout);
}

bool WindowPainter::stripsMoved() const
{
    const std::vector<SampledStrip>& sampled = sampling_.strips();
    for (std::size_t k = 0; k < strips_.size(); ++k) {
        if (strips_[k].drawnMeans != strips_[k].gauge->meansMade() || strips_[k].crossed != sampled[k].troubled)
            return true;
    }
    return false;
}

void WindowPainter::place(const StripLayout& layout)
{
    drawings_.resize(std::min(strips_.size(), static_cast<std::size_t>(layout.stripCount)));
    for (std::size_t k = 0; k < drawings_.size(); ++k) {
        const StripCell cell = stripCell(layout, static_cast<int>(k));
        const AveragingPercentMonitor& gauge = *strips_[k].gauge;
        drawings_[k] = {&gauge.means(), gauge.barPlacement(cell.x, cell.y, layout.strip), cellArea(layout, cell),
                        {0, 0}, sampling_.strips()[k].troubled};
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
    const std::vector<SampledStrip>& sampled = sampling_.strips();
    for (std::size_t k = 0; k < strips_.size(); ++k) {
        strips_[k].drawnMeans = strips_[k].gauge->meansMade();
        strips_[k].crossed = sampled[k].troubled;
    }
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
            if (strip.crossed ||
                (strip.labelled == strip.gauge->hasLabel() && strip.percent == strip.gauge->percentShown()))
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
    const PixelRect client = clientArea(layout);
    fillArea(picture_.pixels(), client, kStripColours.background);
    drawCross(picture_.pixels(), client, client, kStripColours.cross);
    changed_ = client;
    whole_ = true;
}
