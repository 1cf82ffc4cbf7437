#include <gtest/gtest.h>

#include <windows.h>

#include <share.h>
#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "tests/support/TestFiles.h"

namespace {

constexpr std::uint64_t kLoadTime = 5'000'000;  // milliseconds since Windows started
constexpr std::uint64_t kSecond = 1000, kOverASecond = kSecond + 1;  // the least gap a write is due after

std::uint64_t scriptedNow = kLoadTime;
std::uint64_t scriptedClock() { return scriptedNow; }

// Which step of a load or save fails next, how often each step was reached,
// and the order of the calls.
struct FileScript {
    bool failOpen = false;
    std::size_t failReadAfter = SIZE_MAX;  // items a read delivers before it fails; SIZE_MAX: none fails
    int failWriteNumber = 0;               // counted from the start of the test; 0: none fails
    bool failFlush = false;
    bool failClose = false;
    int refusedMoves = 0;  // replaces refused before one goes through, each with moveError
    DWORD moveError = ERROR_SHARING_VIOLATION;
    int opens = 0;  // for writing
    int writes = 0;
    DWORD waitedMs = 0;
    std::vector<std::string> calls;  // write, flush, close and move, in order
};
FileScript script;

FILE* __cdecl scriptedOpen(const wchar_t* path, const wchar_t* mode, int shareFlag)
{
    script.opens += std::wstring(mode) == L"rb" ? 0 : 1;
    return script.failOpen ? nullptr : _wfsopen(path, mode, shareFlag);
}

std::size_t __cdecl scriptedRead(void* data, std::size_t size, std::size_t count, FILE* file)
{
    return fread(data, size, std::min(count, script.failReadAfter), file);
}

int __cdecl scriptedReadFailed(FILE* file)
{
    return script.failReadAfter != SIZE_MAX ? 1 : ferror(file);
}

std::size_t __cdecl scriptedWrite(const void* data, std::size_t size, std::size_t count, FILE* file)
{
    ++script.writes;
    script.calls.push_back("write");
    return script.writes == script.failWriteNumber ? 0 : fwrite(data, size, count, file);
}

int __cdecl scriptedFlush(FILE* file)
{
    script.calls.push_back("flush");
    return script.failFlush ? EOF : systemSettingsFiles().flush(file);
}

int __cdecl scriptedClose(FILE* file)
{
    script.calls.push_back("close");
    const int result = fclose(file);
    return script.failClose ? EOF : result;
}

BOOL WINAPI scriptedMove(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    script.calls.push_back("move");
    return script.refusedMoves-- > 0 ? FALSE : MoveFileExW(from, to, flags);
}

DWORD WINAPI scriptedLastError() { return script.moveError; }
void WINAPI scriptedWait(DWORD milliseconds) { script.waitedMs += milliseconds; }

const SettingsFileFunctions scriptedFiles = {
    PathFileExistsW, scriptedOpen,  scriptedRead, scriptedReadFailed, scriptedWrite,
    scriptedFlush,   scriptedClose, scriptedMove, DeleteFileW,        GetModuleFileNameW,
    CreateFileW,     CreateDirectoryW, nullptr,   nullptr,            GetEnvironmentVariableW,
    scriptedLastError, scriptedWait, GetFileAttributesW,
};

Bytes bytesOf(const StoredSettings& stored)
{
    const auto encoded = encodeSettings(stored);
    return Bytes(encoded.begin(), encoded.end());
}

bool fileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FILETIME lastWriteTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

}  // namespace

// Each test gets its own empty folder under the temp folder, a clock at
// kLoadTime and a file table that fails nothing yet.
class SettingsOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = makeTestFolder(L"settings-test");
        path_ = folder_ + L"\\plix.cfg";
        temporaryPath_ = path_ + L".tmp";
        scriptedNow = kLoadTime;
        script = FileScript{};
    }

    void TearDown() override
    {
        DeleteFileW(path_.c_str());
        DeleteFileW(temporaryPath_.c_str());
        EXPECT_TRUE(RemoveDirectoryW(folder_.c_str())) << "a file was left in the test folder";
    }

    std::wstring folder_;
    std::wstring path_;
    std::wstring temporaryPath_;
};

