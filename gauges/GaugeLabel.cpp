// GaugeLabel: the text of a gauge's label in its full and shortened forms,
// and the choice of the first form that fits the strip. The gauge measures;
// this only decides.

#include "gauges/GaugeLabel.h"

namespace {

bool isLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

std::wstring withoutLetters(const std::wstring& text)
{
    std::wstring kept;
    for (wchar_t c : text)
        if (!isLetter(c))
            kept += c;
    return kept;
}

} // namespace

std::wstring percentText(int percent)
{
    const std::wstring digits = std::to_wstring(percent);
    return (percent >= 0 && percent < 10 ? L"0" : L"") + digits + L"%";
}

LabelForms labelPrefixes(const std::wstring& keyName)
{
    const std::wstring keyRest = withoutLetters(keyName);
    return LabelForms{keyName + L": ", keyName + L":", keyRest.empty() ? L"" : keyRest + L":"};
}

LabelForms labelForms(const std::wstring& keyName, int percent)
{
    const std::wstring number = percentText(percent);
    LabelForms forms = labelPrefixes(keyName);
    for (std::wstring& form : forms)
        form += number;
    return forms;
}

const std::wstring& fittingLabel(const LabelForms& forms, int availableWidth, const TextWidth& widthOf)
{
    for (std::size_t i = 0; i + 1 < forms.size(); ++i)
        if (widthOf(forms[i]) <= availableWidth)
            return forms[i];
    return forms.back();
}
