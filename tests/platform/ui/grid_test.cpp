// The list grid's shape, notifications, sorting and editing, and the form grid.
#include <gtest/gtest.h>

#include "platform/ui/dialog_template.h"
#include "platform/ui/mask.h"
#include "platform/ui/one_grid.h"
#include "platform/ui/ug_ctrl.h"
#include "platform/ui/velo_dialog.h"

namespace {

// Records every hook it is given.
class RecordingGrid : public CG_UGCtrl {
  public:
    std::vector<std::string> log;
    int refuse_col_size = -1;
    void OnKeyDown(UINT* key, BOOL processed) override {
        log.push_back("key " + std::to_string(*key) + (processed ? " p" : ""));
    }
    void OnCharDown(UINT* key, BOOL) override { log.push_back("char " + std::to_string(*key)); }
    void OnDClicked(int col, long row, RECT*, POINT*, BOOL) override {
        log.push_back("dclick " + std::to_string(col) + "," + std::to_string(row));
    }
    void OnLClicked(int col, long row, int updn, RECT*, POINT*, int) override {
        log.push_back("click " + std::to_string(col) + "," + std::to_string(row) + " " +
                      std::to_string(updn));
    }
    void OnRowChange(long oldrow, long newrow) override {
        log.push_back("row " + std::to_string(oldrow) + ">" + std::to_string(newrow));
    }
    void OnHitBottom(long, long, long) override { log.push_back("bottom"); }
    int OnCanSizeCol(int col) override { return col != refuse_col_size; }
    void OnGetCell(int col, long row, CG_UGCell* cell) override {
        if (col == -1 && row >= 0) cell->SetText(std::to_string(row + 1).c_str());
    }
};

class GridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(parent.Create(nullptr, "", 0, CRect(0, 0, 400, 300), nullptr, 0));
        ASSERT_TRUE(grid.CreateGrid(WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &parent, 7));
        grid.SetNumberCols(3);
        grid.SetNumberRows(4);
        for (long r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                grid.QuickSetText(c, r, (std::to_string(c) + ":" + std::to_string(r)).c_str());
    }
    CWnd parent;
    RecordingGrid grid;
};

TEST_F(GridTest, CurrentRowStartsAtTheFirstRowAndIsMinusOneWhenEmpty) {
    EXPECT_EQ(grid.GetCurrentRow(), 0);
    grid.SetNumberRows(0);
    EXPECT_EQ(grid.GetCurrentRow(), -1);
    EXPECT_EQ(grid.QuickGetText(0, 0), "");
    grid.SetNumberRows(2);
    EXPECT_EQ(grid.GetCurrentRow(), 0);
    ASSERT_EQ(grid.GotoRow(1), UG_SUCCESS);
    grid.SetNumberRows(1);
    EXPECT_EQ(grid.GetCurrentRow(), 0);
}

TEST_F(GridTest, OutOfRangeCellsAreRefused) {
    EXPECT_EQ(grid.QuickSetText(3, 0, "x"), UG_ERROR);
    EXPECT_EQ(grid.QuickSetText(0, 4, "x"), UG_ERROR);
    EXPECT_EQ(grid.QuickSetText(-2, 0, "x"), UG_ERROR);
    EXPECT_EQ(grid.QuickGetText(99, 99), "");
    EXPECT_EQ(grid.GotoCell(0, 9), UG_ERROR);
    EXPECT_EQ(grid.SetNumberRows(-1), UG_ERROR);
    EXPECT_EQ(grid.SetNumberRows(CG_UGCtrl::kMaxRows + 1), UG_ERROR);
    EXPECT_EQ(grid.SetColWidth(5, 10), UG_ERROR);
    EXPECT_EQ(grid.SortBy(9), UG_ERROR);
}

TEST_F(GridTest, NotificationsFireOnKeysDoubleClicksAndCharacters) {
    grid.KeyDown(VK_DOWN);
    grid.Char('a');
    grid.DoubleClick(1, 2);
    grid.KeyDown(VK_END);
    grid.KeyDown(VK_DOWN);
    std::vector<std::string> want = {"key 40",      "row 0>1",     "char 97",    "row 1>2",
                                     "click 1,2 1", "click 1,2 0", "dclick 1,2", "key 35",
                                     "row 2>3",     "key 40",      "bottom"};
    EXPECT_EQ(grid.log, want);
    EXPECT_EQ(grid.GetCurrentRow(), 3);
    EXPECT_EQ(grid.GetCurrentCol(), 1);
}

