// Simple dialog controls: buttons, static texts, and the plain placeholder a
// dialog creates for each control of its template until a control object is
// bound to it (DDX_Control, SubclassDlgItem).
#pragma once

#include <string>

#include "payroll/wnd.h"

// A control of a dialog template that no object has been bound to yet.
class CTemplateControl : public CWnd {
  public:
    explicit CTemplateControl(std::string kind) : kind_(std::move(kind)) {}
    const std::string& kind() const { return kind_; }

  private:
    std::string kind_;
};

// The kind name of a control, for drivers ("button", "static", ...).
std::string ControlKind(const CWnd* wnd);

class CVeloButton : public CWnd {
  public:
    // A click: WM_COMMAND with the button's id and BN_CLICKED to the parent.
    // Nothing happens when the button is disabled or has no window.
    void Click();

  protected:
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
};

class CVeloStatic : public CWnd {};

// Binds `control` to the template control `id` of `parent`: the placeholder
// is destroyed and the control created in its place with the same id, text,
// rectangle and style. FALSE when there is no such control or the control
// object already has a window.
BOOL SubclassDlgItem(CWnd& control, int id, CWnd* parent);
