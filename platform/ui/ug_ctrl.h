// CG_UGCtrl: the list grid. It holds rows of cells, column titles, masks
// and widths, and a current cell; the rows and the current cell belong to the
// object, so they outlive the grid's window. Keys, characters and mouse
// clicks that reach the window (through the dialog, see DeliverMessage) are
// turned into the notification hooks below, which a derived grid overrides;
// the base bodies give the component's default answers.
//
// Rows and columns count from 0; column -1 is the side heading and row -1
// the top heading. Operations on cells outside the grid do nothing and
// answer UG_ERROR (or an empty text).
#pragma once

#include <map>
#include <vector>

#include "payroll/ui.h"
#include "payroll/wnd.h"
#include "platform/ui/dc.h"
#include "platform/ui/ug_cell.h"

inline constexpr int UG_SUCCESS = 0, UG_ERROR = 1;
// Grid sections, as hooks name them.
inline constexpr int UG_GRID = 1, UG_TOPHEADING = 2, UG_SIDEHEADING = 3, UG_CORNERBUTTON = 4;
// Sort flags: ascending, or descending (which swaps the cells compared).
inline constexpr int UG_SORT_ASCENDING = 1, UG_SORT_DESCENDING = 2;
inline constexpr int UG_DRAGDROP_NONE = 0;

class CG_UGCtrl : public CWnd, public payroll::ui::UiGrid {
  public:
    static constexpr long kMaxRows = 1000000;
    static constexpr int kMaxCols = 1000;
    static constexpr int kDefaultColWidth = 75;
    static constexpr int kDefaultRowHeight = 20;

    CG_UGCtrl();
    ~CG_UGCtrl() override;

