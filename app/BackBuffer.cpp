// BackBuffer: the DIB section behind the paint pass, selected into its own
// memory DC for as long as it lives.

#include "app/BackBuffer.h"

#include "common/PixelFormat.h"

BackBuffer::~BackBuffer()
{
    release();
}

bool BackBuffer::fit(int width, int height)
{
    if (width == width_ && height == height_)
        return false;
    release();
    width_ = width;
    height_ = height;
    dc_ = CreateCompatibleDC(nullptr);
    const BITMAPINFO info = topDownPixelsInfo(width, height);
    void* bits = nullptr;
    // A zero-sized window (no strips) gets no bitmap, and nothing to draw.
    bitmap_ = width > 0 && height > 0 ? CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    bits_ = bitmap_ != nullptr ? static_cast<std::uint32_t*>(bits) : nullptr;
    if (bitmap_ != nullptr)
        previous_ = SelectObject(dc_, bitmap_);
    return true;
}

void BackBuffer::release()
{
    if (dc_ != nullptr && previous_ != nullptr)
        SelectObject(dc_, previous_);
    if (bitmap_ != nullptr)
        DeleteObject(bitmap_);
    if (dc_ != nullptr)
        DeleteDC(dc_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    previous_ = nullptr;
    bits_ = nullptr;
}
