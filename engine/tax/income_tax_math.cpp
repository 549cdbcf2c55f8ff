#include "engine/tax/income_tax_math.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/text/number_parse.h"

namespace payroll::tax {
namespace {

double Number(std::string_view text) {
    return payroll::text::NumberOf(text);
}

}  // namespace

double MonthlyTaxBase(double taxable_pay, double taxable_bonus, double r_deductions,
                      std::string_view refr_yn, std::string_view dummy2, std::string_view dummy3) {
    double base = taxable_pay + taxable_bonus - r_deductions;
    std::string_view extra = refr_yn == "001" ? dummy3 : dummy2;
    if (!extra.empty()) base -= Number(extra);
    return base;
}

double RateBracketTax(double base, double rate, double subtracted) {
    return rate > 0 ? rate * base - subtracted : 0.0;
}

bool InCreditBracket(double amount, const CreditBracket& bracket) {
    return bracket.start < amount && (amount <= bracket.end || bracket.end == 0);
}

double CreditAmount(double amount, const std::vector<CreditBracket>& brackets, bool monthly) {
    double result = 0;
    for (const CreditBracket& b : brackets) {
        if (!InCreditBracket(amount, b)) continue;
        double value = b.base + b.rate * (amount - b.start);
        if (monthly) {
            result = value / 12;
            if (b.ceiling / 12 < result) result = b.ceiling / 12;
        } else {
            result = value;
            if (b.ceiling < result) result = b.ceiling;
        }
        break;
    }
    return monthly ? result : std::floor(result);
}

}  // namespace payroll::tax
