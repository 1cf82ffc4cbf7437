#pragma once
// The bitmap whose pixels plix's drawing can reach directly.

#include <windows.h>

#include <cstdint>

// A top-down 32-bit BI_RGB DIB section of the given size, null when it
// cannot be made; *bits, when asked for, receives its first row.
HBITMAP createPixelBitmap(int width, int height, std::uint32_t** bits = nullptr);
