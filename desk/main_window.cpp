#include "desk/main_window.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSaveFile>
#include <QTabWidget>
#include <QVBoxLayout>

#include "desk/desk_text.h"
#include "desk/language.h"
#include "desk/month_data.h"
#include "desk/recent.h"
#include "desk/results_view.h"
#include "desk/year_chart.h"
#include "payroll/host.h"
#include "payroll/imirak1.h"
#include "payroll/reading.h"

namespace payroll::desk {
namespace {

QString FromStd(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString RoadName(Road road) {
    switch (road) {
        case Road::kBuild:
            return Tr(kBuild).remove(QStringLiteral("..."));
        case Road::kRecalcYear:
            return Tr(kRecalcYear);
        case Road::kRecalcMonth:
            return Tr(kRecalcMonth);
        case Road::kBonusTax:
            break;
    }
    return Tr(kBonusTax);
}

long long CountOf(const RoadReport& report, const char* name) {
    for (const auto& [what, n] : report.counts)
        if (what == name) return n;
    return 0;
}

QPushButton* AddButton(QHBoxLayout* row, TextId text, const char* name) {
    auto* button = new QPushButton(Tr(text));
    button->setObjectName(QLatin1String(name));
    row->addWidget(button);
    return button;
}

}  // namespace

QString ReportText(const RoadReport& report) {
    switch (report.outcome) {
        case RoadOutcome::kCommitted: {
            QString counts;
            if (report.counts.empty()) return Tr(kCommitted);
            if (report.counts.front().first == "inserted")
                counts =
                    Tr(kCountRows).arg(CountOf(report, "inserted")).arg(CountOf(report, "deleted"));
            else if (report.counts.front().first == "runs")
                // A person paid in several runs is one person and several lines.
                counts = Tr(kCountRecalc)
                             .arg(CountOf(report, "runs"))
                             .arg(CountOf(report, "people"))
                             .arg(CountOf(report, "employees"))
                             .arg(CountOf(report, "bonus_runs"));
            else
                counts = Tr(kCountBonus)
                             .arg(CountOf(report, "employees"))
                             .arg(Won(static_cast<double>(CountOf(report, "income_tax"))));
            return Tr(kCommitted) + QStringLiteral(" \u2014 ") + counts;
        }
        case RoadOutcome::kRolledBack:
            return Tr(kRolledBack) + QStringLiteral(" \u2014 ") + FromStd(report.reason);
        case RoadOutcome::kNotEnded:
            break;
    }
    return Tr(kFailed) + QStringLiteral(" \u2014 ") + FromStd(report.reason);
}

MainWindow::MainWindow() {
    setObjectName(QStringLiteral("desk"));
    setWindowTitle(Tr(kAppTitle));
    BuildFace();
    resize(1180, 700);  // the English headings are the wider
}

void MainWindow::BuildFace() {
    QMenu* file = menuBar()->addMenu(Tr(kFile));
    connect(file->addAction(Tr(kOpenSqlite)), &QAction::triggered, this, [this] { AskSqlite(); });
    connect(file->addAction(Tr(kOpenPostgres)), &QAction::triggered, this,
            [this] { AskPostgres(); });
    recent_ = file->addMenu(Tr(kRecent));
    file->addSeparator();
    QAction* import = file->addAction(Tr(kImportFolder));
    import->setObjectName(QStringLiteral("importFolder"));
    connect(import, &QAction::triggered, this, [this] { AskImport(); });
    file->addSeparator();
    connect(file->addAction(Tr(kExportCsv)), &QAction::triggered, this, [this] { AskCsv(); });
    QMenu* print = file->addMenu(Tr(kPrintPdf));
    print->setObjectName(QStringLiteral("printMenu"));
    const std::pair<TextId, Paper> papers[] = {{kPrintPayslips, Paper::kPayslips},
                                               {kPrintRegister, Paper::kRegister},
                                               {kPrintLedgers, Paper::kLedgers},
                                               {kPrintReturn, Paper::kReturn}};
    for (const auto& [text, paper] : papers)
        connect(print->addAction(Tr(text)), &QAction::triggered, this,
                [this, paper = paper] { AskPrint(paper); });
    file->addSeparator();
    connect(file->addAction(Tr(kQuit)), &QAction::triggered, this, [this] { close(); });
    UpdateRecentMenu();
    // Each language named in itself, so that a clerk finds his own.
    language_ = menuBar()->addMenu(Tr(kLanguage));
    language_->setObjectName(QStringLiteral("languageMenu"));
    auto* languages = new QActionGroup(language_);
    const std::pair<int, QString> choices[] = {{kKorean, QStringLiteral("한국어")},
                                               {kEnglish, QStringLiteral("English")}};
    for (const auto& [language, name] : choices) {
        QAction* choice = language_->addAction(name);
        choice->setCheckable(true);
        choice->setChecked(TextLanguage() == language);
        choice->setActionGroup(languages);
        connect(choice, &QAction::triggered, this,
                [this, language = language] { SwitchLanguage(language); });
    }

    auto* centre = new QWidget(this);
    auto* layout = new QVBoxLayout(centre);
    controls_ = new QWidget(centre);
    auto* controls = new QVBoxLayout(controls_);
    controls->setContentsMargins(0, 0, 0, 0);

    auto* db_row = new QHBoxLayout;
    database_ = new QLabel(Tr(kNoDatabase));
    database_->setObjectName(QStringLiteral("database"));
    db_row->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(Tr(kDatabase))));
    db_row->addWidget(database_, 1);
    connect(AddButton(db_row, kOpenSqlite, "openSqlite"), &QPushButton::clicked, this,
            [this] { AskSqlite(); });
    connect(AddButton(db_row, kOpenPostgres, "openPostgres"), &QPushButton::clicked, this,
            [this] { AskPostgres(); });
    controls->addLayout(db_row);

