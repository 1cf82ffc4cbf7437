#pragma once
// The right-click menu: Config, About, Exit.

#include <windows.h>

enum MenuCommand : UINT {
    kMenuAbout = 1,
    kMenuExit = 2,
    kMenuConfig = 3,
};

void showContextMenu(POINT clientPoint, HWND window);
