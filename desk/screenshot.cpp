#include "desk/screenshot.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QTabWidget>
#include <QTableWidget>

#include "desk/desk_text.h"
#include "desk/employee_list.h"
#include "desk/import_window.h"
#include "desk/main_window.h"
#include "desk/results_view.h"
#include "desk/roads.h"
#include "payroll/reading.h"
#include "payroll/ui.h"
#include "ui-qt/dialog_window.h"
#include "ui-qt/gradient_bar.h"
#include "ui-qt/qt_driver.h"

namespace payroll::desk {
namespace {

bool Save(QWidget& widget, const QString& file, QString* error) {
    widget.show();
    QApplication::processEvents();
    if (!widget.grab().save(file, "PNG")) {
        *error = QStringLiteral("cannot write ") + file;
        return false;
    }
    return true;
}

// Saves the first modal window the library shows, then leaves it.
bool SaveNextModal(payroll::qt::QtDriver& driver, const QString& file, bool* shown,
                   QString* error) {
    driver.SetModalHook([file, shown, error](payroll::qt::DialogWindow& modal) {
        *shown = Save(modal, file, error);
        modal.reject();
    });
    return true;
}

}  // namespace

bool TakeScreenshot(MainWindow& window, payroll::qt::QtDriver& driver, const QString& show,
                    const QString& file, const QString& folder, QString* error) {
    driver.SetAutoAnswer(true);
    window.show();
    QApplication::processEvents();
    bool shown = false;
    if (show == QLatin1String("results") || show == QLatin1String("chart")) {
        // An empty table is no picture of the results: say why there is none.
        if (window.Results()->Table()->rowCount() == 0) {
            *error = window.MessageLine()->text();
            if (error->isEmpty()) *error = QStringLiteral("no results to show");
            return false;
        }
        window.Tabs()->setCurrentIndex(show == QLatin1String("results") ? 0 : 1);
        return Save(window, file, error);
    }
    if (show == QLatin1String("import") || show == QLatin1String("imported")) {
        if (folder.isEmpty()) {
            *error = QStringLiteral("--show ") + show + QStringLiteral(" needs --folder DIR");
            return false;
        }
        ImportWindow importing(folder, &window);
        if (show == QLatin1String("imported") && !importing.Import()) {
            *error = importing.Summary()->text();
            return false;
        }
        return Save(importing, file, error);
    }
    if (show == QLatin1String("employees")) {
        std::vector<ListedEmployee> employees;
        std::string why;
        const std::string company = window.CompanyShown().toStdString();
        const std::string month = window.MonthShown().toStdString();
        if (!ReadMonthEmployees(company, month, &employees, &why) || employees.empty()) {
            *error = why.empty() ? QStringLiteral("the month has no employees")
                                 : QString::fromStdString(why);
            return false;
        }
        EmployeeList list(Tr(kEmployeeListTitle).arg(window.CompanyShown(), window.MonthShown()),
                          std::move(employees), nullptr, &window);
        return Save(list, file, error);
    }
    if (show == QLatin1String("picker")) {
        SaveNextModal(driver, file, &shown, error);
        window.PickRun();
    } else if (show == QLatin1String("viewer")) {
        if (!window.PickRunAt(1)) {
            *error = window.MessageLine()->text();
            return false;
        }
        std::vector<reading::RunEmployee> employees;
        std::string why;
        if (!reading::ReadRunEmployees(*window.PickedRun(), &employees, &why) ||
            employees.empty()) {
            *error = QString::fromStdString(why.empty() ? "the run has no employees" : why);
            return false;
        }
        SaveNextModal(driver, file, &shown, error);
        window.ShowEmployee(QString::fromStdString(employees.front().code));
    } else if (show == QLatin1String("progress")) {
        if (!window.PickRunAt(1)) {
            *error = window.MessageLine()->text();
            return false;
        }
        // The window as it is halfway, or at its last change when it never
        // gets there.
        QPixmap picture;
        bool halfway = false;
        driver.SetChangeHook([&](payroll::qt::DialogWindow& progress) {
            payroll::qt::GradientBar* bar = progress.Bar(1001);
            if (halfway || !bar) return;
            progress.show();
            QApplication::processEvents();
            picture = progress.grab();
            halfway = bar->Info().Percent() >= 50;
        });
        window.Drive(Road::kRecalcMonth);
        driver.SetChangeHook({});
        shown = !picture.isNull() && picture.save(file, "PNG");
        if (!shown && error->isEmpty()) *error = QStringLiteral("no progress was shown");
    } else {
        *error = QStringLiteral("unknown window: ") + show;
        return false;
    }
    driver.SetModalHook({});
    if (!shown && error->isEmpty()) *error = window.MessageLine()->text();
    return shown;
}

}  // namespace payroll::desk
