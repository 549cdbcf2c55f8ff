// The month's variable pay file: read like the company folder's files
// (company/csv.h) and checked against the run it is for, every problem at
// once, before anything is written.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "company/csv.h"
#include "company/model.h"
#include "payroll/datasource.h"
#include "payroll/pay_file.h"

namespace payroll::folder {
namespace {

// The file's columns: code, Korean name, required.
struct PayColumn {
    const char* code;
    const char* header;
    bool required;
};
constexpr PayColumn kPayColumns[] = {{"EMP_CD", "사번", true},
                                     {"PYDD_CD", "항목코드", true},
                                     {"PAY_AM", "금액", true},
                                     {"WORK_TM", "시간", false},
                                     {"CALC_DC", "비고", false}};
enum { kPayEmployee, kPayItem, kPayAmount, kPayHours, kPayNote, kPayColumnCount };

// A note has the room of HPOMPSW.CALC_DC.
constexpr std::size_t kNoteRoom = 256;

// The deductions the tax road and the month's close compute.
bool ComputedByTaxRoad(const std::string& code) {
    for (const char* c : {"T00", "T10", "T20", "S00", "S10", "S20"})
        if (code == c) return true;
    return false;
}

std::string PayHeaderCode(const std::string& header) {
    const std::size_t open = header.rfind('['), close = header.rfind(']');
    if (open != std::string::npos && close != std::string::npos && close > open)
        return header.substr(open + 1, close - open - 1);
    return header;
}

// A value as a message shows it: a long one cut (at a character), with its length.
std::string CutForMessage(const std::string& value) {
    constexpr std::size_t kRoom = 40;
    if (value.size() <= kRoom) return value;
    std::size_t cut = kRoom;
    while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
    return value.substr(0, cut) + "... (" + std::to_string(value.size()) + " bytes)";
}

// What the run and the company hold, for the checks.
struct RunFacts {
    std::set<std::string> employees;                     // the company's
    std::set<std::string> in_run;                        // employees with rows in the run
    std::set<std::pair<std::string, std::string>> rows;  // employee and item rows of the run
    std::set<std::string> items;                         // the company's item codes
    std::vector<std::string> listed;                     // the run's item list
    std::string error;
};

bool ReadInto(G_DataSource& q, const std::string& sql, RunFacts* facts) {
    if (q.OnExecuteSQL(CString(sql))) return true;
    facts->error = q.GetLastError().str();
    return false;
}

bool ReadFacts(const HPHONPD_YMD_FMT& run, RunFacts* f) {
    const std::string c = SqlQuoted(run.CO_CD.Str());
    const std::string where = " WHERE CO_CD=" + c + " AND RVRS_YM=" + SqlQuoted(run.RVRS_YM.Str()) +
                              " AND SQ=" + std::to_string(std::atoi(run.SQ.Str().c_str()));
    G_DataSource q;
    if (!ReadInto(q, "SELECT EMP_CD FROM SEMP WHERE CO_CD=" + c, f)) return false;
    for (long r = 0; r < q.OnGetRecordCount(); ++r)
        f->employees.insert(std::string(q.OnGetCellText(0, r)));
    for (const char* sql : {"SELECT DISTINCT EMP_CD, PAY_CD FROM HPOMPPD",
                            "SELECT DISTINCT EMP_CD, DDCT_CD FROM HPOMPDD"}) {
        if (!ReadInto(q, sql + where, f)) return false;
        for (long r = 0; r < q.OnGetRecordCount(); ++r) {
            f->in_run.insert(std::string(q.OnGetCellText(0, r)));
            f->rows.insert(
                {std::string(q.OnGetCellText(0, r)), std::string(q.OnGetCellText(1, r))});
        }
    }
    if (!ReadInto(q,
                  "SELECT PYDD_CD FROM HPMPDFM WHERE CO_CD=" + c +
                      " UNION SELECT CTD_CD FROM SCTRL_D WHERE CO_CD=" + c + " AND CTRL_CD='PD'",
                  f))
        return false;
    for (long r = 0; r < q.OnGetRecordCount(); ++r)
        f->items.insert(std::string(q.OnGetCellText(0, r)));
    if (!ReadInto(q, "SELECT DISTINCT PYDD_CD FROM HPHPOYM" + where + " ORDER BY PYDD_CD", f))
        return false;
    for (long r = 0; r < q.OnGetRecordCount(); ++r) {
        const std::string code(q.OnGetCellText(0, r));
        if (!ComputedByTaxRoad(code)) f->listed.push_back(code);
    }
    return true;
}

std::string ItemList(const std::vector<std::string>& codes) {
    std::string s;
    for (const std::string& c : codes) s += (s.empty() ? "" : ", ") + c;
    return s.empty() ? "(none)" : s;
}

class PayChecker {
  public:
    PayChecker(std::string file, const RunFacts& facts, std::string run)
        : file_(std::move(file)), facts_(facts), run_(std::move(run)) {}

    void Add(long line, const std::string& column, const std::string& value,
             const std::string& expected) {
        problems_.push_back({file_, line, column, CutForMessage(value), expected});
    }

