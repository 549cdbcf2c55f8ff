// CListGrid: the front's list grid. Layout 0 is the pay-run picker's list
// (ten columns, seven of them hidden), layout 1 the employee viewer's fixed
// pay items (two columns). A double-click on a cell or Enter confirms the
// parent dialog as its OK button does.
#pragma once

#include "platform/ui/ug_ctrl.h"

class CListGrid : public CG_UGCtrl {
  public:
    static constexpr int kPayRunLayout = 0;
    static constexpr int kFixedPayLayout = 1;
    static constexpr int kPayRunCols = 10;
    static constexpr int kFixedPayCols = 2;
    static constexpr int kSideWidth = 22;
    // The special mask of the pay date column of the picker.
    static constexpr long kPayDateSpecMask = 0x4000000;

    // Set before the grid window is created.
    void SetLayout(int layout) { m_nLayout = layout; }
    int GetLayout() const { return m_nLayout; }

    void OnSetup() override;
    int OnCanSizeCol(int col) override;
    void OnColSized(int col, int* width) override;
    void OnDClicked(int col, long row, RECT* rect, POINT* point, BOOL processed) override;
    void OnKeyDown(UINT* vckey, BOOL processed) override;
    void OnCharDown(UINT* vckey, BOOL processed) override;
    void OnGetCell(int col, long row, CG_UGCell* cell) override;
    int OnEditStart(int col, long row, CWnd** edit) override;
    int OnEditVerify(int col, long row, CWnd* edit, UINT* vckey) override;
    int OnEditFinish(int col, long row, CWnd* edit, const char* text, BOOL cancel) override;
    int OnEditContinue(int oldcol, long oldrow, int* newcol, long* newrow) override;
    int OnHint(int col, long row, int section, CString* text) override;
    int OnVScrollHint(long row, CString* text) override;
    int OnHScrollHint(int col, CString* text) override;
    int OnDragEnter(void* data) override;
    int OnDragOver(void* data, int col, long row) override;
    int OnDragDrop(void* data, int col, long row) override;
    int OnCellTypeNotify(long id, int col, long row, long msg, long param) override;
    int OnSortEvaluate(CG_UGCell* cell1, CG_UGCell* cell2, int flags) override;
    COLORREF OnGetDefBackColor(int section) override;
    void OnDrawFocusRect(CDC* dc, RECT* rect) override;

  private:
    void SetupColumn(int col, int title_id, const char* mask);
    // Ends the parent dialog as its OK button would.
    void ConfirmParent();

    int m_nLayout = kPayRunLayout;
};
