#include "platform/ui/velo_controls.h"

#include "platform/ui/gradient_progress.h"
#include "platform/ui/one_grid.h"
#include "platform/ui/ug_ctrl.h"

std::string ControlKind(const CWnd* wnd) {
    if (auto* placeholder = dynamic_cast<const CTemplateControl*>(wnd)) return placeholder->kind();
    if (dynamic_cast<const CVeloButton*>(wnd)) return "button";
    if (dynamic_cast<const CVeloStatic*>(wnd)) return "static";
    if (dynamic_cast<const CG_GradientProgressCtrl*>(wnd)) return "progress";
    if (dynamic_cast<const CG_UGCtrl*>(wnd)) return "grid";
    if (dynamic_cast<const CG_OneGrid*>(wnd)) return "form";
    return "window";
}

void CVeloButton::Click() {
    if (!m_hWnd || !IsWindowEnabled() || !GetParent()) return;
    GetParent()->SendMessage(WM_COMMAND,
                             MAKEWPARAM(static_cast<unsigned>(GetDlgCtrlID()), BN_CLICKED),
                             reinterpret_cast<LPARAM>(this));
}

LRESULT CVeloButton::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_KEYDOWN && wparam == VK_SPACE) {
        Click();
        return 0;
    }
    return CWnd::WindowProc(message, wparam, lparam);
}

BOOL SubclassDlgItem(CWnd& control, int id, CWnd* parent) {
    if (!parent || control.GetSafeHwnd()) return FALSE;
    CWnd* placeholder = parent->GetDlgItem(id);
    if (!placeholder || placeholder == &control) return FALSE;
    CRect rect;
    placeholder->GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    CString text = placeholder->GetWindowText();
    DWORD style = placeholder->GetStyle();
    BOOL enabled = placeholder->IsWindowEnabled();
    placeholder->DestroyWindow();
    if (!control.Create(nullptr, text.c_str(), style | WS_CHILD, rect, parent,
                        static_cast<UINT>(id)))
        return FALSE;
    control.EnableWindow(enabled);
    return TRUE;
}
