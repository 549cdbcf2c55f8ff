#include "ui-qt/gradient_bar.h"

#include <QLinearGradient>
#include <QPainter>

#include "ui-qt/win_codes.h"

namespace payroll::qt {

GradientBar::GradientBar(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(12);
}

void GradientBar::SetInfo(const payroll::ui::ProgressInfo& info) {
    info_ = info;
    update();
}

void GradientBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    p.fillRect(frame, palette().base());
    const int percent = info_.Percent();
    const int done = frame.width() * percent / 100;
    if (done > 0) {
        // The gradient spans the whole bar, so its colours stay put as it grows.
        QLinearGradient gradient(frame.topLeft(), frame.topRight());
        gradient.setColorAt(0, ColorOf(info_.start_color));
        gradient.setColorAt(1, ColorOf(info_.end_color));
        p.fillRect(QRect(frame.left(), frame.top(), done, frame.height()), gradient);
    }
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(frame);
    if (info_.show_percent) {
        p.setPen(palette().color(QPalette::Text));
        p.drawText(frame, Qt::AlignCenter, QString::number(percent) + QLatin1Char('%'));
    }
}

}  // namespace payroll::qt
