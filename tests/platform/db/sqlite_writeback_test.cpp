// Connections opened through the write-out VFS: what they write is exactly
// what a plain connection reads back, a large transaction starts the
// write-out early, and the write-ahead log's shared memory is passed through.
#include "platform/db/sqlite_writeback.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "platform/db/sqlite_backend.h"
#include "support/scratch_db.h"

namespace {

using payroll::db::SqliteVfs;
using payroll::db::SqliteWritebackHints;
using Db = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

class SqliteWritebackTest : public ::testing::Test {
  protected:
    void SetUp() override { path_ = payroll::testing::TempPath("writeback.db"); }
    void TearDown() override { payroll::testing::RemoveDatabaseFiles(path_); }

    // A connection set up as the library's own, through the given VFS.
    Db Open(const char* vfs) {
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open_v2(path_.c_str(), &db, payroll::db::SqliteOpenFlags(), vfs),
                  SQLITE_OK);
        std::string error;
        EXPECT_TRUE(payroll::db::ConfigureSqlite(db, false, &error)) << error;
        return Db(db, sqlite3_close);
    }
    static void Exec(sqlite3* db, const std::string& sql) {
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
            << (message ? message : "");
        sqlite3_free(message);
    }
    static std::string One(sqlite3* db, const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK);
        std::string text;
        if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
            text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
        return text;
    }

    std::string path_;
};

TEST_F(SqliteWritebackTest, ALargeTransactionIsReadBackWholeAndStartsTheWriteOutEarly) {
    ASSERT_NE(SqliteVfs(), nullptr);
    {
        Db db = Open(SqliteVfs());
        Exec(db.get(), "CREATE TABLE T (N INTEGER, V BLOB)");
        const long before = SqliteWritebackHints();
        // About 24 MiB in one transaction: several hints' worth.
        Exec(db.get(),
             "BEGIN; WITH RECURSIVE C(N) AS (SELECT 1 UNION ALL SELECT N + 1 FROM C WHERE N < "
             "6000) INSERT INTO T SELECT N, zeroblob(4000) FROM C; COMMIT");
        EXPECT_GE(SqliteWritebackHints() - before, 3);
    }
    // The log was copied back at the close; a plain connection reads it all.
    Db plain = Open(nullptr);
    EXPECT_EQ(One(plain.get(), "SELECT count(*) || ' ' || sum(length(V)) || ' ' || sum(N) FROM T"),
              "6000 " + std::to_string(6000L * 4000) + " " + std::to_string(6000L * 6001 / 2));
    EXPECT_EQ(One(plain.get(), "PRAGMA integrity_check"), "ok");
}

TEST_F(SqliteWritebackTest, CommittedTransactionsGiveNoHints) {
    Db db = Open(SqliteVfs());
    Exec(db.get(), "CREATE TABLE T (N INTEGER, V TEXT)");
    const long before = SqliteWritebackHints();
    // Each commit syncs what it wrote; nothing is left to start early.
    for (int i = 0; i < 300; ++i)
        Exec(db.get(), "INSERT INTO T VALUES (" + std::to_string(i) + ", hex(zeroblob(2000)))");
    EXPECT_EQ(SqliteWritebackHints(), before);
}

TEST_F(SqliteWritebackTest, ReadersOfTheLogSeeEachCommit) {
    Db writer = Open(SqliteVfs());
    Db reader = Open(SqliteVfs());
    Exec(writer.get(), "CREATE TABLE T (N INTEGER)");
    Exec(writer.get(), "INSERT INTO T VALUES (1)");
    // A read transaction keeps its snapshot while the writer commits.
    Exec(reader.get(), "BEGIN");
    EXPECT_EQ(One(reader.get(), "SELECT sum(N) FROM T"), "1");
    Exec(writer.get(), "INSERT INTO T VALUES (2)");
    EXPECT_EQ(One(reader.get(), "SELECT sum(N) FROM T"), "1");
    Exec(reader.get(), "COMMIT");
    EXPECT_EQ(One(reader.get(), "SELECT sum(N) FROM T"), "3");
    EXPECT_EQ(One(writer.get(), "PRAGMA journal_mode"), "wal");
}

// The library's own connections go through it: a large build-like write
// through the database component starts the write-out early as well.
TEST_F(SqliteWritebackTest, TheLibrarysConnectionsUseIt) {
    std::string error;
    ASSERT_TRUE(payroll::OpenDatabase("sqlite:" + path_, &error)) << error;
    G_DirectSQL sql;
    ASSERT_TRUE(sql.OnExecuteQuery("CREATE TABLE T (N INTEGER, V VARCHAR(4000))"));
    const long before = SqliteWritebackHints();
    std::string batch;
    const std::string value(3000, 'x');
    for (int i = 0; i < 4000; ++i)
        batch += "INSERT INTO T VALUES (" + std::to_string(i) + ", '" + value + "')\n";
    G_DataSource ds;
    ASSERT_TRUE(ds.OnBeginTrans());
    ASSERT_TRUE(sql.OnExecuteQuery(batch));
    ASSERT_TRUE(ds.OnCommitTrans());
    EXPECT_GE(SqliteWritebackHints() - before, 1);
    payroll::CloseDatabase();
}

}  // namespace
