#include "ui-qt/qt_driver.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "ui-qt/dialog_font.h"
#include "ui-qt/dialog_window.h"
#include "ui-qt/qstr.h"
#include "ui-qt/win_codes.h"

namespace payroll::qt {
namespace {

// The waiting notice's colours: dark blue text on white.
constexpr COLORREF kNoticeText = 0x800000;
constexpr COLORREF kNoticeBack = 0xFFFFFF;

}  // namespace

void KeepResponsive() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QtDriver::QtDriver(QWidget* parent) : parent_(parent), scale_(TemplateScale(DialogFont())) {}

QtDriver::~QtDriver() = default;

payroll::ui::ProgressInfo QtDriver::LastProgress(int template_id, int control_id) const {
    auto it = progress_.find({template_id, control_id});
    return it == progress_.end() ? payroll::ui::ProgressInfo{} : it->second;
}

int QtDriver::MessageBox(const CString& text, const CString& caption, UINT style) {
    ++messages_;
    last_message_ = text;
    QMessageBox box(IconOf(style), QStr(caption), QStr(text), ButtonsOf(style), parent_);
    box.setFont(DialogFont());
    box.setObjectName(QStringLiteral("payrollMessage"));
    if (auto_answer_) {
        box.show();
        KeepResponsive();
        return payroll::ui::DefaultMessageBoxAnswer(style);
    }
    const int clicked = box.exec();
    return ResultOf(static_cast<QMessageBox::StandardButton>(clicked));
}

void QtDriver::RunModal(payroll::ui::UiDialog& dialog) {
    if (dialog.IsEnded()) return;
    DialogWindow window(dialog, scale_, parent_);
    window.setFont(DialogFont());
    window.setModal(true);
    if (modal_hook_) {
        WindowHook hook = modal_hook_;
        QTimer::singleShot(0, &window, [hook, &window] { hook(window); });
    }
    window.exec();
}

void QtDriver::ModalEnded(payroll::ui::UiDialog&, int) {}

void QtDriver::DialogOpened(payroll::ui::UiDialog& dialog) {
    auto window = std::make_unique<DialogWindow>(dialog, scale_, parent_);
    window->setFont(DialogFont());
    window->setWindowModality(Qt::NonModal);
    window->show();
    windows_[&dialog] = std::move(window);
    KeepResponsive();
}

void QtDriver::DialogClosed(payroll::ui::UiDialog& dialog) {
    windows_.erase(&dialog);
    KeepResponsive();
}

DialogWindow* QtDriver::WindowOf(payroll::ui::UiDialog& dialog) {
    auto it = windows_.find(&dialog);
    return it == windows_.end() ? nullptr : it->second.get();
}

void QtDriver::Changed(DialogWindow& window) {
    if (change_hook_) change_hook_(window);
    KeepResponsive();
}

void QtDriver::TextChanged(payroll::ui::UiDialog& dialog, int control_id, const CString& text) {
    if (DialogWindow* window = WindowOf(dialog)) {
        window->SetText(control_id, text);
        Changed(*window);
    }
}

void QtDriver::ProgressChanged(payroll::ui::UiDialog* dialog, int control_id,
                               const payroll::ui::ProgressInfo& info) {
    progress_[{dialog ? dialog->TemplateId() : 0, control_id}] = info;
    DialogWindow* window = dialog ? WindowOf(*dialog) : nullptr;
    if (!window) {
        KeepResponsive();
        return;
    }
    window->SetProgress(control_id, info);
    Changed(*window);
}

void QtDriver::SplashShown(int splash, const CString& text, const CString& second) {
    auto& notice = notices_[splash];
    if (!notice) {
        notice = std::make_unique<QWidget>(
            parent_, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        notice->setObjectName(QStringLiteral("payrollNotice"));
        notice->setAutoFillBackground(true);
        QPalette colours = notice->palette();
        colours.setColor(QPalette::Window, ColorOf(kNoticeBack));
        colours.setColor(QPalette::WindowText, ColorOf(kNoticeText));
        notice->setPalette(colours);
        notice->setFont(DialogFont());
        auto* layout = new QVBoxLayout(notice.get());
        layout->setContentsMargins(24, 16, 24, 16);
        layout->addWidget(new QLabel(notice.get()));
        layout->addWidget(new QLabel(notice.get()));
    }
    const QList<QLabel*> lines = notice->findChildren<QLabel*>();
    if (lines.size() == 2) {
        lines[0]->setText(QStr(text));
        lines[1]->setText(QStr(second));
        lines[1]->setVisible(!second.IsEmpty());
    }
    notice->adjustSize();
    const QWidget* over = parent_ ? parent_.data() : nullptr;
    const QRect area = over ? over->geometry()
                            : (QGuiApplication::primaryScreen()
                                   ? QGuiApplication::primaryScreen()->availableGeometry()
                                   : QRect(0, 0, 800, 600));
    notice->move(area.center() - notice->rect().center());
    notice->show();
    notice->raise();
    KeepResponsive();
}

void QtDriver::SplashHidden(int splash) {
    notices_.erase(splash);
    KeepResponsive();
}

}  // namespace payroll::qt
