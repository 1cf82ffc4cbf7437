#pragma once
// The one pixel format plix handles pixels in directly: 32 bits a pixel,
// rows from the top down, blue in the low byte.

#include <windows.h>

#include <cstdint>

// A colour as such a pixel holds it: red, green and blue from the high byte
// down.
constexpr std::uint32_t pixelOf(COLORREF colour)
{
    return (std::uint32_t{GetRValue(colour)} << 16) | (std::uint32_t{GetGValue(colour)} << 8) | GetBValue(colour);
}

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
