// The host program's reading of a dialog into text: registration numbers
// hidden and amounts lined up at the right, as every terminal face shows them.
#include "cli/faces/tui_snapshot.cpp"  // NOLINT: the host program's files, tested here

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/faces/tui_text.cpp"  // NOLINT

namespace {

using payroll::cli::DialogSnapshot;
using payroll::cli::FormSnapshot;
using payroll::cli::MaskRegistrationNumber;

TEST(TuiSnapshot, RegistrationNumbersKeepTheBirthDateAndTheNextDigitOnly) {
    const struct {
        const char* shown;
        const char* masked;
    } cases[] = {
        {"700101-1234567", "700101-1******"},  // through the viewer's mask
        {"7001011234567", "700101-1******"},   // as stored
        {"020304-4000000", "020304-4******"},
        // Anything else is no registration number and shows as it is.
        {"", ""},
        {"700101-123456", "700101-123456"},
        {"70010112345678", "70010112345678"},
        {"700101-12345x7", "700101-12345x7"},
        {"7001011-234567", "7001011-234567"},
        {"1,234,567,890", "1,234,567,890"},
        {"홍길동", "홍길동"},
    };
    for (const auto& c : cases) EXPECT_EQ(MaskRegistrationNumber(c.shown), c.masked) << c.shown;
}

TEST(TuiSnapshot, EveryValueCellAndListCellIsMaskedButNoLabel) {
    DialogSnapshot shown;
    shown.form.present = true;
    shown.form.rows.push_back({false,
                               {{"7001011234567", true},
                                {"7001011234567", false},
                                {"외국인", true},
                                {"8002025123456", false}}});
    shown.grid.present = true;
    shown.grid.cells = {{"700101-1234567", "1,500"}};
    payroll::cli::MaskRegistrationNumbers(&shown);
    const FormSnapshot::Row& row = shown.form.rows[0];
    EXPECT_EQ(row.cells[0].text, "7001011234567");  // a label is the dialog's own text
    EXPECT_EQ(row.cells[1].text, "700101-1******");
    EXPECT_EQ(row.cells[3].text, "800202-5******");
    EXPECT_EQ(shown.grid.cells[0], (std::vector<std::string>{"700101-1******", "1,500"}));
}

// An amount column and its title are padded on the left, so that the digits
// of 1,500 and 12,000,000 end in the same cell; a text column stays on the
// left.
TEST(TuiSnapshot, AmountsLineUpAtTheRight) {
    payroll::cli::GridSnapshot grid;
    grid.present = true;
    grid.columns = {0, 1};
    grid.titles = {"항목", "금액"};
    grid.right = {false, true};
    grid.side = {"1", "2"};
    grid.cells = {{"기본급", "12,000,000.00"}, {"식대", "1,500.00"}};
    EXPECT_EQ(payroll::cli::GridLines(grid, false), (std::vector<std::string>{
                                                        "#  항목             금액",
                                                        "1  기본급  12,000,000.00",
                                                        "2  식대         1,500.00",
                                                    }));
}

}  // namespace
