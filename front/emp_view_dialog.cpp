#include "front/emp_view_dialog.h"

#include <memory>

#include "front/front_settings.h"
#include "front/statement_report.h"
#include "platform/lang/lang_util.h"
#include "platform/ui/dialog_ids.h"
#include "platform/ui/splash.h"

namespace {

constexpr int kEmployeeViewTitle = 1076, kEmployeeViewCloseCaption = 1077,
              kEmployeeReadingText = 1063;

// Layout in pixels inside the client area.
constexpr int kMargin = 5, kFormBottom = 390, kListTop = 395, kListRightGap = 300;

}  // namespace

CEmpViewDlg::CEmpViewDlg(CWnd* parent) : CVeloDialog(payroll::ui::kEmployeeViewerId, parent) {
    m_List.SetLayout(CListGrid::kFixedPayLayout);
}

CEmpViewDlg::~CEmpViewDlg() {
    if (GetSafeHwnd()) DestroyWindow();
}

int CEmpViewDlg::OnCreate(LPCREATESTRUCT create) {
    if (CVeloDialog::OnCreate(create) == -1) return -1;
    payroll::front::FrontSettings settings = payroll::front::ReadFrontSettings();
    payroll::front::MergeNameChoice(settings, &m_bUseMainNames);
    payroll::front::LoadFrontTexts(settings);
    m_Form.CreateForm(this, payroll::ui::kEmployeeFormId);
    m_List.SetLayout(CListGrid::kFixedPayLayout);
    m_List.CreateGrid(WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, payroll::ui::kFixedPayListId);
    return 0;
}

void CEmpViewDlg::DoDataExchange(CDataExchange* dx) {
    CVeloDialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_btnOK);
}

BOOL CEmpViewDlg::OnInitDialog() {
    CVeloDialog::OnInitDialog();
    SetWindowText(TheLangUtil().GetLangString(kEmployeeViewTitle).c_str());
    m_btnOK.SetWindowText(TheLangUtil().GetLangString(kEmployeeViewCloseCaption).c_str());
    return TRUE;
}

void CEmpViewDlg::OnSize(UINT type, int cx, int cy) {
    CVeloDialog::OnSize(type, cx, cy);
    CRect client;
    GetClientRect(&client);
    if (m_Form.GetSafeHwnd())
        m_Form.MoveWindow(kMargin, kMargin, client.right - kMargin - kMargin,
                          kFormBottom - kMargin);
    if (m_List.GetSafeHwnd())
        m_List.MoveWindow(kMargin, kListTop, client.right - kListRightGap - kMargin,
                          client.bottom - kMargin - kListTop);
}

void CEmpViewDlg::OnShowWindow(BOOL show, UINT status) {
    CVeloDialog::OnShowWindow(show, status);
    auto splash = std::make_unique<CG_KvSplashwin>(0, 0, 512, 0x800000, 0xffffff);
    splash->ShowSplashText(TheLangUtil().GetLangString(kEmployeeReadingText).c_str(), "");
    if (!LoadDecimals()) return;  // the waiting window goes with `splash`
    OpenData();
    OpenData_2();
    OpenData_3();
}

void CEmpViewDlg::Report(std::string_view sql, std::string_view tag, bool quiet) {
    std::vector<std::string> lines = payroll::front::ReportStatement(sql, tag, quiet);
    m_Trace.insert(m_Trace.end(), lines.begin(), lines.end());
}

bool CEmpViewDlg::Run(G_DataSource& query, const CString& sql, const char* tag) {
    Report(sql.str(), tag, true);
    if (query.OnExecuteSQL(sql, CString())) return true;
    Report(sql.str(), std::string(tag) + " error", false);
    return false;
}

CString CEmpViewDlg::Name(const char* column) const {
    return CString(payroll::front::NameColumn(column, m_bUseMainNames));
}
