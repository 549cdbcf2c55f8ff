#include "platform/ui/dc.h"

void CDC::FillSolidRect(const RECT* rect, COLORREF color) {
    if (rect) ops_.push_back({Op::Kind::kFill, *rect, color, {}});
}

void CDC::DrawText(const char* text, const RECT* rect) {
    if (rect) ops_.push_back({Op::Kind::kText, *rect, 0, text ? text : ""});
}

void CDC::DrawFocusRect(const RECT* rect) {
    if (rect) ops_.push_back({Op::Kind::kFocusRect, *rect, 0, {}});
}