    // Where each column stands in the header; false when a required one is missing.
    bool Header(const CsvRow& header) {
        where_.assign(kPayColumnCount, -1);
        for (std::size_t h = 0; h < header.cells.size(); ++h) {
            const std::string text = PlainCell(header.cells[h]);
            const std::string code = PayHeaderCode(text);
            int found = -1;
            for (int c = 0; c < kPayColumnCount; ++c)
                if (code == kPayColumns[c].code) found = c;
            if (found < 0) {
                Add(header.line, code, text,
                    "one of the columns 사번 [EMP_CD], 항목코드 [PYDD_CD], 금액 [PAY_AM], "
                    "시간 [WORK_TM], 비고 [CALC_DC]");
            } else if (where_[found] >= 0) {
                Add(header.line, code, text, "each column once");
            } else {
                where_[found] = static_cast<int>(h);
            }
        }
        bool whole = true;
        for (int c = 0; c < kPayColumnCount; ++c)
            if (kPayColumns[c].required && where_[c] < 0) {
                Add(header.line, kPayColumns[c].code, "",
                    std::string("the required column ") + kPayColumns[c].header + " [" +
                        kPayColumns[c].code + "]");
                whole = false;
            }
        return whole;
    }

    void Line(const CsvRow& row) {
        auto cell = [&](int c) {
            const int at = where_[c];
            return at >= 0 && at < static_cast<int>(row.cells.size())
                       ? PlainCell(row.cells[static_cast<std::size_t>(at)])
                       : std::string();
        };
        VariablePay v{cell(kPayEmployee), cell(kPayItem), cell(kPayAmount), cell(kPayHours),
                      cell(kPayNote)};
        bool ok = true;
        if (v.employee.empty() || !facts_.employees.count(v.employee)) {
            Add(row.line, "EMP_CD", v.employee, "an employee of the company (employees.csv)");
            ok = false;
        } else if (!facts_.in_run.count(v.employee)) {
            Add(row.line, "EMP_CD", v.employee,
                "an employee paid in run " + run_ + " (he has no rows in it: build the run first)");
            ok = false;
        }
        if (v.item.empty() || !facts_.items.count(v.item)) {
            Add(row.line, "PYDD_CD", v.item, "an item of the company (items.csv)");
            ok = false;
        } else if (ComputedByTaxRoad(v.item)) {
            Add(row.line, "PYDD_CD", v.item,
                "an item the pay step fills (the taxes and insurances are computed by "
                "recalc-tax): one of " +
                    ItemList(facts_.listed));
            ok = false;
        } else if (std::find(facts_.listed.begin(), facts_.listed.end(), v.item) ==
                   facts_.listed.end()) {
            Add(row.line, "PYDD_CD", v.item,
                "an item on run " + run_ + "'s item list: one of " + ItemList(facts_.listed));
            ok = false;
        } else if (ok && !facts_.rows.count({v.employee, v.item})) {
            Add(row.line, "PYDD_CD", v.item,
                "an item of which employee " + v.employee + " has a row in run " + run_ +
                    " (build the run again)");
            ok = false;
        }
        std::string amount;
        if (!ParseAmount(v.amount, &amount)) {
            Add(row.line, "PAY_AM", v.amount, "an amount, as 150000, 150,000 or -5000.5");
            ok = false;
        }
        std::string hours;
        if (!v.hours.empty() && (!ParseAmount(v.hours, &hours) || hours[0] == '-')) {
            Add(row.line, "WORK_TM", v.hours, "hours, as 12 or 12.5 (or nothing)");
            ok = false;
        }
        if (v.note.size() > kNoteRoom) {
            Add(row.line, "CALC_DC", v.note,
                "a note of at most " + std::to_string(kNoteRoom) + " bytes");
            ok = false;
        }
        if (!v.employee.empty() && !v.item.empty()) {
            auto [at, fresh] = seen_.emplace(std::make_pair(v.employee, v.item), row.line);
            if (!fresh) {
                Add(row.line, "PYDD_CD", v.employee + "/" + v.item,
                    "each employee and item once: line " + std::to_string(at->second) +
                        " has it too");
                ok = false;
            }
        }
        if (!ok) return;
        v.amount = amount;
        v.hours = hours;
        entries_.push_back(std::move(v));
    }

    std::vector<Problem>& problems() { return problems_; }
    std::vector<VariablePay>& entries() { return entries_; }

  private:
    std::string file_;
    const RunFacts& facts_;
    std::string run_;
    std::vector<int> where_;
    std::map<std::pair<std::string, std::string>, long> seen_;
    std::vector<Problem> problems_;
    std::vector<VariablePay> entries_;
};

}  // namespace

std::vector<Problem> ReadPayFile(const std::string& path, const HPHONPD_YMD_FMT& run,
                                 std::vector<VariablePay>* entries) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {{path, 0, "", "", "a file that can be read"}};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const CsvText csv = ReadCsv(bytes.str());
    RunFacts facts;
    if (!ReadFacts(run, &facts))
        return {{path, 0, "", "", "a database that can be read (" + facts.error + ")"}};
    const std::string name = run.RVRS_YM.Str() + " SQ " + run.SQ.Str();
    PayChecker check(path, facts, name);
    if (csv.rows.empty()) {
        if (csv.error.empty()) check.Add(1, "", "", "a header line and a line per amount");
    } else if (check.Header(csv.rows.front())) {
        for (std::size_t r = 1; r < csv.rows.size(); ++r) check.Line(csv.rows[r]);
    }
    if (!csv.error.empty()) check.Add(csv.error_line, "", "", "readable text: " + csv.error);
    if (check.problems().empty() && entries) *entries = std::move(check.entries());
    return std::move(check.problems());
}

}  // namespace payroll::folder
