// Drives the real pdh.dll built beside this test through its exports, with
// recorded /proc files in a temporary folder. Each test loads the dll
// afresh and unloads it at the end, so no state carries over.

#include <gtest/gtest.h>

#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>
#include <winperf.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using OpenQuery = PDH_STATUS(WINAPI*)(LPCWSTR, DWORD_PTR, PDH_HQUERY*);
using AddCounter = PDH_STATUS(WINAPI*)(PDH_HQUERY, LPCWSTR, DWORD_PTR, PDH_HCOUNTER*);
using CollectQueryData = PDH_STATUS(WINAPI*)(PDH_HQUERY);
using GetFormattedCounterValue = PDH_STATUS(WINAPI*)(PDH_HCOUNTER, DWORD, LPDWORD, PPDH_FMT_COUNTERVALUE);
using CloseQuery = PDH_STATUS(WINAPI*)(PDH_HQUERY);
using GetRawCounterArray = PDH_STATUS(WINAPI*)(PDH_HCOUNTER, LPDWORD, LPDWORD, PPDH_RAW_COUNTER_ITEM_W);

constexpr DWORD kPeHeaderBytes = 4096;
constexpr wchar_t kProcDirVariable[] = L"PLIX_PROC_DIR";
constexpr wchar_t kCollectLogVariable[] = L"PLIX_COLLECT_LOG";
// Longer than the clock tick within which a collect comes too soon.
constexpr DWORD kPastAClockTickMs = 20;
constexpr wchar_t kProcessor0[] = L"\\Processor(0)\\% Processor Time";
constexpr wchar_t kProcessor1[] = L"\\Processor(1)\\% Processor Time";
constexpr wchar_t kCommittedInUse[] = L"\\Memory\\% Committed Bytes In Use";
constexpr wchar_t kEveryNodeProcessor[] = L"\\Processor Information(*)\\% Processor Time";
constexpr LONGLONG kHundredNanosecondsPerJiffy = 100000;

// Two processors: cpu0 has been busy 300 of 1000 jiffies, cpu1 600 of 1000.
constexpr char kStat[] =
    "cpu  700 0 200 1050 50 0 0 0 0 0\n"
    "cpu0 200 0 100 650 50 0 0 0 0 0\n"
    "cpu1 500 0 100 400 0 0 0 0 0 0\n"
    "intr 12345 0 0 0\n"
    "ctxt 6789\n";

// 100 more jiffies each: cpu0 50 of them busy, cpu1 10.
constexpr char kStatLater[] =
    "cpu  760 0 200 1140 50 0 0 0 0 0\n"
    "cpu0 240 0 110 700 50 0 0 0 0 0\n"
    "cpu1 520 0 90 490 0 0 0 0 0 0\n"
    "intr 12545 0 0 0\n"
    "ctxt 6999\n";

// cpu1 unplugged.
constexpr char kStatWithoutCpu1[] =
    "cpu  240 0 110 700 50 0 0 0 0 0\n"
    "cpu0 240 0 110 700 50 0 0 0 0 0\n"
    "intr 12545 0 0 0\n";

// 500000 of 2000000 kB committed: 25%.
constexpr char kMeminfo[] =
    "MemTotal:        4000000 kB\n"
    "MemFree:         1000000 kB\n"
    "CommitLimit:     2000000 kB\n"
    "Committed_AS:     500000 kB\n"
    "VmallocTotal:   34359738367 kB\n";

constexpr char kMeminfoWithoutCommit[] =
    "MemTotal:        4000000 kB\n"
    "MemFree:         1000000 kB\n";

// `count` processors, cpu K busy K % 100 of 100 jiffies.
std::string statOf(int count)
{
    std::string text = "cpu  0 0 0 0 0 0 0 0 0 0\n";
    for (int k = 0; k < count; ++k)
        text += "cpu" + std::to_string(k) + " " + std::to_string(k % 100) + " 0 0 " + std::to_string(100 - k % 100) +
                " 0 0 0 0 0 0\n";
    return text;
}

