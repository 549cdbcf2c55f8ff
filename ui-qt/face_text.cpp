#include "ui-qt/face_text.h"

#include <QRegularExpression>

#include "payroll/settings.h"

namespace payroll::qt {

QString Text(FaceText text) {
    const bool english = payroll::UserLanguage() == 1;
    switch (text) {
        case FaceText::kOverallBar:
            return english ? QStringLiteral("Overall") : QStringLiteral("전체");
        case FaceText::kEmployeeBar:
            return english ? QStringLiteral("Employee") : QStringLiteral("직원");
        case FaceText::kElapsed:
            return english ? QStringLiteral("Elapsed %1") : QStringLiteral("경과 시간 %1");
        case FaceText::kShowResident:
            return english ? QStringLiteral("Show resident no.")
                           : QStringLiteral("주민등록번호 보기");
        case FaceText::kHideResident:
            return english ? QStringLiteral("Hide resident no.")
                           : QStringLiteral("주민등록번호 가리기");
        case FaceText::kMaskedResident:
            break;
    }
    return english
               ? QStringLiteral("Masked: double-click or press Show resident no. to see it")
               : QStringLiteral("가려져 있습니다: 두 번 누르거나 [주민등록번호 보기]를 누르십시오");
}

bool IsResidentNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\d{6}-\\d{7}$"));
    return number.match(text.trimmed()).hasMatch();
}

QString MaskResidentNumber(const QString& text) {
    if (!IsResidentNumber(text)) return text;
    const QString trimmed = text.trimmed();
    return trimmed.left(8) + QString(6, QLatin1Char('*'));
}

}  // namespace payroll::qt
