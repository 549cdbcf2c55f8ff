// The library's key codes and message-box styles in Qt terms: which Qt key
// is which virtual key, which buttons and icon a style asks for, and which
// result each button gives.
#pragma once

#include <QMessageBox>
#include <Qt>

#include "payroll/wnd.h"

namespace payroll::qt {

// The virtual key of a Qt key the library's dialogs and grids handle; 0 for
// keys they never see (letters and digits arrive as characters instead).
UINT VirtualKeyOf(int qt_key);

// The buttons of a message box style (MB_OK, MB_YESNO, ...), in order.
QMessageBox::StandardButtons ButtonsOf(UINT style);
// The icon of a style (MB_ICONERROR, ...); NoIcon when it names none.
QMessageBox::Icon IconOf(UINT style);
// The result a button stands for (IDOK, IDYES, ...); IDCANCEL for a box
// closed without a button.
int ResultOf(QMessageBox::StandardButton button);

// A COLORREF (0x00BBGGRR) as a colour.
inline QColor ColorOf(COLORREF c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace payroll::qt
