#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "settings/SettingsFile.h"

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
