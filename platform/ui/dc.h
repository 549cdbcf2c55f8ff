// CDC: a headless device context. Drawing only records what was drawn, so
// that tests (and drivers) can see what a grid paints: its backgrounds, its
// texts and its focus rectangle.
#pragma once

#include <string>
#include <vector>

#include "payroll/wnd.h"

class CDC {
  public:
    struct Op {
        enum class Kind { kFill, kText, kFocusRect } kind;
        CRect rect;
        COLORREF color = 0;
        std::string text;
    };

    void FillSolidRect(const RECT* rect, COLORREF color);
    void DrawText(const char* text, const RECT* rect);
    void DrawFocusRect(const RECT* rect);

    const std::vector<Op>& ops() const { return ops_; }
    void Clear() { ops_.clear(); }

  private:
    std::vector<Op> ops_;
};
