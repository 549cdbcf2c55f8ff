// Classification of one employee's pay rows of a run into taxable and exempt
// totals. Pure arithmetic: the engine's taxable-totals step reads the rows,
// the item attributes and the 'PC' limits from the database and hands them
// here.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace payroll::exemptions {

// One pay row with the attributes of its item. An item missing from the
// item definitions has empty attributes. The texts are views: what they
// show (the rows read, the item definitions) outlives the classification.
struct PayRow {
    std::string_view code;          // PAY_CD
    double amount = 0;              // PAY_AM
    std::string_view pay_type;      // PYTP_FG of the item ("2..." marks a bonus-type item)
    std::string_view tax_flag;      // TAX_FG: "001" taxable
    std::string_view exempt_class;  // TXEX_FG of a non-taxable item
};

// The company's 'PC' limit amounts (a missing code counts as 0).
struct Limits {
    double overtime_yearly = 0;  // "001": exempt overtime a year
    double class002 = 0;         // "002": on the month's class total
    double class003 = 0;         // "003" to "005": on each row separately
    double class004 = 0;
    double class005 = 0;
    double overtime_ceiling = 0;  // "007": taxable pay above it loses the overtime exemption
};

struct Totals {
    double taxable = 0;          // TPAY_AM
    double bonus_taxable = 0;    // added to TBON_AM
    double salary = 0;           // SALY_AM: rows of code "P00"
    double bonus = 0;            // BONUS_AM: rows of code "V00"
    double exempt_overtime = 0;  // EWTE_AM
    double class006 = 0;         // AITE_AM
    double other_exempt = 0;     // ETTE_AM
};

// The limit code ("001" ... "007") of each field of Limits, in field order.
inline constexpr const char* kLimitCodes[] = {"001", "002", "003", "004", "005", "007"};

// Classifies the rows. `employee_type` is the employee's HTYP_CD: only type
// "002" may have overtime exempt. `night_total` gives the exempt overtime
// already granted this year outside the run; it is asked only when the
// overtime exemption is actually weighed (type "002", taxable pay plus
// class-002 pay within the ceiling).
Totals Classify(const std::vector<PayRow>& rows, const Limits& limits,
                const std::string& employee_type, const std::function<double()>& night_total);

}  // namespace payroll::exemptions
