// The user's settings the library reads, for hosts that show texts of their
// own beside the library's.
#pragma once

#include "payroll/export.h"

namespace payroll {

// The language of the library's texts for this user, as the registry file
// sets it (LangKind): 0 Korean (also when nothing is set), 1 English.
PAYROLL_API int UserLanguage();

}  // namespace payroll