TEST_F(GridTest, MouseMessagesAreHitTested) {
    CRect cell = grid.GetCellRect(2, 1);
    POINT p = cell.CenterPoint();
    grid.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(p.x, p.y));
    ASSERT_FALSE(grid.log.empty());
    EXPECT_EQ(grid.log.back(), "dclick 2,1");
    grid.log.clear();
    grid.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(299, 199));  // below the last row
    EXPECT_TRUE(grid.log.empty());
}

TEST_F(GridTest, HiddenColumnsAreSkippedButKeepTheirData) {
    ASSERT_EQ(grid.SetColWidth(1, 0), UG_SUCCESS);
    EXPECT_TRUE(grid.IsColHidden(1));
    EXPECT_EQ(grid.QuickGetText(1, 2), "1:2");
    EXPECT_TRUE(grid.GetCellRect(1, 0).IsRectEmpty());
    grid.KeyDown(VK_RIGHT);
    EXPECT_EQ(grid.GetCurrentCol(), 2);  // skipped over the hidden column
    grid.RedrawAll();
    for (const CDC::Op& op : grid.LastPaint().ops())
        EXPECT_NE(op.text, "1:0") << "a hidden column was painted";
    POINT p = grid.GetCellRect(2, 0).CenterPoint();
    int col;
    long row;
    ASSERT_TRUE(grid.HitTest(p, &col, &row));
    EXPECT_EQ(col, 2);
}

TEST_F(GridTest, SideHeadingAndFocusRectangleArePainted) {
    EXPECT_EQ(grid.CellText(-1, 2), "3");
    grid.GotoCell(1, 1);
    grid.RedrawAll();
    int focus = 0;
    for (const CDC::Op& op : grid.LastPaint().ops())
        if (op.kind == CDC::Op::Kind::kFocusRect) {
            ++focus;
            EXPECT_EQ(CRect(op.rect), grid.GetCellRect(1, 1));
        }
    EXPECT_EQ(focus, 1);
}

TEST_F(GridTest, ColumnResizingAsksTheGrid) {
    grid.refuse_col_size = 2;
    EXPECT_TRUE(grid.ResizeColumn(0, 120));
    EXPECT_EQ(grid.GetColWidth(0), 120);
    EXPECT_FALSE(grid.ResizeColumn(2, 10));
    EXPECT_EQ(grid.GetColWidth(2), CG_UGCtrl::kDefaultColWidth);
}

TEST_F(GridTest, SortingMovesRowsAndTheCurrentRowFollows) {
    const char* values[] = {"b", "", "a", "c"};
    for (long r = 0; r < 4; ++r) grid.QuickSetText(0, r, values[r]);
    grid.GotoRow(2);  // "a"
    ASSERT_EQ(grid.SortBy(0), UG_SUCCESS);
    EXPECT_EQ(grid.QuickGetText(0, 0), "a");
    EXPECT_EQ(grid.QuickGetText(0, 2), "c");
    EXPECT_EQ(grid.QuickGetText(0, 3), "");  // empty text sorts after
    EXPECT_EQ(grid.GetCurrentRow(), 0);
    ASSERT_EQ(grid.SortBy(0, UG_SORT_DESCENDING), UG_SUCCESS);
    EXPECT_EQ(grid.QuickGetText(0, 0), "");
    EXPECT_EQ(grid.QuickGetText(0, 1), "c");

    CG_UGCell n;
    for (long r = 0; r < 4; ++r) {
        n.SetNumber(static_cast<double>((r * 7) % 4) * 10);  // 0 30 20 10
        grid.SetCell(1, r, &n);
    }
    grid.SortBy(1);
    EXPECT_EQ(grid.QuickGetText(1, 0), "0");
    EXPECT_EQ(grid.QuickGetText(1, 3), "30");
}

TEST_F(GridTest, SortingSurvivesAnInconsistentComparison) {
    struct Liar : RecordingGrid {
        int calls = 0;
        int OnSortEvaluate(CG_UGCell*, CG_UGCell*, int) override { return (++calls % 3) - 1; }
    } liar;
    ASSERT_TRUE(liar.CreateGrid(WS_CHILD, CRect(0, 0, 100, 100), &parent, 8));
    liar.SetNumberCols(1);
    liar.SetNumberRows(500);
    for (long r = 0; r < 500; ++r) liar.QuickSetText(0, r, std::to_string(r).c_str());
    EXPECT_EQ(liar.SortBy(0), UG_SUCCESS);
    std::set<std::string> seen;
    for (long r = 0; r < 500; ++r) seen.insert(liar.QuickGetText(0, r).str());
    EXPECT_EQ(seen.size(), 500u);  // a permutation: nothing lost or duplicated
}

