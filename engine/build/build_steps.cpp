#include "engine/build/build_steps.h"

#include "engine/common/messages.h"
#include "platform/lang/lang_util.h"

namespace payroll::build {

bool ValidTableSet(int table_set) {
    return table_set >= 0 && table_set <= 2;
}

Status CheckTableSet(int table_set) {
    if (ValidTableSet(table_set)) return Status();
    const CString text = lang::FormatLangText(kNoSuchTableSet, {table_set});
    engine::ShowMessage(text);
    return Status::Refused("table set", text.str());
}

std::string TableOf(const CSalaryCalcurate& engine, int kind) {
    if (!ValidTableSet(engine.m_nTableSet) || (kind != 1 && kind != 2)) return "";
    return engine.m_strTable[2 * engine.m_nTableSet + kind - 1].str();
}

bool ReserveRowText(CSalaryCalcurate& engine, int position) {
    if (position < 0 || position >= CSalaryCalcurate::kMaxRosterEmployees) return false;
    for (auto& texts : engine.m_strRowSQL)
        if (texts.size() <= static_cast<std::size_t>(position)) texts.resize(position + 1);
    return true;
}

}  // namespace payroll::build
