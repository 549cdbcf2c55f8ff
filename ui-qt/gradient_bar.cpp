#include "ui-qt/gradient_bar.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui-qt/win_codes.h"

namespace payroll::qt {

GradientBar::GradientBar(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(12);
}

void GradientBar::SetInfo(const payroll::ui::ProgressInfo& info) {
    info_ = info;
    update();
}

QColor GradientBar::GradientAt(double at) const {
    const QColor a = ColorOf(info_.start_color), b = ColorOf(info_.end_color);
    auto mix = [at](int from, int to) {
        return static_cast<int>(std::lround(from + (to - from) * std::clamp(at, 0.0, 1.0)));
    };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

QColor TextOver(const QColor& back) {
    // Relative luminance by the usual weights; below the middle, white reads.
    const double light = 0.299 * back.red() + 0.587 * back.green() + 0.114 * back.blue();
    return light < 150 ? QColor(Qt::white) : QColor(Qt::black);
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
        // Over the filled part the figure takes the colour that stands out
        // from the gradient under it (white on the dark end), elsewhere the
        // palette's text: never dark text on a dark bar.
        const QString text = QString::number(percent) + QLatin1Char('%');
        const QRect filled(frame.left(), frame.top(), done, frame.height() + 1);
        p.save();
        p.setClipRect(filled);
        p.setPen(TextOver(GradientAt(0.5)));
        p.drawText(frame, Qt::AlignCenter, text);
        p.restore();
        p.save();
        p.setClipRect(
            QRect(frame.left() + done, frame.top(), frame.width() - done + 1, frame.height() + 1));
        p.setPen(palette().color(QPalette::Text));
        p.drawText(frame, Qt::AlignCenter, text);
        p.restore();
    }
}

}  // namespace payroll::qt
