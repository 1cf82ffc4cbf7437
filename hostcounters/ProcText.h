#pragma once
// Reading Linux's /proc/stat and /proc/meminfo texts and turning them into
// the two percentages the host counters report. No Win32 here: the texts
// come in as plain bytes, the numbers go out as plain values.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace hostcounters {

// Processor numbers above this are ignored, both in /proc/stat and in
// counter paths (Linux itself builds for at most 8192).
constexpr unsigned kMaxProcessors = 8192;

// Jiffies one logical processor has spent since boot.
struct CpuTimes {
    std::uint64_t busy = 0;  // everything but idle and iowait
    std::uint64_t total = 0;
};

// One processor's line of /proc/stat; absent when the processor is offline
// (Linux leaves offline processors out) or its line could not be read.
struct CpuSlot {
    bool present = false;
    CpuTimes times;
};

// Parses the per-processor "cpuN ..." lines of a /proc/stat text into
// `cpus`, indexed by N. Every slot is first marked absent; the vector only
// grows, so a steady stream of same-sized texts allocates nothing. A line
// counts only when it ends in a newline and has at least the four columns
// user, nice, system and idle. Returns the number of processors found.
std::size_t parseProcStat(std::string_view text, std::vector<CpuSlot>& cpus);

// Committed_AS and CommitLimit of /proc/meminfo, in kB.
struct CommitCharge {
    std::uint64_t committedKb = 0;
    std::uint64_t limitKb = 0;
};

// Finds both keys in a /proc/meminfo text; empty when either is missing or
// the limit is zero.
std::optional<CommitCharge> parseMeminfo(std::string_view text);

// Committed_AS as a whole percent of CommitLimit, truncated, at most 100
// (overcommit lets Committed_AS pass the limit).
int committedPercent(const CommitCharge& charge);
double committedPercentExact(const CommitCharge& charge);

// One processor counter's two latest readings, from which its busy share is
// computed. `previous` is all zeros until a second distinct reading
// arrives, so the first reading already yields the share since boot.
struct ProcessorTrack {
    bool hasData = false;
    CpuTimes previous;
    CpuTimes latest;
};

// Moves a track on by one reading; null means the processor is gone. A
// reading with the same total as the latest is no new interval and changes
// nothing; a smaller total means the counters restarted, and so does a
// processor coming back after it was gone: both count again from zero.
void advanceTrack(ProcessorTrack& track, const CpuTimes* now);

// Busy share of the interval between the track's two readings, as a whole
// percent (truncated) and exactly; 0 for an interval without jiffies.
int busyPercent(const ProcessorTrack& track);
double busyPercentExact(const ProcessorTrack& track);

}  // namespace hostcounters
