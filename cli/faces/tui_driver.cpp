#include "cli/faces/tui_driver.h"

#include <ncursesw/curses.h>

#include <algorithm>
#include <cstdio>

#include "cli/faces/tui_text.h"

namespace payroll::cli {
namespace {

constexpr int kBodyTop = 2;  // the title, then a blank line

// One line of the dialog's body; grid_row >= 0 for a row of the list.
struct BodyLine {
    std::string text;
    long grid_row = -1;
    bool header = false;
};

std::vector<BodyLine> BodyOf(const DialogSnapshot& shown, int width) {
    std::vector<BodyLine> body;
    if (shown.form.present) {
        for (std::string& line : FormLines(shown.form, width)) body.push_back({line, -1, false});
        body.push_back({"", -1, false});
    }
    if (shown.grid.present) {
        std::vector<std::string> table = GridLines(shown.grid, /*skip_empty=*/false);
        for (std::size_t i = 0; i < table.size(); ++i)
            body.push_back({table[i], i == 0 ? -1 : static_cast<long>(i) - 1, i == 0});
    }
    return body;
}

std::string FooterOf(const DialogSnapshot& shown, bool scrolls) {
    std::string ok = shown.ok_caption.empty() ? "OK" : shown.ok_caption;
    // A dialog with one button closes by either key: one caption for both.
    std::string footer = shown.has_cancel ? "[Enter] " + ok + "   [Esc] " + shown.cancel_caption
                                          : "[Enter/Esc] " + ok;
    if (shown.grid.present) footer += "   [\xe2\x86\x91\xe2\x86\x93] move";
    if (scrolls) footer += "   [PgUp PgDn] scroll";
    return footer;
}

// First line of the body shown, so that the current row of the list stays
// in view.
int ScrollFor(const std::vector<BodyLine>& body, long current, int height, int offset) {
    if (height <= 0) return 0;
    int line = -1;
    for (std::size_t i = 0; i < body.size(); ++i)
        if (body[i].grid_row == current && current >= 0) line = static_cast<int>(i);
    int max_offset = std::max(0, static_cast<int>(body.size()) - height);
    if (line >= 0) {
        if (line < offset) offset = line;
        if (line >= offset + height) offset = line - height + 1;
    }
    return std::clamp(offset, 0, max_offset);
}

void Put(int y, const std::string& text, attr_t attr = A_NORMAL) {
    if (y < 0 || y >= LINES) return;
    attron(attr);
    mvaddstr(y, 0, tui::PadRight(text, std::max(0, COLS - 1)).c_str());
    attroff(attr);
}

// Sends a key to the dialog the way a user's key press reaches it: to the
// list when there is one (it keeps the focus), else to the dialog.
void SendKey(payroll::ui::UiDialog& dialog, UINT key) {
    if (payroll::ui::UiGrid* grid = dialog.FindGrid(0))
        grid->KeyDown(key);
    else
        dialog.PressKey(key);
}

}  // namespace

DialogSnapshot PrintDriver::Look(payroll::ui::UiDialog& dialog) const {
    DialogSnapshot shown = Capture(dialog);
    if (!show_rrn_) MaskRegistrationNumbers(&shown);
    return shown;
}

int PrintDriver::MessageBox(const CString& text, const CString& caption, UINT style) {
    ++messages_;
    return TerminalDriver::MessageBox(text, caption, style);
}

void PrintDriver::RunModal(payroll::ui::UiDialog& dialog) {
    Keep(Look(dialog));
    dialog.PressButton(IDOK);
}

int TuiDriver::MessageBox(const CString& text, const CString& caption, UINT style) {
    if (!active_) return PrintDriver::MessageBox(text, caption, style);
    // Nothing may write over the screen: the text waits until it is gone.
    CountMessage();
    held_.push_back(caption.IsEmpty() ? text.str() : caption.str() + ": " + text.str());
    return payroll::ui::DefaultMessageBoxAnswer(style);
}

void TuiDriver::FlushHeldMessages() {
    for (const std::string& m : held_) std::fprintf(stderr, "payroll: %s\n", m.c_str());
    held_.clear();
}

void TuiDriver::RunModal(payroll::ui::UiDialog& dialog) {
    tui::UseUtf8Locale();
    SCREEN* screen =
        terminal_ ? newterm(nullptr, terminal_, terminal_) : newterm(nullptr, stdout, stdin);
    if (!screen) {
        terminal_worked_ = false;
        dialog.PressButton(IDCANCEL);
        return;
    }
    terminal_worked_ = true;
    active_ = true;
    cbreak();
    noecho();
    keypad(stdscr, TRUE);
    set_escdelay(25);
    curs_set(0);
    mousemask(BUTTON1_CLICKED | BUTTON1_DOUBLE_CLICKED, nullptr);

    int offset = 0;
    // The list's row the view last followed: the view follows the list only
    // when its row moves, so a form above it can be scrolled through.
    long followed = -2;
    while (!dialog.IsEnded()) {
        DialogSnapshot shown = Look(dialog);
        Keep(shown);
        std::vector<BodyLine> body = BodyOf(shown, std::max(1, COLS - 1));
        int height = std::max(0, LINES - kBodyTop - 1);
        const bool scrolls = shown.form.present && static_cast<int>(body.size()) > height;
        const long current = shown.grid.current_row;
        if (!scrolls || (followed != -2 && current != followed))
            offset = ScrollFor(body, current, height, offset);
        offset = std::clamp(offset, 0, std::max(0, static_cast<int>(body.size()) - height));
        followed = current;
        erase();
        Put(0, shown.title, A_BOLD);
        for (int i = 0; i < height && offset + i < static_cast<int>(body.size()); ++i) {
            const BodyLine& line =
                body[static_cast<std::size_t>(offset) + static_cast<std::size_t>(i)];
            attr_t attr = line.header ? A_BOLD | A_UNDERLINE : A_NORMAL;
            if (line.grid_row >= 0 && line.grid_row == shown.grid.current_row) attr = A_REVERSE;
            Put(kBodyTop + i, line.text, attr);
        }
        Put(LINES - 1, FooterOf(shown, scrolls), A_DIM);
        refresh();

        int ch = getch();
        switch (ch) {
            case KEY_UP:
                SendKey(dialog, VK_UP);
                break;
            case KEY_DOWN:
                SendKey(dialog, VK_DOWN);
                break;
            case KEY_PPAGE:
                if (scrolls)
                    offset -= std::max(1, height - 1);
                else
                    SendKey(dialog, VK_PRIOR);
                break;
            case KEY_NPAGE:
                if (scrolls)
                    offset += std::max(1, height - 1);
                else
                    SendKey(dialog, VK_NEXT);
                break;
            case KEY_HOME:
                SendKey(dialog, VK_HOME);
                break;
            case KEY_END:
                SendKey(dialog, VK_END);
                break;
            case '\n':
            case '\r':
            case KEY_ENTER:
                SendKey(dialog, VK_RETURN);
                if (!dialog.IsEnded()) dialog.PressButton(IDOK);
                break;
            case 27:
            case 'q':
                SendKey(dialog, VK_ESCAPE);
                if (!dialog.IsEnded()) dialog.PressButton(shown.has_cancel ? IDCANCEL : IDOK);
                break;
            case KEY_MOUSE: {
                MEVENT ev;
                if (getmouse(&ev) != OK) break;
                int line = offset + ev.y - kBodyTop;
                if (line < 0 || line >= static_cast<int>(body.size())) break;
                long row = body[static_cast<std::size_t>(line)].grid_row;
                payroll::ui::UiGrid* grid = dialog.FindGrid(0);
                if (row < 0 || !grid || shown.grid.columns.empty()) break;
                int col = shown.grid.columns.front();
                if (ev.bstate & BUTTON1_DOUBLE_CLICKED)
                    grid->DoubleClick(col, row);
                else if (ev.bstate & BUTTON1_CLICKED)
                    grid->SelectCell(col, row);
                break;
            }
            case ERR:  // the terminal went away
                dialog.PressButton(shown.has_cancel ? IDCANCEL : IDOK);
                break;
            default:
                break;
        }
    }
    endwin();
    delscreen(screen);
    active_ = false;
    FlushHeldMessages();
}

}  // namespace payroll::cli
