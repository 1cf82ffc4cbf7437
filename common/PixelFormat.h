#pragma once
// The one pixel format plix handles pixels in directly: 32 bits a pixel,
// rows from the top down, blue in the low byte.

#include <windows.h>

inline BITMAPINFO topDownPixelsInfo(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
