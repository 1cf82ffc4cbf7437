// Loads plix.cfg files of every length from 0 to 40 bytes and thousands of
// records with random and extreme fields through the real Settings
// constructor, and checks that each gives a usable record (a polling
// frequency of 1 to 10, a valid file's position kept) and that the exit
// save leaves a file the next start can read. The generator has a fixed
// seed, so a failing case comes back on every run.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "tests/support/TestFiles.h"

namespace {

constexpr std::uint64_t kLoadTime = 5'000'000;  // milliseconds since Windows started
constexpr std::size_t kLongestFile = 40;
constexpr int kRecordCount = 2000;
constexpr std::uint32_t kSeed = 20240607;

std::uint64_t fixedClock() { return kLoadTime; }

// Values that break arithmetic or ranges when a load forgets to check them.
const std::int32_t kExtremes[] = {INT_MIN, INT_MIN + 1, -900, -7, -1, 0, 1, 10, 11, 5000, INT_MAX - 1, INT_MAX};

std::string hex(const Bytes& bytes)
{
    std::ostringstream text;
    text << bytes.size() << " bytes:";
    for (unsigned char byte : bytes) {
        text << ' ' << std::hex << static_cast<int>(byte);
    }
    return text.str();
}

Bytes recordBytes(std::int32_t frequency, std::int32_t x, std::int32_t y)
{
    const auto encoded = encodeSettings({frequency, x, y});
    return Bytes(encoded.begin(), encoded.end());
}

Bytes randomBytes(std::mt19937& random, std::size_t count)
{
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes bytes(count);
    for (unsigned char& b : bytes) {
        b = static_cast<unsigned char>(byte(random));
    }
    return bytes;
}

// Mostly one of the extremes, otherwise any 32-bit value.
std::int32_t randomField(std::mt19937& random)
{
    std::uniform_int_distribution<int> pick(0, 2 * static_cast<int>(std::size(kExtremes)) - 1);
    const int index = pick(random);
    if (index < static_cast<int>(std::size(kExtremes))) {
        return kExtremes[index];
    }
    return static_cast<std::int32_t>(random());
}

bool startsWithMagic(const Bytes& bytes)
{
    const Bytes magic = recordBytes(0, 0, 0);
    return bytes.size() >= 4 && std::equal(magic.begin(), magic.begin() + 4, bytes.begin());
}

}  // namespace

