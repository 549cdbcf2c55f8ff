// The employee viewer's form as a read-only table: headings span the row,
// labels are shaded, values show through their masks. A resident
// registration number shows masked (700101-1******) until revealed on
// purpose: a double-click on it, or the viewer's reveal button.
#pragma once

#include <QTableWidget>

#include "payroll/imirak1.h"

namespace payroll::qt {

class FormView : public QTableWidget {
  public:
    explicit FormView(const payroll::front::UiForm& form, QWidget* parent = nullptr);

    // Shows the form's cells as they are now.
    void Sync();

    // Shows the resident registration numbers whole (true) or masked.
    void SetRevealed(bool revealed);
    bool Revealed() const { return revealed_; }
    // True when the form holds a resident registration number.
    bool HasResidentNumber() const { return has_resident_; }

  private:
    const payroll::front::UiForm& form_;
    bool revealed_ = false;
    bool has_resident_ = false;
};

}  // namespace payroll::qt
