// CG_UGCtrl: keys, characters, clicks, editing, sorting and the other user
// actions, each turned into its notification hooks.
#include <algorithm>

#include "platform/ui/ug_ctrl.h"
#include "platform/ui/velo_dialog.h"

namespace {

// Appends a character typed as a code point, UTF-8 encoded.
void AppendCodePoint(CString* text, UINT cp) {
    std::string& s = text->str();
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        if (cp >= 0xD800 && cp <= 0xDFFF) return;
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp <= 0x10FFFF) {
        s += static_cast<char>(0xF0 | (cp >> 18));
        s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void RemoveLastCharacter(CString* text) {
    std::string& s = text->str();
    while (!s.empty()) {
        unsigned char c = static_cast<unsigned char>(s.back());
        s.pop_back();
        if ((c & 0xC0) != 0x80) break;
    }
}

}  // namespace

int CG_UGCtrl::GotoCell(int col, long row) {
    if (!ValidCell(col, row)) return UG_ERROR;
    int old_col = current_col_;
    long old_row = current_row_;
    if (col == old_col && row == old_row) return UG_SUCCESS;
    if (!OnCanMove(old_col, old_row, col, row)) return UG_ERROR;
    if (!ValidCell(col, row)) return UG_ERROR;  // the hook may have reshaped the grid
    current_col_ = col;
    current_row_ = row;
    if (col != old_col) OnColChange(old_col, col);
    if (row != old_row) OnRowChange(old_row, row);
    OnCellChange(old_col, col, old_row, row);
    EnsureVisible(current_row_);
    return UG_SUCCESS;
}

void CG_UGCtrl::EnsureVisible(long row) {
    if (row < 0) return;
    long visible = VisibleRows();
    long top = top_row_;
    if (row < top) top = row;
    if (row >= top + visible) top = row - visible + 1;
    if (top == top_row_) return;
    if (!OnCanViewMove(current_col_, top_row_, current_col_, top)) return;
    long old = top_row_;
    top_row_ = top;
    OnTopRowChange(old, top);
}

BOOL CG_UGCtrl::ProcessNavigationKey(UINT key) {
    long rows = GetNumberRows();
    if (rows == 0 || GetNumberCols() == 0) return FALSE;
    long row = current_row_ < 0 ? 0 : current_row_;
    int col = current_col_ < 0 ? 0 : current_col_;
    long page = VisibleRows();
    switch (key) {
        case VK_UP:
            if (row == 0) {
                OnHitTop(rows, 1);
                return FALSE;
            }
            --row;
            break;
        case VK_DOWN:
            if (row == rows - 1) {
                OnHitBottom(rows, 1, 0);
                return FALSE;
            }
            ++row;
            break;
        case VK_PRIOR:
            row = std::max(0L, row - page);
            break;
        case VK_NEXT:
            row = std::min(rows - 1, row + page);
            break;
        case VK_HOME:
            row = 0;
            break;
        case VK_END:
            row = rows - 1;
            break;
        case VK_LEFT:
        case VK_RIGHT: {
            int step = key == VK_LEFT ? -1 : 1;
            int c = col + step;
            while (c >= 0 && c < GetNumberCols() && GetColWidth(c) == 0) c += step;
            if (c < 0 || c >= GetNumberCols()) return FALSE;
            col = c;
            break;
        }
        default:
            return FALSE;
    }
    return GotoCell(col, row) == UG_SUCCESS ? TRUE : FALSE;
}

void CG_UGCtrl::ClickCell(int col, long row, bool double_click, POINT point) {
    CRect rect = GetCellRect(col, row);
    if (col >= 0 && row >= 0) {
        if (double_click) {
            OnDClicked(col, row, &rect, &point, FALSE);
        } else {
            BOOL moved = GotoCell(col, row) == UG_SUCCESS;
            OnLClicked(col, row, 1, &rect, &point, moved);
            OnLClicked(col, row, 0, &rect, &point, moved);
        }
    } else if (col >= 0) {
        if (double_click)
            OnTH_DClicked(col, row, &rect, &point, FALSE);
        else
            OnTH_LClicked(col, row, 1, &rect, &point, FALSE);
    } else if (row >= 0) {
        if (double_click)
            OnSH_DClicked(col, row, &rect, &point, FALSE);
        else
            OnSH_LClicked(col, row, 1, &rect, &point, FALSE);
    } else {
        if (double_click)
            OnCB_DClicked(&rect, &point, FALSE);
        else
            OnCB_LClicked(1, &rect, &point, FALSE);
    }
}

LRESULT CG_UGCtrl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN: {
            UINT key = static_cast<UINT>(wparam);
            if (editing_) {
                if (key == VK_RETURN) {
                    EndEdit(FALSE);
                } else if (key == VK_ESCAPE) {
                    EndEdit(TRUE);
                } else if (key == VK_TAB) {
                    int old_col = edit_col_;
                    long old_row = edit_row_;
                    if (EndEdit(FALSE) == UG_SUCCESS) {
                        int new_col = old_col + 1;
                        long new_row = old_row;
                        if (OnEditContinue(old_col, old_row, &new_col, &new_row) &&
                            GotoCell(new_col, new_row) == UG_SUCCESS)
                            StartEdit(0);
                    }
                }
                return 0;
            }
            OnKeyDown(&key, FALSE);
            if (key != 0) ProcessNavigationKey(key);
            return 0;
        }
        case WM_KEYUP: {
            UINT key = static_cast<UINT>(wparam);
            OnKeyUp(&key, FALSE);
            return 0;
        }
        case WM_CHAR: {
            UINT ch = static_cast<UINT>(wparam);
            if (editing_)
                EditChar(ch);
            else
                OnCharDown(&ch, FALSE);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN: {
            POINT p;
            p.x = static_cast<int>(static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lparam))));
            p.y = static_cast<int>(static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lparam))));
            int col;
            long row;
            if (!HitTest(p, &col, &row)) return 0;
            if (message == WM_RBUTTONDOWN) {
                CRect rect = GetCellRect(col, row);
                if (col >= 0 && row >= 0) OnRClicked(col, row, 1, &rect, &p, FALSE);
                return 0;
            }
            ClickCell(col, row, message == WM_LBUTTONDBLCLK, p);
            return 0;
        }
        case WM_SETFOCUS:
            OnSetFocus(UG_GRID);
            return 0;
        case WM_KILLFOCUS:
            OnKillFocus(UG_GRID);
            return 0;
        case WM_PAINT:
            RedrawAll();
            return 0;
        default:
            return CWnd::WindowProc(message, wparam, lparam);
    }
}

