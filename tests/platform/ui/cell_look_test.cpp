// How list-grid cells show in a window: dates, amounts, alignment.
#include "platform/ui/cell_look.h"

#include <gtest/gtest.h>

#include "platform/ui/ug_ctrl.h"

namespace {

using payroll::ui::CellLook;
using payroll::ui::GroupThousands;
using payroll::ui::LookOfCell;

TEST(CellLookTest, GroupsThousandsOfPlainNumbersOnly) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"0", "0"},
        {"999", "999"},
        {"1000", "1,000"},
        {"-1000", "-1,000"},
        {"1234567", "1,234,567"},
        {"-123456.75", "-123,456.75"},
        {"100000.5", "100,000.5"},
        {"", ""},
        {"-", "-"},
        {"12a345", "12a345"},
        {"1.2.3", "1.2.3"},
        {"1,000", "1,000"},
    };
    for (const auto& c : cases) EXPECT_EQ(GroupThousands(c.in), c.out) << c.in;
}

TEST(CellLookTest, AmountDateAndTextColumns) {
    const char* amount = "@EX(0)\t\t@A(ALIGN_VCENTER|ALIGN_CENTER)\t@@I(DBL)\t@D(24)";
    CellLook a = LookOfCell(amount, 0, "2500000");
    EXPECT_EQ(a.text, "2,500,000");
    EXPECT_EQ(a.align, CellLook::Align::kRight);
    // An amount column's empty cell stays empty and keeps the mask's alignment.
    CellLook empty = LookOfCell(amount, 0, "");
    EXPECT_EQ(empty.text, "");
    EXPECT_EQ(empty.align, CellLook::Align::kCenter);

    const char* date = "@EX(10)\t\t@A(ALIGN_VCENTER|ALIGN_CENTER)\t@D(12)";
    CellLook d = LookOfCell(date, payroll::ui::kDateSpecMask, "20020325");
    EXPECT_EQ(d.text, "2002/03/25");
    EXPECT_EQ(d.align, CellLook::Align::kCenter);
    // Not a whole date: shown as stored.
    EXPECT_EQ(LookOfCell(date, payroll::ui::kDateSpecMask, "2002").text, "2002");

    CellLook numeric = LookOfCell("@E9(2)@A(DT_LEFT)", 0, "1234.5");
    EXPECT_EQ(numeric.text, "1,234.50");
    EXPECT_EQ(numeric.align, CellLook::Align::kRight);

    CellLook reg = LookOfCell("@EX@M######-#######@A(DT_RIGHT)", 0, "8001011234567");
    EXPECT_EQ(reg.text, "800101-1234567");
    EXPECT_EQ(reg.align, CellLook::Align::kRight);

    // A column without a mask: the text as it is, on the left.
    CellLook plain = LookOfCell("", 0, "기본급");
    EXPECT_EQ(plain.text, "기본급");
    EXPECT_EQ(plain.align, CellLook::Align::kLeft);
}

TEST(CellLookTest, GridShowsCellsThroughTheirColumnMasks) {
    CG_UGCtrl grid;
    grid.SetNumberCols(2, TRUE);
    grid.SetNumberRows(1, TRUE, TRUE);
    grid.SetMaskAttr(0, "@EX(10)\t@A(ALIGN_CENTER)");
    grid.SetSpecMask(0, 0, payroll::ui::kDateSpecMask);
    grid.SetMaskAttr(1, "@EX(0)\t@@I(DBL)");
    grid.QuickSetText(0, 0, "20021231");
    grid.QuickSetText(1, 0, "-98765");
    const payroll::ui::UiGrid& ui = grid;
    EXPECT_EQ(ui.ShownCell(0, 0).text, "2002/12/31");
    EXPECT_EQ(ui.ShownCell(1, 0).text, "-98,765");
    EXPECT_EQ(ui.ShownCell(1, 0).align, CellLook::Align::kRight);
    EXPECT_EQ(ui.CellText(1, 0), "-98765");  // the stored text stays
    EXPECT_EQ(ui.ShownCell(5, 0).text, "");  // outside the grid
}

}  // namespace
