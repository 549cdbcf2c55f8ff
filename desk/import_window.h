// File > Import company folder: the folder's check in a window before
// anything is written. Every problem is listed (file, line, column, value,
// what was expected) and Import is offered only when there is none; after
// the import the window shows, file by file, what was added, changed and
// left out.
#pragma once

#include <QDialog>
#include <string>

#include "payroll/company.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace payroll::desk {

class ImportWindow : public QDialog {
  public:
    // Checks `folder` at once (nothing is written).
    explicit ImportWindow(const QString& folder, QWidget* parent = nullptr);

    // Imports the checked folder into the open database in one transaction
    // and shows what it did, or why it did not; true when it was imported.
    // Refused (false, said in the window) while the check found problems.
    bool Import();

    bool CanImport() const { return problems_.empty() && !imported_; }
    bool Imported() const { return imported_; }
    const std::string& Company() const { return company_; }
    QTableWidget* Table() const { return table_; }
    QLabel* Summary() const { return summary_; }
    QPushButton* ImportButton() const { return import_; }

  private:
    void ShowProblems();
    void ShowChanges(const std::vector<folder::FileChange>& changes);

    std::string folder_;
    std::string company_;
    std::vector<folder::Problem> problems_;
    bool imported_ = false;
    QLabel* summary_;
    QTableWidget* table_;
    QPushButton* import_;
};

}  // namespace payroll::desk
