#include "front/pay_run_dialog.h"

#include "front/front_settings.h"
#include "front/statement_report.h"
#include "platform/lang/lang_util.h"
#include "platform/ui/dialog_ids.h"

namespace {

using payroll::front::PayRunList;

// Language texts: the bonus pay type, the two titles, the button captions.
constexpr int kBonusPayType = 1026, kBonusTitle = 1027, kPayTitle = 1028;
constexpr int kPayRunOkCaption = 1069, kPayRunCancelCaption = 1070;

// Layout in pixels: the grid inside the client area, the room the dialog
// adds around it, the buttons from the client's bottom right.
constexpr int kGridLeft = 3, kGridTop = 5, kGridRight = 325, kGridBottom = 230;
constexpr int kExtraWidth = 12, kExtraHeight = 70;
constexpr int kButtonWidth = 60, kButtonHeight = 23, kButtonBottomGap = 7;
constexpr int kCancelRightGap = 15, kOkRightGap = 80;

// Grid columns of the picker.
enum PayRunCol {
    kColPayDate = 0,
    kColRunKind = 1,
    kColPayNames = 2,
    kColCompany = 3,
    kColMonth = 4,
    kColSeq = 5,
    kColCombined = 6,
    kColSpare = 7,
    kColPayType = 8,
    kColRetireRule = 9,
};

}  // namespace

CPayRunDlg::CPayRunDlg(CWnd* parent) : CVeloDialog(payroll::ui::kPayRunPickerId, parent) {
    m_Grid.SetLayout(CListGrid::kPayRunLayout);
}

CPayRunDlg::~CPayRunDlg() {
    if (GetSafeHwnd()) DestroyWindow();
}

void CPayRunDlg::RefreshSettings() {
    payroll::front::MergeNameChoice(payroll::front::ReadFrontSettings(), &m_bUseMainNames);
}

int CPayRunDlg::QueryAndFill(HPHONPD_YMD_FMT* key, FillMode mode, int position) {
    RefreshSettings();
    m_strLastSql = payroll::front::PayRunStatement(m_bUseMainNames, m_strCompany, m_strMonth);
    m_LastTrace = payroll::front::TraceLines(m_strLastSql.str(), payroll::front::kPickerTraceTag);
    PayRunList runs;
    if (!payroll::front::QueryPayRuns(m_Query, m_strLastSql, &runs)) return 0;
    if (mode == FillMode::kFillGrid) {
        FillGrid(runs);
        return 1;
    }
    return runs.CopyTo(position, key) ? 1 : 0;
}

void CPayRunDlg::FillGrid(const PayRunList& runs) {
    m_Grid.SetNumberRows(runs.size(), TRUE, TRUE);
    m_Grid.RedrawAll();
    for (int i = 0; i < runs.size(); ++i) {
        const HPHONPD_YMD_FMT& r = runs.row(i);
        m_Grid.QuickSetText(kColPayDate, i, r.PAY_DT.c_str());
        m_Grid.QuickSetText(kColRunKind, i, r.NM2.c_str());
        m_Grid.QuickSetText(kColPayNames, i, r.NM1.c_str());
        m_Grid.QuickSetText(kColCompany, i, r.CO_CD.c_str());
        m_Grid.QuickSetText(kColMonth, i, r.RVRS_YM.c_str());
        m_Grid.QuickSetText(kColSeq, i, r.SQ.c_str());
        m_Grid.QuickSetText(kColCombined, i, r.CCIS_YN.c_str());
        m_Grid.QuickSetText(kColSpare, i, "");
        m_Grid.QuickSetText(kColPayType, i, r.PYTP_FG.c_str());
        m_Grid.QuickSetText(kColRetireRule, i, r.RTCM_FG.c_str());
    }
}

