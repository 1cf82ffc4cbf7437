// Parsing the Config field the way "%ld" reads it, but without the
// undefined result of a number that does not fit.

#include "ui/ConfigField.h"

#include <cwctype>

std::optional<std::int32_t> parseFrequencyField(const wchar_t* text)
{
    const wchar_t* at = text;
    while (std::iswspace(*at))
        ++at;
    bool negative = *at == L'-';
    if (*at == L'-' || *at == L'+')
        ++at;
    if (*at < L'0' || *at > L'9')
        return std::nullopt;

    // Only the range 1 to 10 is accepted, so the value can stop growing
    // once it is out of it; that keeps any length of digits safe.
    std::int64_t value = 0;
    for (; *at >= L'0' && *at <= L'9'; ++at) {
        if (value <= 100)
            value = value * 10 + (*at - L'0');
    }
    if (negative)
        value = -value;
    if (!isValidPollingFrequency(static_cast<std::int32_t>(value)))
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}
