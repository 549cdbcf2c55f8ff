// Helpers on the pay-run key record.
#pragma once

#include "payroll/records.h"

namespace payroll::run_key {

// Re-writes every text field through its fixed-width setter, so a key that
// arrived with unterminated fields or a character cut at a field's edge is
// made whole before anything reads it.
void Normalize(HPHONPD_YMD_FMT* key);

}  // namespace payroll::run_key
