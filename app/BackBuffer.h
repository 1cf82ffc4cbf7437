#pragma once
// The paint pass's off-screen picture of the client area: a 32-bit top-down
// DIB section in a memory DC, kept from one pass to the next so that a pass
// redraws only what changed and its memory is not faulted in anew.

#include <windows.h>

#include "gauges/BarPixels.h"

class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // Sized for a client area of width x height, made anew when the size
    // changed: true then, and its pixels are undefined.
    bool fit(int width, int height);

    HDC dc() const { return dc_; }
    // Empty (no rows) where the DIB section could not be made.
    PixelRows pixels() const { return {bits_, width_, bits_ != nullptr ? width_ : 0, bits_ != nullptr ? height_ : 0}; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    void release();

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_ = -1;
    int height_ = -1;
};
