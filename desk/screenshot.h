// payroll-desk --screenshot: renders one window into a PNG without anybody
// at the screen (on the offscreen platform): the picker, the employee
// viewer, the engine's progress dialog during a month's tax recalculation,
// the month's results or the year's chart.
#pragma once

#include <QString>

namespace payroll::qt {
class QtDriver;
}

namespace payroll::desk {

class MainWindow;

// The window names --show takes.
inline constexpr const char* kShowNames[] = {"picker", "viewer", "progress", "results", "chart"};

// Saves the window named `show` to `file`. False, with the reason, when the
// window could not be shown (no database, no runs, ...) or not saved.
bool TakeScreenshot(MainWindow& window, payroll::qt::QtDriver& driver, const QString& show,
                    const QString& file, QString* error);

}  // namespace payroll::desk
