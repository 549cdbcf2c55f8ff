// The databases opened lately, newest first, kept in the user's settings
// folder ($XDG_CONFIG_HOME/payroll/payroll-desk.conf). A PostgreSQL URL is
// kept without its password.
#pragma once

#include <QStringList>

namespace payroll::desk {

inline constexpr int kMostRecent = 8;

// The settings file.
QString SettingsPath();
QStringList RecentDatabases();
// Puts a URL first (once), keeping at most kMostRecent.
void RememberDatabase(const QString& url);

}  // namespace payroll::desk
