// The UI driver: everything the library would show (message boxes, modal and
// modeless dialogs, progress bars, waiting windows) goes to one driver that
// the host installs, and every sleep goes to one clock. The library ships a
// headless driver (the default: it records what would be shown and answers
// modal dialogs with Cancel), a scripted driver for tests, an instant clock
// for tests and the real clock (the default).
//
// All of this runs on the host's one user-interface thread.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <vector>

#include "payroll/cstring.h"
#include "payroll/export.h"
#include "payroll/wnd.h"

namespace payroll::ui {

// How a cell shows: its text through the column's mask, and its alignment.
struct CellLook {
    enum class Align { kLeft, kCenter, kRight };
    CString text;
    Align align = Align::kLeft;
};

// A list grid of a dialog, as a driver sees and works it.
class PAYROLL_API UiGrid {
  public:
    virtual ~UiGrid();
    // The grid's control id in its dialog.
    virtual int ControlId() const = 0;
    // Rows of the grid.
    virtual long RowCount() const = 0;
    // Columns of the grid, hidden ones included.
    virtual int ColCount() const = 0;
    // The text a cell shows (column -1: the side heading).
    virtual CString CellText(int col, long row) const = 0;
    // The cell as a window shows it: dates and amounts through the column's
    // mask (CellText keeps the stored text). By default the text, left.
    virtual CellLook ShownCell(int col, long row) const;
    // The heading of a column (empty outside the grid).
    virtual CString ColumnTitle(int col) const = 0;
    virtual int ColumnWidth(int col) const = 0;  // 0: hidden
    virtual long CurrentRow() const = 0;         // -1: no current row
    // The column of the current cell.
    virtual int CurrentCol() const = 0;
    // Moves the current cell as a click would (the grid may refuse).
    virtual bool SelectCell(int col, long row) = 0;
    // A key press or typed character on the grid, after the dialog's
    // pre-translation; a double-click on a cell.
    virtual void KeyDown(UINT key) = 0;
    // A typed character (UTF-32), after the dialog's pre-translation.
    virtual void Char(UINT ch) = 0;
    // A double-click on a cell; the picker confirms its row.
    virtual void DoubleClick(int col, long row) = 0;
    // The user drags a column border; false when the grid refuses.
    virtual bool ResizeColumn(int col, int width) = 0;
};

// One child window of a dialog, as UiDialog::Controls lists it.
struct ControlInfo {
    int id = 0;
    CString kind;  // "button", "static", "progress", "grid", "form", "window"
    CString text;
    CRect rect;  // in the dialog's client coordinates
    bool visible = false;
    bool enabled = true;
};

// A dialog of the library, as a driver sees and works it.
class PAYROLL_API UiDialog {
  public:
    virtual ~UiDialog();
    // The dialog's template number (1004, 1014, 1016).
    virtual int TemplateId() const = 0;
    // The dialog's title text.
    virtual CString Title() const = 0;
    // True for a modal dialog (run through UiDriver::RunModal).
    virtual bool IsModal() const = 0;
    virtual std::vector<ControlInfo> Controls() const = 0;  // existing child windows
    // The text of control `id` (empty when there is none).
    virtual CString ControlText(int id) const = 0;
    // The list grid with that control id (0: the first one), or null.
    virtual UiGrid* FindGrid(int control_id) = 0;
    // A key press or character for the window with the focus (the dialog
    // when the focus is elsewhere), through pre-translation.
    virtual void PressKey(UINT key) = 0;
    // A typed character for the window with the focus.
    virtual void TypeChar(UINT ch) = 0;
    // A click on button `id` (IDOK, IDCANCEL, ...).
    virtual void PressButton(int id) = 0;
    // True once the dialog was ended (a button, a key, a double-click).
    virtual bool IsEnded() const = 0;
    // The result the dialog ended with (IDOK, IDCANCEL, ...).
    virtual int Result() const = 0;
    // The dialog's own window object.
    virtual CWnd* Window() = 0;
};

// The state of a progress bar.
struct ProgressInfo {
    int lower = 0;
    int upper = 100;
    int pos = 0;
    bool show_percent = false;
    COLORREF start_color = 0;
    COLORREF end_color = 0;
    // Position within the range, 0 to 100.
    int Percent() const {
        long long span = static_cast<long long>(upper) - lower;
        if (span <= 0) return pos >= upper ? 100 : 0;
        long long done = static_cast<long long>(pos) - lower;
        if (done <= 0) return 0;
        if (done >= span) return 100;
        return static_cast<int>(done * 100 / span);
    }
};

// One thing the library showed, as a HeadlessDriver records it.
struct UiEvent {
    enum class Kind {
        kMessageBox,    // text, caption, style, result
        kModalShown,    // dialog_id, text = title
        kModalEnded,    // dialog_id, result
        kDialogOpened,  // a modeless dialog was created: dialog_id, text = title
        kDialogClosed,  // dialog_id
        kText,          // a window text of an open dialog: dialog_id, control_id (0: title)
        kProgress,      // dialog_id, control_id, progress
        kSplashShown,   // control_id = splash number, text, caption = second text
        kSplashHidden,  // control_id = splash number
    };
    Kind kind = Kind::kMessageBox;
    int dialog_id = 0;
    int control_id = 0;
    CString text;
    CString caption;
    UINT style = 0;
    int result = 0;
    ProgressInfo progress;
};

// What a host implements to show the library's messages, dialogs and progress.
class PAYROLL_API UiDriver {
  public:
    virtual ~UiDriver();
    // Shows a message and returns the button pressed (IDOK, IDYES, ...).
    virtual int MessageBox(const CString& text, const CString& caption, UINT style) = 0;
    // Runs a modal dialog until it ends (the driver presses a button, a key,
    // ...). When it returns with the dialog still running, the dialog is
    // cancelled.
    virtual void RunModal(UiDialog& dialog) = 0;
    // A modal dialog ended with that result.
    virtual void ModalEnded(UiDialog& dialog, int result) = 0;
    virtual void DialogOpened(UiDialog& dialog) = 0;  // modeless
    virtual void DialogClosed(UiDialog& dialog) = 0;  // modeless
    // A window text of an open dialog changed (control_id 0: its title).
    virtual void TextChanged(UiDialog& dialog, int control_id, const CString& text) = 0;
    // dialog is null for a bar outside any dialog.
    virtual void ProgressChanged(UiDialog* dialog, int control_id, const ProgressInfo& info) = 0;
    // A waiting or closing notice appeared with its two lines.
    virtual void SplashShown(int splash, const CString& text, const CString& second) = 0;
    // That notice went away.
    virtual void SplashHidden(int splash) = 0;
};

// Where the library's sleeps go.
class PAYROLL_API UiClock {
  public:
    virtual ~UiClock();
    // Waits (or pretends to) for that long.
    virtual void Sleep(unsigned milliseconds) = 0;
};

// Installs a driver (not owned; it must outlive its use) and returns the one
// it replaces. nullptr re-installs the built-in headless driver.
PAYROLL_API UiDriver* InstallUiDriver(UiDriver* driver);
// The driver in use (the headless one when the host installed none).
PAYROLL_API UiDriver& CurrentUiDriver();
// The same for the clock; nullptr re-installs the real clock.
PAYROLL_API UiClock* InstallClock(UiClock* clock);
// The clock in use (the real one unless replaced).
PAYROLL_API UiClock& CurrentClock();

// The button a message box answers with when nobody presses one: its first
// (OK, Yes, Abort, Retry).
PAYROLL_API int DefaultMessageBoxAnswer(UINT style);

// Records every event in memory; modal dialogs end with the modal result
// (IDCANCEL unless set), message boxes with the answer set (0: the default
// button of their style).
class PAYROLL_API HeadlessDriver : public UiDriver {
  public:
    HeadlessDriver();
    ~HeadlessDriver() override;

