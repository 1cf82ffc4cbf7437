// GaugeLabel: the text of a gauge's label in its full and shortened forms,
// and the choice of the first form that fits; the caller measures.

#include "gauges/GaugeLabel.h"

namespace {

std::wstring withoutLetters(const std::wstring& text)
{
    std::wstring kept;
    for (wchar_t c : text)
        if ((c < L'a' || c > L'z') && (c < L'A' || c > L'Z'))
            kept += c;
    return kept;
}

} // namespace

std::wstring percentText(int percent)
{
    return (percent >= 0 && percent < 10 ? L"0" : L"") + std::to_wstring(percent) + L"%";
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

std::size_t fittingForm(int availableWidth, const FormWidth& widthOf)
{
    constexpr std::size_t kLast = std::tuple_size<LabelForms>::value - 1;
    for (std::size_t form = 0; form < kLast; ++form)
        if (widthOf(form) <= availableWidth)
            return form;
    return kLast;
}
