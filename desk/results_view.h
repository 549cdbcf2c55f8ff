// The month's results as a sortable table (amounts sort as numbers), their
// totals under it, and CSV export.
#pragma once

#include <QWidget>

#include "desk/month_data.h"

class QLabel;
class QTableWidget;

namespace payroll::desk {

class ResultsView : public QWidget {
  public:
    explicit ResultsView(QWidget* parent = nullptr);

    // Shows these results (replacing what was shown).
    void Show(const MonthResults& results);
    const MonthResults& Results() const { return results_; }
    // The sum of an amount column as the table shows it.
    double ShownTotal(int amount_col) const;
    QTableWidget* Table() const { return table_; }
    QLabel* TotalsLine() const { return totals_; }

  private:
    MonthResults results_;
    QTableWidget* table_;
    QLabel* totals_;
};

// An amount in won with thousands separators.
QString Won(double amount);

}  // namespace payroll::desk
