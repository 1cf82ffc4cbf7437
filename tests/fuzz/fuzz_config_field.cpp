// Any text typed or pasted into the Config dialog's frequency field. The
// parser must never crash, must accept nothing outside 1 to 10, and must
// agree with wcstol, whose "%ld"-like reading it follows.

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <optional>

#include "settings/PollingRate.h"
#include "ui/ConfigField.h"

namespace {

// The field holds UTF-16 text on Windows: every two bytes make one
// character, so code units past the 16-bit range never occur.
std::unique_ptr<wchar_t[]> fieldTextOf(const std::uint8_t* data, std::size_t size)
{
    const std::size_t length = size / 2;
    std::unique_ptr<wchar_t[]> text(new wchar_t[length + 1]);
    for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8));
    text[length] = L'\0';
    return text;
}

// What wcstol makes of the text, where it fits in a long and is a number.
std::optional<long> wcstolReading(const wchar_t* text)
{
    wchar_t* end = nullptr;
    errno = 0;
    const long value = std::wcstol(text, &end, 10);
    if (end == text || errno == ERANGE)
        return std::nullopt;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::unique_ptr<wchar_t[]> text = fieldTextOf(data, size);
    const std::optional<std::int32_t> accepted = parseFrequencyField(text.get());
    if (accepted && !isValidPollingFrequency(*accepted))
        std::abort();

    const std::optional<long> reference = wcstolReading(text.get());
    const bool referenceAccepts = reference && *reference >= kMinPollingFrequency && *reference <= kMaxPollingFrequency;
    if (referenceAccepts != accepted.has_value() || (accepted && *accepted != *reference))
        std::abort();
    return 0;
}
