// CG_KvSplashwin: the waiting window shown during long work. It is visible
// from ShowSplashText until it is hidden or deleted; the UI driver is told
// of both.
#pragma once

#include "payroll/wnd.h"

class CG_KvSplashwin : public CWnd {
  public:
    CG_KvSplashwin(int x = 0, int y = 0, int width = 512, COLORREF text_color = 0x800000,
                   COLORREF back_color = 0xFFFFFF);
    ~CG_KvSplashwin() override;

    // Shows (or replaces) the two lines of text.
    void ShowSplashText(const char* text, const char* second = "");
    void HideSplash();
    bool IsShown() const { return shown_; }
    int number() const { return number_; }
    COLORREF text_color() const { return text_color_; }
    COLORREF back_color() const { return back_color_; }

  private:
    int number_;
    int x_, y_, width_;
    COLORREF text_color_, back_color_;
    bool shown_ = false;
};
