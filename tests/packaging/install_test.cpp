// `cmake --install` of this build into a scratch prefix, used the way a host
// developer uses it: the installed tree, the installed program finding its
// library and resources (also after the prefix was moved), pkg-config, and
// the example host built with find_package against the prefix and run on a
// company the installed program created.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <string>

#include "support/host_program.h"
#include "support/scratch_db.h"

namespace payroll::packaging {
namespace {

using namespace payroll::testing;

namespace fs = std::filesystem;

class InstallTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = FreshFolder("install");
        prefix_ = folder_ + "/prefix";
        install_ = Shell("cmake --install " + ShellQuote(PAYROLL_BINARY_DIR) + " --prefix " +
                         ShellQuote(prefix_));
    }
    static void TearDownTestSuite() { fs::remove_all(folder_); }

    void SetUp() override {
        if (std::getenv("PAYROLL_TEST_DB"))
            GTEST_SKIP() << "installing does not depend on the test database";
        ASSERT_EQ(install_.exit_code, 0) << install_.out << install_.err;
    }

    // The one installed file of that name, wherever the library folder is
    // (lib, or lib/<multiarch> under /usr).
    static fs::path Find(const std::string& name) {
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(prefix_))
            if (e.path().filename() == name) return e.path();
        return {};
    }

    // Runs an installed program as a host would: no test environment.
    static HostRun Installed(const std::string& command) {
        return Shell("env -u PAYROLL_RESOURCES -u LD_LIBRARY_PATH " + command);
    }

    static std::string folder_;
    static std::string prefix_;
    static HostRun install_;
};

std::string InstallTest::folder_;
std::string InstallTest::prefix_;
HostRun InstallTest::install_;

TEST_F(InstallTest, TreeHoldsLibraryHeadersProgramResourcesAndPackages) {
    const std::string version = fs::path(PAYROLL_SHARED_LIB)
                                    .filename()
                                    .string()
                                    .substr(std::string("libpayroll.so.").size());
    fs::path library = Find("libpayroll.so." + version);
    ASSERT_FALSE(library.empty()) << "no libpayroll.so." << version;
    const fs::path libdir = library.parent_path();
    // The links a loader and a linker follow.
    EXPECT_EQ(fs::read_symlink(libdir / "libpayroll.so.0"), library.filename());
    EXPECT_EQ(fs::read_symlink(libdir / "libpayroll.so"), "libpayroll.so.0");
    HostRun dynamic = Shell("readelf -d " + ShellQuote(library.string()));
    EXPECT_NE(dynamic.out.find("Library soname: [libpayroll.so.0]"), std::string::npos)
        << dynamic.out;
    // The papers' library beside it, linked the same way.
    const std::string print = "libpayroll-print.so." + version;
    EXPECT_TRUE(fs::is_regular_file(libdir / print)) << print;
    EXPECT_EQ(fs::read_symlink(libdir / "libpayroll-print.so.0"), print);
    EXPECT_EQ(fs::read_symlink(libdir / "libpayroll-print.so"), "libpayroll-print.so.0");

    const fs::path prefix(prefix_);
    for (const char* file :
         {"bin/payroll", "share/payroll/schema.sql", "share/payroll/lang/G_Mirak.0.txt",
          "share/payroll/lang/G_Mirak.1.txt", "share/payroll/dialogs/1004.json",
          "share/payroll/dialogs/1014.json", "share/payroll/dialogs/1016.json",
          "share/man/man1/payroll.1", "share/bash-completion/completions/payroll"})
        EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
    for (const char* file :
         {"cmake/payroll/payrollConfig.cmake", "cmake/payroll/payrollConfigVersion.cmake",
          "cmake/payroll/payrollTargets.cmake", "pkgconfig/payroll.pc",
          "pkgconfig/payroll-print.pc"})
        EXPECT_TRUE(fs::is_regular_file(libdir / file)) << file;

    // Exactly the public headers, and the generated version header.
    std::set<std::string> source, installed;
    for (const fs::directory_entry& e :
         fs::directory_iterator(PAYROLL_SOURCE_DIR "/include/payroll"))
        source.insert(e.path().filename().string());
    source.insert("version.h");
    for (const fs::directory_entry& e : fs::directory_iterator(prefix / "include/payroll"))
        installed.insert(e.path().filename().string());
    EXPECT_EQ(installed, source);
}

TEST_F(InstallTest, ProgramFindsItsLibraryAndResourcesAlsoWhenThePrefixMoves) {
    // Write a table into the installed schema only: `payroll schema` creating
    // it proves that the installed copy is the one read.
    {
        std::ofstream schema(prefix_ + "/share/payroll/schema.sql", std::ios::app);
        schema << "\nCREATE TABLE IF NOT EXISTS INSTALL_PROBE (X INTEGER);\n";
    }
    for (const std::string& prefix : {prefix_, folder_ + "/moved"}) {
        if (prefix != prefix_) fs::rename(prefix_, prefix);
        const std::string program = ShellQuote(prefix + "/bin/payroll");
        HostRun version = Installed(program + " --version");
        ASSERT_EQ(version.exit_code, 0) << version.err;
        EXPECT_NE(version.out.find("resources: " + prefix + "/share/payroll\n"), std::string::npos)
            << version.out;
        HostRun schema = Installed(program + " --db sqlite::memory: schema");
        EXPECT_EQ(schema.exit_code, 0) << schema.err;
        EXPECT_NE(schema.out.find("INSTALL_PROBE"), std::string::npos) << schema.out;
    }
    fs::rename(folder_ + "/moved", prefix_);
}

