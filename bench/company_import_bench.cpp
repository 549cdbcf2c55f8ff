// The company folder's import: a folder of 100,000 employees with ten fixed
// items each (--quick 10,000), read, checked and written into a fresh
// SQLite database in one transaction, against the same rows inserted with
// prepared statements through the raw SQLite API.
//
//   import_rows_per_s         SEMP, H_SEMP and HPHFXPD rows imported a second
//   import_ratio_to_prepared  the import's time over the prepared inserts'
//   import_peak_rss_mib       the process's peak resident memory over an import
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/figures.h"
#include "bench/scratch_db.h"
#include "payroll/company.h"
#include "payroll/host.h"

namespace payroll::bench {
namespace {

constexpr const char* kFixedCodes[] = {"P00", "P01", "P02", "P05", "D01",
                                       "S00", "S10", "S20", "T00", "T10"};
constexpr int kFixedPerEmployee = 10;

int Employees() {
    return Quick() ? 10000 : 100000;
}

std::string Temp(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

std::string EmployeeCode(int e) {
    char code[16];
    std::snprintf(code, sizeof code, "E%06d", e);
    return code;
}

// The example folder with its employees and fixed items replaced by
// generated ones, written once per process.
std::string Folder() {
    static const std::string dir = [] {
        std::string d = Temp("payroll_bench_company");
        std::filesystem::remove_all(d);
        std::filesystem::create_directories(d);
        const std::string example = ResourceDirectory() + "/company-example";
        for (const auto& e : std::filesystem::directory_iterator(example))
            std::filesystem::copy_file(e.path(), d + "/" + e.path().filename().string());
        std::ofstream employees(d + "/employees.csv", std::ios::binary | std::ios::trunc);
        employees << "사번 [EMP_CD],성명 [KOR_NM],부서 [DEPT_CD],근로구분 [HTYP_CD],급여형태 "
                     "[PYSP_FG],호봉구분 [HCLS_CD],호봉 [PYST_GR],재직구분 [ENRL_FG],입사일 "
                     "[JOIN_DT],배우자 [SPUS_YN],부양가족수 [TDFR_SN],국민연금 [NAPS_AM],건강보험 "
                     "[HIFA_AM]\r\n";
        std::ofstream fixed(d + "/fixed-items.csv", std::ios::binary | std::ios::trunc);
        fixed << "사번 [EMP_CD],항목코드 [FIXP_CD],시작월 [CTST_YM],종료월 [CTED_YM],금액 "
                 "[FIX_AM]\r\n";
        for (int e = 0; e < Employees(); ++e) {
            const std::string code = EmployeeCode(e);
            employees << code << ",김민준" << e % 97 << (e % 3 ? ",D101,사무직" : ",D201,생산직")
                      << ",월급제,일반직," << (1 + e % 5) << "호봉,재직,19" << (70 + e % 30) << "-0"
                      << (1 + e % 9) << "-1" << e % 10 << "," << (e % 2 ? "예" : "아니오") << ","
                      << e % 4 << "," << 90000 + e % 50 * 100 << "," << 35000 + e % 40 * 100
                      << "\r\n";
            for (const char* item : kFixedCodes)
                fixed << code << "," << item << ",2002-01,," << 10000 + e % 100 * 1000 << "\r\n";
        }
        return d;
    }();
    return dir;
}

long PeakRssKib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

bool FreshFile(const std::string& path) {
    RemoveDb(path);
    std::string error;
    if (OpenDatabase("sqlite:" + path, &error) && ApplySchema(nullptr, &error)) return true;
    std::fprintf(stderr, "bench: %s\n", error.c_str());
    return false;
}

void BM_CompanyImport(benchmark::State& state) {
    const std::string dir = Folder();
    const std::string path = Temp("payroll_bench_import.db");
    long peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!FreshFile(path)) {
            state.SkipWithError("cannot open the database");
            return;
        }
        // The peak is the import's own: the kernel forgets the one before.
        std::ofstream("/proc/self/clear_refs") << "5";
        state.ResumeTiming();
        const folder::ImportResult r = folder::ImportFolder(dir);
        state.PauseTiming();
        peak = std::max(peak, PeakRssKib());
        if (!r.ok) {
            state.SkipWithError(r.problems.empty() ? r.error.c_str()
                                                   : r.problems[0].expected.c_str());
            return;
        }
        CloseDatabase();
        state.ResumeTiming();
    }
    SetFigure("import_peak_rss_mib", static_cast<double>(peak) / 1024.0);
    RemoveDb(path);
}

// The same rows with one prepared statement a table, in one transaction.
void BM_CompanyPrepared(benchmark::State& state) {
    const std::string path = Temp("payroll_bench_import_prepared.db");
    for (auto _ : state) {
        state.PauseTiming();
        if (!FreshFile(path)) {
            state.SkipWithError("cannot open the database");
            return;
        }
        CloseDatabase();
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        Exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL");
        state.ResumeTiming();
        Exec(db, "BEGIN");
        sqlite3_stmt* semp = nullptr;
        sqlite3_stmt* hsemp = nullptr;
        sqlite3_stmt* fixed = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO SEMP (CO_CD, EMP_CD, KOR_NM, DEPT_CD, HTYP_CD, PYSP_FG, "
                           "HCLS_CD, PYST_GR, ENRL_FG, JOIN_DT, SPUS_YN, TDFR_SN, NAPS_AM, "
                           "HIFA_AM) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                           -1, &semp, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO H_SEMP (CO_CD, EMP_CD) VALUES (?,?)", -1, &hsemp,
                           nullptr);
        sqlite3_prepare_v2(db,
                           "INSERT INTO HPHFXPD (CO_CD, EMP_CD, FIXP_CD, CTST_YM, CTED_YM, "
                           "FIX_AM) VALUES (?,?,?,?,?,?)",
                           -1, &fixed, nullptr);
        for (int e = 0; e < Employees(); ++e) {
            const std::string code = EmployeeCode(e);
            const std::string name = "김민준" + std::to_string(e % 97);
            const char* text[] = {"1000",
                                  code.c_str(),
                                  name.c_str(),
                                  e % 3 ? "D101" : "D201",
                                  e % 3 ? "001" : "002",
                                  "001",
                                  "A",
                                  "03",
                                  "001",
                                  "19900101",
                                  e % 2 ? "001" : "000"};
            for (int k = 0; k < 11; ++k) sqlite3_bind_text(semp, k + 1, text[k], -1, SQLITE_STATIC);
            sqlite3_bind_int(semp, 12, e % 4);
            sqlite3_bind_int(semp, 13, 90000 + e % 50 * 100);
            sqlite3_bind_int(semp, 14, 35000 + e % 40 * 100);
            sqlite3_step(semp);
            sqlite3_reset(semp);
            sqlite3_bind_text(hsemp, 1, "1000", -1, SQLITE_STATIC);
            sqlite3_bind_text(hsemp, 2, code.c_str(), -1, SQLITE_STATIC);
            sqlite3_step(hsemp);
            sqlite3_reset(hsemp);
            for (const char* item : kFixedCodes) {
                const char* cells[] = {"1000", code.c_str(), item, "200201", ""};
                for (int k = 0; k < 5; ++k)
                    sqlite3_bind_text(fixed, k + 1, cells[k], -1, SQLITE_STATIC);
                sqlite3_bind_int(fixed, 6, 10000 + e % 100 * 1000);
                sqlite3_step(fixed);
                sqlite3_reset(fixed);
            }
        }
        for (sqlite3_stmt* st : {semp, hsemp, fixed}) sqlite3_finalize(st);
        Exec(db, "COMMIT");
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
    RemoveDb(path);
}

const char* const kImport = Timed("BM_CompanyImport", BM_CompanyImport, 1);
const char* const kPrepared = Timed("BM_CompanyPrepared", BM_CompanyPrepared, 1);

const bool company_import_registered = [] {
    AddFigure("import_rows_per_s", [](const Timings& t) {
        return PerSecond(t, kImport, Employees() * (2.0 + kFixedPerEmployee));
    });
    AddFigure("import_ratio_to_prepared",
              [](const Timings& t) { return RatioOf(t, kImport, kPrepared); });
    return true;
}();

}  // namespace
}  // namespace payroll::bench
