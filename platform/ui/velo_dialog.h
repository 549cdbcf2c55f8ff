// CVeloDialog: the dialog base of the library's dialogs. A dialog is built
// from its template (dialog_template.h): creating it sends WM_CREATE
// (OnCreate; -1 aborts), creates the template's controls, then calls
// OnInitDialog (which exchanges data through DoDataExchange). Modal dialogs
// are then shown and handed to the UI driver, which works them until they
// end; modeless ones are announced to the driver and report their text and
// progress changes to it.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "payroll/ui.h"
#include "payroll/wnd.h"
#include "platform/ui/dialog_template.h"

class CDataExchange {
  public:
    CDataExchange(CWnd* dialog, BOOL save) : m_pDlgWnd(dialog), m_bSaveAndValidate(save) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds a control object to template control `id` the first time (see
// SubclassDlgItem); later exchanges do nothing.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Moves a text between a variable and control `id`.
void DDX_Text(CDataExchange* dx, int id, CString& value);

class CVeloDialog : public CWnd, public payroll::ui::UiDialog {
  public:
    explicit CVeloDialog(UINT template_id, CWnd* parent = nullptr);
    ~CVeloDialog() override;

    // Runs the dialog modally through the UI driver. Returns the value given
    // to EndDialog (IDOK, IDCANCEL, ...), or -1 when the dialog could not be
    // created (no template, OnCreate answered -1, or it is already open).
    virtual INT_PTR DoModal();
    // Creates the dialog modeless (hidden until ShowWindow). FALSE when it
    // cannot be created.
    virtual BOOL Create(UINT template_id, CWnd* parent = nullptr);
    // Ends the dialog with a result: a modal dialog returns from DoModal, a
    // modeless one is hidden.
    void EndDialog(int result);
    // TRUE moves control values into variables, FALSE the other way.
    BOOL UpdateData(BOOL save_and_validate = TRUE);

    UINT GetTemplateId() const { return template_id_; }
    BOOL DestroyWindow() override;

    // Escape cancels and Enter confirms, unless the window with the message
    // wants every key itself (WM_GETDLGCODE answering DLGC_WANTALLKEYS); Tab
    // moves the focus to the next control that takes it.
    BOOL PreTranslateMessage(MSG* msg) override;
    // IDOK calls OnOK, IDCANCEL OnCancel.
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;

    // payroll::ui::UiDialog
    int TemplateId() const override { return static_cast<int>(template_id_); }
    CString Title() const override { return GetWindowText(); }
    bool IsModal() const override { return modal_; }
    std::vector<payroll::ui::ControlInfo> Controls() const override;
    CString ControlText(int id) const override;
    payroll::ui::UiGrid* FindGrid(int control_id) override;
    void PressKey(UINT key) override;
    void TypeChar(UINT ch) override;
    void PressButton(int id) override;
    bool IsEnded() const override { return ended_; }
    int Result() const override { return result_; }
    CWnd* Window() override { return this; }

  protected:
    virtual BOOL OnInitDialog();  // UpdateData(FALSE); TRUE
    virtual void DoDataExchange(CDataExchange* dx);
    virtual void OnOK();      // UpdateData(TRUE), then EndDialog(IDOK)
    virtual void OnCancel();  // EndDialog(IDCANCEL)
    void OnClose() override;  // as Cancel
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnDescendantTextChanged(CWnd* source) override;

  private:
    bool CreateFromTemplate(CWnd* parent, bool modal);

    UINT template_id_;
    CWnd* owner_;
    std::optional<payroll::ui::DialogTemplate> template_;
    std::vector<std::unique_ptr<CWnd>> placeholders_;
    bool modal_ = false;
    bool ended_ = false;
    bool announced_ = false;  // a modeless dialog told the driver it opened
    int result_ = 0;
};

namespace payroll::ui {

// Delivers a keyboard message the way a message loop does: pre-translation on
// the target and its parents up to the top-level window, then the target's
// own handler when nobody consumed it. Nothing happens without a window.
void DeliverMessage(CWnd* target, UINT message, WPARAM wparam, LPARAM lparam = 0);

// The dialog a window belongs to (the window itself when it is one), or null.
CVeloDialog* DialogOf(CWnd* wnd);

}  // namespace payroll::ui
