#include "platform/ui/progress_dialog.h"

#include <algorithm>

CProgressDlg::CProgressDlg(CWnd* parent)
    : CVeloDialog(payroll::ui::kProgressDialogId, parent), parent_(parent) {}

BOOL CProgressDlg::Open() {
    return Create(payroll::ui::kProgressDialogId, parent_);
}

void CProgressDlg::Shrink(int pixels) {
    CRect r;
    GetWindowRect(&r);
    MoveWindow(r.left, r.top, r.Width(), std::max(0, r.Height() - pixels));
}

void CProgressDlg::DoDataExchange(CDataExchange* dx) {
    CVeloDialog::DoDataExchange(dx);
    DDX_Control(dx, payroll::ui::kProgressTextId, m_text);
    DDX_Control(dx, payroll::ui::kProgressBar1Id, m_bar1);
    DDX_Control(dx, payroll::ui::kProgressBar2Id, m_bar2);
}
