#pragma once
// A top-down surface of 32-bit pixels and rectangles on it, with the one
// equality and clipping every drawing step uses.

#include <algorithm>
#include <cstddef>
#include <cstdint>

// Row y starts at rows + y * pitch.
struct PixelRows {
    std::uint32_t* rows;
    std::ptrdiff_t pitch;
    int width;
    int height;
};

// Pixels [left, right) x [top, bottom); empty when left >= right or top >= bottom.
struct PixelRect {
    std::int64_t left;
    std::int64_t top;
    std::int64_t right;
    std::int64_t bottom;
};

inline bool operator==(const PixelRect& a, const PixelRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline bool isEmpty(const PixelRect& area)
{
    return area.left >= area.right || area.top >= area.bottom;
}

inline PixelRect intersection(const PixelRect& a, const PixelRect& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

// The smallest rectangle holding both; an empty one adds nothing.
inline PixelRect bounding(const PixelRect& a, const PixelRect& b)
{
    if (isEmpty(a))
        return b;
    if (isEmpty(b))
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

inline PixelRect surfaceArea(const PixelRows& surface)
{
    return {0, 0, surface.width, surface.height};
}
