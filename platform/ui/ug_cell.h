// CG_UGCell: one cell of a list grid: its data type, text or number, mask and
// alignment.
#pragma once

#include "payroll/cstring.h"
#include "payroll/wnd.h"

// Cell data types: 1 and 4 hold text, 2, 3 and 5 numbers.
inline constexpr int UGCELLDATA_STRING = 1, UGCELLDATA_NUMBER = 2, UGCELLDATA_BOOL = 3,
                     UGCELLDATA_TIME = 4, UGCELLDATA_CURRENCY = 5;

class CG_UGCell {
  public:
    int GetDataType() const { return data_type_; }
    void SetDataType(int type) { data_type_ = type; }

    // Text of the cell (for a number cell, the number as set or "%g").
    const char* GetText() const { return text_.c_str(); }
    int GetTextLength() const { return text_.GetLength(); }
    void SetText(const char* text);

    // The cell's value as a number: the number set, else the text read as a
    // decimal number (0 when it is none).
    double GetNumber() const;
    int GetNumber(double* number) const;  // UG_SUCCESS (0)
    void SetNumber(double number);

    const char* GetMask() const { return mask_.c_str(); }
    void SetMask(const char* mask) { mask_ = mask ? mask : ""; }
    int GetAlignment() const { return alignment_; }
    void SetAlignment(int alignment) { alignment_ = alignment; }
    COLORREF GetBackColor() const { return back_color_; }
    void SetBackColor(COLORREF color) { back_color_ = color; }

    void ClearAll() { *this = CG_UGCell(); }

  private:
    int data_type_ = UGCELLDATA_STRING;
    CString text_;
    double number_ = 0;
    bool has_number_ = false;
    CString mask_;
    int alignment_ = 0;
    COLORREF back_color_ = 0xFFFFFFFF;  // none: the grid's default background
};
