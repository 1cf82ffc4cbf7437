#pragma once
// The host's processors as Windows would arrange them: NUMA nodes read from
// Linux's node cpulists, the "Processor Information" instances named
// "node,index", and the first processor group, which is all the legacy
// "Processor" object knows. No Win32 here: the lists come in as texts.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hostcounters/ProcText.h"

namespace hostcounters {

// A processor group holds at most this many processors.
constexpr std::size_t kGroupSize = 64;

// Parses Linux's list format ("0-63,128-191", "5", an empty list), with or
// without its trailing newline, into ascending, distinct cpu numbers. False,
// with no cpus, for anything else and for a number of kMaxProcessors or more.
bool parseCpuList(std::string_view text, std::vector<unsigned>& cpus);

// One node folder's cpulist as read.
struct NodeCpuList {
    unsigned node = 0;
    std::string text;
};

struct ProcessorNode {
    unsigned number = 0;
    std::vector<unsigned> cpus;  // Linux cpu numbers, ascending: a processor's index is its place here
};

// A "Processor Information" instance and the Linux cpus it sums: one for a
// processor, every processor of its node for "node,_Total", every one for
// "_Total".
struct ProcessorInstance {
    std::wstring name;
    std::vector<unsigned> cpus;
};

struct Topology {
    std::vector<ProcessorNode> nodes;  // ascending node number, each with a processor at least
    std::vector<unsigned> firstGroup;  // Linux cpus of group 0: \Processor(N) is firstGroup[N]
    std::vector<ProcessorInstance> instances;  // in PDH's order: plain string order of the names
};

// Builds the topology from the node lists and the processors /proc/stat
// shows. Processors missing from /proc/stat are left out, and so are those
// in no node. With no lists, a list that does not parse, a node named twice
// or a processor in two nodes, the machine is one node 0 holding every
// processor of /proc/stat in cpu order. Group 0 takes whole nodes in node
// order while it stays within kGroupSize, or the first kGroupSize
// processors of a first node larger than that.
Topology buildTopology(const std::vector<NodeCpuList>& lists, const std::vector<CpuSlot>& stat);

// The Linux cpu of instance "node,index"; false when there is none.
bool cpuOfInstance(const Topology& topology, unsigned node, unsigned index, unsigned& cpu);

// An instance's times summed over its processors present in /proc/stat;
// `present` false when none of them is.
struct InstanceSample {
    bool present = false;
    CpuTimes times;
};

// Samples every instance of `instances` into `samples` (resized to match).
void sampleInstances(const std::vector<ProcessorInstance>& instances, const std::vector<CpuSlot>& stat,
                     std::vector<InstanceSample>& samples);

// Jiffies (1/100 s) in the 100 ns units of PDH's raw values, at most the
// largest 64-bit signed number.
std::int64_t hundredNanoseconds(std::uint64_t jiffies);

}  // namespace hostcounters
