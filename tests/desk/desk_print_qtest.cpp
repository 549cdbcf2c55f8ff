// payroll-desk's papers as PDF, on a demo company: `--print` run as a script
// runs it (no window, the offscreen platform), and File > Print to PDF in the
// window. Each payslip holds its employee's name and net pay as the library
// reads them, the register the month's net pay, each ledger its employee's
// income tax of the year; a paper that cannot be printed fails with a
// message and leaves nothing behind.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <set>

#include "desk/desk_text.h"
#include "desk/main_window.h"
#include "desk/paper_print.h"
#include "payroll/host.h"
#include "payroll/papers.h"
#include "payroll/ui.h"
#include "ui-qt/qt_driver.h"

namespace {

// Whole won with thousands separators, as the papers print amounts.
QString WonText(double amount) {
    const long long won = std::llround(amount);
    const QString digits = QString::number(won < 0 ? -won : won);
    QString out;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += QLatin1Char(',');
        out += digits[i];
    }
    return (won < 0 ? QStringLiteral("-") : QString()) + out;
}

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

class DeskPrintTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString url_;

    struct Run {
        int exit_code = -1;
        QString err;
    };

    // payroll-desk --db <the demo> --company 1000 <args>, as a script runs it.
    Run Desk(const QStringList& args) {
        QProcess desk;
        desk.start(QStringLiteral(PAYROLL_DESK),
                   QStringList{QStringLiteral("--db"), url_, QStringLiteral("--company"),
                               QStringLiteral("1000")} +
                       args);
        Run run;
        if (!desk.waitForFinished(120000)) return run;
        run.exit_code = desk.exitStatus() == QProcess::NormalExit ? desk.exitCode() : -1;
        run.err = QString::fromUtf8(desk.readAllStandardError());
        return run;
    }

    QString Out(const QString& name) {
        QDir(dir_.filePath(name)).removeRecursively();
        return dir_.filePath(name);
    }

    static QStringList Files(const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    static QString Text(const QString& pdf) {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        if (!text.waitForFinished(30000) || text.exitCode() != 0) return {};
        return QString::fromUtf8(text.readAllStandardOutput());
    }

    static std::vector<payroll::papers::Payslip> Slips(const std::string& month) {
        payroll::papers::PaperQuery query;
        query.company = "1000";
        query.period = month;
        std::vector<payroll::papers::Payslip> slips;
        std::string error;
        if (!payroll::papers::ReadPayslips(query, &slips, &error)) qWarning("%s", error.c_str());
        return slips;
    }

    // Each payslip of the month in its own file, named for its run and
    // employee, with the employee's name and net pay in its text.
    static void ExpectSlips(const QString& folder, const std::string& month) {
        const std::vector<payroll::papers::Payslip> slips = Slips(month);
        QVERIFY(slips.size() > 1);
        std::set<QString> expected;
        for (const payroll::papers::Payslip& s : slips) {
            const QString name = QStringLiteral("payslip-%1-%2-%3-%4.pdf")
                                     .arg(FromStd(s.month))
                                     .arg(s.sq)
                                     .arg(FromStd(s.pay_types).section(QLatin1Char(','), 0, 0))
                                     .arg(FromStd(s.employee));
            expected.insert(name);
            const QString text = Text(folder + QLatin1Char('/') + name);
            QVERIFY2(text.contains(FromStd(s.name)), qPrintable(name + "\n" + text));
            QVERIFY2(text.contains(FromStd(s.employee)), qPrintable(name));
            QVERIFY2(text.contains(WonText(s.net)), qPrintable(name + ": " + WonText(s.net)));
        }
        const QStringList files = Files(folder);
        QCOMPARE(std::set<QString>(files.begin(), files.end()), expected);
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        qputenv("XDG_CONFIG_HOME", dir_.filePath(QStringLiteral("config")).toUtf8());
        url_ = QStringLiteral("sqlite:") + dir_.filePath(QStringLiteral("print.db"));
        QProcess demo;
        demo.setWorkingDirectory(dir_.path());
        demo.start(QStringLiteral(PAYROLL_CLI),
                   {QStringLiteral("--db"), url_, QStringLiteral("demo"),
                    QStringLiteral("--employees"), QStringLiteral("4")});
        QVERIFY(demo.waitForFinished(120000));
        QVERIFY2(demo.exitCode() == 0, demo.readAllStandardError().constData());
        std::string error;
        QVERIFY2(payroll::OpenDatabase(url_.toStdString(), &error), error.c_str());
    }

    void cleanupTestCase() { payroll::CloseDatabase(); }

    void printPayslipsWritesEachSlipWithItsNameAndNetPay() {
        const QString out = Out(QStringLiteral("slips"));
        const Run run =
            Desk({QStringLiteral("--month"), QStringLiteral("200206"), QStringLiteral("--print"),
                  QStringLiteral("payslips"), QStringLiteral("--out"), out});
        QVERIFY2(run.exit_code == 0, qPrintable(run.err));
        ExpectSlips(out, "200206");
    }

    void printRegisterLedgersAndReturnOfTheMonthShown() {
        payroll::papers::PaperQuery query;
        query.company = "1000";
        query.period = "200206";
        payroll::papers::Register reg;
        std::string error;
        QVERIFY2(payroll::papers::ReadRegister(query, &reg, &error), error.c_str());
        const QString register_out = Out(QStringLiteral("register"));
        Run run =
            Desk({QStringLiteral("--month"), QStringLiteral("200206"), QStringLiteral("--print"),
                  QStringLiteral("register"), QStringLiteral("--out"), register_out});
        QVERIFY2(run.exit_code == 0, qPrintable(run.err));
        QCOMPARE(Files(register_out), QStringList{QStringLiteral("register-200206.pdf")});
        const QString text = Text(register_out + QStringLiteral("/register-200206.pdf"));
        QVERIFY2(text.contains(WonText(reg.total.net)),
                 qPrintable(WonText(reg.total.net) + "\n" + text));

        // The ledgers are those of the month's year.
        query.period = "2002";
        std::vector<payroll::papers::Ledger> ledgers;
        QVERIFY2(payroll::papers::ReadLedgers(query, &ledgers, &error), error.c_str());
        QVERIFY(!ledgers.empty());
        const QString ledger_out = Out(QStringLiteral("ledgers"));
        run = Desk({QStringLiteral("--month"), QStringLiteral("200206"), QStringLiteral("--print"),
                    QStringLiteral("ledger"), QStringLiteral("--out"), ledger_out});
        QVERIFY2(run.exit_code == 0, qPrintable(run.err));
        QCOMPARE(Files(ledger_out).size(), static_cast<qsizetype>(ledgers.size()));
        for (const payroll::papers::Ledger& l : ledgers) {
            const QString file = QStringLiteral("/ledger-2002-%1.pdf").arg(FromStd(l.employee));
            const QString ledger = Text(ledger_out + file);
            QVERIFY2(ledger.contains(FromStd(l.name)), qPrintable(file));
            QVERIFY2(ledger.contains(WonText(l.totals.income_tax)), qPrintable(file));
        }

        // The return is that of the runs paid in the month: its total holds
        // the income tax the library reads for it.
        query.period = "200206";
        payroll::papers::WithholdingReturn ret;
        QVERIFY2(payroll::papers::ReadWithholdingReturn(query, &ret, &error), error.c_str());
        const QString return_out = Out(QStringLiteral("return"));
        run = Desk({QStringLiteral("--month"), QStringLiteral("200206"), QStringLiteral("--print"),
                    QStringLiteral("return"), QStringLiteral("--out"), return_out});
        QVERIFY2(run.exit_code == 0, qPrintable(run.err));
        QCOMPARE(Files(return_out), QStringList{QStringLiteral("withholding-return-200206.pdf")});
        const QString text_return =
            Text(return_out + QStringLiteral("/withholding-return-200206.pdf"));
        QVERIFY2(text_return.contains(QStringLiteral("A10")), qPrintable(text_return));
        QVERIFY2(text_return.contains(WonText(ret.lines.back().income_tax)),
                 qPrintable(text_return));
    }

    void printFailsWithAMessageAndWritesNothing() {
        const QString out = Out(QStringLiteral("refused"));
        const QString plain = dir_.filePath(QStringLiteral("a-file"));
        QFile(plain).open(QIODevice::WriteOnly);
        const struct {
            QStringList args;
            const char* says;
        } cases[] = {
            {{QStringLiteral("--month"), QStringLiteral("200301"), QStringLiteral("--print"),
              QStringLiteral("payslips"), QStringLiteral("--out"), out},
             "200301"},
            {{QStringLiteral("--month"), QStringLiteral("200206"), QStringLiteral("--print"),
              QStringLiteral("receipts"), QStringLiteral("--out"), out},
             "payslips, register, ledger or return"},
            {{QStringLiteral("--month"), QStringLiteral("200206"), QStringLiteral("--print"),
              QStringLiteral("payslips")},
             "--out"},
            {{QStringLiteral("--month"), QStringLiteral("200206"), QStringLiteral("--print"),
              QStringLiteral("register"), QStringLiteral("--out"), plain + QStringLiteral("/x")},
             "a-file"},
        };
        for (const auto& c : cases) {
            const Run run = Desk(c.args);
            QVERIFY2(run.exit_code == 1, qPrintable(c.args.join(' ') + ": " + run.err));
            QVERIFY2(run.err.contains(QLatin1String(c.says)), qPrintable(run.err));
            QVERIFY(Files(out).isEmpty());
        }
        // A database that does not open says so, and nothing more is tried.
        QProcess desk;
        desk.start(
            QStringLiteral(PAYROLL_DESK),
            {QStringLiteral("--db"), QStringLiteral("sqlite:") + out + "/no/such.db",
             QStringLiteral("--print"), QStringLiteral("payslips"), QStringLiteral("--out"), out});
        QVERIFY(desk.waitForFinished(60000));
        QCOMPARE(desk.exitCode(), 1);
        QVERIFY(
            QString::fromUtf8(desk.readAllStandardError()).contains(QStringLiteral("no/such.db")));
        QVERIFY(Files(out).isEmpty());
    }

    void fileMenuPrintsTheMonthTheWindowShows() {
        payroll::desk::LoadTexts(0);
        payroll::desk::MainWindow window;
        payroll::qt::QtDriver driver(&window);
        payroll::ui::ScopedUiDriver installed(&driver);
        QVERIFY(window.OpenDatabaseUrl(url_));
        window.SetCompanyMonth(QStringLiteral("1000"), QStringLiteral("200203"));
        auto* menu = window.menuBar()->findChild<QMenu*>(QStringLiteral("printMenu"));
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 4);
        QCOMPARE(menu->actions().at(3)->text(), payroll::desk::Tr(payroll::desk::kPrintReturn));
        QCOMPARE(menu->title(), payroll::desk::Tr(payroll::desk::kPrintPdf));

        // The first action asks for the folder, then prints the payslips there.
        const QString out = Out(QStringLiteral("menu"));
        QDir().mkpath(out);
        QTimer::singleShot(0, [&] {
            auto* ask = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(ask);
            ask->setDirectory(out);
            ask->selectFile(out);
            static_cast<QDialog*>(ask)->accept();  // the dialog's own accept, as OK
        });
        menu->actions().at(0)->trigger();
        ExpectSlips(out, "200203");
        QVERIFY2(window.MessageLine()->text().contains(out),
                 qPrintable(window.MessageLine()->text()));

        // A month without runs is said in the window.
        window.SetCompanyMonth(QStringLiteral("1000"), QStringLiteral("200301"));
        const QString empty = Out(QStringLiteral("menu-empty"));
        QVERIFY(!window.PrintToPdf(payroll::desk::Paper::kRegister, empty));
        QVERIFY(window.MessageLine()->text().contains(QStringLiteral("200301")));
        QVERIFY(Files(empty).isEmpty());
    }
};

QTEST_MAIN(DeskPrintTest)
#include "desk_print_qtest.moc"