namespace {

void expectDefaults(const Settings& record)
{
    EXPECT_EQ(record.pollingFrequency, 10);
    EXPECT_EQ(record.windowX, 100);
    EXPECT_EQ(record.windowY, 100);
    EXPECT_TRUE(record.settingsDirty);
}

}  // namespace

TEST_F(SettingsOnDisk, MissingFileGivesDefaultsAndIsWrittenMoreThanASecondAfterLoad)
{
    Settings record(path_, scriptedClock, scriptedFiles);
    expectDefaults(record);
    EXPECT_EQ(record.lastSaveTime, kLoadTime);

    scriptedNow = kLoadTime + kSecond;
    record.saveIfDue();
    EXPECT_FALSE(fileExists(path_));

    scriptedNow = kLoadTime + kOverASecond;
    record.saveIfDue();
    EXPECT_EQ(readFile(path_), bytesOf({10, 100, 100}));
    EXPECT_FALSE(record.settingsDirty);
    EXPECT_EQ(record.lastSaveTime, kLoadTime + kOverASecond);
}

TEST_F(SettingsOnDisk, ValidFileLoadsUnchangedAndClean)
{
    writeFile(path_, bytesOf({3, -900, 40}));
    Settings record(path_, scriptedClock, scriptedFiles);
    EXPECT_EQ(record.pollingFrequency, 3);
    EXPECT_EQ(record.windowX, -900);
    EXPECT_EQ(record.windowY, 40);
    EXPECT_FALSE(record.settingsDirty);
    EXPECT_EQ(record.lastSaveTime, kLoadTime);
}

struct UnusableSettingsBytes {
    const char* name;
    std::vector<unsigned char> bytes;
};

namespace {

Bytes withByte(Bytes bytes, std::size_t index, unsigned char value)
{
    bytes[index] = value;
    return bytes;
}

Bytes firstBytes(const Bytes& bytes, std::size_t count)
{
    return Bytes(bytes.begin(), bytes.begin() + count);
}

const Bytes kValidFile = bytesOf({3, -900, 40});

}  // namespace

class UnusableSettingsFile : public SettingsOnDisk, public ::testing::WithParamInterface<UnusableSettingsBytes> {};

TEST_P(UnusableSettingsFile, GivesDefaultsAndIsRewrittenAsVersionOne)
{
    writeFile(path_, GetParam().bytes);
    Settings record(path_, scriptedClock, scriptedFiles);
    expectDefaults(record);

    scriptedNow = kLoadTime + kOverASecond;
    record.saveIfDue();
    EXPECT_EQ(readFile(path_), bytesOf({10, 100, 100}));
    EXPECT_FALSE(record.settingsDirty);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsOnDisk, UnusableSettingsFile,
    ::testing::Values(UnusableSettingsBytes{"Empty", Bytes{}},
                      UnusableSettingsBytes{"WrongMagic", withByte(kValidFile, 0, 0xEE)},
                      UnusableSettingsBytes{"Version2", withByte(kValidFile, 4, 0x02)},
                      UnusableSettingsBytes{"ThreeBytes", firstBytes(kValidFile, 3)},
                      UnusableSettingsBytes{"SixBytesWithTheMagic", firstBytes(kValidFile, 6)},
                      UnusableSettingsBytes{"TwelveBytesWithAValidHeader", firstBytes(kValidFile, 12)},
                      UnusableSettingsBytes{"NineteenBytes", firstBytes(kValidFile, 19)}),
    [](const ::testing::TestParamInfo<UnusableSettingsBytes>& info) { return std::string(info.param.name); });

