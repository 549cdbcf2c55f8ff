// The pay runs of a month, made and deleted without SQL.
#include <algorithm>
#include <initializer_list>
#include <set>
#include <string_view>

#include "company/model.h"
#include "payroll/company.h"
#include "payroll/datasource.h"

namespace payroll::folder {
namespace {

// Every table that holds rows of a run, the run's own tables last.
constexpr const char* kRunTables[] = {"HPOMNPY", "HPITMPD", "HPITMDD", "HPOMPPD",
                                      "HPOMPDD", "HTOWTRT", "HTOWTDR", "HPOMPSW",
                                      "HPHPOYM", "HPHWTPT", "HPHONPD", "HPHPYFQ"};
// The tables of a run's pay, deduction and result rows.
constexpr const char* kResultTables[] = {"HPOMNPY", "HPITMPD", "HPITMDD", "HPOMPPD",
                                         "HPOMPDD", "HTOWTRT", "HTOWTDR"};

constexpr const char* kWindowInsert =
    "INSERT INTO HPHWTPT (CO_CD, RVRS_YM, SQ, PYTP_FG, HTYP_CD, PYSP_FG, BNST_DT, BNED_DT) "
    "VALUES (";
constexpr const char* kItemInsert =
    "INSERT INTO HPHPOYM (CO_CD, RVRS_YM, SQ, PYTP_FG, PYDD_FG, PYDD_CD) VALUES (";

void Append(std::string* text, std::initializer_list<std::string_view> parts) {
    for (std::string_view p : parts) text->append(p);
}

bool Query(G_DataSource& q, const std::string& sql, std::string* error) {
    if (q.OnExecuteSQL(CString(sql))) return true;
    *error = q.GetLastError().str();
    return false;
}

std::string RunWhere(const std::string& company, const std::string& month, int sq) {
    return " WHERE CO_CD=" + SqlQuoted(company) + " AND RVRS_YM=" + SqlQuoted(month) +
           " AND SQ=" + std::to_string(sq);
}

bool Execute(const std::string& text, std::string* error) {
    G_DirectSQL sql;
    if (sql.OnExecuteText(text)) return true;
    *error = sql.GetLastError().str();
    return false;
}

// The pay types of each earlier run of the company, latest first: month and
// sequence with the sorted pay types.
struct PastRun {
    std::string month;
    int sq = 0;
    std::vector<std::string> pay_types;
};

bool PastRuns(const std::string& company, const std::string& month, std::vector<PastRun>* runs,
              std::string* error) {
    G_DataSource q;
    if (!Query(q,
               "SELECT RVRS_YM, SQ, PYTP_FG FROM HPHONPD WHERE CO_CD=" + SqlQuoted(company) +
                   " AND RVRS_YM<" + SqlQuoted(month) + " ORDER BY RVRS_YM DESC, SQ DESC, PYTP_FG",
               error))
        return false;
    for (long r = 0; r < q.OnGetRecordCount(); ++r) {
        const std::string ym = q.OnGetFieldValue("RVRS_YM", r).str();
        const int sq = std::atoi(q.OnGetFieldValue("SQ", r));
        if (runs->empty() || runs->back().month != ym || runs->back().sq != sq)
            runs->push_back({ym, sq, {}});
        runs->back().pay_types.push_back(q.OnGetFieldValue("PYTP_FG", r).str());
    }
    return true;
}

}  // namespace

bool CreateRun(const NewRun& run, int* sequence, std::string* error) {
    std::string month, pay_date, from, to;
    if (!ParseMonth(run.month, &month)) {
        *error = "--month " + run.month + ": expected a month, as 200206 or 2002-06";
        return false;
    }
    if (!ParseDate(run.pay_date, &pay_date)) {
        *error = "--pay-date " + run.pay_date + ": expected a date that exists, as 2002-06-25";
        return false;
    }
    if (run.bonus_from.empty() != run.bonus_to.empty()) {
        *error = "--bonus-period takes two dates, the first and the last day";
        return false;
    }
    if (!run.bonus_from.empty()) {
        if (!ParseDate(run.bonus_from, &from) || !ParseDate(run.bonus_to, &to)) {
            *error = "--bonus-period " + run.bonus_from + " " + run.bonus_to +
                     ": expected two dates that exist, as 2002-01-01 2002-06-30";
            return false;
        }
        if (to < from) {
            *error = "--bonus-period: the last day " + run.bonus_to + " comes before the first " +
                     run.bonus_from + " (the window does not close)";
            return false;
        }
    }
    std::vector<std::string> types = run.pay_types;
    std::sort(types.begin(), types.end());
    if (types.empty() || std::adjacent_find(types.begin(), types.end()) != types.end()) {
        *error = "--pay-types: expected one or more different pay types, as 100 or 100,110";
        return false;
    }
    const std::string c = SqlQuoted(run.company);
    G_DataSource q;
    // Each pay type must be the company's, with its join and leave rules.
    if (!Query(q,
               "SELECT CTD_CD, DUMMY1, DUMMY2 FROM SCTRL_D WHERE CO_CD=" + c + " AND CTRL_CD='P4'",
               error))
        return false;
    std::vector<std::pair<std::string, std::string>> rules;
    for (const std::string& t : types) {
        const long r = q.OnFieldSearch("CTD_CD", CString(t));
        if (r < 0) {
            *error =
                "pay type " + t + " is not one of company " + run.company + "'s (pay-types.csv)";
            return false;
        }
        std::string join = q.OnGetFieldValue("DUMMY1", r).str();
        std::string leave = q.OnGetFieldValue("DUMMY2", r).str();
        rules.push_back({join.empty() ? "100" : join, leave.empty() ? "100" : leave});
    }
    // Clashes: a sequence taken, or a pay type paid on the same date in the month.
    if (!Query(q,
               "SELECT A.SQ, A.PAY_DT, B.PYTP_FG FROM HPHPYFQ A LEFT OUTER JOIN HPHONPD B "
               "ON B.CO_CD=A.CO_CD AND B.RVRS_YM=A.RVRS_YM AND B.SQ=A.SQ WHERE A.CO_CD=" +
                   c + " AND A.RVRS_YM=" + SqlQuoted(month),
               error))
        return false;
    int sq = run.sequence;
    int highest = 0;
    for (long r = 0; r < q.OnGetRecordCount(); ++r) {
        const int s = std::atoi(q.OnGetFieldValue("SQ", r));
        highest = std::max(highest, s);
        const std::string type = q.OnGetFieldValue("PYTP_FG", r).str();
        if (q.OnGetFieldValue("PAY_DT", r).str() == pay_date &&
            std::binary_search(types.begin(), types.end(), type)) {
            *error = "run " + month + " SQ " + std::to_string(s);
            *error += " already pays pay type " + type + " on " + run.pay_date;
            return false;
        }
        if (s == sq) {
            *error = "run " + month + " SQ " + std::to_string(s) + " exists (pay date " +
                     q.OnGetFieldValue("PAY_DT", r).str() +
                     "); pick another --sequence or delete it first";
            return false;
        }
    }
    if (sq <= 0) sq = highest + 1;
    // The employee types and pay systems the run covers: those of the
    // company's employees, else every employee type's monthly pay.
    if (!Query(q,
               "SELECT DISTINCT HTYP_CD, PYSP_FG FROM SEMP WHERE CO_CD=" + c +
                   " ORDER BY HTYP_CD, PYSP_FG",
               error))
        return false;
    std::vector<std::pair<std::string, std::string>> windows;
    for (long r = 0; r < q.OnGetRecordCount(); ++r)
        windows.push_back(
            {q.OnGetFieldValue("HTYP_CD", r).str(), q.OnGetFieldValue("PYSP_FG", r).str()});
    if (windows.empty()) {
        *error = "company " + run.company + " has no employees (import its folder first)";
        return false;
    }
    // The item lists: the latest earlier run of the same pay types, else the
    // item definitions of the year.
    std::vector<PastRun> past;
    if (!PastRuns(run.company, month, &past, error)) return false;
    std::string items_sql;
    for (const PastRun& p : past)
        if (p.pay_types == types) {
            items_sql = "SELECT PYTP_FG, PYDD_FG, PYDD_CD FROM HPHPOYM" +
                        RunWhere(run.company, p.month, p.sq);
            break;
        }
    if (items_sql.empty())
        items_sql = "SELECT DISTINCT PYTP_FG, PYDD_FG, PYDD_CD FROM HPMPDFM WHERE CO_CD=" + c +
                    " AND RVRS_YM=" + SqlQuoted(month.substr(0, 4));
    if (!Query(q, items_sql + " ORDER BY PYTP_FG, PYDD_FG, PYDD_CD", error)) return false;
    std::string text;
    const std::string key = c + "," + SqlQuoted(month) + "," + std::to_string(sq);
    text += "INSERT INTO HPHPYFQ (CO_CD, RVRS_YM, SQ, PAY_DT, CCIS_YN) VALUES (" + key + "," +
            SqlQuoted(pay_date) + (types.size() > 1 ? ",'001')" : ",'002')") + "\n";
    for (std::size_t i = 0; i < types.size(); ++i) {
        const std::string t = SqlQuoted(types[i]);
        Append(&text,
               {"INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG, RTCM_FG, JNCM_FG) VALUES (", key,
                ",", t, ",", SqlQuoted(rules[i].second), ",", SqlQuoted(rules[i].first), ")\n"});
        for (const auto& [htyp, pysp] : windows)
            Append(&text, {kWindowInsert, key, ",", t, ",", SqlQuoted(htyp), ",", SqlQuoted(pysp),
                           ",", SqlQuoted(from), ",", SqlQuoted(to), ")\n"});
        long count = 0;
        for (long r = 0; r < q.OnGetRecordCount(); ++r) {
            if (q.OnGetFieldValue("PYTP_FG", r).str() != types[i]) continue;
            ++count;
            Append(&text,
                   {kItemInsert, key, ",", t, ",", SqlQuoted(q.OnGetFieldValue("PYDD_FG", r).str()),
                    ",", SqlQuoted(q.OnGetFieldValue("PYDD_CD", r).str()), ")\n"});
        }
        if (count == 0) {
            *error = "pay type " + types[i] + " has no items in " + month.substr(0, 4) +
                     " (items.csv) and no earlier run to copy them from";
            return false;
        }
    }
    G_DataSource tx;
    if (!tx.OnBeginTrans()) {
        *error = tx.GetLastError().str();
        return false;
    }
    if (!Execute(text, error)) {
        tx.OnRollbackTrans();
        return false;
    }
    if (!tx.OnCommitTrans()) {
        *error = tx.GetLastError().str();
        return false;
    }
    if (sequence) *sequence = sq;
    return true;
}

bool DeleteRun(const std::string& company, const std::string& month_text, int sq, bool force,
               std::string* error) {
    std::string month;
    if (!ParseMonth(month_text, &month)) {
        *error = "--month " + month_text + ": expected a month, as 200206 or 2002-06";
        return false;
    }
    G_DataSource q;
    if (!Query(q, "SELECT PAY_DT FROM HPHPYFQ" + RunWhere(company, month, sq), error)) return false;
    if (q.OnGetRecordCount() == 0) {
        *error = "company " + company + " has no run " + month + " SQ " + std::to_string(sq);
        return false;
    }
    if (!force)
        for (const char* table : kResultTables) {
            if (!Query(
                    q,
                    std::string("SELECT COUNT(*) N FROM ") + table + RunWhere(company, month, sq),
                    error))
                return false;
            const long n = std::atol(q.OnGetFieldValue("N", 0));
            if (n > 0) {
                *error = "run " + month + " SQ " + std::to_string(sq) + " holds " +
                         std::to_string(n) + " rows of " + table +
                         " (pay, deductions or results); --force deletes them with the run";
                return false;
            }
        }
    std::string text;
    for (const char* table : kRunTables)
        text += std::string("DELETE FROM ") + table + RunWhere(company, month, sq) + "\n";
    G_DataSource tx;
    if (!tx.OnBeginTrans()) {
        *error = tx.GetLastError().str();
        return false;
    }
    if (!Execute(text, error)) {
        tx.OnRollbackTrans();
        return false;
    }
    if (!tx.OnCommitTrans()) {
        *error = tx.GetLastError().str();
        return false;
    }
    return true;
}

}  // namespace payroll::folder
