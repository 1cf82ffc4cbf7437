// Any bytes as /proc/stat, read twice, and as /proc/meminfo, the way the
// host counters read them. The first two bytes choose where the input is
// split into the three texts. Each text is an exact-size heap copy without a
// terminator, so AddressSanitizer stops any read past its end. Every
// processor found and the committed memory must read as a percentage from
// 0 to 100; everything else must be a clear failure (no slot, no charge).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "hostcounters/ProcText.h"

using namespace hostcounters;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkPercent(int whole, double exact)
{
    check(whole >= 0 && whole <= 100 && exact >= 0.0 && exact <= 100.0);
    // The whole percent is the exact one truncated, give or take the
    // rounding of doubles near a whole number.
    check(whole <= exact + 1e-6 && whole + 1 >= exact - 1e-6);
}

// Reads one /proc/stat text into cpus and advances a track per slot seen so far.
void readStat(std::string_view text, std::vector<CpuSlot>& cpus, std::vector<ProcessorTrack>& tracks)
{
    const std::size_t found = parseProcStat(text, cpus);
    check(cpus.size() <= kMaxProcessors);
    tracks.resize(std::max(tracks.size(), cpus.size()));
    std::size_t present = 0;
    for (std::size_t n = 0; n < tracks.size(); ++n) {
        const CpuSlot* slot = n < cpus.size() && cpus[n].present ? &cpus[n] : nullptr;
        advanceTrack(tracks[n], slot ? &slot->times : nullptr);
        if (slot) {
            ++present;
            check(slot->times.busy <= slot->times.total);
            checkPercent(busyPercent(tracks[n]), busyPercentExact(tracks[n]));
        } else {
            check(!tracks[n].hasData);
        }
    }
    check(present == found);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A shorter input would give the same three empty texts as a two-byte one.
    if (size < 2)
        return 0;
    const std::size_t bodySize = size - 2;
    const std::size_t first = bodySize * data[0] / 255;
    const std::size_t second = (bodySize - first) * data[1] / 255;
    const char* body = reinterpret_cast<const char*>(data) + 2;
    // Range construction allocates exactly the text's size.
    const std::vector<char> texts[] = {
        {body, body + first},
        {body + first, body + first + second},
        {body + first + second, body + bodySize},
    };

    std::vector<CpuSlot> cpus;
    std::vector<ProcessorTrack> tracks;
    readStat({texts[0].data(), texts[0].size()}, cpus, tracks);
    readStat({texts[1].data(), texts[1].size()}, cpus, tracks);

    const std::optional<CommitCharge> charge = parseMeminfo({texts[2].data(), texts[2].size()});
    if (charge) {
        check(charge->limitKb != 0);
        checkPercent(committedPercent(*charge), committedPercentExact(*charge));
    }
    return 0;
}
