// The run paths of the build tree's programs and libraries: every entry is
// $ORIGIN-relative or absolute and none is empty (the loader reads an empty
// entry as the folder the program was started from), the host program finds
// libpayroll.so by $ORIGIN, and started in a folder that holds files named
// as every library it needs, it loads none of them; and which of them links
// the drawing libraries.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/host_program.h"
#include "support/scratch_db.h"

namespace payroll::packaging {
namespace {

namespace fs = std::filesystem;
using namespace payroll::testing;

struct DynamicSection {
    bool read = false;                // readelf found a dynamic section
    std::vector<std::string> needed;  // NEEDED
    std::vector<std::string> search;  // RPATH and RUNPATH entries, empty ones kept
};

// The text between the brackets of a readelf -d line.
std::string Bracketed(const std::string& line) {
    const std::size_t open = line.find('['), close = line.rfind(']');
    return open == std::string::npos || close == std::string::npos || close < open
               ? std::string()
               : line.substr(open + 1, close - open - 1);
}

DynamicSection ReadDynamicSection(const std::string& file) {
    DynamicSection d;
    HostRun r = Shell("readelf -d " + ShellQuote(file));
    if (r.exit_code != 0) return d;
    std::size_t start = 0;
    while (start < r.out.size()) {
        std::size_t end = r.out.find('\n', start);
        if (end == std::string::npos) end = r.out.size();
        const std::string line = r.out.substr(start, end - start);
        start = end + 1;
        if (line.find("Dynamic section") != std::string::npos) d.read = true;
        if (line.find("(NEEDED)") != std::string::npos) d.needed.push_back(Bracketed(line));
        if (line.find("(RUNPATH)") != std::string::npos ||
            line.find("(RPATH)") != std::string::npos) {
            const std::string list = Bracketed(line);
            std::size_t from = 0;
            for (;;) {
                const std::size_t colon = list.find(':', from);
                d.search.push_back(list.substr(from, colon - from));
                if (colon == std::string::npos) break;
                from = colon + 1;
            }
        }
    }
    return d;
}

bool IsElf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    char magic[4] = {};
    return in.read(magic, 4) && magic[0] == 0x7f && magic[1] == 'E' && magic[2] == 'L' &&
           magic[3] == 'F';
}

// The build tree's programs and shared libraries (CMake's own probes aside).
std::vector<fs::path> BuiltBinaries() {
    std::vector<fs::path> found;
    const fs::path root(PAYROLL_BINARY_DIR);
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        if (it->is_directory() && it->path().filename() == "CMakeFiles") {
            it.disable_recursion_pending();
            continue;
        }
        if (!it->is_regular_file() || it->is_symlink()) continue;
        const std::string name = it->path().filename().string();
        const bool library = name.find(".so") != std::string::npos;
        const bool program =
            (it->status().permissions() & fs::perms::owner_exec) != fs::perms::none;
        if ((library || program) && IsElf(it->path())) found.push_back(it->path());
    }
    return found;
}

TEST(RunpathTest, EveryEntryIsOriginRelativeOrAbsolute) {
    std::vector<fs::path> binaries = BuiltBinaries();
    for (const char* must : {PAYROLL_CLI, PAYROLL_SHARED_LIB})
        EXPECT_NE(std::find(binaries.begin(), binaries.end(), fs::path(must)), binaries.end())
            << must;
    for (const fs::path& file : binaries) {
        const DynamicSection d = ReadDynamicSection(file.string());
        if (!d.read) continue;  // a static program
        for (const std::string& entry : d.search) {
            EXPECT_FALSE(entry.empty()) << file << ": an empty entry, the current folder";
            EXPECT_TRUE(entry.rfind("$ORIGIN", 0) == 0 || entry.rfind('/', 0) == 0)
                << file << ": " << entry << " is relative to the current folder";
        }
    }
}

TEST(RunpathTest, TheProgramFindsTheLibraryByOrigin) {
    const DynamicSection d = ReadDynamicSection(PAYROLL_CLI);
    ASSERT_TRUE(d.read);
    const fs::path library_dir = fs::canonical(fs::path(PAYROLL_SHARED_LIB).parent_path());
    const std::string origin = fs::path(PAYROLL_CLI).parent_path().string();
    bool found = false;
    for (const std::string& entry : d.search) {
        if (entry.rfind("$ORIGIN", 0) != 0) continue;
        const fs::path dir = origin + entry.substr(7);
        std::error_code ec;
        found = found || fs::canonical(dir, ec) == library_dir;
    }
    EXPECT_TRUE(found) << "no $ORIGIN entry of " << PAYROLL_CLI << " names " << library_dir;
}

TEST(RunpathTest, LibrariesInTheCurrentFolderAreNotLoaded) {
    const DynamicSection d = ReadDynamicSection(PAYROLL_CLI);
    ASSERT_TRUE(d.read);
    ASSERT_FALSE(d.needed.empty());
    const std::string folder = FreshFolder("runpath");
    for (const std::string& library : d.needed)
        std::ofstream(fs::path(folder) / library) << "not a library\n";
    RunOptions in_folder;
    in_folder.cwd = folder;
    HostRun r = RunHost({"--version"}, in_folder);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find("payroll "), std::string::npos) << r.out;
    fs::remove_all(folder);
}

// Drawing is libpayroll-print's alone: the library every host loads links
// no drawing, font or window library, the papers' library links the drawing
// and font ones and the library itself, and the host program links both.
TEST(RunpathTest, OnlyThePrintLibraryLinksTheDrawingLibraries) {
    const std::string print_lib = PAYROLL_BINARY_DIR "/print/libpayroll-print.so.0";
    const DynamicSection library = ReadDynamicSection(PAYROLL_SHARED_LIB);
    const DynamicSection print = ReadDynamicSection(print_lib);
    const DynamicSection program = ReadDynamicSection(PAYROLL_CLI);
    ASSERT_TRUE(library.read && print.read && program.read) << print_lib;
    const auto links = [](const DynamicSection& d, const std::string& prefix) {
        return std::any_of(d.needed.begin(), d.needed.end(),
                           [&](const std::string& n) { return n.rfind(prefix, 0) == 0; });
    };
    for (const char* drawing :
         {"libcairo", "libpango", "libfontconfig", "libxlsxwriter", "libQt"}) {
        EXPECT_FALSE(links(library, drawing)) << PAYROLL_SHARED_LIB << " links " << drawing;
        EXPECT_FALSE(links(program, drawing)) << PAYROLL_CLI << " links " << drawing;
    }
    for (const char* drawing :
         {"libcairo", "libpango", "libpangocairo", "libfontconfig", "libxlsxwriter"})
        EXPECT_TRUE(links(print, drawing)) << print_lib << " does not link " << drawing;
    EXPECT_FALSE(links(print, "libQt")) << print_lib;
    EXPECT_TRUE(links(print, "libpayroll.so.0")) << print_lib;
    EXPECT_TRUE(links(program, "libpayroll-print.so.0")) << PAYROLL_CLI;
}

}  // namespace
}  // namespace payroll::packaging
