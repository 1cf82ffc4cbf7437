// Tests for the label's forms and the choice among them by measured width.
// The pixel test of the gauge shows the forms under Wine's font; these add
// the edges no real font is needed for.

#include <gtest/gtest.h>

#include <array>

#include "gauges/GaugeLabel.h"

TEST(GaugeLabel, TakesTheFirstFormThatFitsAndMeasuresNoFurther)
{
    struct Row {
        const char* name;
        std::array<int, 3> widths;
        std::size_t chosen;
        int measured;
    };
    const Row rows[] = {
        {"exactly the width fits", {58, 54, 40}, 0, 1},
        {"one pixel over", {59, 55, 40}, 1, 2},
        {"only the number fits", {73, 69, 49}, 2, 2},
        {"nothing fits: the shortest, never measured", {90, 80, 70}, 2, 2},
    };
    const LabelForms forms = labelForms(L"cpu17", 100);
    EXPECT_EQ(forms, (LabelForms{L"cpu17: 100%", L"cpu17:100%", L"17:100%"}));
    for (const Row& row : rows) {
        int measured = 0;
        const FormWidth widthOf = [&](std::size_t form) {
            ++measured;
            return row.widths[form];
        };
        EXPECT_EQ(fittingForm(58, widthOf), row.chosen) << row.name;
        EXPECT_EQ(measured, row.measured) << row.name;
    }
}
