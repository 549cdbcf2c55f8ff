// The employee viewer's form as a read-only table: headings span the row,
// labels are shaded, values show through their masks.
#pragma once

#include <QTableWidget>

#include "payroll/imirak1.h"

namespace payroll::qt {

class FormView : public QTableWidget {
  public:
    explicit FormView(const payroll::front::UiForm& form, QWidget* parent = nullptr);

    // Shows the form's cells as they are now.
    void Sync();

  private:
    const payroll::front::UiForm& form_;
};

}  // namespace payroll::qt
