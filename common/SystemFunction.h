#pragma once
// Functions of system DLLs found by name at run time, as the type they are
// called through.

#include <windows.h>

template <typename Function>
Function functionFrom(FARPROC procedure)
{
    // Through void (*)() so that GCC takes the cast between unrelated
    // function types without a warning; MSVC takes it either way.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(procedure));
}

// The function `name` of `library` from System32 and nowhere else, or null
// when either is missing. The library stays loaded.
template <typename Function>
Function systemFunction(const wchar_t* library, const char* name)
{
    const HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module == nullptr ? nullptr : functionFrom<Function>(GetProcAddress(module, name));
}
