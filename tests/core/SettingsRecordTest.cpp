#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/SettingsRecord.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(const StoredSettings& stored)
{
    const auto encoded = encodeSettings(stored);
    return Bytes(encoded.begin(), encoded.end());
}

std::optional<StoredSettings> decode(const Bytes& bytes)
{
    return decodeSettings(bytes.data(), bytes.size());
}

}  // namespace

TEST(SettingsEncoding, WritesMagicVersionAndFieldsLittleEndian)
{
    const Bytes expected = {
        0xED, 0xAE, 0x78, 0xC0,  // magic
        0x01, 0x00, 0x00, 0x00,  // version
        0x0A, 0x00, 0x00, 0x00,  // 10 per second
        0xFF, 0xFF, 0xFF, 0xFF,  // x = -1
        0x78, 0x56, 0x34, 0x12,  // y = 0x12345678
    };
    EXPECT_EQ(bytesOf({10, -1, 0x12345678}), expected);
}

TEST(SettingsEncoding, DecodeIgnoresBytesAfterTheTwentieth)
{
    Bytes bytes = bytesOf({4, 5, 6});
    bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    const auto decoded = decode(bytes);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->pollingFrequency, 4);
    EXPECT_EQ(decoded->windowX, 5);
    EXPECT_EQ(decoded->windowY, 6);
}

TEST(SettingsEncoding, DecodeRefusesForeignOtherVersionAndShortFiles)
{
    const Bytes valid = bytesOf({4, 5, 6});

    Bytes wrongMagic = valid;
    wrongMagic[3] = 0xC1;
    EXPECT_FALSE(decode(wrongMagic).has_value());

    Bytes version2 = valid;
    version2[4] = 0x02;
    EXPECT_FALSE(decode(version2).has_value());

    Bytes versionInHighByte = valid;
    versionInHighByte[7] = 0x01;
    EXPECT_FALSE(decode(versionInHighByte).has_value());

    EXPECT_FALSE(decode(Bytes{}).has_value());
    EXPECT_FALSE(decode(Bytes(valid.begin(), valid.begin() + 3)).has_value());
    EXPECT_FALSE(decode(Bytes(valid.begin(), valid.begin() + 6)).has_value());
    EXPECT_FALSE(decode(Bytes(valid.begin(), valid.begin() + 12)).has_value());
    EXPECT_FALSE(decode(Bytes(valid.begin(), valid.begin() + 19)).has_value());
}

TEST(SettingsPath, SitsInTheExecutablesFolder)
{
    EXPECT_EQ(settingsPathFor(L"C:\\Tools\\gauge.exe"), L"C:\\Tools\\plix.cfg");
    EXPECT_EQ(settingsPathFor(L"C:\\gauge.exe"), L"C:\\plix.cfg");
    EXPECT_EQ(settingsPathFor(L"\\\\server\\share\\bin\\gauge.exe"), L"\\\\server\\share\\bin\\plix.cfg");
}

TEST(SettingsPath, UsesTheLastBackslashOnly)
{
    EXPECT_EQ(settingsPathFor(L"C:\\a.b\\c\\gauge"), L"C:\\a.b\\c\\plix.cfg");
}

TEST(SettingsPath, FallsBackToDriveCWithoutAnyBackslash)
{
    EXPECT_EQ(settingsPathFor(L"gauge.exe"), L"c:\\plix.cfg");
    EXPECT_EQ(settingsPathFor(L"C:/Tools/gauge.exe"), L"c:\\plix.cfg");
    EXPECT_EQ(settingsPathFor(L""), L"c:\\plix.cfg");
}

TEST(SettingsPath, LeadingBackslashOnlyLeavesAnEmptyFolder)
{
    EXPECT_EQ(settingsPathFor(L"\\gauge.exe"), L"\\plix.cfg");
}

TEST(SettingsPath, LongPathKeepsItsFolder)
{
    const std::wstring folder = L"C:\\" + std::wstring(150, L'a') + L"\\" + std::wstring(150, L'b');
    EXPECT_EQ(settingsPathFor(folder + L"\\gauge.exe"), folder + L"\\plix.cfg");
}

TEST(SettingsPath, TemporaryFileSitsBesideTheSettingsFile)
{
    EXPECT_EQ(temporaryPathFor(L"C:\\Tools\\plix.cfg"), L"C:\\Tools\\plix.cfg.tmp");
}

TEST(SettingsRepair, WhatTheFileHoldsDecidesTheValuesAndWhetherToRewrite)
{
    const Bytes valid = bytesOf({4, -900, 50});
    const Bytes zeroRate = bytesOf({0, 7, 8});
    const Bytes hugeRate = bytesOf({INT32_MAX, INT32_MIN, INT32_MAX});
    const Bytes version2 = [&] {
        Bytes bytes = valid;
        bytes[4] = 0x02;
        return bytes;
    }();
    struct Row {
        const char* file;
        Bytes bytes;
        bool readFailed;
        StoredSettings values;
        bool dirty;
    };
    const Row rows[] = {
        {"valid, kept as it is", valid, false, {4, -900, 50}, false},
        {"zero rate repaired to ten", zeroRate, false, {10, 7, 8}, true},
        {"rate above ten repaired", hugeRate, false, {10, INT32_MIN, INT32_MAX}, true},
        {"other version: defaults", version2, false, {10, 100, 100}, true},
        {"empty: defaults", Bytes{}, false, {10, 100, 100}, true},
        {"short: defaults", Bytes(valid.begin(), valid.begin() + 19), false, {10, 100, 100}, true},
        {"read failed: defaults, file kept", Bytes(valid.begin(), valid.begin() + 8), true, {10, 100, 100}, false},
    };
    for (const Row& row : rows) {
        const LoadedSettings loaded = settingsToRunOn(settingsFileContents(row.bytes.data(), row.bytes.size(), row.readFailed));
        EXPECT_EQ(loaded.values.pollingFrequency, row.values.pollingFrequency) << row.file;
        EXPECT_EQ(loaded.values.windowX, row.values.windowX) << row.file;
        EXPECT_EQ(loaded.values.windowY, row.values.windowY) << row.file;
        EXPECT_EQ(loaded.dirty, row.dirty) << row.file;
    }
}
