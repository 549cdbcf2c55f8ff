// The framework's free functions: message boxes, sleeps, system colours and
// won amounts, all headless, all through the installed driver and clock.
#pragma once

#include <functional>

#include "payroll/cstring.h"
#include "payroll/ui.h"
#include "payroll/wnd.h"

// Shows a message through the UI driver and returns the button pressed. A
// driver that fails counts as the message box's default button.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT help_id = 0);
// The same with language text `id` as the message.
int AfxMessageBox(UINT id, UINT type = MB_OK, UINT help_id = 0);

// Waits through the installed clock (instant in tests).
void Sleep(DWORD milliseconds);

// System colours of the headless desktop.
inline constexpr int COLOR_WINDOW = 5, COLOR_WINDOWTEXT = 8, COLOR_HIGHLIGHT = 13,
                     COLOR_BTNFACE = 15;
COLORREF GetSysColor(int index);

// Formats an amount for display: printf-style, with the integer part of
// every decimal conversion (%d %i %u %f %F, and %g %G when not in exponent
// form) grouped by thousands with commas, as won amounts are shown. The
// result goes into *out; a null format leaves it empty. %n writes nothing.
void HfxWon(CString* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void HfxWonV(CString* out, const char* format, va_list args);

namespace payroll::ui {

// Runs one call into the installed driver; a driver that throws is treated as
// one that did nothing, so no exception leaves the framework.
void CallDriver(const std::function<void(UiDriver&)>& call);

}  // namespace payroll::ui
