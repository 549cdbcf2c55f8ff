// The company folder's CSV reader and checks on any bytes: the first byte
// picks one of the example folder's files, the rest replaces it; the reader
// and the checks must end without a crash, leak or hang, and report any
// problem with a file and an expectation.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "company/csv.h"
#include "company/layout.h"
#include "payroll/company.h"

namespace {

std::string ScratchFolder() {
    static const std::string dir = [] {
        std::string d = std::filesystem::temp_directory_path().string() + "/payroll_company_fuzz_" +
                        std::to_string(::getpid());
        std::filesystem::create_directories(d);
        for (const auto& e : std::filesystem::directory_iterator(std::string(PAYROLL_SOURCE_DIR) +
                                                                 "/resources/company-example"))
            std::filesystem::copy_file(e.path(), d + "/" + e.path().filename().string(),
                                       std::filesystem::copy_options::overwrite_existing);
        return d;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    using namespace payroll::folder;
    // The reader alone, and the writer's round trip of every value it read.
    const CsvText csv = ReadCsv(bytes);
    for (const CsvRow& row : csv.rows)
        for (const std::string& cell : row.cells) {
            const std::string value = PlainCell(cell);
            const CsvText again = ParseCsv(CsvLine({value, "end"}));
            if (again.rows.size() != 1 || again.rows[0].cells.size() != 2 ||
                PlainCell(again.rows[0].cells[0]) != value)
                std::abort();
        }
    // The checks of a folder with one file replaced.
    const std::string dir = ScratchFolder();
    const FileSpec& spec = Files()[data[0] % Files().size()];
    const std::string path = dir + "/" + spec.name;
    std::string original;
    {
        std::ifstream in(path, std::ios::binary);
        original.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    for (const Problem& p : CheckFolder(dir, nullptr))
        if (p.file.empty() || p.expected.empty()) std::abort();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << original;
    return 0;
}
