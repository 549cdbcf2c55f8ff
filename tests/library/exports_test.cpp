// The shared library shows hosts exactly its public classes and functions:
// every method of the engine object under its own name, and nothing of the
// modules behind them.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

namespace {

// Demangled names of the defined dynamic symbols, parameter lists cut off.
std::set<std::string> ExportedNames() {
    std::set<std::string> names;
    std::string command = std::string("nm -D --defined-only -C '") + PAYROLL_SHARED_LIB + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return names;
    char line[8192];
    while (std::fgets(line, sizeof line, pipe.get())) {
        std::string s(line);
        // "<address> <type> <name>"
        std::size_t first = s.find(' ');
        std::size_t second = first == std::string::npos ? first : s.find(' ', first + 1);
        if (second == std::string::npos) continue;
        std::string name = s.substr(second + 1);
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
        names.insert(name.substr(0, name.find('(')));
    }
    return names;
}

TEST(ExportsTest, EveryEngineObjectMethodIsExportedUnderItsName) {
    std::set<std::string> names = ExportedNames();
    ASSERT_FALSE(names.empty()) << "nm could not read " << PAYROLL_SHARED_LIB;
    const char* methods[] = {
        "CSalaryCalcurate::CSalaryCalcurate",
        "CSalaryCalcurate::~CSalaryCalcurate",
        "CSalaryCalcurate::FreeBuffer",
        "CSalaryCalcurate::FreeBuffer_DFM_LIST",
        "CSalaryCalcurate::FreeBuffer_PAY_LIST",
        "CSalaryCalcurate::FreeBuffer_PYTP_FG",
        "CSalaryCalcurate::Free_m_BHHAFF",
        "CSalaryCalcurate::Delete",
        "CSalaryCalcurate::Ontest2",
        "CSalaryCalcurate::QueryOpen",
        "CSalaryCalcurate::OpenFile_Whole",
        "CSalaryCalcurate::GetNOTNULLField",
        "CSalaryCalcurate::GetSearchField",
        "CSalaryCalcurate::SearchString",
        "CSalaryCalcurate::DspTRACE",
        "G_DataSource::OnExecuteSQL",
        "G_DataSource::OnGetRecordCount",
        "G_DataSource::OnGetFieldValue",
        "G_DataSource::OnFieldSearch",
        "G_DataSource::OnGetBulkRecordCount",
        "G_DataSource::OnWholeDataRead",
        "G_DataSource::OnBeginTrans",
        "G_DataSource::OnCommitTrans",
        "G_DataSource::OnRollbackTrans",
        "G_DirectSQL::OnExecuteQuery",
        "payroll::OpenDatabase",
        "payroll::LastTransactionOutcome",
        "payroll::ui::InstallUiDriver",
    };
    for (const char* m : methods) EXPECT_TRUE(names.count(m)) << m << " is not exported";
}

TEST(ExportsTest, NothingOfTheInsidesIsExported) {
    const char* inside[] = {"payroll::db::",
                            "payroll::tsql::",
                            "payroll::lang::",
                            "payroll::config::",
                            "payroll::calendar::",
                            "payroll::rounding::",
                            "payroll::sql::",
                            "payroll::engine::",
                            "CG_",
                            "CVelo",
                            "CProgressDlg",
                            "CSalaryCalcurate::TraceText",
                            "CSalaryCalcurate::GetDayNumber"};
    for (const std::string& name : ExportedNames()) {
        // Template code of the standard library comes along with any
        // shared library; only our own names count.
        if (name.rfind("std::", 0) == 0 || name.find(" std::") != std::string::npos ||
            name.find("__gnu_cxx::") != std::string::npos)
            continue;
        for (const char* prefix : inside)
            EXPECT_EQ(name.find(prefix), std::string::npos) << name << " leaks out";
    }
}

}  // namespace
