// CWnd: the window base of the library's exported classes and of its own
// dialogs, buttons and grids. There is no window system underneath: a CWnd is
// a headless model of a window (created or not, parent and children, text,
// rectangle, visibility, focus) that receives the messages the library's
// dialogs use. What a user would see goes to the UI driver the host installs
// (payroll/ui.h).
//
// Coordinates: a child window's rectangle is in its parent's client
// coordinates, a top-level window's in screen coordinates; windows have no
// frame, so the client area is the whole window.
#pragma once

#include <cstdint>
#include <vector>

#include "payroll/cstring.h"
#include "payroll/export.h"

using BOOL = int;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;
using COLORREF = std::uint32_t;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

class CWnd;
using HWND = CWnd*;

inline constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr WPARAM MAKEWPARAM(unsigned lo, unsigned hi) {
    return static_cast<WPARAM>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16));
}
inline constexpr LPARAM MAKELPARAM(unsigned lo, unsigned hi) {
    return static_cast<LPARAM>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16));
}
inline constexpr unsigned LOWORD(std::uintptr_t v) {
    return static_cast<unsigned>(v & 0xFFFF);
}
inline constexpr unsigned HIWORD(std::uintptr_t v) {
    return static_cast<unsigned>((v >> 16) & 0xFFFF);
}

// Dialog and message-box results.
inline constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6,
                     IDNO = 7;
// Message-box styles: the buttons in the low four bits, then the icon.
inline constexpr UINT MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2,
                      MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_TYPEMASK = 0xF,
                      MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30,
                      MB_ICONINFORMATION = 0x40;
// ShowWindow commands.
inline constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOW = 5;
// Window styles.
inline constexpr DWORD WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
                       WS_BORDER = 0x00800000, WS_TABSTOP = 0x00010000;
// Messages.
inline constexpr UINT WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_SIZE = 0x0005,
                      WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_SETTEXT = 0x000C,
                      WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_SHOWWINDOW = 0x0018,
                      WM_GETDLGCODE = 0x0087, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101,
                      WM_CHAR = 0x0102, WM_INITDIALOG = 0x0110, WM_COMMAND = 0x0111,
                      WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203,
                      WM_RBUTTONDOWN = 0x0204, WM_USER = 0x0400;
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT SIZE_RESTORED = 0;
// WM_GETDLGCODE answers: a control that wants every key (Enter, Escape)
// keeps the dialog from treating them as OK and Cancel.
inline constexpr UINT DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4,
                      DLGC_WANTCHARS = 0x80;
// Virtual keys.
inline constexpr UINT VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_ESCAPE = 0x1B,
                      VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23,
                      VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
                      VK_DELETE = 0x2E, VK_F2 = 0x71;

// A point in pixels.
struct POINT {
    int x = 0;
    int y = 0;
};

// A rectangle in pixels; right and bottom lie outside it.
struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
using LPRECT = RECT*;

// A POINT with a constructor.
class CPoint : public POINT {
  public:
    CPoint() = default;
    // The point (x_, y_).
    CPoint(int x_, int y_) {
        x = x_;
        y = y_;
    }
};

