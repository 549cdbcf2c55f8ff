#include "engine/tax/exemptions.h"

namespace payroll::exemptions {
namespace {

// Sums gathered over the rows before the limits on totals apply.
struct Sums {
    double taxable = 0;   // X
    double other = 0;     // E
    double overtime = 0;  // O: class "001"
    double class002 = 0;  // K
};

// A row's amount against a per-row limit: the excess is taxable.
void PerRowLimit(double amount, double limit, Sums* s) {
    if (amount > limit) {
        s->taxable += amount - limit;
        s->other += limit;
    } else {
        s->other += amount;
    }
}

}  // namespace

Totals Classify(const std::vector<PayRow>& rows, const Limits& limits,
                const std::string& employee_type, const std::function<double()>& night_total) {
    Totals t;
    Sums s;
    for (const PayRow& row : rows) {
        if (row.code == "P00")
            t.salary += row.amount;
        else if (row.code == "V00")
            t.bonus += row.amount;
        if (row.code.empty() || row.tax_flag.empty()) continue;

        if (row.tax_flag == "001") {
            if (!row.pay_type.empty() && row.pay_type[0] == '2')
                t.bonus_taxable += row.amount;
            else
                s.taxable += row.amount;
            continue;
        }
        const std::string_view c = row.exempt_class;
        if (c == "001")
            s.overtime += row.amount;
        else if (c == "002")
            s.class002 += row.amount;
        else if (c == "003")
            PerRowLimit(row.amount, limits.class003, &s);
        else if (c == "004")
            PerRowLimit(row.amount, limits.class004, &s);
        else if (c == "005")
            PerRowLimit(row.amount, limits.class005, &s);
        else if (c == "006")
            t.class006 += row.amount;
        else
            s.other += row.amount;
    }

    // The overtime ceiling is weighed on taxable pay plus all class-002 pay,
    // before the class-002 limit moves part of it to the taxable side.
    const double ceiling_base = s.class002 + s.taxable;

    double taxable = s.taxable;
    if (s.class002 > limits.class002) {
        taxable += s.class002 - limits.class002;
        s.other += limits.class002;
    } else {
        s.other += s.class002;
    }

    const double o = s.overtime;
    if (employee_type != "002" || ceiling_base > limits.overtime_ceiling) {
        taxable += o;
    } else {
        const double n = night_total ? night_total() : 0;
        const double l1 = limits.overtime_yearly;
        if (n + o <= l1) {
            t.exempt_overtime += o;
        } else if (n <= l1) {
            t.exempt_overtime += l1 - n;
            taxable += n + o - l1;
        } else {
            taxable += o;
        }
    }

    t.taxable = taxable;
    t.other_exempt = s.other;
    return t;
}

}  // namespace payroll::exemptions
