#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "hostcounters/HostFiles.h"

using namespace hostcounters;

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kBufferSize = 256;

std::wstring tempPath(const wchar_t* name)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"hostfiles-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}

// Rewrites the file in place, keeping any handle open on it valid.
void writeFile(const std::wstring& path, const std::string& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string readFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    char buffer[64] = {};
    DWORD bytesRead = 0;
    ReadFile(file, buffer, sizeof buffer, &bytesRead, nullptr);
    CloseHandle(file);
    return std::string(buffer, bytesRead);
}

}  // namespace

TEST(KeptOpenFile, EachReadStartsAtTheBeginningAndSeesTheNewText)
{
    std::wstring path = tempPath(L"kept");
    writeFile(path, "first text\n");
    char buffer[kBufferSize];
    {
        KeptOpenFile file;
        file.setPath(path, true);
        EXPECT_EQ(file.read(buffer, kBufferSize), "first text\n");
        EXPECT_EQ(file.read(buffer, kBufferSize), "first text\n");
        writeFile(path, "second, longer text\n");
        EXPECT_EQ(file.read(buffer, kBufferSize), "second, longer text\n");
        writeFile(path, "third\n");
        EXPECT_EQ(file.read(buffer, kBufferSize), "third\n");
    }
    EXPECT_TRUE(DeleteFileW(path.c_str()));  // closed with the reader
}

TEST(KeptOpenFile, ReadTakesAtMostTheBuffer)
{
    std::wstring path = tempPath(L"long");
    writeFile(path, "0123456789");
    char buffer[4];
    {
        KeptOpenFile file;
        file.setPath(path, true);
        EXPECT_EQ(file.read(buffer, sizeof buffer), "0123");
    }
    DeleteFileW(path.c_str());
}

TEST(KeptOpenFile, MissingOrEmptyFileReadsNothingAndIsOpenedOnceItIsBack)
{
    std::wstring path = tempPath(L"later");
    DeleteFileW(path.c_str());
    char buffer[kBufferSize];
    KeptOpenFile file;
    file.setPath(path, true);
    EXPECT_TRUE(file.read(buffer, kBufferSize).empty());
    writeFile(path, "");
    EXPECT_TRUE(file.read(buffer, kBufferSize).empty());
    writeFile(path, "here\n");
    EXPECT_EQ(file.read(buffer, kBufferSize), "here\n");
    file.close();
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

TEST(KeptOpenFile, FileReadEachTimeIsNotHeldBetweenReads)
{
    std::wstring path = tempPath(L"recorded");
    writeFile(path, "recorded\n");
    char buffer[kBufferSize];
    KeptOpenFile file;
    file.setPath(path, false);
    EXPECT_EQ(file.read(buffer, kBufferSize), "recorded\n");
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_TRUE(file.read(buffer, kBufferSize).empty());
    writeFile(path, "restored\n");
    EXPECT_EQ(file.read(buffer, kBufferSize), "restored\n");
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

TEST(CountLog, RewritesTheCountFromTheStart)
{
    std::wstring path = tempPath(L"log");
    writeFile(path, "stale text from before");
    {
        CountLog log;
        log.setPath(path);
        log.write(1);
        EXPECT_EQ(readFile(path), "1");
        log.write(9);
        EXPECT_EQ(readFile(path), "9");
        log.write(10);
        EXPECT_EQ(readFile(path), "10");
        log.write(18446744073709551615u);
        EXPECT_EQ(readFile(path), "18446744073709551615");
    }
    DeleteFileW(path.c_str());
}

TEST(HostConfig, ReadsTheHostsProcFilesWithoutTheVariables)
{
    SetEnvironmentVariableW(L"PLIX_PROC_DIR", nullptr);
    SetEnvironmentVariableW(L"PLIX_COLLECT_LOG", nullptr);
    HostConfig config = readHostConfig();
    EXPECT_EQ(config.statPath, L"Z:\\proc\\stat");
    EXPECT_EQ(config.meminfoPath, L"Z:\\proc\\meminfo");
    EXPECT_EQ(config.nodeFolder, L"Z:\\sys\\devices\\system\\node");
    EXPECT_FALSE(config.recordedFiles);
    EXPECT_TRUE(config.collectLogPath.empty());
}

TEST(HostConfig, TakesTheFolderAndLogFromTheVariables)
{
    SetEnvironmentVariableW(L"PLIX_PROC_DIR", L"C:\\recorded");
    SetEnvironmentVariableW(L"PLIX_COLLECT_LOG", L"C:\\out\\collects.txt");
    HostConfig config = readHostConfig();
    EXPECT_EQ(config.statPath, L"C:\\recorded\\stat");
    EXPECT_EQ(config.meminfoPath, L"C:\\recorded\\meminfo");
    EXPECT_EQ(config.nodeFolder, L"C:\\recorded\\node");
    EXPECT_TRUE(config.recordedFiles);
    EXPECT_EQ(config.collectLogPath, L"C:\\out\\collects.txt");

    SetEnvironmentVariableW(L"PLIX_PROC_DIR", L"C:\\recorded\\");
    EXPECT_EQ(readHostConfig().statPath, L"C:\\recorded\\stat");
    SetEnvironmentVariableW(L"PLIX_PROC_DIR", nullptr);
    SetEnvironmentVariableW(L"PLIX_COLLECT_LOG", nullptr);
}