    // The button every later modal dialog ends with.
    void SetModalResult(int button) { modal_result_ = button; }
    // The answer of every later message box (0: its default button).
    void SetMessageBoxAnswer(int answer) { message_box_answer_ = answer; }

    // Everything recorded so far, in order.
    const std::vector<UiEvent>& events() const { return events_; }
    // The recorded events of one kind, in order.
    std::vector<UiEvent> EventsOf(UiEvent::Kind kind) const;
    // The texts of all message boxes so far, in order.
    std::vector<CString> Messages() const;
    // Forgets every recorded event.
    void Clear() { events_.clear(); }
    // Keeps no more than `limit` events, the latest, dropping the older half
    // when the record is full (0, the default: keeps every event). The
    // library's own driver, in use while the host installs none, keeps
    // kBuiltinRecordLimit, so that a long year does not fill memory with
    // progress lines nobody reads.
    void SetRecordLimit(std::size_t limit) { limit_ = limit; }
    static constexpr std::size_t kBuiltinRecordLimit = 1000;

    int MessageBox(const CString& text, const CString& caption, UINT style) override;
    void RunModal(UiDialog& dialog) override;
    void ModalEnded(UiDialog& dialog, int result) override;
    void DialogOpened(UiDialog& dialog) override;
    void DialogClosed(UiDialog& dialog) override;
    void TextChanged(UiDialog& dialog, int control_id, const CString& text) override;
    void ProgressChanged(UiDialog* dialog, int control_id, const ProgressInfo& info) override;
    void SplashShown(int splash, const CString& text, const CString& second) override;
    void SplashHidden(int splash) override;

