#pragma once
// The right-click menu: Config, About, Exit.

#include <windows.h>

#include "ui/Dialogs.h"

enum MenuCommand : UINT {
    kMenuAbout = 1,
    kMenuExit = 2,
    kMenuConfig = 3,
};

// Shows the menu at the client point and carries out the chosen command,
// with the dialogs from `instance`'s resources.
void showContextMenu(POINT clientPoint, HWND window, HINSTANCE instance, RateChangedCallback rateChanged);
