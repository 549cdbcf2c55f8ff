// The monthly withholding return for earned income: what the runs paid in a
// month withheld, line by line as the form lists it, through the one
// reading of their months.
#include <set>

#include "papers/paper_source.h"
#include "payroll/papers.h"
#include "payroll/reading.h"

namespace payroll::papers {
namespace {

// The labels of the return (the language files' texts).
constexpr int kTitleMonthly = 1189, kTitleLeavers = 1190, kTitleDaily = 1191,
              kTitleSettlement = 1192, kTitleTotal = 1193;

void Add(const reading::ResultLine& from, ReturnLine* to) {
    to->pay += from.gross;
    to->income_tax += from.income_tax;
    to->resident_tax += from.resident_tax;
}

}  // namespace

bool ReadWithholdingReturn(const PaperQuery& query, WithholdingReturn* out, std::string* error) {
    *out = WithholdingReturn{};
    std::string ignored;
    if (!error) error = &ignored;
    if (!detail::CheckQuery(query, false, error)) return false;
    const std::string& paid = query.period;
    G_DataSource months, retired;
    if (!detail::Select(
            "SELECT DISTINCT RVRS_YM FROM HPHPYFQ WHERE CO_CD=" + SqlQuoted(query.company) +
                " AND PAY_DT LIKE " + SqlQuoted(paid + "%") + " ORDER BY RVRS_YM",
            "the runs paid", &months, error) ||
        !detail::Select("SELECT EMP_CD FROM SEMP WHERE CO_CD=" + SqlQuoted(query.company) +
                            " AND RTR_DT LIKE " + SqlQuoted(paid + "%"),
                        "the employees who left", &retired, error))
        return false;
    std::set<std::string> leavers;
    for (long r = 0; r < retired.OnGetRecordCount(); ++r)
        leavers.insert(retired.OnGetFieldValue("EMP_CD", r).str());

    out->company = query.company;
    out->payment_month = paid;
    const int lang = query.language;
    ReturnLine monthly{"A01", PaperText(lang, kTitleMonthly)};
    ReturnLine left{"A02", PaperText(lang, kTitleLeavers)};
    ReturnLine daily{"A03", PaperText(lang, kTitleDaily)};
    ReturnLine settlement{"A04", PaperText(lang, kTitleSettlement)};
    daily.computed = settlement.computed = false;
    std::set<std::string> monthly_people, left_people;
    for (long m = 0; m < months.OnGetRecordCount(); ++m) {
        const std::string month = months.OnGetFieldValue("RVRS_YM", m).str();
        reading::MonthResults results;
        if (!reading::ReadMonthResults(query.company, month, 0, lang, &results, error))
            return false;
        bool any = false;
        for (const reading::ResultLine& line : results.lines) {
            if (line.pay_date.rfind(paid, 0) != 0) continue;  // paid in another month
            any = true;
            const bool leaver = leavers.count(line.employee) > 0;
            Add(line, leaver ? &left : &monthly);
            (leaver ? left_people : monthly_people).insert(line.employee);
        }
        if (any) out->attribution_months.push_back(month);
    }
    if (out->attribution_months.empty()) {
        *error = "no runs with results of company " + query.company + " were paid in " + paid +
                 " (has the income tax been calculated?)";
        return false;
    }
    monthly.people = static_cast<long>(monthly_people.size());
    left.people = static_cast<long>(left_people.size());
    ReturnLine total{"A10", PaperText(lang, kTitleTotal)};
    for (const ReturnLine* line : {&monthly, &left, &daily, &settlement}) {
        total.people += line->people;
        total.pay += line->pay;
        total.income_tax += line->income_tax;
        total.resident_tax += line->resident_tax;
    }
    out->lines = {monthly, left, daily, settlement, total};
    out->note = lang == 1
                    ? "A02 holds what was withheld in the month from those who left in it; their "
                      "mid-year settlement, daily workers (A03) and the year-end settlement (A04) "
                      "are not computed by this program and show 0."
                    : "A02는 그 달에 퇴사한 사람에게서 원천징수한 금액이며, 중도퇴사 정산과 "
                      "일용근로(A03), 연말정산(A04)은 이 프로그램이 계산하지 않아 0으로 "
                      "표시합니다.";
    return true;
}

}  // namespace payroll::papers
