// payroll-desk --screenshot: renders one window into a PNG without anybody
// at the screen (on the offscreen platform): the picker, the employee
// viewer, the engine's progress dialog during a month's tax recalculation,
// the month's results or the year's chart, the employee list, and the
// import window on a company folder (its check, or what its import did).
#pragma once

#include <QString>

namespace payroll::qt {
class QtDriver;
}

namespace payroll::desk {

class MainWindow;

// The window names --show takes.
inline constexpr const char* kShowNames[] = {"picker", "viewer",    "progress", "results",
                                             "chart",  "employees", "import",   "imported"};

// Saves the window named `show` to `file` (`folder`: the company folder of
// import and imported). False, with the reason, when the window could not
// be shown or shows nothing (no database, no runs, a month without
// results, ...) or was not saved.
bool TakeScreenshot(MainWindow& window, payroll::qt::QtDriver& driver, const QString& show,
                    const QString& file, const QString& folder, QString* error);

}  // namespace payroll::desk
