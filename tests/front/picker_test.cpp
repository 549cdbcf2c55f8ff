// The pay-run picker on a seeded database: the runs it lists, picking by
// position without a window, the dialog worked as a user would, and the
// front settings that choose its name columns.
#include <gtest/gtest.h>

#include <cstring>

#include "front/pay_run_dialog.h"
#include "front_fixture.h"
#include "payroll/imirak1.h"
#include "platform/db/catalogue/catalogue.h"
#include "platform/lang/lang_util.h"
#include "platform/ui/afx.h"
#include "platform/ui/dialog_ids.h"

namespace {

using payroll::testing::FrontFixture;
using payroll::ui::UiDialog;
using payroll::ui::UiGrid;

class PickerTest : public FrontFixture {
  protected:
    void SetUp() override {
        FrontFixture::SetUp();
        SeedRuns();
        ClearSent();
    }
    // Runs the front's init with a script that works the dialog.
    unsigned Pick(CIMirak1& front, HPHONPD_YMD_FMT* key, std::function<void(UiDialog&)> script) {
        driver_.AddModalScript(std::move(script));
        return front.init(0, key);
    }
};

bool AllZero(const HPHONPD_YMD_FMT& key) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&key);
    for (std::size_t i = 0; i < sizeof key; ++i)
        if (b[i]) return false;
    return true;
}

HPHONPD_YMD_FMT Filled(unsigned char byte) {
    HPHONPD_YMD_FMT key;
    std::memset(static_cast<void*>(&key), byte, sizeof key);
    return key;
}

TEST_F(PickerTest, SearchMirakPicksRunsInListOrder) {
    CIMirak1 front;
    struct Want {
        int index;
        const char* sq;
        const char* type;
        const char* list;
        const char* names;
        const char* kind;
    } wants[] = {
        {1, "1", "101", "101,102", "월급여,시급", "통합"},
        {2, "2", "201", "201", "상여", "개별"},
        {3, "2", "202", "202", "성과급", "개별"},
    };
    for (const Want& w : wants) {
        HPHONPD_YMD_FMT key = Key("1000", "200203");
        key.DIV_FILTER.Set("ALL");
        EXPECT_EQ(front.SearchMirak(&key, 0, w.index), 1u);
        EXPECT_EQ(key.SEL_NO, w.index);
        EXPECT_EQ(key.SQ.Str(), w.sq) << w.index;
        EXPECT_EQ(key.PYTP_FG.Str(), w.type) << w.index;
        EXPECT_EQ(key.PYTP_LIST.Str(), w.list) << w.index;
        EXPECT_EQ(key.PYTP_HEAD.Str(), std::string(w.list).substr(0, 3)) << w.index;
        EXPECT_EQ(key.NM1.Str(), w.names) << w.index;
        EXPECT_EQ(key.NM2.Str(), w.kind) << w.index;
        EXPECT_EQ(key.DIV_FILTER.Str(), "ALL") << "filters are not touched";
    }
    HPHONPD_YMD_FMT first = Key("1000", "200203");
    front.SearchMirak(&first, 0, 1);
    EXPECT_EQ(first.PAY_DT.Str(), "20020325");
    EXPECT_EQ(first.CCIS_YN.Str(), "001");
    EXPECT_EQ(first.RTCM_FG.Str(), "R02") << "the last pay type's rule of a combined run";
    EXPECT_TRUE(Messages().empty()) << "the picker reports nothing";
}

TEST_F(PickerTest, RunsWithoutAPayTypeOrRunKindNameAreNotListed) {
    CIMirak1 front;
    HPHONPD_YMD_FMT key = Key("1000", "200203");
    front.SearchMirak(&key, 0, 4);
    EXPECT_TRUE(AllZero(key)) << "runs 3 (no 'P4' name) and 4 (no 'SC' name) are left out";
}