    auto* run_row = new QHBoxLayout;
    company_ = new QComboBox;
    company_->setEditable(true);
    company_->setObjectName(QStringLiteral("company"));
    company_->setMinimumContentsLength(6);
    month_ = new QLineEdit;
    month_->setObjectName(QStringLiteral("month"));
    month_->setPlaceholderText(QStringLiteral("YYYYMM"));
    month_->setMaxLength(6);
    month_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), month_));
    month_->setMaximumWidth(90);
    run_row->addWidget(new QLabel(Tr(kCompany)));
    run_row->addWidget(company_);
    run_row->addWidget(new QLabel(Tr(kMonth)));
    run_row->addWidget(month_);
    connect(AddButton(run_row, kPickRun, "pickRun"), &QPushButton::clicked, this,
            [this] { PickRun(); });
    run_line_ = new QLabel;
    run_line_->setObjectName(QStringLiteral("runLine"));
    run_row->addWidget(run_line_, 1);
    controls->addLayout(run_row);
    auto changed = [this] {
        run_.reset();
        UpdateRunLine();
        RefreshResults();
    };
    connect(company_, &QComboBox::textActivated, this, changed);
    connect(month_, &QLineEdit::editingFinished, this, changed);

    auto* road_row = new QHBoxLayout;
    connect(AddButton(road_row, kBuild, "build"), &QPushButton::clicked, this,
            [this] { AskBuild(); });
    connect(AddButton(road_row, kRecalcYear, "recalcYear"), &QPushButton::clicked, this,
            [this] { Drive(Road::kRecalcYear); });
    connect(AddButton(road_row, kRecalcMonth, "recalcMonth"), &QPushButton::clicked, this,
            [this] { Drive(Road::kRecalcMonth); });
    connect(AddButton(road_row, kBonusTax, "bonusTax"), &QPushButton::clicked, this,
            [this] { Drive(Road::kBonusTax); });
    connect(AddButton(road_row, kEmployee, "employee"), &QPushButton::clicked, this,
            [this] { AskEmployee(); });
    connect(AddButton(road_row, kEmployees, "employees"), &QPushButton::clicked, this,
            [this] { ShowEmployeeList(); });
    road_row->addStretch(1);
    connect(AddButton(road_row, kExportCsv, "exportCsv"), &QPushButton::clicked, this,
            [this] { AskCsv(); });
    controls->addLayout(road_row);
    layout->addWidget(controls_);

    tabs_ = new QTabWidget(centre);
    results_ = new ResultsView(tabs_);
    chart_ = new YearChart(tabs_);
    tabs_->addTab(results_, Tr(kResults));
    tabs_->addTab(chart_, Tr(kChart));
    layout->addWidget(tabs_, 1);

    message_ = new QLabel(centre);
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(message_);
    setCentralWidget(centre);
    UpdateRunLine();
}