// GetProcAddress hands out one generic function type; going through
// void (*)() tells the compiler the conversion is meant.
template <typename Function>
Function exportOf(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

std::wstring folderOfThisExe()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring makeTempFolder()
{
    static int made = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"hostpdh-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(++made);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// Rewrites the file in place, as a reader holding it open would see.
void writeFile(const std::wstring& path, const std::string& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, text.size());
}

std::string readFile(const std::wstring& path, DWORD atMost = 64)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string text(atMost, '\0');
    DWORD bytesRead = 0;
    ReadFile(file, &text[0], atMost, &bytesRead, nullptr);
    CloseHandle(file);
    text.resize(bytesRead);
    return text;
}

// Loads the dll without pointing it anywhere; the fixtures below decide.
class PdhDllTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dllPath_ = folderOfThisExe() + L"pdh.dll";
        ASSERT_EQ(GetModuleHandleW(dllPath_.c_str()), nullptr) << "an earlier test left the dll loaded";
        module_ = LoadLibraryW(dllPath_.c_str());
        ASSERT_NE(module_, nullptr);
        openQuery_ = exportOf<OpenQuery>(module_, "PdhOpenQueryW");
        addCounter_ = exportOf<AddCounter>(module_, "PdhAddCounterW");
        collect_ = exportOf<CollectQueryData>(module_, "PdhCollectQueryData");
        format_ = exportOf<GetFormattedCounterValue>(module_, "PdhGetFormattedCounterValue");
        closeQuery_ = exportOf<CloseQuery>(module_, "PdhCloseQuery");
        rawArray_ = exportOf<GetRawCounterArray>(module_, "PdhGetRawCounterArrayW");
        ASSERT_TRUE(openQuery_ && addCounter_ && collect_ && format_ && closeQuery_ && rawArray_);
        // Counter names here are English on every host, so both adds are one.
        ASSERT_EQ(exportOf<AddCounter>(module_, "PdhAddEnglishCounterW"), addCounter_);
    }

    void TearDown() override
    {
        if (module_ != nullptr)
            FreeLibrary(module_);
        SetEnvironmentVariableW(kProcDirVariable, nullptr);
        SetEnvironmentVariableW(kCollectLogVariable, nullptr);
    }

    PDH_HQUERY openQuery()
    {
        PDH_HQUERY query = nullptr;
        EXPECT_EQ(openQuery_(nullptr, 0, &query), ERROR_SUCCESS);
        return query;
    }

    PDH_HCOUNTER addCounter(PDH_HQUERY query, const wchar_t* path)
    {
        PDH_HCOUNTER counter = nullptr;
        EXPECT_EQ(addCounter_(query, path, 0, &counter), ERROR_SUCCESS);
        return counter;
    }

    PDH_STATUS addStatus(PDH_HQUERY query, const wchar_t* path)
    {
        PDH_HCOUNTER counter = nullptr;
        return addCounter_(query, path, 0, &counter);
    }

    PDH_STATUS collectLater(PDH_HQUERY query)
    {
        Sleep(kPastAClockTickMs);
        return collect_(query);
    }

    // The counter's PDH_FMT_LONG value, -1 when formatting failed.
    long longValue(PDH_HCOUNTER counter)
    {
        PDH_FMT_COUNTERVALUE value = {};
        if (format_(counter, PDH_FMT_LONG, nullptr, &value) != ERROR_SUCCESS)
            return -1;
        EXPECT_EQ(value.CStatus, PDH_CSTATUS_VALID_DATA);
        return value.longValue;
    }

    // The counter's raw array, asked for its size first as callers do: too
    // small a buffer is told the size it needs.
    std::vector<std::pair<std::wstring, PDH_RAW_COUNTER>> rawItems(PDH_HCOUNTER counter)
    {
        DWORD size = 0;
        DWORD count = 0;
        EXPECT_EQ(rawArray_(counter, &size, &count, nullptr), static_cast<PDH_STATUS>(PDH_MORE_DATA));
        std::vector<ULONGLONG> buffer(size / sizeof(ULONGLONG) + 1);
        auto* items = reinterpret_cast<PDH_RAW_COUNTER_ITEM_W*>(buffer.data());
        EXPECT_EQ(rawArray_(counter, &size, &count, items), ERROR_SUCCESS);
        std::vector<std::pair<std::wstring, PDH_RAW_COUNTER>> result;
        for (DWORD n = 0; n < count; ++n)
            result.emplace_back(items[n].szName, items[n].RawValue);
        return result;
    }

    std::wstring dllPath_;
    HMODULE module_ = nullptr;
    OpenQuery openQuery_ = nullptr;
    AddCounter addCounter_ = nullptr;
    CollectQueryData collect_ = nullptr;
    GetFormattedCounterValue format_ = nullptr;
    CloseQuery closeQuery_ = nullptr;
    GetRawCounterArray rawArray_ = nullptr;
};

