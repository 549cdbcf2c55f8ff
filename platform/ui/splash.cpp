#include "platform/ui/splash.h"

#include "platform/ui/afx.h"

namespace {
int g_next_splash = 1;
}

CG_KvSplashwin::CG_KvSplashwin(int x, int y, int width, COLORREF text_color, COLORREF back_color)
    : number_(g_next_splash++),
      x_(x),
      y_(y),
      width_(width < 0 ? 0 : width),
      text_color_(text_color),
      back_color_(back_color) {}

CG_KvSplashwin::~CG_KvSplashwin() {
    HideSplash();
}

void CG_KvSplashwin::ShowSplashText(const char* text, const char* second) {
    if (!GetSafeHwnd()) {
        int left = x_ ? x_ : (kScreenWidth - width_) / 2;
        int top = y_ ? y_ : kScreenHeight / 2 - 40;
        Create(nullptr, "", 0, CRect(left, top, left + width_, top + 80), nullptr, 0);
    }
    SetWindowText(text ? text : "");
    ShowWindow(SW_SHOW);
    shown_ = true;
    CString first = text ? text : "", next = second ? second : "";
    int number = number_;
    payroll::ui::CallDriver([&](payroll::ui::UiDriver& d) { d.SplashShown(number, first, next); });
}

void CG_KvSplashwin::HideSplash() {
    if (!shown_) return;
    shown_ = false;
    int number = number_;
    payroll::ui::CallDriver([&](payroll::ui::UiDriver& d) { d.SplashHidden(number); });
    if (GetSafeHwnd()) DestroyWindow();
}
