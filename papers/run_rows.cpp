#include "papers/run_rows.h"

#include <cstdlib>

namespace payroll::papers::detail {
namespace {

void AddLine(const ItemCatalog& items, const std::string& pay_type, bool deduction,
             const std::string& code, double amount, std::vector<PaperLine>* lines) {
    for (PaperLine& line : *lines) {
        if (line.code == code) {
            line.amount += amount;
            return;
        }
    }
    ItemInfo info = items.Find(pay_type, deduction ? "P3" : "P2", code);
    PaperLine line{code, info.name, amount, info.tax_fg == "001", ""};
    if (!deduction && !line.taxable) line.exemption = info.exemption;
    lines->push_back(std::move(line));
}

std::string RunCondition(const PaperQuery& query, const RunUnit& unit, const char* employee) {
    return " WHERE CO_CD=" + SqlQuoted(query.company) + " AND RVRS_YM=" + SqlQuoted(unit.month) +
           " AND SQ=" + std::to_string(unit.sq) + " AND PYTP_FG IN " + InList(unit.types) +
           EmployeeFilter(query, employee);
}

}  // namespace

bool ReadRunRows(const PaperQuery& query, const RunUnit& unit, const ItemCatalog& items,
                 RunRows* out, std::string* error) {
    out->unit = unit;
    out->employees.clear();
    const std::string where = RunCondition(query, unit, "EMP_CD");
    G_DataSource pay, deductions, results;
    if (!Select("SELECT EMP_CD, PYTP_FG, PAY_CD, PAY_AM FROM HPOMPPD" + where +
                    " AND PYDD_FG='P2' ORDER BY EMP_CD",
                "the pay rows", &pay, error) ||
        !Select("SELECT EMP_CD, PYTP_FG, DDCT_CD, DDCT_AM, DUMMY1 FROM HPOMPDD" + where +
                    " AND PYDD_FG='P3' ORDER BY EMP_CD",
                "the deduction rows", &deductions, error) ||
        !Select("SELECT EMP_CD, TPAY_AM, TBON_AM, EWTE_AM, AITE_AM, ETTE_AM, TXST_AM, INTX_AM, "
                "RSTX_AM FROM HPOMNPY" +
                    where + " ORDER BY EMP_CD",
                "the results", &results, error))
        return false;
    for (long r = 0; r < results.OnGetRecordCount(); ++r) {
        EmployeeRun& e = out->employees[results.OnGetFieldValue("EMP_CD", r).str()];
        e.has_result = true;
        e.tpay += Amount(results.OnGetFieldValue("TPAY_AM", r));
        e.tbon += Amount(results.OnGetFieldValue("TBON_AM", r));
        e.ewte += Amount(results.OnGetFieldValue("EWTE_AM", r));
        e.aite += Amount(results.OnGetFieldValue("AITE_AM", r));
        e.ette += Amount(results.OnGetFieldValue("ETTE_AM", r));
        e.txst += Amount(results.OnGetFieldValue("TXST_AM", r));
        e.intx += Amount(results.OnGetFieldValue("INTX_AM", r));
        e.rstx += Amount(results.OnGetFieldValue("RSTX_AM", r));
    }
    for (long r = 0; r < pay.OnGetRecordCount(); ++r) {
        EmployeeRun& e = out->employees[pay.OnGetFieldValue("EMP_CD", r).str()];
        double amount = Amount(pay.OnGetFieldValue("PAY_AM", r));
        AddLine(items, pay.OnGetFieldValue("PYTP_FG", r).str(), false,
                pay.OnGetFieldValue("PAY_CD", r).str(), amount, &e.pay);
        e.gross += amount;
    }
    for (long r = 0; r < deductions.OnGetRecordCount(); ++r) {
        EmployeeRun& e = out->employees[deductions.OnGetFieldValue("EMP_CD", r).str()];
        double amount = Amount(deductions.OnGetFieldValue("DDCT_AM", r));
        std::string code = deductions.OnGetFieldValue("DDCT_CD", r).str();
        AddLine(items, deductions.OnGetFieldValue("PYTP_FG", r).str(), true, code, amount,
                &e.deductions);
        e.total_deductions += amount;
        std::string window = deductions.OnGetFieldValue("DUMMY1", r).str();
        if (code == "T00" && window.size() == 16 &&
            window.find_first_not_of("0123456789") == std::string::npos)
            e.window = window;
    }
    for (auto& [code, e] : out->employees) {
        SortLines(false, &e.pay);
        SortLines(true, &e.deductions);
    }
    return true;
}

bool ReadMonth(const PaperQuery& query, ItemCatalog* items, std::vector<RunRows>* out,
               std::string* error) {
    out->clear();
    std::vector<RunUnit> units;
    if (!ReadRunUnits(query, query.period, &units, error)) return false;
    const std::string what = "company " + query.company + " in " + query.period +
                             (query.sq > 0 ? " run " + std::to_string(query.sq) : "");
    if (units.empty()) {
        *error = "there is no such run: " + what;
        return false;
    }
    if (!items->Load(query.company, query.period.substr(0, 4), query.language, error)) return false;
    bool any_result = false;
    for (const RunUnit& unit : units) {
        RunRows rows;
        if (!ReadRunRows(query, unit, *items, &rows, error)) return false;
        // Employees without results are not on the papers: the tax road has
        // not seen them (yet).
        std::erase_if(rows.employees, [](const auto& e) { return !e.second.has_result; });
        any_result = any_result || !rows.employees.empty();
        out->push_back(std::move(rows));
    }
    if (!any_result && query.employees.empty()) {
        out->clear();
        *error = "no results for " + what +
                 (query.employees.empty() ? "" : " for those employees") +
                 " (has the income tax been calculated?)";
        return false;
    }
    for (const std::string& employee : query.employees) {
        bool paid = false;
        for (const RunRows& rows : *out) {
            auto it = rows.employees.find(employee);
            paid = paid || (it != rows.employees.end() && !it->second.pay.empty());
        }
        if (!paid) {
            out->clear();
            *error = "employee " + employee;
            *error += " has no pay rows with results in " + what;
            return false;
        }
    }
    return true;
}

}  // namespace payroll::papers::detail
