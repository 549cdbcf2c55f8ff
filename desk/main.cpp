// payroll-desk: the desktop host program. Opens a database, lets the clerk
// choose a company, month and pay run, and drives the roads on it in
// windows; with --screenshot it renders one window into a PNG and ends, with
// --print it writes the month's papers as PDF files and ends (no window).
#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QTabWidget>
#include <cstdio>
#include <cstring>
#include <optional>

#include "desk/desk_text.h"
#include "desk/language.h"
#include "desk/main_window.h"
#include "desk/paper_print.h"
#include "desk/screenshot.h"
#include "payroll/host.h"
#include "payroll/settings.h"
#include "payroll/ui.h"
#include "ui-qt/dialog_font.h"
#include "ui-qt/qt_driver.h"

int main(int argc, char** argv) {
    // A screenshot and printing need no screen.
    for (int i = 1; i < argc; ++i)
        if ((std::strcmp(argv[i], "--screenshot") == 0 || std::strcmp(argv[i], "--print") == 0) &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("payroll-desk"));
    QApplication::setFont(payroll::qt::DialogFont());
    // A language chosen in the menu before wins over the registry's.
    QString language_error;
    if (std::optional<int> kept = payroll::desk::KeptLanguage())
        payroll::desk::ApplyLanguage(*kept, false, &language_error);
    else
        payroll::desk::LoadTexts(payroll::UserLanguage());

    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("The payroll desktop program."));
    args.addHelpOption();
    const QCommandLineOption db(
        {QStringLiteral("db")},
        QStringLiteral("database: sqlite:PATH or postgresql://user@host:port/db"),
        QStringLiteral("URL"));
    const QCommandLineOption company({QStringLiteral("company")}, QStringLiteral("company code"),
                                     QStringLiteral("CO"));
    const QCommandLineOption month({QStringLiteral("month")}, QStringLiteral("pay month"),
                                   QStringLiteral("YYYYMM"));
    const QCommandLineOption screenshot({QStringLiteral("screenshot")},
                                        QStringLiteral("render one window into a PNG and end"),
                                        QStringLiteral("FILE"));
    const QCommandLineOption show(
        {QStringLiteral("show")},
        QStringLiteral("the window: picker, viewer, progress, results, chart, employees, "
                       "import (the check of --folder) or imported (--folder imported); "
                       "without --screenshot: the tab shown first (results, chart)"),
        QStringLiteral("WINDOW"), QStringLiteral("results"));
    const QCommandLineOption folder({QStringLiteral("folder")},
                                    QStringLiteral("the company folder --show import checks"),
                                    QStringLiteral("DIR"));
    const QCommandLineOption language(
        {QStringLiteral("language")},
        QStringLiteral("ko or en, for this run (the Language menu keeps a choice)"),
        QStringLiteral("LANG"));
    const QCommandLineOption print(
        {QStringLiteral("print")},
        QStringLiteral("write the month's papers as PDF into --out and end: payslips, register, "
                       "ledger (the year's) or return (the month's withholding return)"),
        QStringLiteral("PAPER"));
    const QCommandLineOption out({QStringLiteral("out")},
                                 QStringLiteral("the folder --print writes into"),
                                 QStringLiteral("DIR"));
    args.addOptions({db, company, month, screenshot, show, print, out, folder, language});
    args.process(app);
    if (args.isSet(language)) {
        const std::optional<int> chosen = payroll::desk::LanguageByName(args.value(language));
        if (!chosen) {
            std::fprintf(stderr, "payroll-desk: --language takes ko or en\n");
            return 2;
        }
        payroll::desk::ApplyLanguage(*chosen, false, &language_error);
    }
    if (!language_error.isEmpty())
        std::fprintf(stderr, "payroll-desk: %s\n",
                     payroll::desk::Tr(payroll::desk::kCannotKeepLanguage)
                         .arg(language_error)
                         .toUtf8()
                         .constData());

    payroll::desk::MainWindow window;
    payroll::qt::QtDriver driver(&window);
    payroll::ui::ScopedUiDriver installed(&driver);
    // A database that does not open is said on standard error too (the
    // window's line says it to whoever looks at the window).
    const bool opened = !args.isSet(db) || window.OpenDatabaseUrl(args.value(db));
    if (!opened)
        std::fprintf(stderr, "payroll-desk: %s\n",
                     window.MessageLine()->text().toUtf8().constData());
    if (args.isSet(company) || args.isSet(month))
        window.SetCompanyMonth(args.value(company), args.value(month));

    if (args.isSet(print)) {
        payroll::desk::Paper paper = payroll::desk::Paper::kPayslips;
        QString error;
        if (!payroll::desk::PaperByName(args.value(print), &paper))
            error = QStringLiteral("--print takes payslips, register, ledger or return");
        else if (args.value(out).isEmpty())
            error = QStringLiteral("--print needs --out DIR");
        // The window's line says why: the database did not open (nothing
        // more is tried), or the papers were not printed.
        else if (!opened)
            return 1;
        else if (!window.PrintToPdf(paper, args.value(out)))
            error = window.MessageLine()->text();
        if (!error.isEmpty()) {
            std::fprintf(stderr, "payroll-desk: %s\n", error.toUtf8().constData());
            return 1;
        }
        std::fprintf(stderr, "payroll-desk: %s\n",
                     window.MessageLine()->text().toUtf8().constData());
        return 0;
    }
    if (args.isSet(screenshot)) {
        if (!opened) return 1;
        QString error;
        if (!payroll::desk::TakeScreenshot(window, driver, args.value(show), args.value(screenshot),
                                           args.value(folder), &error)) {
            std::fprintf(stderr, "payroll-desk: %s\n", error.toUtf8().constData());
            return 1;
        }
        return 0;
    }
    if (args.isSet(show)) {
        if (args.value(show) != QLatin1String("results") &&
            args.value(show) != QLatin1String("chart")) {
            std::fprintf(stderr, "payroll-desk: --show %s needs --screenshot FILE\n",
                         args.value(show).toUtf8().constData());
            return 2;
        }
        window.Tabs()->setCurrentIndex(args.value(show) == QLatin1String("chart") ? 1 : 0);
    }
    window.show();
    return QApplication::exec();
}
