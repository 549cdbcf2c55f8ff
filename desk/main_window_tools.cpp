// The main window's tools beside the month's work: a company folder
// imported through its check, the month's employee list, and the language
// switch that rebuilds the window's texts.
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include "desk/desk_text.h"
#include "desk/employee_list.h"
#include "desk/import_window.h"
#include "desk/language.h"
#include "desk/main_window.h"
#include "payroll/host.h"

namespace payroll::desk {
namespace {

QString ToolText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void MainWindow::SwitchLanguage(int language, bool keep) {
    QString error;
    const bool applied = ApplyLanguage(language, keep, &error);
    // The face again in the new language, showing what it showed.
    const QString company = company_->currentText(), month = month_->text();
    const QString database = database_->text();
    const int tab = tabs_->currentIndex();
    for (QMenu* menu : menuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
        menu->deleteLater();  // this runs from one of their actions
    menuBar()->clear();
    BuildFace();
    setWindowTitle(Tr(kAppTitle));
    database_->setText(payroll::IsDatabaseOpen() ? database : Tr(kNoDatabase));
    if (payroll::IsDatabaseOpen()) ReadCompanies();
    company_->setCurrentText(company);
    month_->setText(month);
    tabs_->setCurrentIndex(tab);
    UpdateRunLine();
    RefreshResults();
    if (!applied) Say(Tr(kCannotKeepLanguage).arg(error), true);
}

void MainWindow::AskImport() {
    const QString folder = QFileDialog::getExistingDirectory(this, Tr(kImportFolder));
    if (!folder.isEmpty()) ImportFolder(folder);
}

void MainWindow::ImportFolder(const QString& folder) {
    if (!payroll::IsDatabaseOpen()) {
        Say(Tr(kNoDatabase), true);
        return;
    }
    ImportWindow window(folder, this);
    window.exec();
    if (!window.Imported()) return;
    ReadCompanies();
    company_->setCurrentText(QString::fromStdString(window.Company()));
    Say(Tr(kImported).arg(QString::fromStdString(window.Company())), false);
    RefreshResults();
}

bool MainWindow::ShowEmployeeList() {
    std::string company, month, error;
    if (!CheckCompanyMonth(&company, &month)) return false;
    std::vector<ListedEmployee> employees;
    if (!ReadMonthEmployees(company, month, &employees, &error)) {
        Say(Tr(kCannotOpen).arg(ToolText(error)), true);
        return false;
    }
    if (employees.empty()) {
        Say(Tr(kNoRuns).arg(ToolText(company), ToolText(month)), true);
        return false;
    }
    EmployeeList list(Tr(kEmployeeListTitle).arg(ToolText(company), ToolText(month)),
                      std::move(employees), run_ ? &*run_ : nullptr, this);
    list.exec();
    return true;
}

}  // namespace payroll::desk
