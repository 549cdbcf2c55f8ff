// The default pay rows of a run: one row for every pay and deduction item of
// every employee on the roster that does not have it yet, gathered per
// employee, sent in batches inside the build's transaction, then committed.
#include <memory>

#include "engine/build/build_steps.h"
#include "engine/build/default_row_text.h"
#include "engine/build/row_index.h"
#include "engine/common/messages.h"
#include "engine/common/record_layout.h"
#include "engine/common/row_counts.h"
#include "engine/common/run_key.h"
#include "engine/common/statements.h"
#include "platform/lang/lang_util.h"
#include "platform/text/sql_text.h"
#include "platform/ui/progress_dialog.h"
#include "platform/ui/splash.h"

namespace payroll::build {
namespace {

// Field widths of an employee master record, in the statement's column order.
const RecordLayout& MasterLayout() {
    static const RecordLayout layout = {12, 5, 5, 6,  6,  12, 5, 10, 10, 10, 10, 5, 4,
                                        4,  5, 5, 19, 19, 5,  5, 5,  42, 5,  22, 22};
    return layout;
}

// Appends the INSERT text of one row to the employee's texts of that kind.
// The run key has been checked, the kind is 1 or 2 and the position has
// room. An employee without a master record gets nothing.
void AppendDefaultRow(CSalaryCalcurate& e, const run_key::Fields& key, int position, int kind,
                      int pay_amount_flag, std::string_view employee, std::string_view code,
                      int master, std::string_view tax_flag) {
    const RosterRecord* roster = position >= 0 ? e.m_SEMP.at(position) : nullptr;
    const std::string amount =
        roster ? default_rows::DefaultAmount(code, pay_amount_flag, roster->NAPS_AM.View(),
                                             roster->HIFA_AM.View())
               : std::string("0");
    const SEMP_FMT* rec = master >= 0 ? e.m_SEMP_ALL.at(master) : nullptr;
    if (!rec) return;
    const std::string table = TableOf(e, kind);
    const std::string window = code == "T00" ? e.GetYmdtoYmd(master).str() : std::string("  ");
    default_rows::RowValues v;
    v.table = table;
    v.company = key.company.str();
    v.job_group = rec->PRTY_CD.View();
    v.division = rec->CDIV_CD.View();
    if (roster) {
        v.department = roster->DEPT_CD.View();
        v.project = roster->PJT_CD.View();
    }
    v.employee = employee;
    v.month = key.month.str();
    v.sq = key.sq.str();
    v.pay_type = key.pay_type.str();
    v.item_class = kind == 1 ? "P2" : "P3";
    v.code = code;
    v.amount = amount;
    v.dummy1 = window;
    v.dummy2 = rec->HRSP_CD.View();
    v.dummy3 = tax_flag;
    default_rows::AppendInsertText(kind, v, &e.m_strRowSQL[kind - 1][position].str());
}

// The progress dialog of the build, when it could be opened.
class Progress {
  public:
    Progress(CSalaryCalcurate* engine, int employees) : dialog_(engine) {
        if (!dialog_.Open()) return;
        open_ = true;
        dialog_.Shrink(10);
        dialog_.ShowWindow(SW_SHOW);
        CG_GradientProgressCtrl& bar = dialog_.Bar(0);
        bar.SetStartColor(0x80DC00);
        bar.SetEndColor(0x800000);
        bar.ShowPercent(TRUE);
        dialog_.SetWindowText(TheLangUtil().GetLangString(1001));
        bar.SetRange(0, employees + 3);
        bar.SetPos(1);
    }
    ~Progress() { Close(); }
    void Step(int pos) {
        if (open_) dialog_.Bar(0).SetPos(pos);
    }
    void Close() {
        if (open_) dialog_.Close();
        open_ = false;
    }

