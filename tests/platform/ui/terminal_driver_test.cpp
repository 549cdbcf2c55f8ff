// The host program's terminal driver, driven by the framework's own dialogs.
// It is built from the host program's source, against the exported API.
#include "cli/faces/terminal_driver.cpp"  // NOLINT

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/faces/display_width.cpp"  // NOLINT: the host program's files, tested here
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

TEST(TerminalDriver, ModalDialogsGetTheSetAnswer) {
    payroll::cli::TerminalDriver driver(stderr, false);
    payroll::ui::ScopedUiDriver scope(&driver);
    CVeloDialog dlg(1016);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    driver.SetModalResult(IDOK);
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

}  // namespace
