// CG_UGCtrl: shape, cells and painting. Input and user actions are in
// ug_ctrl_input.cpp.
#include "platform/ui/ug_ctrl.h"

#include <algorithm>
#include <cstring>

#include "platform/ui/afx.h"
#include "platform/ui/cell_look.h"

CG_UGCtrl::CG_UGCtrl() = default;
CG_UGCtrl::~CG_UGCtrl() = default;

BOOL CG_UGCtrl::CreateGrid(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!Create(nullptr, "", style | WS_CHILD | WS_TABSTOP, rect, parent, id)) return FALSE;
    OnSetup();
    OnSheetSetup(0);
    return GetSafeHwnd() ? TRUE : FALSE;
}

bool CG_UGCtrl::ValidCell(int col, long row) const {
    return col >= 0 && col < GetNumberCols() && row >= 0 && row < GetNumberRows();
}

void CG_UGCtrl::ClampCurrent() {
    if (rows_.empty())
        current_row_ = -1;
    else
        current_row_ = std::clamp(current_row_, 0L, GetNumberRows() - 1);
    if (cols_.empty())
        current_col_ = -1;
    else
        current_col_ = std::clamp(current_col_, 0, GetNumberCols() - 1);
    if (top_row_ > current_row_ && current_row_ >= 0) top_row_ = current_row_;
    if (rows_.empty()) top_row_ = 0;
}

int CG_UGCtrl::SetNumberRows(long rows, BOOL redraw, BOOL /*keep_current*/) {
    if (rows < 0 || rows > kMaxRows) return UG_ERROR;
    long old = GetNumberRows();
    rows_.resize(static_cast<std::size_t>(rows));
    for (long r = old; r < rows; ++r) {
        auto& cells = rows_[static_cast<std::size_t>(r)];
        cells.reserve(cols_.size());
        for (const Column& c : cols_) {
            cells.push_back(c.default_cell);
            cells.back().SetText("");
        }
    }
    for (auto it = side_texts_.lower_bound(rows); it != side_texts_.end();)
        it = side_texts_.erase(it);
    if (editing_ && edit_row_ >= rows) editing_ = false;
    ClampCurrent();
    if (redraw) RedrawAll();
    return UG_SUCCESS;
}

int CG_UGCtrl::SetNumberCols(int cols, BOOL redraw) {
    if (cols < 0 || cols > kMaxCols) return UG_ERROR;
    cols_.resize(static_cast<std::size_t>(cols));
    for (Column& c : cols_) c.titles.resize(static_cast<std::size_t>(title_rows_));
    for (auto& cells : rows_) {
        std::size_t old = cells.size();
        cells.resize(static_cast<std::size_t>(cols));
        for (std::size_t i = old; i < cells.size(); ++i) {
            cells[i] = cols_[i].default_cell;
            cells[i].SetText("");
        }
    }
    if (editing_ && edit_col_ >= cols) editing_ = false;
    ClampCurrent();
    if (redraw) RedrawAll();
    return UG_SUCCESS;
}

int CG_UGCtrl::SetTH_NumberRows(int rows) {
    if (rows < 0 || rows > 16) return UG_ERROR;
    title_rows_ = rows;
    for (Column& c : cols_) c.titles.resize(static_cast<std::size_t>(rows));
    return UG_SUCCESS;
}

int CG_UGCtrl::SetSH_NumberCols(int cols) {
    if (cols < 0 || cols > 16) return UG_ERROR;
    side_cols_ = cols;
    return UG_SUCCESS;
}

int CG_UGCtrl::SetSH_Width(int width) {
    if (width < 0) return UG_ERROR;
    side_width_ = width;
    return UG_SUCCESS;
}

int CG_UGCtrl::SetTH_Height(int height) {
    if (height < 0) return UG_ERROR;
    top_height_ = height;
    return UG_SUCCESS;
}

int CG_UGCtrl::SetDefRowHeight(int height) {
    if (height <= 0) return UG_ERROR;
    row_height_ = height;
    return UG_SUCCESS;
}

