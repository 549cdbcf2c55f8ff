#include "platform/ui/velo_dialog.h"

#include "platform/ui/afx.h"
#include "platform/ui/ug_ctrl.h"
#include "platform/ui/velo_controls.h"

namespace payroll::ui {

void DeliverMessage(CWnd* target, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!CWnd::IsLiveWindow(target)) return;
    MSG msg;
    msg.hwnd = target;
    msg.message = message;
    msg.wParam = wparam;
    msg.lParam = lparam;
    // Collect the chain first: a handler may destroy windows on the way.
    std::vector<CWnd*> chain;
    for (CWnd* w = target; w; w = (w->GetStyle() & WS_CHILD) ? w->GetParent() : nullptr)
        chain.push_back(w);
    for (CWnd* w : chain) {
        if (!CWnd::IsLiveWindow(w)) continue;
        if (w->PreTranslateMessage(&msg)) return;
    }
    if (CWnd::IsLiveWindow(target)) target->SendMessage(message, wparam, lparam);
}

CVeloDialog* DialogOf(CWnd* wnd) {
    for (CWnd* w = wnd; w; w = w->GetParent())
        if (auto* dlg = dynamic_cast<CVeloDialog*>(w)) return dlg;
    return nullptr;
}

}  // namespace payroll::ui

using payroll::ui::CallDriver;
using payroll::ui::UiDriver;

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!dx || !dx->m_pDlgWnd || control.GetSafeHwnd()) return;
    SubclassDlgItem(control, id, dx->m_pDlgWnd);
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    if (!dx || !dx->m_pDlgWnd) return;
    CWnd* control = dx->m_pDlgWnd->GetDlgItem(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate)
        control->GetWindowText(value);
    else
        control->SetWindowText(value.c_str());
}

CVeloDialog::CVeloDialog(UINT template_id, CWnd* parent)
    : template_id_(template_id), owner_(parent) {
    SetParent(parent);
}

CVeloDialog::~CVeloDialog() {
    // Take the window down while this class still knows what to announce.
    if (GetSafeHwnd()) DestroyWindow();
}

bool CVeloDialog::CreateFromTemplate(CWnd* parent, bool modal) {
    if (GetSafeHwnd()) return false;
    template_ = payroll::ui::LoadDialogTemplate(static_cast<int>(template_id_));
    if (!template_) return false;
    modal_ = modal;
    ended_ = false;
    announced_ = false;
    result_ = 0;
    placeholders_.clear();
    CRect size = payroll::ui::DialogUnitsToPixels(CRect(0, 0, template_->width, template_->height));
    CRect rect((kScreenWidth - size.Width()) / 2, (kScreenHeight - size.Height()) / 2, 0, 0);
    rect.right = rect.left + size.Width();
    rect.bottom = rect.top + size.Height();
    if (!CWnd::Create(nullptr, template_->title.c_str(), 0, rect, parent, template_id_))
        return false;
    for (const payroll::ui::ControlTemplate& c : template_->controls) {
        auto placeholder = std::make_unique<CTemplateControl>(c.kind);
        DWORD style = WS_CHILD | WS_VISIBLE;
        if (c.kind == "button" || c.kind == "grid") style |= WS_TABSTOP;
        if (placeholder->Create(nullptr, c.text.c_str(), style,
                                payroll::ui::DialogUnitsToPixels(c.rect), this,
                                static_cast<UINT>(c.id)))
            placeholders_.push_back(std::move(placeholder));
    }
    BOOL default_focus = static_cast<BOOL>(WindowProc(WM_INITDIALOG, 0, 0));
    if (GetSafeHwnd() && default_focus && !ended_) {
        CWnd* focus = CWnd::GetFocus();
        if (!focus || (focus != this && !focus->IsChildOf(this))) {
            CWnd* first = nullptr;
            for (int i = 0; i < GetChildCount() && !first; ++i) {
                CWnd* child = GetChildAt(i);
                if (child->GetSafeHwnd() && (child->GetStyle() & WS_TABSTOP)) first = child;
            }
            (first ? first : this)->SetFocus();
        }
    }
    return GetSafeHwnd() != nullptr;
}

INT_PTR CVeloDialog::DoModal() {
    if (GetSafeHwnd()) return -1;
    if (!CreateFromTemplate(owner_, /*modal=*/true)) return -1;
    if (!ended_) ShowWindow(SW_SHOW);
    if (!ended_ && GetSafeHwnd()) CallDriver([&](UiDriver& d) { d.RunModal(*this); });
    if (!ended_) {  // the driver left it running: cancel it
        if (GetSafeHwnd()) OnCancel();
        if (!ended_) {
            ended_ = true;
            result_ = IDCANCEL;
        }
    }
    int result = result_;
    CallDriver([&](UiDriver& d) { d.ModalEnded(*this, result); });
    // Ending hides the dialog without a show notification, then destroys it.
    if (GetSafeHwnd()) {
        ModifyStyle(WS_VISIBLE, 0);
        DestroyWindow();
    }
    modal_ = false;
    return result;
}

