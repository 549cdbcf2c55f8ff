// CG_GradientProgressCtrl: a progress bar drawn with a colour gradient and
// an optional percentage. Every change is reported to the UI driver, with
// the dialog the bar belongs to.
#pragma once

#include "payroll/ui.h"
#include "payroll/wnd.h"

class CG_GradientProgressCtrl : public CWnd {
  public:
    // The range; an upper bound below the lower one is taken as equal to it.
    void SetRange(int lower, int upper);
    void GetRange(int& lower, int& upper) const {
        lower = info_.lower;
        upper = info_.upper;
    }
    // Moves the bar (kept inside the range); returns the old position.
    int SetPos(int pos);
    int GetPos() const { return info_.pos; }
    void SetStartColor(COLORREF color);
    void SetEndColor(COLORREF color);
    void ShowPercent(BOOL show = TRUE);
    BOOL IsShowingPercent() const { return info_.show_percent; }
    const payroll::ui::ProgressInfo& info() const { return info_; }

  private:
    void Report();
    payroll::ui::ProgressInfo info_;
};
