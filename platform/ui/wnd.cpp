// The headless window model behind CWnd.
#include "payroll/wnd.h"

#include <algorithm>
#include <unordered_set>

namespace {

// Windows that exist, so that a handle can be checked without touching the
// object behind it, and the one with the keyboard focus.
std::unordered_set<const CWnd*>& LiveWindows() {
    static std::unordered_set<const CWnd*> live;
    return live;
}
CWnd* g_focus = nullptr;

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    // Derived handlers are gone by now: only the model is taken down.
    if (m_hWnd) {
        for (CWnd* child : std::vector<CWnd*>(children_))
            if (child->m_hWnd) child->DestroyWindow();
        LiveWindows().erase(this);
        m_hWnd = nullptr;
    }
    if (g_focus == this) g_focus = nullptr;
    Unlink();
}

void CWnd::Unlink() {
    for (CWnd* child : children_) child->parent_ = nullptr;
    children_.clear();
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        parent_ = nullptr;
    }
}

bool CWnd::IsLiveWindow(const CWnd* wnd) {
    return wnd && LiveWindows().count(wnd) != 0;
}

BOOL IsWindow(HWND wnd) {
    return CWnd::IsLiveWindow(wnd) ? TRUE : FALSE;
}

CWnd* CWnd::SetParent(CWnd* parent) {
    CWnd* old = parent_;
    if (parent == this || (parent && parent->IsChildOf(this))) return old;  // no cycles
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    parent_ = parent;
    if (parent_) parent_->children_.push_back(this);
    return old;
}

CWnd* CWnd::GetTopLevelParent() const {
    const CWnd* w = this;
    while ((w->style_ & WS_CHILD) && w->parent_) w = w->parent_;
    return const_cast<CWnd*>(w);
}

bool CWnd::IsChildOf(const CWnd* ancestor) const {
    for (const CWnd* w = parent_; w; w = w->parent_)
        if (w == ancestor) return true;
    return false;
}

CWnd* CWnd::GetDlgItem(int id) const {
    for (CWnd* child : children_)
        if (child->m_hWnd && child->id_ == id) return child;
    return nullptr;
}

CWnd* CWnd::GetChildAt(int index) const {
    if (index < 0 || index >= GetChildCount()) return nullptr;
    return children_[static_cast<std::size_t>(index)];
}

BOOL CWnd::Create(const char* /*class_name*/, const char* window_name, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id) {
    if (m_hWnd || destroying_) return FALSE;
    SetParent(parent);
    id_ = static_cast<int>(id);
    style_ = style & ~WS_VISIBLE;
    text_ = window_name ? window_name : "";
    rect_ = CRect(rect.left, rect.top, std::max(rect.left, rect.right),
                  std::max(rect.top, rect.bottom));
    enabled_ = (style & WS_DISABLED) == 0;
    visible_ = false;
    m_hWnd = this;
    LiveWindows().insert(this);

    CREATESTRUCT cs;
    cs.hwndParent = parent;
    cs.x = rect_.left;
    cs.y = rect_.top;
    cs.cx = rect_.Width();
    cs.cy = rect_.Height();
    cs.style = style;
    cs.id = id;
    cs.lpszName = text_.c_str();
    if (WindowProc(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return FALSE;
    }
    if (!m_hWnd) return FALSE;  // a handler destroyed it
    WindowProc(WM_SIZE, SIZE_RESTORED, MAKELPARAM(rect_.Width(), rect_.Height()));
    if ((style & WS_VISIBLE) && m_hWnd) ShowWindow(SW_SHOW);
    return m_hWnd ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd || destroying_) return FALSE;
    destroying_ = true;
    if (g_focus && (g_focus == this || g_focus->IsChildOf(this))) g_focus = nullptr;
    WindowProc(WM_DESTROY, 0, 0);
    for (CWnd* child : std::vector<CWnd*>(children_))
        if (IsLiveWindow(child) && child->IsChildOf(this)) child->DestroyWindow();
    LiveWindows().erase(this);
    m_hWnd = nullptr;
    visible_ = false;
    needs_paint_ = false;
    destroying_ = false;
    PostNcDestroy();
    return TRUE;
}

void CWnd::SetWindowText(const char* text) {
    CString value = text ? text : "";
    if (value == text_) return;
    text_ = std::move(value);
    if (m_hWnd) OnDescendantTextChanged(this);
}

void CWnd::OnDescendantTextChanged(CWnd* source) {
    if (parent_) parent_->OnDescendantTextChanged(source);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    rect_ = CRect(x, y, x + std::max(0, width), y + std::max(0, height));
    if (m_hWnd) {
        WindowProc(WM_SIZE, SIZE_RESTORED, MAKELPARAM(rect_.Width(), rect_.Height()));
        if (repaint) Invalidate();
    }
}

void CWnd::MoveWindow(const RECT* rect, BOOL repaint) {
    if (rect)
        MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                   repaint);
}

