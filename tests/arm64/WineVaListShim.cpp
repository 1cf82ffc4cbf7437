// Linked into the smoke run's build of plix only (plix_arm64_smoke), never
// into the shipped plix.exe. Debian 12's arm64 Wine has ELF built-in DLLs:
// its msvcrt reads a va_list as Linux lays one out, while ARM64 Windows code
// hands over a plain pointer, so msvcrt's _vsnwprintf_s faults there. On
// Windows the same call is fine. This _vsnwprintf_s formats in the exe
// instead, through MinGW-w64's own __mingw_vsnwprintf, with msvcrt's
// meaning of the wide conversions (%s and %c take wide text) and its
// _TRUNCATE rule: fill the buffer, terminate it, return -1 when cut.

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cwchar>

extern "C" int __cdecl __mingw_vsnwprintf(wchar_t*, std::size_t, const wchar_t*, va_list);

namespace {

constexpr std::size_t kFormatCapacity = 256;

bool isLengthModifier(wchar_t c)
{
    return std::wcschr(L"hlLwIjzt", c) != nullptr;
}

// Copies format into wide, with "l" put before every s or c conversion
// that names no length of its own.
bool withWideStrings(const wchar_t* format, wchar_t* wide, std::size_t capacity)
{
    std::size_t out = 0;
    auto put = [&](wchar_t c) {
        if (out + 1 >= capacity)
            return false;
        wide[out++] = c;
        return true;
    };
    for (const wchar_t* p = format; *p != 0; ++p) {
        if (!put(*p))
            return false;
        if (*p != L'%')
            continue;
        bool sized = false;
        for (++p; *p != 0 && std::wcschr(L"-+ #0123456789.*hlLwIjzt", *p) != nullptr; ++p) {
            sized = sized || isLengthModifier(*p);
            if (!put(*p))
                return false;
        }
        if (*p == 0)
            break;
        if ((*p == L's' || *p == L'c') && !sized && !put(L'l'))
            return false;
        if (!put(*p))
            return false;
    }
    wide[out] = 0;
    return true;
}


int __cdecl formatInTheExe(wchar_t* buffer, std::size_t size, std::size_t count,
                           const wchar_t* format, va_list args)
{
    if (buffer == nullptr || size == 0 || format == nullptr)
        return -1;
    wchar_t wide[kFormatCapacity];
    if (!withWideStrings(format, wide, kFormatCapacity)) {
        buffer[0] = 0;
        return -1;
    }
    std::size_t room = count < size ? count + 1 : size;
    int written = __mingw_vsnwprintf(buffer, room, wide, args);
    if (written >= 0 && static_cast<std::size_t>(written) < room)
        return written;
    buffer[room - 1] = 0;
    return -1;
}

} // namespace

// The runtime's headers declare _vsnwprintf_s dllimport, so callers reach it
// through this pointer; defined here, it keeps msvcrt's out of the link.
extern "C" decltype(&formatInTheExe) __imp__vsnwprintf_s = formatInTheExe;