BOOL CVeloDialog::Create(UINT template_id, CWnd* parent) {
    if (GetSafeHwnd()) return FALSE;
    template_id_ = template_id;
    if (parent) owner_ = parent;
    if (!CreateFromTemplate(owner_, /*modal=*/false)) return FALSE;
    announced_ = true;
    CallDriver([&](UiDriver& d) { d.DialogOpened(*this); });
    return TRUE;
}

BOOL CVeloDialog::DestroyWindow() {
    bool announce = announced_ && GetSafeHwnd();
    BOOL done = CWnd::DestroyWindow();
    if (done && announce) {
        announced_ = false;
        CallDriver([&](UiDriver& d) { d.DialogClosed(*this); });
    }
    if (done) placeholders_.clear();
    return done;
}

void CVeloDialog::EndDialog(int result) {
    ended_ = true;
    result_ = result;
    if (!modal_ && GetSafeHwnd()) ShowWindow(SW_HIDE);
}

BOOL CVeloDialog::UpdateData(BOOL save_and_validate) {
    if (!GetSafeHwnd()) return FALSE;
    CDataExchange dx(this, save_and_validate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CVeloDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CVeloDialog::DoDataExchange(CDataExchange* /*dx*/) {}

void CVeloDialog::OnOK() {
    if (!UpdateData(TRUE) && GetSafeHwnd()) return;
    EndDialog(IDOK);
}

void CVeloDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CVeloDialog::OnClose() {
    OnCancel();
}

BOOL CVeloDialog::OnCommand(WPARAM wparam, LPARAM /*lparam*/) {
    switch (LOWORD(wparam)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        default:
            return FALSE;
    }
}

LRESULT CVeloDialog::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) return OnInitDialog();
    return CWnd::WindowProc(message, wparam, lparam);
}

BOOL CVeloDialog::PreTranslateMessage(MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    CWnd* target = msg->hwnd;
    if (!IsLiveWindow(target) || (target != this && !target->IsChildOf(this))) return FALSE;
    if (target != this && (target->SendMessage(WM_GETDLGCODE, msg->wParam, 0) & DLGC_WANTALLKEYS))
        return FALSE;
    switch (msg->wParam) {
        case VK_ESCAPE:
            SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return TRUE;
        case VK_RETURN:
            SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return TRUE;
        case VK_TAB: {
            std::vector<CWnd*> stops;
            for (int i = 0; i < GetChildCount(); ++i) {
                CWnd* child = GetChildAt(i);
                if (child->GetSafeHwnd() && child->IsWindowEnabled() &&
                    (child->GetStyle() & WS_TABSTOP))
                    stops.push_back(child);
            }
            if (stops.empty()) return TRUE;
            std::size_t next = 0;
            for (std::size_t i = 0; i < stops.size(); ++i)
                if (stops[i] == target || target->IsChildOf(stops[i]))
                    next = (i + 1) % stops.size();
            stops[next]->SetFocus();
            return TRUE;
        }
        default:
            return FALSE;
    }
}

void CVeloDialog::OnDescendantTextChanged(CWnd* source) {
    if (!GetSafeHwnd()) return;
    int control = source == this ? 0 : source->GetDlgCtrlID();
    CString text = source->GetWindowText();
    CallDriver([&](UiDriver& d) { d.TextChanged(*this, control, text); });
}

std::vector<payroll::ui::ControlInfo> CVeloDialog::Controls() const {
    std::vector<payroll::ui::ControlInfo> out;
    for (int i = 0; i < GetChildCount(); ++i) {
        CWnd* child = GetChildAt(i);
        if (!child->GetSafeHwnd()) continue;
        payroll::ui::ControlInfo info;
        info.id = child->GetDlgCtrlID();
        info.kind = ControlKind(child).c_str();
        info.text = child->GetWindowText();
        CRect r;
        child->GetWindowRect(&r);
        ScreenToClient(&r);
        info.rect = r;
        info.visible = child->IsWindowVisible();
        info.enabled = child->IsWindowEnabled();
        out.push_back(std::move(info));
    }
    return out;
}

CString CVeloDialog::ControlText(int id) const {
    CWnd* control = GetDlgItem(id);
    return control ? control->GetWindowText() : CString();
}

payroll::ui::UiGrid* CVeloDialog::FindGrid(int control_id) {
    for (int i = 0; i < GetChildCount(); ++i) {
        auto* grid = dynamic_cast<CG_UGCtrl*>(GetChildAt(i));
        if (grid && (control_id == 0 || grid->GetDlgCtrlID() == control_id)) return grid;
    }
    return nullptr;
}

void CVeloDialog::PressKey(UINT key) {
    CWnd* focus = CWnd::GetFocus();
    CWnd* target = (focus && (focus == this || focus->IsChildOf(this))) ? focus : this;
    payroll::ui::DeliverMessage(target, WM_KEYDOWN, key);
}

void CVeloDialog::TypeChar(UINT ch) {
    CWnd* focus = CWnd::GetFocus();
    CWnd* target = (focus && (focus == this || focus->IsChildOf(this))) ? focus : this;
    payroll::ui::DeliverMessage(target, WM_CHAR, ch);
}

void CVeloDialog::PressButton(int id) {
    if (!GetSafeHwnd()) return;
    if (auto* button = dynamic_cast<CVeloButton*>(GetDlgItem(id))) {
        button->Click();
        return;
    }
    SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED), 0);
}
