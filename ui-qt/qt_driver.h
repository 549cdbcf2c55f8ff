// The Qt face of the library's windows: a payroll::ui::UiDriver whose modal
// dialogs are QDialogs run modally, whose modeless dialogs (the engine's
// progress) stay open while the engine works, and whose message boxes and
// waiting notices are real windows. Everything runs on the GUI thread: at
// each text and progress change the driver processes pending events, so
// the windows stay painted and answer while the engine runs.
//
// Create it after the QApplication and install it with
// payroll::ui::InstallUiDriver (or ScopedUiDriver).
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "payroll/ui.h"

namespace payroll::qt {

class DialogWindow;

class QtDriver : public payroll::ui::UiDriver {
  public:
    // parent: the window the library's windows belong to (may be null).
    explicit QtDriver(QWidget* parent = nullptr);
    ~QtDriver() override;

    void SetParent(QWidget* parent) { parent_ = parent; }
    // Called with the window of every modal dialog once it is shown, and of
    // a modeless dialog at each of its changes (tests and screenshots).
    using WindowHook = std::function<void(DialogWindow& window)>;
    void SetModalHook(WindowHook hook) { modal_hook_ = std::move(hook); }
    void SetChangeHook(WindowHook hook) { change_hook_ = std::move(hook); }

    // Open modeless windows and waiting notices.
    int OpenWindows() const { return static_cast<int>(windows_.size()); }
    int OpenNotices() const { return static_cast<int>(notices_.size()); }
    // The last state of a bar of a modeless dialog (by template and control).
    payroll::ui::ProgressInfo LastProgress(int template_id, int control_id) const;
    // Message boxes shown so far, and the text of the last one.
    int MessageCount() const { return messages_; }
    const CString& LastMessage() const { return last_message_; }
    // When set, a message box is shown and at once answered with its default
    // button (unattended runs: screenshots, tests).
    void SetAutoAnswer(bool on) { auto_answer_ = on; }

    int MessageBox(const CString& text, const CString& caption, UINT style) override;
    void RunModal(payroll::ui::UiDialog& dialog) override;
    void ModalEnded(payroll::ui::UiDialog& dialog, int result) override;
    void DialogOpened(payroll::ui::UiDialog& dialog) override;
    void DialogClosed(payroll::ui::UiDialog& dialog) override;
    void TextChanged(payroll::ui::UiDialog& dialog, int control_id, const CString& text) override;
    void ProgressChanged(payroll::ui::UiDialog* dialog, int control_id,
                         const payroll::ui::ProgressInfo& info) override;
    void SplashShown(int splash, const CString& text, const CString& second) override;
    void SplashHidden(int splash) override;

  private:
    DialogWindow* WindowOf(payroll::ui::UiDialog& dialog);
    void Changed(DialogWindow& window);

    QPointer<QWidget> parent_;
    double scale_;
    WindowHook modal_hook_;
    WindowHook change_hook_;
    std::map<payroll::ui::UiDialog*, std::unique_ptr<DialogWindow>> windows_;
    std::map<int, std::unique_ptr<QWidget>> notices_;
    std::map<std::pair<int, int>, payroll::ui::ProgressInfo> progress_;
    int messages_ = 0;
    CString last_message_;
    bool auto_answer_ = false;
};

// Processes the events waiting now (painting included), never blocking.
void KeepResponsive();

}  // namespace payroll::qt