QString MainWindow::CompanyShown() const {
    return company_->currentText().trimmed();
}

QString MainWindow::MonthShown() const {
    return month_->text().trimmed();
}

void MainWindow::Say(const QString& text, bool failure) {
    message_->setStyleSheet(failure ? QStringLiteral("color: #b00020; font-weight: bold")
                                    : QStringLiteral("color: #1b5e20"));
    message_->setText(text);
}

void MainWindow::SetBusy(bool busy) {
    busy_ = busy;
    controls_->setEnabled(!busy);
    menuBar()->setEnabled(!busy);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {
        Say(Tr(kBusy), true);
        event->ignore();
        return;
    }
    payroll::CloseDatabase();
    event->accept();
}

void MainWindow::UpdateRecentMenu() {
    recent_->clear();
    for (const QString& url : RecentDatabases())
        connect(recent_->addAction(url), &QAction::triggered, this,
                [this, url] { OpenDatabaseUrl(url); });
    recent_->setEnabled(!recent_->isEmpty());
}

bool MainWindow::OpenDatabaseUrl(const QString& url) {
    std::string error;
    run_.reset();
    UpdateRunLine();
    if (!payroll::OpenDatabase(url.toStdString(), &error)) {
        payroll::CloseDatabase();
        database_->setText(Tr(kNoDatabase));
        Say(Tr(kCannotOpen).arg(FromStd(error)), true);
        results_->Show({});
        return false;
    }
    const QString shown = FromStd(payroll::DatabaseDisplayName());
    database_->setText(shown);
    RememberDatabase(shown);
    UpdateRecentMenu();
    Say(QString(), false);
    ReadCompanies();
    RefreshResults();
    return true;
}

void MainWindow::ReadCompanies() {
    std::vector<std::string> companies;
    std::string error;
    const QString current = company_->currentText();
    company_->clear();
    if (!reading::ReadCompanies(&companies, &error)) {
        Say(Tr(kCannotOpen).arg(FromStd(error)), true);
        return;
    }
    for (const std::string& c : companies) company_->addItem(FromStd(c));
    if (!current.isEmpty()) company_->setCurrentText(current);
    // A first look at a database starts at its latest month of runs.
    if (month_->text().isEmpty() && !company_->currentText().isEmpty())
        month_->setText(FromStd(reading::LatestRunMonth(company_->currentText().toStdString())));
}

void MainWindow::SetCompanyMonth(const QString& company, const QString& month) {
    company_->setCurrentText(company);
    month_->setText(month);
    run_.reset();
    UpdateRunLine();
    RefreshResults();
}

bool MainWindow::CheckCompanyMonth(std::string* company, std::string* month) {
    if (!payroll::IsDatabaseOpen()) {
        Say(Tr(kNoDatabase), true);
        return false;
    }
    *company = company_->currentText().trimmed().toStdString();
    *month = month_->text().trimmed().toStdString();
    const int m = month->size() == 6 ? std::atoi(month->c_str() + 4) : 0;
    if (company->empty() || company->size() > 5 || m < 1 || m > 12) {
        Say(Tr(kBadMonth), true);
        return false;
    }
    return true;
}