// Reads recorded files from a temporary folder and logs its collects there.
class HostPdh : public PdhDllTest {
protected:
    void SetUp() override
    {
        folder_ = makeTempFolder();
        statPath_ = folder_ + L"\\stat";
        meminfoPath_ = folder_ + L"\\meminfo";
        logPath_ = folder_ + L"\\collects.txt";
        writeFile(statPath_, kStat);
        writeFile(meminfoPath_, kMeminfo);
        PdhDllTest::SetUp();
        // Set after loading: the dll reads them at its first call.
        SetEnvironmentVariableW(kProcDirVariable, folder_.c_str());
        SetEnvironmentVariableW(kCollectLogVariable, logPath_.c_str());
    }

    void TearDown() override
    {
        PdhDllTest::TearDown();
        for (const std::wstring& path : {statPath_, meminfoPath_, logPath_})
            DeleteFileW(path.c_str());
        for (std::size_t k = nodes_; k-- > 0;) {
            DeleteFileW((folder_ + L"\\node\\node" + std::to_wstring(k) + L"\\cpulist").c_str());
            RemoveDirectoryW((folder_ + L"\\node\\node" + std::to_wstring(k)).c_str());
        }
        RemoveDirectoryW((folder_ + L"\\node").c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    // The recorded sysfs copy of node K's cpulist; nodes are written in order.
    void writeNodeList(std::size_t k, const std::string& list)
    {
        CreateDirectoryW((folder_ + L"\\node").c_str(), nullptr);
        std::wstring node = folder_ + L"\\node\\node" + std::to_wstring(k);
        CreateDirectoryW(node.c_str(), nullptr);
        writeFile(node + L"\\cpulist", list);
        nodes_ = k + 1;
    }

    std::size_t nodes_ = 0;
    std::wstring folder_;
    std::wstring statPath_;
    std::wstring meminfoPath_;
    std::wstring logPath_;
};

// A recorded machine: its node cpulists (none: no node folder), its
// processors, the node sizes the provider should find, and instances to
// add with the busy share they read (-1: refused as no instance).
struct Machine {
    const char* name;
    std::vector<std::string> lists;
    int processors;
    std::vector<int> nodeSizes;
    std::vector<std::pair<const wchar_t*, long>> instances;
};

const Machine kMachines[] = {
    {"TwoNodesOf64", {"0-63\n", "64-127\n"}, 128, {64, 64},
     {{L"Processor Information(1,5)", 69}, {L"Processor Information(0,63)", 63},
      {L"Processor Information(1,64)", -1}, {L"Processor Information(2,0)", -1}, {L"Processor(63)", 63},
      {L"Processor(64)", -1}}},
    // Group 0 takes two nodes: a third would make it 72.
    {"FourNodesOf24", {"0-23", "24-47", "48-71", "72-95"}, 96, {24, 24, 24, 24},
     {{L"Processor Information(3,23)", 95}, {L"Processor(47)", 47}, {L"Processor(48)", -1}}},
    {"NodesOutOfCpuOrder", {"8-15\n", "0-7\n"}, 16, {8, 8},
     {{L"Processor Information(1,3)", 3}, {L"Processor(3)", 11}, {L"Processor(15)", 7}}},
    {"NoNodeFolder", {}, 16, {16},
     {{L"Processor Information(0,15)", 15}, {L"Processor(15)", 15}, {L"Processor Information(1,0)", -1}}},
    {"ListThatDoesNotParse", {"0-7", "8-x"}, 16, {16},
     {{L"Processor Information(0,12)", 12}, {L"Processor Information(1,0)", -1}}},
    {"CpuInTwoNodes", {"0-9", "8-15"}, 16, {16}, {{L"Processor Information(0,12)", 12}}},
    // A node larger than a group is split; the legacy object sees its first 64.
    {"OneNodeOf128", {"0-127"}, 128, {128}, {{L"Processor Information(0,99)", 99}, {L"Processor(64)", -1}}},
};

class HostPdhMachine : public HostPdh, public ::testing::WithParamInterface<Machine> {};

}  // namespace

TEST_F(PdhDllTest, LoadedDllIsTheOneBuiltBesideTheTests)
{
    // A system pdh.dll loaded in its place may still report this path as
    // its file name, so compare the image in memory with the file itself.
    std::string file = readFile(dllPath_, kPeHeaderBytes);
    ASSERT_GE(file.size(), sizeof(IMAGE_DOS_HEADER));
    const auto* fileDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
    ASSERT_LE(fileDos->e_lfanew + sizeof(IMAGE_NT_HEADERS), file.size());
    const auto* fileNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(file.data() + fileDos->e_lfanew);

    const auto* base = reinterpret_cast<const char*>(module_);
    const auto* loadedDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* loadedNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + loadedDos->e_lfanew);
    EXPECT_EQ(loadedNt->FileHeader.TimeDateStamp, fileNt->FileHeader.TimeDateStamp);
    EXPECT_EQ(loadedNt->OptionalHeader.SizeOfImage, fileNt->OptionalHeader.SizeOfImage);
    EXPECT_EQ(loadedNt->OptionalHeader.AddressOfEntryPoint, fileNt->OptionalHeader.AddressOfEntryPoint);
    EXPECT_EQ(loadedNt->OptionalHeader.SizeOfCode, fileNt->OptionalHeader.SizeOfCode);
}

