// CG_OneGrid: a form grid of rows with differing numbers of cells. Each cell
// has a mask attribute (a label cell's text, or a value cell's mask, see
// mask.h), a text format, a box type and a rectangle; value cells get their
// text with SetText and show it through their mask.
//
// Geometry: rows are stacked from the top of the form, each
// kDefaultRowHeight high unless a cell rectangle of the row was set taller;
// a row's cells share the form's width equally until set otherwise.
#pragma once

#include <vector>

#include "payroll/wnd.h"

class CG_OneGrid : public CWnd {
  public:
    static constexpr int kMaxRows = 1000;
    static constexpr int kMaxCols = 100;
    static constexpr int kDefaultRowHeight = 20;

    CG_OneGrid();
    ~CG_OneGrid() override;

    // Sets the number of rows (each without cells until InitCols). FALSE when
    // out of range.
    BOOL Init(int rows);
    BOOL Create(const RECT& rect, CWnd* parent, UINT id, int flags = 0,
                DWORD style = WS_CHILD | WS_VISIBLE);
    BOOL InitCols(int row, int cols, int flags = 0);
    int GetRowCount() const { return static_cast<int>(rows_.size()); }
    int GetColCount(int row) const;

    BOOL SetMaskAttr(int row, int col, const char* mask, int flags = 0);
    CString GetMaskAttr(int row, int col) const;
    BOOL SetTextFormat(int row, int col, UINT format, BOOL redraw = TRUE);
    UINT GetTextFormat(int row, int col) const;
    BOOL SetBoxType(int row, int col, int type, BOOL redraw = TRUE);
    int GetBoxType(int row, int col) const;
    BOOL SetText(int row, int col, const char* text, BOOL redraw = TRUE);
    CString GetText(int row, int col) const;
    // What the cell shows: a label cell its label, a value cell its text
    // through its mask.
    CString GetDisplayText(int row, int col) const;

    // The cell's rectangle in the form's client area; FALSE outside the form.
    BOOL GetRect(int row, int col, RECT* rect) const;
    CRect GetRect(int row, int col) const;
    BOOL SetRect(int row, int col, const RECT& rect);
    // Stacks rows `row` to the last one under the row above: each keeps its
    // height, and rows lower than min_height are raised to it.
    BOOL CalcTopBottom(int row, int min_height);
    int GetRowHeight(int row) const;

    // Notification hooks; the base answers 0 and does nothing.
    virtual int OnGmLClicked(int /*row*/, int /*col*/) { return 0; }
    virtual int OnGmDClicked(int /*row*/, int /*col*/) { return 0; }
    virtual int OnGmKeyDown(UINT* /*key*/) { return 0; }
    virtual int OnGmCharDown(UINT* /*key*/) { return 0; }
    virtual int OnGmSetFocus() { return 0; }
    virtual int OnGmKillFocus() { return 0; }
    virtual int OnGmDbDown() { return 0; }
    virtual int OnGmDbUp() { return 0; }
    virtual int OnGmDbHome() { return 0; }
    virtual int OnGmDbEnd() { return 0; }
    virtual int OnGmDbPgUp() { return 0; }
    virtual int OnGmDbPgDn() { return 0; }
    virtual int OnGmDbTop() { return 0; }
    virtual int OnGmDbLast() { return 0; }
    virtual int OnGmDbAppend() { return 0; }
    virtual int OnGmDbUpdate() { return 0; }
    virtual int OnGmDbDelete() { return 0; }
    virtual int OnGmDbYSpcResize() { return 0; }
    virtual int OnGmDbSetDwg() { return 0; }
    virtual void OnGmSetUp() {}

  protected:
    int OnCreate(LPCREATESTRUCT create) override;
    void OnSize(UINT type, int cx, int cy) override;
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    struct Cell {
        CString mask;
        CString text;
        UINT format = 0;
        int box = 0;
        CRect rect;
        bool custom_width = false;
    };
    struct Row {
        std::vector<Cell> cells;
        int height = kDefaultRowHeight;
        int top = 0;
    };
    Cell* At(int row, int col);
    const Cell* At(int row, int col) const;
    void LayoutRow(int row);

    std::vector<Row> rows_;
};
