// The paint pass behind every tick and every WM_PAINT. It is also what
// drives sampling: each pass collects the counters once and feeds every
// gauge exactly one sample before drawing it, stacked in key-name order down
// one column, or down each column in turn when the window holds several.
// Nothing is kept between passes.

#include "app/PaintPass.h"

#include <string>
#include <vector>

#include "counters/CounterQuery.h"
#include "gauges/MonitorRegistry.h"

LabelFont labelFont;

namespace {

RECT clientRect(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    return rect;
}

void fillBackground(HWND window, HDC dc)
{
    RECT rect = clientRect(window);
    HBRUSH brush = CreateSolidBrush(kBackgroundColour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// Collects once, and once more after reopening the query if that failed.
bool collectSamples(CounterQuery& query)
{
    query.collect();
    if (query.status != ERROR_SUCCESS) {
        query.reopen();
        query.collect();
    }
    return query.status == ERROR_SUCCESS;
}

// One pixel between two columns, in the border's colour, so that the columns
// read as gauges side by side rather than one column's labels running into
// the next one's newest bars.
void drawColumnSeparators(HDC dc, const StripLayout& layout, int height)
{
    for (int column = 1; column < layout.columns; ++column) {
        const RECT line = {layout.pitch * column - 1, 0, layout.pitch * column, height};
        FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOWFRAME));
    }
}

// Clips the drawing to one column's visible pixels (58 at 96 DPI), down to
// the foot of its last strip, so that a strip shows in any column just what
// it would show in a single one and an empty cell below a shorter column
// shows only the background. Returns the saved state that unclips it,
// dropping the previous column's clip first.
int clipToColumn(HDC dc, int previousColumnState, const StripLayout& layout, int strip)
{
    if (previousColumnState != 0)
        RestoreDC(dc, previousColumnState);
    const int state = SaveDC(dc);
    const StripCell top = stripCell(layout, strip);
    IntersectClipRect(dc, top.x, 0, top.x + layout.visibleWidth,
                      layout.stripHeight * stripsInColumn(layout, top.column));
    return state;
}

void feedAndDrawGauges(HWND window, HDC dc, const StripLayout& layout, CounterQuery& query,
                       MonitorRegistry& registry)
{
    std::vector<std::wstring> keyNames;
    query.getKeyNames(keyNames);
    SetBkMode(dc, TRANSPARENT);
    drawColumnSeparators(dc, layout, clientRect(window).bottom);

    int columnState = 0;
    int strip = 0;
    int y = 0;
    for (const std::wstring& keyName : keyNames) {
        if (strip >= layout.stripCount)
            break;
        PDH_FMT_COUNTERVALUE value = {};
        query.getValue(keyName, value);
        if (query.status != ERROR_SUCCESS)
            continue;
        auto found = registry.monitors.find(keyName);
        if (found == registry.monitors.end() || found->second == nullptr)
            continue;
        const StripCell cell = stripCell(layout, strip);
        if (cell.y == 0) {
            columnState = clipToColumn(dc, columnState, layout, strip);
            y = 0;
        }
        ++strip;
        Monitor& gauge = *found->second;
        gauge.setDpi(layout.dpi);
        gauge.addSample(value.longValue / 100.0);
        gauge.draw(dc, cell.x, y);
        RECT rect = gauge.getRect();
        y += rect.bottom - rect.top;
    }
    if (columnState != 0)
        RestoreDC(dc, columnState);
}

} // namespace

void paintWindow(HDC target, HWND window, const StripLayout& layout, CounterQuery& query,
                 MonitorRegistry& registry)
{
    RECT rect = clientRect(window);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;

    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    HDC memoryDc = CreateCompatibleDC(target);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    paintGauges(window, memoryDc, layout, query, registry);
    BitBlt(target, 0, 0, width, height, memoryDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, previous);
    DeleteDC(memoryDc);
    DeleteObject(bitmap);
}

void paintGauges(HWND window, HDC dc, const StripLayout& layout, CounterQuery& query, MonitorRegistry& registry)
{
    fillBackground(window, dc);
    HFONT font = labelFont.fontFor(layout.dpi);
    HGDIOBJ previousFont = SelectObject(dc, font);
    if (collectSamples(query))
        feedAndDrawGauges(window, dc, layout, query, registry);
    else
        drawErrorCross(dc, window);
    // The stock font, the one at the system DPI, may stay selected: putting
    // the old font back costs Wine a font lookup every pass. A font made for
    // another DPI is put back out, so that it can be deleted when replaced.
    if (font != GetStockObject(DEFAULT_GUI_FONT))
        SelectObject(dc, previousFont);
}

void drawErrorCross(HDC dc, HWND window)
{
    HPEN pen = CreatePen(PS_SOLID, 1, kErrorCrossColour);
    HGDIOBJ previous = SelectObject(dc, pen);
    RECT rect = clientRect(window);
    // LineTo leaves out its end point, so the first line stops short of the
    // bottom-right corner and the second starts on the last column.
    MoveToEx(dc, rect.left, rect.top, nullptr);
    LineTo(dc, rect.right, rect.bottom);
    MoveToEx(dc, rect.right - 1, rect.top, nullptr);
    LineTo(dc, rect.left, rect.bottom);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

void paintWindow(HDC target, HWND window, const StripLayout& layout)
{
    paintWindow(target, window, layout, counterQuery, monitorRegistry);
}

void paintGauges(HWND window, HDC dc, const StripLayout& layout)
{
    paintGauges(window, dc, layout, counterQuery, monitorRegistry);
}