// The installed program keeps only the run path it is installed with: none
// of the build tree's entries is left in it.
TEST_F(InstallTest, InstalledProgramKeepsItsInstalledRunPathOnly) {
    const fs::path library = Find("libpayroll.so.0");
    ASSERT_FALSE(library.empty());
    const fs::path bin = fs::path(prefix_) / "bin";
    HostRun dynamic = Shell("readelf -d " + ShellQuote((bin / "payroll").string()));
    ASSERT_EQ(dynamic.exit_code, 0) << dynamic.err;
    std::smatch m;
    ASSERT_TRUE(
        std::regex_search(dynamic.out, m, std::regex(R"(\((RUNPATH|RPATH)\)[^\[]*\[([^\]]*)\])")))
        << dynamic.out;
    EXPECT_EQ(m[2].str(), "$ORIGIN/" + fs::relative(library.parent_path(), bin).string());
    // The papers' library finds the library beside it.
    HostRun print = Shell("readelf -d " + ShellQuote(Find("libpayroll-print.so.0").string()));
    ASSERT_TRUE(
        std::regex_search(print.out, m, std::regex(R"(\((RUNPATH|RPATH)\)[^\[]*\[([^\]]*)\])")))
        << print.out;
    EXPECT_EQ(m[2].str(), "$ORIGIN");
}

// The test hooks (a kill point, a statement log) live in the test build of
// the library only: the installed program, given both orders, neither dies
// nor writes a line of what it sent.
TEST_F(InstallTest, InstalledLibraryHonoursNoTestHook) {
    const std::string log = folder_ + "/statements.log";
    const std::string db = folder_ + "/hooks.db";
    HostRun run =
        Installed("env PAYROLL_KILL_AT_STATEMENT=3 PAYROLL_STATEMENT_LOG=" + ShellQuote(log) + " " +
                  ShellQuote(prefix_ + "/bin/payroll") + " --db " + ShellQuote("sqlite:" + db) +
                  " --quiet demo --employees 3");
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_FALSE(fs::exists(log));
}

// pkg-config's answer without the blanks around it.
std::string Trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \n");
    std::size_t last = text.find_last_not_of(" \n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

TEST_F(InstallTest, PkgConfigNamesTheInstalledFolders) {
    const fs::path pc = Find("payroll.pc");
    ASSERT_FALSE(pc.empty());
    const fs::path libdir = pc.parent_path().parent_path();
    const std::string env = "PKG_CONFIG_PATH=" + ShellQuote(pc.parent_path().string()) + " ";
    HostRun cflags = Shell(env + "pkg-config --cflags payroll");
    ASSERT_EQ(cflags.exit_code, 0) << cflags.err;
    EXPECT_EQ(Trimmed(cflags.out), "-I" + prefix_ + "/include");
    HostRun libs = Shell(env + "pkg-config --libs payroll");
    EXPECT_EQ(Trimmed(libs.out), "-L" + libdir.string() + " -lpayroll");
    HostRun resources = Shell(env + "pkg-config --variable=resourcedir payroll");
    EXPECT_EQ(Trimmed(resources.out), prefix_ + "/share/payroll");
    HostRun version = Shell(env + "pkg-config --modversion payroll");
    const std::string library = fs::path(PAYROLL_SHARED_LIB).filename().string();
    EXPECT_EQ("libpayroll.so." + Trimmed(version.out), library);
    // The papers' library brings the library it needs along.
    HostRun print = Shell(env + "pkg-config --libs payroll-print");
    ASSERT_EQ(print.exit_code, 0) << print.err;
    EXPECT_EQ(Trimmed(print.out), "-L" + libdir.string() + " -lpayroll-print -lpayroll");
}

TEST_F(InstallTest, ExampleHostBuildsWithFindPackageAndRecalculatesARun) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an uninstrumented host cannot load the instrumented library";
#endif
    const std::string build = folder_ + "/example";
    HostRun configure =
        Shell("cmake -S " + ShellQuote(PAYROLL_SOURCE_DIR "/examples/host") + " -B " +
              ShellQuote(build) + " -DCMAKE_PREFIX_PATH=" + ShellQuote(prefix_));
    ASSERT_EQ(configure.exit_code, 0) << configure.out << configure.err;
    HostRun compile = Shell("cmake --build " + ShellQuote(build));
    ASSERT_EQ(compile.exit_code, 0) << compile.out << compile.err;

    const std::string db = "sqlite:" + folder_ + "/demo.db";
    HostRun demo = Installed(ShellQuote(prefix_ + "/bin/payroll") + " --db " + ShellQuote(db) +
                             " demo --employees 8 --fresh");
    ASSERT_EQ(demo.exit_code, 0) << demo.out << demo.err;

    HostRun host = Installed(ShellQuote(build + "/payroll-example-host") + " " + ShellQuote(db) +
                             " 1000 200203 1");
    ASSERT_EQ(host.exit_code, 0) << host.out << host.err;
    EXPECT_NE(host.out.find("resources in " + prefix_ + "/share/payroll"), std::string::npos)
        << host.out;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        host.out, m,
        std::regex(R"(totals: (\d+) employees, taxable pay (\d+) won, income tax (\d+) won)")))
        << host.out;
    EXPECT_GT(std::stoi(m[1]), 0);
    EXPECT_GT(std::stoll(m[2]), 0);
    EXPECT_NE(host.out.find("tax: " + m[1].str() + " employees recalculated, committed"),
              std::string::npos)
        << host.out;

    // The host program reads the same stored results: the same totals.
    std::smatch sq;
    ASSERT_TRUE(std::regex_search(host.out, sq, std::regex(R"(: SQ (\d+),)"))) << host.out;
    HostRun results = Installed(ShellQuote(prefix_ + "/bin/payroll") + " --db " + ShellQuote(db) +
                                " results --company 1000 --month 200203 --sq " + sq[1].str() +
                                " --format json --columns stored");
    ASSERT_EQ(results.exit_code, 0) << results.err;
    const nlohmann::json rows = nlohmann::json::parse(results.out);
    double pay = 0, tax = 0;
    for (const nlohmann::json& row : rows) {
        pay += row["TPAY_AM"].get<double>();
        tax += row["INTX_AM"].get<double>();
    }
    EXPECT_EQ(std::to_string(rows.size()), m[1].str());
    EXPECT_EQ(std::to_string(std::llround(pay)), m[2].str());
    EXPECT_EQ(std::to_string(std::llround(tax)), m[3].str());

    // A run the month does not have: a clear failure, nothing else.
    HostRun missing = Installed(ShellQuote(build + "/payroll-example-host") + " " + ShellQuote(db) +
                                " 1000 200203 9");
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.err.find("has no run 9"), std::string::npos) << missing.err;
}

