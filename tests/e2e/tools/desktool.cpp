// A helper for the desktop tests, run under Wine beside the real plix:
//   desktool ping             asks plix's main window whether it still answers
//                             (WM_NULL, two seconds at most)
//   desktool hold FILE MS     holds FILE open with no sharing for MS
//                             milliseconds; prints "held" once it holds it
//   desktool end-session      plays a logoff to plix's main window
//                             (WM_QUERYENDSESSION, then WM_ENDSESSION(TRUE)) and
//                             ends plix's process there, as Windows does,
//                             without letting it exit on its own
// Exit code 0 when it did what was asked; see the codes below otherwise.

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

enum ExitCode : int { kDone, kNoWindow, kNoAnswer, kUsage, kCannotOpen, kEndRefused, kCannotEnd };

// The owner window has the same class but no title, so the title picks the
// gauge window.
HWND plixWindow()
{
    return FindWindowW(L"PLIX", L"plix");
}

// Sends a message to the window and waits two seconds at most for its answer.
int ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& answer)
{
    if (window == nullptr)
        return kNoWindow;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &answer) ? kDone : kNoAnswer;
}

int hold(const wchar_t* path, DWORD milliseconds)
{
    const HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return kCannotOpen;
    std::puts("held");
    std::fflush(stdout);
    Sleep(milliseconds);
    CloseHandle(file);
    return kDone;
}

int endSession()
{
    const HWND window = plixWindow();
    DWORD_PTR mayEnd = FALSE;
    if (const int failed = ask(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, mayEnd))
        return failed;
    if (!mayEnd)
        return kEndRefused;
    if (const int failed = ask(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, mayEnd))
        return failed;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (process == nullptr)
        return kCannotEnd;
    const bool ended = TerminateProcess(process, 0) && WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended ? kDone : kCannotEnd;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    DWORD_PTR ignored = 0;
    if (argc == 2 && std::wcscmp(argv[1], L"ping") == 0)
        return ask(plixWindow(), WM_NULL, 0, 0, ignored);
    if (argc == 4 && std::wcscmp(argv[1], L"hold") == 0)
        return hold(argv[2], static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
    if (argc == 2 && std::wcscmp(argv[1], L"end-session") == 0)
        return endSession();
    std::fputs("usage: desktool ping | hold FILE MILLISECONDS | end-session\n", stderr);
    return kUsage;
}
