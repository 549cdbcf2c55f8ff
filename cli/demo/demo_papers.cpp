#include "cli/demo/demo_papers.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "cli/commands/paper_jobs.h"
#include "payroll/papers.h"
#include "payroll/print.h"
#include "payroll/reading.h"

namespace payroll::cli {

void WriteDemoPapers(const std::string& company, int year, const std::string& folder) {
    PaperJob job;
    job.company = company;
    job.period = std::to_string(year) + "06";
    job.quiet = true;
    std::string error;
    if (!print::CheckFont(&error)) {
        std::fprintf(stderr, "payroll demo: %s; the papers are written as CSV\n", error.c_str());
        job.format = print::Format::kCsv;
    }
    // The first ten employees with figures in June.
    reading::MonthResults june;
    if (reading::ReadMonthResults(company, job.period, 0, 0, &june, &error)) {
        std::set<std::string> codes;
        for (const reading::ResultLine& line : june.lines) codes.insert(line.employee);
        for (const std::string& code : codes) {
            if (job.employees.size() == 10) break;
            job.employees.push_back(code);
        }
    }
    if (job.employees.empty()) return;
    job.out = folder;
    int failed = WritePayslips(job);
    papers::Register month;
    month.month = job.period;
    job.out = (std::filesystem::path(folder) / print::RegisterFileName(month, job.format)).string();
    failed |= WriteRegisterFile(job);
    job.period = std::to_string(year);
    job.out = folder;
    failed |= WriteLedgers(job);
    print::ReleaseFonts();
    std::printf(
        "\nPapers: the %d-06 payslips and register and the %d ledgers of %zu employees in "
        "%s/%s\n",
        year, year, job.employees.size(), folder.c_str(), failed ? " (some failed)" : "");
}

}  // namespace payroll::cli