void MainWindow::UpdateRunLine() {
    if (!run_) {
        run_line_->setText(Tr(kNoRunPicked));
        return;
    }
    const HPHONPD_YMD_FMT& r = *run_;
    // The pay types by code and name, the date written as the papers write it.
    const QString kind = FromStd(r.NM2.Str()) + QLatin1Char(' ') +
                         PayTypesNamed(FromStd(r.PYTP_LIST.Str()), FromStd(r.NM1.Str()));
    const QString date = FromStd(r.PAY_DT.Str());
    const QString shown_date = date.size() == 8 ? date.left(4) + QLatin1Char('-') + date.mid(4, 2) +
                                                      QLatin1Char('-') + date.mid(6)
                                                : date;
    run_line_->setText(Tr(kPickedRun)
                           .arg(Tr(kRunText).arg(FromStd(r.CO_CD.Str()), FromStd(r.RVRS_YM.Str()),
                                                 FromStd(r.SQ.Str()), shown_date, kind.trimmed())));
}

bool MainWindow::MonthRuns(std::string* company, std::string* month,
                           std::vector<HPHONPD_YMD_FMT>* runs) {
    if (!CheckCompanyMonth(company, month)) return false;
    std::string error;
    if (!ListPayRuns(*company, *month, runs, &error)) {
        Say(Tr(kCannotOpen).arg(FromStd(error)), true);
        return false;
    }
    return true;
}

bool MainWindow::PickRun() {
    std::string company, month;
    std::vector<HPHONPD_YMD_FMT> runs;
    if (!MonthRuns(&company, &month, &runs)) return false;
    if (runs.empty()) {
        Say(Tr(kNoRuns).arg(FromStd(company), FromStd(month)), true);
        return false;
    }
    CIMirak1 front;
    HPHONPD_YMD_FMT key = MonthKey(company, month);
    const unsigned result = front.init(0, &key);
    if (result != IDOK || key.SEL_NO <= 0) {
        Say(Tr(kNoRunPicked), false);
        return false;
    }
    run_ = key;
    UpdateRunLine();
    Say(QString(), false);
    return true;
}

bool MainWindow::PickRunAt(int place) {
    std::string company, month;
    std::vector<HPHONPD_YMD_FMT> runs;
    if (!MonthRuns(&company, &month, &runs)) return false;
    if (place < 1 || place > static_cast<int>(runs.size())) {
        Say(Tr(kNoRuns).arg(FromStd(company), FromStd(month)), true);
        return false;
    }
    run_ = runs[static_cast<std::size_t>(place - 1)];
    UpdateRunLine();
    return true;
}

std::optional<RoadReport> MainWindow::Drive(Road road, const BuildChoices& choices) {
    if (!payroll::IsDatabaseOpen()) {
        Say(Tr(kNoDatabase), true);
        return std::nullopt;
    }
    if (!run_) {
        Say(Tr(kNoRunPicked), true);
        return std::nullopt;
    }
    SetBusy(true);
    Say(QString(), false);
    RoadReport report;
    switch (road) {
        case Road::kBuild:
            report = BuildRun(*run_, choices);
            break;
        case Road::kRecalcYear:
            report = RecalcYear(*run_);
            break;
        case Road::kRecalcMonth:
            report = RecalcMonth(*run_);
            break;
        case Road::kBonusTax:
            report = TaxBonus(*run_);
            break;
    }
    SetBusy(false);
    Say(Tr(kRoadLine).arg(RoadName(road), ReportText(report)),
        report.outcome != RoadOutcome::kCommitted);
    const QString said = message_->text();
    RefreshResults();
    if (message_->text() != said) Say(said, report.outcome != RoadOutcome::kCommitted);
    return report;
}

void MainWindow::AskBuild() {
    QDialog ask(this);
    ask.setWindowTitle(RoadName(Road::kBuild));
    auto* form = new QFormLayout(&ask);
    auto* refresh = new QCheckBox(Tr(kRefresh));
    auto *division = new QLineEdit, *department = new QLineEdit, *job_group = new QLineEdit;
    division->setMaxLength(10);
    department->setMaxLength(10);
    job_group->setMaxLength(10);
    auto* table_set = new QComboBox;
    table_set->addItems({QStringLiteral("0  HPITMPD / HPITMDD"),
                         QStringLiteral("1  HPOMPPD / HPOMPDD"),
                         QStringLiteral("2  HTOWTRT / HTOWTDR")});
    table_set->setCurrentIndex(1);
    form->addRow(refresh);
    form->addRow(Tr(kDivision), division);
    form->addRow(Tr(kDepartment), department);
    form->addRow(Tr(kJobGroup), job_group);
    form->addRow(Tr(kTableSet), table_set);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    if (ask.exec() != QDialog::Accepted) return;
    BuildChoices choices;
    choices.refresh = refresh->isChecked();
    choices.division = division->text().trimmed().toStdString();
    choices.department = department->text().trimmed().toStdString();
    choices.job_group = job_group->text().trimmed().toStdString();
    choices.table_set = table_set->currentIndex();
    Drive(Road::kBuild, choices);
}

