#include "platform/ui/gradient_progress.h"

#include <algorithm>

#include "platform/ui/afx.h"
#include "platform/ui/velo_dialog.h"

void CG_GradientProgressCtrl::Report() {
    if (!GetSafeHwnd()) return;
    payroll::ui::UiDialog* dialog = payroll::ui::DialogOf(GetParent());
    int id = GetDlgCtrlID();
    payroll::ui::ProgressInfo info = info_;
    payroll::ui::CallDriver([&](payroll::ui::UiDriver& d) { d.ProgressChanged(dialog, id, info); });
}

void CG_GradientProgressCtrl::SetRange(int lower, int upper) {
    info_.lower = lower;
    info_.upper = std::max(lower, upper);
    info_.pos = std::clamp(info_.pos, info_.lower, info_.upper);
    Report();
}

int CG_GradientProgressCtrl::SetPos(int pos) {
    int old = info_.pos;
    info_.pos = std::clamp(pos, info_.lower, info_.upper);
    Report();
    return old;
}

void CG_GradientProgressCtrl::SetStartColor(COLORREF color) {
    info_.start_color = color;
    Report();
}

void CG_GradientProgressCtrl::SetEndColor(COLORREF color) {
    info_.end_color = color;
    Report();
}

void CG_GradientProgressCtrl::ShowPercent(BOOL show) {
    info_.show_percent = show != FALSE;
    Report();
}
