// The paper commands' work, apart from their options so that the demo
// (cli/demo/demo_papers.h) can write its papers the same way: read through the library's papers
// API, write each file through libpayroll-print, say what was written.
#pragma once

#include <string>
#include <vector>

#include "payroll/print.h"

namespace CLI {
class App;
}

namespace payroll::cli {

struct PaperJob {
    std::string company;
    std::string period;  // YYYYMM, or YYYY for ledgers
    int run = 0;         // the run's place in the picker's list; 0 every run
    std::vector<std::string> employees;
    // A folder (payslips, ledgers) or a file (register, return; the return's
    // own name in the current folder when empty).
    std::string out;
    print::Format format = print::Format::kPdf;
    print::PaperSize paper = print::PaperSize::kA4;  // the register's sheet
    int language = 0;
    bool quiet = false;    // no line per file written
    unsigned mode = 0600;  // the papers' permissions (folders created get search added)
};

// Adds --mode to a paper command: the papers' permissions in octal, 0600
// (the owner's alone) unless given.
void AddPaperModeOption(CLI::App* cmd, unsigned* mode);

// Each returns the exit code and prints its errors as "payroll <what>: ...".
// The database must be open.
int WritePayslips(const PaperJob& job);
int WriteRegisterFile(const PaperJob& job);
int WriteLedgers(const PaperJob& job);
int WriteWithholdingReturnFile(const PaperJob& job);

}  // namespace payroll::cli
