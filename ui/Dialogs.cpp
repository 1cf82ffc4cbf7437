// The About and Config dialogs. Both are modal; their loops keep
// dispatching the main window's ticks, so sampling goes on while they are open.

#include "ui/Dialogs.h"

#include "common/TextBuffer.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "ui/ConfigField.h"

namespace {

constexpr int kFieldTextCapacity = 100;

void showFrequency(HWND dialog)
{
    TextBuffer text(kFieldTextCapacity);
    text.appendFormatted(L"%ld", static_cast<long>(settings.pollingFrequency));
    SetDlgItemTextW(dialog, IDC_FREQUENCY, text.text());
}

void acceptFrequency(HWND dialog)
{
    HWND field = GetDlgItem(dialog, IDC_FREQUENCY);
    if (field == nullptr) {
        EndDialog(dialog, IDOK);
        return;
    }
    wchar_t text[kFieldTextCapacity] = {};
    GetWindowTextW(field, text, kFieldTextCapacity);
    std::optional<std::int32_t> frequency = parseFrequencyField(text);
    if (!frequency) {
        SetDlgItemTextW(dialog, IDC_RANGE_MESSAGE, kFrequencyRangeMessage);
        return;
    }
    settings.setPollingFrequency(*frequency);
    // Called also when the value is unchanged: the timer is restarted, so
    // the next tick comes one full period after OK.
    if (auto rateChanged = reinterpret_cast<RateChangedCallback>(GetWindowLongPtrW(dialog, DWLP_USER)))
        rateChanged();
    EndDialog(dialog, IDOK);
}

} // namespace

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

LPARAM configDialogParam(RateChangedCallback rateChanged)
{
    return reinterpret_cast<LPARAM>(rateChanged);
}

INT_PTR CALLBACK configDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        showFrequency(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            acceptFrequency(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
