// payroll manual: the program's man page (roff, section 1), written from its
// own command tree: every command with its options and its example. The
// build installs its output as share/man/man1/payroll.1.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/commands/command_tree.h"
#include "cli/commands/commands.h"
#include "payroll/version.h"

namespace payroll::cli {
namespace {

// Text for roff: backslashes written as \e, hyphens as \-, and a line that
// would start with a control character ('.' or ') guarded by \&.
std::string Roff(const std::string& text) {
    std::string out;
    bool line_start = true;
    for (char c : text) {
        if (line_start && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        line_start = c == '\n';
    }
    return out;
}

std::string OptionLabel(const OptionInfo& option) {
    std::string label;
    for (const std::string& name : option.names) {
        if (!label.empty()) label += ", ";
        label += option.positional ? "\\fI" + Roff(name) + "\\fR" : "\\fB" + Roff(name) + "\\fR";
    }
    if (!option.positional && !option.value_name.empty())
        label += " \\fI" + Roff(option.value_name) + "\\fR";
    return label;
}

// The options of a command; --help, which every command has, only once at
// the top.
std::string OptionList(const CommandInfo& command, bool with_help) {
    std::string out;
    for (const OptionInfo& option : command.options) {
        bool help =
            std::find(option.names.begin(), option.names.end(), "--help") != option.names.end();
        if (help && !with_help) continue;
        out += ".TP\n" + OptionLabel(option) + "\n" + Roff(option.description);
        if (!option.choices.empty()) {
            out += " (one of:";
            for (const std::string& c : option.choices) out += " " + Roff(c);
            out += ")";
        }
        if (option.required) out += " (required)";
        out += "\n";
    }
    return out;
}

// The footer's lines as they are (examples keep their spacing).
std::string Example(const std::string& footer) {
    if (footer.empty()) return {};
    return ".PP\n.nf\n" + Roff(footer) + "\n.fi\n";
}

std::string ManPage(const CommandInfo& program) {
    std::string s;
    s += ".TH PAYROLL 1 \"\" \"payroll " PAYROLL_VERSION_STRING "\" \"User Commands\"\n";
    s += ".nh\n.ad l\n";  // no hyphenation: option names and URLs stay whole

    std::string summary = program.description;
    if (summary.rfind("payroll: ", 0) == 0) summary.erase(0, 9);
    s += ".SH NAME\npayroll \\- " + Roff(summary) + "\n";
    s += ".SH SYNOPSIS\n.B payroll\n[\\fB\\-\\-db\\fR \\fIURL\\fR] \\fICOMMAND\\fR "
         "[\\fIoptions\\fR]\n";
    s += ".SH DESCRIPTION\n"
         "Runs the payroll library's roads from a terminal, the way a host application\n"
         "drives them: it opens the database, creates the engine and the front, builds\n"
         "pay runs and fills their amounts, recalculates income tax and taxes bonus runs.\n"
         "Messages go to standard error, results to standard output.\n";
    s += ".SH OPTIONS\n" + OptionList(program, true);
    s += ".SH COMMANDS\n";
    for (const CommandInfo& c : program.commands) {
        s += ".SS " + Roff(c.name) + "\n" + Roff(c.description) + "\n";
        s += OptionList(c, false);
        s += Example(c.footer);
    }
    s += ".SH EXIT STATUS\n"
         ".TP\n0\nsuccess\n"
         ".TP\n1\nthe road failed: an error was shown or the transaction rolled back\n"
         ".TP\n2\na usage error\n";
    s += ".SH ENVIRONMENT\n"
         ".TP\n.B PAYROLL_DB\nthe database URL when \\fB\\-\\-db\\fR is not given "
         "(default sqlite:payroll.db)\n"
         ".TP\n.B PAYROLL_RESOURCES\nthe folder of schema.sql, lang/ and dialogs/ "
         "(default: the installed share/payroll)\n"
         ".TP\n.B PAYROLL_REGISTRY\nthe registry file of the library's settings\n";
    s += ".SH SEE ALSO\nThe host developers' guide and reference, built with "
         "\\fBmake docs\\fR.\n";
    return s;
}

void AddManualCommand(CLI::App& app, const GlobalOptions&, int* exit_code) {
    CLI::App* cmd = app.add_subcommand("manual", "print this program's man page (roff)");
    cmd->footer("Example: payroll manual > payroll.1 && man -l payroll.1");
    const CLI::App* program = &app;
    cmd->callback([program, exit_code] {
        std::string page = ManPage(DescribeCommand(*program));
        std::fwrite(page.data(), 1, page.size(), stdout);
        *exit_code = std::fflush(stdout) == 0 ? kOk : kFailed;
    });
}

const bool manual_registered = RegisterCommand(91, AddManualCommand);

}  // namespace
}  // namespace payroll::cli