  protected:
    // Adds an event to the record.
    void Record(UiEvent event);
    // Records kModalShown for a dialog about to run.
    void RecordModalShown(UiDialog& dialog);

  private:
    std::vector<UiEvent> events_;
    int modal_result_ = IDCANCEL;
    int message_box_answer_ = 0;
    std::size_t limit_ = 0;
};

// For tests: answers each modal dialog with the next script in line (the
// script gets the running dialog and works it: selects a row, presses a key
// or a button), and each message box with the next scripted answer. With no
// script left it behaves as the headless driver.
class PAYROLL_API ScriptedDriver : public HeadlessDriver {
  public:
    using ModalScript = std::function<void(UiDialog&)>;
    ScriptedDriver();
    ~ScriptedDriver() override;

    // Queues the script that works the next modal dialog.
    void AddModalScript(ModalScript script) { scripts_.push_back(std::move(script)); }
    // Shorthand: the next modal dialog is ended by pressing this button.
    void AnswerNextModal(int button);
    // Queues the answer of the next message box.
    void AddMessageBoxAnswer(int answer) { answers_.push_back(answer); }
    // Scripts not yet used.
    int PendingScripts() const { return static_cast<int>(scripts_.size()); }

    int MessageBox(const CString& text, const CString& caption, UINT style) override;
    void RunModal(UiDialog& dialog) override;

  private:
    std::deque<ModalScript> scripts_;
    std::deque<int> answers_;
};

// Sleeps for real.
class PAYROLL_API SystemClock : public UiClock {
  public:
    void Sleep(unsigned milliseconds) override;
};

// Returns at once and adds up what it was asked to sleep.
class PAYROLL_API InstantClock : public UiClock {
  public:
    void Sleep(unsigned milliseconds) override {
        total_ms_ += milliseconds;
        ++calls_;
    }
    // Milliseconds asked for so far.
    unsigned long long total_ms() const { return total_ms_; }
    // Sleeps asked for so far.
    int calls() const { return calls_; }

  private:
    unsigned long long total_ms_ = 0;
    int calls_ = 0;
};

// Installs a driver or clock for the life of a scope.
class ScopedUiDriver {
  public:
    // Installs `driver` until the end of the scope (the old one comes back).
    explicit ScopedUiDriver(UiDriver* driver) : previous_(InstallUiDriver(driver)) {}
    ~ScopedUiDriver() { InstallUiDriver(previous_); }
    ScopedUiDriver(const ScopedUiDriver&) = delete;
    ScopedUiDriver& operator=(const ScopedUiDriver&) = delete;

  private:
    UiDriver* previous_;
};

// Installs a clock for the life of a scope.
class ScopedClock {
  public:
    // Installs `clock` until the end of the scope (the old one comes back).
    explicit ScopedClock(UiClock* clock) : previous_(InstallClock(clock)) {}
    ~ScopedClock() { InstallClock(previous_); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

  private:
    UiClock* previous_;
};

}  // namespace payroll::ui
