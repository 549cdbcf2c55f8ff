#include "support/engine_fixture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "platform/db/connection.h"
#include "platform/db/result_set.h"
#include "support/temp_path.h"

namespace payroll::testing {

std::string TestDatabaseUrl() {
    const char* url = std::getenv("PAYROLL_TEST_DB");
    return url && *url ? url : "sqlite::memory:";
}

bool TestDatabaseIsPostgres() {
    std::string url = TestDatabaseUrl();
    return url.rfind("postgresql://", 0) == 0 || url.rfind("postgres://", 0) == 0;
}

bool OpenTestDatabase(std::string* schema, std::string* error) {
    schema->clear();
    if (!OpenDatabase(TestDatabaseUrl(), error)) return false;
    if (TestDatabaseIsPostgres()) {
        static int serial = 0;
        std::string name = "test_" + std::to_string(::getpid()) + "_" + std::to_string(++serial);
        db::Backend& backend = db::Connection::Current()->backend();
        if (!backend.RunNative("DROP SCHEMA IF EXISTS " + name + " CASCADE; CREATE SCHEMA " + name +
                                   "; SET search_path TO " + name,
                               error))
            return false;
        *schema = name;
    }
    return ApplySchema(nullptr, error);
}

void CloseTestDatabase(const std::string& schema) {
    db::Connection* c = db::Connection::Current();
    if (c && !schema.empty()) {
        c->Rollback();
        std::string ignored;
        if (!c->backend().RunNative("DROP SCHEMA IF EXISTS " + schema + " CASCADE", &ignored)) {
            // The test's connection is gone (a fault test): drop it over a new one.
            CloseDatabase();
            if (OpenDatabase(TestDatabaseUrl(), &ignored))
                db::Connection::Current()->backend().RunNative(
                    "DROP SCHEMA IF EXISTS " + schema + " CASCADE", &ignored);
        }
    }
    CloseDatabase();
}

bool RefuseWrites(const std::string& table, const std::string& event, const std::string& when,
                  const std::string& message, std::string* error) {
    db::Connection* c = db::Connection::Current();
    if (!c) {
        *error = "no database is open";
        return false;
    }
    static int serial = 0;
    const std::string name = "refuse_" + std::to_string(++serial);
    std::string sql;
    if (TestDatabaseIsPostgres()) {
        sql = "CREATE FUNCTION " + name + "() RETURNS trigger LANGUAGE plpgsql AS $body$ BEGIN " +
              "RAISE EXCEPTION '" + message + "'; END $body$; CREATE TRIGGER " + name + " BEFORE " +
              event + " ON " + table + " FOR EACH ROW " +
              (when.empty() ? "" : "WHEN (" + when + ") ") + "EXECUTE FUNCTION " + name + "()";
    } else {
        sql = "CREATE TRIGGER " + name + " BEFORE " + event + " ON " + table + " " +
              (when.empty() ? "" : "WHEN " + when + " ") + "BEGIN SELECT RAISE(ABORT, '" + message +
              "'); END";
    }
    return c->backend().RunNative(sql, error);
}

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
    CloseTestDatabase(schema_);
    ui::InstallUiDriver(previous_driver_);
    ui::InstallClock(previous_clock_);
}

void DatabaseFixture::Exec(const std::string& sql) {
    G_DirectSQL direct;
    ASSERT_TRUE(direct.OnExecuteQuery(sql.c_str())) << direct.GetLastError().c_str() << "\n" << sql;
}

std::string DatabaseFixture::Scalar(const std::string& sql) {
    std::vector<std::string> rows = Rows(sql);
    if (rows.empty()) return "";
    return rows.front().substr(0, rows.front().find('|'));
}

std::vector<std::string> DatabaseFixture::Rows(const std::string& sql) {
    std::vector<std::string> out;
    ResultSet rows;
    std::string error;
    db::Connection* c = db::Connection::Current();
    EXPECT_TRUE(c && c->Query(sql, &rows, &error)) << error << "\n" << sql;
    for (std::size_t r = 0; r < rows.RowCount(); ++r) {
        std::string line;
        for (std::size_t col = 0; col < rows.ColumnCount(); ++col) {
            if (col) line += '|';
            line += rows.Cell(r, col);
        }
        out.push_back(line);
    }
    return out;
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
