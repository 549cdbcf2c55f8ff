#include "desk/year_chart.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "desk/desk_text.h"
#include "desk/results_view.h"

namespace payroll::desk {
namespace {

const QColor kPayColour(70, 120, 190);
const QColor kBonusColour(120, 175, 95);
const QColor kTaxColour(200, 70, 60);
constexpr int kTicks = 5;

}  // namespace

double ScaleTop(double value) {
    if (!(value > 0) || !std::isfinite(value)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double step : {1.0, 2.0, 5.0, 10.0})
        if (value <= step * power) return step * power;
    return 10 * power;
}

YearChart::YearChart(QWidget* parent) : QWidget(parent) {
    setMinimumSize(480, 280);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void YearChart::Show(const QString& year, const std::array<MonthFigures, 12>& months) {
    year_ = year;
    months_ = months;
    update();
}

void YearChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics fm(font());
    double most_pay = 0, most_tax = 0;
    for (const MonthFigures& m : months_) {
        most_pay = std::max(most_pay, m.pay + m.bonus);
        most_tax = std::max(most_tax, m.income_tax);
    }
    const double pay_top = ScaleTop(most_pay), tax_top = ScaleTop(most_tax);
    const int left = fm.horizontalAdvance(Won(pay_top)) + 16;
    const int right = fm.horizontalAdvance(Won(tax_top)) + 16;
    const int top = fm.height() * 2 + 12;
    const QRect plot(left, top, std::max(10, width() - left - right),
                     std::max(10, height() - top - fm.height() - 14));

    // Title and legend.
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRect(0, 4, width(), fm.height()), Qt::AlignCenter,
               Tr(kChart) + QStringLiteral(" ") + year_);
    const int legend_y = 8 + fm.height();
    int x = plot.left();
    p.fillRect(x, legend_y + 3, 12, fm.height() - 6, kPayColour);
    p.drawText(x + 16, legend_y + fm.ascent(), Tr(kChartPay));
    x += 32 + fm.horizontalAdvance(Tr(kChartPay));
    p.fillRect(x, legend_y + 3, 12, fm.height() - 6, kBonusColour);
    p.drawText(x + 16, legend_y + fm.ascent(), Tr(kChartBonus));
    x += 32 + fm.horizontalAdvance(Tr(kChartBonus));
    p.setPen(QPen(kTaxColour, 2));
    p.drawLine(x, legend_y + fm.height() / 2, x + 12, legend_y + fm.height() / 2);
    p.setPen(palette().color(QPalette::Text));
    p.drawText(x + 16, legend_y + fm.ascent(), Tr(kChartTax));

    // Scales: pay on the left, tax on the right.
    for (int t = 0; t <= kTicks; ++t) {
        const int y = plot.bottom() - plot.height() * t / kTicks;
        p.setPen(QPen(palette().color(QPalette::Midlight), 1, Qt::DotLine));
        p.drawLine(plot.left(), y, plot.right(), y);
        p.setPen(kPayColour.darker(130));
        p.drawText(QRect(0, y - fm.height() / 2, left - 6, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, Won(pay_top * t / kTicks));
        p.setPen(kTaxColour.darker(120));
        p.drawText(QRect(plot.right() + 6, y - fm.height() / 2, right - 6, fm.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, Won(tax_top * t / kTicks));
    }
    p.setPen(palette().color(QPalette::Text));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());

    const double slot = plot.width() / 12.0;
    QPainterPath tax_line;
    for (int m = 0; m < 12; ++m) {
        const double cx = plot.left() + slot * (m + 0.5);
        // The bonus runs' pay stacked on the salary runs'.
        const double bar_h = plot.height() * months_[m].pay / pay_top;
        const double bonus_h = plot.height() * months_[m].bonus / pay_top;
        p.fillRect(QRectF(cx - slot * 0.3, plot.bottom() - bar_h, slot * 0.6, bar_h), kPayColour);
        p.fillRect(QRectF(cx - slot * 0.3, plot.bottom() - bar_h - bonus_h, slot * 0.6, bonus_h),
                   kBonusColour);
        const QPointF tax(cx, plot.bottom() - plot.height() * months_[m].income_tax / tax_top);
        if (m == 0)
            tax_line.moveTo(tax);
        else
            tax_line.lineTo(tax);
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QRectF(cx - slot / 2, plot.bottom() + 4, slot, fm.height()), Qt::AlignCenter,
                   QString::number(m + 1));
    }
    p.setPen(QPen(kTaxColour, 2));
    p.drawPath(tax_line);
    p.setBrush(kTaxColour);
    for (int m = 0; m < 12; ++m) p.drawEllipse(tax_line.elementAt(m), 3, 3);
}

}  // namespace payroll::desk
