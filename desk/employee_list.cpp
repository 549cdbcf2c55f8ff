#include "desk/employee_list.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>

#include "desk/desk_text.h"
#include "payroll/imirak1.h"
#include "payroll/reading.h"
#include "payroll/roads.h"

namespace payroll::desk {
namespace {

QString ListText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool ReadMonthEmployees(const std::string& company, const std::string& month,
                        std::vector<ListedEmployee>* out, std::string* error) {
    out->clear();
    std::vector<HPHONPD_YMD_FMT> runs;
    if (!ListPayRuns(company, month, &runs, error)) return false;
    std::map<std::string, ListedEmployee> by_code;
    for (const HPHONPD_YMD_FMT& run : runs) {
        std::vector<reading::RunEmployee> employees;
        if (!reading::ReadRunEmployees(run, &employees, error)) return false;
        for (const reading::RunEmployee& e : employees) {
            ListedEmployee& listed = by_code[e.code];
            listed.code = ListText(e.code);
            if (listed.name.isEmpty()) listed.name = ListText(e.name);
            listed.runs.push_back(run);
        }
    }
    // The department as the month's results name it (code and name).
    reading::MonthResults results;
    if (reading::ReadMonthResults(company, month, 0, TextLanguage(), &results, error))
        for (const reading::ResultLine& line : results.lines) {
            auto it = by_code.find(line.employee);
            if (it != by_code.end() && it->second.department.isEmpty() && !line.department.empty())
                it->second.department =
                    (ListText(line.department) + QLatin1Char(' ') + ListText(line.department_name))
                        .trimmed();
        }
    error->clear();
    for (auto& [code, listed] : by_code) out->push_back(std::move(listed));
    return true;
}

EmployeeList::EmployeeList(const QString& title, std::vector<ListedEmployee> employees,
                           const HPHONPD_YMD_FMT* picked, QWidget* parent)
    : QDialog(parent),
      employees_(std::move(employees)),
      search_(new QLineEdit(this)),
      table_(new QTableWidget(this)),
      count_(new QLabel(this)) {
    if (picked) picked_ = *picked;
    setObjectName(QStringLiteral("employeeList"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    search_->setObjectName(QStringLiteral("search"));
    search_->setPlaceholderText(Tr(kSearch));
    search_->setClearButtonEnabled(true);
    layout->addWidget(search_);
    table_->setObjectName(QStringLiteral("employees"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setColumnCount(4);
    table_->setHorizontalHeaderLabels({Tr(kColEmployee), Tr(kColName), Tr(kColDept), Tr(kColSeq)});
    table_->setRowCount(static_cast<int>(employees_.size()));
    for (int r = 0; r < table_->rowCount(); ++r) {
        const ListedEmployee& e = employees_[static_cast<std::size_t>(r)];
        QStringList runs;
        for (const HPHONPD_YMD_FMT& run : e.runs)
            runs << ListText(run.SQ.Str()) + QLatin1Char(' ') + ListText(run.NM2.Str());
        auto* code = new QTableWidgetItem(e.code);
        code->setData(Qt::UserRole, r);
        table_->setItem(r, 0, code);
        table_->setItem(r, 1, new QTableWidgetItem(e.name));
        table_->setItem(r, 2, new QTableWidgetItem(e.department));
        table_->setItem(r, 3, new QTableWidgetItem(runs.join(QStringLiteral(", "))));
    }
    table_->resizeColumnsToContents();
    layout->addWidget(table_, 1);
    count_->setObjectName(QStringLiteral("shownCount"));
    layout->addWidget(count_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* view = buttons->addButton(Tr(kOpenViewer), QDialogButtonBox::ActionRole);
    view->setObjectName(QStringLiteral("viewButton"));
    buttons->addButton(Tr(kClose), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(view, &QPushButton::clicked, this, [this] { OpenViewer(table_->currentRow()); });
    connect(table_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { OpenViewer(row); });
    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) { Search(text); });
    resize(620, 460);
    Search(QString());
}

void EmployeeList::Search(const QString& text) {
    const QString wanted = text.trimmed();
    int shown = 0, first = -1;
    for (int r = 0; r < table_->rowCount(); ++r) {
        const bool match = wanted.isEmpty() ||
                           table_->item(r, 0)->text().contains(wanted, Qt::CaseInsensitive) ||
                           table_->item(r, 1)->text().contains(wanted, Qt::CaseInsensitive);
        table_->setRowHidden(r, !match);
        if (match) {
            ++shown;
            if (first < 0) first = r;
        }
    }
    if (first >= 0)
        table_->setCurrentCell(first, 0);
    else
        table_->setCurrentCell(-1, -1);
    count_->setText(Tr(kShownOf).arg(table_->rowCount()).arg(shown));
}

QStringList EmployeeList::ShownCodes() const {
    QStringList codes;
    for (int r = 0; r < table_->rowCount(); ++r)
        if (!table_->isRowHidden(r)) codes << table_->item(r, 0)->text();
    return codes;
}

bool EmployeeList::OpenViewer(int row) {
    if (row < 0 || row >= table_->rowCount() || table_->isRowHidden(row)) return false;
    const ListedEmployee& e = employees_[static_cast<std::size_t>(row)];
    if (e.runs.empty()) return false;
    HPHONPD_YMD_FMT key = e.runs.front();
    if (picked_)
        for (const HPHONPD_YMD_FMT& run : e.runs)
            if (run.SQ.Str() == picked_->SQ.Str()) key = *picked_;
    CIMirak1 front;
    front.CallSempSubject(&key, CString(e.code.toStdString()));
    return true;
}

}  // namespace payroll::desk
