#include "tools/company/people.h"

#include <cmath>
#include <cstdio>
#include <random>

namespace payroll::company {
namespace {

const char* kFamily[] = {"김", "이", "박", "최", "정", "강", "조", "윤", "장", "임", "한", "오"};
const char* kFamilyEn[] = {"Kim", "Lee",  "Park", "Choi", "Jung", "Kang",
                           "Cho", "Yoon", "Jang", "Lim",  "Han",  "Oh"};
const char* kGiven[] = {"민준", "서연", "지훈", "하은", "도윤", "수빈", "예준", "지민",
                        "현우", "유진", "성민", "은지", "준호", "다은", "우진", "소연"};
const char* kGivenEn[] = {"Minjun", "Seoyeon", "Jihun",   "Haeun", "Doyun",   "Subin",
                          "Yejun",  "Jimin",   "Hyunwoo", "Yujin", "Sungmin", "Eunji",
                          "Junho",  "Daeun",   "Woojin",  "Soyeon"};

std::string Date(int y, int m, int d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
    return buf;
}

double Tens(double v) {
    return std::floor(v / 10) * 10;
}

// The national pension the agency bills for a monthly pay: 4.5 % of the
// standard monthly income of the pay's grade in the law of 2002 as shipped
// (resources/law/2002/HIFNPCT.csv): 220,000 below 320,000, the middle of
// each 100,000 grade above it, at most 162,000 from 3,520,000.
double PensionOfGrade(double pay) {
    if (pay < 320000) return 9900;
    if (pay >= 3520000) return 162000;
    const double lower = 320000 + std::floor((pay - 320000) / 100000) * 100000;
    return (lower + 50000) * 0.045;
}

}  // namespace

std::string YearMonth(int year, int month) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d", year, month);
    return buf;
}

std::string LastDayOf(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int d = days[month - 1];
    if (month == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) d = 29;
    return Date(year, month, d);
}

const char* RankOf(int grade) {
    return grade >= 7 ? "300" : grade >= 4 ? "200" : "100";
}

unsigned Mix(const std::string& emp_cd, int month, const std::string& code) {
    std::string key = emp_cd;
    key += '/';
    key += std::to_string(month);
    key += '/';
    key += code;
    unsigned h = 2166136261u;
    for (char c : key) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

std::vector<Person> MakePeople(int count, int year, unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::vector<Person> people;
    people.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        Person p;
        char code[16];
        std::snprintf(code, sizeof code, "E%06d", i + 1);
        p.emp_cd = code;
        int f = pick(12), g = pick(16);
        p.name = std::string(kFamily[f]) + kGiven[g];
        p.name_en = std::string(kFamilyEn[f]) + " " + kGivenEn[g];
        bool production = i % 5 >= 3;
        p.htyp_cd = production ? "002" : "001";
        p.dept_cd = production ? (i % 2 ? "D202" : "D201") : (i % 2 ? "D102" : "D101");
        int kind = pick(100);
        if (kind < 8) {  // joins during the year
            p.join_dt = Date(year, 2 + pick(10), 1 + pick(28));
        } else {
            p.join_dt = Date(year - 1 - pick(14), 1 + pick(12), 1 + pick(28));
        }
        if (kind >= 90 && kind < 97) p.rtr_dt = Date(year, 1 + pick(11), 1 + pick(28));
        p.spouse = pick(100) < 60;
        p.dependants = pick(4);
        p.elderly = pick(100) < 15 ? 1 : 0;
        p.grade = 1 + pick(9);
        p.base_pay = production ? 1200000 + p.grade * 150000 : 1500000 + p.grade * 300000;
        p.pension = PensionOfGrade(p.base_pay);
        p.health = Tens(p.base_pay * 0.017);
        people.push_back(std::move(p));
    }
    return people;
}

bool WorksIn(const Person& p, int year, int month) {
    std::string first = Date(year, month, 1);
    std::string last = Date(year, month, 31);
    if (p.join_dt > last) return false;
    return p.rtr_dt.empty() || p.rtr_dt >= first;
}

double PayAmount(const Person& p, int month, const std::string& code, const std::string& pytp) {
    unsigned h = Mix(p.emp_cd, month, code);
    bool production = p.htyp_cd == "002";
    if (pytp == "200") return code == "V00" ? p.base_pay : 0;
    if (pytp == "110") {
        if (code == "P01") return production ? 100000 + (h % 5) * 20000 : 0;
        if (code == "P10") return production && h % 2 ? 50000 : 0;
        if (code == "P13") return 100000;
        return 0;
    }
    if (code == "P00") return p.base_pay;
    if (code == "P01") return production ? 150000 + (h % 26) * 10000 : (h % 3 == 0 ? 100000 : 0);
    if (code == "P02") return h % 4 == 0 ? 130000 : 100000;
    if (code == "P03") return h % 5 == 0 ? (h % 10 == 0 ? 250000 : 200000) : 0;
    if (code == "P04") return !production && p.grade >= 6 ? 100000.0 * (p.grade - 5) : 0;
    if (code == "P05") return 20000.0 * (p.dependants + p.elderly + (p.spouse ? 1 : 0));
    if (code == "P06") return h % 7 == 0 ? 200000 : 0;
    if (code == "P07") return h % 9 == 0 ? 30000 : 0;
    if (code == "P08") return p.join_dt < "19950101" ? 50000 : 0;
    if (code == "P09") return p.dependants > 0 && h % 6 == 0 ? 100000 : 0;
    if (code == "P10") return production && h % 3 == 0 ? 80000 : 0;
    if (code == "P11") return h % 23 == 0 ? 100000 : 0;
    if (code == "P12") return 10000;
    return 0;
}

double DeductionAmount(const Person& p, int month, const std::string& code) {
    unsigned h = Mix(p.emp_cd, month, code);
    if (code == "S00") return p.pension;
    if (code == "S10") return p.health;
    if (code == "S20") return Tens(p.base_pay * 0.0045);
    if (code == "R01") return h % 8 == 0 ? 50000 : 0;
    if (code == "D01") return p.htyp_cd == "002" ? 10000 : 0;
    if (code == "D02") return 5000;
    return 0;
}

}  // namespace payroll::company
