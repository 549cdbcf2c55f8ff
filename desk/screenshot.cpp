#include "desk/screenshot.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QTabWidget>

#include "desk/main_window.h"
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
                    const QString& file, QString* error) {
    driver.SetAutoAnswer(true);
    window.show();
    QApplication::processEvents();
    bool shown = false;
    if (show == QLatin1String("results") || show == QLatin1String("chart")) {
        window.Tabs()->setCurrentIndex(show == QLatin1String("results") ? 0 : 1);
        return Save(window, file, error);
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
