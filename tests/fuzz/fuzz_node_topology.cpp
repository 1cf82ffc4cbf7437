// Any bytes as a /proc/stat text and node cpulists: split at each '|', the
// first part is /proc/stat, each later one a node whose number is its first
// byte and whose cpulist is the rest, each an exact-size heap copy for
// AddressSanitizer. Whatever the texts, the topology must have Windows'
// shape: nodes in order, no processor twice, every one present in
// /proc/stat, a first group of at most 64 taken from the front, and one
// instance per processor and node plus "_Total", in string order, whose
// sums never wrap.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "hostcounters/NodeTopology.h"

using namespace hostcounters;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::vector<char>> parts(1);
    for (std::size_t n = 0; n < size; ++n) {
        if (data[n] == '|')
            parts.emplace_back();
        else
            parts.back().push_back(static_cast<char>(data[n]));
    }
    std::vector<CpuSlot> stat;
    parseProcStat({parts[0].data(), parts[0].size()}, stat);
    std::vector<NodeCpuList> lists;
    for (std::size_t n = 1; n < parts.size(); ++n) {
        const bool named = !parts[n].empty();
        lists.push_back({named ? static_cast<unsigned char>(parts[n][0]) : 0u, {parts[n].begin() + named, parts[n].end()}});
    }

    const Topology topology = buildTopology(lists, stat);
    std::vector<unsigned> all;
    std::vector<bool> seen(kMaxProcessors, false);
    for (std::size_t n = 0; n < topology.nodes.size(); ++n) {
        const ProcessorNode& node = topology.nodes[n];
        check(!node.cpus.empty() && (n == 0 || topology.nodes[n - 1].number < node.number));
        for (std::size_t index = 0; index < node.cpus.size(); ++index) {
            const unsigned cpu = node.cpus[index];
            unsigned found = 0;
            check(cpu < stat.size() && stat[cpu].present && !seen[cpu] && (index == 0 || node.cpus[index - 1] < cpu));
            check(cpuOfInstance(topology, node.number, static_cast<unsigned>(index), found) && found == cpu);
            seen[cpu] = true;
            all.push_back(cpu);
        }
    }
    const std::vector<unsigned>& group = topology.firstGroup;
    check(group.size() <= kGroupSize && group.size() <= all.size() && all.empty() == group.empty());
    check(std::equal(group.begin(), group.end(), all.begin()));
    check(topology.instances.size() == all.size() + topology.nodes.size() + 1);
    std::vector<InstanceSample> samples;
    sampleInstances(topology.instances, stat, samples);
    for (std::size_t n = 0; n < samples.size(); ++n) {
        check(n == 0 || topology.instances[n - 1].name < topology.instances[n].name);
        check(samples[n].times.busy <= samples[n].times.total && hundredNanoseconds(samples[n].times.total) >= 0);
    }
    return 0;
}
