#include "ui-qt/dialog_font.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <algorithm>

namespace payroll::qt {

QFont DialogFont() {
    QFont font = QApplication::font();
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"NanumGothic", "Noto Sans CJK KR", "Noto Sans KR", "UnDotum"}) {
        if (families.contains(QLatin1String(name))) {
            font.setFamily(QLatin1String(name));
            break;
        }
    }
    return font;
}

double TemplateScale(const QFont& font) {
    const QFontMetrics metrics(font);
    const double wide = metrics.averageCharWidth() / 6.0;
    const double tall = metrics.height() / 13.0;
    return std::max(1.0, std::max(wide, tall));
}

}  // namespace payroll::qt
