// Any strip count from 0 to 256 and any work-area height. Every strip's cell
// must lie inside the window, a window must be no taller than a work area
// that holds one row, and strips that fit must stand in one column.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/StripLayout.h"

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 + sizeof(std::int32_t))
        return 0;
    const int strips = data[0] % 257;
    std::int32_t height = 0;
    std::memcpy(&height, data + 1, sizeof(height));

    const StripLayout layout = stripLayout(strips, height);
    if (strips <= height / kStripHeight || strips <= 1)
        check(layout.columns == 1);
    if (height >= kStripHeight)
        check(layout.height <= height);
    check(columnsOfWindowWidth(layout.width) == layout.columns);
    for (int k = 0; k < strips; ++k) {
        const StripCell cell = stripCell(layout, k);
        check(cell.x >= 0 && cell.x + kVisibleStripWidth <= layout.width);
        check(cell.y >= 0 && cell.y + kStripHeight <= layout.height);
    }
    return 0;
}
