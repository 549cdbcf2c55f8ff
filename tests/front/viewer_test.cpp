// The employee record viewer on a seeded database: the cells each loader
// fills, the decimals, the failures of each statement, the name columns.
#include <gtest/gtest.h>

#include <map>

#include "front/emp_form_layout.h"
#include "front/emp_view_dialog.h"
#include "front_fixture.h"
#include "payroll/imirak1.h"
#include "platform/db/catalogue/catalogue.h"
#include "platform/lang/lang_util.h"
#include "platform/ui/dialog_ids.h"

namespace {

using payroll::front::UiForm;
using payroll::testing::FrontFixture;
using payroll::ui::UiDialog;
using payroll::ui::UiEvent;
namespace form = payroll::front::form;

// What the viewer showed when the script looked at it.
struct Shown {
    CString title;
    std::map<std::pair<int, int>, std::string> cells;  // display texts of value cells
    std::vector<std::pair<std::string, std::string>> fixed_pay;
    std::vector<payroll::ui::ControlInfo> controls;
    bool ran = false;
};

class ViewerTest : public FrontFixture {
  protected:
    void SetUp() override {
        FrontFixture::SetUp();
        Exec(
            "INSERT INTO SEMP(CO_CD,EMP_CD,KOR_NM,KOR_NMK,RSRG_NO,FORG_NO,REFR_YN,JOIN_DT,"
            "APED_YN,APED_DT,RPMC_DT,RTR_DT,ENRL_FG,EMPL_FG,HRSP_CD,HCLS_CD,PYST_GR,PYSP_FG,"
            "HTYP_CD,HOPR_CD,PRTY_CD,DEPT_CD,RSDC_FG,SPUS_YN,ABIN_YN,FEHR_YN,WMHH_YN,WKTG_YN,"
            "TDFR_SN,SUFR_SN,CHRS_SN,AGCT_SN,HDCP_SN,FESC_DT) VALUES('1000','E0001','홍길동',"
            "'Hong','8001011234567','F-77','001','19990301','001','19990601','20010101',NULL,"
            "'001','001','P01','C01','S05','001','G01','O01','J01','D01','001','001','002',"
            "NULL,'001','','2','1',1.5,'0','3','20000101')");
        Exec(
            "INSERT INTO SCTRL_D(CO_CD,CTRL_CD,CTD_CD,CTD_NM,CTD_NMK) VALUES"
            "('1000','S2','001','내국인','Local'),('1000','HE','001','재직','Active'),"
            "('1000','G1','001','정규직','Regular'),('1000','G3','P01','팀장','Lead'),"
            "('1000','G4','C01','과장','Manager'),('1000','PE','S05','5호봉','Step 5'),"
            "('1000','P5','001','월급제','Monthly'),('1000','G2','G01','일반','General'),"
            "('1000','G5','O01','사무직','Office'),('1000','O2','J01','관리','Admin'),"
            "('1000','HH','001','거주자','Resident'),('1000','PD','F01','기본급','Base'),"
            "('1000','PD','F02','식대','Meals'),('1000','PD','F03','차량','Car')");
        Exec("INSERT INTO SDEPT VALUES('1000','D01','V1','총무부','General affairs')");
        Exec(
            "INSERT INTO HPHFXPD VALUES('1000','E0001','F01','200201','',1500),"
            "('1000','E0001','F02','200201',NULL,0),('1000','E0001','F03','200101','200112',9)");
        ClearSent();
    }
    void PayStep(const char* amount) {
        Exec(std::string("INSERT INTO HHCPYST VALUES('1000','C01','S05','200201',NULL,") + amount +
             ")");
    }
    void Decimals(const char* count) {
        Exec(std::string("INSERT INTO syscfg VALUES('1000','06','',") + count + ",'001','')");
    }