TEST_F(PdhDllTest, ReadsTheHostsOwnProcFilesByDefault)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER processor = addCounter(query, kProcessor0);
    PDH_HCOUNTER memory = addCounter(query, kCommittedInUse);
    ASSERT_EQ(collect_(query), ERROR_SUCCESS);
    ASSERT_EQ(collectLater(query), ERROR_SUCCESS);
    long busy = longValue(processor);
    long committed = longValue(memory);
    EXPECT_GE(busy, 0);
    EXPECT_LE(busy, 100);
    EXPECT_GE(committed, 0);
    EXPECT_LE(committed, 100);
    EXPECT_EQ(closeQuery_(query), ERROR_SUCCESS);
}

TEST_F(HostPdh, OpenQueryTakesOnlyRealTimeDataAndAnOutPointer)
{
    PDH_HQUERY query = nullptr;
    EXPECT_EQ(openQuery_(nullptr, 0, &query), ERROR_SUCCESS);
    EXPECT_NE(query, nullptr);
    PDH_HQUERY fromLog = nullptr;
    EXPECT_EQ(openQuery_(L"C:\\perf.blg", 0, &fromLog), static_cast<PDH_STATUS>(PDH_INVALID_ARGUMENT));
    EXPECT_EQ(fromLog, nullptr);
    EXPECT_EQ(openQuery_(nullptr, 0, nullptr), static_cast<PDH_STATUS>(PDH_INVALID_ARGUMENT));
}

TEST_F(HostPdh, AddCounterRefusesPathsWithPdhsReasons)
{
    PDH_HQUERY query = openQuery();
    EXPECT_EQ(addStatus(query, L"\\Disk(0)\\% Disk Time"), static_cast<PDH_STATUS>(PDH_CSTATUS_NO_OBJECT));
    EXPECT_EQ(addStatus(query, L"\\Processor(0)\\% User Time"), static_cast<PDH_STATUS>(PDH_CSTATUS_NO_COUNTER));
    EXPECT_EQ(addStatus(query, L"\\Memory\\Available Bytes"), static_cast<PDH_STATUS>(PDH_CSTATUS_NO_COUNTER));
    EXPECT_EQ(addStatus(query, L"\\Processor(2)\\% Processor Time"),
              static_cast<PDH_STATUS>(PDH_CSTATUS_NO_INSTANCE));  // the recorded host has two
    EXPECT_EQ(addStatus(query, L"\\Processor(_Total)\\% Processor Time"),
              static_cast<PDH_STATUS>(PDH_CSTATUS_NO_INSTANCE));
    EXPECT_EQ(addStatus(query, L"Processor(0)\\% Processor Time"),
              static_cast<PDH_STATUS>(PDH_CSTATUS_BAD_COUNTERNAME));
    EXPECT_EQ(addStatus(query, L"\\\\far\\Processor(0)\\% Processor Time"),
              static_cast<PDH_STATUS>(PDH_CSTATUS_NO_MACHINE));
    EXPECT_EQ(addStatus(query, nullptr), static_cast<PDH_STATUS>(PDH_INVALID_ARGUMENT));
    EXPECT_EQ(addCounter_(query, kProcessor0, 0, nullptr), static_cast<PDH_STATUS>(PDH_INVALID_ARGUMENT));
    // None of them was added: the query still has nothing to collect.
    EXPECT_EQ(collect_(query), static_cast<PDH_STATUS>(PDH_NO_DATA));
}

