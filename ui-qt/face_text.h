// The few texts the Qt driver adds to the library's windows (the progress
// bars' labels, the elapsed time, the resident number's reveal), in the
// library's language for this user (0 Korean, 1 English).
#pragma once

#include <QString>

namespace payroll::qt {

enum class FaceText {
    kOverallBar,     // the progress window's first bar: the whole road
    kEmployeeBar,    // its second: the employees of the current run
    kElapsed,        // "%1" is the time, m:ss
    kShowResident,   // reveals the resident registration number
    kHideResident,   // masks it again
    kMaskedResident  // the masked cell's tip
};

QString Text(FaceText text);

// A resident registration number as shown until it is revealed: the birth
// date and the digit after the dash, the rest as '*' ("700101-1******").
// Text that is no such number comes back as it is.
QString MaskResidentNumber(const QString& text);
// True for a resident registration number as the viewer writes it
// (six digits, '-', seven digits).
bool IsResidentNumber(const QString& text);

}  // namespace payroll::qt
