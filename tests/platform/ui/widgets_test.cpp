// Progress bars, waiting windows, message boxes, sleeps and won amounts.
#include <gtest/gtest.h>

#include <string>

#include "payroll/ui.h"
#include "platform/lang/lang_util.h"
#include "platform/ui/afx.h"
#include "platform/ui/progress_dialog.h"
#include "platform/ui/splash.h"

namespace {

// What HfxWon writes for a format and its arguments.
template <typename... Args>
std::string WonText(const char* format, Args... args) {
    CString s;
    HfxWon(&s, format, args...);
    return s.str();
}

// What HfxWon writes for "100%% %s" with a null text argument, kept out of
// sight of the compiler's format checks. The format goes through a volatile
// pointer too: an optimising build would otherwise see the null argument and
// refuse to compile the call.
std::string WonOfNullText() {
    const char* volatile format = "100%% %s";
    const char* volatile value = nullptr;
    CString s;
    HfxWon(&s, format, value);
    return s.str();
}

using payroll::ui::HeadlessDriver;
using payroll::ui::ScopedUiDriver;
using payroll::ui::UiEvent;

TEST(ProgressDialog, EveryBarChangeIsRecorded) {
    HeadlessDriver driver;
    ScopedUiDriver scope(&driver);
    CWnd engine;
    CProgressDlg dlg(&engine);
    ASSERT_TRUE(dlg.Open());
    CRect before;
    dlg.GetWindowRect(&before);
    dlg.Shrink(10);
    CRect after;
    dlg.GetWindowRect(&after);
    EXPECT_EQ(after.Height(), before.Height() - 10);
    dlg.ShowWindow(SW_SHOW);
    CG_GradientProgressCtrl& bar = dlg.Bar(0);
    bar.SetStartColor(0x80DC00);
    bar.SetEndColor(0x800000);
    bar.ShowPercent(TRUE);
    bar.SetRange(0, 7);
    bar.SetPos(1);
    bar.SetPos(99);  // clamped to the range
    dlg.Bar(1).SetRange(0, 100);
    dlg.Bar(1).SetPos(100);
    dlg.SetText("12 employees");
    dlg.Close();
    dlg.Close();  // twice is harmless

    auto progress = driver.EventsOf(UiEvent::Kind::kProgress);
    ASSERT_EQ(progress.size(), 8u);
    const auto& last_first_bar = progress[5];
    EXPECT_EQ(last_first_bar.dialog_id, 1004);
    EXPECT_EQ(last_first_bar.control_id, payroll::ui::kProgressBar1Id);
    EXPECT_EQ(last_first_bar.progress.upper, 7);
    EXPECT_EQ(last_first_bar.progress.pos, 7);
    EXPECT_EQ(last_first_bar.progress.Percent(), 100);
    EXPECT_TRUE(last_first_bar.progress.show_percent);
    EXPECT_EQ(last_first_bar.progress.start_color, 0x80DC00u);
    EXPECT_EQ(progress[4].progress.Percent(), 14);
    EXPECT_EQ(progress[7].control_id, payroll::ui::kProgressBar2Id);
    auto texts = driver.EventsOf(UiEvent::Kind::kText);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back().text, "12 employees");
    EXPECT_EQ(driver.EventsOf(UiEvent::Kind::kDialogClosed).size(), 1u);
}

TEST(ProgressInfo, PercentStaysInBoundsForOddRanges) {
    struct Case {
        int lower, upper, pos, want;
    } cases[] = {
        {0, 0, 0, 100}, {0, 100, 50, 50}, {10, 20, 15, 50}, {0, 3, 1, 33},
        {0, 3, 5, 100}, {5, 5, 4, 0},     {-10, 10, 0, 50}, {0, 2000000000, 2000000000, 100}};
    for (const Case& c : cases) {
        payroll::ui::ProgressInfo info;
        info.lower = c.lower;
        info.upper = c.upper;
        info.pos = c.pos;
        EXPECT_EQ(info.Percent(), c.want) << c.lower << ".." << c.upper << " @" << c.pos;
    }
}

TEST(Splash, ShownUntilDeleted) {
    HeadlessDriver driver;
    ScopedUiDriver scope(&driver);
    {
        CG_KvSplashwin splash(0, 0, 512, 0x800000, 0xFFFFFF);
        splash.ShowSplashText("Saving...", "");
        EXPECT_TRUE(splash.IsShown());
    }
    auto shown = driver.EventsOf(UiEvent::Kind::kSplashShown);
    auto hidden = driver.EventsOf(UiEvent::Kind::kSplashHidden);
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(hidden.size(), 1u);
    EXPECT_EQ(shown[0].text, "Saving...");
    EXPECT_EQ(shown[0].control_id, hidden[0].control_id);
}