  private:
    CProgressDlg dialog_;
    bool open_ = false;
};

// Fails the build at `failure`: the build's transaction is rolled back.
Status Abandon(CSalaryCalcurate& e, Status failure) {
    e.m_dsRoster[0].OnRollbackTrans();
    return failure;
}

Status RefuseBatches(long texts) {
    const CString text =
        lang::FormatLangText(kTooManyBatches, {texts, CSalaryCalcurate::kSentBatches});
    engine::ShowMessage(text);
    return Status::Refused("All_InsertData error", text.str());
}

// Gathers the employees' texts into the batches of their kind and sends a
// batch once the next one begins, so a run's texts are never all held at
// once (at 100,000 employees they come to some 600 MB). Each table still
// receives its rows in roster order, batch after batch.
class BatchSender {
  public:
    // Refused (after the failure was shown) when `employees` texts of a
    // kind could need more batches than are sent: every text is sent or the
    // build fails, none is left out quietly.
    Status Start(CSalaryCalcurate& e, int employees) {
        e_ = &e;
        const long batches = default_rows::BatchesFor(employees);
        if (batches > CSalaryCalcurate::kSentBatches) return RefuseBatches(employees);
        for (auto& kind : e.m_strBatch)
            std::vector<CString>(static_cast<std::size_t>(batches)).swap(kind);
        return Status();
    }

    // Moves an employee's text of kind k (0 pay, 1 deductions) into its
    // batch; fails when the batch before it failed.
    Status Add(int k, CString* text) {
        if (text->IsEmpty()) return Status();
        const long b = default_rows::BatchOf(ordinal_[k]++);
        if (b != current_[k]) {
            if (current_[k] >= 0) {
                if (Status sent = Send(k); !sent.ok()) return sent;
            }
            current_[k] = b;
            // The last batch's room is used again: a batch is about as long
            // as the one before it.
            Batch(k).str().swap(spare_[k]);
        }
        Batch(k) += *text;
        std::string().swap(text->str());
        return Status();
    }

    // Sends the batches still gathering, pay rows first.
    Status Finish() {
        for (int k = 0; k < 2; ++k)
            if (current_[k] >= 0) {
                if (Status sent = Send(k); !sent.ok()) return sent;
            }
        return Status();
    }

  private:
    CString& Batch(int k) { return e_->m_strBatch[k][static_cast<std::size_t>(current_[k])]; }

    Status Send(int k) {
        CString& batch = Batch(k);
        if (Status sent =
                engine::TracedExecute(*e_, batch, "All_InsertData", "All_InsertData error", 0);
            !sent.ok())
            return sent;
        // The batch's room goes back to the spare; the batch is left empty.
        spare_[k].swap(batch.str());
        spare_[k].clear();
        current_[k] = -1;
        return Status();
    }

