#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/commands/commands.h"
#include "payroll/host.h"

namespace payroll::cli {

namespace {

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
        std::string where = DatabaseDisplayName();
        if (created.empty()) {
            std::printf("Schema up to date in %s: no table was missing.\n", where.c_str());
            return;
        }
        std::printf("Created %zu tables in %s:\n", created.size(), where.c_str());
        for (const std::string& t : created) std::printf("  %s\n", t.c_str());
    });
}

const bool schema_registered = RegisterCommand(10, AddSchemaCommand);

}  // namespace
}  // namespace payroll::cli
