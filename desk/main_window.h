// payroll-desk's main window: the database, company and month at the top,
// the picked run and the roads on it, the month's results and the year's
// chart in tabs, the month's papers printed to PDF from the File menu, and
// one line that says how the last action ended (every failure is said
// there, in the window).
#pragma once

#include <QMainWindow>
#include <optional>
#include <string>
#include <vector>

#include "desk/paper_print.h"
#include "desk/roads.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace payroll::desk {

class ResultsView;
class YearChart;

enum class Road { kBuild, kRecalcYear, kRecalcMonth, kBonusTax };

class MainWindow : public QMainWindow {
  public:
    MainWindow();

    // Opens a database URL (sqlite:PATH or postgresql://...); on failure the
    // window says why and the database open before stays closed.
    bool OpenDatabaseUrl(const QString& url);
    void SetCompanyMonth(const QString& company, const QString& month);
    // Runs the front's picker for the company and month; true when a run
    // was chosen (it becomes the picked run).
    bool PickRun();
    // Picks run `place` (from 1) of the month without the picker.
    bool PickRunAt(int place);
    const std::optional<HPHONPD_YMD_FMT>& PickedRun() const { return run_; }
    // Drives a road on the picked run and shows how it ended.
    std::optional<RoadReport> Drive(Road road, const BuildChoices& choices = {});
    // Shows the employee viewer for one employee of the picked run.
    bool ShowEmployee(const QString& employee);
    // Re-reads the month's results and the year's chart.
    void RefreshResults();
    // Writes the shown results as CSV; false (said in the window) on failure.
    bool ExportCsv(const QString& path);
    // Writes the papers of the company and month shown (ledgers: of its
    // year) into `folder` as PDF; says in the window how it ended (the files
    // written, or why not) and returns whether they were written.
    bool PrintToPdf(Paper paper, const QString& folder);
    // Opens the import window on a company folder (its check first, nothing
    // written until Import); once imported, the companies are read again.
    void ImportFolder(const QString& folder);
    // The employee list of the company and month shown; false (said in the
    // window) when they cannot be read or there are none.
    bool ShowEmployeeList();
    // Switches the desk, and the library's windows and reads, to a language
    // (0 Korean, 1 English), rebuilding the window's texts; kept in the
    // settings when `keep`.
    void SwitchLanguage(int language, bool keep = true);
    // What is on screen now, with the rows it shows (scripts and screenshots).
    QString CompanyShown() const;
    QString MonthShown() const;

    ResultsView* Results() const { return results_; }
    YearChart* Chart() const { return chart_; }
    QTabWidget* Tabs() const { return tabs_; }
    QLabel* MessageLine() const { return message_; }
    bool Busy() const { return busy_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildFace();
    void Say(const QString& text, bool failure);
    void SetBusy(bool busy);
    void UpdateRecentMenu();
    void UpdateRunLine();
    void ReadCompanies();
    bool CheckCompanyMonth(std::string* company, std::string* month);
    // The pay runs of the company and month typed in; false, with a message
    // shown, when those are not valid or the runs cannot be read.
    bool MonthRuns(std::string* company, std::string* month, std::vector<HPHONPD_YMD_FMT>* runs);
    void AskSqlite();
    void AskPostgres();
    void AskBuild();
    void AskEmployee();
    void AskCsv();
    void AskPrint(Paper paper);
    void AskImport();

    std::optional<HPHONPD_YMD_FMT> run_;
    bool busy_ = false;
    QLabel* database_ = nullptr;
    QComboBox* company_ = nullptr;
    QLineEdit* month_ = nullptr;
    QLabel* run_line_ = nullptr;
    QMenu* recent_ = nullptr;
    QMenu* language_ = nullptr;
    QWidget* controls_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    ResultsView* results_ = nullptr;
    YearChart* chart_ = nullptr;
    QLabel* message_ = nullptr;
};

// The text of a road's report, in the user's language.
QString ReportText(const RoadReport& report);

}  // namespace payroll::desk
