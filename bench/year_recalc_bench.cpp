// The year recalculation of income tax (the engine's year driver) over a
// company of 1,000 and of 10,000 employees: 12 monthly runs, 15 pay and 10
// deduction items per employee and run, on a SQLite database file. The same
// statements, as the database received them, are also replayed through the
// raw SQLite API (prepared once per shape, bound, stepped), which gives the
// engine's overhead over the database work itself.
//
// Figures: year_employee_runs_per_s_1000, year_employee_runs_per_s_10000,
// year_scaling_ratio (time at 10,000 over time at 1,000),
// year_statements_per_employee_run, year_raw_replay_employee_runs_per_s and
// year_overhead_ratio (the median of engine-then-replay pairs at 1,000),
// year_table_ratio (the year at 10,000 withheld by the simplified table over
// the same year by the division's amount).
// --quick uses 200 and 2,000 employees.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench/figures.h"
#include "bench/scratch_db.h"
#include "bench/year_company.h"
#include "payroll/company.h"
#include "payroll/datasource.h"
#include "payroll/diagnostics.h"
#include "payroll/host.h"
#include "payroll/salary_calcurate.h"
#include "payroll/ui.h"
#include "platform/db/connection.h"
#include "platform/db/sqlite_backend.h"
#include "platform/db/sqlite_writeback.h"
#include "platform/db/tsql/sqlite_support.h"
#include "platform/db/tsql/translate.h"
#include "tests/support/recording_backend.h"

