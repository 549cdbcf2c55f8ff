// The host program's terminal driver, driven by the framework's own dialogs.
// It is built from the host program's source, against the exported API.
#include "cli/terminal_driver.cpp"  // NOLINT: the host program's file, tested here

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

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

TEST(TerminalDriver, ModalDialogsGetTheSetAnswer) {
    payroll::cli::TerminalDriver driver(stderr, false);
    payroll::ui::ScopedUiDriver scope(&driver);
    CVeloDialog dlg(1016);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    driver.SetModalResult(IDOK);
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

}  // namespace
