// Any strip count from 0 to 256 and any work-area height. Every strip's cell
// must lie inside the window, a window must be no taller than a work area
// that holds one row, and strips that fit must stand in one column.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/StripLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::int32_t height = 0;
    if (size < 1 + sizeof(height))
        return 0;
    const int strips = data[0] % 257;
    std::memcpy(&height, data + 1, sizeof(height));

    const StripLayout layout = stripLayout(strips, height);
    bool holds = columnsOfWindowWidth(layout.width) == layout.columns;
    holds &= layout.columns == 1 || (strips > height / kStripHeight && strips > 1);
    holds &= height < kStripHeight || layout.height <= height;
    for (int k = 0; k < strips; ++k) {
        const StripCell cell = stripCell(layout, k);
        holds &= cell.x >= 0 && cell.x + kVisibleStripWidth <= layout.width;
        holds &= cell.y >= 0 && cell.y + kStripHeight <= layout.height;
    }
    if (!holds)
        std::abort();
    return 0;
}