TEST_F(SettingsOnDisk, LongerFileIsReadFromItsFirstTwentyBytesAndCutToTwentyByTheNextWrite)
{
    Bytes longer = bytesOf({4, 5, 6});
    for (unsigned char extra = 1; extra <= 5; ++extra)
        longer.push_back(extra);
    writeFile(path_, longer);
    {
        Settings record(path_, scriptedClock, scriptedFiles);
        EXPECT_EQ(record.pollingFrequency, 4);
        EXPECT_EQ(record.windowX, 5);
        EXPECT_EQ(record.windowY, 6);
        EXPECT_FALSE(record.settingsDirty);
        scriptedNow = kLoadTime + 5 * kSecond;
        record.saveIfDue();
    }
    EXPECT_EQ(readFile(path_), longer);
    EXPECT_EQ(script.opens, 0);

    Settings record(path_, scriptedClock, scriptedFiles);
    record.setPosition(7, 6);
    scriptedNow += kOverASecond;
    record.saveIfDue();
    EXPECT_EQ(readFile(path_), bytesOf({4, 7, 6}));
}

class StoredFrequencyOutOfRange : public SettingsOnDisk, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(StoredFrequencyOutOfRange, BecomesTenKeepsThePositionAndRepairsTheFile)
{
    writeFile(path_, bytesOf({GetParam(), -900, 40}));
    Settings record(path_, scriptedClock, scriptedFiles);
    EXPECT_EQ(record.pollingFrequency, 10);
    EXPECT_EQ(record.windowX, -900);
    EXPECT_EQ(record.windowY, 40);
    EXPECT_TRUE(record.settingsDirty);

    scriptedNow = kLoadTime + kOverASecond;
    record.saveIfDue();
    EXPECT_EQ(readFile(path_), bytesOf({10, -900, 40}));
    EXPECT_FALSE(record.settingsDirty);
}

INSTANTIATE_TEST_SUITE_P(SettingsOnDisk, StoredFrequencyOutOfRange, ::testing::Values(0, -5, 11, INT_MAX, INT_MIN));

TEST_F(SettingsOnDisk, StoredFrequenciesOneAndTenAreKept)
{
    for (const std::int32_t frequency : {1, 10}) {
        writeFile(path_, bytesOf({frequency, 8, 9}));
        Settings record(path_, scriptedClock, scriptedFiles);
        EXPECT_EQ(record.pollingFrequency, frequency);
        EXPECT_FALSE(record.settingsDirty);
    }
}

TEST_F(SettingsOnDisk, UnchangedValidFileIsNeverWritten)
{
    writeFile(path_, kValidFile);
    const FILETIME writtenAt = lastWriteTime(path_);
    {
        Settings record(path_, scriptedClock, scriptedFiles);
        for (std::uint64_t tick = 1; tick <= 10; ++tick) {
            scriptedNow = kLoadTime + tick * kSecond;
            record.saveIfDue();
        }
    }
    EXPECT_EQ(script.opens, 0);
    EXPECT_EQ(readFile(path_), kValidFile);
    const FILETIME afterwards = lastWriteTime(path_);
    EXPECT_EQ(CompareFileTime(&writtenAt, &afterwards), 0);
}

TEST_F(SettingsOnDisk, WritesExactlyTheTwentyBytesLittleEndian)
{
    Settings record(path_, scriptedClock, scriptedFiles);
    record.setPollingFrequency(7);
    record.setPosition(-900, 300);
    scriptedNow = kLoadTime + kOverASecond;
    record.saveIfDue();
    const Bytes expected = {
        0xED, 0xAE, 0x78, 0xC0, 0x01, 0x00, 0x00, 0x00, 0x07, 0x00,
        0x00, 0x00, 0x7C, 0xFC, 0xFF, 0xFF, 0x2C, 0x01, 0x00, 0x00,
    };
    EXPECT_EQ(readFile(path_), expected);
}

