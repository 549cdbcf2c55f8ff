// The payslips of a month: every employee's lines of a run, with the notes
// on how the pension, income tax and resident tax came about.
#include <chrono>
#include <cmath>
#include <cstdlib>

#include "engine/bonus/table_tax.h"
#include "engine/common/rounding.h"
#include "papers/payslip_split.h"
#include "papers/run_rows.h"
#include "payroll/papers.h"
#include "payroll/reading.h"
#include "payroll/roads.h"
#include "platform/text/number_parse.h"

namespace payroll::papers {
namespace {

using detail::Amount;
using detail::Select;

struct Grade {
    std::string grade;
    double from = 0, to = 0, premium = 0;
};

struct Bracket {
    double from = 0, to = 0, rate = 0, less = 0;
};

// The year's rate tables the notes quote.
struct YearTables {
    std::vector<Grade> grades;      // HIFNPCT
    std::vector<Bracket> brackets;  // HPFTITC
    double resident_rate = 0;       // HPMLBEC
};

bool ReadYearTables(const std::string& year, YearTables* t, std::string* error) {
    G_DataSource grades, brackets, bonus;
    if (!Select("SELECT NTPS_GR, STMS_AM, STME_AM, NAPS_AM FROM HIFNPCT WHERE CO_CD='0000' AND "
                "RVRS_YY=" +
                    SqlQuoted(year) + " ORDER BY STMS_AM",
                "the national-pension grades", &grades, error) ||
        !Select("SELECT TXSS_AM, TXSE_AM, TAX_RT, PRDA_AM FROM HPFTITC WHERE CO_CD='0000' AND "
                "RVRS_YY=" +
                    SqlQuoted(year) + " ORDER BY TXSS_AM",
                "the income-tax rates", &brackets, error) ||
        !Select("SELECT RSTX_RT FROM HPMLBEC WHERE CO_CD='0000' AND RVRS_YY=" + SqlQuoted(year),
                "the resident-tax rate", &bonus, error))
        return false;
    for (long r = 0; r < grades.OnGetRecordCount(); ++r)
        t->grades.push_back({grades.OnGetFieldValue("NTPS_GR", r).str(),
                             Amount(grades.OnGetFieldValue("STMS_AM", r)),
                             Amount(grades.OnGetFieldValue("STME_AM", r)),
                             Amount(grades.OnGetFieldValue("NAPS_AM", r))});
    for (long r = 0; r < brackets.OnGetRecordCount(); ++r)
        t->brackets.push_back({Amount(brackets.OnGetFieldValue("TXSS_AM", r)),
                               Amount(brackets.OnGetFieldValue("TXSE_AM", r)),
                               Amount(brackets.OnGetFieldValue("TAX_RT", r)),
                               Amount(brackets.OnGetFieldValue("PRDA_AM", r))});
    if (bonus.OnGetRecordCount() > 0)
        t->resident_rate = Amount(bonus.OnGetFieldValue("RSTX_RT", 0));
    return true;
}

// The premium rate of the pension table: a middle grade's premium over the
// middle of its range (the lowest and highest grades sit at the floor and
// the ceiling instead).
double PensionRate(const std::vector<Grade>& grades) {
    for (const Grade& g : grades)
        if (g.from > 0 && g.to > g.from && g.to < 1e11) return g.premium / ((g.from + g.to) / 2);
    return 0;
}

// The pension as billed, with the grade of the year whose premium it is:
// that grade's standard monthly income is its premium at the table's rate.
// An amount no grade bills is shown as it is, without a grade.
void NotePension(const YearTables& tables, double amount, PayslipNotes* n) {
    if (amount <= 0) return;
    n->has_pension = true;
    n->pension_amount = amount;
    const double rate = PensionRate(tables.grades);
    n->pension_rate = std::round(rate * 1e6) / 1e6;
    for (const Grade& g : tables.grades) {
        if (std::fabs(g.premium - amount) >= 0.5) continue;
        n->pension_grade = g.grade;
        if (n->pension_rate > 0) n->pension_income = std::round(g.premium / n->pension_rate);
        return;
    }
}

// The rate table's tax rounded by the income-tax item's cut-off code, as the
// tax step rounds it (the amount as it is when the rounding cannot be done).
double RoundedTax(double amount, const std::string& code) {
    double rounded = 0;
    if (!engine::RoundAmount(amount, CString(code), &rounded).ok()) return amount;
    return rounded;
}

// The simplified table worked for the slip's employee, from the year's law:
// the engine bound to the slip's run, the employee's record loaded for his
// household, the run's taxable pay as one month's.
class TableWorker {
  public:
    // Binds to the run (month and sequence, its head pay type); false when
    // the run cannot be bound, and then no slip gets the table's working.
    bool Bind(const std::string& company, const detail::RunUnit& unit) {
        bound_ = false;
        std::vector<HPHONPD_YMD_FMT> runs;
        std::string error;
        if (!ListPayRuns(company, unit.month, &runs, &error)) return false;
        for (HPHONPD_YMD_FMT& key : runs) {
            if (std::atoi(key.SQ.c_str()) != unit.sq) continue;
            if (!unit.types.empty() && key.PYTP_FG.Str() != unit.types.front()) continue;
            if (!ApplyRunRules(&key, &error)) return false;
            key_ = key;
            bound_ = engine_.init(&key_) == 1;
            return bound_;
        }
        return false;
    }
    bool Work(const std::string& employee, double taxable, engine::TableWorking* w) {
        if (!bound_ || engine_.OpenSEMP(CString(employee)) != 1) return false;
        return engine::WorkTable(engine_, taxable, 1, w).ok();
    }

