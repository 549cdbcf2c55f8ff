// The law of each tax year as the library ships it: one folder a year under
// the resources' law/ (law/2002/HPFTITC.csv ...), one CSV file a table, its
// header the table's columns and each line a row of the common company
// "0000" for that year. Loading fills the tables a database lacks for a
// year and never overwrites a year a database already holds.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "company/csv.h"
#include "payroll/company.h"
#include "payroll/datasource.h"
#include "platform/registry/paths.h"

namespace payroll::folder {
namespace {

namespace fs = std::filesystem;

// The tables of a tax year, in the order a road reads them, with the
// columns a file of each must give.
struct LawTableColumns {
    const char* table;
    std::vector<std::string> columns;
};

const std::vector<LawTableColumns>& LawTables() {
    static const std::vector<LawTableColumns> tables = {
        {"HPFTITC", {"TXSS_AM", "TXSE_AM", "TAX_RT", "PRDA_AM"}},
        {"HPFLICH", {"SQ", "TXSS_AM", "TXSE_AM", "PRDA_AM", "TXDD_RT", "ICAM_AM"}},
        {"HPFSTIA", {"SQ", "TXSS_AM", "TXSE_AM", "AJMT_AM"}},
        {"HPMLBEC", {"STSD_AM", "BSHD_AM", "OSMD_AM", "RSTX_RT", "DUMMY4", "DUMMY5"}},
        {"HIFNPCT", {"NTPS_GR", "STMS_AM", "STME_AM", "NAPS_AM"}},
    };
    return tables;
}

bool IsYear(const std::string& name) {
    return name.size() == 4 && std::all_of(name.begin(), name.end(),
                                           [](unsigned char c) { return std::isdigit(c) != 0; });
}

// A figure of the law: digits with at most one point and a leading minus.
bool IsFigure(const std::string& text) {
    if (text.empty()) return false;
    std::size_t i = text[0] == '-' ? 1 : 0;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(text[i]))) {
            digits = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

bool ReadFile(const fs::path& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream text;
    text << in.rdbuf();
    *bytes = text.str();
    return true;
}

// The INSERT statements of one file, or false with what is wrong with it.
bool Statements(const fs::path& path, const LawTableColumns& law, const std::string& year,
                std::vector<std::string>* out, std::string* error) {
    std::string bytes;
    if (!ReadFile(path, &bytes)) {
        *error = "cannot read " + path.string();
        return false;
    }
    const CsvText csv = ReadCsv(bytes);
    if (!csv.error.empty()) {
        *error = path.string() + ", line " + std::to_string(csv.error_line) + ": " + csv.error;
        return false;
    }
    if (csv.rows.size() < 2) {
        *error = path.string() + ": a header line and at least one row expected";
        return false;
    }
    std::vector<std::string> header;
    for (const std::string& cell : csv.rows[0].cells) header.push_back(PlainCell(cell));
    if (header != law.columns) {
        std::string want;
        for (const std::string& c : law.columns) want += (want.empty() ? "" : ",") + c;
        *error = path.string() + ": the header must be " + want;
        return false;
    }
    std::string head = "INSERT INTO " + std::string(law.table) + " (CO_CD, RVRS_YY";
    for (const std::string& c : law.columns) head += ", " + c;
    head += ") VALUES ('0000', " + SqlQuoted(year);
    for (std::size_t r = 1; r < csv.rows.size(); ++r) {
        const CsvRow& row = csv.rows[r];
        if (row.cells.size() != law.columns.size()) {
            *error = path.string() + ", line " + std::to_string(row.line) + ": " +
                     std::to_string(law.columns.size()) + " cells expected";
            return false;
        }
        std::string sql = head;
        for (const std::string& cell : row.cells) {
            const std::string value = PlainCell(cell);
            if (!IsFigure(value)) {
                *error = path.string() + ", line " + std::to_string(row.line) + ": '" + value +
                         "' is not a figure";
                return false;
            }
            sql += ", " + SqlQuoted(value);
        }
        out->push_back(sql + ")");
    }
    return true;
}

bool YearHasRows(const char* table, const std::string& year, bool* has, std::string* error) {
    G_DataSource q;
    const std::string sql = "SELECT COUNT(*) N FROM " + std::string(table) +
                            " WHERE CO_CD='0000' AND RVRS_YY=" + SqlQuoted(year);
    if (!q.OnExecuteSQL(CString(sql))) {
        *error = table + std::string(": ") + q.GetLastError().str();
        return false;
    }
    *has = std::atol(q.OnGetFieldValue("N", 0).c_str()) > 0;
    return true;
}

}  // namespace

bool LoadLaw(const std::string& dir, std::vector<LawTable>* tables, std::string* error) {
    tables->clear();
    std::error_code ec;
    std::set<std::string> years;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory(ec) && IsYear(name)) years.insert(name);
    }
    if (ec) {
        *error = "cannot read the law folder " + dir + ": " + ec.message();
        return false;
    }
    // Everything is read and checked before anything is written.
    std::vector<std::string> statements;
    for (const std::string& year : years) {
        for (const LawTableColumns& law : LawTables()) {
            const fs::path path = fs::path(dir) / year / (std::string(law.table) + ".csv");
            if (!fs::exists(path, ec)) continue;
            bool has = false;
            if (!YearHasRows(law.table, year, &has, error)) return false;
            LawTable t{year, law.table, 0, !has};
            std::vector<std::string> rows;
            if (!Statements(path, law, year, &rows, error)) return false;
            t.rows = static_cast<int>(rows.size());
            if (!has) statements.insert(statements.end(), rows.begin(), rows.end());
            tables->push_back(t);
        }
    }
    if (statements.empty()) return true;
    G_DataSource tx;
    if (!tx.OnBeginTrans()) {
        *error = tx.GetLastError().str();
        return false;
    }
    for (const std::string& sql : statements) {
        G_DirectSQL run;
        if (!run.OnExecuteText(sql)) {
            *error = run.GetLastError().str();
            tx.OnRollbackTrans();
            return false;
        }
    }
    if (!tx.OnCommitTrans()) {
        *error = tx.GetLastError().str();
        return false;
    }
    return true;
}

bool LoadShippedLaw(std::vector<LawTable>* tables, std::string* error) {
    return LoadLaw(config::ResourceFolder() + "/law", tables, error);
}

}  // namespace payroll::folder
