// PixelBitmap: the 32-bit top-down DIB section that the paint pass draws
// into off screen and that the drawing tests read pixels from.

#include "common/PixelBitmap.h"

HBITMAP createPixelBitmap(int width, int height, std::uint32_t** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits != nullptr)
        *bits = static_cast<std::uint32_t*>(pixels);
    return bitmap;
}
