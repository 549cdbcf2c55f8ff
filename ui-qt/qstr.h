// The library's UTF-8 texts as QStrings.
#pragma once

#include <QString>

#include "payroll/cstring.h"

namespace payroll::qt {

inline QString QStr(const CString& text) {
    return QString::fromUtf8(text.c_str());
}

}  // namespace payroll::qt
