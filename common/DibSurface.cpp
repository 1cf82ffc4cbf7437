// DibSurface: the DIB section selected into its memory DC for as long as it
// lives, and made again only when its size changes or it could not be made.

#include "common/DibSurface.h"

DibSurface::~DibSurface()
{
    release();
    if (dc_ != nullptr)
        DeleteDC(dc_);
}

bool DibSurface::fit(int width, int height)
{
    const bool empty = width <= 0 || height <= 0;
    if (width == width_ && height == height_ && (bits_ != nullptr || empty))
        return false;
    release();
    width_ = width;
    height_ = height;
    if (dc_ == nullptr)
        dc_ = CreateCompatibleDC(nullptr);
    if (empty || dc_ == nullptr)
        return true;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = createDib_(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_ == nullptr)
        return true;
    bits_ = static_cast<std::uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    return true;
}

void DibSurface::release()
{
    if (previous_ != nullptr)
        SelectObject(dc_, previous_);
    if (bitmap_ != nullptr)
        DeleteObject(bitmap_);
    bitmap_ = nullptr;
    previous_ = nullptr;
    bits_ = nullptr;
}
