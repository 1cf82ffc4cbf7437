#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "settings/SettingsFile.h"

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

namespace {

std::wstring fakeModuleName;
bool moduleQueryFails = false;
std::vector<DWORD> offeredSizes;

// Behaves like GetModuleFileNameW: a name that does not fit is cut to the
// buffer, terminator included, and the buffer's size comes back.
DWORD WINAPI fakeModuleFileName(HMODULE, LPWSTR buffer, DWORD size)
{
    offeredSizes.push_back(size);
    if (moduleQueryFails) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    const std::size_t length = fakeModuleName.size();
    if (length >= size) {
        std::copy_n(fakeModuleName.begin(), size - 1, buffer);
        buffer[size - 1] = L'\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::copy(fakeModuleName.begin(), fakeModuleName.end(), buffer);
    buffer[length] = L'\0';
    return static_cast<DWORD>(length);
}

SettingsFileFunctions filesWithFakeModuleName()
{
    SettingsFileFunctions files = systemSettingsFiles();
    files.moduleFileName = fakeModuleFileName;
    return files;
}

std::wstring fakePathOfLength(std::size_t length)
{
    const std::wstring name = L"\\gauge.exe";
    return L"D:\\" + std::wstring(length - 3 - name.size(), L'x') + name;
}

}  // namespace

TEST(ExecutablePath, GrowsItsBufferUntilTheWholeNameFits)
{
    moduleQueryFails = false;
    const SettingsFileFunctions files = filesWithFakeModuleName();
    for (const std::size_t length : {259u, 260u, 261u, 300u, 600u, 5000u}) {
        fakeModuleName = fakePathOfLength(length);
        offeredSizes.clear();
        const std::wstring path = executablePath(files);
        EXPECT_EQ(path, fakeModuleName) << "length " << length;
        EXPECT_EQ(settingsPathFor(path), fakeModuleName.substr(0, length - 10) + L"\\plix.cfg");
        EXPECT_EQ(offeredSizes.size() > 1, length >= 260) << "length " << length;
    }
}

TEST(ExecutablePath, IsEmptyWhenTheQueryFails)
{
    moduleQueryFails = true;
    const SettingsFileFunctions files = filesWithFakeModuleName();
    const std::wstring path = executablePath(files);
    moduleQueryFails = false;
    EXPECT_EQ(path, L"");
    EXPECT_EQ(settingsPathFor(path), L"c:\\plix.cfg");
}

TEST(ExecutablePath, NamesTheRunningTestProgram)
{
    std::wstring path = executablePath();
    std::transform(path.begin(), path.end(), path.begin(), [](wchar_t c) { return std::towlower(c); });
    const std::wstring name = L"\\plix_unit_tests.exe";
    ASSERT_GT(path.size(), name.size());
    EXPECT_EQ(path.substr(path.size() - name.size()), name);
}
