// zig 0.11 links MinGW-w64's ANSI startup whatever -municode says, and that
// startup calls WinMain. This WinMain hands the wide command line, after the
// program's name, to the program's own wWinMain, as the wide startup does.
// zig-wrap links it into an exe whose link line asks for -municode.

#include <windows.h>

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand)
{
    wchar_t* rest = GetCommandLineW();
    bool quoted = false;
    while (*rest > L' ' || (*rest != 0 && quoted)) {
        if (*rest == L'"')
            quoted = !quoted;
        ++rest;
    }
    while (*rest != 0 && *rest <= L' ')
        ++rest;
    return wWinMain(instance, previous, rest, showCommand);
}
