// Any bytes as plix.cfg. Decoding and repair must never crash or read past
// the file's bytes (an exact-size heap copy), must always give a rate from 1
// to 10, and must give a position that the work-area clamp brings fully
// on screen for every window height plix can have. A valid file must come
// back unchanged through encoding, but for a repaired rate.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "settings/PollingRate.h"
#include "settings/SettingsRecord.h"
#include "ui/PlacementMath.h"

namespace {

// A 1024 x 768 screen with a 30-pixel taskbar at the bottom.
constexpr ScreenRect kWorkArea = {0, 0, 1024, 738};
constexpr std::int64_t kWindowWidth = 60;
// 40 pixels per gauge: one processor and memory, up to 64 processors (taller
// than the work area) and memory.
constexpr std::int64_t kWindowHeights[] = {80, 360, 2600};

void checkOnScreen(std::int64_t start, std::int64_t size, std::int32_t low, std::int32_t high)
{
    if (size <= high - low) {
        if (start < low || start + size > high)
            std::abort();
    } else if (start + size != high) {
        // Taller than the work area: flush with its bottom edge.
        std::abort();
    }
}

void checkPlacement(const StoredSettings& values)
{
    for (const std::int64_t height : kWindowHeights) {
        const ClampedPosition placed = clampToWorkArea(values.windowX, values.windowY, kWindowWidth, height, kWorkArea);
        checkOnScreen(placed.x, kWindowWidth, kWorkArea.left, kWorkArea.right);
        checkOnScreen(placed.y, height, kWorkArea.top, kWorkArea.bottom);
        // The next tick computes the same place and so leaves the window there.
        const ClampedPosition again = clampToWorkArea(placed.x, placed.y, kWindowWidth, height, kWorkArea);
        if (again.x != placed.x || again.y != placed.y)
            std::abort();
    }
}

void checkRoundTrip(const SettingsFileContents& contents, const LoadedSettings& loaded)
{
    if (contents.state != SettingsFileState::Valid)
        return;
    const auto bytes = encodeSettings(loaded.values);
    const SettingsFileContents again = settingsFileContents(bytes.data(), bytes.size(), false);
    if (again.state != SettingsFileState::Valid || again.stored.pollingFrequency != loaded.values.pollingFrequency ||
        again.stored.windowX != contents.stored.windowX || again.stored.windowY != contents.stored.windowY)
        std::abort();
    // Only a repaired rate makes a valid file dirty.
    if (loaded.dirty != (loaded.values.pollingFrequency != contents.stored.pollingFrequency))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::unique_ptr<unsigned char[]> file(new unsigned char[size]);
    for (std::size_t i = 0; i < size; ++i)
        file[i] = data[i];

    const SettingsFileContents contents = settingsFileContents(file.get(), size, false);
    const LoadedSettings loaded = settingsToRunOn(contents);
    if (!isValidPollingFrequency(loaded.values.pollingFrequency))
        std::abort();
    checkPlacement(loaded.values);
    checkRoundTrip(contents, loaded);
    return 0;
}
