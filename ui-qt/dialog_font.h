// The font of the library's windows, and how much bigger than the dialog
// templates' base units it makes them.
#pragma once

#include <QFont>

namespace payroll::qt {

// A font with Hangul: NanumGothic or Noto Sans CJK KR when installed, else
// the application's font.
QFont DialogFont();

// Template pixels (6 by 13 per character) to this font's pixels: never
// below 1, so templates only grow.
double TemplateScale(const QFont& font);

}  // namespace payroll::qt
