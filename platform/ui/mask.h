// Cell masks, as the form and list grids carry them:
//   "@E9(0)@M####/##/##@D14@A(DT_CENTER|DT_VCENTER|DT_SINGLELINE)"
// "@EX" marks a text cell and "@E9(n)" a numeric one with n decimals, "@M" a
// picture ('#' takes the next character of the value, anything else is
// shown as it is), "@D" a width, "@A" the alignment. Other tokens ("@Z",
// "@P", "@I") are kept but not read. A text that does not start with '@' is
// no mask: it is a label cell's own text.
#pragma once

#include <string>
#include <string_view>

namespace payroll::ui {

struct CellMask {
    bool is_mask = false;  // false: a label text
    bool numeric = false;  // @E9
    int decimals = 0;      // @E9(n)
    std::string picture;   // @M...
    int width = -1;        // @D
    std::string align;     // @A(...)
};

CellMask ParseMask(std::string_view mask);

// The value as the mask shows it: through the picture when there is one;
// a numeric mask with decimals (or a value with a decimal point) shows the
// number with the mask's decimals; anything else as it is.
std::string ApplyMask(const CellMask& mask, std::string_view value);

}  // namespace payroll::ui
