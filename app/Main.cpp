// plix's entry point: set up the gauges, create the window and run the
// message loop until Exit.

#include <windows.h>

#include "app/MainWindow.h"
#include "gauges/GaugeSetup.h"
#include "res/resource.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand)
{
    setUpGauges();
    LoadStringW(instance, IDS_APP_TITLE, windowTitle, kWindowTextCapacity);
    LoadStringW(instance, IDS_WINDOW_CLASS, windowClassName, kWindowTextCapacity);
    registerMainClass(instance);
    if (!startInstance(instance, showCommand))
        return 0;

    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_PLIX));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
