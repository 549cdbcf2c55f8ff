// CEmpFormGrid: the employee viewer's form grid. It adds no behaviour to the
// form grid; it builds the viewer's fifteen rows and lets a UI driver read
// them (payroll::front::UiForm).
#pragma once

#include "payroll/imirak1.h"
#include "platform/ui/one_grid.h"

class CEmpFormGrid : public CG_OneGrid, public payroll::front::UiForm {
  public:
    static constexpr UINT kTextFormat = 37;
    static constexpr int kHeadingBox = 1;
    static constexpr int kHeadingExtra = 6;  // pixels added to a heading's height
    static constexpr int kRowMinHeight = 20;
    static constexpr int kHeadingMinHeight = 10;

    // Creates the form as a visible child with an empty rectangle and sets
    // up its rows, cells, labels, masks and heading boxes.
    BOOL CreateForm(CWnd* parent, UINT id);

    // payroll::front::UiForm
    int RowCount() const override { return GetRowCount(); }
    int ColCount(int row) const override { return GetColCount(row); }
    bool IsHeading(int row) const override;
    bool IsLabel(int row, int col) const override;
    CString CellText(int row, int col) const override { return GetDisplayText(row, col); }

  private:
    void EnlargeHeading(int row);
};
