#include "platform/ui/one_grid.h"

#include <algorithm>

#include "platform/ui/mask.h"

CG_OneGrid::CG_OneGrid() = default;
CG_OneGrid::~CG_OneGrid() = default;

BOOL CG_OneGrid::Init(int rows) {
    if (rows < 0 || rows > kMaxRows) return FALSE;
    rows_.assign(static_cast<std::size_t>(rows), Row());
    for (int r = 0; r < rows; ++r) rows_[static_cast<std::size_t>(r)].top = r * kDefaultRowHeight;
    return TRUE;
}

BOOL CG_OneGrid::Create(const RECT& rect, CWnd* parent, UINT id, int /*flags*/, DWORD style) {
    return CWnd::Create(nullptr, "", style | WS_CHILD, rect, parent, id);
}

int CG_OneGrid::OnCreate(LPCREATESTRUCT create) {
    if (CWnd::OnCreate(create) == -1) return -1;
    OnGmSetUp();
    return 0;
}

BOOL CG_OneGrid::InitCols(int row, int cols, int /*flags*/) {
    if (row < 0 || row >= GetRowCount() || cols < 0 || cols > kMaxCols) return FALSE;
    rows_[static_cast<std::size_t>(row)].cells.assign(static_cast<std::size_t>(cols), Cell());
    LayoutRow(row);
    return TRUE;
}

int CG_OneGrid::GetColCount(int row) const {
    if (row < 0 || row >= GetRowCount()) return 0;
    return static_cast<int>(rows_[static_cast<std::size_t>(row)].cells.size());
}

CG_OneGrid::Cell* CG_OneGrid::At(int row, int col) {
    if (row < 0 || row >= GetRowCount() || col < 0 || col >= GetColCount(row)) return nullptr;
    return &rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(col)];
}

const CG_OneGrid::Cell* CG_OneGrid::At(int row, int col) const {
    return const_cast<CG_OneGrid*>(this)->At(row, col);
}

void CG_OneGrid::LayoutRow(int row) {
    Row& r = rows_[static_cast<std::size_t>(row)];
    CRect client;
    GetClientRect(&client);
    int n = static_cast<int>(r.cells.size());
    for (int c = 0; c < n; ++c) {
        Cell& cell = r.cells[static_cast<std::size_t>(c)];
        if (!cell.custom_width) {
            cell.rect.left = n ? client.Width() * c / n : 0;
            cell.rect.right = n ? client.Width() * (c + 1) / n : 0;
        }
        cell.rect.top = r.top;
        cell.rect.bottom = r.top + r.height;
    }
}

void CG_OneGrid::OnSize(UINT /*type*/, int /*cx*/, int /*cy*/) {
    for (int r = 0; r < GetRowCount(); ++r) LayoutRow(r);
}

BOOL CG_OneGrid::SetMaskAttr(int row, int col, const char* mask, int /*flags*/) {
    Cell* cell = At(row, col);
    if (!cell) return FALSE;
    cell->mask = mask ? mask : "";
    return TRUE;
}

CString CG_OneGrid::GetMaskAttr(int row, int col) const {
    const Cell* cell = At(row, col);
    return cell ? cell->mask : CString();
}

BOOL CG_OneGrid::SetTextFormat(int row, int col, UINT format, BOOL /*redraw*/) {
    Cell* cell = At(row, col);
    if (!cell) return FALSE;
    cell->format = format;
    return TRUE;
}

UINT CG_OneGrid::GetTextFormat(int row, int col) const {
    const Cell* cell = At(row, col);
    return cell ? cell->format : 0;
}

BOOL CG_OneGrid::SetBoxType(int row, int col, int type, BOOL /*redraw*/) {
    Cell* cell = At(row, col);
    if (!cell) return FALSE;
    cell->box = type;
    return TRUE;
}

int CG_OneGrid::GetBoxType(int row, int col) const {
    const Cell* cell = At(row, col);
    return cell ? cell->box : 0;
}

BOOL CG_OneGrid::SetText(int row, int col, const char* text, BOOL redraw) {
    Cell* cell = At(row, col);
    if (!cell) return FALSE;
    cell->text = text ? text : "";
    if (redraw) Invalidate();
    return TRUE;
}

CString CG_OneGrid::GetText(int row, int col) const {
    const Cell* cell = At(row, col);
    return cell ? cell->text : CString();
}

CString CG_OneGrid::GetDisplayText(int row, int col) const {
    const Cell* cell = At(row, col);
    if (!cell) return CString();
    payroll::ui::CellMask mask = payroll::ui::ParseMask(cell->mask.str());
    if (!mask.is_mask) return cell->text.IsEmpty() ? cell->mask : cell->text;
    return CString(payroll::ui::ApplyMask(mask, cell->text.str()));
}

BOOL CG_OneGrid::GetRect(int row, int col, RECT* rect) const {
    const Cell* cell = At(row, col);
    if (!cell || !rect) return FALSE;
    *rect = cell->rect;
    return TRUE;
}

CRect CG_OneGrid::GetRect(int row, int col) const {
    CRect r;
    GetRect(row, col, &r);
    return r;
}

BOOL CG_OneGrid::SetRect(int row, int col, const RECT& rect) {
    Cell* cell = At(row, col);
    if (!cell) return FALSE;
    CRect r(rect.left, rect.top, std::max(rect.left, rect.right), std::max(rect.top, rect.bottom));
    cell->rect = r;
    cell->custom_width = true;
    Row& owner = rows_[static_cast<std::size_t>(row)];
    owner.top = r.top;
    owner.height = r.Height();
    LayoutRow(row);
    return TRUE;
}

BOOL CG_OneGrid::CalcTopBottom(int row, int min_height) {
    if (row < 0 || row >= GetRowCount() || min_height < 0) return FALSE;
    int top = 0;
    if (row > 0) {
        const Row& above = rows_[static_cast<std::size_t>(row - 1)];
        top = above.top + above.height;
    }
    for (int r = row; r < GetRowCount(); ++r) {
        Row& current = rows_[static_cast<std::size_t>(r)];
        current.height = std::max(current.height, min_height);
        current.top = top;
        top += current.height;
        LayoutRow(r);
    }
    return TRUE;
}

int CG_OneGrid::GetRowHeight(int row) const {
    if (row < 0 || row >= GetRowCount()) return 0;
    return rows_[static_cast<std::size_t>(row)].height;
}

LRESULT CG_OneGrid::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_KEYDOWN: {
            UINT key = static_cast<UINT>(wparam);
            OnGmKeyDown(&key);
            return 0;
        }
        case WM_CHAR: {
            UINT key = static_cast<UINT>(wparam);
            OnGmCharDown(&key);
            return 0;
        }
        case WM_SETFOCUS:
            OnGmSetFocus();
            return 0;
        case WM_KILLFOCUS:
            OnGmKillFocus();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            POINT p;
            p.x = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lparam)));
            p.y = static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lparam)));
            for (int r = 0; r < GetRowCount(); ++r)
                for (int c = 0; c < GetColCount(r); ++c)
                    if (GetRect(r, c).PtInRect(p)) {
                        if (message == WM_LBUTTONDOWN)
                            OnGmLClicked(r, c);
                        else
                            OnGmDClicked(r, c);
                        return 0;
                    }
            return 0;
        }
        default:
            return CWnd::WindowProc(message, wparam, lparam);
    }
}
