// The host program's commands and options as plain data, read from its CLI11
// tree, for the generators that write the man page and the shell completion
// from what the program really accepts.
#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace payroll::cli {

struct OptionInfo {
    std::vector<std::string> names;  // "-h", "--help"; a positional's own name
    std::string value_name;          // "TEXT", "INT"; empty for a flag
    std::string description;
    std::vector<std::string> choices;  // the allowed values of a set check
    bool positional = false;
    bool required = false;
};

struct CommandInfo {
    std::string name;
    std::string description;
    std::string footer;  // the example lines under the command's help
    std::vector<OptionInfo> options;
    std::vector<CommandInfo> commands;
};

// The visible options and sub-commands of `app` (hidden ones, in the empty
// group, are left out), in the order the program declares them.
CommandInfo DescribeCommand(const CLI::App& app);

// The names of options that take a value, of one command.
std::vector<std::string> ValueOptionNames(const CommandInfo& command);

}  // namespace payroll::cli
