#pragma once
// The About and Config dialogs' procedures.

#include <windows.h>

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// What a confirmed Config calls once the new rate is in the settings (the
// main window restarts its polling timer); may be null.
using RateChangedCallback = void (*)();

// The Config dialog takes its callback as the creation parameter.
INT_PTR CALLBACK configDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LPARAM configDialogParam(RateChangedCallback rateChanged);
