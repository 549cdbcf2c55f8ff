// Dialogs under the scripted and headless drivers, with a picker-like
// dialog: template 1016, a list grid created at run time, OK and Cancel.
#include <gtest/gtest.h>

#include "payroll/ui.h"
#include "platform/ui/afx.h"
#include "platform/ui/dialog_ids.h"
#include "platform/ui/ug_ctrl.h"
#include "platform/ui/velo_controls.h"
#include "platform/ui/velo_dialog.h"

namespace {

using payroll::ui::ScopedUiDriver;
using payroll::ui::ScriptedDriver;
using payroll::ui::UiDialog;
using payroll::ui::UiEvent;

// A list grid that closes its dialog the way the picker's does: a
// double-click or Enter sends OK to the parent; typed characters start an
// edit unless they are Tab, Enter or Escape.
class ListGrid : public CG_UGCtrl {
  public:
    void OnSetup() override {
        SetNumberRows(1);
        SetNumberCols(3);
        SetTitleText(0, 0, "Pay date");
        SetColWidth(2, 0);
        ++setups;
    }
    void OnDClicked(int, long, RECT*, POINT*, BOOL) override {
        if (GetParent()) GetParent()->SendMessage(WM_COMMAND, IDOK);
    }
    void OnKeyDown(UINT* key, BOOL) override {
        keys.push_back(*key);
        if (*key == VK_RETURN && GetParent()) GetParent()->SendMessage(WM_COMMAND, IDOK);
    }
    void OnCharDown(UINT* key, BOOL processed) override {
        if (processed || *key == VK_TAB || *key == VK_RETURN || *key == VK_ESCAPE) return;
        StartEdit(static_cast<int>(*key));
    }
    int setups = 0;
    std::vector<UINT> keys;
};

class PickerDialog : public CVeloDialog {
  public:
    explicit PickerDialog(CWnd* parent = nullptr)
        : CVeloDialog(payroll::ui::kPayRunPickerId, parent) {}
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
            ++escapes;
            OnCancel();
            return TRUE;
        }
        // Past CVeloDialog on purpose, as the pay run dialog does.
        return CWnd::PreTranslateMessage(msg);  // NOLINT(bugprone-parent-virtual-call)
    }
    ListGrid grid;
    CVeloButton ok, cancel;
    int escapes = 0;
    int abort_create = 0;
    int shows = 0;

  protected:
    int OnCreate(LPCREATESTRUCT cs) override {
        if (CVeloDialog::OnCreate(cs) == -1 || abort_create) return -1;
        grid.CreateGrid(WS_CHILD | WS_VISIBLE, CRect(), this, payroll::ui::kPayRunGridId);
        return 0;
    }
    BOOL OnInitDialog() override {
        CVeloDialog::OnInitDialog();
        SetWindowText("Pick a run");
        ok.SetWindowText("OK!");
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override {
        CVeloDialog::DoDataExchange(dx);
        DDX_Control(dx, IDOK, ok);
        DDX_Control(dx, IDCANCEL, cancel);
    }
    void OnShowWindow(BOOL show, UINT status) override {
        CVeloDialog::OnShowWindow(show, status);
        ++shows;
        grid.SetNumberRows(3);
        for (long r = 0; r < 3; ++r)
            grid.QuickSetText(0, r, ("2010030" + std::to_string(r + 1)).c_str());
        grid.MoveWindow(3, 5, 322, 225);
        grid.SetFocus();
    }
    void OnOK() override {
        if (grid.GetSafeHwnd()) grid.DestroyWindow();
        CVeloDialog::OnOK();
    }
    void OnCancel() override {
        if (grid.GetSafeHwnd()) grid.DestroyWindow();
        CVeloDialog::OnCancel();
    }
};

TEST(ModalDialog, ScriptedAnswersEndItWithTheRightResult) {
    struct Case {
        const char* name;
        std::function<void(UiDialog&)> script;
        int want;
    } cases[] = {
        {"OK button", [](UiDialog& d) { d.PressButton(IDOK); }, IDOK},
        {"Cancel button", [](UiDialog& d) { d.PressButton(IDCANCEL); }, IDCANCEL},
        {"Escape key", [](UiDialog& d) { d.PressKey(VK_ESCAPE); }, IDCANCEL},
        {"Enter in the grid", [](UiDialog& d) { d.FindGrid(0)->KeyDown(VK_RETURN); }, IDOK},
        {"double-click a cell", [](UiDialog& d) { d.FindGrid(1017)->DoubleClick(0, 2); }, IDOK},
        {"nothing: cancelled", [](UiDialog&) {}, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDriver driver;
        ScopedUiDriver scope(&driver);
        driver.AddModalScript(c.script);
        PickerDialog dlg;
        EXPECT_EQ(dlg.DoModal(), c.want);
        EXPECT_EQ(driver.PendingScripts(), 0);
        EXPECT_FALSE(dlg.GetSafeHwnd());
        EXPECT_FALSE(dlg.grid.GetSafeHwnd());
        auto shown = driver.EventsOf(UiEvent::Kind::kModalShown);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].dialog_id, 1016);
        EXPECT_EQ(shown[0].text, "Pick a run");
        auto ended = driver.EventsOf(UiEvent::Kind::kModalEnded);
        ASSERT_EQ(ended.size(), 1u);
        EXPECT_EQ(ended[0].result, c.want);
    }
}

