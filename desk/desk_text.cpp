#include "desk/desk_text.h"

#include <QFile>
#include <QHash>
#include <QTextStream>

#include "payroll/host.h"

namespace payroll::desk {
namespace {

QHash<int, QString>& LoadedTexts() {
    static QHash<int, QString> texts;
    return texts;
}
int g_text_language = 0;

// Reads "id<TAB>text" lines into *texts; false when the file cannot be read.
bool ReadTextFile(const QString& path, QHash<int, QString>* texts) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(QLatin1Char('#'))) continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        bool number = false;
        const int id = tab > 0 ? line.left(tab).toInt(&number) : 0;
        if (!number || id <= 0) continue;
        QString text = line.mid(tab + 1);
        text.replace(QLatin1String("\\n"), QLatin1String("\n"));
        if (!text.isEmpty()) texts->insert(id, text);
    }
    return true;
}

}  // namespace

void LoadTexts(int language) {
    if (language != 0 && language != 1) language = 0;
    g_text_language = language;
    QHash<int, QString>& texts = LoadedTexts();
    texts.clear();
    const QString name = QStringLiteral("payroll-desk.%1.txt").arg(language);
    // The built-in copy first, so a file that lacks a text leaves it in place.
    ReadTextFile(QStringLiteral(":/payroll-desk/lang/") + name, &texts);
    const QString folder = QString::fromStdString(payroll::ResourceDirectory());
    if (!folder.isEmpty()) ReadTextFile(folder + QStringLiteral("/lang/") + name, &texts);
}

QString Tr(TextId id) {
    auto it = LoadedTexts().constFind(static_cast<int>(id));
    return it == LoadedTexts().constEnd() ? QString::number(id) : it.value();
}

int TextLanguage() {
    return g_text_language;
}

}  // namespace payroll::desk
