// The host program's dialog drivers. TuiDriver works a modal dialog of the
// library in the terminal with ncurses: its list moves with the arrow keys,
// Enter or a double-click confirms, Escape cancels (or closes a dialog that
// has only an OK button). PrintDriver answers a modal dialog without any
// interaction: it keeps what the dialog showed and presses OK. Messages go
// to standard error as with the terminal driver.
#pragma once

#include <string>
#include <vector>

#include "cli/faces/terminal_driver.h"
#include "cli/faces/tui_snapshot.h"

namespace payroll::cli {

class PrintDriver : public TerminalDriver {
  public:
    PrintDriver() : TerminalDriver(stderr, false) {}

    int MessageBox(const CString& text, const CString& caption, UINT style) override;
    void RunModal(payroll::ui::UiDialog& dialog) override;
    // The waiting window of a short read is not worth a line.
    void SplashShown(int, const CString&, const CString&) override {}

    // Registration numbers show whole only when asked (--show-rrn); by
    // default every face hides all but their first seven digits.
    void ShowRegistrationNumbers(bool show) { show_rrn_ = show; }

    // What the last modal dialog showed when it was answered.
    const DialogSnapshot& Shown() const { return shown_; }
    bool AnyShown() const { return any_shown_; }
    int MessageCount() const { return messages_; }

  protected:
    // The dialog as this face shows it: captured, registration numbers
    // hidden unless asked for.
    DialogSnapshot Look(payroll::ui::UiDialog& dialog) const;
    void CountMessage() { ++messages_; }
    void Keep(const DialogSnapshot& shown) {
        shown_ = shown;
        any_shown_ = true;
    }

  private:
    DialogSnapshot shown_;
    bool any_shown_ = false;
    bool show_rrn_ = false;
    int messages_ = 0;
};

class TuiDriver : public PrintDriver {
  public:
    int MessageBox(const CString& text, const CString& caption, UINT style) override;
    void RunModal(payroll::ui::UiDialog& dialog) override;

    // False when the terminal could not be set up for the last dialog.
    bool TerminalWorked() const { return terminal_worked_; }
    // Draws on this terminal instead of standard input and output (not
    // owned), so that standard output stays free for results.
    void UseTerminal(std::FILE* terminal) { terminal_ = terminal; }

  private:
    void FlushHeldMessages();

    bool active_ = false;
    bool terminal_worked_ = true;
    std::FILE* terminal_ = nullptr;
    std::vector<std::string> held_;
};

}  // namespace payroll::cli
