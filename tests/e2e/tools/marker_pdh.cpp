// A pdh.dll that only gives itself away: loaded into a process, it writes
// "pdh-marker-loaded.txt" beside itself. The desktop tests drop it beside
// plix.exe, where plix must never load it. Its five PDH functions refuse
// everything, so a plix that did load it would also show no readings.

#include <windows.h>

namespace {

constexpr wchar_t kMarkerName[] = L"pdh-marker-loaded.txt";
constexpr LONG kRefused = static_cast<LONG>(0xC0000BB8L);  // PDH_CSTATUS_NO_OBJECT

void recordLoading(HMODULE self)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    DWORD folderEnd = length;
    while (folderEnd > 0 && path[folderEnd - 1] != L'\\')
        --folderEnd;
    if (folderEnd + ARRAYSIZE(kMarkerName) > MAX_PATH)
        return;
    lstrcpyW(path + folderEnd, kMarkerName);
    const HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        recordLoading(self);
    return TRUE;
}

__declspec(dllexport) LONG WINAPI PdhOpenQueryW(LPCWSTR, DWORD_PTR, HANDLE*)
{
    return kRefused;
}

__declspec(dllexport) LONG WINAPI PdhAddCounterW(HANDLE, LPCWSTR, DWORD_PTR, HANDLE*)
{
    return kRefused;
}

__declspec(dllexport) LONG WINAPI PdhCollectQueryData(HANDLE)
{
    return kRefused;
}

__declspec(dllexport) LONG WINAPI PdhGetFormattedCounterValue(HANDLE, DWORD, LPDWORD, void*)
{
    return kRefused;
}

__declspec(dllexport) LONG WINAPI PdhCloseQuery(HANDLE)
{
    return kRefused;
}

}  // extern "C"
