#include "cli/faces/terminal_driver.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <string>

#include "cli/faces/display_width.h"
#include "payroll/report.h"

namespace payroll::cli {
namespace {

constexpr int kBarWidth = 30;

// Keeps a text on one terminal line: line breaks and tabs become blanks.
std::string OneLine(const CString& text) {
    std::string out = text.str();
    for (char& c : out)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return out;
}

}  // namespace

TerminalDriver::TerminalDriver(std::FILE* err)
    : TerminalDriver(err, err && ::isatty(::fileno(err)) == 1) {}

TerminalDriver::TerminalDriver(std::FILE* err, bool show_bars)
    : err_(err ? err : stderr), show_bars_(show_bars) {
    winsize size{};
    if (::ioctl(::fileno(err_), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) SetColumns(size.ws_col);
}

TerminalDriver::~TerminalDriver() {
    EndBarLine();
}

void TerminalDriver::EndBarLine() {
    if (waiting_on_line_) {
        std::fprintf(err_, "\r%*s\r", drawn_cells_, "");
        std::fflush(err_);
    } else if (bar_on_line_) {
        std::fputc('\n', err_);
        std::fflush(err_);
    }
    bar_on_line_ = false;
    waiting_on_line_ = false;
    drawn_.clear();
    drawn_cells_ = 0;
}

void TerminalDriver::Redraw(const std::string& line) {
    const int cells = DisplayWidth(line);
    std::string out = "\r" + line;
    // Blanks over what the last, longer line left behind.
    if (cells < drawn_cells_) out.append(static_cast<std::size_t>(drawn_cells_ - cells), ' ');
    std::fputs(out.c_str(), err_);
    std::fflush(err_);
    drawn_ = line;
    drawn_cells_ = cells;
}

int TerminalDriver::MessageBox(const CString& text, const CString& caption, UINT style) {
    EndBarLine();
    if (caption.IsEmpty())
        std::fprintf(err_, "payroll: %s\n", text.c_str());
    else
        std::fprintf(err_, "payroll: %s: %s\n", caption.c_str(), text.c_str());
    std::fflush(err_);
    return payroll::ui::DefaultMessageBoxAnswer(style);
}

void TerminalDriver::RunModal(payroll::ui::UiDialog& dialog) {
    dialog.PressButton(modal_result_);
}

void TerminalDriver::ModalEnded(payroll::ui::UiDialog&, int) {}

void TerminalDriver::DialogOpened(payroll::ui::UiDialog& dialog) {
    title_ = dialog.Title();
    line_.Empty();
    bar_ = payroll::ui::ProgressInfo();
    first_bar_ = 0;
}

void TerminalDriver::DialogClosed(payroll::ui::UiDialog&) {
    // The engines keep a spare step in their ranges and close the dialog
    // when the work is done: a bar that closes while its road has noted no
    // failure has finished, and says so.
    if (bar_on_line_ && bar_.Percent() < 100 && CurrentRoadReport().failed_step.empty()) {
        bar_.pos = bar_.upper;
        DrawBar();
    }
    EndBarLine();
    title_.Empty();
    line_.Empty();
}

void TerminalDriver::TextChanged(payroll::ui::UiDialog&, int control_id, const CString& text) {
    if (control_id == 0)
        title_ = text;
    else
        line_ = text;
    if (show_bars_ && bar_on_line_) DrawBar();
}

void TerminalDriver::ProgressChanged(payroll::ui::UiDialog*, int control_id,
                                     const payroll::ui::ProgressInfo& info) {
    if (!show_bars_) return;
    // The first bar of a dialog (the lower id) counts the large steps; the
    // terminal shows that one, with the dialog's text line beside it.
    if (first_bar_ == 0 || control_id < first_bar_) first_bar_ = control_id;
    if (control_id != first_bar_) {
        if (bar_on_line_) DrawBar();
        return;
    }
    bar_ = info;
    DrawBar();
}

void TerminalDriver::DrawBar() {
    int percent = bar_.Percent();
    int filled = percent * kBarWidth / 100;
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] ";
    char number[8];
    std::snprintf(number, sizeof number, "%3d%% ", percent);
    line += number;
    // The label takes what is left of the line, cut at a whole character.
    const int room = columns_ - 1 - DisplayWidth(line);
    line += FitCells(OneLine(line_.IsEmpty() ? title_ : line_), room > 0 ? room : 0);
    // A run of a hundred thousand steps changes the line a hundred times.
    if (bar_on_line_ && line == drawn_) return;
    Redraw(line);
    bar_on_line_ = true;
    waiting_on_line_ = false;
}

void TerminalDriver::SplashShown(int, const CString& text, const CString& second) {
    if (quiet_) return;
    std::string line = "payroll: " + OneLine(text);
    if (!second.IsEmpty()) line += " " + OneLine(second);
    if (!show_bars_) {
        std::fprintf(err_, "%s\n", line.c_str());
        std::fflush(err_);
        return;
    }
    // On a terminal the text lasts as long as the wait: it goes when the
    // waiting window does, and leaves no line behind.
    if (bar_on_line_) EndBarLine();
    Redraw(FitCells(line, columns_ - 1));
    waiting_on_line_ = true;
}

void TerminalDriver::SplashHidden(int) {
    if (waiting_on_line_) EndBarLine();
}

}  // namespace payroll::cli