void CWnd::GetWindowRect(RECT* rect) const {
    if (!rect) return;
    CRect r = rect_;
    if ((style_ & WS_CHILD) && parent_) {
        CRect origin;
        parent_->GetWindowRect(&origin);
        r.OffsetRect(origin.left, origin.top);
    }
    *rect = r;
}

void CWnd::GetClientRect(RECT* rect) const {
    if (rect) *rect = CRect(0, 0, rect_.Width(), rect_.Height());
}

void CWnd::ScreenToClient(POINT* point) const {
    if (!point) return;
    CRect r;
    GetWindowRect(&r);
    point->x -= r.left;
    point->y -= r.top;
}

void CWnd::ClientToScreen(POINT* point) const {
    if (!point) return;
    CRect r;
    GetWindowRect(&r);
    point->x += r.left;
    point->y += r.top;
}

void CWnd::ScreenToClient(RECT* rect) const {
    if (!rect) return;
    CRect r;
    GetWindowRect(&r);
    *rect =
        CRect(rect->left - r.left, rect->top - r.top, rect->right - r.left, rect->bottom - r.top);
}

void CWnd::ClientToScreen(RECT* rect) const {
    if (!rect) return;
    CRect r;
    GetWindowRect(&r);
    *rect =
        CRect(rect->left + r.left, rect->top + r.top, rect->right + r.left, rect->bottom + r.top);
}

void CWnd::CenterWindow(CWnd* alternate_owner) {
    CRect area(0, 0, kScreenWidth, kScreenHeight);
    CWnd* owner = alternate_owner ? alternate_owner : parent_;
    if (IsLiveWindow(owner)) owner->GetWindowRect(&area);
    int w = rect_.Width(), h = rect_.Height();
    int x = area.left + (area.Width() - w) / 2;
    int y = area.top + (area.Height() - h) / 2;
    if ((style_ & WS_CHILD) && parent_) {  // back into the parent's client coordinates
        CPoint p(x, y);
        parent_->ScreenToClient(&p);
        x = p.x;
        y = p.y;
    }
    MoveWindow(x, y, w, h);
}

BOOL CWnd::ShowWindow(int command) {
    if (!m_hWnd) return FALSE;
    BOOL was_visible = visible_ ? TRUE : FALSE;
    bool show = command != SW_HIDE;
    if (show != visible_) {
        visible_ = show;
        if (show)
            style_ |= WS_VISIBLE;
        else
            style_ &= ~WS_VISIBLE;
        WindowProc(WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    }
    return was_visible;
}

BOOL CWnd::EnableWindow(BOOL enable) {
    BOOL was_disabled = enabled_ ? FALSE : TRUE;
    enabled_ = enable != FALSE;
    return was_disabled;
}

CWnd* CWnd::SetFocus() {
    CWnd* old = g_focus;
    if (!m_hWnd || old == this) return old;
    g_focus = this;
    if (IsLiveWindow(old)) old->WindowProc(WM_KILLFOCUS, reinterpret_cast<WPARAM>(this), 0);
    if (g_focus == this) WindowProc(WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

CWnd* CWnd::GetFocus() {
    return g_focus;
}

void CWnd::Invalidate(BOOL /*erase*/) {
    if (m_hWnd) needs_paint_ = true;
}

void CWnd::UpdateWindow() {
    if (m_hWnd && needs_paint_) WindowProc(WM_PAINT, 0, 0);
}

void CWnd::ValidateRect(const RECT* /*rect*/) {
    needs_paint_ = false;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    if (!m_hWnd) return 0;
    return WindowProc(message, wparam, lparam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    if (!m_hWnd) return FALSE;
    WindowProc(message, wparam, lparam);
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG* /*msg*/) {
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM /*wparam*/, LPARAM /*lparam*/) {
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the message carries a pointer
            return OnCreate(reinterpret_cast<LPCREATESTRUCT>(lparam));
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_SHOWWINDOW:
            OnShowWindow(static_cast<BOOL>(wparam), static_cast<UINT>(lparam));
            return 0;
        case WM_SIZE:
            OnSize(static_cast<UINT>(wparam), static_cast<int>(LOWORD(lparam)),
                   static_cast<int>(HIWORD(lparam)));
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_COMMAND:
            return OnCommand(wparam, lparam);
        case WM_SETTEXT:
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the message carries a pointer
            SetWindowText(reinterpret_cast<const char*>(lparam));
            return TRUE;
        default:
            return 0;
    }
}

int CWnd::OnCreate(LPCREATESTRUCT /*create*/) {
    return 0;
}
void CWnd::OnDestroy() {}
void CWnd::OnShowWindow(BOOL /*show*/, UINT /*status*/) {}
void CWnd::OnSize(UINT /*type*/, int /*cx*/, int /*cy*/) {}
void CWnd::OnPaint() {
    ValidateRect(nullptr);
}
void CWnd::OnClose() {
    DestroyWindow();
}
void CWnd::PostNcDestroy() {}