bool MainWindow::ShowEmployee(const QString& employee) {
    if (!run_) {
        Say(Tr(kNoRunPicked), true);
        return false;
    }
    CIMirak1 front;
    HPHONPD_YMD_FMT key = *run_;
    front.CallSempSubject(&key, CString(employee.toStdString()));
    return true;
}

void MainWindow::AskEmployee() {
    if (!run_) {
        Say(Tr(kNoRunPicked), true);
        return;
    }
    std::vector<reading::RunEmployee> employees;
    std::string error;
    if (!reading::ReadRunEmployees(*run_, &employees, &error)) {
        Say(Tr(kCannotOpen).arg(FromStd(error)), true);
        return;
    }
    if (employees.empty()) {
        Say(Tr(kNoEmployees), true);
        return;
    }
    QStringList items;
    for (const reading::RunEmployee& e : employees)
        items << FromStd(e.code) + QStringLiteral("  ") + FromStd(e.name);
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(this, Tr(kEmployee), Tr(kChooseEmployee), items, 0, false, &ok);
    if (ok && !chosen.isEmpty()) ShowEmployee(chosen.section(QLatin1Char(' '), 0, 0));
}

void MainWindow::RefreshResults() {
    std::string company, month;
    if (!payroll::IsDatabaseOpen()) return;
    company = company_->currentText().trimmed().toStdString();
    month = month_->text().trimmed().toStdString();
    if (company.empty() || month.size() != 6) {
        results_->Show({});
        return;
    }
    MonthResults results;
    std::string error;
    if (!ReadMonthResults(company, month, &results, &error)) {
        results_->Show({});
        Say(Tr(kCannotOpen).arg(FromStd(error)), true);
        return;
    }
    results_->Show(results);
    if (results.rows.empty()) Say(Tr(kNoResults).arg(FromStd(company), FromStd(month)), true);
    std::array<MonthFigures, 12> year{};
    if (ReadYearFigures(company, month.substr(0, 4), &year, &error))
        chart_->Show(FromStd(month.substr(0, 4)), year);
}

bool MainWindow::ExportCsv(const QString& path) {
    QSaveFile file(path);
    const QByteArray csv = ResultsCsv(results_->Results()).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.commit()) {
        Say(Tr(kCannotSave).arg(file.errorString()), true);
        return false;
    }
    Say(Tr(kSaved).arg(path), false);
    return true;
}

void MainWindow::AskSqlite() {
    const QString path = QFileDialog::getOpenFileName(
        this, Tr(kOpenSqlite), QString(), QStringLiteral("SQLite (*.db *.sqlite *.sqlite3);;*"));
    if (!path.isEmpty()) OpenDatabaseUrl(QStringLiteral("sqlite:") + path);
}

void MainWindow::AskPostgres() {
    bool ok = false;
    const QString url =
        QInputDialog::getText(this, Tr(kOpenPostgres), Tr(kPostgresPrompt), QLineEdit::Normal,
                              QStringLiteral("postgresql://"), &ok);
    if (ok && !url.trimmed().isEmpty()) OpenDatabaseUrl(url.trimmed());
}

void MainWindow::AskCsv() {
    const QString path = QFileDialog::getSaveFileName(
        this, Tr(kExportCsv),
        QStringLiteral("results-%1-%2.csv").arg(company_->currentText(), month_->text()),
        QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty()) ExportCsv(path);
}

}  // namespace payroll::desk
