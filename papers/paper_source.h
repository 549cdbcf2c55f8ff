// What the paper readers share: quoting values into statements, reading
// amounts, the runs of a period, the item definitions and names, and the
// employees' names and departments. Internal to the papers module.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "payroll/datasource.h"
#include "payroll/papers.h"

namespace payroll::papers::detail {

// Values are quoted with payroll::SqlQuoted (payroll/datasource.h).
using payroll::SqlQuoted;

// ('a','b',...) for an IN list; never empty lists (callers check).
std::string InList(const std::vector<std::string>& values);

// An amount read back as text ("1234.5", "" for NULL) as a number.
double Amount(const CString& text);

// True for six digits YYYYMM with a month of 1 to 12, or four digits YYYY.
bool IsMonth(std::string_view text);
bool IsYear(std::string_view text);

// Runs a query; false with "<what>: <database error>" in *error.
bool Select(const std::string& sql, const char* what, G_DataSource* rows, std::string* error);

// The checks every query needs: a company code, a period of the right shape.
bool CheckQuery(const PaperQuery& query, bool year, std::string* error);

// A run as it is paid: one sequence of a month with every pay type when the
// run pays its types together (CCIS_YN "001"), else one pay type.
struct RunUnit {
    std::string month;
    int sq = 0;
    std::vector<std::string> types;
    std::string pay_date;
    std::string TypesText() const;  // "100,110"
};

// The runs of the month (or year) the query names, narrowed to its sq and
// pay type, ordered by month, sequence and pay type.
bool ReadRunUnits(const PaperQuery& query, const std::string& period, std::vector<RunUnit>* out,
                  std::string* error);

// An item's definition for a year (HPMPDFM) with its name (SCTRL_D 'PD').
struct ItemInfo {
    std::string tax_fg;
    std::string exemption;
    std::string rounding;  // CTOF_FG
    std::string name;
};

class ItemCatalog {
  public:
    bool Load(const std::string& company, const std::string& year, int language,
              std::string* error);
    // The definition of an item under a pay type, else under any pay type;
    // an unknown item gets its code as its name.
    ItemInfo Find(const std::string& pay_type, const std::string& kind,
                  const std::string& code) const;

  private:
    std::map<std::string, ItemInfo> by_type_;  // "type|kind|code"
    std::map<std::string, ItemInfo> by_code_;  // "kind|code": the first definition
    std::map<std::string, std::string> names_;
};

// Item order on the papers: pay items by code; deductions the insurances
// (S) first, then the taxes (T), then every other item, each by code.
bool ItemBefore(bool deduction, const std::string& a, const std::string& b);

// An employee's name, department and the division's deduction amounts.
struct Person {
    std::string name;
    std::string department;
    std::string department_name;
    std::string refr_yn;
    std::array<std::string, 2> division_deduction;  // SDIV DUMMY2, DUMMY3
};

bool ReadPeople(const std::string& company, int language, std::map<std::string, Person>* out,
                std::string* error);

// The query's employee filter as " AND <column> IN (...)", or empty.
std::string EmployeeFilter(const PaperQuery& query, const char* column);

// Sorts lines by item order.
void SortLines(bool deduction, std::vector<PaperLine>* lines);

}  // namespace payroll::papers::detail
