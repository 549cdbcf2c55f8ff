// The host program's UI driver: messages and waiting-window texts go to
// standard error; progress shows as a bar on standard error when it is a
// terminal, and not at all otherwise. On a terminal a bar whose work ended
// without a failure is drawn full before its line ends, and a waiting text
// shows on a line of its own that is wiped when the wait ends. Modal dialogs
// are answered with the result set (Cancel by default), as nobody can work
// them here yet.
#pragma once

#include <cstdio>
#include <string>

#include "payroll/ui.h"

namespace payroll::cli {

class TerminalDriver : public payroll::ui::UiDriver {
  public:
    // err: where everything goes (standard error by default); show_bars:
    // whether progress bars are drawn (by default: when err is a terminal).
    explicit TerminalDriver(std::FILE* err = stderr);
    TerminalDriver(std::FILE* err, bool show_bars);
    ~TerminalDriver() override;

    void SetModalResult(int button) { modal_result_ = button; }
    // The terminal's width in cells (read from the terminal, else 80); a bar
    // line stays one cell narrower, so it never wraps.
    void SetColumns(int columns) { columns_ = columns < 40 ? 40 : columns; }
    // Quiet: no bars and no waiting-window notices; message boxes still show.
    void SetQuiet(bool quiet) {
        quiet_ = quiet;
        if (quiet) show_bars_ = false;
    }

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
    // Ends a bar's line; wipes a waiting text.
    void EndBarLine();
    void DrawBar();
    // Draws a line over the current one, blanking what a longer one left.
    void Redraw(const std::string& line);

    std::FILE* err_;
    bool show_bars_;
    bool quiet_ = false;
    bool bar_on_line_ = false;      // a bar is drawn on the current line
    bool waiting_on_line_ = false;  // a waiting text is, to be wiped when the wait ends
    std::string drawn_;             // the bar line as last drawn (redrawn only when it changes)
    int drawn_cells_ = 0;
    int columns_ = 80;
    int modal_result_ = IDCANCEL;
    int first_bar_ = 0;  // control id of the bar shown
    CString title_;
    CString line_;
    payroll::ui::ProgressInfo bar_;
};

}  // namespace payroll::cli
