// payroll demo: a realistic company of 2002 made as a clerk makes one (its
// folder imported, its runs opened, built and paid) and run through the
// library's roads, with a summary a person can read.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>

#include "cli/commands/commands.h"
#include "cli/demo/demo_company.h"
#include "cli/demo/demo_report.h"
#include "payroll/host.h"

namespace payroll::cli {
namespace {

struct DemoOptions {
    int employees = 0;
    bool generated = false;  // --employees given; else the folder shipped in resources/demo/
    std::string folder;      // where the generated folder is written and kept
    bool fresh = false;
};

// With --fresh a database file is started anew.
void RemoveDatabaseFile(const GlobalOptions& options) {
    std::string url = options.db_url;
    if (url.empty()) {
        const char* env = std::getenv("PAYROLL_DB");
        url = env && *env ? env : "sqlite:payroll.db";
    }
    if (url.rfind("sqlite:", 0) != 0 || url == "sqlite::memory:") return;
    std::string path = url.substr(7);
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
}

int RunDemo(const GlobalOptions& options, const DemoOptions& demo) {
    if (demo.generated && (demo.employees < 1 || demo.employees > 100000)) {
        std::fprintf(stderr, "payroll demo: --employees must be between 1 and 100000\n");
        return kUsage;
    }
    DemoCompany company;
    std::string error;
    const int employees = demo.generated ? demo.employees : demo.folder.empty() ? 0 : 200;
    if (!PrepareDemoFolder(employees, demo.folder, &company, &error)) {
        std::fprintf(stderr, "payroll demo: %s\n", error.c_str());
        return kFailed;
    }
    // A generated folder lives as long as the demo, unless it was asked for.
    struct Cleanup {
        const DemoCompany& made;
        bool keep;
        ~Cleanup() {
            std::error_code ec;
            if (made.generated && !keep) std::filesystem::remove_all(made.folder, ec);
        }
    } cleanup{company, !demo.folder.empty()};
    if (demo.fresh) RemoveDatabaseFile(options);
    if (!OpenDatabaseFor(options, true)) return kFailed;
    if (!ApplySchema(nullptr, &error)) {
        std::fprintf(stderr, "payroll demo: %s\n", error.c_str());
        return kFailed;
    }
    std::fprintf(stderr, "Importing the company of %s into %s ...\n",
                 company.generated ? "a generated folder" : company.folder.c_str(),
                 DatabaseDisplayName().c_str());
    if (!ImportDemoCompany(&company, &error)) {
        std::fprintf(stderr, "payroll demo: %s\n", error.c_str());
        return kFailed;
    }
    std::printf("Company %s, year %d: %ld employees imported, %zu pay runs opened.\n",
                company.company.c_str(), company.year, company.employees, company.runs.size());
    return RunDemoRoads(company);
}

void AddDemoCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    static DemoOptions demo;
    CLI::App* cmd = app.add_subcommand(
        "demo", "create a demo company and run it through the roads, with a summary");
    CLI::Option* employees =
        cmd->add_option("--employees", demo.employees,
                        "a generated company of this many employees (default: the shipped "
                        "company of 200)");
    cmd->add_option("--folder", demo.folder,
                    "write the generated company folder here and keep it (the shipped "
                    "company's 200 without --employees)");
    cmd->add_flag("--fresh", demo.fresh, "start from an empty database file");
    cmd->footer(
        "Without --employees the company folder shipped in resources/demo/ is imported.\n"
        "Example: payroll demo --employees 500 --fresh");
    cmd->callback([&options, exit_code, employees] {
        demo.generated = employees->count() > 0;
        *exit_code = RunDemo(options, demo);
    });
}

const bool demo_registered = RegisterCommand(1, AddDemoCommand);

}  // namespace
}  // namespace payroll::cli