void CG_UGCtrl::OnSize(UINT /*type*/, int cx, int cy) {
    CRect grid(side_width_, top_height_, cx, cy), top(side_width_, 0, cx, top_height_),
        side(0, top_height_, side_width_, cy), corner(0, 0, side_width_, top_height_), vscroll,
        hscroll, tabs;
    OnAdjustComponentSizes(&grid, &top, &side, &corner, &vscroll, &hscroll, &tabs);
    EnsureVisible(current_row_);
}

int CG_UGCtrl::StartEdit(int key) {
    if (editing_ || !ValidCell(current_col_, current_row_)) return UG_ERROR;
    CWnd* edit = nullptr;
    if (!OnEditStart(current_col_, current_row_, &edit)) return UG_ERROR;
    if (!ValidCell(current_col_, current_row_)) return UG_ERROR;
    editing_ = true;
    edit_col_ = current_col_;
    edit_row_ = current_row_;
    edit_text_.Empty();
    if (key >= 0x20 && key != 0x7F)
        AppendCodePoint(&edit_text_, static_cast<UINT>(key));
    else
        edit_text_ = QuickGetText(edit_col_, edit_row_);
    return UG_SUCCESS;
}

int CG_UGCtrl::EditChar(UINT ch) {
    if (!editing_) return UG_ERROR;
    UINT key = ch;
    if (!OnEditVerify(edit_col_, edit_row_, nullptr, &key)) return UG_ERROR;
    if (key == VK_BACK)
        RemoveLastCharacter(&edit_text_);
    else if (key >= 0x20 && key != 0x7F && edit_text_.GetLength() < 4096)
        AppendCodePoint(&edit_text_, key);
    return UG_SUCCESS;
}