void CPayRunDlg::GetData(HPHONPD_YMD_FMT* key) const {
    if (!key) return;
    long r = m_Grid.GetCurrentRow();
    if (r < 0 || r >= m_Grid.GetNumberRows()) {
        payroll::front::ClearKey(key);
        return;
    }
    auto cell = [&](int col) { return m_Grid.QuickGetText(col, r).str(); };
    // The grid's blank set-up row (left when the query failed) is no run.
    if (cell(kColCompany).empty() && cell(kColMonth).empty() && cell(kColSeq).empty()) {
        payroll::front::ClearKey(key);
        return;
    }
    key->SEL_NO = static_cast<std::int32_t>(r + 1);
    key->CO_CD.Set(cell(kColCompany));
    key->RVRS_YM.Set(cell(kColMonth));
    key->SQ.Set(cell(kColSeq));
    key->PAY_DT.Set(cell(kColPayDate));
    key->CCIS_YN.Set(cell(kColCombined));
    key->NM2.Set(cell(kColRunKind));
    key->PYTP_FG.Set(cell(kColPayType));
    key->NM1.Set(cell(kColPayNames));
    key->PYTP_LIST.Set(cell(kColPayType));
    key->PYTP_HEAD.Set(payroll::front::PayTypeHead(cell(kColPayType)));
}

int CPayRunDlg::OnCreate(LPCREATESTRUCT create) {
    if (CVeloDialog::OnCreate(create) == -1) return -1;
    payroll::front::FrontSettings settings = payroll::front::ReadFrontSettings();
    payroll::front::MergeNameChoice(settings, &m_bUseMainNames);
    payroll::front::LoadFrontTexts(settings);
    m_Grid.SetLayout(CListGrid::kPayRunLayout);
    m_Grid.CreateGrid(WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, payroll::ui::kPayRunGridId);
    return 0;
}

void CPayRunDlg::DoDataExchange(CDataExchange* dx) {
    CVeloDialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_btnOK);
    DDX_Control(dx, IDCANCEL, m_btnCancel);
}

BOOL CPayRunDlg::OnInitDialog() {
    CVeloDialog::OnInitDialog();
    SetWindowText("");
    m_btnOK.SetWindowText(TheLangUtil().GetLangString(kPayRunOkCaption).c_str());
    m_btnCancel.SetWindowText(TheLangUtil().GetLangString(kPayRunCancelCaption).c_str());
    return TRUE;
}

void CPayRunDlg::OnShowWindow(BOOL show, UINT status) {
    CVeloDialog::OnShowWindow(show, status);
    bool bonus = m_strPayType == TheLangUtil().GetLangString(kBonusPayType);
    SetWindowText(TheLangUtil().GetLangString(bonus ? kBonusTitle : kPayTitle).c_str());
    QueryAndFill(nullptr, FillMode::kFillGrid, 0);
    LayOut();
    if (m_Grid.GetSafeHwnd()) m_Grid.SetFocus();
}

void CPayRunDlg::LayOut() {
    CRect grid(kGridLeft, kGridTop, kGridRight, kGridBottom);
    if (m_Grid.GetSafeHwnd()) m_Grid.MoveWindow(&grid);
    MoveWindow(0, 0, grid.Width() + kExtraWidth, grid.Height() + kExtraHeight);
    CenterWindow();
    CRect client;
    GetClientRect(&client);
    int top = client.bottom - kButtonBottomGap - kButtonHeight;
    if (m_btnCancel.GetSafeHwnd())
        m_btnCancel.MoveWindow(client.right - kCancelRightGap - kButtonWidth, top, kButtonWidth,
                               kButtonHeight);
    if (m_btnOK.GetSafeHwnd())
        m_btnOK.MoveWindow(client.right - kOkRightGap - kButtonWidth, top, kButtonWidth,
                           kButtonHeight);
}

void CPayRunDlg::OnSize(UINT type, int cx, int cy) {
    CVeloDialog::OnSize(type, cx, cy);
}

void CPayRunDlg::OnPaint() {
    ValidateRect(nullptr);
}

void CPayRunDlg::DestroyGrid() {
    if (m_Grid.GetSafeHwnd()) m_Grid.DestroyWindow();
}

void CPayRunDlg::OnOK() {
    DestroyGrid();
    CVeloDialog::OnOK();
}

void CPayRunDlg::OnCancel() {
    DestroyGrid();
    CVeloDialog::OnCancel();
}

void CPayRunDlg::OnDestroy() {
    DestroyGrid();
    CVeloDialog::OnDestroy();
}

BOOL CPayRunDlg::PreTranslateMessage(MSG* msg) {
    if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
        OnCancel();
        return TRUE;
    }
    // Past CVeloDialog on purpose: of the dialog keys, this one takes Escape only.
    return CWnd::PreTranslateMessage(msg);  // NOLINT(bugprone-parent-virtual-call)
}