// One empty folder under the temp folder for the whole sweep; each case
// writes plix.cfg there, loads it, and lets the record's exit save run.
class SettingsSweep : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = makeTestFolder(L"settings-sweep");
        path_ = folder_ + L"\\plix.cfg";
    }

    void TearDown() override
    {
        DeleteFileW(path_.c_str());
        EXPECT_TRUE(RemoveDirectoryW(folder_.c_str())) << "a file was left in the sweep folder";
    }

    struct Loaded {
        std::int32_t pollingFrequency;
        std::int32_t windowX;
        std::int32_t windowY;
        bool settingsDirty;
    };

    // Loads the bytes as plix.cfg and checks what every load must give: a
    // frequency the timer can use, and after the exit save either the file
    // untouched (nothing to write) or exactly the 20 bytes of the loaded record.
    Loaded load(const Bytes& bytes)
    {
        writeFile(path_, bytes);
        Loaded loaded{};
        {
            Settings record(path_, fixedClock);
            loaded = {record.pollingFrequency, record.windowX, record.windowY, record.settingsDirty};
            EXPECT_TRUE(isValidPollingFrequency(record.pollingFrequency)) << record.pollingFrequency;
        }
        const Bytes after = readFile(path_);
        if (loaded.settingsDirty) {
            EXPECT_EQ(after, recordBytes(loaded.pollingFrequency, loaded.windowX, loaded.windowY));
        } else {
            EXPECT_EQ(after, bytes);
        }
        EXPECT_EQ(GetFileAttributesW((path_ + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
        return loaded;
    }

    void expectDefaults(const Loaded& loaded)
    {
        EXPECT_EQ(loaded.pollingFrequency, kDefaultPollingFrequency);
        EXPECT_EQ(loaded.windowX, kDefaultWindowX);
        EXPECT_EQ(loaded.windowY, kDefaultWindowY);
        EXPECT_TRUE(loaded.settingsDirty);
    }

    // A stored frequency the Config dialog would refuse becomes the default
    // and makes the record dirty; the position is kept whatever it is.
    void expectRecord(const Loaded& loaded, std::int32_t frequency, std::int32_t x, std::int32_t y)
    {
        const bool usable = frequency >= 1 && frequency <= 10;
        EXPECT_EQ(loaded.pollingFrequency, usable ? frequency : kDefaultPollingFrequency);
        EXPECT_EQ(loaded.windowX, x);
        EXPECT_EQ(loaded.windowY, y);
        EXPECT_EQ(loaded.settingsDirty, !usable);
    }

    std::wstring folder_;
    std::wstring path_;
};

TEST_F(SettingsSweep, ValidHeaderOfEveryLengthUpToFortyLoadsTheRecordFromTwentyBytesOn)
{
    std::mt19937 random(kSeed);
    for (std::size_t length = 0; length <= kLongestFile; ++length) {
        Bytes bytes = recordBytes(7, -900, 5000);
        if (length < bytes.size()) {
            bytes.resize(length);
        } else {
            const Bytes tail = randomBytes(random, length - bytes.size());
            bytes.insert(bytes.end(), tail.begin(), tail.end());
        }
        SCOPED_TRACE(hex(bytes));
        const Loaded loaded = load(bytes);
        if (length < kSettingsFileSize) {
            expectDefaults(loaded);
        } else {
            expectRecord(loaded, 7, -900, 5000);
        }
        if (HasFailure()) {
            return;
        }
    }
}

TEST_F(SettingsSweep, RandomBytesOfEveryLengthUpToFortyLoadTheDefaults)
{
    std::mt19937 random(kSeed);
    for (std::size_t length = 0; length <= kLongestFile; ++length) {
        Bytes bytes = randomBytes(random, length);
        if (startsWithMagic(bytes)) {
            bytes[0] ^= 1;
        }
        SCOPED_TRACE(hex(bytes));
        expectDefaults(load(bytes));
        if (HasFailure()) {
            return;
        }
    }
}

TEST_F(SettingsSweep, RightMagicWithAnyOtherVersionLoadsTheDefaults)
{
    std::mt19937 random(kSeed);
    for (std::size_t length = kSettingsFileSize; length <= kLongestFile; ++length) {
        Bytes bytes = recordBytes(5, 300, 200);
        std::uint32_t version = random();
        if (version == kSettingsVersion) {
            version = 0;
        }
        for (std::size_t i = 0; i < 4; ++i) {
            bytes[4 + i] = static_cast<unsigned char>(version >> (8 * i));
        }
        const Bytes tail = randomBytes(random, length - bytes.size());
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        SCOPED_TRACE(hex(bytes));
        expectDefaults(load(bytes));
        if (HasFailure()) {
            return;
        }
    }
}

TEST_F(SettingsSweep, EveryCombinationOfExtremeFieldsLoadsWithAUsableFrequency)
{
    for (std::int32_t frequency : kExtremes) {
        for (std::int32_t x : kExtremes) {
            for (std::int32_t y : kExtremes) {
                const Bytes bytes = recordBytes(frequency, x, y);
                SCOPED_TRACE(hex(bytes));
                expectRecord(load(bytes), frequency, x, y);
                if (HasFailure()) {
                    return;
                }
            }
        }
    }
}

TEST_F(SettingsSweep, TwoThousandRandomRecordsLoadWithTheirPositionAndAUsableFrequency)
{
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<std::size_t> tailLength(0, kLongestFile - kSettingsFileSize);
    std::bernoulli_distribution withTail(0.25);
    for (int i = 0; i < kRecordCount; ++i) {
        const std::int32_t frequency = randomField(random);
        const std::int32_t x = randomField(random);
        const std::int32_t y = randomField(random);
        Bytes bytes = recordBytes(frequency, x, y);
        if (withTail(random)) {
            const Bytes tail = randomBytes(random, tailLength(random));
            bytes.insert(bytes.end(), tail.begin(), tail.end());
        }
        SCOPED_TRACE("record " + std::to_string(i) + ", " + hex(bytes));
        expectRecord(load(bytes), frequency, x, y);
        if (HasFailure()) {
            return;
        }
    }
}
