#include "support/scratch_db.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "platform/db/connection.h"
#include "platform/db/result_set.h"
#include "support/test_connection.h"

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
    if (!OpenTestConnection(TestDatabaseUrl(), error)) return false;
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

std::vector<std::string> QueryRows(const std::string& sql) {
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

std::string QueryValue(const std::string& sql) {
    std::vector<std::string> rows = QueryRows(sql);
    return rows.empty() ? "" : rows.front().substr(0, rows.front().find('|'));
}

bool OpenDatabaseFile(const std::string& path, bool schema, std::string* error) {
    return OpenTestConnection("sqlite:" + path, error) && (!schema || ApplySchema(nullptr, error));
}

std::string SeededDatabaseFile(const std::string& stem, const std::vector<std::string>& seed,
                               bool schema) {
    std::string path =
        ::testing::TempDir() + "/payroll_" + stem + "_" + std::to_string(::getpid()) + ".db";
    RemoveDatabaseFiles(path);
    std::string error;
    EXPECT_TRUE(OpenDatabaseFile(path, schema, &error)) << error;
    for (const std::string& sql : seed) {
        G_DirectSQL direct;
        EXPECT_TRUE(direct.OnExecuteQuery(sql.c_str())) << direct.GetLastError().c_str();
    }
    CloseDatabase();
    return path;
}

}  // namespace payroll::testing