TEST(ModalDialog, EscapeGoesThroughTheDialogsPreTranslation) {
    ScriptedDriver driver;
    ScopedUiDriver scope(&driver);
    driver.AddModalScript([](UiDialog& d) { d.FindGrid(0)->KeyDown(VK_ESCAPE); });
    PickerDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.escapes, 1);
    EXPECT_TRUE(dlg.grid.keys.empty());  // consumed before the grid saw it
}

TEST(ModalDialog, HeadlessDriverCancelsUnlessToldOtherwise) {
    payroll::ui::HeadlessDriver driver;
    ScopedUiDriver scope(&driver);
    {
        PickerDialog dlg;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }
    driver.SetModalResult(IDOK);
    PickerDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    // The dialog can run again once closed; each run re-creates its grid.
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.grid.setups, 2);
}

TEST(ModalDialog, ControlsComeFromTheTemplateAndDataExchange) {
    ScriptedDriver driver;
    ScopedUiDriver scope(&driver);
    std::vector<payroll::ui::ControlInfo> controls;
    driver.AddModalScript([&](UiDialog& d) {
        controls = d.Controls();
        EXPECT_EQ(d.ControlText(IDOK), "OK!");
        EXPECT_EQ(d.ControlText(IDCANCEL), "Cancel");
        d.PressButton(IDCANCEL);
    });
    PickerDialog dlg;
    dlg.DoModal();
    std::map<int, std::string> kinds;
    for (const auto& c : controls) kinds[c.id] = c.kind.str();
    EXPECT_EQ(kinds[IDOK], "button");
    EXPECT_EQ(kinds[IDCANCEL], "button");
    EXPECT_EQ(kinds[1017], "grid");
}

TEST(ModalDialog, OnCreateAnsweringMinusOneAborts) {
    ScriptedDriver driver;
    ScopedUiDriver scope(&driver);
    PickerDialog dlg;
    dlg.abort_create = 1;
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.GetSafeHwnd());
    EXPECT_TRUE(driver.EventsOf(UiEvent::Kind::kModalShown).empty());
}

TEST(ModalDialog, UnknownTemplateCannotBeCreated) {
    CVeloDialog dlg(4242);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.Create(4242));
}

TEST(ModalDialog, DriverThatThrowsDoesNotEscape) {
    struct Throwing : payroll::ui::HeadlessDriver {
        void RunModal(UiDialog&) override { throw std::runtime_error("host failure"); }
        int MessageBox(const CString&, const CString&, UINT) override { throw 1; }
    } driver;
    ScopedUiDriver scope(&driver);
    PickerDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(AfxMessageBox("x", MB_YESNO), IDYES);
}

TEST(GridState, RowsAndCurrentRowOutliveTheWindow) {
    ScriptedDriver driver;
    ScopedUiDriver scope(&driver);
    driver.AddModalScript([](UiDialog& d) {
        ASSERT_TRUE(d.FindGrid(0)->SelectCell(0, 1));
        d.PressButton(IDOK);
    });
    PickerDialog dlg;
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(dlg.grid.GetSafeHwnd());
    EXPECT_EQ(dlg.grid.GetNumberRows(), 3);
    EXPECT_EQ(dlg.grid.GetCurrentRow(), 1);
    EXPECT_EQ(dlg.grid.QuickGetText(0, 1), "20100302");
}

TEST(Modeless, ProgressDialogReportsTextAndBars) {
    payroll::ui::HeadlessDriver driver;
    ScopedUiDriver scope(&driver);
    CWnd engine;  // an object without a window, as the engine is
    {
        CVeloDialog dlg(payroll::ui::kProgressDialogId, &engine);
        ASSERT_TRUE(dlg.Create(payroll::ui::kProgressDialogId, &engine));
        dlg.ShowWindow(SW_SHOW);
        dlg.SetWindowText("Recalculating");
        CWnd* text = dlg.GetDlgItem(payroll::ui::kProgressTextId);
        ASSERT_NE(text, nullptr);
        text->SetWindowText("1 done");
    }
    auto opened = driver.EventsOf(UiEvent::Kind::kDialogOpened);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].dialog_id, 1004);
    auto texts = driver.EventsOf(UiEvent::Kind::kText);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].control_id, 0);
    EXPECT_EQ(texts[0].text, "Recalculating");
    EXPECT_EQ(texts[1].control_id, payroll::ui::kProgressTextId);
    EXPECT_EQ(texts[1].text, "1 done");
    EXPECT_EQ(driver.EventsOf(UiEvent::Kind::kDialogClosed).size(), 1u);
}

}  // namespace
