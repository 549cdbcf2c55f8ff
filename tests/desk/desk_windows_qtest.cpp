// payroll-desk's windows beyond the roads, on a demo company: the employee
// list searched by name and code, the viewer's resident number masked until
// revealed, the results' names beside codes and totals that count people
// and lines apart, the progress window's labelled bars, the language switch
// kept and applied, the import window on a bad and a good company folder,
// and what the program says and returns when it has nothing to show.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "desk/desk_text.h"
#include "desk/employee_list.h"
#include "desk/import_window.h"
#include "desk/language.h"
#include "desk/main_window.h"
#include "desk/month_data.h"
#include "desk/recent.h"
#include "desk/results_view.h"
#include "payroll/company.h"
#include "payroll/host.h"
#include "payroll/settings.h"
#include "ui-qt/dialog_window.h"
#include "ui-qt/face_text.h"
#include "ui-qt/form_view.h"
#include "ui-qt/gradient_bar.h"
#include "ui-qt/grid_view.h"
#include "ui-qt/qt_driver.h"

using payroll::desk::MainWindow;
using payroll::qt::DialogWindow;

namespace {

// Every text of the viewer's form.
QStringList FormTexts(DialogWindow& viewer) {
    QStringList texts;
    payroll::qt::FormView* form = viewer.Form();
    if (!form) return texts;
    for (int r = 0; r < form->rowCount(); ++r)
        for (int c = 0; c < form->columnCount(); ++c)
            if (form->item(r, c)) texts << form->item(r, c)->text();
    return texts;
}

bool AnyMatches(const QStringList& texts, const char* pattern) {
    const QRegularExpression re(QString::fromLatin1(pattern));
    return std::any_of(texts.begin(), texts.end(),
                       [&](const QString& t) { return re.match(t).hasMatch(); });
}

// Copies a folder's files (one level) into `to`.
bool CopyFolder(const QString& from, const QString& to) {
    if (!QDir().mkpath(to)) return false;
    for (const QString& name : QDir(from).entryList(QDir::Files))
        if (!QFile::copy(from + '/' + name, to + '/' + name)) return false;
    return true;
}

}  // namespace

class DeskWindowsTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString url_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<payroll::qt::QtDriver> driver_;
    payroll::ui::UiDriver* previous_ = nullptr;

    // Runs payroll-desk; its exit code, with its standard error in *err.
    int Desk(const QStringList& args, QString* err) {
        QProcess desk;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.remove(QStringLiteral("PAYROLL_REGISTRY"));
        desk.setProcessEnvironment(env);
        desk.start(QStringLiteral(PAYROLL_DESK), args);
        if (!desk.waitForFinished(120000)) return -1;
        *err = QString::fromUtf8(desk.readAllStandardError());
        return desk.exitStatus() == QProcess::NormalExit ? desk.exitCode() : -1;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        qputenv("XDG_CONFIG_HOME", dir_.filePath(QStringLiteral("config")).toUtf8());
        qunsetenv("PAYROLL_REGISTRY");
        url_ = QStringLiteral("sqlite:") + dir_.filePath(QStringLiteral("desk.db"));
        QProcess demo;
        demo.setWorkingDirectory(dir_.path());
        demo.start(QStringLiteral(PAYROLL_CLI),
                   {QStringLiteral("--db"), url_, QStringLiteral("--quiet"), QStringLiteral("demo"),
                    QStringLiteral("--employees"), QStringLiteral("12")});
        QVERIFY(demo.waitForFinished(120000));
        QVERIFY2(demo.exitCode() == 0, demo.readAllStandardError().constData());
        payroll::desk::LoadTexts(0);
        window_ = std::make_unique<MainWindow>();
        driver_ = std::make_unique<payroll::qt::QtDriver>(window_.get());
        previous_ = payroll::ui::InstallUiDriver(driver_.get());
        driver_->SetAutoAnswer(true);
        QVERIFY(window_->OpenDatabaseUrl(url_));
        window_->SetCompanyMonth(QStringLiteral("1000"), QStringLiteral("200206"));
    }

    void cleanupTestCase() {
        payroll::ui::InstallUiDriver(previous_);
        window_.reset();
        payroll::CloseDatabase();
    }

    void init() { driver_->SetModalHook({}); }

    void employeeListSearchesByNameAndCode() {
        std::vector<payroll::desk::ListedEmployee> employees;
        std::string error;
        QVERIFY2(payroll::desk::ReadMonthEmployees("1000", "200206", &employees, &error),
                 error.c_str());
        QVERIFY(employees.size() >= 10);
        // Codes once each, in order, each with the runs he is in.
        for (std::size_t i = 1; i < employees.size(); ++i)
            QVERIFY(employees[i - 1].code < employees[i].code);
        for (const auto& e : employees) QVERIFY(!e.runs.empty());
        const payroll::desk::ListedEmployee named = employees[3];
        QVERIFY(!named.name.isEmpty());
        QVERIFY(
            QRegularExpression(QStringLiteral("^\\S+ \\S+")).match(named.department).hasMatch());

        payroll::desk::EmployeeList list(QStringLiteral("list"), employees, nullptr);
        QCOMPARE(list.ShownCodes().size(), static_cast<qsizetype>(employees.size()));
        QTest::keyClicks(list.SearchBox(), employees[1].code.toLower());
        QCOMPARE(list.ShownCodes(), QStringList{employees[1].code});
        list.Search(named.name.left(named.name.size() - 1));
        QVERIFY(list.ShownCodes().contains(named.code));
        for (int r = 0; r < list.Table()->rowCount(); ++r)
            if (!list.Table()->isRowHidden(r))
                QVERIFY(list.Table()->item(r, 1)->text().contains(
                    named.name.left(named.name.size() - 1)));
        list.Search(QStringLiteral("없는 사람"));
        QVERIFY(list.ShownCodes().isEmpty());
        QVERIFY(!list.OpenViewer(0));  // a hidden row opens nothing

        // The row shown opens the library's viewer on that employee.
        list.Search(named.code);
        QStringList texts;
        driver_->SetModalHook([&](DialogWindow& viewer) {
            texts = FormTexts(viewer);
            viewer.reject();
        });
        QVERIFY(list.OpenViewer(list.Table()->currentRow()));
        QVERIFY2(texts.contains(named.code), qPrintable(texts.join(',')));
        QVERIFY(texts.contains(named.name));
    }

    void viewerMasksTheResidentNumberUntilRevealed() {
        QCOMPARE(payroll::qt::MaskResidentNumber(QStringLiteral("700101-1234567")),
                 QStringLiteral("700101-1******"));
        for (const char* other : {"7001011234567", "700101-123456", "E000001", ""})
            QCOMPARE(payroll::qt::MaskResidentNumber(QString::fromLatin1(other)),
                     QString::fromLatin1(other));
        QVERIFY(window_->PickRunAt(1));
        QStringList masked, revealed, hidden_again;
        bool had_button = false;
        driver_->SetModalHook([&](DialogWindow& viewer) {
            masked = FormTexts(viewer);
            QPushButton* reveal = viewer.RevealButton();
            had_button = reveal != nullptr;
            if (reveal) {
                reveal->click();
                revealed = FormTexts(viewer);
                reveal->click();
                hidden_again = FormTexts(viewer);
            }
            viewer.reject();
        });
        QVERIFY(window_->ShowEmployee(QStringLiteral("E000001")));
        QVERIFY(had_button);
        QVERIFY(AnyMatches(masked, "^\\d{6}-\\d\\*{6}$"));
        QVERIFY(!AnyMatches(masked, "^\\d{6}-\\d{7}$"));
        QVERIFY(AnyMatches(revealed, "^\\d{6}-\\d{7}$"));
        QCOMPARE(hidden_again, masked);
        // The reveal shows the number the mask stood for.
        for (const QString& t : revealed)
            if (payroll::qt::IsResidentNumber(t))
                QVERIFY(masked.contains(payroll::qt::MaskResidentNumber(t)));
    }

    void resultsNameCodesAndCountPeopleAndLinesApart() {
        payroll::desk::ResultsView* view = window_->Results();
        QTableWidget* table = view->Table();
        QVERIFY(table->rowCount() > 0);
        QSet<QString> people;
        for (int r = 0; r < table->rowCount(); ++r) {
            people.insert(table->item(r, 0)->text());
            // Pay types and departments carry their names beside their codes.
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d{3} \\S+"))
                         .match(table->item(r, 3)->text())
                         .hasMatch(),
                     qPrintable(table->item(r, 3)->text()));
            QVERIFY2(QRegularExpression(QStringLiteral("^\\S+ \\S+"))
                         .match(table->item(r, 4)->text())
                         .hasMatch(),
                     qPrintable(table->item(r, 4)->text()));
        }
        // The demo's June pays most people twice (salary and bonus run).
        QVERIFY(people.size() < table->rowCount());
        QCOMPARE(view->Results().people, static_cast<long>(people.size()));
        const QString counted = payroll::desk::Tr(payroll::desk::kPeopleAndLines)
                                    .arg(people.size())
                                    .arg(table->rowCount());
        QVERIFY2(view->TotalsLine()->text().contains(counted),
                 qPrintable(view->TotalsLine()->text()));
        // The picked run's line too, its date as the papers write it.
        QVERIFY(window_->PickRunAt(1));
        const QString run = window_->findChild<QLabel*>(QStringLiteral("runLine"))->text();
        QVERIFY2(
            QRegularExpression(QStringLiteral("\\d{3} \\S+, \\d{3} \\S+")).match(run).hasMatch() &&
                QRegularExpression(QStringLiteral("\\d{4}-\\d\\d-\\d\\d")).match(run).hasMatch(),
            qPrintable(run));
        QCOMPARE(
            payroll::desk::PayTypesNamed(QStringLiteral("100,110"), QStringLiteral("급여,수당")),
            QStringLiteral("100 급여, 110 수당"));
        QCOMPARE(payroll::desk::PayTypesNamed(QStringLiteral("100,110"), QStringLiteral("급여")),
                 QStringLiteral("100 급여, 110"));
        QCOMPARE(payroll::desk::CodeAndName(QStringLiteral("D1"), QString()), QStringLiteral("D1"));
    }

    void progressBarsAreLabelledAndTimed() {
        QVERIFY(window_->PickRunAt(1));
        QString overall, employee, elapsed;
        driver_->SetChangeHook([&](DialogWindow& progress) {
            if (QLabel* l = progress.BarLabel(1001)) overall = l->text();
            if (QLabel* l = progress.BarLabel(1002)) employee = l->text();
            if (progress.ElapsedLine()) elapsed = progress.ElapsedLine()->text();
        });
        const auto report = window_->Drive(payroll::desk::Road::kRecalcMonth);
        driver_->SetChangeHook({});
        // Its closing line counts the people apart from their employee-runs.
        QVERIFY(report && report->outcome == payroll::RoadOutcome::kCommitted);
        std::map<std::string, long long> counts(report->counts.begin(), report->counts.end());
        QCOMPARE(counts["people"], static_cast<long long>(window_->Results()->Results().people));
        QVERIFY(counts["people"] < counts["employees"]);
        QVERIFY2(
            window_->MessageLine()->text().contains(payroll::desk::Tr(payroll::desk::kCountRecalc)
                                                        .arg(counts["runs"])
                                                        .arg(counts["people"])
                                                        .arg(counts["employees"])
                                                        .arg(counts["bonus_runs"])),
            qPrintable(window_->MessageLine()->text()));
        QCOMPARE(overall, QStringLiteral("전체"));
        QCOMPARE(employee, QStringLiteral("직원"));
        QVERIFY2(
            QRegularExpression(QStringLiteral("^경과 시간 \\d+:\\d\\d$")).match(elapsed).hasMatch(),
            qPrintable(elapsed));
        // The percentage reads on the engine's navy end and on the bare bar.
        payroll::qt::GradientBar bar;
        payroll::ui::ProgressInfo info;
        info.start_color = 0x80DC00;
        info.end_color = 0x800000;
        bar.SetInfo(info);
        QCOMPARE(bar.GradientAt(1), QColor(0, 0, 0x80));
        QCOMPARE(payroll::qt::TextOver(bar.GradientAt(1)), QColor(Qt::white));
        QCOMPARE(payroll::qt::TextOver(bar.GradientAt(0.5)), QColor(Qt::white));
        QCOMPARE(payroll::qt::TextOver(QColor(Qt::white)), QColor(Qt::black));
    }

    void languageIsKeptAndAppliedWithoutARegistry() {
        // A registry the clerk wrote keeps its other values under the switch.
        const QString user_registry = dir_.filePath(QStringLiteral("config/payroll/registry"));
        QVERIFY(QDir().mkpath(QFileInfo(user_registry).absolutePath()));
        {
            QFile file(user_registry);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(
                "[Software\\Orvantis]\n\"RunApp\"=\"Desk\"\n"
                "[Software\\Orvantis\\Desk]\npath=\"/nowhere\"\nLangKind=dword:00000000\n");
        }
        QVERIFY(!payroll::desk::KeptLanguage());
        window_->SwitchLanguage(payroll::desk::kEnglish);
        QCOMPARE(payroll::desk::KeptLanguage(), std::optional<int>(payroll::desk::kEnglish));
        QCOMPARE(payroll::UserLanguage(), 1);
        QCOMPARE(payroll::desk::Tr(payroll::desk::kCommitted), QStringLiteral("committed"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the old menus
        auto* menu = window_->findChild<QMenu*>(QStringLiteral("languageMenu"));
        QVERIFY(menu);
        QCOMPARE(menu->title(), QStringLiteral("Language"));
        QCOMPARE(window_->Results()->Table()->horizontalHeaderItem(0)->text(),
                 QStringLiteral("Emp. no."));
        QCOMPARE(window_->CompanyShown(), QStringLiteral("1000"));  // what was shown stays
        QCOMPARE(window_->MonthShown(), QStringLiteral("200206"));
        const QString registry = qEnvironmentVariable("PAYROLL_REGISTRY");
        QFile written(registry);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().contains("path=\"/nowhere\""));
        QString title;
        driver_->SetModalHook([&](DialogWindow& picker) {
            title = picker.windowTitle();
            picker.reject();
        });
        window_->PickRun();
        QVERIFY2(title.startsWith(QStringLiteral("Select")), qPrintable(title));

        // A new start takes the kept language, whatever the registry says.
        QCOMPARE(payroll::desk::StartLanguage(), payroll::desk::kEnglish);
        window_->SwitchLanguage(payroll::desk::kKorean);
        QCOMPARE(payroll::UserLanguage(), 0);
        QCOMPARE(payroll::desk::Tr(payroll::desk::kCommitted), QStringLiteral("반영됨"));
        QSettings settings(payroll::desk::SettingsPath(), QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("language")).toString(), QStringLiteral("ko"));

        // Without a registry of the clerk's: the application is named too.
        const QString bare = payroll::desk::RegistryWithLanguage(QString(), 1);
        QVERIFY(bare.contains(QStringLiteral("\"RunApp\"=\"Payroll\"")));
        QVERIFY(bare.contains(QStringLiteral("LangKind=dword:00000001")));
        QCOMPARE(payroll::desk::LanguageByName(QStringLiteral("EN")),
                 std::optional<int>(payroll::desk::kEnglish));
        QVERIFY(!payroll::desk::LanguageByName(QStringLiteral("fr")));
    }

    void importRefusesAFolderWithProblemsAndImportsAGoodOne() {
        const QString example =
            QString::fromStdString(payroll::ResourceDirectory()) + "/company-example";
        const QString bad = dir_.filePath(QStringLiteral("bad"));
        QVERIFY(CopyFolder(example, bad));
        QFile employees(bad + "/employees.csv");
        QVERIFY(employees.open(QIODevice::ReadOnly));
        QByteArray csv = employees.readAll();
        employees.close();
        QVERIFY(csv.contains(",D101,"));
        csv.replace(",D101,", ",D999,");          // a department that does not exist
        csv.replace("1995-03-02", "1995-13-02");  // a month that does not exist
        QVERIFY(employees.open(QIODevice::WriteOnly | QIODevice::Truncate));
        employees.write(csv);
        employees.close();

        // Into a database of its own: the example is company 1000 too.
        QVERIFY(window_->OpenDatabaseUrl(QStringLiteral("sqlite:") +
                                         dir_.filePath(QStringLiteral("import.db"))));
        std::string error;
        {
            payroll::desk::ImportWindow check(bad);
            QVERIFY(!check.CanImport());
            QVERIFY(!check.ImportButton()->isEnabled());
            QTableWidget* table = check.Table();
            QVERIFY(table->rowCount() >= 2);
            QStringList values;
            for (int r = 0; r < table->rowCount(); ++r) {
                QCOMPARE(table->item(r, 0)->text(), QStringLiteral("employees.csv"));
                QVERIFY(table->item(r, 1)->text().toInt() > 1);  // a line of data
                QVERIFY(!table->item(r, 4)->text().isEmpty());   // what was expected
                values << table->item(r, 3)->text();
            }
            QVERIFY(values.contains(QStringLiteral("D999")));
            QVERIFY(values.contains(QStringLiteral("1995-13-02")));
            QVERIFY(!check.Import());
            QVERIFY(!check.Imported());
        }
        // Nothing was written: the company is not there to export.
        QVERIFY(
            !payroll::folder::ExportFolder("1000", dir_.filePath("out1").toStdString(), &error));

        payroll::desk::ImportWindow good(example);
        QVERIFY(good.CanImport());
        QVERIFY(good.ImportButton()->isEnabled());
        QVERIFY(good.Summary()->text().contains(QStringLiteral("1000")));
        good.ImportButton()->click();
        QVERIFY2(good.Imported(), qPrintable(good.Summary()->text()));
        QVERIFY(!good.ImportButton()->isEnabled());  // once only
        bool employees_added = false;
        for (int r = 0; r < good.Table()->rowCount(); ++r)
            if (good.Table()->item(r, 0)->text() == QStringLiteral("employees.csv"))
                employees_added = good.Table()->item(r, 1)->text().toInt() == 5 &&
                                  good.Table()->item(r, 4)->text().contains(QStringLiteral("E001"));
        QVERIFY(employees_added);
        QVERIFY2(payroll::folder::ExportFolder("1000", dir_.filePath("out2").toStdString(), &error),
                 error.c_str());

        // The same folder again changes nothing, and says so.
        payroll::desk::ImportWindow again(example);
        QVERIFY(again.Import());
        for (int r = 0; r < again.Table()->rowCount(); ++r)
            for (int c = 1; c <= 3; ++c)
                QCOMPARE(again.Table()->item(r, c)->text(), QStringLiteral("0"));
        QVERIFY(
            again.Summary()->text().contains(payroll::desk::Tr(payroll::desk::kNothingChanged)));
        QVERIFY(window_->OpenDatabaseUrl(url_));
    }

    void programSaysWhyItShowsNothing() {
        const QString png = dir_.filePath(QStringLiteral("results.png"));
        QString err;
        const QStringList month = {QStringLiteral("--db"),         url_,
                                   QStringLiteral("--company"),    QStringLiteral("1000"),
                                   QStringLiteral("--screenshot"), png,
                                   QStringLiteral("--show"),       QStringLiteral("results"),
                                   QStringLiteral("--month")};
        QCOMPARE(Desk(month + QStringList{QStringLiteral("200206")}, &err), 0);
        QVERIFY(QFile::exists(png));
        QFile::remove(png);
        // A month without results shows nothing: exit 1 and the reason.
        QCOMPARE(Desk(month + QStringList{QStringLiteral("199901")}, &err), 1);
        QVERIFY2(err.contains(QStringLiteral("199901")), qPrintable(err));
        QVERIFY(!QFile::exists(png));
        // A database that does not open is said on standard error.
        const QString blocked = dir_.filePath(QStringLiteral("desk.db")) + "/no.db";
        QCOMPARE(Desk({QStringLiteral("--db"), QStringLiteral("sqlite:") + blocked,
                       QStringLiteral("--screenshot"), png, QStringLiteral("--show"),
                       QStringLiteral("results")},
                      &err),
                 1);
        const QStringList said = err.split('\n').filter(QStringLiteral("payroll-desk: "));
        QVERIFY2(said.size() == 1 && said.front().startsWith(QStringLiteral("payroll-desk: ")) &&
                     said.front().contains(blocked),
                 qPrintable(err));
        QVERIFY(!QFile::exists(png));
        // The language kept in the settings is the program's from its start;
        // --language overrides it for one run.
        const QStringList blocked_run = {
            QStringLiteral("--db"),    QStringLiteral("sqlite:") + blocked,
            QStringLiteral("--print"), QStringLiteral("register"),
            QStringLiteral("--out"),   dir_.filePath("papers")};
        {
            QSettings settings(payroll::desk::SettingsPath(), QSettings::IniFormat);
            settings.setValue(QStringLiteral("language"), QStringLiteral("en"));
        }
        QCOMPARE(Desk(blocked_run, &err), 1);
        QVERIFY2(err.contains(QStringLiteral("The database cannot be opened")), qPrintable(err));
        QCOMPARE(Desk(blocked_run + QStringList{QStringLiteral("--language"), QStringLiteral("ko")},
                      &err),
                 1);
        QVERIFY2(err.contains(QStringLiteral("데이터베이스를 열 수 없습니다")), qPrintable(err));
        QSettings(payroll::desk::SettingsPath(), QSettings::IniFormat)
            .remove(QStringLiteral("language"));
        QCOMPARE(Desk({QStringLiteral("--language"), QStringLiteral("fr")}, &err), 2);
    }
};

QTEST_MAIN(DeskWindowsTest)
#include "desk_windows_qtest.moc"
