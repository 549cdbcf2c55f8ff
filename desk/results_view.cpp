#include "desk/results_view.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "desk/desk_text.h"

namespace payroll::desk {
namespace {

constexpr int kFirstAmountCol = 5;
constexpr TextId kResultTitles[] = {kColEmployee,  kColName,        kColSeq,        kColPayType,
                                    kColDept,      kColSalary,      kColTaxable,    kColExempt,
                                    kColIncomeTax, kColResidentTax, kColDeductions, kColNet};

// A cell that sorts by its number, not its text.
class NumberItem : public QTableWidgetItem {
  public:
    NumberItem(const QString& text, double value) : QTableWidgetItem(text) {
        setData(Qt::UserRole, value);
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
    }
};

}  // namespace

QString Won(double amount) {
    return QLocale(QLocale::English).toString(static_cast<qlonglong>(std::llround(amount)));
}

ResultsView::ResultsView(QWidget* parent)
    : QWidget(parent), table_(new QTableWidget(this)), totals_(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_);
    layout->addWidget(totals_);
    table_->setObjectName(QStringLiteral("results"));
    totals_->setObjectName(QStringLiteral("totals"));
    totals_->setWordWrap(true);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setColumnCount(static_cast<int>(std::size(kResultTitles)));
    QStringList titles;
    for (TextId id : kResultTitles) titles << Tr(id);
    table_->setHorizontalHeaderLabels(titles);
}

void ResultsView::Show(const MonthResults& results) {
    results_ = results;
    table_->setSortingEnabled(false);
    table_->clearContents();
    table_->setRowCount(static_cast<int>(results.rows.size()));
    for (int r = 0; r < table_->rowCount(); ++r) {
        const ResultRow& row = results.rows[static_cast<std::size_t>(r)];
        table_->setItem(r, 0, new QTableWidgetItem(row.employee));
        table_->setItem(r, 1, new QTableWidgetItem(row.name));
        table_->setItem(r, 2, new NumberItem(QString::number(row.sq), row.sq));
        table_->setItem(r, 3, new QTableWidgetItem(row.pay_type));
        table_->setItem(r, 4, new QTableWidgetItem(row.department));
        for (int c = 0; c < kAmountCount; ++c)
            table_->setItem(r, kFirstAmountCol + c,
                            new NumberItem(Won(row.amounts[c]), row.amounts[c]));
    }
    table_->setSortingEnabled(true);
    table_->resizeColumnsToContents();
    QStringList parts;
    for (int c = 0; c < kAmountCount; ++c)
        parts << Tr(kResultTitles[kFirstAmountCol + c]) + QLatin1Char(' ') + Won(ShownTotal(c));
    // People and lines apart: one person paid in two runs has two lines.
    totals_->setText(QStringLiteral("<b>%1</b> (%2) &nbsp; %3")
                         .arg(Tr(kTotals),
                              Tr(kPeopleAndLines).arg(results.people).arg(table_->rowCount()),
                              parts.join(QStringLiteral(" &nbsp;·&nbsp; "))));
}

double ResultsView::ShownTotal(int amount_col) const {
    double total = 0;
    for (int r = 0; r < table_->rowCount(); ++r)
        if (const QTableWidgetItem* item = table_->item(r, kFirstAmountCol + amount_col))
            total += item->data(Qt::UserRole).toDouble();
    return total;
}

}  // namespace payroll::desk