namespace payroll::bench {
namespace {

constexpr int kMonths = 12;

int SmallCompany() {
    return Quick() ? 200 : 1000;
}
int LargeCompany() {
    return Quick() ? 2000 : 10000;
}

std::string DbPath(int employees) {
    return (std::filesystem::temp_directory_path() /
            ("payroll_bench_year_" + std::to_string(employees) + ".db"))
        .string();
}

// The pay items: P00 base pay and eight more taxable items, then one item
// of each exemption class (002 meal, 001 overtime, 003, 004, 006) and one
// without a limit. Deductions: the fixed codes, resident tax, two R codes.
struct Item {
    const char* code;
    const char* tax;
    const char* exemption;
    int amount;
};
constexpr Item kPay[kPayItems] = {
    {"P00", "001", "", 2000000},   {"P01", "001", "", 100000},    {"P02", "001", "", 50000},
    {"P03", "001", "", 30000},     {"P04", "001", "", 20000},     {"P05", "001", "", 10000},
    {"P06", "001", "", 5000},      {"P07", "001", "", 4000},      {"P08", "001", "", 3000},
    {"P10", "002", "002", 120000}, {"P11", "002", "001", 150000}, {"P12", "002", "003", 110000},
    {"P13", "002", "004", 90000},  {"P14", "002", "006", 60000},  {"P15", "002", "", 70000},
};
constexpr Item kDeductions[kDeductionItems] = {
    {"S00", "", "", 90000}, {"S10", "", "", 70000}, {"S20", "", "", 10000}, {"T00", "", "", 1},
    {"T10", "", "", 1},     {"S30", "", "", 5000},  {"S40", "", "", 4000},  {"S50", "", "", 3000},
    {"R01", "", "", 20000}, {"R02", "", "", 10000},
};

// Writes the company with the raw SQLite API (fast, and apart from what is
// measured): settings, organisation, employees, 12 monthly runs with every
// employee's pay and deduction rows in table set 1.
bool Seed(const std::string& path, int employees) {
    RemoveDb(path);
    std::string error;
    if (!OpenDatabase("sqlite:" + path, &error) || !ApplySchema(nullptr, &error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return false;
    }
    CloseDatabase();
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return false;
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(db, sqlite3_close);
    bool ok = Exec(db, "BEGIN") && Exec(db, "INSERT INTO SHCFG (CO_CD) VALUES ('1000')") &&
              Exec(db,
                   "INSERT INTO SCTRL_D (CO_CD, CTRL_CD, CTD_CD, RMK_DC) VALUES "
                   "('1000','PC','001','2400000'), ('1000','PC','002','100000'), "
                   "('1000','PC','003','100000'), ('1000','PC','004','100000'), "
                   "('1000','PC','007','3000000')") &&
              Exec(db,
                   "INSERT INTO HHFAACC VALUES ('1000','001','001','25'), "
                   "('1000','002','002','21')") &&
              Exec(db,
                   "INSERT INTO SDIV (CO_CD, DIV_CD, DUMMY2, DUMMY3) VALUES "
                   "('1000','DV1','10000','20000'), ('1000','DV2','','')") &&
              Exec(db,
                   "INSERT INTO HPFTITC (CO_CD, RVRS_YY, TXSS_AM, TXSE_AM, TAX_RT, PRDA_AM) "
                   "VALUES ('0000','2002',0,1000000,0,0), "
                   "('0000','2002',1000000,4000000,0.09,90000), "
                   "('0000','2002',4000000,8000000,0.18,450000), "
                   "('0000','2002',8000000,0,0.27,1170000)");
    for (int d = 0; ok && d < 10; ++d)
        ok = Exec(db, "INSERT INTO SDEPT (CO_CD, DEPT_CD, DIV_CD) VALUES ('1000','D0" +
                          std::to_string(d) + "','DV" + std::to_string(d % 2 + 1) + "')");
    for (const Item& i : kPay)
        ok = ok && Exec(db, std::string("INSERT INTO HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, "
                                        "PYDD_CD, TAX_FG, TXEX_FG) VALUES ('1000','2002','001',"
                                        "'P2','") +
                                i.code + "','" + i.tax + "','" + i.exemption + "')");
    ok = ok && Exec(db,
                    "INSERT INTO HPMPDFM (CO_CD, RVRS_YM, PYTP_FG, PYDD_FG, PYDD_CD, CTOF_FG) "
                    "VALUES ('1000','2002','001','P3','T00','006')");
    for (int m = 1; ok && m <= kMonths; ++m) {
        char month[8];
        std::snprintf(month, sizeof month, "2002%02d", m);
        std::string ym = month;
        std::string calendar = "INSERT INTO HPHPYFQ VALUES ('1000','" + ym;
        calendar += "',1,'" + ym + "25','002')";
        std::string types =
            "INSERT INTO HPHWTPT (CO_CD, RVRS_YM, SQ, PYTP_FG, HTYP_CD, PYSP_FG) VALUES ('1000','" +
            ym;
        types += "',1,'001','001','001'), ('1000','" + ym + "',1,'001','002','001')";
        ok = Exec(db, calendar) &&
             Exec(db, "INSERT INTO HPHONPD (CO_CD, RVRS_YM, SQ, PYTP_FG) VALUES ('1000','" + ym +
                          "',1,'001')") &&
             Exec(db, types);
    }

    sqlite3_stmt* emp = nullptr;
    sqlite3_stmt* pay = nullptr;
    sqlite3_stmt* ded = nullptr;
    ok = ok &&
         sqlite3_prepare_v2(db,
                            "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, DEPT_CD, PJT_CD, HTYP_CD, "
                            "PRTY_CD, PYSP_FG, REFR_YN, JOIN_DT) VALUES "
                            "('1000',?1,?2,?3,'J01',?4,'P1','001',?5,'20000101')",
                            -1, &emp, nullptr) == SQLITE_OK &&
         sqlite3_prepare_v2(db,
                            "INSERT INTO HPOMPPD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, "
                            "PAY_CD, PAY_AM, DIV_CD, DEPT_CD, PRTY_CD) VALUES "
                            "('1000',?1,1,'001',?2,'P2',?3,?4,?5,?6,'P1')",
                            -1, &pay, nullptr) == SQLITE_OK &&
         sqlite3_prepare_v2(db,
                            "INSERT INTO HPOMPDD (CO_CD, RVRS_YM, SQ, PYTP_FG, EMP_CD, PYDD_FG, "
                            "DDCT_CD, DDCT_AM, DIV_CD, DEPT_CD, PRTY_CD) VALUES "
                            "('1000',?1,1,'001',?2,'P3',?3,?4,?5,?6,'P1')",
                            -1, &ded, nullptr) == SQLITE_OK;
    for (int e = 0; ok && e < employees; ++e) {
        char code[16], dept[8], div[8];
        std::snprintf(code, sizeof code, "E%06d", e + 1);
        std::snprintf(dept, sizeof dept, "D0%d", e % 10);
        std::snprintf(div, sizeof div, "DV%d", e % 2 + 1);
        const std::string name = "사원" + std::to_string(e + 1);
        sqlite3_bind_text(emp, 1, code, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(emp, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(emp, 3, dept, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(emp, 4, e % 2 ? "002" : "001", -1, SQLITE_STATIC);
        sqlite3_bind_text(emp, 5, e % 3 ? "002" : "001", -1, SQLITE_STATIC);
        ok = sqlite3_step(emp) == SQLITE_DONE;
        sqlite3_reset(emp);
        for (int m = 1; ok && m <= kMonths; ++m) {
            char month[8];
            std::snprintf(month, sizeof month, "2002%02d", m);
            for (bool isPay : {true, false}) {
                sqlite3_stmt* st = isPay ? pay : ded;
                const Item* items = isPay ? kPay : kDeductions;
                for (int i = 0; ok && i < (isPay ? kPayItems : kDeductionItems); ++i) {
                    sqlite3_bind_text(st, 1, month, -1, SQLITE_TRANSIENT);
                    sqlite3_bind_text(st, 2, code, -1, SQLITE_TRANSIENT);
                    sqlite3_bind_text(st, 3, items[i].code, -1, SQLITE_STATIC);
                    // Amounts differ by employee, so that the brackets vary.
                    sqlite3_bind_int64(st, 4, items[i].amount + (e % 37) * 100000LL * (i == 0));
                    sqlite3_bind_text(st, 5, div, -1, SQLITE_TRANSIENT);
                    sqlite3_bind_text(st, 6, dept, -1, SQLITE_TRANSIENT);
                    ok = sqlite3_step(st) == SQLITE_DONE;
                    sqlite3_reset(st);
                }
            }
        }
    }
    sqlite3_finalize(emp);
    sqlite3_finalize(pay);
    sqlite3_finalize(ded);
    // No ANALYZE: the schema's indexes must serve the statements as a host's
    // database has them.
    ok = ok && Exec(db, "COMMIT");
    if (!ok) std::fprintf(stderr, "bench: seeding failed: %s\n", sqlite3_errmsg(db));
    return ok;
}

// The company of that size, seeded once per process.
bool Prepare(int employees) {
    static std::map<int, bool> ready;
    auto it = ready.find(employees);
    if (it != ready.end()) return it->second;
    bool ok = Seed(DbPath(employees), employees);
    ready[employees] = ok;
    return ok;
}

bool OpenCompany(int employees) {
    std::string error;
    if (OpenDatabase("sqlite:" + DbPath(employees), &error)) return true;
    std::fprintf(stderr, "bench: %s\n", error.c_str());
    return false;
}

// The company opened over a backend that shows every statement it runs to
// *recorder (nothing until told to watch); null when it cannot be opened.
testing::RecordingBackend* OpenRecordedCompany(int employees) {
    std::string error;
    std::unique_ptr<db::Backend> sqlite = db::OpenBackend("sqlite:" + DbPath(employees), &error);
    if (!sqlite) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return nullptr;
    }
    auto backend = std::make_unique<testing::RecordingBackend>(std::move(sqlite));
    testing::RecordingBackend* recorder = backend.get();
    db::Connection::Install(std::make_unique<db::Connection>(std::move(backend)));
    return recorder;
}

void YearRecalc(benchmark::State& state, int (*size)()) {
    const int employees = size();
    QuietUi quiet;
    if (!Prepare(employees) || !OpenCompany(employees)) {
        state.SkipWithError("cannot seed the company");
        return;
    }
    // A first recalculation stores every result, so that each measured one
    // does the steady work of a recalculation (the results exist).
    if (!RecalculateYear()) {
        state.SkipWithError(LastEngineFailure().step.c_str());
        return;
    }
    for (auto _ : state) {
        if (!RecalculateYear()) state.SkipWithError(LastEngineFailure().step.c_str());
    }
    CloseDatabase();
}

// One statement as the connection sent it to SQLite.
struct Replayed {
    std::string sql;
    std::vector<tsql::BoundValue> values;
};

// What one recalculation sends: its texts, and the statements the database
// received (a text answered from rows the transaction already read sends
// none).
struct Recording {
    std::vector<Replayed> sent;
    long texts = 0;
    long reused = 0;
};

// The statements of the engine's year as the connection sent them: a
// transaction's begin and end are the replay's own, a savepoint around a text
// of several statements is part of what the engine costs.
bool RecordYear(testing::RecordingBackend* recorder, Recording* out) {
    db::Connection* c = db::Connection::Current();
    const long texts = c->texts_sent(), reused = c->reads_reused();
    recorder->Observe(
        [out](std::string_view sql, const std::vector<tsql::BoundValue>& values, bool native) {
            if (native && sql.rfind("SAVEPOINT", 0) != 0 && sql.rfind("RELEASE", 0) != 0) return;
            out->sent.push_back({std::string(sql), values});
        });
    bool ok = RecalculateYear();
    recorder->Observe(nullptr);
    out->texts = c->texts_sent() - texts;
    out->reused = c->reads_reused() - reused;
    return ok;
}

// The recorded statements replayed on a raw connection opened and set up as
// the engine's own: each prepared once per shape, bound, stepped, every row
// and column read as text, in one transaction.
class Replayer {
  public:
    explicit Replayer(const std::vector<Replayed>& replay) : replay_(replay) {}
    ~Replayer() {
        for (auto& [sql, st] : prepared_) sqlite3_finalize(st);
        sqlite3_close(db_);
    }
    Replayer(const Replayer&) = delete;
    Replayer& operator=(const Replayer&) = delete;

    bool Open(const std::string& path, std::string* error) {
        sqlite3_open_v2(path.c_str(), &db_, db::SqliteOpenFlags(), db::SqliteVfs());
        if (!db::ConfigureSqlite(db_, false, error)) return false;
        tsql::RegisterSqliteFunctions(db_);
        return true;
    }

    bool Run(std::string* error) {
        if (!Exec(db_, "BEGIN")) return false;
        for (const Replayed& r : replay_) {
            sqlite3_stmt*& st = prepared_[r.sql];
            if (!st && sqlite3_prepare_v2(db_, r.sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
                *error = sqlite3_errmsg(db_);
                Exec(db_, "ROLLBACK");
                return false;
            }
            tsql::BindSqliteValues(st, r.values, nullptr);
            while (sqlite3_step(st) == SQLITE_ROW)
                for (int c = 0; c < sqlite3_column_count(st); ++c)
                    benchmark::DoNotOptimize(sqlite3_column_text(st, c));
            sqlite3_reset(st);
        }
        return Exec(db_, "COMMIT");
    }

  private:
    const std::vector<Replayed>& replay_;
    sqlite3* db_ = nullptr;
    std::map<std::string, sqlite3_stmt*> prepared_;
};

// Records what a recalculation of the small company sends (and reports its
// counts); false when it could not.
bool RecordSmallYear(benchmark::State& state, Recording* recording) {
    const int employees = SmallCompany();
    testing::RecordingBackend* recorder = nullptr;
    if (!Prepare(employees) || !(recorder = OpenRecordedCompany(employees)) || !RecalculateYear() ||
        !RecordYear(recorder, recording)) {
        state.SkipWithError("cannot record the recalculation");
        return false;
    }
    const double employeeRuns = static_cast<double>(employees) * kMonths;
    SetFigure("year_statements_per_employee_run",
              static_cast<double>(recording->texts) / employeeRuns);
    SetFigure("year_sent_per_employee_run",
              static_cast<double>(recording->sent.size()) / employeeRuns);
    SetFigure("year_reused_reads_per_employee_run",
              static_cast<double>(recording->reused) / employeeRuns);
    return true;
}

void RawReplay(benchmark::State& state) {
    QuietUi quiet;
    Recording recording;
    if (!RecordSmallYear(state, &recording)) return;
    CloseDatabase();
    Replayer replayer(recording.sent);
    std::string error;
    if (!replayer.Open(DbPath(SmallCompany()), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state)
        if (!replayer.Run(&error)) state.SkipWithError(error.c_str());
}

// The engine's time over the replay's, from pairs run back to back (the
// engine's year, then the replay of what it sent): the median ratio of the
// pairs, so that a machine that speeds up or slows down between two long
// measurements does not tilt it.
constexpr int kOverheadPairs = 7;

void OverheadPairs(benchmark::State& state) {
    QuietUi quiet;
    Recording recording;
    if (!RecordSmallYear(state, &recording)) return;
    Replayer replayer(recording.sent);
    std::string error;
    if (!replayer.Open(DbPath(SmallCompany()), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::vector<double> ratios;
    for (auto _ : state) {
        for (int i = 0; i < kOverheadPairs; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            const bool engine = RecalculateYear();
            const auto t1 = std::chrono::steady_clock::now();
            const bool replay = replayer.Run(&error);
            const auto t2 = std::chrono::steady_clock::now();
            if (!engine || !replay) {
                state.SkipWithError(engine ? error.c_str() : "the recalculation failed");
                break;
            }
            ratios.push_back(std::chrono::duration<double>(t1 - t0).count() /
                             std::chrono::duration<double>(t2 - t1).count());
        }
    }
    CloseDatabase();
    if (ratios.empty()) return;
    std::sort(ratios.begin(), ratios.end());
    std::fprintf(stderr, "year overhead, pair by pair:");
    for (double r : ratios) std::fprintf(stderr, " %.3f", r);
    std::fprintf(stderr, "\n");
    SetFigure("year_overhead_ratio", ratios[ratios.size() / 2]);
}

// The company's withholding method: the division's amount (the seeded
// company's) or the year's simplified table, with the law of 2002 as
// shipped loaded for it.
bool WithholdByTable(bool table) {
    std::vector<folder::LawTable> law;
    std::string error;
    G_DirectSQL sql;
    if (!folder::LoadShippedLaw(&law, &error) ||
        !sql.OnExecuteText(std::string("DELETE FROM syscfg WHERE CO_CD='1000' AND CTR_CD='21';\n"
                                       "INSERT INTO syscfg (CO_CD, CTR_CD, CTR_FG, CTR_NB, USE_YN, "
                                       "FG_TY) VALUES ('1000','21','") +
                           (table ? "002" : "001") + "',0,'001','001')")) {
        std::fprintf(stderr, "bench: %s\n",
                     error.empty() ? sql.GetLastError().c_str() : error.c_str());
        return false;
    }
    return true;
}

// The year of the large company withheld by the simplified table.
void YearRecalcByTable(benchmark::State& state) {
    const int employees = LargeCompany();
    QuietUi quiet;
    if (!Prepare(employees) || !OpenCompany(employees) || !WithholdByTable(true) ||
        !RecalculateYear()) {
        state.SkipWithError("cannot seed the company");
        CloseDatabase();
        return;
    }
    for (auto _ : state) {
        if (!RecalculateYear()) state.SkipWithError(LastEngineFailure().step.c_str());
    }
    WithholdByTable(false);
    CloseDatabase();
}

void BM_YearRecalcSmall(benchmark::State& state) {
    YearRecalc(state, SmallCompany);
}
void BM_YearRecalcLarge(benchmark::State& state) {
    YearRecalc(state, LargeCompany);
}
void BM_YearRecalcByTableLarge(benchmark::State& state) {
    YearRecalcByTable(state);
}
void BM_YearRawReplaySmall(benchmark::State& state) {
    RawReplay(state);
}
void BM_YearOverheadPairs(benchmark::State& state) {
    OverheadPairs(state);
}

const char* const kSmall = Timed("BM_YearRecalcSmall", BM_YearRecalcSmall, 5);
const char* const kLarge = Timed("BM_YearRecalcLarge", BM_YearRecalcLarge, 2);
const char* const kLargeTable = Timed("BM_YearRecalcByTableLarge", BM_YearRecalcByTableLarge, 2);
const char* const kReplay = Timed("BM_YearRawReplaySmall", BM_YearRawReplaySmall, 5);

const bool year_recalc_registered = [] {
    // Registered after the replay, so that it runs after it.
    Timed("BM_YearOverheadPairs", BM_YearOverheadPairs, 1);
    AddFigure("year_employee_runs_per_s_1000", [](const Timings& t) {
        return PerSecond(t, kSmall, static_cast<double>(SmallCompany()) * kMonths);
    });
    AddFigure("year_employee_runs_per_s_10000", [](const Timings& t) {
        return PerSecond(t, kLarge, static_cast<double>(LargeCompany()) * kMonths);
    });
    AddFigure("year_scaling_ratio", [](const Timings& t) { return RatioOf(t, kLarge, kSmall); });
    // The year withheld by the simplified table over the year by the
    // division's amount, at the large size.
    AddFigure("year_table_ratio", [](const Timings& t) { return RatioOf(t, kLargeTable, kLarge); });
    AddFigure("year_raw_replay_employee_runs_per_s", [](const Timings& t) {
        return PerSecond(t, kReplay, static_cast<double>(SmallCompany()) * kMonths);
    });
    return true;
}();

}  // namespace

bool SeedYearCompany(const std::string& path, int employees) {
    return Seed(path, employees);
}

bool RecalculateYear() {
    HPHONPD_YMD_FMT key;
    std::memset(&key, 0, sizeof key);
    key.CO_CD = "1000";
    key.RVRS_YM = "200201";
    ResetTransactionOutcome();
    {
        CSalaryCalcurate engine;
        engine.Call_AllSum1to12_Year(&key, 1, CString(), 0);
    }
    return LastTransactionOutcome() == TransactionOutcome::kCommitted;
}

}  // namespace payroll::bench