TEST_F(GridTest, EditingStoresTheTextWhenFinished) {
    grid.GotoCell(2, 3);
    ASSERT_EQ(grid.StartEdit('x'), UG_SUCCESS);
    grid.EditChar('y');
    grid.EditChar(0xAC00);  // 가
    grid.EditChar(VK_BACK);
    grid.EditChar('z');
    grid.SendMessage(WM_KEYDOWN, VK_RETURN);
    EXPECT_FALSE(grid.IsEditing());
    EXPECT_EQ(grid.QuickGetText(2, 3), "xyz");
    ASSERT_EQ(grid.StartEdit('q'), UG_SUCCESS);
    grid.SendMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(grid.QuickGetText(2, 3), "xyz");
}

TEST(GridLifetime, RowsOutliveTheWindowAndTheParent) {
    RecordingGrid grid;
    {
        CWnd parent;
        ASSERT_TRUE(parent.Create(nullptr, "", 0, CRect(0, 0, 100, 100), nullptr, 0));
        ASSERT_TRUE(grid.CreateGrid(WS_CHILD, CRect(0, 0, 100, 100), &parent, 1));
        grid.SetNumberCols(1);
        grid.SetNumberRows(2);
        grid.QuickSetText(0, 1, "kept");
        grid.GotoRow(1);
        grid.log.clear();
    }  // the parent takes the grid's window with it
    EXPECT_FALSE(grid.GetSafeHwnd());
    EXPECT_EQ(grid.GetParent(), nullptr);
    EXPECT_EQ(grid.GetCurrentRow(), 1);
    EXPECT_EQ(grid.QuickGetText(0, 1), "kept");
    grid.KeyDown(VK_UP);  // no window: nothing happens
    grid.DoubleClick(0, 0);
    EXPECT_TRUE(grid.log.empty());
}

TEST(OneGrid, RowsOfDifferingCellCounts) {
    CWnd parent;
    ASSERT_TRUE(parent.Create(nullptr, "", 0, CRect(0, 0, 500, 500), nullptr, 0));
    CG_OneGrid form;
    const int counts[] = {1, 4, 5, 6, 4, 6, 4, 6, 4, 1, 6, 6, 6, 6, 1};
    ASSERT_TRUE(form.Init(15));
    ASSERT_TRUE(form.Create(CRect(), &parent, 1011));
    for (int r = 0; r < 15; ++r) ASSERT_TRUE(form.InitCols(r, counts[r]));
    for (int r = 0; r < 15; ++r) EXPECT_EQ(form.GetColCount(r), counts[r]);
    EXPECT_EQ(form.GetColCount(15), 0);
    EXPECT_FALSE(form.SetText(0, 1, "beyond the row"));
    EXPECT_FALSE(form.InitCols(15, 2));
    EXPECT_FALSE(form.Init(-1));

    form.SetMaskAttr(1, 0, "Emp. no.");
    form.SetMaskAttr(3, 1, "@E9(0)@M####/##/##@D14@A(DT_CENTER|DT_VCENTER|DT_SINGLELINE)@P35");
    form.SetMaskAttr(2, 1, "@E9(0)@M######-#######@D14");
    form.SetMaskAttr(11, 5, "@E9(2)@D14");
    form.SetText(3, 1, "20100301");
    form.SetText(2, 1, "8001011234567");
    form.SetText(11, 5, "1.5");
    EXPECT_EQ(form.GetDisplayText(1, 0), "Emp. no.");
    EXPECT_EQ(form.GetDisplayText(3, 1), "2010/03/01");
    EXPECT_EQ(form.GetDisplayText(2, 1), "800101-1234567");
    EXPECT_EQ(form.GetDisplayText(11, 5), "1.50");
    EXPECT_EQ(form.GetText(3, 1), "20100301");
    EXPECT_TRUE(form.SetTextFormat(3, 1, 37));
    EXPECT_EQ(form.GetTextFormat(3, 1), 37u);
    EXPECT_TRUE(form.SetBoxType(0, 0, 1));
    EXPECT_EQ(form.GetBoxType(0, 0), 1);

    // Geometry: cells share the width; a taller heading pushes the rows below.
    form.MoveWindow(5, 5, 480, 385);
    EXPECT_EQ(form.GetRect(1, 0).Width(), 120);
    CRect heading = form.GetRect(0, 0);
    heading.bottom += 6;
    ASSERT_TRUE(form.SetRect(0, 0, heading));
    ASSERT_TRUE(form.CalcTopBottom(1, 20));
    EXPECT_EQ(form.GetRect(1, 2).top, heading.bottom);
    EXPECT_EQ(form.GetRect(2, 0).top, heading.bottom + 20);
    EXPECT_EQ(form.GetRowHeight(0), 26);
}

