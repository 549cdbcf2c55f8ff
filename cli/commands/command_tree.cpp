#include "cli/commands/command_tree.h"

#include <CLI/CLI.hpp>

namespace payroll::cli {
namespace {

// "TEXT:{table,csv,json}" -> table, csv, json (the description CLI11 gives a
// set check); nothing for other checks.
std::vector<std::string> ChoicesOf(const std::string& type_name) {
    std::vector<std::string> choices;
    std::size_t open = type_name.find('{');
    std::size_t close = type_name.find('}', open == std::string::npos ? 0 : open);
    if (open == std::string::npos || close == std::string::npos) return choices;
    std::string list = type_name.substr(open + 1, close - open - 1);
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        if (comma > start) choices.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return choices;
}

OptionInfo DescribeOption(const CLI::Option& option) {
    OptionInfo info;
    info.description = option.get_description();
    info.positional = option.get_positional();
    info.required = option.get_required();
    if (info.positional) {
        info.names.push_back(option.get_name(true, false));
    } else {
        for (const std::string& s : option.get_snames()) info.names.push_back("-" + s);
        for (const std::string& l : option.get_lnames()) info.names.push_back("--" + l);
    }
    // A flag expects no value, whatever type CLI11 keeps for its result.
    if (option.get_expected_max() != 0 && option.get_type_size() != 0) {
        std::string type = option.get_type_name();
        info.choices = ChoicesOf(type);
        info.value_name = type.substr(0, type.find(':'));
        if (info.value_name.empty()) info.value_name = "VALUE";
    }
    return info;
}

}  // namespace

CommandInfo DescribeCommand(const CLI::App& app) {
    CommandInfo info;
    info.name = app.get_name();
    info.description = app.get_description();
    info.footer = app.get_footer();
    for (const CLI::Option* option : app.get_options()) {
        if (option->get_group().empty()) continue;
        info.options.push_back(DescribeOption(*option));
    }
    for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; })) {
        if (sub->get_group().empty() || sub->get_name().empty()) continue;
        info.commands.push_back(DescribeCommand(*sub));
    }
    return info;
}

std::vector<std::string> ValueOptionNames(const CommandInfo& command) {
    std::vector<std::string> names;
    for (const OptionInfo& option : command.options) {
        if (option.positional || option.value_name.empty()) continue;
        names.insert(names.end(), option.names.begin(), option.names.end());
    }
    return names;
}

}  // namespace payroll::cli
