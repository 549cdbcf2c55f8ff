// The places of CSalaryCalcurate::m_nRowCount: how many rows of each table
// the engine holds. A settings table's place is also the number of its
// query (GetQueryString).
#pragma once

namespace payroll::engine {

enum RowCountPlace : int {
    kSettingsRows = 0,        // SHCFG, the company's settings row
    kTaxBracketRows = 3,      // HPFSTIA, the year's tax-table brackets
    kBonusParameterRows = 4,  // HPMLBEC, the year's bonus parameters
    kLimitCodeRows = 5,       // SCTRL_D 'PC', the limit codes
    kPayItemRows = 6,         // HPMPDFM, the run's pay-item definitions
    kEmployeeRows = 7,        // m_SEMP_ALL, employee master records
    kRosterRows = 8,          // m_SEMP, the run's roster
    kPayCheckRows = 10,       // m_ChkPay, pay totals per employee
};

}  // namespace payroll::engine
