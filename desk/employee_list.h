// The employees of the company's month: everyone with rows in one of its
// runs, with his department and the runs he is in, searched by name or
// code as one types; a double-click or View record opens the library's
// employee viewer on him (in the picked run when he is in it, else in his
// first run of the month).
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "payroll/records.h"

class QLabel;
class QLineEdit;
class QTableWidget;

namespace payroll::desk {

struct ListedEmployee {
    QString code;
    QString name;
    QString department;                 // "D100 총무부"
    std::vector<HPHONPD_YMD_FMT> runs;  // the month's runs he has rows in
};

// The employees of a company's month, by code. False, with the reason, when
// the runs or their employees cannot be read.
bool ReadMonthEmployees(const std::string& company, const std::string& month,
                        std::vector<ListedEmployee>* out, std::string* error);

class EmployeeList : public QDialog {
  public:
    // `picked`: the run to open the viewer in when the employee is in it.
    EmployeeList(const QString& title, std::vector<ListedEmployee> employees,
                 const HPHONPD_YMD_FMT* picked, QWidget* parent = nullptr);

    // Shows only the employees whose name or code holds `text` (any case).
    void Search(const QString& text);
    // The codes of the rows shown, top to bottom.
    QStringList ShownCodes() const;
    // Opens the viewer on the employee of a shown row; false for no row.
    bool OpenViewer(int row);

    QLineEdit* SearchBox() const { return search_; }
    QTableWidget* Table() const { return table_; }

  private:
    std::vector<ListedEmployee> employees_;
    std::optional<HPHONPD_YMD_FMT> picked_;
    QLineEdit* search_;
    QTableWidget* table_;
    QLabel* count_;
};

}  // namespace payroll::desk
