#include "cli/commands/host_common.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "cli/commands/run_options.h"
#include "payroll/datasource.h"
#include "payroll/diagnostics.h"
#include "payroll/imirak1.h"
#include "payroll/roads.h"
#include "payroll/salary_calcurate.h"

namespace payroll::cli {
namespace {

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::kCommitted:
            return "committed";
        case Outcome::kRolledBack:
            return "rolled back";
        case Outcome::kFailed:
            break;
    }
    return "failed";
}

}  // namespace

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Won(double amount) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.0f", amount);
    std::string text = digits;
    const long first = text[0] == '-' ? 1 : 0;
    for (long at = static_cast<long>(text.size()) - 3; at > first; at -= 3)
        text.insert(static_cast<std::size_t>(at), ",");
    return text;
}

std::string FailureText() {
    const EngineFailure failure = LastEngineFailure();
    std::string why = failure.step;
    if (!failure.detail.empty()) why += (why.empty() ? "" : ": ") + failure.detail;
    return why;
}

bool PickRun(const std::string& company, const std::string& month, int run, HPHONPD_YMD_FMT* key) {
    *key = MonthKey(company, month);
    key->SEL_NO = kUntouched;
    CIMirak1 front;
    front.SearchMirak(key, 0, run);
    const std::int32_t place = key->SEL_NO;  // copied: the key is packed
    if (place == kUntouched) {
        std::fprintf(stderr, "payroll: the runs of %s %s could not be read: %s\n", company.c_str(),
                     month.c_str(), QueryFailure().c_str());
        return false;
    }
    if (place != run || key->CO_CD.IsEmpty()) {
        std::fprintf(stderr, "payroll: %s %s has no run %d (see: payroll runs)\n", company.c_str(),
                     month.c_str(), run);
        return false;
    }
    // The picker leaves the join rule out: the run's own row supplies both
    // rule codes, so the company's strict rules apply.
    std::string error;
    if (!ApplyRunRules(key, &error)) {
        std::fprintf(stderr, "payroll: the rules of run %d of %s %s could not be read: %s\n", run,
                     company.c_str(), month.c_str(), error.c_str());
        return false;
    }
    return true;
}

nlohmann::json ReportFigures(const RoadReport& report) {
    nlohmann::json tables = nlohmann::json::object();
    for (const auto& [name, t] : report.tables)
        tables[name] = {{"inserted", t.inserted}, {"updated", t.updated}, {"deleted", t.deleted}};
    return {{"runs", report.runs},
            {"employees", report.employees},
            {"results_stored", report.results_stored},
            {"inserted", report.Inserted()},
            {"updated", report.Updated()},
            {"deleted", report.Deleted()},
            {"tables", tables}};
}

int Conclude(const GlobalOptions& options, const std::string& label, Outcome outcome,
             const std::string& text, const nlohmann::json& figures) {
    if (options.json) {
        nlohmann::json line = {
            {"road", label}, {"outcome", OutcomeName(outcome)}, {"message", text}};
        for (const auto& [name, value] : figures.items()) line[name] = value;
        std::printf("%s\n",
                    line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
    } else {
        std::fprintf(outcome == Outcome::kCommitted ? stdout : stderr, "%s: %s\n", label.c_str(),
                     text.c_str());
    }
    std::fflush(stdout);
    return outcome == Outcome::kCommitted ? kOk : kFailed;
}

}  // namespace payroll::cli