TEST_F(PickerTest, SearchMirakPastTheListOrOnAnEmptyMonthClearsTheKey) {
    CIMirak1 front;
    for (auto [company, month, index] :
         {std::tuple{"1000", "200204", 3}, std::tuple{"1000", "199901", 1},
          std::tuple{"9999", "200203", 1}}) {
        HPHONPD_YMD_FMT key = Filled(0x33);
        key.CO_CD.Set(company);
        key.RVRS_YM.Set(month);
        EXPECT_EQ(front.SearchMirak(&key, 0, index), 1u);
        EXPECT_TRUE(AllZero(key)) << company << " " << month << " #" << index;
    }
}

TEST_F(PickerTest, SearchMirakWithAFlagOrIndexZero) {
    CIMirak1 front;
    HPHONPD_YMD_FMT key = Key("1000", "200203");
    HPHONPD_YMD_FMT before = key;
    EXPECT_EQ(front.SearchMirak(&key, 1, 1), 1u);
    EXPECT_EQ(std::memcmp(&key, &before, sizeof key), 0) << "a flag does nothing";
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(front.SearchMirak(&key, 0, 0), 1u);
    EXPECT_EQ(std::memcmp(&key, &before, sizeof key), 0) << "index 0 only keeps the filters";
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(front.SearchMirak(nullptr, 0, 1), 1u);
    // The filters kept by index 0 serve a later GetData-free query.
    HPHONPD_YMD_FMT other = Key("1000", "200204");
    front.SearchMirak(&other, 0, 1);
    EXPECT_EQ(other.SEL_NO, 1);
    EXPECT_EQ(other.RVRS_YM.Str(), "200204");
}

