#pragma once
// Lengths of plix's 96-DPI picture at another display scale, with nothing of
// the platform. Every length scales as MulDiv(length, dpi, 96) would.

#include <cstdint>

// The scale plix's picture is drawn for: 100%.
constexpr int kBaseDpi = 96;

// Half of 100% and ten times it, beyond what Windows offers either way: a
// DPI outside is taken as the nearer of the two. At 48 a strip is still
// 30 x 20; at a DPI of 1 it would have no height at all.
constexpr int kMinDpi = 48;
constexpr int kMaxDpi = 960;

// dpi within kMinDpi to kMaxDpi; 96 for one below 1, which no display has.
int usableDpi(int dpi);

// length x dpi / 96, rounded half away from zero as MulDiv rounds, computed
// in 64 bits. At 144 DPI 41 becomes 62 and -139 becomes -209.
// Inline, with 100% taken straight: the gauges scale every bar they draw.
inline std::int64_t scaledLength(std::int64_t length, int dpi)
{
    if (dpi == kBaseDpi)
        return length;
    const std::int64_t product = length * dpi;
    constexpr std::int64_t kHalf = kBaseDpi / 2;
    return product >= 0 ? (product + kHalf) / kBaseDpi : -((kHalf - product) / kBaseDpi);
}

// The smallest length whose scaled length is at least `scaled`: the first
// 96-DPI column that reaches a scaled one. dpi must be positive.
std::int64_t firstLengthReaching(std::int64_t scaled, int dpi);
