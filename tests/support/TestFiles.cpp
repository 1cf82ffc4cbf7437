// Whole-file helpers and per-test folders for the tests that touch disk.

#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

void writeFile(const std::wstring& path, const Bytes& bytes)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    if (!bytes.empty()) {
        ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    }
    ASSERT_EQ(fclose(file), 0);
}

Bytes readFile(const std::wstring& path)
{
    Bytes bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        return bytes;
    }
    unsigned char chunk[64];
    std::size_t count = 0;
    while ((count = fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + count);
    }
    fclose(file);
    return bytes;
}

std::wstring makeTestFolder(const std::wstring& purpose)
{
    static int serial = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    EXPECT_NE(GetTempPathW(MAX_PATH + 1, temp), 0u);
    std::wstring folder = std::wstring(temp) + L"plix-" + purpose + L"-" + std::to_wstring(GetCurrentProcessId()) +
                          L"-" + std::to_wstring(++serial);
    EXPECT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    return folder;
}
