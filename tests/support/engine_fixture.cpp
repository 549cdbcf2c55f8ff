#include "support/engine_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "payroll/datasource.h"
#include "support/scratch_db.h"
#include "support/test_connection.h"

namespace payroll::testing {

void DatabaseFixture::SetUp() {
    previous_driver_ = ui::InstallUiDriver(&driver_);
    previous_clock_ = ui::InstallClock(&clock_);
    std::string error;
    ASSERT_TRUE(OpenTestDatabase(&schema_, &error)) << error;
}

void DatabaseFixture::FreshDatabase() {
    CloseTestDatabase(schema_);
    std::string error;
    ASSERT_TRUE(OpenTestDatabase(&schema_, &error)) << error;
}

void DatabaseFixture::TearDown() {
    if (TestConnection* c = TestConnection::Current()) {
        c->SetRecorder(nullptr);
        c->FailAt(0);
    }
    CloseTestDatabase(schema_);
    ui::InstallUiDriver(previous_driver_);
    ui::InstallClock(previous_clock_);
}

void DatabaseFixture::Exec(const std::string& sql) {
    G_DirectSQL direct;
    ASSERT_TRUE(direct.OnExecuteQuery(sql.c_str())) << direct.GetLastError().c_str() << "\n" << sql;
}

void DatabaseFixture::Record() {
    sent_.clear();
    TestConnection::Current()->SetRecorder(
        [this](std::string_view text) { sent_.emplace_back(text); });
}

std::vector<std::string> DatabaseFixture::SentWith(std::string_view part) const {
    std::vector<std::string> out;
    for (const std::string& t : sent_)
        if (t.find(part) != std::string::npos) out.push_back(t);
    return out;
}

std::string DatabaseFixture::Scalar(const std::string& sql) {
    return QueryValue(sql);
}

std::vector<std::string> DatabaseFixture::Rows(const std::string& sql) {
    return QueryRows(sql);
}

ScopedRegistry::ScopedRegistry(const std::string& content) {
    if (const char* old = std::getenv("PAYROLL_REGISTRY")) {
        had_previous_ = true;
        previous_ = old;
    }
    path_ = TempPath("registry");
    std::remove(path_.c_str());
    if (!content.empty()) std::ofstream(path_) << content;
    setenv("PAYROLL_REGISTRY", path_.c_str(), 1);
}

ScopedRegistry::~ScopedRegistry() {
    std::remove(path_.c_str());
    if (had_previous_)
        setenv("PAYROLL_REGISTRY", previous_.c_str(), 1);
    else
        unsetenv("PAYROLL_REGISTRY");
}

}  // namespace payroll::testing
