// A helper for the desktop tests: asks the running plix whether its main
// window still answers messages. It sends WM_NULL and waits at most two
// seconds. Exit code 0: answered; 1: no plix window; 2: no answer (hung or
// gone meanwhile).

#include <windows.h>

namespace {

constexpr wchar_t kWindowClass[] = L"PLIX";
constexpr wchar_t kWindowTitle[] = L"plix";
constexpr UINT kAnswerTimeoutMs = 2000;
constexpr int kAnswered = 0;
constexpr int kNoWindow = 1;
constexpr int kNoAnswer = 2;

}  // namespace

int main()
{
    // The owner window has the same class but no title, so the title picks
    // the gauge window.
    HWND window = FindWindowW(kWindowClass, kWindowTitle);
    if (window == nullptr)
        return kNoWindow;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result))
        return kNoAnswer;
    return kAnswered;
}
