// The host program's terminal driver, driven by the framework's own dialogs.
// It is built from the host program's source, against the exported API.
#include "cli/faces/terminal_driver.cpp"  // NOLINT

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/faces/display_width.cpp"  // NOLINT: the host program's files, tested here
#include "payroll/report.h"
#include "platform/db/road_report.h"
#include "platform/ui/afx.h"
#include "platform/ui/progress_dialog.h"
#include "platform/ui/splash.h"

namespace {

std::string Contents(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string out;
    char buf[512];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    return out;
}

void RunProgress() {
    CWnd engine;
    CProgressDlg dlg(&engine);
    ASSERT_TRUE(dlg.Open());
    dlg.ShowWindow(SW_SHOW);
    dlg.Bar(0).SetRange(0, 4);
    dlg.SetText("3 done - 2010/03, employee E\n1");
    dlg.Bar(0).SetPos(2);
    dlg.Bar(1).SetRange(0, 10);
    dlg.Bar(1).SetPos(5);
    dlg.Close();
}

TEST(TerminalDriver, MessagesAndWaitingTextsGoToStandardError) {
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    {
        payroll::cli::TerminalDriver driver(err, false);
        payroll::ui::ScopedUiDriver scope(&driver);
        EXPECT_EQ(AfxMessageBox("QueryOpen error"), IDOK);
        EXPECT_EQ(AfxMessageBox("Go on?", MB_YESNO), IDYES);
        CG_KvSplashwin splash;
        splash.ShowSplashText("Saving, please wait...", "");
        RunProgress();
    }
    std::string text = Contents(err);
    EXPECT_EQ(text,
              "payroll: QueryOpen error\n"
              "payroll: Go on?\n"
              "payroll: Saving, please wait...\n");  // no bars when not a terminal
    std::fclose(err);
}

TEST(TerminalDriver, ProgressDrawsOneBarLine) {
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    {
        payroll::cli::TerminalDriver driver(err, true);
        payroll::ui::ScopedUiDriver scope(&driver);
        RunProgress();
        AfxMessageBox("done");
    }
    std::string text = Contents(err);
    EXPECT_NE(text.find("[###############...............]  50% 3 done - 2010/03, employee E 1"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("\n1"), std::string::npos);  // the text line stays on one line
    EXPECT_NE(text.find("\npayroll: done\n"), std::string::npos) << text;
    std::fclose(err);
}

// A bar line never wraps: on a terminal it would then start a new line at
// every step. Its label is cut at a whole character to the terminal's width,
// and the line is drawn again only when it changes.
TEST(TerminalDriver, BarLinesFitTheTerminalAndAreDrawnOncePerChange) {
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    {
        payroll::cli::TerminalDriver driver(err, true);
        driver.SetColumns(60);
        payroll::ui::ScopedUiDriver scope(&driver);
        CWnd engine;
        CProgressDlg dlg(&engine);
        ASSERT_TRUE(dlg.Open());
        dlg.ShowWindow(SW_SHOW);
        dlg.SetText("기본 급여 자료 생성 - 2002/06, 사원 E000001 홍길동");
        dlg.Bar(0).SetRange(0, 100000);
        for (int i = 1; i <= 100000; ++i) dlg.Bar(0).SetPos(i);
        dlg.SetText("끝");
        dlg.Close();
    }
    const std::string text = Contents(err);
    std::vector<std::string> lines;
    for (std::size_t from = 0, at; (at = text.find('\r', from)) != std::string::npos; from = at + 1)
        lines.push_back(text.substr(from, text.find_first_of("\r\n", from) - from));
    // One drawing per percent, and one for the last text.
    EXPECT_LE(lines.size(), 103u);
    EXPECT_GE(lines.size(), 100u);
    for (const std::string& line : lines) EXPECT_LE(payroll::cli::DisplayWidth(line), 59) << line;
    // 38 cells of bar and percent leave 21 for the label: 기본 급여 자료 생성 (19) and " -".
    EXPECT_NE(text.find("] 100% 기본 급여 자료 생성 -\r"), std::string::npos) << text;
    // The shorter last line blanks out what the longer one left behind.
    EXPECT_NE(text.find("] 100% 끝" + std::string(19, ' ') + "\n"), std::string::npos) << text;
    std::fclose(err);
}

// The engines keep a spare step in their bars' ranges (a year of 14 runs
// counts to 15) and close the dialog when the work is done: the bar then
// ends full. A road that failed leaves its bar where the failure stopped it.
TEST(TerminalDriver, ABarEndsFullUnlessItsRoadFailed) {
    for (const bool failed : {false, true}) {
        std::FILE* err = std::tmpfile();
        ASSERT_NE(err, nullptr);
        payroll::BeginRoadReport("recalc-tax");
        if (failed) payroll::report::Current().failed_step = "GetPersonTax error";
        {
            payroll::cli::TerminalDriver driver(err, true);
            payroll::ui::ScopedUiDriver scope(&driver);
            CWnd engine;
            CProgressDlg dlg(&engine);
            ASSERT_TRUE(dlg.Open());
            dlg.ShowWindow(SW_SHOW);
            dlg.Bar(0).SetRange(0, 15);
            for (int run = 1; run <= 14; ++run) dlg.Bar(0).SetPos(run);
            dlg.Close();
        }
        const std::string text = Contents(err);
        std::fclose(err);
        const std::size_t last = text.rfind('\r');
        ASSERT_NE(last, std::string::npos) << text;
        const std::string last_line = text.substr(last);
        EXPECT_NE(last_line.find(failed ? "  93% " : " 100% "), std::string::npos)
            << failed << ": " << text;
        EXPECT_EQ(text.back(), '\n');
        EXPECT_EQ(text.find(failed ? " 100% " : " 101% "), std::string::npos) << text;
    }
    payroll::BeginRoadReport("");
}

// On a terminal a waiting text lasts as long as the wait: it is wiped, not
// left as a line under the bars and closing lines that follow it.
TEST(TerminalDriver, AWaitingTextLeavesNoLineBehind) {
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    {
        payroll::cli::TerminalDriver driver(err, true);
        payroll::ui::ScopedUiDriver scope(&driver);
        {
            CG_KvSplashwin splash;
            splash.ShowSplashText("급여 자료를 저장하고 있습니다. 잠시 기다려 주십시오...", "");
        }
        RunProgress();
    }
    const std::string text = Contents(err);
    std::fclose(err);
    const std::string waiting = "\rpayroll: 급여 자료를 저장하고 있습니다. 잠시 기다려 주십시오...";
    ASSERT_EQ(text.rfind(waiting, 0), 0u) << text;
    // Blanked over its whole width, the cursor back at the line's start, and
    // no line break: the bar that follows takes the same line.
    const int cells = payroll::cli::DisplayWidth(waiting.substr(1));
    EXPECT_EQ(text.substr(waiting.size(), static_cast<std::size_t>(cells) + 3),
              "\r" + std::string(static_cast<std::size_t>(cells), ' ') + "\r\r")
        << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;  // the bar's own
}

TEST(TerminalDriver, ModalDialogsGetTheSetAnswer) {
    payroll::cli::TerminalDriver driver(stderr, false);
    payroll::ui::ScopedUiDriver scope(&driver);
    CVeloDialog dlg(1016);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    driver.SetModalResult(IDOK);
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

}  // namespace