TEST_F(HostPdh, AddCounterNeedsALiveQuery)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER counter = addCounter(query, kProcessor0);
    EXPECT_EQ(addStatus(nullptr, kProcessor0), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(addStatus(reinterpret_cast<PDH_HQUERY>(0x1234), kProcessor0),
              static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(addStatus(counter, kProcessor0), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
}

TEST_F(HostPdh, CollectNeedsALiveQueryWithCounters)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER counter = addCounter(query, kProcessor0);
    PDH_HQUERY empty = openQuery();
    EXPECT_EQ(collect_(nullptr), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(collect_(counter), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(collect_(empty), static_cast<PDH_STATUS>(PDH_NO_DATA));
    EXPECT_EQ(collect_(query), ERROR_SUCCESS);
}

TEST_F(HostPdh, FormatBeforeAnyCollectIsInvalidData)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER counter = addCounter(query, kProcessor0);
    PDH_FMT_COUNTERVALUE value = {};
    EXPECT_EQ(format_(counter, PDH_FMT_LONG, nullptr, &value), static_cast<PDH_STATUS>(PDH_INVALID_DATA));
    EXPECT_EQ(value.CStatus, PDH_CSTATUS_INVALID_DATA);
}

TEST_F(HostPdh, FormatNeedsALiveCounterAndAValueFormat)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER counter = addCounter(query, kProcessor0);
    ASSERT_EQ(collect_(query), ERROR_SUCCESS);
    ASSERT_EQ(collectLater(query), ERROR_SUCCESS);
    PDH_FMT_COUNTERVALUE value = {};
    EXPECT_EQ(format_(counter, 0, nullptr, &value), static_cast<PDH_STATUS>(PDH_INVALID_ARGUMENT));
    EXPECT_EQ(format_(counter, PDH_FMT_NOSCALE, nullptr, &value), static_cast<PDH_STATUS>(PDH_INVALID_ARGUMENT));
    EXPECT_EQ(format_(counter, PDH_FMT_LONG, nullptr, nullptr), static_cast<PDH_STATUS>(PDH_INVALID_ARGUMENT));
    EXPECT_EQ(format_(query, PDH_FMT_LONG, nullptr, &value), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(format_(nullptr, PDH_FMT_LONG, nullptr, &value), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(format_(counter, PDH_FMT_LONG | PDH_FMT_NOSCALE, nullptr, &value), ERROR_SUCCESS);
}

TEST_F(HostPdh, ProcessorsHaveAValueFromTheSecondCollectOnButNoneForOneTooSoon)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER cpu0 = addCounter(query, kProcessor0);
    PDH_HCOUNTER cpu1 = addCounter(query, kProcessor1);
    PDH_HCOUNTER memory = addCounter(query, kCommittedInUse);
    PDH_FMT_COUNTERVALUE value = {};
    for (const DWORD status : {PDH_INVALID_DATA, PDH_CALC_NEGATIVE_DENOMINATOR}) {  // the first, then one at once
        ASSERT_EQ(collect_(query), ERROR_SUCCESS);
        EXPECT_EQ(format_(cpu0, PDH_FMT_LONG, nullptr, &value), static_cast<PDH_STATUS>(status));
        EXPECT_EQ(value.CStatus, PDH_CSTATUS_INVALID_DATA);
        EXPECT_EQ(longValue(memory), 25) << "no rate counter";
    }
    ASSERT_EQ(collectLater(query), ERROR_SUCCESS);  // the share since boot: the recorded times stand still
    EXPECT_EQ(longValue(cpu0), 30);
    EXPECT_EQ(longValue(cpu1), 60);
}

TEST_F(HostPdh, NextCollectYieldsTheShareSinceTheLastOne)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER cpu0 = addCounter(query, kProcessor0);
    PDH_HCOUNTER cpu1 = addCounter(query, kProcessor1);
    ASSERT_EQ(collect_(query), ERROR_SUCCESS);
    writeFile(statPath_, kStatLater);
    ASSERT_EQ(collectLater(query), ERROR_SUCCESS);
    EXPECT_EQ(longValue(cpu0), 50);
    EXPECT_EQ(longValue(cpu1), 10);
}

TEST_F(HostPdh, EachQueryMeasuresFromItsOwnCollects)
{
    PDH_HQUERY early = openQuery();
    PDH_HCOUNTER earlyCpu0 = addCounter(early, kProcessor0);
    ASSERT_EQ(collect_(early), ERROR_SUCCESS);
    writeFile(statPath_, kStatLater);
    PDH_HQUERY late = openQuery();
    PDH_HCOUNTER lateCpu0 = addCounter(late, kProcessor0);
    ASSERT_EQ(collectLater(early), ERROR_SUCCESS);
    ASSERT_EQ(collect_(late), ERROR_SUCCESS);
    ASSERT_EQ(collectLater(late), ERROR_SUCCESS);
    EXPECT_EQ(longValue(earlyCpu0), 50);
    EXPECT_EQ(longValue(lateCpu0), 31);  // 350 busy of 1100 since boot
}

TEST_F(HostPdh, OtherFormatsAndTheCounterTypeAreFilled)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER cpu0 = addCounter(query, kProcessor0);
    PDH_HCOUNTER memory = addCounter(query, kCommittedInUse);
    writeFile(statPath_, "cpu0 1 0 0 2 0 0 0 0 0 0\ncpu1 1 0 0 2 0 0 0 0 0 0\n");
    ASSERT_EQ(collect_(query), ERROR_SUCCESS);
    ASSERT_EQ(collectLater(query), ERROR_SUCCESS);

    PDH_FMT_COUNTERVALUE value = {};
    DWORD type = 0;
    ASSERT_EQ(format_(cpu0, PDH_FMT_DOUBLE, &type, &value), ERROR_SUCCESS);
    EXPECT_NEAR(value.doubleValue, 33.333333, 1e-5);
    EXPECT_EQ(type, static_cast<DWORD>(PERF_100NSEC_TIMER));
    ASSERT_EQ(format_(cpu0, PDH_FMT_LARGE, nullptr, &value), ERROR_SUCCESS);
    EXPECT_EQ(value.largeValue, 33);
    ASSERT_EQ(format_(memory, PDH_FMT_DOUBLE, &type, &value), ERROR_SUCCESS);
    EXPECT_DOUBLE_EQ(value.doubleValue, 25.0);
    EXPECT_EQ(type, static_cast<DWORD>(PERF_RAW_FRACTION));
}