// A driver with a record limit keeps the latest events and never more than
// the limit; the library's own driver (no host driver installed) has one, so
// a long road's progress lines do not pile up in memory.
TEST(HeadlessDriverRecord, ALimitedRecordKeepsTheLatestEvents) {
    HeadlessDriver driver;
    driver.SetRecordLimit(10);
    ScopedUiDriver scope(&driver);
    for (int i = 0; i < 25; ++i) AfxMessageBox(std::to_string(i).c_str());
    const auto messages = driver.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_LE(messages.size(), 10u);
    EXPECT_EQ(messages.back(), "24");
    for (std::size_t i = 1; i < messages.size(); ++i)
        EXPECT_EQ(std::stoi(messages[i].str()), std::stoi(messages[i - 1].str()) + 1);

    HeadlessDriver unlimited;
    ScopedUiDriver inner(&unlimited);
    for (int i = 0; i < 25; ++i) AfxMessageBox("x");
    EXPECT_EQ(unlimited.Messages().size(), 25u);
}

TEST(HeadlessDriverRecord, TheLibrarysOwnDriverKeepsABoundedRecord) {
    payroll::ui::UiDriver* host = payroll::ui::InstallUiDriver(nullptr);
    auto& builtin = dynamic_cast<HeadlessDriver&>(payroll::ui::CurrentUiDriver());
    const std::size_t limit = HeadlessDriver::kBuiltinRecordLimit;
    for (std::size_t i = 0; i < 3 * limit; ++i) AfxMessageBox("progress");
    EXPECT_LE(builtin.events().size(), limit);
    EXPECT_GE(builtin.events().size(), limit / 2);
    payroll::ui::InstallUiDriver(host == &builtin ? nullptr : host);
}

TEST(MessageBox, RecordedWithTheAnswerOfItsStyle) {
    HeadlessDriver driver;
    ScopedUiDriver scope(&driver);
    EXPECT_EQ(AfxMessageBox("QueryOpen error"), IDOK);
    EXPECT_EQ(AfxMessageBox("Go on?", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(AfxMessageBox(static_cast<UINT>(1009)), IDOK);
    driver.SetMessageBoxAnswer(IDNO);
    EXPECT_EQ(AfxMessageBox("Go on?", MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox(static_cast<const char*>(nullptr)), IDNO);
    auto messages = driver.Messages();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0], "QueryOpen error");
    EXPECT_EQ(messages[2], TheLangUtil().GetLangString(1009));
    EXPECT_FALSE(messages[2].IsEmpty());
    EXPECT_EQ(messages[4], "");
    EXPECT_EQ(driver.EventsOf(UiEvent::Kind::kMessageBox)[1].style, MB_YESNO | MB_ICONQUESTION);
}

TEST(MessageBox, ScriptedAnswersComeInOrderThenDefaults) {
    payroll::ui::ScriptedDriver driver;
    ScopedUiDriver scope(&driver);
    driver.AddMessageBoxAnswer(IDCANCEL);
    driver.AddMessageBoxAnswer(IDNO);
    EXPECT_EQ(AfxMessageBox("a", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(AfxMessageBox("b", MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox("c", MB_RETRYCANCEL), IDRETRY);
}

TEST(Sleep, GoesThroughTheInstalledClock) {
    payroll::ui::InstantClock clock;
    payroll::ui::ScopedClock scope(&clock);
    Sleep(600);
    Sleep(600);
    EXPECT_EQ(clock.total_ms(), 1200u);
    EXPECT_EQ(clock.calls(), 2);
}

TEST(HfxWon, GroupsWonAmountsByThousands) {
    struct Case {
        std::string got, want;
    } cases[] = {
        {WonText("%.*f", 0, 1234567.0), "1,234,567"},
        {WonText("%.*f", 2, 1500000.5), "1,500,000.50"},
        {WonText("(%s)", "1234567"), "(1234567)"},
        {WonText("%d won", -1234567), "-1,234,567 won"},
        {WonText("%ld", 999L), "999"},
        {WonText("%lld", 1000LL), "1,000"},
        {WonText("%u", 4294967295u), "4,294,967,295"},
        {WonText("[%12.2f]", 1234567.0), "[1,234,567.00]"},
        {WonText("[%14.2f]", 1234567.0), "[  1,234,567.00]"},
        {WonText("[%-8d]", 12345), "[12,345  ]"},
        {WonText("[%08d]", -12345), "[-012,345]"},
        {WonText("%x %g", 65535, 1e20), "ffff 1e+20"},
        {WonText("%g", 123456.0), "123,456"},
        {WonText("%*d|%.*s", 6, 1234, 2, "abc"), " 1,234|ab"},
        {WonText("[%*d]", -7, 1234), "[1,234  ]"},
        {WonText("[%c%5s]", 'x', "ab"), "[x   ab]"},
        {WonOfNullText(), "100% (null)"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(HfxWon, NeverWritesThroughPercentN) {
    int target = 12345;
    CString s;
    HfxWon(&s, "ab%ncd", &target);
    EXPECT_EQ(s.str(), "abcd");
    EXPECT_EQ(target, 12345);
    HfxWon(&s, nullptr);
    EXPECT_TRUE(s.IsEmpty());
    HfxWon(nullptr, "%d", 1);
}

}  // namespace
