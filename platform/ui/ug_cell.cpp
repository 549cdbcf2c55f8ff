#include "platform/ui/ug_cell.h"

#include <cstdio>
#include <cstdlib>

void CG_UGCell::SetText(const char* text) {
    text_ = text ? text : "";
    has_number_ = false;
}

double CG_UGCell::GetNumber() const {
    if (has_number_) return number_;
    return std::strtod(text_.c_str(), nullptr);
}

int CG_UGCell::GetNumber(double* number) const {
    if (number) *number = GetNumber();
    return 0;
}

void CG_UGCell::SetNumber(double number) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", number);
    text_ = buf;
    number_ = number;
    has_number_ = true;
    data_type_ = UGCELLDATA_NUMBER;
}
