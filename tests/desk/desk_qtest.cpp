// payroll-desk and the Qt driver at work on a demo company: the picker
// worked with the keyboard, the viewer's cells, a year's recalculation with
// its progress window, a road that rolls back, the results against the
// database, bad input, and the font's glyphs for every text shown.
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <cmath>

#include "desk/desk_text.h"
#include "desk/main_window.h"
#include "desk/recent.h"
#include "desk/results_view.h"
#include "desk/year_chart.h"
#include "payroll/datasource.h"
#include "payroll/host.h"
#include "payroll/papers.h"
#include "payroll/settings.h"
#include "ui-qt/dialog_font.h"
#include "ui-qt/dialog_window.h"
#include "ui-qt/form_view.h"
#include "ui-qt/gradient_bar.h"
#include "ui-qt/grid_view.h"
#include "ui-qt/qt_driver.h"
#include "ui-qt/win_codes.h"

using payroll::RoadOutcome;
using payroll::desk::MainWindow;
using payroll::desk::Road;
using payroll::qt::DialogWindow;

class DeskTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString url_;
    QString schema_;  // PostgreSQL: the schema of this run
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<payroll::qt::QtDriver> driver_;
    payroll::ui::UiDriver* previous_ = nullptr;

    QString Url() const { return url_; }
    double SumOf(const std::string& sql) {
        G_DataSource q;
        if (!q.OnExecuteSQL(sql.c_str())) return -1;
        return std::atof(q.OnGetFieldValue("S", 0).c_str());
    }
    double Sum(const char* column) {
        G_DataSource q;
        const std::string sql = std::string("SELECT sum(") + column +
                                ") S FROM HPOMNPY WHERE CO_CD='1000' AND RVRS_YM='200206'";
        if (!q.OnExecuteSQL(sql.c_str())) return -1;
        return q.OnGetFieldValue("S", 0).str().empty()
                   ? 0
                   : std::atof(q.OnGetFieldValue("S", 0).c_str());
    }
    // Runs statements on the open database; fails the test when they fail.
    // Pay and deduction rows of the June runs.
    long JuneRows() {
        long n = 0;
        for (const char* table : {"HPOMPPD", "HPOMPDD"}) {
            G_DataSource q;
            const std::string sql = std::string("SELECT count(*) N FROM ") + table +
                                    " WHERE CO_CD='1000' AND RVRS_YM='200206'";
            if (!q.OnExecuteSQL(sql.c_str())) return -1;
            n += std::atol(q.OnGetFieldValue("N", 0).c_str());
        }
        return n;
    }

    static void Exec(const std::string& sql) {
        G_DirectSQL run;
        QVERIFY2(run.OnExecuteQuery(CString(sql)), run.GetLastError().c_str());
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        qInfo("platform: %s", qPrintable(QGuiApplication::platformName()));
        qputenv("XDG_CONFIG_HOME", dir_.filePath(QStringLiteral("config")).toUtf8());
        // On PostgreSQL ($PAYROLL_TEST_DB) the demo company goes into a schema
        // of its own; else into a SQLite file of this run.
        const QString server = qEnvironmentVariable("PAYROLL_TEST_DB");
        if (server.startsWith(QStringLiteral("postgresql:"))) {
            schema_ = QStringLiteral("desk_qt_%1").arg(QCoreApplication::applicationPid());
            std::string error;
            QVERIFY2(payroll::OpenDatabase(server.toStdString(), &error), error.c_str());
            Exec("CREATE SCHEMA " + schema_.toStdString());
            payroll::CloseDatabase();
            url_ =
                server + (server.contains('?') ? "&" : "?") + "options=-csearch_path%3D" + schema_;
        } else {
            url_ = QStringLiteral("sqlite:") + dir_.filePath(QStringLiteral("desk.db"));
        }
        QProcess demo;
        demo.start(QStringLiteral(PAYROLL_CLI),
                   {QStringLiteral("--db"), Url(), QStringLiteral("demo"),
                    QStringLiteral("--employees"), QStringLiteral("12")});
        QVERIFY(demo.waitForFinished(120000));
        QVERIFY2(demo.exitCode() == 0, demo.readAllStandardError().constData());
        payroll::desk::LoadTexts(0);
        window_ = std::make_unique<MainWindow>();
        driver_ = std::make_unique<payroll::qt::QtDriver>(window_.get());
        previous_ = payroll::ui::InstallUiDriver(driver_.get());
        window_->show();
        QVERIFY(window_->OpenDatabaseUrl(Url()));
        // A database opened afresh shows its first company's latest month.
        QCOMPARE(window_->findChild<QLineEdit*>(QStringLiteral("month"))->text(),
                 QStringLiteral("200212"));
        QVERIFY(window_->Results()->Table()->rowCount() > 0);
        window_->SetCompanyMonth(QStringLiteral("1000"), QStringLiteral("200206"));
    }

    void cleanupTestCase() {
        payroll::ui::InstallUiDriver(previous_);
        window_.reset();
        payroll::CloseDatabase();
        if (schema_.isEmpty()) return;
        std::string error;
        if (payroll::OpenDatabase(qEnvironmentVariable("PAYROLL_TEST_DB").toStdString(), &error))
            Exec("DROP SCHEMA " + schema_.toStdString() + " CASCADE");
        payroll::CloseDatabase();
    }

    void init() {
        driver_->SetAutoAnswer(true);
        driver_->SetModalHook({});
        driver_->SetChangeHook({});
    }

    void pickerIsWorkedWithTheKeyboard() {
        QString titles;
        driver_->SetModalHook([&](DialogWindow& picker) {
            QVERIFY(picker.Grid());
            QVERIFY(picker.isVisible());
            auto* grid = picker.Grid();
            for (int c = 0; c < grid->model()->columnCount(); ++c)
                if (!grid->isColumnHidden(c))
                    titles += grid->model()->headerData(c, Qt::Horizontal).toString() + "|";
            QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("2002/06/25"));
            QTest::keyClick(grid, Qt::Key_Down);
            QCOMPARE(grid->currentIndex().row(), 1);
            QTest::keyClick(grid, Qt::Key_Return);
        });
        QVERIFY(window_->PickRun());
        QCOMPARE(titles, QStringLiteral("지급일|지급구분|급여구분|"));
        QVERIFY(window_->PickedRun());
        QCOMPARE(QString::fromStdString(window_->PickedRun()->SQ.Str()), QStringLiteral("2"));
        QCOMPARE(QString::fromStdString(window_->PickedRun()->PYTP_FG.Str()),
                 QStringLiteral("200"));

        // Escape leaves without a run; a double-click confirms the row.
        driver_->SetModalHook(
            [](DialogWindow& picker) { QTest::keyClick(picker.Grid(), Qt::Key_Escape); });
        QVERIFY(!window_->PickRun());  // the run picked before stays
        QCOMPARE(QString::fromStdString(window_->PickedRun()->SQ.Str()), QStringLiteral("2"));
        driver_->SetModalHook([](DialogWindow& picker) {
            auto* grid = picker.Grid();
            const QRect cell = grid->visualRect(grid->model()->index(0, 1));
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        });
        QVERIFY(window_->PickRun());
        QCOMPARE(QString::fromStdString(window_->PickedRun()->SQ.Str()), QStringLiteral("1"));

        // Tab leaves the list for the buttons; Enter on Cancel cancels.
        driver_->SetModalHook([](DialogWindow& picker) {
            QTest::keyClick(picker.Grid(), Qt::Key_Down);
            QTest::keyClick(picker.Grid(), Qt::Key_Tab);
            for (int hops = 0; hops < 3; ++hops) {
                auto* button = qobject_cast<QPushButton*>(picker.focusWidget());
                QVERIFY2(button, "Tab left the list for a button");
                if (button->text() == QStringLiteral("취소")) break;
                QTest::keyClick(button, Qt::Key_Tab);
            }
            QTest::keyClick(picker.focusWidget(), Qt::Key_Return);
        });
        QVERIFY(!window_->PickRun());
        QCOMPARE(QString::fromStdString(window_->PickedRun()->SQ.Str()), QStringLiteral("1"));
    }

    void pickerColumnsResizeAsTheGridAllows() {
        int first_before = 0, first_after = 0, fixed_before = 0, fixed_after = 0;
        driver_->SetModalHook([&](DialogWindow& picker) {
            payroll::ui::UiGrid& grid = picker.Grid()->Grid();
            QHeaderView* header = picker.Grid()->horizontalHeader();
            first_before = grid.ColumnWidth(0);
            header->resizeSection(0, header->sectionSize(0) * 2);
            first_after = grid.ColumnWidth(0);
            fixed_before = header->sectionSize(2);
            header->resizeSection(2, fixed_before + 40);  // the pay-type names keep their width
            fixed_after = header->sectionSize(2);
            picker.reject();
        });
        QVERIFY(!window_->PickRun());
        QVERIFY(first_after > first_before);
        QCOMPARE(fixed_after, fixed_before);
    }

    void viewerShowsTheEmployeesCells() {
        QVERIFY(window_->PickRunAt(1));
        QStringList form_texts;
        QString item, amount;
        Qt::Alignment amount_align;
        driver_->SetModalHook([&](DialogWindow& viewer) {
            auto* form = viewer.findChild<payroll::qt::FormView*>();
            QVERIFY(form);
            for (int r = 0; r < form->rowCount(); ++r)
                for (int c = 0; c < form->columnCount(); ++c)
                    if (form->item(r, c)) form_texts << form->item(r, c)->text();
            QVERIFY(viewer.Grid());
            const QModelIndex first = viewer.Grid()->model()->index(0, 1);
            item = viewer.Grid()->model()->index(0, 0).data().toString();
            amount = first.data().toString();
            amount_align = Qt::Alignment(first.data(Qt::TextAlignmentRole).toInt());
            QPushButton* ok = nullptr;
            for (QPushButton* b : viewer.findChildren<QPushButton*>())
                if (b != viewer.RevealButton()) ok = b;
            QVERIFY(ok);
            ok->click();
        });
        QVERIFY(window_->ShowEmployee(QStringLiteral("E000001")));
        QVERIFY(form_texts.contains(QStringLiteral("E000001")));
        QVERIFY(form_texts.contains(QStringLiteral("사번")));
        // Dates through their masks.
        QVERIFY(std::any_of(form_texts.begin(), form_texts.end(), [](const QString& t) {
            return QRegularExpression(QStringLiteral("^\\d{4}/\\d\\d/\\d\\d$")).match(t).hasMatch();
        }));
        // The registration number stays masked until revealed on purpose.
        QVERIFY(std::any_of(form_texts.begin(), form_texts.end(), [](const QString& t) {
            return QRegularExpression(QStringLiteral("^\\d{6}-\\d\\*{6}$")).match(t).hasMatch();
        }));
        QVERIFY(!item.isEmpty());
        QVERIFY2(
            QRegularExpression(QStringLiteral("^\\d{1,3}(,\\d{3})+$")).match(amount).hasMatch(),
            qPrintable(amount));
        QVERIFY(amount_align & Qt::AlignRight);
    }

    void yearRecalculationShowsItsProgressToTheEndAndCloses() {
        QVERIFY(window_->PickRunAt(1));
        int changes = 0, most = 0, most2 = 0;
        bool visible = true;
        driver_->SetChangeHook([&](DialogWindow& progress) {
            ++changes;
            visible = visible && progress.isVisible();
            if (payroll::qt::GradientBar* bar = progress.Bar(1001))
                most = std::max(most, bar->Info().Percent());
            if (payroll::qt::GradientBar* bar = progress.Bar(1002))
                most2 = std::max(most2, bar->Info().Percent());
            QVERIFY(window_->Busy());  // the window keeps painting, its controls wait
        });
        const auto report = window_->Drive(Road::kRecalcYear);
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(RoadOutcome::kCommitted));
        QVERIFY(changes > 10);
        QVERIFY(visible);
        // The runs bar counts one step more than there are runs; the
        // employees bar ends full.
        QVERIFY(most >= 90);
        QCOMPARE(most2, 100);
        QCOMPARE(driver_->OpenWindows(), 0);  // the progress window closed
        QCOMPARE(driver_->OpenNotices(), 0);
        QVERIFY(!window_->Busy());
        QVERIFY(
            window_->MessageLine()->text().contains(payroll::desk::Tr(payroll::desk::kCommitted)));
    }

    void everyRoadOnThePickedRun() {
        window_->SetCompanyMonth(QStringLiteral("1000"), QStringLiteral("200206"));
        QVERIFY(window_->PickRunAt(1));
        payroll::desk::BuildChoices refresh;
        refresh.refresh = true;
        const long before = JuneRows();
        auto built = window_->Drive(Road::kBuild, refresh);
        QVERIFY(built);
        QVERIFY2(built->outcome == RoadOutcome::kCommitted, built->reason.c_str());
        // The counts are the rows the run's tables gained and lost.
        QVERIFY(built->counts.size() == 2 && built->counts[0].first == "inserted");
        QCOMPARE(built->counts[0].second - built->counts[1].second,
                 static_cast<long long>(JuneRows() - before));
        // A division nobody works in: nobody qualifies, nothing is built.
        payroll::desk::BuildChoices nobody;
        nobody.division = "ZZZ";
        auto empty = window_->Drive(Road::kBuild, nobody);
        QVERIFY(empty);
        QCOMPARE(int(empty->outcome), int(RoadOutcome::kNotEnded));
        QCOMPARE(empty->reason, std::string("no employee qualified for the run"));
        QVERIFY(window_->MessageLine()->text().contains(QStringLiteral("no employee qualified")));
        auto month = window_->Drive(Road::kRecalcMonth);
        QVERIFY(month);
        QVERIFY2(month->outcome == RoadOutcome::kCommitted, month->reason.c_str());
        QVERIFY(window_->PickRunAt(2));  // the June bonus run
        auto bonus = window_->Drive(Road::kBonusTax);
        QVERIFY(bonus);
        QVERIFY2(bonus->outcome == RoadOutcome::kCommitted, bonus->reason.c_str());
        QCOMPARE(bonus->counts.at(0).first, std::string("employees"));
        QVERIFY(bonus->counts.at(0).second > 0);
        QVERIFY(
            window_->MessageLine()->text().contains(payroll::desk::Tr(payroll::desk::kCommitted)));
        QCOMPARE(driver_->OpenWindows(), 0);
    }

    void roadThatRollsBackShowsItsReason() {
        // The result table loses a column the recalculation writes: its
        // statements fail half way and the whole year rolls back.
        const double before = Sum("INTX_AM");
        Exec("ALTER TABLE HPOMNPY RENAME COLUMN RSTX_AM TO RSTX_AM_GONE");
        window_->SetCompanyMonth(QStringLiteral("1000"), QStringLiteral("200206"));
        QVERIFY(window_->PickRunAt(1));
        const auto report = window_->Drive(Road::kRecalcYear);
        Exec("ALTER TABLE HPOMNPY RENAME COLUMN RSTX_AM_GONE TO RSTX_AM");
        QVERIFY(report);
        QCOMPARE(int(report->outcome), int(RoadOutcome::kRolledBack));
        const QString said = window_->MessageLine()->text();
        QVERIFY2(said.contains(payroll::desk::Tr(payroll::desk::kRolledBack)), qPrintable(said));
        QVERIFY2(said.contains(QString::fromStdString(report->reason)), qPrintable(said));
        QVERIFY2(QString::fromStdString(report->reason)
                     .contains(QStringLiteral("RSTX_AM"), Qt::CaseInsensitive),
                 report->reason.c_str());
        QCOMPARE(driver_->OpenWindows(), 0);
        window_->SetCompanyMonth(QStringLiteral("1000"), QStringLiteral("200206"));
        QCOMPARE(Sum("INTX_AM"), before);
    }

    void resultsAreThePayslipsFigures() {
        window_->SetCompanyMonth(QStringLiteral("1000"), QStringLiteral("200206"));
        payroll::desk::ResultsView* results = window_->Results();
        QTableWidget* table = results->Table();
        QVERIFY(table->rowCount() > 0);
        // E000001's lines show his payslips' gross pay, deductions and net
        // pay, to the won.
        payroll::papers::PaperQuery query;
        query.company = "1000";
        query.period = "200206";
        query.employees = {"E000001"};
        std::vector<payroll::papers::Payslip> slips;
        std::string error;
        QVERIFY2(payroll::papers::ReadPayslips(query, &slips, &error), error.c_str());
        QVERIFY(!slips.empty());
        for (const payroll::papers::Payslip& slip : slips) {
            int row = -1;
            for (int r = 0; r < table->rowCount(); ++r)
                if (table->item(r, 0)->text() == QStringLiteral("E000001") &&
                    table->item(r, 2)->text() == QString::number(slip.sq))
                    row = r;
            QVERIFY(row >= 0);
            const auto amount = [&](int col) {
                return std::llround(table->item(row, col)->data(Qt::UserRole).toDouble());
            };
            QCOMPARE(amount(5), std::llround(slip.gross));
            QCOMPARE(amount(10), std::llround(slip.total_deductions));
            QCOMPARE(amount(11), std::llround(slip.net));
            QCOMPARE(table->item(row, 11)->text(), payroll::desk::Won(slip.net));
        }
        // The month's totals are the rows' sums: every pay row, every
        // deduction row, the income-tax rows.
        const std::string june = " WHERE CO_CD='1000' AND RVRS_YM='200206'";
        const double gross = SumOf("SELECT sum(PAY_AM) S FROM HPOMPPD" + june);
        const double deducted = SumOf("SELECT sum(DDCT_AM) S FROM HPOMPDD" + june);
        QCOMPARE(results->ShownTotal(0), gross);
        QCOMPARE(results->ShownTotal(3),
                 SumOf("SELECT sum(DDCT_AM) S FROM HPOMPDD" + june + " AND DDCT_CD='T00'"));
        QCOMPARE(results->ShownTotal(5), deducted);
        QCOMPARE(results->ShownTotal(6), gross - deducted);
        QVERIFY(results->TotalsLine()->text().contains(payroll::desk::Won(gross - deducted)));
        // Amounts sort as numbers.
        const int tax_col = 5 + 3;
        results->Table()->sortByColumn(tax_col, Qt::DescendingOrder);
        const int last = results->Table()->rowCount() - 1;
        QVERIFY(results->Table()->item(0, tax_col)->data(Qt::UserRole).toDouble() >=
                results->Table()->item(last, tax_col)->data(Qt::UserRole).toDouble());

        const QString csv = dir_.filePath(QStringLiteral("june.csv"));
        QVERIFY(window_->ExportCsv(csv));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), results->Table()->rowCount() + 1);
        QVERIFY(lines[0].startsWith(QStringLiteral("EMP_CD,KOR_NM,SQ")));
        QVERIFY(!window_->ExportCsv(dir_.filePath(QStringLiteral("no/such/folder/x.csv"))));
    }

    void badInputIsSaidInTheWindow() {
        QVERIFY(!window_->OpenDatabaseUrl(QStringLiteral("sqlite:") + dir_.filePath("none/x.db")));
        QVERIFY(!payroll::IsDatabaseOpen());
        QVERIFY(!window_->MessageLine()->text().isEmpty());
        QVERIFY(!window_->PickRun());
        QVERIFY(!window_->Drive(Road::kBonusTax));
        QVERIFY(!window_->OpenDatabaseUrl(QStringLiteral("mysql://nowhere")));
        QVERIFY(window_->OpenDatabaseUrl(Url()));
        window_->SetCompanyMonth(QStringLiteral("1000"), QStringLiteral("199901"));
        QCOMPARE(window_->Results()->Table()->rowCount(), 0);
        QVERIFY(window_->MessageLine()->text().contains(QStringLiteral("199901")));
        QVERIFY(!window_->PickRun());  // no runs to pick from
        QVERIFY(window_->MessageLine()->text().contains(QStringLiteral("199901")));
        window_->SetCompanyMonth(QStringLiteral("X'1"), QStringLiteral("200213"));
        QVERIFY(!window_->PickRun());
        window_->SetCompanyMonth(QStringLiteral("1000"), QStringLiteral("200206"));
        QVERIFY(window_->Results()->Table()->rowCount() > 0);
        // The recent databases remember the good one, first.
        QCOMPARE(payroll::desk::RecentDatabases().value(0),
                 QString::fromStdString(payroll::DatabaseDisplayName()));
    }

    void messageBoxesAnswerWithTheButtonPressed() {
        driver_->SetAutoAnswer(false);
        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->icon(), QMessageBox::Question);
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(driver_->MessageBox("계속할까요?", "급여", MB_YESNO | MB_ICONQUESTION), IDNO);
        QCOMPARE(payroll::qt::ButtonsOf(MB_ABORTRETRYIGNORE),
                 QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
        QCOMPARE(payroll::qt::IconOf(MB_ICONERROR), QMessageBox::Critical);
        QCOMPARE(payroll::qt::ResultOf(QMessageBox::Retry), IDRETRY);
        QCOMPARE(payroll::qt::VirtualKeyOf(Qt::Key_PageDown), VK_NEXT);
        QCOMPARE(payroll::qt::VirtualKeyOf(Qt::Key_A), 0u);
    }

    void csvAndScalesOfHandMadeFigures() {
        payroll::desk::MonthResults results;
        payroll::desk::ResultRow row;
        row.employee = QStringLiteral("E1");
        row.name = QStringLiteral("김, \"철수\"");
        row.sq = 3;
        row.pay_type = QStringLiteral("100");
        row.department = QStringLiteral("D\n1");
        row.amounts = {1234567.4, 0, -5, 0.6, 0, 0, 7};
        results.rows.push_back(row);
        QCOMPARE(payroll::desk::ResultsCsv(results),
                 QStringLiteral("EMP_CD,KOR_NM,SQ,PYTP_FG,DEPT,GROSS,TAXABLE,EXEMPT,INCOME_TAX,"
                                "RESIDENT_TAX,TOTAL_DEDUCTIONS,NET\nE1,\"김, \"\"철수\"\"\",3,100,"
                                "\"D\n1\",1234567,0,-5,1,0,0,7\n"));
        const struct {
            double value, top;
        } scales[] = {{0, 1},   {-3, 1},  {1, 1},          {7, 10},
                      {12, 20}, {20, 20}, {45000000, 5e7}, {50000001, 1e8}};
        for (const auto& s : scales) QCOMPARE(payroll::desk::ScaleTop(s.value), s.top);
        QCOMPARE(payroll::desk::Won(-1234567.6), QStringLiteral("-1,234,568"));
    }

    void textsFollowTheLibrarysLanguage() {
        const QString registry = dir_.filePath(QStringLiteral("registry"));
        QFile file(registry);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "[Software\\Orvantis]\n\"RunApp\"=\"Payroll\"\n"
            "[Software\\Orvantis\\Payroll]\nLangKind=dword:00000001\n");
        file.close();
        qputenv("PAYROLL_REGISTRY", registry.toUtf8());
        const int language = payroll::UserLanguage();
        payroll::desk::LoadTexts(language);
        const QString committed = payroll::desk::Tr(payroll::desk::kCommitted);
        QString title, heading;
        driver_->SetModalHook([&](DialogWindow& picker) {
            title = picker.windowTitle();
            heading = picker.Grid()->model()->headerData(0, Qt::Horizontal).toString();
            picker.reject();
        });
        window_->PickRun();
        qunsetenv("PAYROLL_REGISTRY");
        payroll::desk::LoadTexts(payroll::UserLanguage());
        QCOMPARE(language, 1);
        QCOMPARE(committed, QStringLiteral("committed"));
        QCOMPARE(heading, QStringLiteral("Pay date"));
        QVERIFY2(title.startsWith(QStringLiteral("Select")), qPrintable(title));
        QCOMPARE(payroll::desk::Tr(payroll::desk::kCommitted), QStringLiteral("반영됨"));
    }

    void dialogFontHasGlyphsForEveryText() {
        const QRawFont font = QRawFont::fromFont(payroll::qt::DialogFont());
        QVERIFY(font.isValid());
        QVERIFY2(font.familyName().contains(QStringLiteral("Nanum")) ||
                     font.familyName().contains(QStringLiteral("CJK")),
                 qPrintable(font.familyName()));
        const QString folder = QString::fromStdString(payroll::ResourceDirectory()) + "/lang/";
        int checked = 0;
        for (const char* name :
             {"G_Mirak.0.txt", "G_Mirak.1.txt", "payroll-desk.0.txt", "payroll-desk.1.txt"}) {
            QFile file(folder + name);
            QVERIFY2(file.open(QIODevice::ReadOnly), name);
            for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
                if (line.startsWith('#')) continue;
                for (char32_t ch : line.mid(line.indexOf('\t') + 1).toUcs4()) {
                    if (ch < 0x20) continue;
                    QVERIFY2(font.supportsCharacter(ch),
                             qPrintable(QStringLiteral("%1 lacks U+%2 of %3")
                                            .arg(font.familyName())
                                            .arg(uint(ch), 4, 16, QLatin1Char('0'))
                                            .arg(line)));
                    ++checked;
                }
            }
        }
        QVERIFY(checked > 1000);
    }
};

QTEST_MAIN(DeskTest)
#include "desk_qtest.moc"
