#pragma once
// Helpers for tests that need real windows and pixels: a hidden popup window
// with a one-pixel border, and a 32-bit DIB section whose pixels a test reads.

#include <windows.h>

#include <cstdint>
#include <memory>

#include "common/PixelRect.h"

class DibSurface;

// A hidden WS_POPUP | WS_BORDER window of the given outer size, destroyed
// with the object. Its class runs DefWindowProcW only.
class TestWindow {
public:
    TestWindow(int outerWidth, int outerHeight);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND handle() const { return window_; }

private:
    HWND window_;
};

// A memory DC holding a top-down 32-bit DIB section, filled with one colour.
class PixelSurface {
public:
    PixelSurface(int width, int height, COLORREF fill = RGB(0, 0, 0));
    ~PixelSurface();
    PixelSurface(const PixelSurface&) = delete;
    PixelSurface& operator=(const PixelSurface&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF pixel(int x, int y) const;
    // The pixels themselves, for the picture's own drawing functions.
    PixelRows rows() const { return {bits_, width_, width_, height_}; }
    int count(COLORREF colour, int left, int top, int right, int bottom) const;
    // Pixels that differ from the same pixel of a surface of the same size.
    int differingPixels(const PixelSurface& other) const;

private:
    int width_;
    int height_;
    std::unique_ptr<DibSurface> surface_;
    HDC dc_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

// The lfHeight a font was made with.
LONG fontHeight(HGDIOBJ font);
