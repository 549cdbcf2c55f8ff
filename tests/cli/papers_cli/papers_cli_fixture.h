// The paper commands run by the built host program on a demo company of six
// employees, on a SQLite file or, with PAYROLL_TEST_DB, in a PostgreSQL
// schema of the suite's own; the files they write are read back with
// poppler's pdftotext, pdffonts and pdftoppm.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "support/host_program.h"
#include "support/scratch_db.h"

namespace payroll::testing {

class PapersCliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = new std::string(FreshFolder("papers_cli"));
        url_ = new std::string;
        schema_ = new std::string;
        std::string error;
        if (TestDatabaseIsPostgres()) {
            ASSERT_TRUE(OpenTestDatabase(schema_, &error)) << error;
            CloseDatabase();
            std::string base = TestDatabaseUrl();
            *url_ = base + (base.find('?') == std::string::npos ? "?" : "&") +
                    "options=-csearch_path%3D" + *schema_;
        } else {
            *url_ = "sqlite:" + *folder_ + "/papers.db";
        }
        // The demo writes its own papers beside it: in the suite's folder.
        RunOptions in_folder;
        in_folder.cwd = *folder_;
        HostRun demo = RunHost({"--db", *url_, "demo", "--employees", "6"}, in_folder);
        ASSERT_EQ(demo.exit_code, 0) << demo.err;
        ASSERT_TRUE(OpenDatabase(*url_, &error)) << error;
    }

    static void TearDownTestSuite() {
        CloseDatabase();
        if (!schema_->empty()) {
            std::string error;
            if (OpenDatabase(TestDatabaseUrl(), &error)) CloseTestDatabase(*schema_);
        }
        std::filesystem::remove_all(*folder_);
        delete folder_;
        delete url_;
        delete schema_;
    }

    // Runs `payroll --db <the suite's database> <args>`.
    static HostRun Payroll(const std::string& args, const std::string& env = "") {
        return Shell(env + (env.empty() ? "" : " ") +
                     Program("--db " + ShellQuote(*url_) + " " + args));
    }

    // A fresh folder for one test's files.
    static std::string Out(const std::string& name) {
        std::string path = *folder_ + "/" + name;
        std::filesystem::remove_all(path);
        return path;
    }

    // The files of a folder (hidden temporaries included), sorted.
    static std::vector<std::string> Files(const std::string& folder) {
        std::vector<std::string> out;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(folder, ec))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    static std::string Text(const std::string& pdf, bool layout = false) {
        HostRun o =
            Shell(std::string("pdftotext ") + (layout ? "-layout " : "") + ShellQuote(pdf) + " -");
        EXPECT_EQ(o.exit_code, 0) << o.err;
        return o.out;
    }

    // The first value of a query of the suite's database ("" when none).
    static std::string Value(const std::string& sql) {
        G_DataSource ds;
        EXPECT_TRUE(ds.OnExecuteSQL(sql.c_str())) << ds.GetLastError().c_str() << "\n" << sql;
        return ds.OnGetRecordCount() > 0 ? ds.OnGetFieldValue("V", 0).str() : std::string();
    }
    static double Sum(const std::string& sql) {
        std::string v = Value(sql);
        return v.empty() ? 0 : std::atof(v.c_str());
    }
    static std::vector<std::string> Column(const std::string& sql) {
        G_DataSource ds;
        EXPECT_TRUE(ds.OnExecuteSQL(sql.c_str())) << ds.GetLastError().c_str();
        std::vector<std::string> out;
        for (long r = 0; r < ds.OnGetRecordCount(); ++r)
            out.push_back(ds.OnGetFieldValue("V", r).str());
        return out;
    }

    // Whole won with thousands separators, as the papers print amounts.
    static std::string Won(double amount) {
        long long v = std::llround(amount);
        std::string digits = std::to_string(v < 0 ? -v : v), out;
        for (std::size_t i = 0; i < digits.size(); ++i) {
            if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
            out += digits[i];
        }
        return (v < 0 ? "-" : "") + out;
    }

    // The amounts (digits with thousands separators) of a line of text.
    static std::vector<double> Amounts(const std::string& line) {
        std::vector<double> out;
        static const std::regex number(R"((^|\s)(-?[0-9]{1,3}(,[0-9]{3})*)(?=\s|$))");
        for (auto it = std::sregex_iterator(line.begin(), line.end(), number);
             it != std::sregex_iterator(); ++it) {
            std::string n = (*it)[2];
            n.erase(std::remove(n.begin(), n.end(), ','), n.end());
            out.push_back(std::atof(n.c_str()));
        }
        return out;
    }

    static std::vector<std::string> SplitCsv(const std::string& line) {
        std::vector<std::string> cells(1);
        bool quoted = false;
        for (char c : line) {
            if (c == '"') {
                quoted = !quoted;
            } else if (c == ',' && !quoted) {
                cells.emplace_back();
            } else {
                cells.back() += c;
            }
        }
        return cells;
    }

    static inline std::string* folder_ = nullptr;
    static inline std::string* url_ = nullptr;
    static inline std::string* schema_ = nullptr;
};

}  // namespace payroll::testing
