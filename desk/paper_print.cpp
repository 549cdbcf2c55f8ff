#include "desk/paper_print.h"

#include <QApplication>
#include <QFileDialog>
#include <filesystem>
#include <vector>

#include "desk/desk_text.h"
#include "desk/main_window.h"
#include "payroll/papers.h"
#include "payroll/print.h"

namespace payroll::desk {
namespace {

constexpr print::Format kPdf = print::Format::kPdf;

std::string InFolder(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

// Checks the whole batch, then writes each paper to its path.
template <typename PaperData, typename Write>
bool WriteAll(const std::vector<PaperData>& all, const std::vector<std::string>& paths,
              const std::string& folder, Write write, int* written, std::string* error) {
    if (!print::PrepareToWrite(kPdf, folder, true, paths, error)) return false;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!write(all[i], paths[i], error)) return false;
        ++*written;
    }
    return true;
}

}  // namespace

bool PaperByName(const QString& name, Paper* paper) {
    for (int i = 0; i < static_cast<int>(std::size(kPaperNames)); ++i)
        if (name == QLatin1String(kPaperNames[i])) {
            *paper = static_cast<Paper>(i);
            return true;
        }
    return false;
}

bool PrintPapers(Paper paper, const std::string& company, const std::string& month, int language,
                 const std::string& folder, int* written, std::string* error) {
    *written = 0;
    papers::PaperQuery query;
    query.company = company;
    query.period = paper == Paper::kLedgers ? month.substr(0, 4) : month;
    query.language = language;
    switch (paper) {
        case Paper::kPayslips: {
            std::vector<papers::Payslip> slips;
            if (!papers::ReadPayslips(query, &slips, error)) return false;
            std::vector<std::string> paths;
            paths.reserve(slips.size());
            for (const papers::Payslip& s : slips)
                paths.push_back(InFolder(folder, print::PayslipFileName(s, kPdf)));
            return WriteAll(
                slips, paths, folder,
                [language](const papers::Payslip& s, const std::string& path, std::string* why) {
                    return print::WritePayslip(s, language, kPdf, path, why);
                },
                written, error);
        }
        case Paper::kRegister: {
            papers::Register reg;
            if (!papers::ReadRegister(query, &reg, error)) return false;
            return WriteAll(
                std::vector<papers::Register>{reg},
                {InFolder(folder, print::RegisterFileName(reg, kPdf))}, folder,
                [language](const papers::Register& r, const std::string& path, std::string* why) {
                    return print::WriteRegister(r, language, kPdf, path, why);
                },
                written, error);
        }
        case Paper::kReturn: {
            papers::WithholdingReturn ret;
            if (!papers::ReadWithholdingReturn(query, &ret, error)) return false;
            return WriteAll(
                std::vector<papers::WithholdingReturn>{ret},
                {InFolder(folder, print::WithholdingReturnFileName(ret, kPdf))}, folder,
                [language](const papers::WithholdingReturn& r, const std::string& path,
                           std::string* why) {
                    return print::WriteWithholdingReturn(r, language, kPdf, path, why);
                },
                written, error);
        }
        case Paper::kLedgers:
            break;
    }
    std::vector<papers::Ledger> ledgers;
    if (!papers::ReadLedgers(query, &ledgers, error)) return false;
    std::vector<std::string> paths;
    paths.reserve(ledgers.size());
    for (const papers::Ledger& l : ledgers)
        paths.push_back(InFolder(folder, print::LedgerFileName(l, kPdf)));
    return WriteAll(
        ledgers, paths, folder,
        [language](const papers::Ledger& l, const std::string& path, std::string* why) {
            return print::WriteLedger(l, language, kPdf, path, why);
        },
        written, error);
}

// The window's side of it: the company and month it shows, the message line
// for how it ended. (Fonts stay loaded: Qt draws with the same fontconfig.)
bool MainWindow::PrintToPdf(Paper paper, const QString& folder) {
    std::string company, month;
    if (!CheckCompanyMonth(&company, &month)) return false;
    if (folder.isEmpty()) {
        Say(Tr(kCannotPrint).arg(Tr(kNoFolder)), true);
        return false;
    }
    SetBusy(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int written = 0;
    std::string error;
    const bool printed =
        PrintPapers(paper, company, month, TextLanguage(), folder.toStdString(), &written, &error);
    QApplication::restoreOverrideCursor();
    SetBusy(false);
    if (!printed) {
        Say(Tr(kCannotPrint).arg(QString::fromStdString(error)), true);
        return false;
    }
    Say(Tr(kPrinted).arg(written).arg(folder), false);
    return true;
}

void MainWindow::AskPrint(Paper paper) {
    const QString folder = QFileDialog::getExistingDirectory(this, Tr(kPrintPdf));
    if (!folder.isEmpty()) PrintToPdf(paper, folder);
}

}  // namespace payroll::desk