TEST_F(HostPdh, UnpluggedProcessorIsInvalidDataUntilItReturns)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER cpu0 = addCounter(query, kProcessor0);
    PDH_HCOUNTER cpu1 = addCounter(query, kProcessor1);
    ASSERT_EQ(collect_(query), ERROR_SUCCESS);

    writeFile(statPath_, kStatWithoutCpu1);
    ASSERT_EQ(collectLater(query), ERROR_SUCCESS);
    EXPECT_EQ(longValue(cpu0), 50);
    PDH_FMT_COUNTERVALUE value = {};
    EXPECT_EQ(format_(cpu1, PDH_FMT_LONG, nullptr, &value), static_cast<PDH_STATUS>(PDH_INVALID_DATA));
    EXPECT_EQ(value.CStatus, PDH_CSTATUS_NO_INSTANCE);

    // Back, it is a new rate counter: a value from its second collect on.
    writeFile(statPath_, kStatLater);
    ASSERT_EQ(collectLater(query), ERROR_SUCCESS);
    EXPECT_EQ(format_(cpu1, PDH_FMT_LONG, nullptr, &value), static_cast<PDH_STATUS>(PDH_INVALID_DATA));
    EXPECT_EQ(value.CStatus, PDH_CSTATUS_INVALID_DATA);
    ASSERT_EQ(collectLater(query), ERROR_SUCCESS);
    EXPECT_EQ(longValue(cpu1), 55);  // counts again from boot: 610 of 1100
}

