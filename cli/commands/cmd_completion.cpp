// payroll completion bash: a bash completion script for the program, written
// from its own command tree, so it offers exactly the commands, options and
// option values (of set checks such as --format) the program accepts.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands/command_tree.h"
#include "cli/commands/commands.h"

namespace payroll::cli {
namespace {

// Words that go into the script unquoted: names and choices made of these
// characters only (anything else is left out rather than risk the script).
bool IsPlainWord(const std::string& word) {
    if (word.empty()) return false;
    for (char c : word) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '-' || c == '_' || c == '.' || c == ':' || c == '+' || c == '/';
        if (!ok) return false;
    }
    return true;
}

std::string JoinPlain(const std::vector<std::string>& words, const char* separator) {
    std::string joined;
    for (const std::string& w : words) {
        if (!IsPlainWord(w)) continue;
        if (!joined.empty()) joined += separator;
        joined += w;
    }
    return joined;
}

// One `case $command in` branch: the options of the command, the values a
// positional may take, and per value-taking option what may follow it.
std::string CommandBranch(const std::string& label, const CommandInfo& command,
                          const std::vector<std::string>& words_after) {
    std::vector<std::string> options, values = words_after;
    for (const OptionInfo& o : command.options) {
        if (o.positional)
            values.insert(values.end(), o.choices.begin(), o.choices.end());
        else
            options.insert(options.end(), o.names.begin(), o.names.end());
    }
    std::string out = "        " + label + ")\n";
    out += "            options='" + JoinPlain(options, " ") + "'\n";
    out += "            values='" + JoinPlain(values, " ") + "'\n";
    std::string cases;
    for (const OptionInfo& o : command.options) {
        if (o.positional || o.value_name.empty()) continue;
        std::string names = JoinPlain(o.names, "|");
        if (names.empty()) continue;
        cases += "                " + names + ") takes_value=1 values='" +
                 JoinPlain(o.choices, " ") + "' ;;\n";
    }
    if (!cases.empty()) out += "            case $prev in\n" + cases + "            esac\n";
    out += "            ;;\n";
    return out;
}

std::string BashCompletionScript(const CommandInfo& program) {
    std::vector<std::string> commands;
    for (const CommandInfo& c : program.commands) commands.push_back(c.name);
    std::string skip = JoinPlain(ValueOptionNames(program), "|");

    std::string s =
        "# bash completion for payroll, written by `payroll completion bash`.\n"
        "# Install: payroll completion bash > "
        "~/.local/share/bash-completion/completions/payroll\n"
        "_payroll() {\n"
        "    # Words split at blanks only (bash's own words also break at = and :,\n"
        "    # which --db=sqlite:x.db holds).\n"
        "    local line=${COMP_LINE:0:COMP_POINT}\n"
        "    local -a words\n"
        "    read -ra words <<< \"$line\"\n"
        "    [[ -z $line || $line == *[[:space:]] ]] && words+=('')\n"
        "    local cword=$((${#words[@]} - 1))\n"
        "    local cur=${words[cword]} prev=\n"
        "    ((cword > 0)) && prev=${words[cword - 1]}\n"
        "    if [[ $cur == --*=* ]]; then\n"
        "        prev=${cur%%=*}\n"
        "        cur=${cur#*=}\n"
        "    fi\n"
        "    local command= i\n"
        "    for ((i = 1; i < cword; i++)); do\n"
        "        case ${words[i]} in\n";
    if (!skip.empty()) s += "            " + skip + ") ((i++)) ;;\n";
    s += "            -*) ;;\n"
         "            *) command=${words[i]}; break ;;\n"
         "        esac\n"
         "    done\n"
         "    local options= values= takes_value=0\n"
         "    case $command in\n";
    s += CommandBranch("''", program, commands);
    for (const CommandInfo& c : program.commands) {
        if (IsPlainWord(c.name)) s += CommandBranch(c.name, c, {});
    }
    s += "    esac\n"
         "    if ((takes_value)) || [[ $cur != -* ]]; then\n"
         "        COMPREPLY=($(compgen -W \"$values\" -- \"$cur\"))\n"
         "    else\n"
         "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
         "    fi\n"
         "}\n"
         "complete -F _payroll payroll\n";
    return s;
}

void AddCompletionCommand(CLI::App& app, const GlobalOptions&, int* exit_code) {
    static std::string shell;
    CLI::App* cmd = app.add_subcommand("completion", "print a shell completion script");
    cmd->add_option("SHELL", shell, "the shell (only bash)")
        ->required()
        ->check(CLI::IsMember({"bash"}));
    cmd->footer(
        "Example: payroll completion bash > ~/.local/share/bash-completion/completions/payroll\n"
        "         source <(payroll completion bash)");
    const CLI::App* program = &app;
    cmd->callback([program, exit_code] {
        std::string script = BashCompletionScript(DescribeCommand(*program));
        std::fwrite(script.data(), 1, script.size(), stdout);
        *exit_code = std::fflush(stdout) == 0 ? kOk : kFailed;
    });
}

const bool completion_registered = RegisterCommand(90, AddCompletionCommand);

}  // namespace
}  // namespace payroll::cli
