#include "front/emp_form_grid.h"

#include "front/emp_form_layout.h"
#include "platform/lang/lang_util.h"

namespace payroll::front {

UiForm::~UiForm() = default;

const UiForm* FindForm(payroll::ui::UiDialog& dialog, int control_id) {
    try {
        CWnd* window = dialog.Window();
        if (!window) return nullptr;
        for (int i = 0; i < window->GetChildCount(); ++i) {
            CWnd* child = window->GetChildAt(i);
            if (!child || !child->GetSafeHwnd()) continue;
            if (control_id != 0 && child->GetDlgCtrlID() != control_id) continue;
            if (auto* form = dynamic_cast<const UiForm*>(child)) return form;
        }
    } catch (...) {
    }
    return nullptr;
}

}  // namespace payroll::front

BOOL CEmpFormGrid::CreateForm(CWnd* parent, UINT id) {
    using payroll::front::kFormRows;
    if (!Init(kFormRows)) return FALSE;
    if (!Create(CRect(0, 0, 0, 0), parent, id, 0, WS_CHILD | WS_VISIBLE)) return FALSE;
    for (int row = 0; row < kFormRows; ++row) {
        InitCols(row, payroll::front::kFormColCounts[static_cast<std::size_t>(row)], 0);
        const auto& cells = payroll::front::FormRow(row);
        for (int col = 0; col < GetColCount(row) && col < static_cast<int>(cells.size()); ++col) {
            const payroll::front::FormCell& cell = cells[static_cast<std::size_t>(col)];
            CString text =
                cell.label ? TheLangUtil().GetLangString(cell.label) : CString(cell.mask);
            SetMaskAttr(row, col, text.c_str(), 0);
            SetTextFormat(row, col, kTextFormat, TRUE);
        }
    }
    for (int row : payroll::front::kFormHeadingRows) SetBoxType(row, 0, kHeadingBox, TRUE);
    EnlargeHeading(0);
    CalcTopBottom(1, kRowMinHeight);
    EnlargeHeading(9);
    CalcTopBottom(10, kRowMinHeight);
    EnlargeHeading(14);
    CalcTopBottom(9, kHeadingMinHeight);
    CalcTopBottom(14, kHeadingMinHeight);
    return TRUE;
}

void CEmpFormGrid::EnlargeHeading(int row) {
    CRect r;
    if (!GetRect(row, 0, &r)) return;
    r.bottom += kHeadingExtra;
    SetRect(row, 0, r);
}

bool CEmpFormGrid::IsHeading(int row) const {
    return GetColCount(row) == 1 && GetBoxType(row, 0) == kHeadingBox;
}

bool CEmpFormGrid::IsLabel(int row, int col) const {
    if (col < 0 || col >= GetColCount(row)) return false;
    CString mask = GetMaskAttr(row, col);
    return mask.IsEmpty() || mask.GetAt(0) != '@';
}
