#pragma once
// A fixed-capacity wide text buffer filled printf-style.

#include <cstddef>
#include <memory>

class TextBuffer {
public:
    explicit TextBuffer(std::size_t capacity);

    // Formats into the free space after the current text, with the
    // platform's wide rules (%s takes wide text). Output that does not fit
    // is cut at the capacity, terminator included.
    void appendFormatted(const wchar_t* format, ...);

    // The text so far, terminated at the current length.
    const wchar_t* text();
    std::size_t length() const { return length_; }

private:
    std::unique_ptr<wchar_t[]> chars_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};
