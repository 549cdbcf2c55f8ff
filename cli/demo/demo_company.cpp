#include "cli/demo/demo_company.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "payroll/company.h"
#include "payroll/host.h"
#include "payroll/pay_file.h"
#include "payroll/reading.h"
#include "payroll/roads.h"

namespace payroll::cli {
namespace {

namespace fs = std::filesystem;

// The employees of the folder: the lines of employees.csv after its header.
long CountEmployees(const std::string& folder) {
    std::ifstream in(fs::path(folder) / "employees.csv", std::ios::binary);
    long lines = 0;
    for (std::string line; std::getline(in, line);)
        if (line.find_first_not_of('\r') != std::string::npos) ++lines;
    return lines > 0 ? lines - 1 : 0;
}

// Deletes the company's runs of the year, results and all.
bool DeleteYearRuns(const std::string& company, int year, std::string* error) {
    for (int m = 1; m <= 12; ++m) {
        char month[8];
        std::snprintf(month, sizeof month, "%04d%02d", year, m);
        std::vector<HPHONPD_YMD_FMT> runs;
        if (!ListPayRuns(company, month, &runs, error)) return false;
        for (const HPHONPD_YMD_FMT& run : runs)
            if (!folder::DeleteRun(company, month, std::atoi(run.SQ.c_str()), true, error))
                return false;
    }
    return true;
}

const company::PlannedRun* FindRun(const DemoCompany& demo, const HPHONPD_YMD_FMT& key) {
    const int sq = std::atoi(key.SQ.c_str());
    for (const company::PlannedRun& r : demo.runs)
        if (r.month == key.RVRS_YM.Str() && r.sequence == sq) return &r;
    return nullptr;
}

}  // namespace

bool PrepareDemoFolder(int employees, const std::string& folder, DemoCompany* demo,
                       std::string* error) {
    if (employees == 0) {
        demo->folder = (fs::path(ResourceDirectory()) / "demo").string();
    } else {
        demo->generated = true;
        demo->options.employees = employees;
        demo->folder = folder;
        if (demo->folder.empty()) {
            std::string pattern = (fs::temp_directory_path() / "payroll-demo-XXXXXX").string();
            if (!mkdtemp(pattern.data())) {
                *error = "cannot make a temporary folder in " + fs::temp_directory_path().string();
                return false;
            }
            demo->folder = pattern;
        }
        if (!company::WriteCompanyFolder(demo->options, demo->folder, error)) return false;
    }
    if (!company::ReadRunList(demo->folder, &demo->runs, error)) return false;
    if (demo->runs.empty()) {
        *error = demo->folder + "/" + company::kRunsFile + " lists no run";
        return false;
    }
    demo->year = std::atoi(demo->runs.front().month.substr(0, 4).c_str());
    demo->employees = CountEmployees(demo->folder);
    return true;
}

bool ImportDemoCompany(DemoCompany* demo, std::string* error) {
    std::string company;
    const std::vector<folder::Problem> problems = folder::CheckFolder(demo->folder, &company);
    if (!problems.empty()) {
        *error = demo->folder + " is not a company folder:";
        for (const folder::Problem& p : problems) *error += "\n  " + folder::ProblemText(p);
        return false;
    }
    // The year's law as shipped, and no run of the year left from before:
    // the demo's figures are the same on every database.
    if (!company::ReloadYearLaw(demo->year, error) || !DeleteYearRuns(company, demo->year, error))
        return false;
    const folder::ImportResult imported = folder::ImportFolder(demo->folder);
    if (!imported.ok) {
        *error = "importing " + demo->folder + " rolled back: " + imported.error;
        for (const folder::Problem& p : imported.problems)
            *error += "\n  " + folder::ProblemText(p);
        return false;
    }
    demo->company = imported.company;
    for (const company::PlannedRun& r : demo->runs) {
        folder::NewRun run;
        run.company = demo->company;
        run.month = r.month;
        run.pay_date = r.pay_date;
        run.pay_types = r.pay_types;
        run.sequence = r.sequence;
        run.bonus_from = r.bonus_from;
        run.bonus_to = r.bonus_to;
        int sequence = 0;
        if (!folder::CreateRun(run, &sequence, error)) {
            *error = "run new " + r.month + " SQ " + std::to_string(r.sequence) + ": " + *error;
            return false;
        }
    }
    return true;
}

bool HasVariablePay(const DemoCompany& demo, const HPHONPD_YMD_FMT& run) {
    return FindRun(demo, run) != nullptr;
}

bool ImportDemoPay(const DemoCompany& demo, const HPHONPD_YMD_FMT& key, std::string* error) {
    const company::PlannedRun* planned = FindRun(demo, key);
    if (!planned) return true;  // a run the folder does not list has no variable pay
    const std::string path = (fs::path(demo.folder) / planned->pay_file).string();
    if (demo.generated) {
        std::vector<reading::RunEmployee> paid;
        if (!reading::ReadRunEmployees(key, &paid, error)) return false;
        std::vector<std::string> codes;
        codes.reserve(paid.size());
        for (const reading::RunEmployee& e : paid) codes.push_back(e.code);
        if (!company::WriteRunPay(demo.options, demo.folder, *planned, codes, error)) return false;
    }
    PayChoices choices;
    const std::vector<folder::Problem> problems = folder::ReadPayFile(path, key, &choices.variable);
    if (!problems.empty()) {
        *error = "the variable pay of " + key.RVRS_YM.Str() + " run " + key.SQ.Str() + ":";
        for (const folder::Problem& p : problems) *error += "\n  " + folder::ProblemText(p);
        return false;
    }
    const RoadResult filled = FillRunPay(key, choices);
    if (filled.outcome != RoadOutcome::kCommitted) {
        *error = "pay import " + path + " did not commit: " + filled.reason;
        return false;
    }
    return true;
}

}  // namespace payroll::cli