TEST_F(SettingsOnDisk, SettersMarkDirtyOnlyOnARealChange)
{
    writeFile(path_, kValidFile);
    Settings record(path_, scriptedClock, scriptedFiles);
    record.setPollingFrequency(3);
    record.setPosition(-900, 40);
    EXPECT_FALSE(record.settingsDirty);

    record.setPosition(-900, 41);
    EXPECT_TRUE(record.settingsDirty);
    EXPECT_EQ(record.windowX, -900);
    EXPECT_EQ(record.windowY, 41);

    record.settingsDirty = false;
    record.setPollingFrequency(4);
    EXPECT_TRUE(record.settingsDirty);
    EXPECT_EQ(record.pollingFrequency, 4);
}

TEST_F(SettingsOnDisk, ChangeASecondAfterAWriteWaitsOneMoreMillisecond)
{
    Settings record(path_, scriptedClock, scriptedFiles);
    const std::uint64_t firstWrite = kLoadTime + kOverASecond;
    scriptedNow = firstWrite;
    record.saveIfDue();
    ASSERT_FALSE(record.settingsDirty);

    scriptedNow = firstWrite + kSecond;
    record.setPosition(1, 2);
    record.saveIfDue();
    EXPECT_EQ(readFile(path_), bytesOf({10, 100, 100}));
    EXPECT_TRUE(record.settingsDirty);

    scriptedNow = firstWrite + kOverASecond;
    record.saveIfDue();
    EXPECT_EQ(readFile(path_), bytesOf({10, 1, 2}));
    EXPECT_FALSE(record.settingsDirty);
}

TEST_F(SettingsOnDisk, SaveIsDueMoreThanASecondAfterTheLastWriteAttemptAndTheThrottleRunsOnFromThere)
{
    const std::uint64_t lastWrite = kLoadTime + kOverASecond;
    const struct { std::uint64_t now; bool writes, writesASecondLater; } rows[] = {
        {lastWrite, false, false}, {lastWrite + 999, false, true}, {lastWrite + kSecond, false, true},
        {lastWrite + kOverASecond, true, false}, {lastWrite + 3'600'000, true, false}};
    for (const auto& row : rows) {
        scriptedNow = lastWrite;
        Settings record(path_, scriptedClock, scriptedFiles);
        const std::int32_t x = static_cast<std::int32_t>(row.now - lastWrite);
        record.setPosition(x, 2);
        scriptedNow = row.now;
        record.saveIfDue();
        EXPECT_EQ(readFile(path_) == bytesOf({10, x, 2}), row.writes) << "at " << x;
        record.setPosition(7, 8);
        scriptedNow = row.now + kSecond;
        record.saveIfDue();
        EXPECT_EQ(record.settingsDirty, !row.writesASecondLater) << "a second after " << x;
    }
}

TEST_F(SettingsOnDisk, ExitSaveWritesAChangeMadeInTheSameSecondAsTheLastWrite)
{
    {
        Settings record(path_, scriptedClock, scriptedFiles);
        scriptedNow = kLoadTime + kOverASecond;
        record.saveIfDue();
        record.setPosition(-3, 4);
        record.saveIfDue();
    }
    EXPECT_EQ(readFile(path_), bytesOf({10, -3, 4}));
}