int CG_UGCtrl::SetColWidth(int col, int width) {
    if (col < 0 || col >= GetNumberCols() || width < 0) return UG_ERROR;
    cols_[static_cast<std::size_t>(col)].width = width;
    return UG_SUCCESS;
}

int CG_UGCtrl::GetColWidth(int col, int* width) const {
    if (col < 0 || col >= GetNumberCols()) return UG_ERROR;
    if (width) *width = cols_[static_cast<std::size_t>(col)].width;
    return UG_SUCCESS;
}

int CG_UGCtrl::GetColWidth(int col) const {
    int width = 0;
    return GetColWidth(col, &width) == UG_SUCCESS ? width : 0;
}

int CG_UGCtrl::SetTitleText(int col, int title_row, const char* text, int /*align*/) {
    if (col < 0 || col >= GetNumberCols() || title_row < 0 || title_row >= title_rows_)
        return UG_ERROR;
    cols_[static_cast<std::size_t>(col)].titles[static_cast<std::size_t>(title_row)] =
        text ? text : "";
    return UG_SUCCESS;
}

CString CG_UGCtrl::GetTitleText(int col, int title_row) const {
    if (col < 0 || col >= GetNumberCols() || title_row < 0 || title_row >= title_rows_)
        return CString();
    return cols_[static_cast<std::size_t>(col)].titles[static_cast<std::size_t>(title_row)];
}

int CG_UGCtrl::SetMaskAttr(int col, const char* mask, int /*flags*/) {
    if (col < 0 || col >= GetNumberCols()) return UG_ERROR;
    Column& c = cols_[static_cast<std::size_t>(col)];
    c.mask = mask ? mask : "";
    c.default_cell.SetMask(c.mask.c_str());
    for (auto& cells : rows_) cells[static_cast<std::size_t>(col)].SetMask(c.mask.c_str());
    return UG_SUCCESS;
}

CString CG_UGCtrl::GetMaskAttr(int col) const {
    if (col < 0 || col >= GetNumberCols()) return CString();
    return cols_[static_cast<std::size_t>(col)].mask;
}

int CG_UGCtrl::SetSpecMask(int col, long /*row*/, long mask) {
    if (col < 0 || col >= GetNumberCols()) return UG_ERROR;
    cols_[static_cast<std::size_t>(col)].spec_mask = mask;
    return UG_SUCCESS;
}

long CG_UGCtrl::GetSpecMask(int col) const {
    if (col < 0 || col >= GetNumberCols()) return 0;
    return cols_[static_cast<std::size_t>(col)].spec_mask;
}

int CG_UGCtrl::SetColDefault(int col, const CG_UGCell* cell) {
    if (col < 0 || col >= GetNumberCols() || !cell) return UG_ERROR;
    cols_[static_cast<std::size_t>(col)].default_cell = *cell;
    return UG_SUCCESS;
}

int CG_UGCtrl::GetColDefault(int col, CG_UGCell* cell) const {
    if (col < 0 || col >= GetNumberCols() || !cell) return UG_ERROR;
    *cell = cols_[static_cast<std::size_t>(col)].default_cell;
    return UG_SUCCESS;
}

int CG_UGCtrl::GetCell(int col, long row, CG_UGCell* cell) const {
    if (!cell) return UG_ERROR;
    if (row >= 0 && col < 0) {  // side heading
        if (row >= GetNumberRows() || col < -side_cols_) return UG_ERROR;
        cell->ClearAll();
        auto it = side_texts_.find(row);
        if (it != side_texts_.end()) cell->SetText(it->second.c_str());
        return UG_SUCCESS;
    }
    if (row < 0 && col >= 0) {  // top heading
        if (col >= GetNumberCols() || -row - 1 >= title_rows_) return UG_ERROR;
        cell->ClearAll();
        cell->SetText(GetTitleText(col, static_cast<int>(-row - 1)).c_str());
        return UG_SUCCESS;
    }
    if (!ValidCell(col, row)) return UG_ERROR;
    *cell = rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    return UG_SUCCESS;
}

