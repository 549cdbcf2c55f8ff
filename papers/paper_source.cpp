#include "papers/paper_source.h"

#include <algorithm>
#include <cstdlib>

#include "payroll/datasource.h"
#include "platform/text/number_parse.h"

namespace payroll::papers::detail {

std::string InList(const std::vector<std::string>& values) {
    std::string out = "(";
    for (std::size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + SqlQuoted(values[i]);
    return out + ")";
}

double Amount(const CString& text) {
    return payroll::text::NumberOf(text.str());
}

namespace {

bool AllDigitsOf(std::string_view text, std::size_t size) {
    return text.size() == size &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool IsYear(std::string_view text) {
    return AllDigitsOf(text, 4) && text >= "1900";
}

bool IsMonth(std::string_view text) {
    if (!AllDigitsOf(text, 6) || !IsYear(text.substr(0, 4))) return false;
    int month = (text[4] - '0') * 10 + (text[5] - '0');
    return month >= 1 && month <= 12;
}

bool Select(const std::string& sql, const char* what, G_DataSource* rows, std::string* error) {
    if (rows->OnExecuteSQL(CString(sql.c_str()))) return true;
    *error = std::string(what) + " could not be read: " + rows->GetLastError().str();
    return false;
}

bool CheckQuery(const PaperQuery& query, bool year, std::string* error) {
    if (query.company.empty() || query.company.find('\0') != std::string::npos) {
        *error = "a company code is needed";
        return false;
    }
    if (year ? !IsYear(query.period) : !IsMonth(query.period)) {
        *error = year ? "the year is four digits, YYYY, from 1900: '" + query.period + "'"
                      : "the month is YYYYMM, from 190001: '" + query.period + "'";
        return false;
    }
    if (query.sq < 0) {
        *error = "a run sequence is 1 or more";
        return false;
    }
    for (const std::string& e : query.employees) {
        if (e.empty() || e.find('\0') != std::string::npos) {
            *error = "an employee code is empty";
            return false;
        }
    }
    return true;
}

std::string RunUnit::TypesText() const {
    std::string out;
    for (const std::string& t : types) out += (out.empty() ? "" : ",") + t;
    return out;
}

bool ReadRunUnits(const PaperQuery& query, const std::string& period, std::vector<RunUnit>* out,
                  std::string* error) {
    out->clear();
    std::string sql =
        "SELECT A.RVRS_YM, A.SQ, A.PYTP_FG, B.CCIS_YN, B.PAY_DT FROM HPHONPD A, HPHPYFQ B "
        "WHERE A.CO_CD=" +
        SqlQuoted(query.company) + " AND A.RVRS_YM LIKE " + SqlQuoted(period + "%") +
        " AND B.CO_CD=A.CO_CD AND B.RVRS_YM=A.RVRS_YM AND B.SQ=A.SQ";
    if (query.sq > 0) sql += " AND A.SQ=" + std::to_string(query.sq);
    sql += " ORDER BY A.RVRS_YM, A.SQ, A.PYTP_FG";
    G_DataSource rows;
    if (!Select(sql, "the runs", &rows, error)) return false;
    for (long r = 0; r < rows.OnGetRecordCount(); ++r) {
        std::string month = rows.OnGetFieldValue("RVRS_YM", r).str();
        int sq = std::atoi(rows.OnGetFieldValue("SQ", r).c_str());
        std::string type = rows.OnGetFieldValue("PYTP_FG", r).str();
        bool together = rows.OnGetFieldValue("CCIS_YN", r) == "001";
        if (together && !out->empty() && out->back().month == month && out->back().sq == sq) {
            out->back().types.push_back(type);
            continue;
        }
        out->push_back({month, sq, {type}, rows.OnGetFieldValue("PAY_DT", r).str()});
    }
    if (!query.pay_type.empty()) {
        std::erase_if(*out, [&](const RunUnit& u) {
            return std::find(u.types.begin(), u.types.end(), query.pay_type) == u.types.end();
        });
    }
    return true;
}

bool ItemCatalog::Load(const std::string& company, const std::string& year, int language,
                       std::string* error) {
    G_DataSource rows;
    if (!Select("SELECT PYTP_FG, PYDD_FG, PYDD_CD, TAX_FG, TXEX_FG, CTOF_FG FROM HPMPDFM WHERE "
                "CO_CD=" +
                    SqlQuoted(company) + " AND RVRS_YM=" + SqlQuoted(year),
                "the item definitions", &rows, error))
        return false;
    G_DataSource names;
    if (!Select("SELECT CTD_CD, CTD_NM, CTD_NMK FROM SCTRL_D WHERE CO_CD=" + SqlQuoted(company) +
                    " AND CTRL_CD='PD'",
                "the item names", &names, error))
        return false;
    for (long r = 0; r < names.OnGetRecordCount(); ++r) {
        CString name = names.OnGetFieldValue(language == 1 ? "CTD_NMK" : "CTD_NM", r);
        if (name.IsEmpty()) name = names.OnGetFieldValue("CTD_NM", r);
        names_[names.OnGetFieldValue("CTD_CD", r).str()] = name.str();
    }
    for (long r = 0; r < rows.OnGetRecordCount(); ++r) {
        std::string code = rows.OnGetFieldValue("PYDD_CD", r).str();
        std::string kind = rows.OnGetFieldValue("PYDD_FG", r).str();
        ItemInfo info{rows.OnGetFieldValue("TAX_FG", r).str(),
                      rows.OnGetFieldValue("TXEX_FG", r).str(),
                      rows.OnGetFieldValue("CTOF_FG", r).str(), ""};
        auto named = names_.find(code);
        info.name = named == names_.end() || named->second.empty() ? code : named->second;
        std::string by_code = kind;
        by_code += '|';
        by_code += code;
        std::string by_type = rows.OnGetFieldValue("PYTP_FG", r).str();
        by_type += '|';
        by_type += by_code;
        by_type_.emplace(std::move(by_type), info);
        by_code_.emplace(std::move(by_code), info);
    }
    return true;
}

ItemInfo ItemCatalog::Find(const std::string& pay_type, const std::string& kind,
                           const std::string& code) const {
    if (auto it = by_type_.find(pay_type + "|" + kind + "|" + code); it != by_type_.end())
        return it->second;
    if (auto it = by_code_.find(kind + "|" + code); it != by_code_.end()) return it->second;
    auto named = names_.find(code);
    return {"", "", "", named == names_.end() || named->second.empty() ? code : named->second};
}

bool ItemBefore(bool deduction, const std::string& a, const std::string& b) {
    if (deduction) {
        auto rank = [](const std::string& c) {
            return c.empty() ? 2 : c[0] == 'S' ? 0 : c[0] == 'T' ? 1 : 2;
        };
        if (rank(a) != rank(b)) return rank(a) < rank(b);
    }
    return a < b;
}

void SortLines(bool deduction, std::vector<PaperLine>* lines) {
    std::stable_sort(lines->begin(), lines->end(),
                     [deduction](const PaperLine& a, const PaperLine& b) {
                         return ItemBefore(deduction, a.code, b.code);
                     });
}

bool ReadPeople(const std::string& company, int language, std::map<std::string, Person>* out,
                std::string* error) {
    G_DataSource rows;
    if (!Select("SELECT A.EMP_CD, A.KOR_NM, A.DEPT_CD, A.REFR_YN, B.DEPT_NM, B.DEPT_NMK, "
                "C.DUMMY2, C.DUMMY3 FROM SEMP A LEFT OUTER JOIN SDEPT B ON B.CO_CD=A.CO_CD AND "
                "B.DEPT_CD=A.DEPT_CD LEFT OUTER JOIN SDIV C ON C.CO_CD=B.CO_CD AND "
                "C.DIV_CD=B.DIV_CD WHERE A.CO_CD=" +
                    SqlQuoted(company),
                "the employees", &rows, error))
        return false;
    for (long r = 0; r < rows.OnGetRecordCount(); ++r) {
        Person p;
        p.name = rows.OnGetFieldValue("KOR_NM", r).str();
        p.department = rows.OnGetFieldValue("DEPT_CD", r).str();
        CString dept = rows.OnGetFieldValue(language == 1 ? "DEPT_NMK" : "DEPT_NM", r);
        if (dept.IsEmpty()) dept = rows.OnGetFieldValue("DEPT_NM", r);
        p.department_name = dept.IsEmpty() ? p.department : dept.str();
        p.refr_yn = rows.OnGetFieldValue("REFR_YN", r).str();
        p.division_deduction[0] = rows.OnGetFieldValue("DUMMY2", r).str();
        p.division_deduction[1] = rows.OnGetFieldValue("DUMMY3", r).str();
        (*out)[rows.OnGetFieldValue("EMP_CD", r).str()] = std::move(p);
    }
    return true;
}

std::string EmployeeFilter(const PaperQuery& query, const char* column) {
    if (query.employees.empty()) return {};
    return std::string(" AND ") + column + " IN " + InList(query.employees);
}

}  // namespace payroll::papers::detail