int CG_UGCtrl::EndEdit(BOOL cancel) {
    if (!editing_) return UG_ERROR;
    CString text = edit_text_;
    BOOL accept = OnEditFinish(edit_col_, edit_row_, nullptr, text.c_str(), cancel);
    if (!accept && !cancel) return UG_ERROR;  // the edit stays open
    editing_ = false;
    if (accept && !cancel) QuickSetText(edit_col_, edit_row_, text.c_str());
    return UG_SUCCESS;
}

int CG_UGCtrl::SortBy(int col, int flags) {
    if (col < 0 || col >= GetNumberCols()) return UG_ERROR;
    std::size_t n = rows_.size();
    std::vector<std::size_t> order(n), buffer(n);
    for (std::size_t i = 0; i < n; ++i) order[i] = i;
    // Bottom-up merge sort: stable, and safe whatever the hook answers.
    auto cell = [&](std::size_t r) { return &rows_[r][static_cast<std::size_t>(col)]; };
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            std::size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
            std::size_t a = lo, b = mid, k = lo;
            while (a < mid && b < hi) {
                if (OnSortEvaluate(cell(order[a]), cell(order[b]), flags) <= 0)
                    buffer[k++] = order[a++];
                else
                    buffer[k++] = order[b++];
                if (rows_.size() != n) return UG_ERROR;  // the hook reshaped the grid
            }
            while (a < mid) buffer[k++] = order[a++];
            while (b < hi) buffer[k++] = order[b++];
        }
        order.swap(buffer);
    }
    std::vector<std::vector<CG_UGCell>> sorted;
    sorted.reserve(n);
    long new_current = current_row_;
    for (std::size_t i = 0; i < n; ++i) {
        if (static_cast<long>(order[i]) == current_row_) new_current = static_cast<long>(i);
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_.swap(sorted);
    current_row_ = new_current;
    editing_ = false;
    return UG_SUCCESS;
}

int CG_UGCtrl::ResizeCol(int col, int width) {
    if (col < 0 || col >= GetNumberCols()) return UG_ERROR;
    if (!OnCanSizeCol(col)) return UG_ERROR;
    int w = std::max(0, width);
    OnColSizing(col, &w);
    OnColSized(col, &w);
    if (col >= GetNumberCols()) return UG_ERROR;
    cols_[static_cast<std::size_t>(col)].width = std::max(0, w);
    return UG_SUCCESS;
}

int CG_UGCtrl::ResizeRow(long row, int height) {
    if (row < 0 || row >= GetNumberRows() || !OnCanSizeRow(row)) return UG_ERROR;
    int h = std::max(1, height);
    OnRowSizing(row, &h);
    OnRowSized(row, &h);
    row_height_ = std::max(1, h);
    return UG_SUCCESS;
}

CString CG_UGCtrl::GetHint(int col, long row) {
    CString text;
    if (!OnHint(col, row, UG_GRID, &text)) return CString();
    return text;
}

int CG_UGCtrl::MenuStart(int col, long row, int section) {
    return OnMenuStart(col, row, section);
}

void CG_UGCtrl::MenuCommand(int col, long row, int section, int item) {
    OnMenuCommand(col, row, section, item);
}

int CG_UGCtrl::DragEnter(void* data) {
    return OnDragEnter(data);
}
int CG_UGCtrl::DragOver(void* data, int col, long row) {
    return OnDragOver(data, col, row);
}
int CG_UGCtrl::DragDrop(void* data, int col, long row) {
    return OnDragDrop(data, col, row);
}

bool CG_UGCtrl::SelectCell(int col, long row) {
    return GotoCell(col, row) == UG_SUCCESS;
}

void CG_UGCtrl::KeyDown(UINT key) {
    if (!GetSafeHwnd()) return;
    SetFocus();
    payroll::ui::DeliverMessage(this, WM_KEYDOWN, key);
}

void CG_UGCtrl::Char(UINT ch) {
    if (!GetSafeHwnd()) return;
    SetFocus();
    payroll::ui::DeliverMessage(this, WM_CHAR, ch);
}

void CG_UGCtrl::DoubleClick(int col, long row) {
    if (!GetSafeHwnd() || !ValidCell(col, row)) return;
    SetFocus();
    POINT p = GetCellRect(col, row).CenterPoint();
    ClickCell(col, row, false, p);
    if (IsLiveWindow(this)) ClickCell(col, row, true, p);
}