  private:
    CSalaryCalcurate engine_;
    HPHONPD_YMD_FMT key_{};
    bool bound_ = false;
};

void NoteTable(const engine::TableWorking& w, PayslipNotes* n) {
    n->by_table = true;
    n->table_cell = w.cell;
    n->table_annual_pay = w.annual_pay;
    n->table_earned = w.earned;
    n->table_personal = w.own + w.family;
    n->table_persons = w.persons;
    n->table_standard = w.standard;
    n->table_pension = w.pension;
    n->table_base = w.annual_base;
    n->table_computed = static_cast<double>(w.computed);
    n->table_credit = static_cast<double>(w.credit);
    n->table_monthly = static_cast<double>(w.monthly_tax);
    // Under 1,000 won nothing is withheld.
    n->computed_tax = w.monthly_tax < 1000 ? 0 : n->table_monthly;
}

void NoteIncomeTax(const YearTables& tables, const detail::RunRows& rows,
                   const detail::EmployeeRun& e, const detail::Person* person,
                   const detail::ItemCatalog& items, TableWorker* table, Payslip* slip) {
    PayslipNotes* n = &slip->notes;
    n->bonus_run = !rows.unit.types.empty() && rows.unit.types.front().rfind('2', 0) == 0;
    n->has_income_tax = true;
    n->income_tax = e.intx;
    n->computed_tax = e.intx;
    n->taxable_pay = e.tpay + e.tbon;
    engine::TableWorking w;
    if (n->bonus_run) {
        n->tax_base = e.txst;  // the bonus road's tax base over the bonus period
    } else if (table && table->Work(slip->employee, n->taxable_pay, &w)) {
        NoteTable(w, n);
    } else {
        for (const PaperLine& d : slip->deductions)
            if (d.code.rfind('R', 0) == 0) n->savings_deduction += d.amount;
        if (person) {
            const std::string& text = person->division_deduction[person->refr_yn == "001" ? 1 : 0];
            n->division_deduction = payroll::text::NumberOf(text);
        }
        n->tax_base = n->taxable_pay - n->savings_deduction - n->division_deduction;
        for (const Bracket& b : tables.brackets) {
            if (n->tax_base >= b.from && (n->tax_base < b.to || b.to == 0)) {
                n->tax_rate = b.rate;
                n->tax_less = b.less;
                break;
            }
        }
        n->rounding_code = items.Find(rows.unit.types.front(), "P3", "T00").rounding;
        const double bracket =
            n->tax_base > 0 && n->tax_rate > 0 ? n->tax_rate * n->tax_base - n->tax_less : 0;
        n->computed_tax = RoundedTax(bracket, n->rounding_code);
    }
    n->resident_rate = tables.resident_rate;
    n->resident_tax = e.rstx;
    for (const PaperLine& d : slip->deductions)
        if (d.code == "T10") n->resident_tax = d.amount;
    const auto whole = static_cast<long long>(n->resident_rate * n->income_tax + 1e-6);
    n->computed_resident_tax = static_cast<double>(whole - whole % 10);
}

// What a payslip says beyond the run's rows: the company's record, the
// employees' names in English and their dates, the pay types' names, the
// exemption limits.
struct SlipContext {
    reading::CompanyIdentity company;
    struct Employee {
        std::string name_en;  // KOR_NMK
        std::string joined, retired;
    };
    std::map<std::string, Employee> employees;
    std::map<std::string, std::string> type_names;  // 'P4' in the query's language
    detail::ExemptLimits limits;
};

std::string Cell(G_DataSource& rows, const char* column, long r) {
    return rows.OnGetFieldValue(column, r).str();
}

bool IsDate(const std::string& text) {
    return text.size() == 8 && text.find_first_not_of("0123456789") == std::string::npos;
}

bool ReadContext(const PaperQuery& query, SlipContext* c, std::string* error) {
    // A database made before the company record existed names the company
    // by its code, as the other papers do.
    std::string no_identity;
    if (!reading::ReadCompanyIdentity(query.company, &c->company, &no_identity))
        c->company.code = query.company;
    const std::string company = SqlQuoted(query.company);
    G_DataSource people, codes;
    if (!Select("SELECT EMP_CD, KOR_NMK, JOIN_DT, RTR_DT FROM SEMP WHERE CO_CD=" + company +
                    detail::EmployeeFilter(query, "EMP_CD"),
                "the employees' dates", &people, error) ||
        !Select("SELECT CTRL_CD, CTD_CD, CTD_NM, CTD_NMK, RMK_DC FROM SCTRL_D WHERE CO_CD=" +
                    company + " AND CTRL_CD IN ('P4','PC')",
                "the pay types and exemption limits", &codes, error))
        return false;
    for (long r = 0; r < people.OnGetRecordCount(); ++r)
        c->employees[Cell(people, "EMP_CD", r)] = {
            Cell(people, "KOR_NMK", r), Cell(people, "JOIN_DT", r), Cell(people, "RTR_DT", r)};
    for (long r = 0; r < codes.OnGetRecordCount(); ++r) {
        const std::string code = Cell(codes, "CTD_CD", r);
        if (Cell(codes, "CTRL_CD", r) == "P4") {
            std::string name = Cell(codes, query.language == 1 ? "CTD_NMK" : "CTD_NM", r);
            c->type_names[code] = name.empty() ? Cell(codes, "CTD_NM", r) : name;
            continue;
        }
        const double limit = payroll::text::NumberOf(Cell(codes, "RMK_DC", r));
        if (code == "002") c->limits.class002 = limit;
        if (code == "003") c->limits.class003 = limit;
        if (code == "004") c->limits.class004 = limit;
        if (code == "005") c->limits.class005 = limit;
    }
    return true;
}

// The hours and the method of the run's variable pay, and the days of a
// line it prorated, as the pay step kept them beside the amounts it wrote
// (hours summed, and methods joined, over pay types).
using WorkNotes = std::map<std::pair<std::string, std::string>, Payslip::PayDetail>;

bool ReadWorkNotes(const PaperQuery& query, const detail::RunUnit& unit, WorkNotes* out,
                   std::string* error) {
    G_DataSource rows;
    if (!Select("SELECT EMP_CD, PYDD_CD, WORK_DN, WNDW_DN, WKHR_TM, CALC_DC FROM HPOMPSW WHERE "
                "CO_CD=" +
                    SqlQuoted(query.company) + " AND RVRS_YM=" + SqlQuoted(unit.month) +
                    " AND SQ=" + std::to_string(unit.sq) + " AND PYTP_FG IN " +
                    detail::InList(unit.types) + " AND PYDD_FG='P2'" +
                    detail::EmployeeFilter(query, "EMP_CD") + " ORDER BY PYTP_FG",
                "the hours of the variable pay", &rows, error))
        return false;
    for (long r = 0; r < rows.OnGetRecordCount(); ++r) {
        Payslip::PayDetail& d = (*out)[{Cell(rows, "EMP_CD", r), Cell(rows, "PYDD_CD", r)}];
        const std::string hours = Cell(rows, "WKHR_TM", r);
        if (!hours.empty()) {
            d.has_hours = true;
            d.hours += Amount(CString(hours));
        }
        const int worked = std::atoi(Cell(rows, "WORK_DN", r).c_str());
        const int window = std::atoi(Cell(rows, "WNDW_DN", r).c_str());
        if (worked > 0 && window > worked) {
            d.prorated_days = worked;
            d.window_days = window;
        }
        const std::string method = Cell(rows, "CALC_DC", r);
        if (!method.empty()) d.method += (d.method.empty() ? "" : "; ") + method;
    }
    return true;
}

// The window narrowed to the days he was employed in it, and their count.
void NoteWorkedPeriod(const std::string& window, const SlipContext::Employee* who, Payslip* s) {
    if (window.size() != 16) return;
    const std::string from = window.substr(0, 8), to = window.substr(8);
    s->period_from = from;
    s->period_to = to;
    if (who && IsDate(who->joined) && who->joined > from) s->period_from = who->joined;
    if (who && IsDate(who->retired) && who->retired < to) s->period_to = who->retired;
    // Dates that leave nothing of the window (a record out of step with
    // the run) do not narrow it.
    if (s->period_to < s->period_from) {
        s->period_from = from;
        s->period_to = to;
    }
    using namespace std::chrono;
    auto date_of = [](const std::string& d) {
        return year{std::atoi(d.substr(0, 4).c_str())} /
               month{static_cast<unsigned>(std::atoi(d.substr(4, 2).c_str()))} /
               std::chrono::day{static_cast<unsigned>(std::atoi(d.substr(6).c_str()))};
    };
    const year_month_day first = date_of(s->period_from), last = date_of(s->period_to);
    if (!first.ok() || !last.ok() || s->period_to < s->period_from) return;
    s->days_worked = static_cast<int>((sys_days{last} - sys_days{first}).count()) + 1;
}

Payslip MakePayslip(const PaperQuery& query, const detail::RunRows& rows,
                    const std::string& employee, const detail::EmployeeRun& e,
                    const std::map<std::string, detail::Person>& people,
                    const detail::ItemCatalog& items, const YearTables& tables,
                    const SlipContext& context, const WorkNotes& work, TableWorker* table) {
    Payslip s;
    s.company = query.company;
    s.company_name = reading::CompanyDisplayName(context.company, query.language == 1);
    s.representative = context.company.representative;
    s.business_no = context.company.business_no;
    s.employee = employee;
    auto person = people.find(employee);
    if (person != people.end()) {
        s.name = person->second.name;
        s.department = person->second.department;
        s.department_name = person->second.department_name;
    }
    auto who = context.employees.find(employee);
    const SlipContext::Employee* dates = who == context.employees.end() ? nullptr : &who->second;
    if (dates && query.language == 1 && !dates->name_en.empty()) s.name = dates->name_en;
    s.month = rows.unit.month;
    s.sq = rows.unit.sq;
    s.pay_types = rows.unit.TypesText();
    for (const std::string& type : rows.unit.types) {
        auto name = context.type_names.find(type);
        s.pay_type_names += (s.pay_type_names.empty() ? "" : ", ") +
                            (name == context.type_names.end() ? type : name->second);
    }
    s.pay_date = rows.unit.pay_date;
    NoteWorkedPeriod(e.window, dates, &s);
    for (const PaperLine& l : e.pay)
        if (l.amount != 0) s.pay.push_back(l);
    s.pay_detail = detail::SplitExempt(s.pay, context.limits, {e.ewte, e.aite, e.ette});
    for (std::size_t i = 0; i < s.pay.size(); ++i) {
        auto noted = work.find({employee, s.pay[i].code});
        if (noted == work.end()) continue;
        s.pay_detail[i].has_hours = noted->second.has_hours;
        s.pay_detail[i].hours = noted->second.hours;
        s.pay_detail[i].method = noted->second.method;
        s.pay_detail[i].prorated_days = noted->second.prorated_days;
        s.pay_detail[i].window_days = noted->second.window_days;
    }
    for (const PaperLine& l : e.deductions)
        if (l.amount != 0) s.deductions.push_back(l);
    s.gross = e.gross;
    s.total_deductions = e.total_deductions;
    s.net = e.gross - e.total_deductions;
    s.taxable = e.tpay + e.tbon;
    s.exempt = e.ewte + e.aite + e.ette;
    for (const PaperLine& d : s.deductions)
        if (d.code == "S00") NotePension(tables, d.amount, &s.notes);
    NoteIncomeTax(tables, rows, e, person == people.end() ? nullptr : &person->second, items, table,
                  &s);
    return s;
}

// Whether the company withholds by the year's simplified table (its
// settings' row 21); a company without the row does not.
bool WithholdsByTable(const std::string& company) {
    G_DataSource row;
    std::string ignored;
    if (!Select("SELECT CTR_FG FROM syscfg WHERE CO_CD=" + SqlQuoted(company) + " AND CTR_CD='21'",
                "the withholding method", &row, &ignored))
        return false;
    return row.OnGetRecordCount() > 0 && row.OnGetFieldValue("CTR_FG", 0) == "002";
}

}  // namespace

bool ReadPayslips(const PaperQuery& query, std::vector<Payslip>* out, std::string* error) {
    out->clear();
    std::string ignored;
    if (!error) error = &ignored;
    if (!detail::CheckQuery(query, false, error)) return false;
    detail::ItemCatalog items;
    std::vector<detail::RunRows> month;
    std::map<std::string, detail::Person> people;
    YearTables tables;
    SlipContext context;
    if (!detail::ReadMonth(query, &items, &month, error) ||
        !detail::ReadPeople(query.company, query.language, &people, error) ||
        !ReadYearTables(query.period.substr(0, 4), &tables, error) ||
        !ReadContext(query, &context, error))
        return false;
    const bool byTable = WithholdsByTable(query.company);
    for (const detail::RunRows& rows : month) {
        WorkNotes work;
        if (!ReadWorkNotes(query, rows.unit, &work, error)) {
            out->clear();
            return false;
        }
        TableWorker worker;
        TableWorker* table = byTable && worker.Bind(query.company, rows.unit) ? &worker : nullptr;
        for (const auto& [employee, e] : rows.employees)
            out->push_back(
                MakePayslip(query, rows, employee, e, people, items, tables, context, work, table));
    }
    return true;
}

}  // namespace payroll::papers