TEST_F(PickerTest, AFailedQueryLeavesTheKeyAsItWas) {
    CIMirak1 front;
    HPHONPD_YMD_FMT key = Filled(0x44);
    key.CO_CD.Set("1000");
    key.RVRS_YM.Set("200203");
    HPHONPD_YMD_FMT before = key;
    FailAt(1);
    EXPECT_EQ(front.SearchMirak(&key, 0, 1), 1u);
    EXPECT_EQ(std::memcmp(&key, &before, sizeof key), 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PickerTest, CompanyAndMonthAreEscaped) {
    Exec("INSERT INTO HPHPYFQ VALUES('1','200203',1,'20020301','002')");
    Exec("INSERT INTO HPHONPD VALUES('1','200203',1,'101','R','J')");
    Exec(
        "INSERT INTO SCTRL_D(CO_CD,CTRL_CD,CTD_CD,CTD_NM) VALUES('1','P4','101','x'),"
        "('1','SC','002','y')");
    CIMirak1 front;
    HPHONPD_YMD_FMT key = Key("1'--", "200203");
    key.SEL_NO = -1;
    front.SearchMirak(&key, 0, 1);
    EXPECT_EQ(key.SEL_NO, 0) << "the query ran and found no company named 1'--";
    ASSERT_FALSE(Sent().empty());
    EXPECT_NE(Sent().back().find("A.CO_CD = '1''--'AND"), std::string::npos) << Sent().back();
}

TEST_F(PickerTest, StatementsAreTheCataloguedOnes) {
    std::vector<payroll::catalogue::Entry> entries;
    std::string error;
    ASSERT_TRUE(payroll::catalogue::LoadCatalogue(&entries, &error)) << error;
    const auto* main = payroll::catalogue::FindEntry(entries, "pay runs of a month");
    const auto* second =
        payroll::catalogue::FindEntry(entries, "pay runs of a month, second name columns");
    ASSERT_TRUE(main && second);

    CIMirak1 front;
    HPHONPD_YMD_FMT key = Key("1000", "200203");
    front.SearchMirak(&key, 0, 1);
    ASSERT_EQ(Sent().size(), 1u);
    EXPECT_EQ(Sent()[0], main->text);

    payroll::testing::ScopedRegistry registry(
        "[Software\\Orvantis]\n\"RunApp\"=\"Payroll\"\n[Software\\Orvantis\\Payroll]\n"
        "LangKind=dword:00000001\nVerKind=dword:00000002\n");
    CIMirak1 english;
    ClearSent();
    english.SearchMirak(&key, 0, 1);
    ASSERT_EQ(Sent().size(), 1u);
    EXPECT_EQ(Sent()[0], second->text);
    EXPECT_EQ(key.NM1.Str(), "Monthly,Hourly");
    EXPECT_EQ(key.NM2.Str(), "Combined");
}

TEST_F(PickerTest, MainNamesOnceChosenStayChosen) {
    const char* differ =
        "[Software\\Orvantis]\nRunApp=\"P\"\n[Software\\Orvantis\\P]\n"
        "LangKind=dword:00000001\nVerKind=dword:00000000\n";
    const char* equal =
        "[Software\\Orvantis]\nRunApp=\"P\"\n[Software\\Orvantis\\P]\n"
        "LangKind=dword:00000002\nVerKind=dword:00000002\n";
    CPayRunDlg dlg;
    dlg.SetFilters("1000", "200203");
    {
        payroll::testing::ScopedRegistry r(differ);
        dlg.QueryAndFill(nullptr, CPayRunDlg::FillMode::kFillGrid, 0);
        EXPECT_FALSE(dlg.UsesMainNames());
        EXPECT_NE(dlg.LastStatement().Find("S.CTD_NMK NM1"), -1);
    }
    {
        payroll::testing::ScopedRegistry r(equal);
        dlg.QueryAndFill(nullptr, CPayRunDlg::FillMode::kFillGrid, 0);
        EXPECT_TRUE(dlg.UsesMainNames());
    }
    {
        payroll::testing::ScopedRegistry r(differ);
        dlg.QueryAndFill(nullptr, CPayRunDlg::FillMode::kFillGrid, 0);
        EXPECT_TRUE(dlg.UsesMainNames()) << "never cleared again";
        EXPECT_NE(dlg.LastStatement().Find("S.CTD_NM NM1"), -1);
    }
    // No registry at all: the main names.
    CPayRunDlg fresh;
    fresh.SetFilters("1000", "200203");
    fresh.QueryAndFill(nullptr, CPayRunDlg::FillMode::kFillGrid, 0);
    EXPECT_TRUE(fresh.UsesMainNames());
    EXPECT_EQ(dlg.LastTrace().size(), 3u) << "a statement of 401 to 600 characters, 3 pieces";
    EXPECT_EQ(dlg.LastTrace()[0].rfind("--[select dlg_help ]--- SELECT", 0), 0u);
}

TEST_F(PickerTest, ConfirmByOkEnterOrDoubleClick) {
    struct Case {
        const char* how;
        std::function<void(UiDialog&)> act;
    } cases[] = {
        {"OK button",
         [](UiDialog& d) {
             d.FindGrid(0)->SelectCell(0, 1);
             d.PressButton(IDOK);
         }},
        {"Enter in the grid",
         [](UiDialog& d) {
             d.PressKey(VK_DOWN);
             d.PressKey(VK_RETURN);
         }},
        {"double-click on a cell", [](UiDialog& d) { d.FindGrid(0)->DoubleClick(2, 1); }},
    };
    for (const Case& c : cases) {
        CIMirak1 front;
        HPHONPD_YMD_FMT key = Key("1000", "200203");
        key.PYTP_FG.Set("101");
        key.DIV_FILTER.Set("ALL");
        key.RTCM_FG.Set("KEEP");
        EXPECT_EQ(Pick(front, &key, c.act), 1u) << c.how;
        EXPECT_EQ(key.SEL_NO, 2) << c.how;
        EXPECT_EQ(key.SQ.Str(), "2") << c.how;
        EXPECT_EQ(key.PYTP_FG.Str(), "201") << c.how;
        EXPECT_EQ(key.NM1.Str(), "상여") << c.how;
        EXPECT_EQ(key.NM2.Str(), "개별") << c.how;
        EXPECT_EQ(key.PAY_DT.Str(), "20020330") << c.how;
        EXPECT_EQ(key.CCIS_YN.Str(), "002") << c.how;
        EXPECT_EQ(key.DIV_FILTER.Str(), "ALL") << c.how;
        EXPECT_EQ(key.RTCM_FG.Str(), "KEEP") << "a key from the dialog keeps RTCM_FG";
        // GetData afterwards reads the same row from the grid that outlived
        // the dialog.
        HPHONPD_YMD_FMT again = Key("", "");
        front.GetData(&again);
        EXPECT_EQ(again.SEL_NO, 2) << c.how;
        EXPECT_EQ(again.PYTP_LIST.Str(), "201") << c.how;
    }
}

TEST_F(PickerTest, AKeyFromTheDialogHoldsOnlyTheFirstPayTypeOfACombinedRun) {
    CIMirak1 front;
    HPHONPD_YMD_FMT key = Key("1000", "200203");
    EXPECT_EQ(Pick(front, &key, [](UiDialog& d) { d.PressButton(IDOK); }), 1u);
    EXPECT_EQ(key.SEL_NO, 1);
    EXPECT_EQ(key.NM1.Str(), "월급여,시급");
    EXPECT_EQ(key.PYTP_LIST.Str(), "101");
    EXPECT_EQ(key.PYTP_HEAD.Str(), "101");
}

TEST_F(PickerTest, CancelByEscapeOrCancel) {
    for (bool escape : {true, false}) {
        CIMirak1 front;
        HPHONPD_YMD_FMT key = Key("1000", "200203");
        HPHONPD_YMD_FMT before = key;
        unsigned result = Pick(front, &key, [escape](UiDialog& d) {
            if (escape)
                d.FindGrid(0)->KeyDown(VK_ESCAPE);
            else
                d.PressButton(IDCANCEL);
        });
        EXPECT_EQ(result, 2u) << (escape ? "Escape" : "Cancel");
        EXPECT_EQ(std::memcmp(&key, &before, sizeof key), 0) << "a cancelled pick keeps the key";
    }
}

TEST_F(PickerTest, InitWithAFlagShowsNothing) {
    CIMirak1 front;
    HPHONPD_YMD_FMT key = Key("1000", "200203");
    driver_.AnswerNextModal(IDOK);
    EXPECT_EQ(front.init(1, &key), 0u);
    EXPECT_EQ(driver_.PendingScripts(), 1) << "no dialog ran";
    EXPECT_TRUE(driver_.EventsOf(payroll::ui::UiEvent::Kind::kModalShown).empty());
    EXPECT_EQ(front.init(0, nullptr), 0u);
}

TEST_F(PickerTest, GetDataWithoutACurrentRowClearsTheWholeKey) {
    CIMirak1 front;
    HPHONPD_YMD_FMT key = Filled(0x77);
    front.GetData(&key);
    EXPECT_TRUE(AllZero(key));

    // An empty month: the grid has no rows, so no current row either.
    HPHONPD_YMD_FMT empty = Key("1000", "199901");
    EXPECT_EQ(Pick(front, &empty, [](UiDialog& d) { d.PressButton(IDOK); }), 1u);
    EXPECT_TRUE(AllZero(empty));
    front.GetData(nullptr);  // harmless
}

TEST_F(PickerTest, AFailedQueryOffersNoRun) {
    CIMirak1 front;
    HPHONPD_YMD_FMT key = Key("1000", "200203");
    Pick(front, &key, [](UiDialog& d) {
        d.FindGrid(0)->SelectCell(0, 2);
        d.PressButton(IDCANCEL);
    });
    // The next showing's query fails: the grid is left as its set-up made
    // it, one blank row, and confirming it gives no run (not a stale one of
    // the month before, nor a blank one numbered 1). Nothing is shown.
    FailAt(1);
    HPHONPD_YMD_FMT next = Filled(0x55);
    next.CO_CD.Set("1000");
    next.RVRS_YM.Set("200204");
    long rows = -1;
    CString first_cell = "?";
    EXPECT_EQ(Pick(front, &next,
                   [&](UiDialog& d) {
                       rows = d.FindGrid(0)->RowCount();
                       first_cell = d.FindGrid(0)->CellText(0, 0);
                       d.PressButton(IDOK);
                   }),
              1u);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(first_cell, "");
    EXPECT_TRUE(AllZero(next));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PickerTest, TheDialogAsShown) {
    CIMirak1 front;
    HPHONPD_YMD_FMT key = Key("1000", "200203");
    key.PYTP_FG.Set(TheLangUtil().GetLangString(1026).c_str());
    CString title, ok, cancel;
    std::vector<payroll::ui::ControlInfo> controls;
    std::vector<std::string> side, titles, hidden;
    Pick(front, &key, [&](UiDialog& d) {
        title = d.Title();
        controls = d.Controls();
        UiGrid* grid = d.FindGrid(payroll::ui::kPayRunGridId);
        ASSERT_NE(grid, nullptr);
        ASSERT_EQ(grid->ColCount(), 10);
        for (long r = 0; r < grid->RowCount(); ++r) side.push_back(grid->CellText(-1, r).str());
        for (int c = 0; c < 3; ++c) titles.push_back(grid->ColumnTitle(c).str());
        for (int c = 3; c < 10; ++c)
            if (grid->ColumnWidth(c) != 0) hidden.push_back(std::to_string(c));
        EXPECT_EQ(grid->CellText(0, 0), "20020325");
        EXPECT_EQ(grid->CellText(5, 1), "2");
        EXPECT_EQ(grid->CellText(9, 2), "R04");
        EXPECT_EQ(grid->CellText(7, 0), "");
        EXPECT_FALSE(grid->ResizeColumn(2, 100)) << "the pay types column keeps its width";
        EXPECT_TRUE(grid->ResizeColumn(1, 90));
        ok = d.ControlText(IDOK);
        cancel = d.ControlText(IDCANCEL);
        d.PressButton(IDCANCEL);
    });
    EXPECT_EQ(title, TheLangUtil().GetLangString(1027)) << "the bonus title for pay type 1026";
    EXPECT_EQ(ok, TheLangUtil().GetLangString(1069));
    EXPECT_EQ(cancel, TheLangUtil().GetLangString(1070));
    EXPECT_EQ(side, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(titles[0], TheLangUtil().GetLangString(1064).str());
    EXPECT_EQ(titles[2], TheLangUtil().GetLangString(1066).str());
    EXPECT_TRUE(hidden.empty()) << "columns 3 to 9 are hidden";
    int seen = 0;
    for (const auto& c : controls) {
        CRect want;
        if (c.id == payroll::ui::kPayRunGridId) want = CRect(3, 5, 325, 230);
        if (c.id == IDCANCEL) want = CRect(334 - 75, 295 - 30, 334 - 15, 295 - 7);
        if (c.id == IDOK) want = CRect(334 - 140, 295 - 30, 334 - 80, 295 - 7);
        if (want.IsRectNull()) continue;
        EXPECT_EQ(c.rect, want) << "control " << c.id;
        ++seen;
    }
    EXPECT_EQ(seen, 3);

    HPHONPD_YMD_FMT pay = Key("1000", "200203");
    pay.PYTP_FG.Set("101");
    Pick(front, &pay, [&](UiDialog& d) {
        title = d.Title();
        d.PressButton(IDCANCEL);
    });
    EXPECT_EQ(title, TheLangUtil().GetLangString(1028));
}

TEST_F(PickerTest, GridNotifications) {
    CPayRunDlg dlg;
    dlg.SetFilters("1000", "200203");
    driver_.AddModalScript([](UiDialog& d) {
        auto* grid = static_cast<CListGrid*>(d.FindGrid(0));
        CString hint;
        EXPECT_TRUE(grid->OnHint(3, 7, UG_GRID, &hint));
        EXPECT_EQ(hint, "Col:3 Row:7");
        EXPECT_EQ(grid->GetSpecMask(0), CListGrid::kPayDateSpecMask);
        EXPECT_EQ(grid->GetMaskAttr(4), "@EX(0)\t\t@A(ALIGN_CENTER)\t@D(10)\t@Z(1004)");
        EXPECT_EQ(grid->GetMaskAttr(9), "@EX(0)\t\t@A(ALIGN_CENTER)\t@D(10)\t@Z(1009)");
        EXPECT_EQ(grid->GetSH_Width(), 22);
        EXPECT_EQ(grid->GetListMode(), 1);
        EXPECT_TRUE(grid->GetOptions() & 2);
        EXPECT_TRUE(grid->GetUserColWidth());
        EXPECT_EQ(grid->OnDragEnter(nullptr), 0);
        // A typed letter starts editing; Tab, Enter and Escape do not.
        d.FindGrid(0)->Char(VK_TAB);
        EXPECT_FALSE(grid->IsEditing());
        d.FindGrid(0)->Char('x');
        EXPECT_TRUE(grid->IsEditing());
        EXPECT_EQ(grid->GetEditText(), "x");
        grid->EndEdit(TRUE);
        d.PressButton(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(ListGridSort, ComparesByTheFirstCellsType) {
    CListGrid grid;
    auto cell = [](int type, const char* text) {
        CG_UGCell c;
        c.SetDataType(type);
        c.SetText(text);
        return c;
    };
    struct Case {
        CG_UGCell a, b;
        int flags;
        int expected;
    } cases[] = {
        {cell(UGCELLDATA_STRING, ""), cell(UGCELLDATA_STRING, ""), UG_SORT_ASCENDING, 0},
        {cell(UGCELLDATA_STRING, ""), cell(UGCELLDATA_STRING, "a"), UG_SORT_ASCENDING, 1},
        {cell(UGCELLDATA_STRING, "a"), cell(UGCELLDATA_STRING, ""), UG_SORT_ASCENDING, -1},
        {cell(UGCELLDATA_STRING, "b"), cell(UGCELLDATA_STRING, "a"), UG_SORT_ASCENDING, 1},
        {cell(UGCELLDATA_STRING, "b"), cell(UGCELLDATA_STRING, "a"), UG_SORT_DESCENDING, -1},
        {cell(UGCELLDATA_NUMBER, "10"), cell(UGCELLDATA_NUMBER, "9"), UG_SORT_ASCENDING, 1},
        {cell(UGCELLDATA_CURRENCY, "9"), cell(UGCELLDATA_NUMBER, "10"), UG_SORT_ASCENDING, -1},
        {cell(UGCELLDATA_BOOL, "1"), cell(UGCELLDATA_BOOL, "1"), UG_SORT_ASCENDING, 0},
        {cell(UGCELLDATA_TIME, "10"), cell(UGCELLDATA_TIME, "9"), UG_SORT_ASCENDING, -1},
        {cell(UGCELLDATA_STRING, "급여"), cell(UGCELLDATA_STRING, "상여"), UG_SORT_ASCENDING, -1},
    };
    for (Case& c : cases)
        EXPECT_EQ(grid.OnSortEvaluate(&c.a, &c.b, c.flags), c.expected)
            << c.a.GetText() << " vs " << c.b.GetText();
    EXPECT_EQ(grid.OnSortEvaluate(nullptr, nullptr, 0), 0);
}

TEST(ListGridPaint, FocusRectangleAndBackgrounds) {
    CListGrid grid;
    CDC dc;
    RECT r{10, 20, 50, 40};
    grid.OnDrawFocusRect(&dc, &r);
    ASSERT_EQ(dc.ops().size(), 1u);
    EXPECT_EQ(dc.ops()[0].rect, CRect(10, 20, 49, 39));
    EXPECT_EQ(grid.OnGetDefBackColor(UG_GRID), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(grid.OnGetDefBackColor(UG_TOPHEADING), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
