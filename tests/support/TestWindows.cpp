// Real windows and readable pixel surfaces for the drawing and window tests.

#include "tests/support/TestWindows.h"

#include "common/DibSurface.h"

namespace {

constexpr wchar_t kTestWindowClass[] = L"PlixTestWindow";

void registerTestClass()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kTestWindowClass;
    RegisterClassW(&windowClass);
    registered = true;
}

} // namespace

TestWindow::TestWindow(int outerWidth, int outerHeight)
{
    registerTestClass();
    window_ = CreateWindowExW(0, kTestWindowClass, L"test", WS_POPUP | WS_BORDER, 0, 0, outerWidth, outerHeight,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TestWindow::~TestWindow()
{
    DestroyWindow(window_);
}

PixelSurface::PixelSurface(int width, int height, COLORREF fill)
    : width_(width), height_(height), surface_(std::make_unique<DibSurface>())
{
    surface_->fit(width, height);
    dc_ = surface_->dc();
    bits_ = surface_->pixels().rows;
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

PixelSurface::~PixelSurface() = default;

COLORREF PixelSurface::pixel(int x, int y) const
{
    GdiFlush();
    return colourOf(bits_[y * width_ + x]);
}

int PixelSurface::count(COLORREF colour, int left, int top, int right, int bottom) const
{
    int found = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            found += pixel(x, y) == colour ? 1 : 0;
    return found;
}

int PixelSurface::differingPixels(const PixelSurface& other) const
{
    GdiFlush();
    int differing = 0;
    for (int i = 0; i < width_ * height_; ++i)
        differing += bits_[i] != other.bits_[i] ? 1 : 0;
    return differing;
}

LONG fontHeight(HGDIOBJ font)
{
    LOGFONTW logFont = {};
    GetObjectW(font, sizeof logFont, &logFont);
    return logFont.lfHeight;
}
