// The host program's own documentation: --version, an example under every
// command's help, the bash completion it writes and its man page.
#include "support/host_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/scratch_db.h"

namespace payroll::packaging {
namespace {

using namespace payroll::testing;

// The command names `payroll --help` lists under "Subcommands:".
std::vector<std::string> Commands() {
    HostRun help = Shell(Program("--help"));
    EXPECT_EQ(help.exit_code, 0) << help.err;
    std::vector<std::string> names;
    bool listing = false;
    for (const std::string& line : Lines(help.out)) {
        if (line.rfind("Subcommands:", 0) == 0) {
            listing = true;
            continue;
        }
        std::smatch m;
        if (listing && std::regex_search(line, m, std::regex("^  ([a-z][a-z0-9-]*)\\s")))
            names.push_back(m[1]);
    }
    return names;
}

// The long options a command's --help shows (--help itself, which every
// command has, aside).
std::set<std::string> LongOptions(const std::string& command) {
    HostRun help = Shell(Program(command + " --help"));
    std::set<std::string> options;
    std::regex long_option("--[a-z][a-z0-9-]*");
    for (const std::string& line : Lines(help.out)) {
        if (line.rfind("  ", 0) != 0 || line.find("Example:") != std::string::npos) continue;
        for (std::sregex_iterator it(line.begin(), line.end(), long_option), end; it != end; ++it)
            options.insert(it->str());
    }
    options.erase("--help");
    return options;
}

TEST(HostProgramTest, VersionNamesTheLibraryItIsBuiltWith) {
    // libpayroll.so.0.1.0: the file name carries the project's version.
    const std::string library = std::filesystem::path(PAYROLL_SHARED_LIB).filename().string();
    std::smatch m;
    ASSERT_TRUE(std::regex_match(library, m, std::regex(R"(libpayroll\.so\.((\d+)\.\d+\.\d+))")))
        << library;
    HostRun version = Shell(Program("--version"));
    ASSERT_EQ(version.exit_code, 0) << version.err;
    std::vector<std::string> lines = Lines(version.out);
    ASSERT_EQ(lines.size(), 2u) << version.out;
    EXPECT_EQ(lines[0], "payroll " + m[1].str() + " (libpayroll.so." + m[2].str() + ")");
    EXPECT_EQ(lines[1], std::string("resources: ") + std::getenv("PAYROLL_RESOURCES"));
}

TEST(HostProgramTest, ProgramOfTheBuildTreeReadsTheSourceTreeResources) {
    // Never an installed copy that may be older than the sources.
    HostRun version = Shell("env -u PAYROLL_RESOURCES " + Program("--version"));
    ASSERT_EQ(version.exit_code, 0) << version.err;
    EXPECT_NE(version.out.find(std::string("resources: ") + PAYROLL_SOURCE_DIR "/resources\n"),
              std::string::npos)
        << version.out;
}

TEST(HostProgramTest, ExitCodesOfTheParser) {
    struct Case {
        const char* args;
        int exit_code;
    } cases[] = {
        {"--version", 0},       {"--help", 0},     {"", 2},
        {"no-such-command", 2}, {"completion", 2}, {"completion zsh", 2},
        {"completion bash", 0}, {"manual", 0},     {"manual --help", 0},
    };
    for (const Case& c : cases) {
        HostRun outcome = Shell(Program(c.args));
        EXPECT_EQ(outcome.exit_code, c.exit_code) << "payroll " << c.args << "\n" << outcome.err;
    }
}

TEST(HostProgramTest, EveryCommandsHelpEndsWithAnExample) {
    std::vector<std::string> commands = Commands();
    ASSERT_GE(commands.size(), 8u);
    for (const std::string& command : commands) {
        HostRun help = Shell(Program(command + " --help"));
        EXPECT_EQ(help.exit_code, 0) << command;
        // "Example: payroll ..." or "Examples:" with one per line.
        std::size_t example = help.out.find("Example");
        ASSERT_NE(example, std::string::npos) << command << " has no example:\n" << help.out;
        EXPECT_NE(help.out.find(command, example), std::string::npos)
            << "the example of " << command << " runs another command";
    }
}

// What the completion offers for a command line whose last word is being
// typed.
std::set<std::string> Complete(const std::string& script, const std::string& line) {
    const std::string program = "source " + ShellQuote(script) + "\n" +
                                "COMP_LINE=" + ShellQuote(line) + "\n" +
                                "COMP_POINT=${#COMP_LINE}\n"
                                "_payroll\n"
                                "printf '%s\\n' \"${COMPREPLY[@]}\"\n";
    HostRun outcome = Shell("bash -c " + ShellQuote(program));
    EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
    std::set<std::string> words;
    for (const std::string& w : Lines(outcome.out))
        if (!w.empty()) words.insert(w);
    return words;
}

// Writes what `payroll <args>` prints to the file at `path`.
void WriteOutput(const std::string& args, const std::string& path) {
    HostRun written = Shell(Program(args) + " > " + ShellQuote(path));
    ASSERT_EQ(written.exit_code, 0) << written.err;
}

TEST(HostProgramTest, BashCompletionOffersWhatTheProgramAccepts) {
    const std::string script = FreshFolder("completion") + "/payroll.bash";
    ASSERT_NO_FATAL_FAILURE(WriteOutput("completion bash", script));
    HostRun syntax = Shell("bash -n " + ShellQuote(script));
    ASSERT_EQ(syntax.exit_code, 0) << syntax.err;

    using Words = std::set<std::string>;
    struct Case {
        const char* line;
        Words expected;
    } cases[] = {
        {"payroll res", {"results"}},
        {"payroll re", {"recalc-tax", "register", "results"}},
        {"payroll --db sqlite:x.db res", {"results"}},
        {"payroll --db=sqlite:x.db de", {"demo"}},
        {"payroll --v", {"--version"}},
        {"payroll results --for", {"--format"}},
        {"payroll results --format ", {"table", "csv", "json", "xlsx"}},
        {"payroll results --format c", {"csv"}},
        {"payroll results --format=j", {"json"}},
        {"payroll runs --format ", {"table", "json"}},
        {"payroll results --company ", {}},
        {"payroll results --company 1000 --mo", {"--month"}},
        {"payroll demo --", {"--help", "--employees", "--folder", "--fresh"}},
        {"payroll completion ", {"bash"}},
        {"payroll --db ", {}},
        {"payroll --db=postgresql://u@h:5432/db?x=y runs --fo", {"--format"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Complete(script, c.line), c.expected) << c.line;

    // Every command the program lists, and nothing else, at the first word.
    std::vector<std::string> listed = Commands();
    EXPECT_EQ(Complete(script, "payroll "), Words(listed.begin(), listed.end()));
}

TEST(HostProgramTest, ManPageRendersAndDocumentsEveryCommandAndOption) {
    const std::string page = FreshFolder("manual") + "/payroll.1";
    ASSERT_NO_FATAL_FAILURE(WriteOutput("manual", page));
    // -ww: every warning groff knows; the page must render without one.
    HostRun rendered = Shell("groff -man -Tutf8 -ww -z " + ShellQuote(page));
    EXPECT_EQ(rendered.exit_code, 0);
    EXPECT_EQ(rendered.err, "");

    HostRun text = Shell("groff -man -Tascii -P-cbou " + ShellQuote(page));
    ASSERT_EQ(text.exit_code, 0) << text.err;
    for (const std::string& command : Commands()) {
        // The command's section runs from its heading to the next one.
        std::size_t start = text.out.find("\n   " + command + "\n");
        ASSERT_NE(start, std::string::npos) << command << " has no section";
        std::size_t end = text.out.find("\n   ", start + command.size() + 5);
        while (end != std::string::npos && text.out.compare(end + 4, 1, " ") == 0)
            end = text.out.find("\n   ", end + 4);
        std::string section = text.out.substr(start, end == std::string::npos ? end : end - start);
        for (const std::string& option : LongOptions(command))
            EXPECT_NE(section.find(option), std::string::npos)
                << option << " of " << command << " is not in its section";
        EXPECT_NE(section.find("Example"), std::string::npos) << command;
    }
}

}  // namespace
}  // namespace payroll::packaging