TEST_F(HostPdh, MissingFilesFailTheCollectUntilTheyAreBack)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER cpu0 = addCounter(query, kProcessor0);
    ASSERT_EQ(collect_(query), ERROR_SUCCESS);

    ASSERT_TRUE(DeleteFileW(statPath_.c_str()));
    EXPECT_EQ(collect_(query), static_cast<PDH_STATUS>(PDH_NO_DATA));
    EXPECT_EQ(collect_(query), static_cast<PDH_STATUS>(PDH_NO_DATA));
    writeFile(statPath_, kStatLater);
    ASSERT_EQ(collectLater(query), ERROR_SUCCESS);
    EXPECT_EQ(longValue(cpu0), 50);

    ASSERT_TRUE(DeleteFileW(meminfoPath_.c_str()));
    EXPECT_EQ(collect_(query), static_cast<PDH_STATUS>(PDH_NO_DATA));
    writeFile(meminfoPath_, kMeminfo);
    EXPECT_EQ(collect_(query), ERROR_SUCCESS);
}

TEST_F(HostPdh, EmptyFileFailsTheCollect)
{
    PDH_HQUERY query = openQuery();
    addCounter(query, kCommittedInUse);
    writeFile(meminfoPath_, "");
    EXPECT_EQ(collect_(query), static_cast<PDH_STATUS>(PDH_NO_DATA));
}

TEST_F(HostPdh, UnreadableStatRefusesProcessorsButNotMemory)
{
    PDH_HQUERY query = openQuery();
    ASSERT_TRUE(DeleteFileW(statPath_.c_str()));
    EXPECT_EQ(addStatus(query, kProcessor0), static_cast<PDH_STATUS>(PDH_CSTATUS_NO_INSTANCE));
    EXPECT_EQ(addStatus(query, kCommittedInUse), ERROR_SUCCESS);
}

TEST_F(HostPdh, MeminfoWithoutCommitKeysFailsOnlyTheMemoryCounter)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER cpu0 = addCounter(query, kProcessor0);
    PDH_HCOUNTER memory = addCounter(query, kCommittedInUse);
    writeFile(meminfoPath_, kMeminfoWithoutCommit);
    ASSERT_EQ(collect_(query), ERROR_SUCCESS);
    ASSERT_EQ(collectLater(query), ERROR_SUCCESS);
    EXPECT_EQ(longValue(cpu0), 30);
    PDH_FMT_COUNTERVALUE value = {};
    EXPECT_EQ(format_(memory, PDH_FMT_LONG, nullptr, &value), static_cast<PDH_STATUS>(PDH_INVALID_DATA));
    EXPECT_EQ(value.CStatus, PDH_CSTATUS_INVALID_DATA);
}

