// Where the papers go: their file names, and the checks a batch passes
// before its first file is written.
#include <string>
#include <vector>

#include "payroll/host.h"
#include "payroll/print.h"
#include "print/paper_file.h"

namespace payroll::print {
namespace {

const char* Extension(Format format) {
    return format == Format::kPdf ? ".pdf" : format == Format::kXlsx ? ".xlsx" : ".csv";
}

// The files of the open database: no paper takes their place. A database on
// a server has none here.
std::vector<FileId> DatabaseFiles() {
    std::vector<FileId> files;
    const std::string name = DatabaseDisplayName();
    const std::string scheme = "sqlite:";
    if (name.compare(0, scheme.size(), scheme) != 0) return files;
    const std::string path = name.substr(scheme.size());
    if (path.empty() || path == ":memory:") return files;
    for (const char* beside : {"", "-wal", "-shm", "-journal"}) {
        FileId id;
        if (IdentifyFile(path + beside, &id)) files.push_back(id);
    }
    return files;
}

}  // namespace

std::string PayslipFileName(const papers::Payslip& slip, Format format) {
    const std::string first_type = slip.pay_types.substr(0, slip.pay_types.find(','));
    return "payslip-" + FileNamePart(slip.month) + "-" + std::to_string(slip.sq) + "-" +
           FileNamePart(first_type) + "-" + FileNamePart(slip.employee) + Extension(format);
}

std::string RegisterFileName(const papers::Register& reg, Format format) {
    return "register-" + FileNamePart(reg.month) + Extension(format);
}

std::string LedgerFileName(const papers::Ledger& ledger, Format format) {
    return "ledger-" + FileNamePart(ledger.year) + "-" + FileNamePart(ledger.employee) +
           Extension(format);
}

bool PrepareToWrite(Format format, const std::string& folder, bool refuse_linked_folder,
                    const std::vector<std::string>& paths, std::string* error) {
    if (format == Format::kPdf && !CheckFont(error)) return false;
    if (refuse_linked_folder && !CheckPaperFolder(folder, error)) return false;
    if (!PrepareFolder(folder, error)) return false;
    const std::vector<FileId> database = DatabaseFiles();
    for (const std::string& path : paths)
        if (!CheckPaperTarget(path, database, error)) return false;
    return true;
}

}  // namespace payroll::print
