// A payslip's pay lines split into their exempt and taxable parts: the
// month's results hold the exempt pay by class only (EWTE_AM overtime,
// AITE_AM class 006, ETTE_AM the rest), so each line gets the part its class
// allowed, capped as the engine caps the class, and the class totals stay
// exactly the stored ones. Pure arithmetic. Internal to the papers module.
#pragma once

#include <vector>

#include "payroll/papers.h"

namespace payroll::papers::detail {

// The company's 'PC' limits the split caps by.
struct ExemptLimits {
    double class002 = 0;  // on the class's total of the month
    double class003 = 0;  // on each line
    double class004 = 0;
    double class005 = 0;
};

// The stored exempt totals of the employee's run.
struct ExemptTotals {
    double overtime = 0;  // EWTE_AM: class 001
    double class006 = 0;  // AITE_AM
    double other = 0;     // ETTE_AM: classes 002 to 005 and any other
};

// One part per line of `pay`: a taxable line is taxable whole; the exempt
// lines of a class share the class's stored total in item order (each up to
// what its limit allows), and the rest of each line is taxable.
std::vector<Payslip::PayDetail> SplitExempt(const std::vector<PaperLine>& pay,
                                            const ExemptLimits& limits, const ExemptTotals& totals);

}  // namespace payroll::papers::detail
