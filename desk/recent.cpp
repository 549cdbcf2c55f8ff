#include "desk/recent.h"

#include <QSettings>
#include <QStandardPaths>

namespace payroll::desk {

QString SettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/payroll/payroll-desk.conf");
}

QStringList RecentDatabases() {
    QSettings settings(SettingsPath(), QSettings::IniFormat);
    QStringList urls = settings.value(QStringLiteral("recent")).toStringList();
    urls.removeAll(QString());
    return urls.mid(0, kMostRecent);
}

void RememberDatabase(const QString& url) {
    if (url.isEmpty()) return;
    QStringList urls = RecentDatabases();
    urls.removeAll(url);
    urls.prepend(url);
    QSettings settings(SettingsPath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("recent"), urls.mid(0, kMostRecent));
    settings.sync();
}

}  // namespace payroll::desk