// A RECT with the usual helpers.
class CRect : public RECT {
  public:
    CRect() = default;
    // The rectangle from (l, t) to (r, b), right and bottom outside it.
    CRect(int l, int t, int r, int b) { SetRect(l, t, r, b); }
    // A copy of a plain RECT.
    CRect(const RECT& r) : RECT(r) {}  // NOLINT: converts like the original
    // right - left; negative for an inverted rectangle.
    int Width() const { return right - left; }
    // bottom - top; negative for an inverted rectangle.
    int Height() const { return bottom - top; }
    // True when the rectangle has no area (also when inverted).
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    // True when all four sides are 0.
    bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    // Sets all four sides.
    void SetRect(int l, int t, int r, int b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    // Sets all four sides to 0.
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    // Moves the rectangle by (dx, dy).
    void OffsetRect(int dx, int dy) { SetRect(left + dx, top + dy, right + dx, bottom + dy); }
    // Grows every side outwards by dx (left, right) and dy (top, bottom).
    void InflateRect(int dx, int dy) { SetRect(left - dx, top - dy, right + dx, bottom + dy); }
    // Shrinks every side inwards by dx and dy.
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    // True when p lies inside: left and top included, right and bottom not.
    bool PtInRect(POINT p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    // The top-left corner.
    CPoint TopLeft() const { return CPoint(left, top); }
    // The centre ((left + right) / 2, (top + bottom) / 2 in whole numbers).
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    // True when all four sides are equal.
    friend bool operator==(const CRect& a, const CRect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    // True when a side differs.
    friend bool operator!=(const CRect& a, const CRect& b) { return !(a == b); }
};

// A message as pre-translation sees it.
struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// What WM_CREATE tells OnCreate about the window being created.
struct CREATESTRUCT {
    HWND hwndParent = nullptr;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;
    UINT id = 0;
    const char* lpszName = "";
};
using LPCREATESTRUCT = CREATESTRUCT*;

// Size of the headless screen, for centring top-level windows.
inline constexpr int kScreenWidth = 1280;
inline constexpr int kScreenHeight = 1024;

// A headless window: the base of both exported classes and of the library's
// dialogs and controls (see the top of this header).
class PAYROLL_API CWnd {
  public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Creates the window: links it to its parent, sends WM_CREATE (a handler
    // answering -1 aborts: the window is destroyed again and FALSE returned),
    // then WM_SIZE, then WM_SHOWWINDOW when the style holds WS_VISIBLE.
    // FALSE as well when the window already exists.
    virtual BOOL Create(const char* class_name, const char* window_name, DWORD style,
                        const RECT& rect, CWnd* parent, UINT id);
    // Sends WM_DESTROY, destroys the child windows, then calls PostNcDestroy.
    // The object stays usable and may be created again. FALSE when there is
    // no window.
    virtual BOOL DestroyWindow();

    // The window handle, null while no window exists.
    HWND GetSafeHwnd() const { return m_hWnd; }
    // The window handle: this object while its window exists, else null.
    HWND m_hWnd = nullptr;

    // The parent window object, or null.
    CWnd* GetParent() const { return parent_; }
    // Changes the parent (also before the window exists). Returns the old one.
    CWnd* SetParent(CWnd* parent);
    // Top-level ancestor (the window itself when it has no parent).
    CWnd* GetTopLevelParent() const;
    // True when `ancestor` is a parent, grandparent ... of this window.
    bool IsChildOf(const CWnd* ancestor) const;
    // The control id given at Create (or by SetDlgCtrlID).
    int GetDlgCtrlID() const { return id_; }
    // Changes the control id.
    void SetDlgCtrlID(int id) { id_ = id; }
    // The existing child window with that id, or null.
    CWnd* GetDlgItem(int id) const;
    // The number of existing child windows.
    int GetChildCount() const { return static_cast<int>(children_.size()); }
    // The child window at `index` in the order they were linked, or null.
    CWnd* GetChildAt(int index) const;

    // Changes the window text (null: empty); an existing window passes the
    // change up to its dialog, which tells the UI driver.
    void SetWindowText(const char* text);
    // Copies the window text into `text`.
    void GetWindowText(CString& text) const { text = text_; }
    // The window text.
    CString GetWindowText() const { return text_; }
    // The window text's length in bytes.
    int GetWindowTextLength() const { return text_.GetLength(); }

    // The WS_ style bits.
    DWORD GetStyle() const { return style_; }
    // Clears the `remove` bits, then sets the `add` bits.
    void ModifyStyle(DWORD remove, DWORD add) { style_ = (style_ & ~remove) | add; }

    // Moves and sizes the window; sends WM_SIZE when the window exists.
    // Negative sizes count as 0.
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    // The same with a rectangle; null does nothing.
    void MoveWindow(const RECT* rect, BOOL repaint = TRUE);
    void GetWindowRect(RECT* rect) const;  // screen coordinates
    void GetClientRect(RECT* rect) const;  // (0, 0, width, height)
    // Converts screen coordinates into this window's client coordinates.
    void ScreenToClient(RECT* rect) const;
    // Converts a screen point into this window's client coordinates.
    void ScreenToClient(POINT* point) const;
    // Converts this window's client coordinates into screen coordinates.
    void ClientToScreen(RECT* rect) const;
    // Converts a client point of this window into screen coordinates.
    void ClientToScreen(POINT* point) const;
    // Centres the window over the alternate owner, else its parent when that
    // exists as a window, else the screen.
    void CenterWindow(CWnd* alternate_owner = nullptr);

    // Shows or hides the window; sends WM_SHOWWINDOW when visibility changes.
    // Returns whether it was visible before.
    BOOL ShowWindow(int command);
    // TRUE while the window exists and is shown.
    BOOL IsWindowVisible() const { return m_hWnd && visible_; }
    // Enables or disables input to the window; returns TRUE when it was
    // disabled before.
    BOOL EnableWindow(BOOL enable = TRUE);
    // TRUE unless the window was disabled.
    BOOL IsWindowEnabled() const { return enabled_; }

    // Gives the window the keyboard focus (WM_KILLFOCUS to the old one,
    // WM_SETFOCUS to this one). Returns the window that had it.
    CWnd* SetFocus();
    // The window with the keyboard focus, or null.
    static CWnd* GetFocus();

    // Painting is headless: Invalidate marks the window, UpdateWindow sends
    // WM_PAINT when it is marked, ValidateRect clears the mark.
    void Invalidate(BOOL erase = TRUE);
    // Sends WM_PAINT when the window is marked for painting.
    void UpdateWindow();
    // Clears the painting mark (the rectangle is not tracked).
    void ValidateRect(const RECT* rect);
    // True while the window is marked for painting.
    bool NeedsPaint() const { return needs_paint_; }

    // Sends a message to the window at once and returns the handler's answer.
    // Nothing is sent to a window that does not exist (answer 0).
    LRESULT SendMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
    // There is no message queue: posting sends at once. FALSE without a window.
    BOOL PostMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

    // Called for keyboard messages before they are dispatched, on the target
    // window and then on each parent up to the top-level one; TRUE consumes
    // the message. The base consumes nothing.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // WM_COMMAND handler; TRUE when handled. The base handles nothing.
    virtual BOOL OnCommand(WPARAM wparam, LPARAM lparam);

    // True while a window (not only an object) exists for this handle.
    static bool IsLiveWindow(const CWnd* wnd);

  protected:
    // Dispatches a message to the handlers below; override to see raw ones.
    virtual LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam);
    virtual int OnCreate(LPCREATESTRUCT create);  // 0 to go on, -1 to abort
    // WM_DESTROY handler, before the child windows go; the base does nothing.
    virtual void OnDestroy();
    // WM_SHOWWINDOW handler; the base does nothing.
    virtual void OnShowWindow(BOOL show, UINT status);
    // WM_SIZE handler with the new client size; the base does nothing.
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnPaint();  // the base validates the window
    virtual void OnClose();  // the base destroys the window
    // Called last by DestroyWindow, once the window is gone; the base does
    // nothing (a dialog may delete itself here).
    virtual void PostNcDestroy();
    // A descendant's text changed; the base passes it on to the parent.
    virtual void OnDescendantTextChanged(CWnd* source);

  private:
    void Unlink();

    CWnd* parent_ = nullptr;
    std::vector<CWnd*> children_;
    CString text_;
    CRect rect_;
    DWORD style_ = 0;
    int id_ = 0;
    bool visible_ = false;
    bool enabled_ = true;
    bool needs_paint_ = false;
    bool destroying_ = false;
};

// True when the handle names a window that exists.
PAYROLL_API BOOL IsWindow(HWND wnd);
