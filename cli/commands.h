// The host program's commands. Each returns the process exit code:
// 0 success, 1 the road failed, 2 a usage error.
#pragma once

#include <string>

namespace CLI {
class App;
}

namespace payroll::cli {

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2 };

// Options every command shares.
struct GlobalOptions {
    std::string db_url;  // empty: $PAYROLL_DB, else sqlite:payroll.db
};

// Opens the database the options name; prints why not and returns false.
bool OpenDatabaseFor(const GlobalOptions& options);

// Each command registers its sub-app and returns the code once it ran.
void AddSchemaCommand(CLI::App& app, const GlobalOptions& options, int* exit_code);

}  // namespace payroll::cli
