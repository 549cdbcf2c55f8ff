#include "papers/payslip_split.h"

#include <algorithm>

namespace payroll::papers::detail {
namespace {

enum class Bucket { kTaxable, kOvertime, kClass006, kOther };

Bucket BucketOf(const PaperLine& line) {
    if (line.taxable) return Bucket::kTaxable;
    if (line.exemption == "001") return Bucket::kOvertime;
    if (line.exemption == "006") return Bucket::kClass006;
    return Bucket::kOther;
}

// Hands `total` out over the lines in order, each up to its room; what a
// line does not get stays taxable.
void Share(double total, const std::vector<std::size_t>& lines, const std::vector<double>& room,
           std::vector<Payslip::PayDetail>* out) {
    for (std::size_t i : lines) {
        const double part = std::clamp(std::min(total, room[i]), 0.0, room[i]);
        (*out)[i].exempt += part;
        total -= part;
    }
}

}  // namespace

std::vector<Payslip::PayDetail> SplitExempt(const std::vector<PaperLine>& pay,
                                            const ExemptLimits& limits,
                                            const ExemptTotals& totals) {
    std::vector<Payslip::PayDetail> out(pay.size());
    std::vector<std::size_t> overtime, class006, other;
    // What each other-class line may be exempt by its limit; the class-002
    // limit is on the class's total, so its lines use it up in order.
    std::vector<double> allowed(pay.size(), 0);
    double class002_left = limits.class002;
    for (std::size_t i = 0; i < pay.size(); ++i) {
        const PaperLine& line = pay[i];
        const double amount = std::max(line.amount, 0.0);
        switch (BucketOf(line)) {
            case Bucket::kTaxable:
                break;
            case Bucket::kOvertime:
                overtime.push_back(i);
                allowed[i] = amount;
                break;
            case Bucket::kClass006:
                class006.push_back(i);
                allowed[i] = amount;
                break;
            case Bucket::kOther:
                other.push_back(i);
                if (line.exemption == "002") {
                    allowed[i] = std::min(amount, std::max(class002_left, 0.0));
                    class002_left -= allowed[i];
                } else if (line.exemption == "003") {
                    allowed[i] = std::min(amount, limits.class003);
                } else if (line.exemption == "004") {
                    allowed[i] = std::min(amount, limits.class004);
                } else if (line.exemption == "005") {
                    allowed[i] = std::min(amount, limits.class005);
                } else {
                    allowed[i] = amount;
                }
                break;
        }
    }
    Share(totals.overtime, overtime, allowed, &out);
    Share(totals.class006, class006, allowed, &out);
    // The stored total of the other classes is what the limits allowed when
    // the run was calculated; should the lines' limits allow less (a limit
    // changed since), the rest goes on the lines with room left, so that the
    // slip's exempt pay is still the stored figure.
    Share(totals.other, other, allowed, &out);
    double left = totals.other;
    for (std::size_t i : other) left -= out[i].exempt;
    if (left >= 0.5) {
        std::vector<double> room(pay.size(), 0);
        for (std::size_t i : other) room[i] = std::max(pay[i].amount, 0.0) - out[i].exempt;
        Share(left, other, room, &out);
    }
    for (std::size_t i = 0; i < pay.size(); ++i) out[i].taxable = pay[i].amount - out[i].exempt;
    return out;
}

}  // namespace payroll::papers::detail
