// A progress bar as the library draws it: the done part filled with a
// gradient from the start colour to the end colour, the percentage in the
// middle when the bar shows it, in a colour that reads on what is under it.
#pragma once

#include <QWidget>

#include "payroll/ui.h"

namespace payroll::qt {

// Black or white, whichever reads on `back`.
QColor TextOver(const QColor& back);

class GradientBar : public QWidget {
  public:
    explicit GradientBar(QWidget* parent = nullptr);

    void SetInfo(const payroll::ui::ProgressInfo& info);
    const payroll::ui::ProgressInfo& Info() const { return info_; }
    // The gradient's colour at a fraction of the bar's width (0 to 1).
    QColor GradientAt(double at) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    payroll::ui::ProgressInfo info_;
};

}  // namespace payroll::qt
