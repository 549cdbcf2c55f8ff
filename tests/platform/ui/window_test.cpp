// The window model: creation order, show and size notifications, centring,
// focus moves between dialog controls, and data exchange.
#include <gtest/gtest.h>

#include "payroll/ui.h"
#include "platform/ui/velo_controls.h"
#include "platform/ui/velo_dialog.h"

namespace {

class LoggingWnd : public CWnd {
  public:
    std::vector<std::string> log;
    int answer_create = 0;

  protected:
    int OnCreate(LPCREATESTRUCT cs) override {
        log.push_back("create " + std::to_string(cs->cx) + "x" + std::to_string(cs->cy));
        return answer_create;
    }
    void OnSize(UINT, int cx, int cy) override {
        log.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy));
    }
    void OnShowWindow(BOOL show, UINT) override { log.push_back(show ? "show" : "hide"); }
    void OnDestroy() override { log.push_back("destroy"); }
};

TEST(WindowModel, NotificationsComeInWindowsOrder) {
    LoggingWnd w;
    ASSERT_TRUE(w.Create(nullptr, "t", WS_VISIBLE, CRect(0, 0, 40, 30), nullptr, 0));
    w.ShowWindow(SW_SHOW);  // already visible: no notification
    w.MoveWindow(0, 0, 50, -5);
    w.ShowWindow(SW_HIDE);
    w.DestroyWindow();
    std::vector<std::string> want = {"create 40x30", "size 40x30", "show",
                                     "size 50x0",    "hide",       "destroy"};
    EXPECT_EQ(w.log, want);
    // Created again after destruction; a -1 from OnCreate leaves no window.
    w.answer_create = -1;
    EXPECT_FALSE(w.Create(nullptr, "t", 0, CRect(0, 0, 1, 1), nullptr, 0));
    EXPECT_FALSE(IsWindow(&w));
    EXPECT_EQ(w.log.back(), "destroy");
}

TEST(WindowModel, CentringAndParentCycles) {
    CWnd owner, popup;
    ASSERT_TRUE(owner.Create(nullptr, "", 0, CRect(100, 100, 500, 400), nullptr, 0));
    ASSERT_TRUE(popup.Create(nullptr, "", 0, CRect(0, 0, 100, 50), &owner, 0));
    popup.CenterWindow();
    CRect r;
    popup.GetWindowRect(&r);
    EXPECT_EQ(r, CRect(250, 225, 350, 275));
    owner.DestroyWindow();
    popup.CenterWindow();  // no owner window: the screen
    popup.GetWindowRect(&r);
    EXPECT_EQ(r.left, (kScreenWidth - 100) / 2);
    // A window cannot become its own ancestor.
    CWnd a, b;
    b.SetParent(&a);
    a.SetParent(&b);
    EXPECT_EQ(a.GetParent(), nullptr);
    EXPECT_EQ(b.GetParent(), &a);
}

class FormDialog : public CVeloDialog {
  public:
    FormDialog() : CVeloDialog(1016) {}
    CVeloButton ok, cancel;
    CString caption = "Go";

  protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDOK, ok);
        DDX_Control(dx, IDCANCEL, cancel);
        DDX_Text(dx, IDOK, caption);
    }
};

TEST(DialogKeys, TabMovesTheFocusAndDataExchangeMovesTexts) {
    payroll::ui::ScriptedDriver driver;
    payroll::ui::ScopedUiDriver scope(&driver);
    std::vector<int> focus;
    driver.AddModalScript([&](payroll::ui::UiDialog& d) {
        auto& dlg = static_cast<FormDialog&>(d);
        focus.push_back(CWnd::GetFocus()->GetDlgCtrlID());
        d.PressKey(VK_TAB);
        focus.push_back(CWnd::GetFocus()->GetDlgCtrlID());
        d.PressKey(VK_TAB);
        focus.push_back(CWnd::GetFocus()->GetDlgCtrlID());
        EXPECT_EQ(d.ControlText(IDOK), "Go");
        dlg.ok.SetWindowText("Changed");
        dlg.cancel.EnableWindow(FALSE);
        d.PressButton(IDCANCEL);  // disabled: nothing happens
        EXPECT_FALSE(d.IsEnded());
        d.PressKey(VK_RETURN);  // the dialog itself takes Enter as OK
    });
    FormDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(focus, (std::vector<int>{IDOK, IDCANCEL, IDOK}));
    EXPECT_EQ(dlg.caption, "Changed");  // OnOK saved the control's text
}

TEST(DialogKeys, ModelessEndHidesWithoutDestroying) {
    payroll::ui::HeadlessDriver driver;
    payroll::ui::ScopedUiDriver scope(&driver);
    FormDialog dlg;
    ASSERT_TRUE(dlg.Create(1016));
    dlg.ShowWindow(SW_SHOW);
    dlg.PressKey(VK_ESCAPE);
    EXPECT_TRUE(dlg.IsEnded());
    EXPECT_EQ(dlg.Result(), IDCANCEL);
    EXPECT_TRUE(dlg.GetSafeHwnd());
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_FALSE(dlg.Create(1016));  // already exists
}

}  // namespace
