#pragma once
// Files for the settings tests: whole-file reads and writes, and a fresh
// folder under the temp folder for each test.

#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// Writes the bytes as the whole file; fails the test if that does not work.
void writeFile(const std::wstring& path, const Bytes& bytes);
// The whole file, or nothing when it cannot be opened.
Bytes readFile(const std::wstring& path);

// An empty folder named after the purpose, the process and a serial number.
std::wstring makeTestFolder(const std::wstring& purpose);
