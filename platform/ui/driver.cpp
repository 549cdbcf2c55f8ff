// The installed UI driver and clock, and the two drivers the library ships.
#include <time.h>

#include <atomic>
#include <cerrno>

#include "payroll/ui.h"

namespace payroll::ui {
namespace {

// An event of `dialog`: its kind and the dialog's template.
UiEvent DialogEvent(UiEvent::Kind kind, UiDialog& dialog) {
    UiEvent e;
    e.kind = kind;
    e.dialog_id = dialog.TemplateId();
    return e;
}

// The library's own driver keeps only the latest events.
struct BuiltinHeadlessDriver : HeadlessDriver {
    BuiltinHeadlessDriver() { SetRecordLimit(kBuiltinRecordLimit); }
};

HeadlessDriver& BuiltinDriver() {
    static BuiltinHeadlessDriver driver;
    return driver;
}
SystemClock& BuiltinClock() {
    static SystemClock clock;
    return clock;
}
std::atomic<UiDriver*> g_driver{nullptr};
std::atomic<UiClock*> g_clock{nullptr};

}  // namespace

UiGrid::~UiGrid() = default;
CellLook UiGrid::ShownCell(int col, long row) const {
    CellLook look;
    look.text = CellText(col, row);
    return look;
}
UiDialog::~UiDialog() = default;
UiDriver::~UiDriver() = default;
UiClock::~UiClock() = default;

UiDriver* InstallUiDriver(UiDriver* driver) {
    UiDriver* old = g_driver.exchange(driver);
    return old ? old : &BuiltinDriver();
}

UiDriver& CurrentUiDriver() {
    UiDriver* d = g_driver.load();
    return d ? *d : BuiltinDriver();
}

UiClock* InstallClock(UiClock* clock) {
    UiClock* old = g_clock.exchange(clock);
    return old ? old : &BuiltinClock();
}

UiClock& CurrentClock() {
    UiClock* c = g_clock.load();
    return c ? *c : BuiltinClock();
}

void SystemClock::Sleep(unsigned milliseconds) {
    timespec ts{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

int DefaultMessageBoxAnswer(UINT style) {
    switch (style & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return IDOK;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        case MB_YESNOCANCEL:
        case MB_YESNO:
            return IDYES;
        case MB_RETRYCANCEL:
            return IDRETRY;
        default:
            return IDOK;
    }
}

// ---- HeadlessDriver ----

HeadlessDriver::HeadlessDriver() = default;
HeadlessDriver::~HeadlessDriver() = default;

void HeadlessDriver::Record(UiEvent event) {
    if (limit_ > 0 && events_.size() >= limit_) {
        const auto keep = static_cast<std::ptrdiff_t>(limit_ / 2);
        events_.erase(events_.begin(), events_.end() - keep);
    }
    events_.push_back(std::move(event));
}

std::vector<UiEvent> HeadlessDriver::EventsOf(UiEvent::Kind kind) const {
    std::vector<UiEvent> out;
    for (const UiEvent& e : events_)
        if (e.kind == kind) out.push_back(e);
    return out;
}

std::vector<CString> HeadlessDriver::Messages() const {
    std::vector<CString> out;
    for (const UiEvent& e : events_)
        if (e.kind == UiEvent::Kind::kMessageBox) out.push_back(e.text);
    return out;
}

int HeadlessDriver::MessageBox(const CString& text, const CString& caption, UINT style) {
    UiEvent e;
    e.kind = UiEvent::Kind::kMessageBox;
    e.text = text;
    e.caption = caption;
    e.style = style;
    e.result = message_box_answer_ ? message_box_answer_ : DefaultMessageBoxAnswer(style);
    int answer = e.result;
    Record(std::move(e));
    return answer;
}

void HeadlessDriver::RecordModalShown(UiDialog& dialog) {
    UiEvent e = DialogEvent(UiEvent::Kind::kModalShown, dialog);
    e.text = dialog.Title();
    Record(std::move(e));
}

void HeadlessDriver::RunModal(UiDialog& dialog) {
    RecordModalShown(dialog);
    dialog.PressButton(modal_result_);
}

void HeadlessDriver::ModalEnded(UiDialog& dialog, int result) {
    UiEvent e = DialogEvent(UiEvent::Kind::kModalEnded, dialog);
    e.result = result;
    Record(std::move(e));
}

void HeadlessDriver::DialogOpened(UiDialog& dialog) {
    UiEvent e = DialogEvent(UiEvent::Kind::kDialogOpened, dialog);
    e.text = dialog.Title();
    Record(std::move(e));
}

void HeadlessDriver::DialogClosed(UiDialog& dialog) {
    UiEvent e = DialogEvent(UiEvent::Kind::kDialogClosed, dialog);
    Record(std::move(e));
}

void HeadlessDriver::TextChanged(UiDialog& dialog, int control_id, const CString& text) {
    UiEvent e = DialogEvent(UiEvent::Kind::kText, dialog);
    e.control_id = control_id;
    e.text = text;
    Record(std::move(e));
}

void HeadlessDriver::ProgressChanged(UiDialog* dialog, int control_id, const ProgressInfo& info) {
    UiEvent e;
    e.kind = UiEvent::Kind::kProgress;
    e.dialog_id = dialog ? dialog->TemplateId() : 0;
    e.control_id = control_id;
    e.progress = info;
    Record(std::move(e));
}

void HeadlessDriver::SplashShown(int splash, const CString& text, const CString& second) {
    UiEvent e;
    e.kind = UiEvent::Kind::kSplashShown;
    e.control_id = splash;
    e.text = text;
    e.caption = second;
    Record(std::move(e));
}

void HeadlessDriver::SplashHidden(int splash) {
    UiEvent e;
    e.kind = UiEvent::Kind::kSplashHidden;
    e.control_id = splash;
    Record(std::move(e));
}

// ---- ScriptedDriver ----

ScriptedDriver::ScriptedDriver() = default;
ScriptedDriver::~ScriptedDriver() = default;

void ScriptedDriver::AnswerNextModal(int button) {
    AddModalScript([button](UiDialog& dialog) { dialog.PressButton(button); });
}

int ScriptedDriver::MessageBox(const CString& text, const CString& caption, UINT style) {
    if (answers_.empty()) return HeadlessDriver::MessageBox(text, caption, style);
    int answer = answers_.front();
    answers_.pop_front();
    UiEvent e;
    e.kind = UiEvent::Kind::kMessageBox;
    e.text = text;
    e.caption = caption;
    e.style = style;
    e.result = answer;
    Record(std::move(e));
    return answer;
}

void ScriptedDriver::RunModal(UiDialog& dialog) {
    if (scripts_.empty()) {
        HeadlessDriver::RunModal(dialog);
        return;
    }
    ModalScript script = std::move(scripts_.front());
    scripts_.pop_front();
    RecordModalShown(dialog);
    if (script) script(dialog);
}

}  // namespace payroll::ui