TEST_F(HostPdh, ClosedQueryAndItsCountersAreRefusedEvenAfterReuse)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER counter = addCounter(query, kProcessor0);
    ASSERT_EQ(collect_(query), ERROR_SUCCESS);
    ASSERT_EQ(closeQuery_(query), ERROR_SUCCESS);

    PDH_FMT_COUNTERVALUE value = {};
    EXPECT_EQ(collect_(query), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(addStatus(query, kProcessor0), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(format_(counter, PDH_FMT_LONG, nullptr, &value), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(closeQuery_(query), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));

    // A new query and counter take the freed places under new handles.
    PDH_HQUERY next = openQuery();
    PDH_HCOUNTER nextCounter = addCounter(next, kProcessor0);
    EXPECT_NE(next, query);
    EXPECT_NE(nextCounter, counter);
    EXPECT_EQ(collect_(query), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(format_(counter, PDH_FMT_LONG, nullptr, &value), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(collect_(next), ERROR_SUCCESS);
    EXPECT_EQ(collectLater(next), ERROR_SUCCESS);
    EXPECT_EQ(longValue(nextCounter), 30);
}

TEST_F(HostPdh, CloseQueryRefusesHandlesItNeverGave)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER counter = addCounter(query, kProcessor0);
    EXPECT_EQ(closeQuery_(nullptr), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(closeQuery_(counter), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    EXPECT_EQ(collect_(query), ERROR_SUCCESS);
}

TEST_F(HostPdh, CollectLogCountsSuccessfulCollects)
{
    PDH_HQUERY query = openQuery();
    addCounter(query, kProcessor0);
    PDH_HQUERY other = openQuery();
    addCounter(other, kCommittedInUse);
    PDH_HQUERY empty = openQuery();
    ASSERT_EQ(collect_(query), ERROR_SUCCESS);
    EXPECT_EQ(readFile(logPath_), "1");
    ASSERT_EQ(collect_(other), ERROR_SUCCESS);
    ASSERT_EQ(collect_(query), ERROR_SUCCESS);
    EXPECT_EQ(readFile(logPath_), "3");

    EXPECT_NE(collect_(empty), ERROR_SUCCESS);
    DeleteFileW(statPath_.c_str());
    EXPECT_NE(collect_(query), ERROR_SUCCESS);
    EXPECT_EQ(readFile(logPath_), "3");

    writeFile(statPath_, kStat);
    for (int n = 0; n < 7; ++n)
        ASSERT_EQ(collect_(query), ERROR_SUCCESS);
    EXPECT_EQ(readFile(logPath_), "10");
}

TEST_F(HostPdh, ProcFolderIsTakenOnceAtFirstUse)
{
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER cpu0 = addCounter(query, kProcessor0);
    std::wstring elsewhere = makeTempFolder();
    SetEnvironmentVariableW(kProcDirVariable, elsewhere.c_str());
    ASSERT_EQ(collect_(query), ERROR_SUCCESS);  // nothing lies in the other folder
    ASSERT_EQ(collectLater(query), ERROR_SUCCESS);
    EXPECT_EQ(longValue(cpu0), 30);
    RemoveDirectoryW(elsewhere.c_str());
}

TEST_P(HostPdhMachine, ProcessorsAreArrangedByNodeAndTheLegacyObjectSeesTheFirstGroup)
{
    const Machine& machine = GetParam();
    writeFile(statPath_, statOf(machine.processors));
    for (std::size_t k = 0; k < machine.lists.size(); ++k)
        writeNodeList(k, machine.lists[k]);
    PDH_HQUERY query = openQuery();
    PDH_HCOUNTER every = addCounter(query, kEveryNodeProcessor);
    std::vector<PDH_HCOUNTER> counters(machine.instances.size());
    for (std::size_t n = 0; n < counters.size(); ++n) {
        std::wstring path = L"\\" + std::wstring(machine.instances[n].first) + L"\\% Processor Time";
        EXPECT_EQ(addCounter_(query, path.c_str(), 0, &counters[n]),
                  machine.instances[n].second < 0 ? static_cast<PDH_STATUS>(PDH_CSTATUS_NO_INSTANCE) : ERROR_SUCCESS);
    }
    ASSERT_EQ(collect_(query), ERROR_SUCCESS);
    ASSERT_EQ(collectLater(query), ERROR_SUCCESS);
    for (std::size_t n = 0; n < counters.size(); ++n)
        EXPECT_EQ(machine.instances[n].second < 0 ? -1 : longValue(counters[n]), machine.instances[n].second) << n;

    std::vector<std::wstring> names = {L"_Total"};
    for (std::size_t node = 0; node < machine.nodeSizes.size(); ++node) {
        names.push_back(std::to_wstring(node) + L",_Total");
        for (int index = 0; index < machine.nodeSizes[node]; ++index)
            names.push_back(std::to_wstring(node) + L"," + std::to_wstring(index));
    }
    std::sort(names.begin(), names.end());
    auto items = rawItems(every);
    ASSERT_EQ(items.size(), names.size());
    for (std::size_t n = 0; n < items.size(); ++n) {
        EXPECT_EQ(items[n].first, names[n]);
        EXPECT_EQ(items[n].second.CStatus, PDH_CSTATUS_VALID_DATA);
    }
    EXPECT_EQ(items.back().second.SecondValue, machine.processors * 100 * kHundredNanosecondsPerJiffy);
}

INSTANTIATE_TEST_SUITE_P(Machines, HostPdhMachine, ::testing::ValuesIn(kMachines),
                         [](const ::testing::TestParamInfo<Machine>& info) { return std::string(info.param.name); });