int CG_UGCtrl::SetCell(int col, long row, const CG_UGCell* cell) {
    if (!cell) return UG_ERROR;
    CG_UGCell value = *cell;
    if (row >= 0 && col < 0) {
        if (row >= GetNumberRows() || col < -side_cols_) return UG_ERROR;
        OnSetCell(col, row, &value);
        side_texts_[row] = value.GetText();
        return UG_SUCCESS;
    }
    if (row < 0 && col >= 0) {
        OnSetCell(col, row, &value);
        return SetTitleText(col, static_cast<int>(-row - 1), value.GetText());
    }
    if (!ValidCell(col, row)) return UG_ERROR;
    OnSetCell(col, row, &value);
    if (!ValidCell(col, row)) return UG_ERROR;  // the hook may have reshaped the grid
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = std::move(value);
    return UG_SUCCESS;
}

int CG_UGCtrl::QuickSetText(int col, long row, const char* text, int redraw) {
    CG_UGCell cell;
    if (GetCell(col, row, &cell) != UG_SUCCESS) return UG_ERROR;
    cell.SetText(text);
    if (cell.GetDataType() != UGCELLDATA_STRING && cell.GetDataType() != UGCELLDATA_TIME)
        cell.SetDataType(UGCELLDATA_STRING);
    int rc = SetCell(col, row, &cell);
    if (rc == UG_SUCCESS && redraw) RedrawAll();
    return rc;
}

CString CG_UGCtrl::QuickGetText(int col, long row, int /*flags*/) const {
    CG_UGCell cell;
    if (GetCell(col, row, &cell) != UG_SUCCESS) return CString();
    return CString(cell.GetText());
}

int CG_UGCtrl::GetCellIndirect(int col, long row, CG_UGCell* cell) {
    if (GetCell(col, row, cell) != UG_SUCCESS) return UG_ERROR;
    OnGetCell(col, row, cell);
    return UG_SUCCESS;
}

CString CG_UGCtrl::CellText(int col, long row) const {
    CG_UGCell cell;
    if (const_cast<CG_UGCtrl*>(this)->GetCellIndirect(col, row, &cell) != UG_SUCCESS)
        return CString();
    return CString(cell.GetText());
}

payroll::ui::CellLook CG_UGCtrl::ShownCell(int col, long row) const {
    if (col < 0 || col >= GetNumberCols()) {
        payroll::ui::CellLook look;
        look.text = CellText(col, row);
        return look;
    }
    return payroll::ui::LookOfCell(GetMaskAttr(col).str(), GetSpecMask(col),
                                   CellText(col, row).str());
}

int CG_UGCtrl::VisibleRows() const {
    CRect client;
    GetClientRect(&client);
    int room = client.Height() - top_height_;
    return std::max(1, row_height_ > 0 ? room / row_height_ : 1);
}

CRect CG_UGCtrl::GetCellRect(int col, long row) const {
    CRect r;
    if (row < 0) {
        r.top = 0;
        r.bottom = top_height_;
    } else {
        long offset = row - top_row_;
        r.top = top_height_ + static_cast<int>(std::clamp(offset, -100000L, 100000L)) * row_height_;
        r.bottom = r.top + row_height_;
    }
    if (col < 0) {
        r.left = 0;
        r.right = side_width_;
    } else {
        int x = side_width_;
        for (int c = 0; c < col && c < GetNumberCols(); ++c) x += GetColWidth(c);
        r.left = x;
        r.right = x + GetColWidth(col);
    }
    return r;
}

