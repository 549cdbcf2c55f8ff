// Any bytes as the host program's argument vector (arguments split at NUL
// bytes): the program's whole CLI11 tree, every registered command with its
// options, checks and exclusions and the global options as main() declares
// them, parses it. The parser either accepts it or ends with its own usage
// error (exit code 2), whose message and help are written out as the program
// would; any other exception would end the program with exit code 1 instead.
// No command runs: this file stands in for main.cpp (which holds main()),
// keeps the registry the commands register with, and stops the parse where
// the parser is done and the commands' callbacks would begin.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands/commands.h"
#include "cli/commands/version.h"

namespace payroll::cli {
namespace {

std::vector<std::pair<int, AddCommand>>& FuzzedRegistry() {
    static std::vector<std::pair<int, AddCommand>> commands;
    return commands;
}

}  // namespace

bool RegisterCommand(int order, AddCommand add) {
    FuzzedRegistry().emplace_back(order, add);
    return true;
}

void AddRegisteredCommands(CLI::App& app, const GlobalOptions& options, int* exit_code) {
    auto commands = FuzzedRegistry();
    std::stable_sort(commands.begin(), commands.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [order, add] : commands) add(app, options, exit_code);
}

// Only a command's callback opens the database, and none runs here.
bool OpenDatabaseFor(const GlobalOptions&, DbUse) {
    std::abort();
}

}  // namespace payroll::cli

namespace {

// Thrown once everything is parsed and checked, before any command's
// callback: the program's own callbacks, which hold the commands' option
// values, stay in the tree and never run.
struct ParsedWithoutRunning {};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kMostArguments = 64;
    std::vector<std::string> args = {"payroll"};
    std::string current;
    for (std::size_t i = 0; i < size && args.size() < kMostArguments; ++i) {
        if (data[i] == '\0') {
            args.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    if (!current.empty() && args.size() < kMostArguments) args.push_back(current);
    std::vector<const char*> argv;
    argv.reserve(args.size());
    for (const std::string& a : args) argv.push_back(a.c_str());

    // The tree as RunProgram() in main.cpp builds it.
    CLI::App app{"payroll: Korean payroll calculation from the terminal", "payroll"};
    app.require_subcommand(1);
    payroll::cli::AddVersionFlag(app);
    payroll::cli::GlobalOptions options;
    app.add_option("--db", options.db_url, "database URL");
    app.add_flag("-q,--quiet", options.quiet, "no progress and no notices");
    app.add_flag("--json", options.json, "a road's closing line as one JSON object");
    int exit_code = payroll::cli::kOk;
    payroll::cli::AddRegisteredCommands(app, options, &exit_code);
    // The root's parse-complete callback runs after the parser has checked
    // everything and before the callbacks of the commands parsed.
    app.parse_complete_callback([] { throw ParsedWithoutRunning{}; });

    std::ostringstream out, err;
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
        std::abort();  // a command's callback would have run
    } catch (const ParsedWithoutRunning&) {
        if (app.get_subcommands().size() != 1) std::abort();
    } catch (const CLI::ParseError& e) {
        app.exit(e, out, err);
    }
    if (exit_code != payroll::cli::kOk) std::abort();
    return 0;
}
