// The year's monthly pay (bars, left scale) and income tax (line, right
// scale), drawn with QPainter.
#pragma once

#include <QWidget>
#include <array>

#include "desk/month_data.h"

namespace payroll::desk {

class YearChart : public QWidget {
  public:
    explicit YearChart(QWidget* parent = nullptr);

    void Show(const QString& year, const std::array<MonthFigures, 12>& months);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString year_;
    std::array<MonthFigures, 12> months_{};
};

// A round top for a scale holding `value` (1, 2 or 5 times a power of ten).
double ScaleTop(double value);

}  // namespace payroll::desk