TEST_F(SettingsOnDisk, ExitSaveWritesAChangeMadeRightAfterLoadWaitingAboutASecondForAReplaceHeldUp)
{
    const struct { const char* name; int refusals; DWORD error; bool readOnly, written; DWORD minMs, maxMs; } rows[] = {
        {"free", 0, 0, false, true, 0, 0},
        {"shared for a while", 3, ERROR_SHARING_VIOLATION, false, true, 1, 999},
        {"denied for a while", 3, ERROR_ACCESS_DENIED, false, true, 1, 999},
        {"held for good", INT_MAX, ERROR_SHARING_VIOLATION, false, false, 900, 1100},
        {"disk full", 1, ERROR_DISK_FULL, false, false, 0, 0},
        {"read-only", 0, 0, true, false, 0, 0},
    };
    for (const auto& row : rows) {
        writeFile(path_, kValidFile);
        SetFileAttributesW(path_.c_str(), row.readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        script = FileScript{};
        script.refusedMoves = row.refusals;
        script.moveError = row.error;
        Settings(path_, scriptedClock, scriptedFiles).setPollingFrequency(2);
        SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(readFile(path_), row.written ? bytesOf({2, -900, 40}) : kValidFile) << row.name;
        EXPECT_EQ(script.opens, row.readOnly ? 0 : 1) << row.name;
        EXPECT_FALSE(fileExists(temporaryPath_)) << row.name;
        EXPECT_TRUE(script.waitedMs >= row.minMs && script.waitedMs <= row.maxMs) << row.name << " " << script.waitedMs;
    }
}

// Move: the replace is refused, as while someone holds plix.cfg open. ReadOnly: the user's flag.
enum class FailingSaveStep { Open, Write, Flush, Close, Move, ReadOnly };

void PrintTo(FailingSaveStep step, std::ostream* out)
{
    const char* const names[] = {"Open", "Write", "Flush", "Close", "Move", "ReadOnly"};
    *out << names[static_cast<int>(step)];
}

class FailedSave : public SettingsOnDisk, public ::testing::WithParamInterface<FailingSaveStep> {};

namespace {

void failNextSaveAt(FailingSaveStep step, const std::wstring& path)
{
    switch (step) {
    case FailingSaveStep::Open:
        script.failOpen = true;
        break;
    case FailingSaveStep::Write:
        // The frequency word, after the header went out.
        script.failWriteNumber = script.writes + 3;
        break;
    case FailingSaveStep::Flush:
        script.failFlush = true;
        break;
    case FailingSaveStep::Close:
        script.failClose = true;
        break;
    case FailingSaveStep::Move:
        script.refusedMoves = INT_MAX;
        break;
    case FailingSaveStep::ReadOnly:
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
        break;
    }
}

std::string nameOfFailingSaveStep(const ::testing::TestParamInfo<FailingSaveStep>& info)
{
    return ::testing::PrintToString(info.param);
}

}  // namespace

TEST_P(FailedSave, KeepsTheOldFileAndTheChangeAndRetriesMoreThanASecondLater)
{
    writeFile(path_, kValidFile);
    Settings record(path_, scriptedClock, scriptedFiles);
    record.setPosition(5, 6);

    const std::uint64_t failedAt = kLoadTime + kOverASecond;
    scriptedNow = failedAt;
    failNextSaveAt(GetParam(), path_);
    record.saveIfDue();
    EXPECT_EQ(script.opens, GetParam() == FailingSaveStep::ReadOnly ? 0 : 1);
    EXPECT_EQ(script.waitedMs, 0u);
    EXPECT_EQ(readFile(path_), kValidFile);
    EXPECT_FALSE(fileExists(temporaryPath_));
    EXPECT_TRUE(record.settingsDirty);
    EXPECT_EQ(record.lastSaveTime, failedAt);

    script = FileScript{};
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    scriptedNow = failedAt + kSecond;
    record.saveIfDue();
    EXPECT_EQ(script.opens, 0);

    scriptedNow = failedAt + kOverASecond;
    record.saveIfDue();
    EXPECT_EQ(script.opens, 1);
    EXPECT_EQ(readFile(path_), bytesOf({3, 5, 6}));
    EXPECT_FALSE(fileExists(temporaryPath_));
    EXPECT_FALSE(record.settingsDirty);
}

INSTANTIATE_TEST_SUITE_P(SettingsOnDisk, FailedSave,
                         ::testing::Values(FailingSaveStep::Open, FailingSaveStep::Write, FailingSaveStep::Flush,
                                           FailingSaveStep::Close, FailingSaveStep::Move, FailingSaveStep::ReadOnly),
                         nameOfFailingSaveStep);

TEST_F(SettingsOnDisk, LeftoverTemporaryFileIsRemovedAtLoad)
{
    writeFile(path_, kValidFile);
    writeFile(temporaryPath_, firstBytes(kValidFile, 7));
    Settings record(path_, scriptedClock, scriptedFiles);
    EXPECT_FALSE(fileExists(temporaryPath_));
    EXPECT_EQ(record.pollingFrequency, 3);
    EXPECT_FALSE(record.settingsDirty);
}

TEST_F(SettingsOnDisk, TemporaryFileHeldByAnotherInstanceIsLeftAloneAndTheSaveRetried)
{
    writeFile(path_, kValidFile);
    FILE* otherInstance = _wfsopen(temporaryPath_.c_str(), L"wb", _SH_DENYRW);
    ASSERT_NE(otherInstance, nullptr);

    Settings record(path_, scriptedClock, scriptedFiles);
    EXPECT_TRUE(fileExists(temporaryPath_));
    EXPECT_EQ(record.windowX, -900);

    record.setPosition(5, 6);
    scriptedNow = kLoadTime + kOverASecond;
    record.saveIfDue();
    EXPECT_EQ(script.writes, 0);
    EXPECT_TRUE(record.settingsDirty);
    EXPECT_EQ(readFile(path_), kValidFile);
    EXPECT_TRUE(fileExists(temporaryPath_));

    fclose(otherInstance);
    DeleteFileW(temporaryPath_.c_str());
    scriptedNow = kLoadTime + 2 * kOverASecond;
    record.saveIfDue();
    EXPECT_EQ(readFile(path_), bytesOf({3, 5, 6}));
    EXPECT_FALSE(record.settingsDirty);
}

TEST_F(SettingsOnDisk, SaveFlushesTheTemporaryFileBeforeClosingAndMovingIt)
{
    Settings record(path_, scriptedClock, scriptedFiles);
    scriptedNow = kLoadTime + kOverASecond;
    record.saveIfDue();
    const std::vector<std::string> expected = {"write", "write", "write", "write", "write", "flush", "close", "move"};
    EXPECT_EQ(script.calls, expected);
    EXPECT_EQ(readFile(path_), bytesOf({10, 100, 100}));
}

// A settings file that is there but cannot be read at start: held without
// sharing (as by a backup tool), or failing its read part way.
struct UnreadableSettings {
    const char* name;
    bool heldWithoutSharing;
    std::size_t bytesBeforeReadFails;
};

void PrintTo(const UnreadableSettings& trouble, std::ostream* out) { *out << trouble.name; }

class UnreadableSettingsFile : public SettingsOnDisk, public ::testing::WithParamInterface<UnreadableSettings> {};

TEST_P(UnreadableSettingsFile, GivesDefaultsButIsReplacedOnlyAfterARealChange)
{
    writeFile(path_, kValidFile);
    HANDLE holder = CreateFileW(path_.c_str(), GENERIC_READ, GetParam().heldWithoutSharing ? 0 : FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    script.failReadAfter = GetParam().bytesBeforeReadFails;
    Settings record(path_, scriptedClock, scriptedFiles);
    CloseHandle(holder);
    script.failReadAfter = SIZE_MAX;
    EXPECT_EQ(std::vector<std::int32_t>({record.pollingFrequency, record.windowX, record.windowY}),
              std::vector<std::int32_t>({10, 100, 100}));
    EXPECT_FALSE(record.settingsDirty);

    for (scriptedNow = kLoadTime; scriptedNow <= kLoadTime + 6 * kSecond; scriptedNow += kSecond)
        record.saveIfDue();
    EXPECT_EQ(readFile(path_), kValidFile);

    record.setPosition(5, 6);
    record.saveIfDue();
    EXPECT_EQ(readFile(path_), bytesOf({10, 5, 6}));
}

INSTANTIATE_TEST_SUITE_P(
    SettingsOnDisk, UnreadableSettingsFile,
    ::testing::Values(UnreadableSettings{"HeldWithoutSharing", true, SIZE_MAX},
                      UnreadableSettings{"ReadFailsAtTheFirstByte", false, 0},
                      UnreadableSettings{"ReadFailsAfterTheHeader", false, 8}),
    [](const ::testing::TestParamInfo<UnreadableSettings>& info) { return std::string(info.param.name); });
