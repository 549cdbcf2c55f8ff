#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands/commands.h"
#include "payroll/company.h"
#include "payroll/host.h"

namespace payroll::cli {

namespace {

// The law tables loaded, a year a line: "Law of 2002 loaded: HPFTITC (4 rows), ...".
void PrintLawLoaded(const std::vector<folder::LawTable>& law) {
    std::string year, line;
    auto flush = [&] {
        if (!line.empty()) std::printf("Law of %s loaded: %s.\n", year.c_str(), line.c_str());
        line.clear();
    };
    for (const folder::LawTable& t : law) {
        if (t.year != year) flush();
        year = t.year;
        if (!t.loaded) continue;
        if (!line.empty()) line += ", ";
        line += t.table + " (" + std::to_string(t.rows) + (t.rows == 1 ? " row)" : " rows)");
    }
    flush();
}

void AddSchemaCommand(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    CLI::App* cmd = app.add_subcommand("schema", "create the payroll tables (safe to repeat)");
    cmd->footer("Example: payroll --db sqlite:company.db schema");
    cmd->callback([&options, exit_code] {
        if (!OpenDatabaseFor(options, true)) {
            *exit_code = kFailed;
            return;
        }
        std::vector<std::string> created;
        std::string error;
        if (!ApplySchema(&created, &error)) {
            std::fprintf(stderr, "payroll: %s\n", error.c_str());
            *exit_code = kFailed;
            return;
        }
        std::vector<folder::LawTable> law;
        if (!folder::LoadShippedLaw(&law, &error)) {
            std::fprintf(stderr, "payroll: the law tables were not loaded: %s\n", error.c_str());
            *exit_code = kFailed;
            return;
        }
        std::string where = DatabaseDisplayName();
        if (created.empty()) {
            std::printf("Schema up to date in %s: no table was missing.\n", where.c_str());
        } else {
            std::printf("Created %zu tables in %s:\n", created.size(), where.c_str());
            for (const std::string& t : created) std::printf("  %s\n", t.c_str());
        }
        PrintLawLoaded(law);
    });
}

const bool schema_registered = RegisterCommand(10, AddSchemaCommand);

}  // namespace
}  // namespace payroll::cli
