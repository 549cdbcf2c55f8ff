// The employees of a generated company and what each is paid. Everything
// about an employee follows from the seed and the employee's number, so the
// same company comes out every time.
#pragma once

#include <string>
#include <vector>

namespace payroll::company {

struct Person {
    std::string emp_cd;
    std::string name;     // Korean
    std::string name_en;  // romanised
    std::string htyp_cd;  // "001" office, "002" production
    std::string dept_cd;
    std::string join_dt;  // YYYYMMDD
    std::string rtr_dt;   // YYYYMMDD or empty
    bool spouse = false;
    int dependants = 0;  // TDFR_SN
    int elderly = 0;     // SUFR_SN
    int grade = 1;       // pay step 1..9
    double base_pay = 0;
    double pension = 0;  // NAPS_AM
    double health = 0;   // HIFA_AM
};

// 200207 of (2002, 7); 20020731, the month's last day.
std::string YearMonth(int year, int month);
std::string LastDayOf(int year, int month);
// The rank (G3) of a pay step.
const char* RankOf(int grade);

std::vector<Person> MakePeople(int count, int year, unsigned seed);

// Whether the person works at some time in month (year, month).
bool WorksIn(const Person& p, int year, int month);

// A number that varies by person, month and item but is the same each time.
unsigned Mix(const std::string& emp_cd, int month, const std::string& code);

// The amount of a pay item for a person in a month (the host's pay step).
double PayAmount(const Person& p, int month, const std::string& code, const std::string& pytp);
// The amount of a deduction item.
double DeductionAmount(const Person& p, int month, const std::string& code);

}  // namespace payroll::company
