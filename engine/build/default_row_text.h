// The statement texts of the default-row build: one INSERT per missing pay
// or deduction row, their grouping into batches, the default-amount update
// and the removal of statutory deductions from the run's other pay types.
// Pure text building; every quoted value is escaped and every unquoted
// amount is a number.
#pragma once

#include <string>
#include <string_view>

namespace payroll::default_rows {

// An amount as it may stand unquoted in a statement: a plain decimal number
// stays as it is, an empty text is "0", anything else is read as atof does
// and written with four decimals.
std::string SqlNumber(std::string_view text);

// The default amount of a deduction row: the employee's pension amount for
// "S00" and health-insurance amount for "S10" when he has pay amounts in the
// run (flag set); otherwise, or when that amount is empty, "0".
std::string DefaultAmount(std::string_view code, int pay_amount_flag, std::string_view pension,
                          std::string_view health);

// The statutory deductions, written only under the first pay type of a
// combined run.
bool IsStatutoryDeduction(std::string_view code);

// The values of one row; they view texts the caller keeps alive.
struct RowValues {
    std::string_view table;  // with its trailing blank, as the table names are kept
    std::string_view company, job_group, division, department, project, employee;
    std::string_view month, sq, pay_type, item_class, code, amount, dummy1, dummy2, dummy3;
};

// The INSERT text of one row of kind 1 (pay) or 2 (deduction), ending in a
// line break, appended to *out (the build writes millions of them).
void AppendInsertText(int kind, const RowValues& v, std::string* out);
std::string InsertText(int kind, const RowValues& v);

// The update that gives a deduction row without amount its default amount.
std::string DefaultAmountUpdate(const std::string& table, const std::string& amount,
                                const std::string& company, const std::string& employee,
                                const std::string& month, const std::string& pay_type,
                                const std::string& sq, const std::string& code);

// The removal of statutory deduction rows of every pay type but `head`.
std::string StatutoryDeleteText(const std::string& table, const std::string& company,
                                const std::string& month, const std::string& sq,
                                const std::string& head);

// Batches: the first takes 500 employees' texts, every later one 501.
inline constexpr long kFirstBatchTexts = 500;
// The batch of the employee text with this 0-based ordinal.
long BatchOf(long ordinal);
// Batches needed for `texts` employee texts (0 for none).
long BatchesFor(long texts);

}  // namespace payroll::default_rows