bool CG_UGCtrl::HitTest(POINT point, int* col, long* row) const {
    if (point.x < 0 || point.y < 0) return false;
    long r = -1;
    if (point.y >= top_height_) {
        if (row_height_ <= 0) return false;
        r = top_row_ + (point.y - top_height_) / row_height_;
        if (r >= GetNumberRows()) return false;
    }
    int c = -1;
    if (point.x >= side_width_) {
        int x = side_width_;
        c = -2;
        for (int i = 0; i < GetNumberCols(); ++i) {
            int w = GetColWidth(i);
            if (point.x >= x && point.x < x + w) {
                c = i;
                break;
            }
            x += w;
        }
        if (c == -2) return false;
    }
    if (col) *col = c;
    if (row) *row = r;
    return true;
}

void CG_UGCtrl::RedrawAll() {
    ++redraw_count_;
    last_paint_.Clear();
    CDC* dc = &last_paint_;
    CRect client;
    GetClientRect(&client);
    for (int section : {UG_GRID, UG_TOPHEADING, UG_SIDEHEADING, UG_CORNERBUTTON})
        OnScreenDCSetup(dc, section);
    CRect grid(side_width_, top_height_, client.right, client.bottom);
    dc->FillSolidRect(&grid, OnGetDefBackColor(UG_GRID));
    CRect top(side_width_, 0, client.right, top_height_);
    dc->FillSolidRect(&top, OnGetDefBackColor(UG_TOPHEADING));
    CRect side(0, top_height_, side_width_, client.bottom);
    dc->FillSolidRect(&side, OnGetDefBackColor(UG_SIDEHEADING));
    CRect corner(0, 0, side_width_, top_height_);
    dc->FillSolidRect(&corner, OnGetDefBackColor(UG_CORNERBUTTON));
    for (int c = 0; c < GetNumberCols(); ++c) {
        if (GetColWidth(c) == 0) continue;
        CRect r = GetCellRect(c, -1);
        dc->DrawText(GetTitleText(c, 0).c_str(), &r);
    }
    long last = std::min(GetNumberRows(), top_row_ + VisibleRows());
    for (long row = top_row_; row < last; ++row) {
        for (int c = -1; c < GetNumberCols(); ++c) {
            if (c >= 0 && GetColWidth(c) == 0) continue;
            CG_UGCell cell;
            if (GetCellIndirect(c, row, &cell) != UG_SUCCESS) continue;
            CRect r = GetCellRect(c, row);
            dc->DrawText(cell.GetText(), &r);
        }
    }
    if (ValidCell(current_col_, current_row_) && current_row_ >= top_row_ && current_row_ < last) {
        CRect r = GetCellRect(current_col_, current_row_);
        OnDrawFocusRect(dc, &r);
    }
    ValidateRect(nullptr);
}

COLORREF CG_UGCtrl::OnGetDefBackColor(int section) {
    return GetSysColor(section == UG_GRID ? COLOR_WINDOW : COLOR_BTNFACE);
}

void CG_UGCtrl::OnDrawFocusRect(CDC* dc, RECT* rect) {
    if (dc && rect) dc->DrawFocusRect(rect);
}

int CG_UGCtrl::OnHint(int col, long row, int /*section*/, CString* text) {
    if (text) *text = QuickGetText(col, row);
    return TRUE;
}

int CG_UGCtrl::OnSortEvaluate(CG_UGCell* cell1, CG_UGCell* cell2, int flags) {
    if (!cell1 || !cell2) return 0;
    if (flags & UG_SORT_DESCENDING) std::swap(cell1, cell2);
    auto as_text = [&]() {
        bool e1 = cell1->GetTextLength() == 0, e2 = cell2->GetTextLength() == 0;
        if (e1 && e2) return 0;
        if (e1) return 1;
        if (e2) return -1;
        int c = std::strcmp(cell1->GetText(), cell2->GetText());
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    };
    switch (cell1->GetDataType()) {
        case UGCELLDATA_NUMBER:
        case UGCELLDATA_BOOL:
        case UGCELLDATA_CURRENCY: {
            double a = cell1->GetNumber(), b = cell2->GetNumber();
            return a > b ? 1 : a < b ? -1 : 0;
        }
        default:
            return as_text();
    }
}
