// TextBuffer: the small formatting buffer behind labels, counter paths and
// the Config field's text.

#include "common/TextBuffer.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>

TextBuffer::TextBuffer(std::size_t capacity)
    : chars_(new wchar_t[capacity > 0 ? capacity : 1]), capacity_(capacity > 0 ? capacity : 1)
{
    chars_[0] = 0;
}

void TextBuffer::appendFormatted(const wchar_t* format, ...)
{
    std::size_t freeSpace = capacity_ - length_;
    if (freeSpace <= 1)
        return;
    wchar_t* end = chars_.get() + length_;
    va_list args;
    va_start(args, format);
    int written = _vsnwprintf_s(end, freeSpace, _TRUNCATE, format, args);
    va_end(args);
    // On truncation the CRT returns -1 but has still filled the free space
    // up to its terminator, so count what is really there.
    length_ += written >= 0 ? static_cast<std::size_t>(written) : wcsnlen(end, freeSpace - 1);
}

const wchar_t* TextBuffer::text()
{
    chars_[length_] = 0;
    return chars_.get();
}
