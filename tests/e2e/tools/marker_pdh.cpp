// A pdh.dll that only gives itself away: loaded into a process, it writes
// "pdh-marker-loaded.txt" beside itself. The desktop tests drop it beside
// plix.exe, where plix must never load it. Its PDH functions refuse
// everything, so a plix that did load it would also show no readings.

#include <windows.h>

#include <cwchar>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    static const wchar_t kMarkerName[] = L"pdh-marker-loaded.txt";
    wchar_t path[MAX_PATH + ARRAYSIZE(kMarkerName)];
    const DWORD length = reason == DLL_PROCESS_ATTACH ? GetModuleFileNameW(self, path, MAX_PATH) : 0;
    wchar_t* folderEnd = length > 0 && length < MAX_PATH ? std::wcsrchr(path, L'\\') : nullptr;
    if (folderEnd == nullptr)
        return TRUE;
    std::wcscpy(folderEnd + 1, kMarkerName);
    const HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
    return TRUE;
}

#define REFUSED { return static_cast<LONG>(0xC0000BB8L); }  // PDH_CSTATUS_NO_OBJECT
__declspec(dllexport) LONG WINAPI PdhOpenQueryW(LPCWSTR, DWORD_PTR, HANDLE*) REFUSED
__declspec(dllexport) LONG WINAPI PdhAddCounterW(HANDLE, LPCWSTR, DWORD_PTR, HANDLE*) REFUSED
__declspec(dllexport) LONG WINAPI PdhAddEnglishCounterW(HANDLE, LPCWSTR, DWORD_PTR, HANDLE*) REFUSED
__declspec(dllexport) LONG WINAPI PdhCollectQueryData(HANDLE) REFUSED
__declspec(dllexport) LONG WINAPI PdhGetFormattedCounterValue(HANDLE, DWORD, LPDWORD, void*) REFUSED
__declspec(dllexport) LONG WINAPI PdhCloseQuery(HANDLE) REFUSED
__declspec(dllexport) LONG WINAPI PdhRemoveCounter(HANDLE) REFUSED

}  // extern "C"
