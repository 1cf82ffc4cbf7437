#pragma once
// The label's text and the rule that keeps its number visible: the forms a
// label may take and the choice among them by a width the caller measures.

#include <array>
#include <functional>
#include <string>

// The label in the forms it may take, longest first: "cpu17: 100%",
// "cpu17:100%" (no space after the colon) and "17:100%" (no letters of the
// key name either; "100%" when nothing of the key name is left).
using LabelForms = std::array<std::wstring, 3>;

LabelForms labelForms(const std::wstring& keyName, int percent);

// Each form is its key-name part and the number: "cpu17: ", "cpu17:" and
// "17:" (or nothing) for cpu17, and "100%", "07%" or "-5%" as "%02d%%"
// writes the percent.
LabelForms labelPrefixes(const std::wstring& keyName);
std::wstring percentText(int percent);

// GDI's extent of form 0, 1 or 2, or the advances of its two pieces.
using FormWidth = std::function<int(std::size_t form)>;

// The first form no wider than availableWidth, or the last form when none
// is. Forms are measured in order, and none after the one chosen.
std::size_t fittingForm(int availableWidth, const FormWidth& widthOf);