    CSalaryCalcurate* e_ = nullptr;
    long ordinal_[2] = {0, 0};
    long current_[2] = {-1, -1};
    std::string spare_[2];
};

}  // namespace
Status InsertDefaultRows(CSalaryCalcurate& e, bool* committed) {
    *committed = false;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    int n = static_cast<int>(row_index::UsableRows(e.m_SEMP, e.m_nRowCount[engine::kRosterRows]));
    if (e.m_nRowCount[engine::kRosterRows] > CSalaryCalcurate::kMaxRosterEmployees)
        return Abandon(e,
                       Status::Refused("SetAllSempInsert", "the roster exceeds the run's limit"));
    if (n > CSalaryCalcurate::kMaxRosterEmployees) n = CSalaryCalcurate::kMaxRosterEmployees;

    Progress progress(&e, n);
    bool master_loaded = false, rows_loaded = false;
    Status status = LoadEmployeeMaster(e, &master_loaded);
    progress.Step(2);
    status.Keep(LoadExistingRows(e, CString(), &rows_loaded));
    e.m_strSempQuery.Empty();
    // Without the employee master no row could be written, and without the
    // existing rows every row would be written again: either way the build
    // stops here instead of committing a wrong run.
    if ((n > 0 && !master_loaded) || !rows_loaded) {
        progress.Close();
        return Abandon(e, std::move(status));
    }

    // Built once from the tables just loaded; they answer as the scans would.
    const row_index::ExistingRows pay_rows(e.m_PAY_LIST[0], e.m_nPayListCnt[0]);
    const row_index::ExistingRows deduction_rows(e.m_PAY_LIST[1], e.m_nPayListCnt[1]);
    const row_index::MasterPositions master(e.m_SEMP_ALL, e.m_nRowCount[engine::kEmployeeRows]);
    const std::size_t pay_items = row_index::UsableRows(e.m_DFM_LIST[0], e.m_nDfmListCnt[0]);
    const std::size_t deduction_items = row_index::UsableRows(e.m_DFM_LIST[1], e.m_nDfmListCnt[1]);
    const bool other_pay_type = key->combined == "001" && key->pay_type != key->pay_head;

    for (auto& texts : e.m_strRowSQL) std::vector<CString>(static_cast<std::size_t>(n)).swap(texts);
    BatchSender batches;
    if (Status started = batches.Start(e, n); !started.ok()) {
        progress.Close();
        return Abandon(e, std::move(started));
    }
    // An employee's texts are about as long as the last one's: each is given
    // that room at once instead of growing row by row.
    std::size_t last_length[2] = {0, 0};
    for (int i = 0; i < n; ++i) {
        const RosterRecord* person = e.m_SEMP.at(i);
        if (person->EMP_CD.IsEmpty()) break;
        progress.Step(i + 3);
        for (int k = 0; k < 2; ++k)
            if (last_length[k] > 0) e.m_strRowSQL[k][i].str().reserve(last_length[k] + 64);
        const std::string_view emp = person->EMP_CD.View();
        const int flag = pay_rows.AmountFlag(emp);
        const int m = master.Find(emp);
        for (std::size_t j = 0; j < pay_items; ++j) {
            const DfmListRecord* item = e.m_DFM_LIST[0].at(j);
            const std::string_view code = item->PYDD_CD.View();
            if (code.empty() || pay_rows.Has(emp, code)) continue;
            AppendDefaultRow(e, *key, i, 1, flag, emp, code, m, item->TAX_FG.View());
        }
        for (std::size_t j = 0; j < deduction_items; ++j) {
            const std::string_view code = e.m_DFM_LIST[1].at(j)->PYDD_CD.View();
            if (code.empty()) continue;
            // Statutory deductions belong to the first pay type of a combined run.
            if (other_pay_type && default_rows::IsStatutoryDeduction(code)) continue;
            if (deduction_rows.Has(emp, code)) continue;
            AppendDefaultRow(e, *key, i, 2, flag, emp, code, m, "");
        }
        for (int k = 0; k < 2; ++k) {
            const std::size_t length = e.m_strRowSQL[k][i].str().size();
            if (length > 0) last_length[k] = length;
            if (Status added = batches.Add(k, &e.m_strRowSQL[k][i]); !added.ok()) {
                progress.Close();
                return Abandon(e, std::move(added));
            }
        }
    }
    progress.Close();

    // The last batches, the statutory rows and the commit.
    auto splash = std::make_unique<CG_KvSplashwin>(0, 0, 512, 0x800000, 0xffffff);
    splash->ShowSplashText(TheLangUtil().GetLangString(1002), "");
    if (Status sent = batches.Finish(); !sent.ok()) return Abandon(e, std::move(sent));

    // Statutory rows under another pay type belong to this run only when its
    // pay types are paid together; a run of separate pay types would delete
    // the other run's stored taxes.
    if (key->combined == "001") {
        if (key->pay_head.IsEmpty())
            return Abandon(e, Status::Refused("dll-FIXED CODE/DELETE",
                                              TheLangUtil().GetLangString(1200).str()));
        CString sql(default_rows::StatutoryDeleteText(TableOf(e, 2), key->company.str(),
                                                      key->month.str(), key->sq.str(),
                                                      key->pay_head.str()));
        if (Status deleted = engine::TracedExecute(e, sql, "dll-FIXED CODE/DELETE",
                                                   "dll-FIXED CODE/DELETE error", 0);
            !deleted.ok())
            return Abandon(e, std::move(deleted));
    }
    if (!e.m_dsRoster[0].OnCommitTrans()) return engine::FailedOn("commit", e.m_dsRoster[0]);
    *committed = true;
    return Status();
}

Status LoadEmployeeMaster(CSalaryCalcurate& e, bool* loaded) {
    using payroll::sql::Esc;
    *loaded = false;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    const std::string co = Esc(key->company);
    CString sql;
    sql.Format(
        "SELECT  A.EMP_CD, A.PRTY_CD, A.PYSP_FG,  V.DIV_CD, A.DEPT_CD,  A.PJT_CD, A.HTYP_CD, "
        "A.FESC_DT, A.FESV_DT , A.JOIN_DT, A.RTR_DT, A.SPUS_YN , A.TDFR_SN, A.SUFR_SN, "
        "A.EMIS_YN, A.REFR_YN,  A.NAPS_AM, A.HIFA_AM, A.HRSP_CD, A.HCLS_CD, A.HOPR_CD, "
        "S.RMK_DC, A.HOPR_CD DIV_TO_CD, V.DUMMY2, V.DUMMY3  FROM \tSEMP A  LEFT OUTER JOIN ( "
        "SELECT CO_CD, CTD_CD, RMK_DC FROM SCTRL_D WHERE CO_CD='%s' AND CTRL_CD='G2' ) S ON "
        "A.CO_CD=S.CO_CD AND A.HTYP_CD=S.CTD_CD\tLEFT OUTER JOIN SDEPT D ON A.CO_CD=D.CO_CD AND "
        "A.DEPT_CD=D.DEPT_CD LEFT OUTER JOIN SDIV V ON A.CO_CD=V.CO_CD AND V.DIV_CD=D.DIV_CD "
        "WHERE A.CO_CD ='%s' ORDER BY A.EMP_CD ",
        co.c_str(), co.c_str());
    e.DspTRACE(sql, TheLangUtil().GetLangString(1018), 1);
    long n = 0;
    Status read = engine::Count(e.m_dsMain, sql, &n);
    e.m_nRowCount[engine::kEmployeeRows] = static_cast<int>(n);
    if (n == 0 && read.ok()) return Status();
    e.m_SEMP_ALL.Free();
    e.m_SEMP_ALL.Allocate(static_cast<std::size_t>(n));
    int rows = static_cast<int>(n);
    static_assert(sizeof(SEMP_FMT) == 258);
    if (read.ok() &&
        !e.OpenFile_Whole(&e.m_dsMain, sql, e.m_SEMP_ALL.data(), &rows, MasterLayout()))
        read = engine::FailedOn("", e.m_dsMain);
    if (!read.ok()) {
        e.DspTRACE(sql, "사원등록_code error", 0);
        return read.Named("사원등록_code error");
    }
    *loaded = true;
    return Status();
}

Status LoadExistingRows(CSalaryCalcurate& e, const CString& employee, bool* loaded) {
    using payroll::sql::Esc;
    *loaded = false;
    const auto key = run_key::Checked(e.m_HPHONPD);
    if (!key) return Status::Refused("", "");
    CString pay_type;
    // By the division filter, not by CCIS_YN as the tax and bonus steps do.
    if (key->division_filter != "001")
        pay_type.Format("and PYTP_FG='%s' ", Esc(key->pay_type).c_str());
    const char* columns[2][2] = {{"PAY_CD", "PAY_AM"}, {"DDCT_CD", "DDCT_AM"}};
    for (int p = 0; p < 2; ++p) {
        const std::string table = TableOf(e, p + 1);
        CString sql;
        if (employee.IsEmpty())
            sql.Format(
                "SELECT EMP_CD, %s AS PAY_CD , %s AS PAY_AM, DIV_CD, DEPT_CD, PJT_CD, DUMMY2, "
                "PRTY_CD  FROM %s   where   CO_CD='%s' and RVRS_YM='%s' and SQ=%s %s ",
                columns[p][0], columns[p][1], table.c_str(), Esc(key->company).c_str(),
                Esc(key->month).c_str(), key->sq.c_str(), pay_type.c_str());
        else
            sql.Format(
                "SELECT EMP_CD, %s , %s, DIV_CD, DEPT_CD, PJT_CD, DUMMY2, PRTY_CD  FROM %s where "
                "CO_CD='%s' and RVRS_YM='%s' and SQ=%s and EMP_CD='%s'%s ",
                columns[p][0], columns[p][1], table.c_str(), Esc(key->company).c_str(),
                Esc(key->month).c_str(), key->sq.c_str(), Esc(employee).c_str(), pay_type.c_str());
        e.DspTRACE(sql, "Load_HPITMPD", 1);
        long n = 0;
        Status read = engine::Count(e.m_dsMain, sql, &n);
        e.m_nPayListCnt[p] = static_cast<int>(n);
        if (n == 0 && read.ok()) continue;
        e.FreeBuffer_PAY_LIST(p);
        e.m_PAY_LIST[p].Allocate(static_cast<std::size_t>(n));
        int rows = static_cast<int>(n);
        if (read.ok() && !e.OpenFile_Whole(&e.m_dsMain, sql, e.m_PAY_LIST[p].data(), &rows,
                                           engine::LayoutOf<PayListRecord>()))
            read = engine::FailedOn("", e.m_dsMain);
        if (!read.ok()) {
            e.DspTRACE(sql, "Load_HPITMPD error", 0);
            // The failed list, and the deduction list behind a failed pay
            // list, count as empty.
            for (int q = p; q < 2; ++q) {
                e.FreeBuffer_PAY_LIST(q);
                e.m_nPayListCnt[q] = 0;
            }
            engine::ShowMessage(TheLangUtil().GetLangString(1015));
            return read.Named("Load_HPITMPD error");
        }
    }
    *loaded = true;
    return Status();
}

}  // namespace payroll::build

