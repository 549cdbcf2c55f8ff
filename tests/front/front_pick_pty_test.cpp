// `payroll pick` in a pseudo-terminal: the picker drawn with ncurses and
// worked with the keyboard and the mouse.
#include <gtest/gtest.h>

#include "support/scratch_db.h"
#include "tests/front/front_fixture.h"
#include "tests/front/pty_session.h"

namespace {

using payroll::testing::FrontSeed;
using payroll::testing::PtySession;
using payroll::testing::SeededDatabaseFile;

// Keys as an xterm sends them once the program has switched the keypad to
// application mode.
constexpr const char* kDown = "\x1bOB";
constexpr const char* kEnter = "\r";
constexpr const char* kEscape = "\x1b";

class PickPty : public ::testing::Test {
  protected:
    void SetUp() override { db_ = "sqlite:" + SeededDatabaseFile("front_pty", FrontSeed()); }
    std::vector<std::string> Args() const {
        return {"--db", db_, "pick", "--company", "1000", "--month", "200203"};
    }
    std::string db_;
};

TEST_F(PickPty, DownThenEnterPrintsTheSecondRunsKey) {
    PtySession pty(Args());
    ASSERT_TRUE(pty.started());
    // The last run's name on the screen: the list is drawn.
    ASSERT_TRUE(pty.WaitFor("성과급")) << pty.output();
    pty.Type(kDown);
    pty.Type(kEnter);
    EXPECT_EQ(pty.Finish(), 0) << pty.output();
    const std::string& out = pty.output();
    EXPECT_NE(out.find("SEL_NO=2\r\n"), std::string::npos) << out;
    EXPECT_NE(out.find("SQ=2\r\n"), std::string::npos);
    EXPECT_NE(out.find("PYTP_FG=201\r\n"), std::string::npos);
    EXPECT_NE(out.find("NM1=상여\r\n"), std::string::npos);
    EXPECT_NE(out.find("PAY_DT=20020330\r\n"), std::string::npos);
}

TEST_F(PickPty, EscapeCancels) {
    PtySession pty(Args());
    ASSERT_TRUE(pty.started());
    ASSERT_TRUE(pty.WaitFor("성과급")) << pty.output();
    pty.Type(kEscape);
    EXPECT_EQ(pty.Finish(), 1);
    EXPECT_EQ(pty.output().find("SEL_NO="), std::string::npos);
    EXPECT_NE(pty.output().find("no run chosen"), std::string::npos);
}

TEST_F(PickPty, DoubleClickChoosesTheRowUnderTheMouse) {
    PtySession pty(Args());
    ASSERT_TRUE(pty.started());
    ASSERT_TRUE(pty.WaitFor("성과급")) << pty.output();
    // The title, a blank line and the column titles; the third run is on the
    // sixth screen line. Two clicks in SGR mouse reports make a double-click.
    pty.Type("\x1b[<0;5;6M\x1b[<0;5;6m\x1b[<0;5;6M\x1b[<0;5;6m");
    EXPECT_EQ(pty.Finish(), 0) << pty.output();
    EXPECT_NE(pty.output().find("SEL_NO=3\r\n"), std::string::npos) << pty.output();
    EXPECT_NE(pty.output().find("PYTP_FG=202\r\n"), std::string::npos);
}

TEST_F(PickPty, TheKeyGoesToStandardOutputWhileThePickerDrawsOnTheTerminal) {
    // As in key=$(payroll pick ...): standard output is no terminal.
    const std::string key_file = payroll::testing::TempPath("pick_key");
    {
        PtySession pty(Args(), 80, key_file);
        ASSERT_TRUE(pty.started());
        ASSERT_TRUE(pty.WaitFor("성과급")) << pty.output();
        pty.Type(kDown);
        pty.Type(kEnter);
        EXPECT_EQ(pty.Finish(), 0) << pty.output();
        EXPECT_EQ(pty.output().find("SEL_NO="), std::string::npos) << pty.output();
    }
    const std::string key = payroll::testing::ReadWholeFile(key_file);
    std::remove(key_file.c_str());
    EXPECT_EQ(key.rfind("SEL_NO=2\n", 0), 0u) << key;
    EXPECT_NE(key.find("\nPYTP_FG=201\n"), std::string::npos) << key;
    EXPECT_EQ(key.find('\x1b'), std::string::npos) << "no drawing in the key";
}

// The viewer at 80 and at 60 columns: every pair of the form's rows is on
// the screen (they wrap), the top of the form first; Page Down scrolls to
// the fixed-pay list under it, its amounts with separators.
TEST_F(PickPty, TheViewerShowsEveryValueFromSixtyColumns) {
    for (int columns : {80, 60}) {
        PtySession pty({"--db", db_, "employee", "--company", "1000", "--month", "200203", "E0001"},
                       columns);
        ASSERT_TRUE(pty.started());
        for (const char* value : {"E0001", "홍길동", "1999/03/01", "과장", "5호봉"})
            EXPECT_TRUE(pty.WaitFor(value, 10000)) << columns << " " << value << pty.output();
        EXPECT_TRUE(pty.WaitFor("PgDn", 10000)) << pty.output();
        // One button: one caption for both of its keys.
        EXPECT_TRUE(pty.WaitFor("[Enter/Esc]", 10000)) << pty.output();
        EXPECT_EQ(pty.output().find("[Esc] "), std::string::npos) << pty.output();
        pty.Type("\x1b[6~");
        EXPECT_TRUE(pty.WaitFor("기본급", 10000)) << columns << pty.output();
        EXPECT_TRUE(pty.WaitFor("1,500.00", 10000)) << columns << pty.output();
        pty.Type(kEscape);
        EXPECT_EQ(pty.Finish(), 0) << pty.output();
    }
}

TEST_F(PickPty, AnEmptyMonthHasNothingToPick) {
    PtySession pty({"--db", db_, "pick", "--company", "1000", "--month", "200205"});
    ASSERT_TRUE(pty.started());
    EXPECT_EQ(pty.Finish(), 1);
    EXPECT_NE(pty.output().find("no runs"), std::string::npos) << pty.output();
}

}  // namespace