    // Creates the grid window as a child of parent, then calls OnSetup and
    // OnSheetSetup(0). FALSE when the window cannot be created.
    BOOL CreateGrid(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // ---- shape ----
    int SetNumberRows(long rows, BOOL redraw = TRUE, BOOL keep_current = TRUE);
    long GetNumberRows() const { return static_cast<long>(rows_.size()); }
    int SetNumberCols(int cols, BOOL redraw = TRUE);
    int GetNumberCols() const { return static_cast<int>(cols_.size()); }
    int SetTH_NumberRows(int rows);
    int GetTH_NumberRows() const { return title_rows_; }
    int SetSH_NumberCols(int cols);
    int GetSH_NumberCols() const { return side_cols_; }
    int SetSH_Width(int width);
    int GetSH_Width() const { return side_width_; }
    int SetTH_Height(int height);
    int GetTH_Height() const { return top_height_; }
    int SetDefRowHeight(int height);
    int GetRowHeight() const { return row_height_; }

    // ---- columns ----
    // Width 0 hides a column.
    int SetColWidth(int col, int width);
    int GetColWidth(int col, int* width) const;
    int GetColWidth(int col) const;
    bool IsColHidden(int col) const { return GetColWidth(col) == 0; }
    int SetTitleText(int col, int title_row, const char* text, int align = 0);
    CString GetTitleText(int col, int title_row = 0) const;
    // The mask of every cell of the column, current and future.
    int SetMaskAttr(int col, const char* mask, int flags = 0);
    CString GetMaskAttr(int col) const;
    int SetSpecMask(int col, long row, long mask);
    long GetSpecMask(int col) const;
    // The cell new rows of the column start from.
    int SetColDefault(int col, const CG_UGCell* cell);
    int GetColDefault(int col, CG_UGCell* cell) const;

    // ---- modes ----
    void SetBallisticKeyMode(int mode) { ballistic_mode_ = mode; }
    int GetBallisticKeyMode() const { return ballistic_mode_; }
    void SetListMode(int mode) { list_mode_ = mode; }
    int GetListMode() const { return list_mode_; }
    // The component's option word (bit 2: column widths are the user's).
    int GetOptions() const { return options_; }
    void SetOptions(int options) { options_ = options; }
    // Keeps the widths the user dragged when columns are laid out again.
    void SetUserColWidth() { user_col_width_ = true; }
    bool GetUserColWidth() const { return user_col_width_; }

    // ---- cells ----
    int QuickSetText(int col, long row, const char* text, int redraw = 0);
    CString QuickGetText(int col, long row, int flags = 0) const;
    int GetCell(int col, long row, CG_UGCell* cell) const;
    int SetCell(int col, long row, const CG_UGCell* cell);
    // The cell as it is shown: the stored cell after OnGetCell.
    int GetCellIndirect(int col, long row, CG_UGCell* cell);

    // ---- current cell ----
    long GetCurrentRow() const { return current_row_; }
    int GetCurrentCol() const { return current_col_; }
    // Moves the current cell, asking OnCanMove first; UG_ERROR when refused
    // or outside the grid.
    int GotoCell(int col, long row);
    int GotoRow(long row) { return GotoCell(current_col_ < 0 ? 0 : current_col_, row); }
    int GotoCol(int col) { return GotoCell(col, current_row_); }
    long GetTopRow() const { return top_row_; }

    // ---- editing ----
    // Starts editing the current cell with a first key (0: none), if
    // OnEditStart allows it.
    int StartEdit(int key = 0);
    bool IsEditing() const { return editing_; }
    CString GetEditText() const { return edit_text_; }
    // Adds a typed character to the edit, if OnEditVerify allows it.
    int EditChar(UINT ch);
    // Ends the edit: OnEditFinish decides whether the text is stored.
    int EndEdit(BOOL cancel = FALSE);

    // ---- sorting ----
    // Sorts the rows by a column with OnSortEvaluate; the current row
    // follows its row.
    int SortBy(int col, int flags = UG_SORT_ASCENDING);

    // ---- user actions a driver or a test performs ----
    int ResizeCol(int col, int width);  // through OnCanSizeCol / OnColSizing / OnColSized
    int ResizeRow(long row, int height);
    CString GetHint(int col, long row);
    int MenuStart(int col, long row, int section);
    void MenuCommand(int col, long row, int section, int item);
    int DragEnter(void* data);
    int DragOver(void* data, int col, long row);
    int DragDrop(void* data, int col, long row);
    void SelectTab(int id) { OnTabSelected(id); }

    // ---- painting ----
    // Paints the grid into a recording device context (kept as LastPaint).
    void RedrawAll();
    const CDC& LastPaint() const { return last_paint_; }
    int RedrawCount() const { return redraw_count_; }
    // Rectangle of a cell in the grid's client area (columns hidden by width
    // 0 have empty rectangles).
    CRect GetCellRect(int col, long row) const;
    // Which cell a client point falls on; false outside any.
    bool HitTest(POINT point, int* col, long* row) const;

    // ---- payroll::ui::UiGrid ----
    int ControlId() const override { return GetDlgCtrlID(); }
    long RowCount() const override { return GetNumberRows(); }
    int ColCount() const override { return GetNumberCols(); }
    CString CellText(int col, long row) const override;
    payroll::ui::CellLook ShownCell(int col, long row) const override;
    CString ColumnTitle(int col) const override { return GetTitleText(col, 0); }
    int ColumnWidth(int col) const override { return GetColWidth(col); }
    long CurrentRow() const override { return GetCurrentRow(); }
    int CurrentCol() const override { return GetCurrentCol(); }
    bool SelectCell(int col, long row) override;
    void KeyDown(UINT key) override;
    void Char(UINT ch) override;
    void DoubleClick(int col, long row) override;
    bool ResizeColumn(int col, int width) override { return ResizeCol(col, width) == UG_SUCCESS; }

    // ---- notification hooks (base answers) ----
    virtual void OnSetup() {}
    virtual void OnSheetSetup(int /*sheet*/) {}
    virtual int OnCanMove(int /*oldcol*/, long /*oldrow*/, int /*newcol*/, long /*newrow*/) {
        return TRUE;
    }
    virtual int OnCanViewMove(int /*oldcol*/, long /*oldrow*/, int /*newcol*/, long /*newrow*/) {
        return TRUE;
    }
    virtual void OnHitBottom(long /*numrows*/, long /*rowspast*/, long /*rowsfound*/) {}
    virtual void OnHitTop(long /*numrows*/, long /*rowspast*/) {}
    virtual int OnCanSizeCol(int /*col*/) { return TRUE; }
    virtual void OnColSizing(int /*col*/, int* /*width*/) {}
    virtual void OnColSized(int /*col*/, int* /*width*/) {}
    virtual int OnCanSizeRow(long /*row*/) { return TRUE; }
    virtual void OnRowSizing(long /*row*/, int* /*height*/) {}
    virtual void OnRowSized(long /*row*/, int* /*height*/) {}
    virtual int OnCanSizeTopHdg() { return TRUE; }
    virtual int OnCanSizeSideHdg() { return TRUE; }
    virtual int OnCanSizeRightHdg() { return TRUE; }
    virtual int OnCanSizeBottomHdg() { return TRUE; }
    virtual int OnTopHdgSizing(int* /*height*/) { return TRUE; }
    virtual int OnSideHdgSizing(int* /*width*/) { return TRUE; }
    virtual int OnTopHdgSized(int* /*height*/) { return TRUE; }
    virtual int OnSideHdgSized(int* /*width*/) { return TRUE; }
    virtual int OnBottomHdgSizing(int* /*height*/) { return TRUE; }
    virtual int OnRightHdgSizing(int* /*width*/) { return TRUE; }
    virtual int OnBottomHdgSized(int* /*height*/) { return TRUE; }
    virtual int OnRightHdgSized(int* /*width*/) { return TRUE; }
    virtual void OnColChange(int /*oldcol*/, int /*newcol*/) {}
    virtual void OnRowChange(long /*oldrow*/, long /*newrow*/) {}
    virtual void OnCellChange(int /*oldcol*/, int /*newcol*/, long /*oldrow*/, long /*newrow*/) {}
    virtual void OnLeftColChange(int /*oldcol*/, int /*newcol*/) {}
    virtual void OnTopRowChange(long /*oldrow*/, long /*newrow*/) {}
    virtual void OnLClicked(int /*col*/, long /*row*/, int /*updn*/, RECT* /*rect*/,
                            POINT* /*point*/, int /*processed*/) {}
    virtual void OnRClicked(int /*col*/, long /*row*/, int /*updn*/, RECT* /*rect*/,
                            POINT* /*point*/, int /*processed*/) {}
    virtual void OnDClicked(int /*col*/, long /*row*/, RECT* /*rect*/, POINT* /*point*/,
                            BOOL /*processed*/) {}
    virtual void OnMouseMove(int /*col*/, long /*row*/, POINT* /*point*/, UINT /*flags*/,
                             BOOL /*processed*/) {}
    virtual void OnTH_LClicked(int /*col*/, long /*row*/, int /*updn*/, RECT* /*rect*/,
                               POINT* /*point*/, BOOL /*processed*/) {}
    virtual void OnTH_RClicked(int /*col*/, long /*row*/, int /*updn*/, RECT* /*rect*/,
                               POINT* /*point*/, BOOL /*processed*/) {}
    virtual void OnTH_DClicked(int /*col*/, long /*row*/, RECT* /*rect*/, POINT* /*point*/,
                               BOOL /*processed*/) {}
    virtual void OnSH_LClicked(int /*col*/, long /*row*/, int /*updn*/, RECT* /*rect*/,
                               POINT* /*point*/, BOOL /*processed*/) {}
    virtual void OnSH_RClicked(int /*col*/, long /*row*/, int /*updn*/, RECT* /*rect*/,
                               POINT* /*point*/, BOOL /*processed*/) {}
    virtual void OnSH_DClicked(int /*col*/, long /*row*/, RECT* /*rect*/, POINT* /*point*/,
                               BOOL /*processed*/) {}
    virtual void OnBH_LClicked(int /*col*/, long /*row*/, int /*updn*/, RECT* /*rect*/,
                               POINT* /*point*/, BOOL /*processed*/) {}
    virtual void OnBH_RClicked(int /*col*/, long /*row*/, int /*updn*/, RECT* /*rect*/,
                               POINT* /*point*/, BOOL /*processed*/) {}
    virtual void OnBH_DClicked(int /*col*/, long /*row*/, RECT* /*rect*/, POINT* /*point*/,
                               BOOL /*processed*/) {}
    virtual void OnRH_LClicked(int /*col*/, long /*row*/, int /*updn*/, RECT* /*rect*/,
                               POINT* /*point*/, BOOL /*processed*/) {}
    virtual void OnRH_RClicked(int /*col*/, long /*row*/, int /*updn*/, RECT* /*rect*/,
                               POINT* /*point*/, BOOL /*processed*/) {}
    virtual void OnRH_DClicked(int /*col*/, long /*row*/, RECT* /*rect*/, POINT* /*point*/,
                               BOOL /*processed*/) {}
    virtual void OnCB_LClicked(int /*updn*/, RECT* /*rect*/, POINT* /*point*/, BOOL /*processed*/) {
    }
    virtual void OnCB_RClicked(int /*updn*/, RECT* /*rect*/, POINT* /*point*/, BOOL /*processed*/) {
    }
    virtual void OnCB_DClicked(RECT* /*rect*/, POINT* /*point*/, BOOL /*processed*/) {}
    virtual void OnKeyDown(UINT* /*vckey*/, BOOL /*processed*/) {}
    virtual void OnKeyUp(UINT* /*vckey*/, BOOL /*processed*/) {}
    virtual void OnCharDown(UINT* /*vckey*/, BOOL /*processed*/) {}
    virtual void OnGetCell(int /*col*/, long /*row*/, CG_UGCell* /*cell*/) {}
    virtual void OnSetCell(int /*col*/, long /*row*/, CG_UGCell* /*cell*/) {}
    virtual void OnDataSourceNotify(int /*id*/, long /*msg*/, long /*param*/) {}
    virtual int OnCellTypeNotify(long /*id*/, int /*col*/, long /*row*/, long /*msg*/,
                                 long /*param*/) {
        return FALSE;
    }
    virtual int OnEditStart(int /*col*/, long /*row*/, CWnd** /*edit*/) { return TRUE; }
    virtual int OnEditVerify(int /*col*/, long /*row*/, CWnd* /*edit*/, UINT* /*vckey*/) {
        return TRUE;
    }
    virtual int OnEditFinish(int /*col*/, long /*row*/, CWnd* /*edit*/, const char* /*text*/,
                             BOOL /*cancel*/) {
        return TRUE;
    }
    virtual int OnEditContinue(int /*oldcol*/, long /*oldrow*/, int* /*newcol*/, long* /*newrow*/) {
        return TRUE;
    }
    virtual void OnMenuCommand(int /*col*/, long /*row*/, int /*section*/, int /*item*/) {}
    virtual int OnMenuStart(int /*col*/, long /*row*/, int /*section*/) { return TRUE; }
    virtual int OnHint(int col, long row, int section, CString* text);
    virtual int OnVScrollHint(long /*row*/, CString* /*text*/) { return TRUE; }
    virtual int OnHScrollHint(int /*col*/, CString* /*text*/) { return TRUE; }
    virtual int OnDragEnter(void* /*data*/) { return UG_DRAGDROP_NONE; }
    virtual int OnDragOver(void* /*data*/, int /*col*/, long /*row*/) { return UG_DRAGDROP_NONE; }
    virtual int OnDragDrop(void* /*data*/, int /*col*/, long /*row*/) { return UG_DRAGDROP_NONE; }
    // Compares two cells for sorting: < 0 when cell1 sorts first. The base
    // compares by the first cell's type: text types as text (an empty text
    // after a non-empty one), number types by number.
    virtual int OnSortEvaluate(CG_UGCell* cell1, CG_UGCell* cell2, int flags);
    virtual void OnScreenDCSetup(CDC* /*dc*/, int /*section*/) {}
    virtual void OnAdjustComponentSizes(RECT* /*grid*/, RECT* /*topheading*/, RECT* /*sideheading*/,
                                        RECT* /*cornerbutton*/, RECT* /*vscroll*/,
                                        RECT* /*hscroll*/, RECT* /*tabs*/) {}
    virtual void OnTabSelected(int /*id*/) {}
    virtual COLORREF OnGetDefBackColor(int section);
    virtual void OnDrawFocusRect(CDC* dc, RECT* rect);
    virtual void OnSetFocus(int /*section*/) {}
    virtual void OnKillFocus(int /*section*/) {}

  protected:
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnSize(UINT type, int cx, int cy) override;

    // Key handling after OnKeyDown: the arrow and paging keys move the
    // current cell. Returns TRUE when the key moved it.
    BOOL ProcessNavigationKey(UINT key);
    void ClickCell(int col, long row, bool double_click, POINT point);

  private:
    struct Column {
        int width = kDefaultColWidth;
        CString mask;
        long spec_mask = 0;
        CG_UGCell default_cell;
        std::vector<CString> titles;  // one per title row
    };
    bool ValidCell(int col, long row) const;
    void ClampCurrent();
    void EnsureVisible(long row);
    int VisibleRows() const;

    std::vector<Column> cols_;
    std::vector<std::vector<CG_UGCell>> rows_;
    std::map<long, CString> side_texts_;
    int title_rows_ = 1;
    int side_cols_ = 1;
    int side_width_ = 40;
    int top_height_ = kDefaultRowHeight;
    int row_height_ = kDefaultRowHeight;
    long current_row_ = -1;
    int current_col_ = -1;
    long top_row_ = 0;
    int ballistic_mode_ = 0;
    int list_mode_ = 0;
    int options_ = 0;
    bool user_col_width_ = false;
    bool editing_ = false;
    int edit_col_ = -1;
    long edit_row_ = -1;
    CString edit_text_;
    CDC last_paint_;
    int redraw_count_ = 0;
};
