#include <gtest/gtest.h>

#include <string>

#include "hostcounters/CounterPath.h"

using namespace hostcounters;

namespace {

struct RefusedPath {
    const wchar_t* path;
    PathVerdict verdict;
};

std::string narrow(const wchar_t* text)
{
    std::string result;
    for (; *text != 0; ++text)
        result += static_cast<char>(*text < 0x80 ? *text : '?');
    return result;
}

}  // namespace

TEST(CounterPath, AcceptsProcessorPathsWithTheirNumber)
{
    CounterPath first = parseCounterPath(L"\\Processor(0)\\% Processor Time");
    EXPECT_EQ(first.verdict, PathVerdict::Processor);
    EXPECT_EQ(first.processor, 0u);

    CounterPath later = parseCounterPath(L"\\Processor(63)\\% Processor Time");
    EXPECT_EQ(later.verdict, PathVerdict::Processor);
    EXPECT_EQ(later.processor, 63u);

    CounterPath node = parseCounterPath(L"\\Processor Information(1,63)\\% Processor Time");
    EXPECT_EQ(node.verdict, PathVerdict::NodeProcessor);
    EXPECT_EQ(node.node * 100 + node.processor, 163u);
    EXPECT_EQ(parseCounterPath(L"\\processor information(*)\\% Processor Time").verdict, PathVerdict::AllNodeProcessors);
}

TEST(CounterPath, AcceptsTheCommittedMemoryPath)
{
    EXPECT_EQ(parseCounterPath(L"\\Memory\\% Committed Bytes In Use").verdict, PathVerdict::CommittedMemory);
}

TEST(CounterPath, NamesMatchWithoutRegardToCase)
{
    CounterPath processor = parseCounterPath(L"\\PROCESSOR(12)\\% processor time");
    EXPECT_EQ(processor.verdict, PathVerdict::Processor);
    EXPECT_EQ(processor.processor, 12u);
    EXPECT_EQ(parseCounterPath(L"\\memory\\% COMMITTED bytes in use").verdict, PathVerdict::CommittedMemory);
}

TEST(CounterPath, RefusesOtherPathsWithTheirReason)
{
    const RefusedPath refused[] = {
        {L"\\Disk(0)\\% Disk Time", PathVerdict::NoObject},
        {L"\\PhysicalDisk(_Total)\\% Disk Time", PathVerdict::NoObject},
        {L"\\Processor Info(0,0)\\% Processor Time", PathVerdict::NoObject},
        {L"\\Processor Information(0,0)\\% Idle Time", PathVerdict::NoCounter},
        {L"\\Processor Information(0)\\% Processor Time", PathVerdict::NoInstance},
        {L"\\Processor Information(0,01)\\% Processor Time", PathVerdict::NoInstance},
        {L"\\Processor Information(0,*)\\% Processor Time", PathVerdict::NoInstance},
        {L"\\Processor(0)\\% User Time", PathVerdict::NoCounter},
        {L"\\Processor(99)\\Interrupts/sec", PathVerdict::NoCounter},
        {L"\\Memory\\Available Bytes", PathVerdict::NoCounter},
        {L"\\Memory\\% Committed Bytes", PathVerdict::NoCounter},
        {L"\\Processor(_Total)\\% Processor Time", PathVerdict::NoInstance},
        {L"\\Processor(*)\\% Processor Time", PathVerdict::NoInstance},
        {L"\\Processor(07)\\% Processor Time", PathVerdict::NoInstance},
        {L"\\Processor(-1)\\% Processor Time", PathVerdict::NoInstance},
        {L"\\Processor( 1)\\% Processor Time", PathVerdict::NoInstance},
        {L"\\Processor(8192)\\% Processor Time", PathVerdict::NoInstance},
        {L"\\Processor(99999999999)\\% Processor Time", PathVerdict::NoInstance},
        {L"\\Processor\\% Processor Time", PathVerdict::NoInstance},
        {L"\\Memory(0)\\% Committed Bytes In Use", PathVerdict::NoInstance},
        {L"\\\\otherhost\\Processor(0)\\% Processor Time", PathVerdict::NoMachine},
        {L"", PathVerdict::BadName},
        {L"Processor(0)\\% Processor Time", PathVerdict::BadName},
        {L"\\Processor(0)", PathVerdict::BadName},
        {L"\\Processor(0)\\", PathVerdict::BadName},
        {L"\\Processor(0\\% Processor Time", PathVerdict::BadName},
        {L"\\Processor()\\% Processor Time", PathVerdict::BadName},
        {L"\\Processor(0)x\\% Processor Time", PathVerdict::BadName},
        {L"\\(0)\\% Processor Time", PathVerdict::BadName},
        {L"\\Memory", PathVerdict::BadName},
        {L"\\Memory\\% Committed Bytes In Use\\Extra", PathVerdict::BadName},
    };
    for (const RefusedPath& entry : refused) {
        SCOPED_TRACE(narrow(entry.path));
        EXPECT_EQ(parseCounterPath(entry.path).verdict, entry.verdict);
    }
}
