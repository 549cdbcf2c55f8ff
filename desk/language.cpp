#include "desk/language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>

#include "desk/desk_text.h"
#include "desk/recent.h"
#include "payroll/settings.h"

namespace payroll::desk {
namespace {

const QString kLanguageKey = QStringLiteral("language");
// The registry's vendor key, and the application it names by default.
const QString kVendorKey = QStringLiteral("Software\\Orvantis");
const QString kDefaultApp = QStringLiteral("Payroll");

// The registry file the library read before the desk pointed it at its own:
// $PAYROLL_REGISTRY as the process began, else the per-user default. Taken
// once, so that a second switch starts from the user's file again.
const QString& UserRegistryPath() {
    static const QString path = [] {
        QString set = qEnvironmentVariable("PAYROLL_REGISTRY");
        if (!set.isEmpty()) return set;
        QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
        return config + QStringLiteral("/payroll/registry");
    }();
    return path;
}

QString DeskRegistryPath() {
    return QFileInfo(SettingsPath()).absolutePath() + QStringLiteral("/payroll-desk.registry");
}

// The RunApp value under the vendor key of a registry text; empty when none.
QString RunAppOf(const QString& text) {
    bool in_vendor = false;
    QString app;
    static const QRegularExpression value(QStringLiteral("^\\s*\"?RunApp\"?\\s*=\\s*\"(.*)\"\\s*$"),
                                          QRegularExpression::CaseInsensitiveOption);
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            QString key = line.mid(1, line.size() - 2).trimmed();
            key.remove(QRegularExpression(QStringLiteral("^(HKEY_LOCAL_MACHINE|HKLM)\\\\"),
                                          QRegularExpression::CaseInsensitiveOption));
            in_vendor = key.compare(kVendorKey, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!in_vendor) continue;
        const QRegularExpressionMatch m = value.match(line);
        if (m.hasMatch()) app = m.captured(1);  // a value written twice keeps the last
    }
    return app;
}

}  // namespace

std::optional<int> KeptLanguage() {
    QSettings settings(SettingsPath(), QSettings::IniFormat);
    const QVariant kept = settings.value(kLanguageKey);
    if (!kept.isValid()) return std::nullopt;
    return LanguageByName(kept.toString());
}

int StartLanguage() {
    if (std::optional<int> kept = KeptLanguage()) return *kept;
    return payroll::UserLanguage() == kEnglish ? kEnglish : kKorean;
}

std::optional<int> LanguageByName(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("ko") || n == QLatin1String("0") || n == QLatin1String("korean"))
        return kKorean;
    if (n == QLatin1String("en") || n == QLatin1String("1") || n == QLatin1String("english"))
        return kEnglish;
    return std::nullopt;
}

QString RegistryWithLanguage(const QString& base, int language) {
    QString text = base;
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n'))) text += QLatin1Char('\n');
    QString app = RunAppOf(base);
    if (app.isEmpty()) {
        app = kDefaultApp;
        text += QStringLiteral("[%1]\n\"RunApp\"=\"%2\"\n").arg(kVendorKey, app);
    }
    // Later lines win: the key is opened again and LangKind written last.
    text += QStringLiteral("[%1\\%2]\nLangKind=dword:%3\n")
                .arg(kVendorKey, app)
                .arg(language, 8, 16, QLatin1Char('0'));
    return text;
}

bool ApplyLanguage(int language, bool keep, QString* error) {
    if (language != kEnglish) language = kKorean;
    LoadTexts(language);
    bool ok = true;
    if (keep) {
        QSettings settings(SettingsPath(), QSettings::IniFormat);
        settings.setValue(kLanguageKey,
                          language == kEnglish ? QStringLiteral("en") : QStringLiteral("ko"));
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            *error = SettingsPath();
            ok = false;
        }
    }
    // The library's registry, whether or not the choice could be kept.
    QString base;
    QFile user(UserRegistryPath());
    if (user.exists()) {
        if (!user.open(QIODevice::ReadOnly)) {
            *error = user.fileName() + QStringLiteral(": ") + user.errorString();
            return false;
        }
        base = QString::fromUtf8(user.readAll());
    }
    const QString path = DeskRegistryPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const QByteArray bytes = RegistryWithLanguage(base, language).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    qputenv("PAYROLL_REGISTRY", QFile::encodeName(path));
    return ok;
}

}  // namespace payroll::desk
