#pragma once
// A top-down 32-bit DIB section in a memory DC of its own: the one pixel
// format plix writes pixels in directly.

#include <windows.h>

#include <cstdint>

#include "common/PixelRect.h"

// A colour as such a pixel holds it, red in the third byte, and back.
constexpr std::uint32_t pixelOf(COLORREF colour)
{
    return (std::uint32_t{GetRValue(colour)} << 16) | (std::uint32_t{GetGValue(colour)} << 8) | GetBValue(colour);
}

constexpr COLORREF colourOf(std::uint32_t pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// CreateDIBSection, or a stand-in that tests make fail.
using CreateDib = HBITMAP(WINAPI*)(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                   DWORD offset);

class DibSurface {
public:
    explicit DibSurface(CreateDib createDib = CreateDIBSection) : createDib_(createDib) {}
    ~DibSurface();
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    // Sized width x height, made anew unless it already is: true then, and
    // its pixels are undefined. One that could not be made has no pixels
    // and is tried again at the next fit.
    bool fit(int width, int height);

    HDC dc() const { return dc_; }
    // Empty (no rows) where there is no DIB.
    PixelRows pixels() const { return {bits_, width_, bits_ != nullptr ? width_ : 0, bits_ != nullptr ? height_ : 0}; }

private:
    void release();

    CreateDib createDib_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