    // Shows the viewer through the front object and reads it.
    Shown View(const char* employee = "E0001", const char* month = "200203") {
        Shown shown;
        driver_.AddModalScript([&shown](UiDialog& d) {
            shown.ran = true;
            shown.title = d.Title();
            shown.controls = d.Controls();
            if (const UiForm* f = payroll::front::FindForm(d, payroll::ui::kEmployeeFormId)) {
                for (int r = 0; r < f->RowCount(); ++r)
                    for (int c = 0; c < f->ColCount(r); ++c)
                        if (!f->IsLabel(r, c)) shown.cells[{r, c}] = f->CellText(r, c).str();
            }
            if (payroll::ui::UiGrid* g = d.FindGrid(payroll::ui::kFixedPayListId))
                for (long r = 0; r < g->RowCount(); ++r)
                    shown.fixed_pay.emplace_back(g->CellText(0, r).str(), g->CellText(1, r).str());
            d.PressButton(IDOK);
        });
        CIMirak1 front;
        HPHONPD_YMD_FMT key = Key("1000", month);
        front.CallSempSubject(&key, employee);
        return shown;
    }
    static std::string At(const Shown& s, payroll::front::FormPlace p) {
        auto it = s.cells.find({p.row, p.col});
        return it == s.cells.end() ? "<no cell>" : it->second;
    }
    static bool AllValuesEmpty(const Shown& s) {
        for (const auto& [place, text] : s.cells)
            if (!text.empty()) return false;
        return true;
    }
};

TEST_F(ViewerTest, ShowsThePersonnelRecordPayStepAndFixedPay) {
    Decimals("2");
    PayStep("2500000");
    Shown s = View();
    ASSERT_TRUE(s.ran);
    EXPECT_EQ(s.title, TheLangUtil().GetLangString(1076));
    struct {
        payroll::front::FormPlace at;
        const char* text;
    } cells[] = {
        {form::kEmpCd, "E0001"},
        {form::kKorNm, "홍길동"},
        {form::kRsrgNo, "800101-1234567"},
        {form::kRefrName, "내국인"},
        {form::kForgNo, "F-77"},
        {form::kJoinDt, "1999/03/01"},
        {form::kApedFlag, "O"},
        {form::kApedDt, "1999/06/01"},
        {form::kRpmcDt, "2001/01/01"},
        {form::kRtrDt, ""},
        {form::kEnrlName, "재직"},
        {form::kEmplName, "정규직"},
        {form::kHrspName, "팀장"},
        {form::kHclsName, "과장"},
        {form::kPyspName, "월급제"},
        {form::kHtypName, "일반"},
        {form::kHoprName, "사무직"},
        {form::kPrtyName, "관리"},
        {form::kDeptName, "총무부"},
        {form::kPayStep, "5호봉 (2,500,000.00)"},
        {form::kSpusFlag, "O"},
        {form::kAbinFlag, "X"},
        {form::kRsdcName, "거주자"},
        {form::kTdfrSn, "2"},
        {form::kSufrSn, "1"},
        {form::kChrsSn, "1.50"},
        {form::kAgctSn, "0"},
        {form::kFehrFlag, "X"},  // NULL
        {form::kHdcpSn, "3"},
        {form::kFescDt, "20000101"},  // its mask has no picture
        {form::kWmhhFlag, "O"},
        {form::kWktgFlag, "X"},  // empty text
    };
    for (const auto& c : cells)
        EXPECT_EQ(At(s, c.at), c.text) << "cell " << c.at.row << "," << c.at.col;
    // Only the items of the month; 1500 with two decimals and no grouping, 0
    // with no amount; the item that ended in 2001 is not listed.
    EXPECT_EQ(s.fixed_pay, (std::vector<std::pair<std::string, std::string>>{{"기본급", "1500.00"},
                                                                             {"식대", ""}}));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(driver_.EventsOf(UiEvent::Kind::kSplashShown).size(), 1u);
    EXPECT_EQ(driver_.EventsOf(UiEvent::Kind::kSplashShown)[0].text,
              TheLangUtil().GetLangString(1063));
    EXPECT_EQ(driver_.EventsOf(UiEvent::Kind::kSplashHidden).size(), 1u);
}

TEST_F(ViewerTest, WithoutADecimalsRowAmountsHaveNoPoint) {
    PayStep("2500000.75");
    Shown s = View();
    EXPECT_EQ(At(s, form::kPayStep), "5호봉 (2,500,001)");
    EXPECT_EQ(s.fixed_pay.at(0).second, "1500");
}

TEST_F(ViewerTest, DecimalCountsOutOfRangeAreHeldIn) {
    for (auto [count, amount] : {std::pair{"-3", "1500"}, std::pair{"99999", "1500.000000000"}}) {
        Exec("DELETE FROM syscfg");
        Decimals(count);
        Shown s = View();
        EXPECT_EQ(s.fixed_pay.at(0).second, amount) << count;
    }
}

TEST_F(ViewerTest, APayStepWithoutAnAmountShowsTheGradeAndOneBlank) {
    for (const char* amount : {"", "0", "-100", "NULL"}) {
        Exec("DELETE FROM HHCPYST");
        if (*amount) PayStep(amount);
        Shown s = View();
        EXPECT_EQ(At(s, form::kPayStep), "5호봉 ") << "amount " << amount;
    }
}

TEST_F(ViewerTest, AnUnknownEmployeeLeavesTheFormEmptyWithoutAMessage) {
    Shown s = View("E9999");
    ASSERT_TRUE(s.ran);
    EXPECT_TRUE(AllValuesEmpty(s));
    EXPECT_EQ(s.fixed_pay.size(), 1u) << "the list keeps its one set-up row";
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ViewerTest, EachFailedStatementShowsItsTag) {
    // The statements in order: 1 decimals, 2 employee, 3 pay step, 4 its
    // amount, 5 fixed pay.
    struct Case {
        long fail;
        const char* message;
        bool personnel, pay_step, fixed_pay;
    } cases[] = {
        {1, "OnShowWindow error", false, false, false}, {2, "OpenData error", false, true, true},
        {3, "OpenData_2 error", true, false, true},     {4, "OpenData_2 error", true, false, true},
        {5, "OpenData_3 error", true, true, false},
    };
    PayStep("1000");
    for (const Case& c : cases) {
        driver_.Clear();
        ClearSent();
        FailAt(c.fail);
        Shown s = View();
        EXPECT_EQ(Messages(), std::vector<CString>{c.message}) << c.fail;
        EXPECT_EQ(At(s, form::kKorNm).empty(), !c.personnel) << c.fail;
        EXPECT_EQ(At(s, form::kPyspName).empty(), !c.pay_step) << c.fail;
        EXPECT_EQ(At(s, form::kDeptName).empty(), !c.pay_step) << c.fail;
        EXPECT_EQ(s.fixed_pay.at(0).first.empty(), !c.fixed_pay) << c.fail;
        if (c.fail == 1) {
            EXPECT_EQ(Sent().size(), 1u) << "no loader runs after the first";
        }
        if (c.fail == 2) {
            EXPECT_EQ(At(s, form::kPayStep), "5호봉 ") << "no pay class, so no amount";
        }
    }
}

TEST_F(ViewerTest, StatementsAreTheCataloguedOnes) {
    std::vector<payroll::catalogue::Entry> entries;
    std::string error;
    ASSERT_TRUE(payroll::catalogue::LoadCatalogue(&entries, &error)) << error;
    auto text = [&](const char* name) {
        const auto* e = payroll::catalogue::FindEntry(entries, name);
        return e ? e->text : std::string("<missing>");
    };
    PayStep("1000");
    ClearSent();
    View("E0001", "200203");
    ASSERT_EQ(Sent().size(), 5u);
    EXPECT_EQ(Sent()[0], text("amount decimals setting"));
    EXPECT_EQ(Sent()[1], text("employee personnel record"));
    EXPECT_EQ(Sent()[2], text("employee pay step and organisation"));
    EXPECT_EQ(Sent()[3], text("pay-step amount"));
    EXPECT_EQ(Sent()[4], text("fixed pay items"));
}

TEST_F(ViewerTest, SecondNameColumnsWhenTheLanguagesDiffer) {
    payroll::testing::ScopedRegistry registry(
        "[Software\\Orvantis]\nRunApp=\"Payroll\"\n[Software\\Orvantis\\Payroll]\n"
        "LangKind=dword:00000001\nVerKind=dword:00000000\n");
    std::vector<payroll::catalogue::Entry> entries;
    std::string error;
    ASSERT_TRUE(payroll::catalogue::LoadCatalogue(&entries, &error)) << error;
    Shown s = View();
    EXPECT_EQ(At(s, form::kKorNm), "Hong");
    EXPECT_EQ(At(s, form::kDeptName), "General affairs");
    EXPECT_EQ(At(s, form::kPayStep), "Step 5 ");
    EXPECT_EQ(s.fixed_pay.at(0).first, "Base");
    ASSERT_GE(Sent().size(), 3u);
    EXPECT_EQ(Sent()[1], payroll::catalogue::FindEntry(
                             entries, "employee personnel record, second name columns")
                             ->text);
    EXPECT_EQ(Sent()[2], payroll::catalogue::FindEntry(
                             entries, "employee pay step and organisation, second name columns")
                             ->text);
    EXPECT_NE(Sent().back().find("SELECT B.CTD_NMK CTD_NM"), std::string::npos);
    // English texts were loaded for this dialog.
    EXPECT_EQ(s.title, "Employee record");
}

TEST_F(ViewerTest, CodesFromTheHostAreEscaped) {
    Shown s = View("E'0001");
    ASSERT_TRUE(s.ran);
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(AllValuesEmpty(s));
    ASSERT_GE(Sent().size(), 2u);
    EXPECT_NE(Sent()[1].find("A.EMP_CD='E''0001'"), std::string::npos);

    CIMirak1 front;
    HPHONPD_YMD_FMT key = Key("1'0", "2002'3");
    driver_.AnswerNextModal(IDOK);
    ClearSent();
    front.CallSempSubject(&key, "x");
    EXPECT_TRUE(Messages().empty());
    EXPECT_NE(Sent()[0].find("CO_CD='1''0'"), std::string::npos);
    EXPECT_NE(Sent().back().find("A.CTST_YM<='2002''3'"), std::string::npos);
    front.CallSempSubject(nullptr, "E0001");  // nothing to show
}

TEST_F(ViewerTest, TheFixedPayListClosesTheViewerLikeItsOkButton) {
    for (int how = 0; how < 2; ++how) {
        CEmpViewDlg viewer;
        HPHONPD_YMD_FMT key = Key("1000", "200203");
        viewer.SetKey(key);
        viewer.SetEmployee("E0001");
        driver_.AddModalScript([how](UiDialog& d) {
            payroll::ui::UiGrid* list = d.FindGrid(payroll::ui::kFixedPayListId);
            if (how == 0)
                list->DoubleClick(0, 0);
            else
                list->KeyDown(VK_RETURN);
        });
        EXPECT_EQ(viewer.DoModal(), IDOK) << how;
        EXPECT_EQ(viewer.PayClass(), "C01");
    }
}

TEST_F(ViewerTest, FormAndListLayout) {
    Shown s = View();
    CRect form_rect, list_rect;
    for (const auto& c : s.controls) {
        if (c.id == payroll::ui::kEmployeeFormId) form_rect = c.rect;
        if (c.id == payroll::ui::kFixedPayListId) list_rect = c.rect;
    }
    CRect client = payroll::ui::DialogUnitsToPixels(CRect(0, 0, 326, 294));
    EXPECT_EQ(form_rect, CRect(5, 5, client.right - 5, 390));
    EXPECT_EQ(list_rect, CRect(5, 395, client.right - 300, client.bottom - 5));

    CEmpViewDlg viewer;
    driver_.AddModalScript([](UiDialog& d) {
        auto& dlg = *static_cast<CEmpViewDlg*>(d.Window());
        CEmpFormGrid& f = dlg.Form();
        ASSERT_EQ(f.GetRowCount(), payroll::front::kFormRows);
        for (int r = 0; r < payroll::front::kFormRows; ++r) {
            EXPECT_EQ(f.GetColCount(r), payroll::front::kFormColCounts[static_cast<size_t>(r)]);
            for (int c = 0; c < f.GetColCount(r); ++c)
                EXPECT_EQ(f.GetTextFormat(r, c), 37u) << r << "," << c;
            bool heading = r == 0 || r == 9 || r == 14;
            EXPECT_EQ(f.IsHeading(r), heading) << r;
        }
        EXPECT_EQ(f.GetMaskAttr(0, 0), TheLangUtil().GetLangString(1029));
        EXPECT_EQ(f.GetMaskAttr(14, 0), TheLangUtil().GetLangString(1062));
        EXPECT_EQ(f.GetMaskAttr(3, 3),
                  "@EX(0)@D14@A(DT_LEFT|DT_VCENTER|DT_SINGLELINE)              @P35");
        EXPECT_EQ(f.GetMaskAttr(7, 5), "@EX(0)@D14@A@A(DT_LEFT|DT_VCENTER|DT_SINGLELINE)");
        EXPECT_EQ(f.GetMaskAttr(2, 1),
                  "@E9(0)@M######-#######@D14@A(DT_LEFT|DT_VCENTER|DT_SINGLELINE)@P35");
        EXPECT_GE(f.GetRowHeight(0), 26) << "headings are 6 pixels taller";
        EXPECT_GE(f.GetRowHeight(5), 20);
        EXPECT_LT(f.GetRect(1, 0).top, f.GetRect(2, 0).top) << "rows are stacked";
        EXPECT_EQ(dlg.FixedPayList().GetTitleText(0), TheLangUtil().GetLangString(1067));
        EXPECT_EQ(dlg.FixedPayList().GetMaskAttr(1),
                  "@EX(0)\t\t@A(ALIGN_VCENTER|ALIGN_CENTER)\t@@I(DBL)\t@D(24)\t@Z(1002)");
        EXPECT_TRUE(dlg.FixedPayList().ResizeColumn(0, 120)) << "layout 1 sizes every column";
        EXPECT_EQ(d.ControlText(IDOK), TheLangUtil().GetLangString(1077));
        d.PressButton(IDOK);
    });
    EXPECT_EQ(viewer.DoModal(), IDOK);
}

}  // namespace