// A host of its own asks the installed CMake package for the papers'
// library by its component and prints a payslip of its own figures with it.
TEST_F(InstallTest, AHostPrintsAPayslipWithTheInstalledPrintComponent) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an uninstrumented host cannot load the instrumented library";
#endif
    const std::string source = folder_ + "/print-host", build = folder_ + "/print-host-build";
    fs::create_directories(source);
    std::ofstream(source + "/CMakeLists.txt")
        << "cmake_minimum_required(VERSION 3.25)\nproject(print_host CXX)\n"
           "find_package(payroll 0.1 CONFIG REQUIRED COMPONENTS print)\n"
           "add_executable(print-host main.cpp)\n"
           "target_link_libraries(print-host PRIVATE payroll::print)\n";
    std::ofstream(source + "/main.cpp") << R"(#include <cstdio>
#include <string>
#include "payroll/print.h"
int main(int, char** argv) {
    payroll::papers::Payslip slip;
    slip.company = "1000";
    slip.employee = "E000042";
    slip.name = "홍길동";
    slip.month = "200206";
    slip.sq = 1;
    slip.pay_types = "100";
    slip.pay.push_back({"P01", "기본급", 2500000.0, true, ""});
    slip.gross = 2500000;
    slip.deductions.push_back({"T00", "소득세", 65430.0, false, ""});
    slip.total_deductions = 65430;
    slip.net = slip.gross - slip.total_deductions;
    const std::string path = std::string(argv[1]) + "/" +
        payroll::print::PayslipFileName(slip, payroll::print::Format::kPdf);
    std::string error;
    const bool written = payroll::print::WritePayslip(slip, 0, payroll::print::Format::kPdf,
                                                      path, &error);
    payroll::print::ReleaseFonts();
    std::puts(written ? path.c_str() : error.c_str());
    return written ? 0 : 1;
}
)";
    HostRun configure = Shell("cmake -S " + ShellQuote(source) + " -B " + ShellQuote(build) +
                              " -DCMAKE_PREFIX_PATH=" + ShellQuote(prefix_));
    ASSERT_EQ(configure.exit_code, 0) << configure.out << configure.err;
    HostRun compile = Shell("cmake --build " + ShellQuote(build));
    ASSERT_EQ(compile.exit_code, 0) << compile.out << compile.err;
    HostRun host = Installed(ShellQuote(build + "/print-host") + " " + ShellQuote(folder_));
    ASSERT_EQ(host.exit_code, 0) << host.out << host.err;
    const std::string pdf = Trimmed(host.out);
    EXPECT_EQ(fs::path(pdf).parent_path(), fs::path(folder_));
    HostRun text = Shell("pdftotext " + ShellQuote(pdf) + " -");
    ASSERT_EQ(text.exit_code, 0) << text.err;
    for (const char* shown : {"홍길동", "E000042", "2,500,000", "65,430", "2,434,570"})
        EXPECT_NE(text.out.find(shown), std::string::npos) << shown << "\n" << text.out;
}

}  // namespace
}  // namespace payroll::packaging
