// The right-click menu. TrackPopupMenu runs a modal loop that keeps
// dispatching the main window's ticks, so the gauges go on while it is open.

#include "ui/ContextMenu.h"

#include "res/resource.h"
#include "ui/Dialogs.h"

namespace {

UINT trackMenu(POINT screenPoint, HWND window)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kMenuConfig, L"Config");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kMenuAbout, L"About");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kMenuExit, L"Exit");
    UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0, window, nullptr));
    DestroyMenu(menu);
    return command;
}

} // namespace

void showContextMenu(POINT clientPoint, HWND window, HINSTANCE instance, RateChangedCallback rateChanged)
{
    ClientToScreen(window, &clientPoint);
    switch (trackMenu(clientPoint, window)) {
    case kMenuAbout:
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), window, aboutDialogProc, 0);
        break;
    case kMenuExit:
        // Gone from the screen at once; its WM_DESTROY ends the message loop,
        // and the last save, which may wait a while for plix.cfg, comes after.
        DestroyWindow(window);
        break;
    case kMenuConfig:
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CONFIG), window, configDialogProc,
                        configDialogParam(rateChanged));
        break;
    default:
        break;
    }
}
