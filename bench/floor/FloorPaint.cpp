// One floor paint: a fresh bitmap and memory DC, filled light yellow,
// copied to the target in one BitBlt and deleted again.

#include "bench/floor/FloorPaint.h"

namespace {

constexpr COLORREF kBackgroundColour = RGB(255, 255, 128);

} // namespace

void floorPaint(HDC target, HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    HBITMAP bitmap = CreateCompatibleBitmap(target, rect.right, rect.bottom);
    HDC memoryDc = CreateCompatibleDC(target);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    HBRUSH brush = CreateSolidBrush(kBackgroundColour);
    FillRect(memoryDc, &rect, brush);
    DeleteObject(brush);
    BitBlt(target, 0, 0, rect.right, rect.bottom, memoryDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, previous);
    DeleteDC(memoryDc);
    DeleteObject(bitmap);
}
