#pragma once
// Found first on the native build's include path. The core is standard C++
// only; whatever needs Win32 belongs in the thin wrappers around it.
#error "windows.h included in the core (tests/native builds it without Win32)"
