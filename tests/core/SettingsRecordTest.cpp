#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
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

Bytes withByte(Bytes bytes, std::size_t at, unsigned char value)
{
    bytes[at] = value;
    return bytes;
}

Bytes firstBytes(const Bytes& bytes, std::size_t count)
{
    return Bytes(bytes.begin(), bytes.begin() + count);
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
    const Bytes refused[] = {
        withByte(valid, 3, 0xC1),  // foreign magic
        withByte(valid, 4, 0x02),  // version 2
        withByte(valid, 7, 0x01),  // version in the high byte
        Bytes{},
        firstBytes(valid, 3),
        firstBytes(valid, 6),
        firstBytes(valid, 12),
        firstBytes(valid, 19),
    };
    for (const Bytes& bytes : refused)
        EXPECT_FALSE(decode(bytes).has_value()) << "row " << (&bytes - refused);
}

TEST(SettingsPath, SitsInTheExecutablesFolderOrElseOnDriveC)
{
    const std::wstring longFolder = L"C:\\" + std::wstring(150, L'a') + L"\\" + std::wstring(150, L'b');
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"C:\\Tools\\gauge.exe", L"C:\\Tools\\plix.cfg"},
        {L"C:\\gauge.exe", L"C:\\plix.cfg"},
        {L"\\\\server\\share\\bin\\gauge.exe", L"\\\\server\\share\\bin\\plix.cfg"},
        {L"C:\\a.b\\c\\gauge", L"C:\\a.b\\c\\plix.cfg"},  // the last backslash only
        {L"gauge.exe", L"c:\\plix.cfg"},  // no backslash at all
        {L"C:/Tools/gauge.exe", L"c:\\plix.cfg"},
        {L"", L"c:\\plix.cfg"},
        {L"\\gauge.exe", L"\\plix.cfg"},  // a leading backslash only: an empty folder
        {longFolder + L"\\gauge.exe", longFolder + L"\\plix.cfg"},
    };
    for (const auto& [executable, settings] : rows)
        EXPECT_EQ(settingsPathFor(executable), settings);
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
    const Bytes version2 = withByte(valid, 4, 0x02);
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
        {"short: defaults", firstBytes(valid, 19), false, {10, 100, 100}, true},
        {"read failed: defaults, file kept", firstBytes(valid, 8), true, {10, 100, 100}, false},
    };
    for (const Row& row : rows) {
        const LoadedSettings loaded = settingsToRunOn(settingsFileContents(row.bytes.data(), row.bytes.size(), row.readFailed));
        EXPECT_EQ(loaded.values.pollingFrequency, row.values.pollingFrequency) << row.file;
        EXPECT_EQ(loaded.values.windowX, row.values.windowX) << row.file;
        EXPECT_EQ(loaded.values.windowY, row.values.windowY) << row.file;
        EXPECT_EQ(loaded.dirty, row.dirty) << row.file;
    }
}
