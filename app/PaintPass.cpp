// The paint pass behind every tick and every WM_PAINT. It is also what
// drives sampling: each pass collects the counters once and feeds every
// gauge exactly one sample before drawing it. Nothing is kept between passes.

#include "app/PaintPass.h"

#include <string>
#include <vector>

#include "common/PixelBitmap.h"
#include "counters/CounterQuery.h"
#include "gauges/MonitorRegistry.h"

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

void feedAndDrawGauges(HDC dc, CounterQuery& query, MonitorRegistry& registry)
{
    std::vector<std::wstring> keyNames;
    query.getKeyNames(keyNames);
    SetBkMode(dc, TRANSPARENT);

    int y = 0;
    for (const std::wstring& keyName : keyNames) {
        PDH_FMT_COUNTERVALUE value = {};
        query.getValue(keyName, value);
        if (query.status != ERROR_SUCCESS)
            continue;
        auto found = registry.monitors.find(keyName);
        if (found == registry.monitors.end() || found->second == nullptr)
            continue;
        Monitor& gauge = *found->second;
        gauge.addSample(value.longValue / 100.0);
        gauge.draw(dc, 0, y);
        RECT rect = gauge.getRect();
        y += rect.bottom - rect.top;
    }
}

} // namespace

void paintWindow(HDC target, HWND window, CounterQuery& query, MonitorRegistry& registry)
{
    RECT rect = clientRect(window);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;

    // The gauges write their bars straight into this bitmap's pixels.
    HBITMAP bitmap = createPixelBitmap(width, height);
    HDC memoryDc = CreateCompatibleDC(target);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    paintGauges(window, memoryDc, query, registry);
    BitBlt(target, 0, 0, width, height, memoryDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, previous);
    DeleteDC(memoryDc);
    DeleteObject(bitmap);
}

void paintGauges(HWND window, HDC dc, CounterQuery& query, MonitorRegistry& registry)
{
    fillBackground(window, dc);
    // A stock object: it is left selected and never deleted.
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    if (!collectSamples(query)) {
        drawErrorCross(dc, window);
        return;
    }
    feedAndDrawGauges(dc, query, registry);
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

void paintWindow(HDC target, HWND window)
{
    paintWindow(target, window, counterQuery, monitorRegistry);
}

void paintGauges(HWND window, HDC dc)
{
    paintGauges(window, dc, counterQuery, monitorRegistry);
}
