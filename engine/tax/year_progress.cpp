#include "engine/tax/year_progress.h"

#include "platform/ui/progress_dialog.h"

namespace payroll::engine {
namespace {

constexpr COLORREF kStartColor = 0x80DC00;
constexpr COLORREF kEndColor = 0x800000;

}  // namespace

YearProgress::YearProgress(CWnd* parent) : parent_(parent) {}

YearProgress::~YearProgress() {
    Close();
}

void YearProgress::Open(int runs) {
    dialog_ = std::make_unique<CProgressDlg>(parent_);
    if (!dialog_->Open()) {
        dialog_.reset();
        return;
    }
    dialog_->ShowWindow(SW_SHOW);
    for (int bar = 0; bar < 2; ++bar) {
        dialog_->Bar(bar).SetStartColor(kStartColor);
        dialog_->Bar(bar).SetEndColor(kEndColor);
    }
    dialog_->Bar(0).SetRange(0, runs + 1);
    dialog_->Bar(0).ShowPercent(TRUE);
}

void YearProgress::RunStarted(int i) {
    if (dialog_) dialog_->Bar(0).SetPos(i + 1);
}

void YearProgress::SetEmployeeRange(int upper) {
    if (!dialog_) return;
    dialog_->Bar(1).SetRange(0, upper);
    if (!employee_percent_on_) {
        dialog_->Bar(1).ShowPercent(TRUE);
        employee_percent_on_ = true;
    }
}

void YearProgress::SetEmployees(int employees) {
    SetEmployeeRange(employees + 1);
}

void YearProgress::EmployeeStarted(int j, const CString& line) {
    if (!dialog_) return;
    dialog_->Bar(1).SetPos(j + 1);
    dialog_->SetText(line.c_str());
}

void YearProgress::NoEmployees(const CString& line) {
    if (!dialog_) return;
    dialog_->SetText(line.c_str());
    SetEmployeeRange(100);
    dialog_->Bar(1).SetPos(100);
}

void YearProgress::Close() {
    if (!dialog_) return;
    dialog_->Close();
    dialog_.reset();
}

}  // namespace payroll::engine