int CSalaryCalcurate::SetAllSempInsert() {
    bool committed = false;
    payroll::engine::Publish(payroll::build::InsertDefaultRows(*this, &committed));
    return committed ? 1 : 0;
}

int CSalaryCalcurate::OpenSEMP_ALL() {
    bool loaded = false;
    payroll::engine::Publish(payroll::build::LoadEmployeeMaster(*this, &loaded));
    return loaded ? 1 : 0;
}

int CSalaryCalcurate::Load_HPITMPD(CString employee) {
    bool loaded = false;
    payroll::engine::Publish(payroll::build::LoadExistingRows(*this, employee, &loaded));
    return loaded ? 1 : 0;
}

int CSalaryCalcurate::GetMax_HPITMPD() {
    using payroll::sql::Esc;
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!key) return 0;
    for (int kind = 1; kind <= 2; ++kind) {
        CString sql;
        sql.Format(
            "SELECT count(*) cnt FROM %s WHERE CO_CD='%s' and RVRS_YM='%s' and SQ='%s' and "
            "PYTP_FG='%s' ",
            payroll::build::TableOf(*this, kind).c_str(), Esc(key->company).c_str(),
            Esc(key->month).c_str(), Esc(key->sq).c_str(), Esc(key->pay_type).c_str());
        if (!payroll::engine::Publish(
                payroll::engine::TracedQuery(*this, m_dsMain, sql, "AllSemp", "AllSemp error", 0)))
            return 0;
    }
    return 1;
}

int CSalaryCalcurate::LoadOld_HPITMPD() {
    return 1;
}

int CSalaryCalcurate::SearhCode_PAY_CD(int firstRow, CString employee, int list, CString code) {
    if (list != 0 && list != 1) return 0;
    return payroll::row_index::ScanRow(m_PAY_LIST[list], m_nPayListCnt[list], firstRow,
                                       employee.str(), code.str())
               ? 1
               : 0;
}

int CSalaryCalcurate::InsertData(int position, int kind, int payAmountFlag, CString employee,
                                 CString code, int masterPosition, CString taxFlag) {
    const auto key = payroll::run_key::Checked(m_HPHONPD);
    if (!key) return 0;
    if ((kind != 1 && kind != 2) || !payroll::build::ReserveRowText(*this, position)) return 0;
    payroll::build::AppendDefaultRow(*this, *key, position, kind, payAmountFlag, employee.str(),
                                     code.str(), masterPosition, taxFlag.str());
    return 1;
}