TEST(Masks, PicturesAndDecimals) {
    struct Case {
        const char* mask;
        const char* value;
        const char* want;
    } cases[] = {
        {"@E9(0)@M####/##/##@D14", "20100301", "2010/03/01"},
        {"@E9(0)@M####/##/##@D14", "", ""},
        {"@E9(0)@M####/##/##@D14", "2010", "2010"},
        {"@E9(0)@M####/##/##", "2010030199", "2010/03/0199"},
        {"@E9(2)@D14", "3", "3.00"},
        {"@E9(0)@D14", "3.0000", "3"},
        {"@E9(0)@D14", "00000000", "00000000"},
        {"@E9(2)@D14", "abc", "abc"},
        {"@EX(0)@D14", "O", "O"},
        {"Label", "12", "12"},
        {"@", "x", "x"},
        {"@E9(99999999)", "1.25", "1"},
    };
    for (const Case& c : cases) {
        payroll::ui::CellMask m = payroll::ui::ParseMask(c.mask);
        EXPECT_EQ(payroll::ui::ApplyMask(m, c.value), c.want) << c.mask << " " << c.value;
    }
}

TEST(DialogTemplates, ShippedFilesAndBuiltinCopiesAgree) {
    for (int id : {1004, 1014, 1016}) {
        auto file = payroll::ui::LoadDialogTemplate(id);
        auto builtin = payroll::ui::BuiltinDialogTemplate(id);
        ASSERT_TRUE(file && builtin) << id;
        EXPECT_EQ(file->width, builtin->width);
        EXPECT_EQ(file->controls.size(), builtin->controls.size());
    }
    auto viewer = payroll::ui::BuiltinDialogTemplate(1014);
    EXPECT_EQ(viewer->width, 326);
    EXPECT_EQ(viewer->height, 294);
    EXPECT_FALSE(payroll::ui::LoadDialogTemplate(9999));
}

TEST(DialogTemplates, BadTextsAreRefused) {
    const char* bad[] = {
        "",
        "not json",
        "[]",
        "{\"id\": 1016}",
        "{\"id\": 1004, \"size\": [1, 2]}",
        "{\"id\": 1016, \"size\": [1]}",
        "{\"id\": 1016, \"size\": [-1, 5]}",
        "{\"id\": 1016, \"size\": [1, 99999999999]}",
        "{\"id\": \"1016\", \"size\": [1, 2]}",
        "{\"id\": 1016, \"size\": [1, 2], \"title\": 5}",
        "{\"id\": 1016, \"size\": [1, 2], \"title\": \"\\u00ff\xff\"}",
    };
    for (const char* text : bad) EXPECT_FALSE(payroll::ui::ParseDialogTemplate(text, 1016)) << text;
    auto partial = payroll::ui::ParseDialogTemplate(
        "{\"id\": 1016, \"size\": [10, 20], \"controls\": [5, {\"id\": 1}, "
        "{\"id\": 1, \"kind\": \"button\", \"rect\": [1, 2, 3, 4]}]}",
        1016);
    ASSERT_TRUE(partial);
    ASSERT_EQ(partial->controls.size(), 1u);
    EXPECT_EQ(partial->controls[0].rect, CRect(1, 2, 4, 6));
}

TEST(Windows, FocusParentsAndDestructionStayConsistent) {
    auto parent = std::make_unique<CWnd>();
    ASSERT_TRUE(parent->Create(nullptr, "p", 0, CRect(100, 100, 300, 300), nullptr, 0));
    CWnd child;
    ASSERT_TRUE(
        child.Create(nullptr, "c", WS_CHILD | WS_VISIBLE, CRect(10, 20, 50, 60), parent.get(), 5));
    EXPECT_TRUE(child.IsWindowVisible());
    EXPECT_EQ(parent->GetDlgItem(5), &child);
    CRect r;
    child.GetWindowRect(&r);
    EXPECT_EQ(r, CRect(110, 120, 150, 160));
    parent->ScreenToClient(&r);
    EXPECT_EQ(r, CRect(10, 20, 50, 60));
    child.SetFocus();
    EXPECT_EQ(CWnd::GetFocus(), &child);
    parent.reset();  // the parent object goes first
    EXPECT_EQ(CWnd::GetFocus(), nullptr);
    EXPECT_FALSE(IsWindow(&child));
    EXPECT_EQ(child.GetParent(), nullptr);
    EXPECT_EQ(child.SendMessage(WM_CLOSE), 0);
    EXPECT_FALSE(child.DestroyWindow());
}

}  // namespace
