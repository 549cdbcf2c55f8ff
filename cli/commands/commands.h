// The host program's commands. Each command lives in its own cmd_*.cpp and
// registers itself; main() parses the arguments and runs the chosen one.
// Exit codes: 0 success, 1 the road failed, 2 a usage error.
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
    bool quiet = false;  // no progress and no lines but the closing one
    bool json = false;   // the roads' closing line as one JSON object
};

// What a command does with its database. A reader also reads a SQLite file
// this process may not write; a writer is refused one before it starts; only
// a creator makes a file that is not there.
enum class DbUse { kRead, kWrite, kCreate };

// Opens the database the options name; prints why not (as JSON too, with
// --json) and returns false. A SQLite file that does not exist is refused
// unless the command creates one.
bool OpenDatabaseFor(const GlobalOptions& options, DbUse use = DbUse::kRead);
// The same for a command that writes (create: or makes) its database.
inline bool OpenDatabaseFor(const GlobalOptions& options, bool create) {
    return OpenDatabaseFor(options, create ? DbUse::kCreate : DbUse::kWrite);
}

// Adds a sub-command to the app; its callback runs the command and stores
// the exit code in *exit_code.
using AddCommand = void (*)(CLI::App& app, const GlobalOptions& options, int* exit_code);

// Registers a command (from a static initialiser of its file); `order`
// sorts the help listing.
bool RegisterCommand(int order, AddCommand add);

// Adds every registered command.
void AddRegisteredCommands(CLI::App& app, const GlobalOptions& options, int* exit_code);

}  // namespace payroll::cli
