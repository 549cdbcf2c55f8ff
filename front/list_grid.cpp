#include "front/list_grid.h"

#include <cstring>
#include <utility>

#include "platform/lang/lang_util.h"
#include "platform/ui/afx.h"

namespace {

// Language texts of the column titles.
constexpr int kPayDateTitle = 1064, kRunKindTitle = 1065, kPayTypesTitle = 1066;
constexpr int kItemTitle = 1067, kAmountTitle = 1068;
// The picker's pay-type names keep their width.
constexpr int kFixedWidthCol = 2;

// Compares two cells as texts: a cell without text sorts after one with it.
int CompareTexts(const CG_UGCell& a, const CG_UGCell& b) {
    bool a_empty = a.GetTextLength() == 0, b_empty = b.GetTextLength() == 0;
    if (a_empty && b_empty) return 0;
    if (a_empty) return 1;
    if (b_empty) return -1;
    int c = std::strcmp(a.GetText(), b.GetText());
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace

void CListGrid::SetupColumn(int col, int title_id, const char* mask) {
    if (title_id) SetTitleText(col, 0, TheLangUtil().GetLangString(title_id).c_str(), 2);
    SetMaskAttr(col, mask, 0);
    if (m_nLayout == kPayRunLayout && col == 0) SetSpecMask(col, 0, kPayDateSpecMask);
    CG_UGCell cell;
    if (GetCell(col, 0, &cell) == UG_SUCCESS) SetColDefault(col, &cell);
}

void CListGrid::OnSetup() {
    const bool picker = m_nLayout == kPayRunLayout;
    // A new window starts from one blank row: rows of an earlier showing
    // must not pass for the runs of this one.
    SetNumberRows(0, FALSE, TRUE);
    SetNumberRows(1, TRUE, TRUE);
    SetNumberCols(picker ? kPayRunCols : kFixedPayCols, TRUE);
    SetTH_NumberRows(1);
    SetSH_NumberCols(1);
    SetSH_Width(kSideWidth);
    if (picker) {
        SetupColumn(0, kPayDateTitle,
                    "@EX(10)\t\t@A(ALIGN_VCENTER|ALIGN_CENTER)\t@D(12)\t@Z(1000)");
        SetupColumn(1, kRunKindTitle,
                    "@EX(8)\t\t@A(ALIGN_VCENTER|ALIGN_CENTER)\t\t@D(10)\t@Z(1001)");
        SetupColumn(2, kPayTypesTitle, "@EX(24)\t\t@A(ALIGN_LEFT|ALIGN_VCENTER)\t@D(20)\t@Z(1002)");
        SetupColumn(3, 0, "@EX(0)\t\t@A(ALIGN_CENTER)\t@D(14)\t@Z(1003)");
        for (int col = 4; col < kPayRunCols; ++col) {
            CString mask;
            mask.Format("@EX(0)\t\t@A(ALIGN_CENTER)\t@D(10)\t@Z(%d)", 1000 + col);
            SetupColumn(col, 0, mask.c_str());
        }
        for (int col = 3; col < kPayRunCols; ++col) SetColWidth(col, 0);
    } else {
        SetupColumn(0, kItemTitle,
                    "@EX(0)\t\t@A(ALIGN_VCENTER|ALIGN_CENTER)\t\t\t\t@D(24)\t@Z(1002)");
        SetupColumn(1, kAmountTitle,
                    "@EX(0)\t\t@A(ALIGN_VCENTER|ALIGN_CENTER)\t@@I(DBL)\t@D(24)\t@Z(1002)");
    }
    SetBallisticKeyMode(0);
    SetOptions(GetOptions() | 2);
    SetListMode(1);
    SetUserColWidth();
}

int CListGrid::OnCanSizeCol(int col) {
    if (m_nLayout == kPayRunLayout && col == kFixedWidthCol) return FALSE;
    return TRUE;
}

void CListGrid::OnColSized(int col, int* width) {
    CG_UGCtrl::OnColSized(col, width);
}

void CListGrid::ConfirmParent() {
    CWnd* parent = GetParent();
    if (CWnd::IsLiveWindow(parent))
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void CListGrid::OnDClicked(int /*col*/, long /*row*/, RECT* /*rect*/, POINT* /*point*/,
                           BOOL /*processed*/) {
    ConfirmParent();
}

void CListGrid::OnKeyDown(UINT* vckey, BOOL /*processed*/) {
    if (vckey && *vckey == VK_RETURN) ConfirmParent();
}

void CListGrid::OnCharDown(UINT* vckey, BOOL processed) {
    if (processed || !vckey) return;
    if (*vckey == VK_TAB || *vckey == VK_RETURN || *vckey == VK_ESCAPE) return;
    StartEdit(static_cast<int>(*vckey));
}

void CListGrid::OnGetCell(int col, long row, CG_UGCell* cell) {
    if (col == -1 && row >= 0 && cell) {
        CString number;
        number.Format("%ld", row + 1);
        cell->SetText(number.c_str());
    }
}

int CListGrid::OnEditStart(int, long, CWnd**) {
    return TRUE;
}
int CListGrid::OnEditVerify(int, long, CWnd*, UINT*) {
    return TRUE;
}
int CListGrid::OnEditFinish(int, long, CWnd*, const char*, BOOL) {
    return TRUE;
}
int CListGrid::OnEditContinue(int, long, int*, long*) {
    return TRUE;
}

int CListGrid::OnHint(int col, long row, int /*section*/, CString* text) {
    if (text) text->Format("Col:%d Row:%ld", col, row);
    return TRUE;
}

int CListGrid::OnVScrollHint(long /*row*/, CString* text) {
    if (text) text->Empty();
    return TRUE;
}

int CListGrid::OnHScrollHint(int /*col*/, CString* text) {
    if (text) text->Empty();
    return TRUE;
}

int CListGrid::OnDragEnter(void*) {
    return 0;
}
int CListGrid::OnDragOver(void*, int, long) {
    return 0;
}
int CListGrid::OnDragDrop(void*, int, long) {
    return 0;
}
int CListGrid::OnCellTypeNotify(long, int, long, long, long) {
    return 0;
}

int CListGrid::OnSortEvaluate(CG_UGCell* cell1, CG_UGCell* cell2, int flags) {
    if (!cell1 || !cell2) return 0;
    if (flags & UG_SORT_DESCENDING) std::swap(cell1, cell2);
    switch (cell1->GetDataType()) {
        case UGCELLDATA_NUMBER:
        case UGCELLDATA_BOOL:
        case UGCELLDATA_CURRENCY: {
            double a = cell1->GetNumber(), b = cell2->GetNumber();
            return a > b ? 1 : a < b ? -1 : 0;
        }
        default:
            return CompareTexts(*cell1, *cell2);
    }
}

COLORREF CListGrid::OnGetDefBackColor(int section) {
    return GetSysColor(section == UG_GRID ? COLOR_WINDOW : COLOR_BTNFACE);
}

void CListGrid::OnDrawFocusRect(CDC* dc, RECT* rect) {
    if (!dc || !rect) return;
    CRect r = *rect;
    r.right -= 1;
    r.bottom -= 1;
    dc->DrawFocusRect(&r);
}
