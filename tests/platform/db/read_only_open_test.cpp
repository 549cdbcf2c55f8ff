// Opening a database to read: nothing is created, and a file this process
// may not write is read as it stands, every write refused.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "support/scratch_db.h"

namespace {

namespace fs = std::filesystem;

TEST(ReadOnlyOpen, AMissingFileIsNotCreated) {
    const std::string path = payroll::testing::TempPath("to_read_missing") + ".db";
    std::string error;
    EXPECT_FALSE(payroll::OpenDatabaseToRead("sqlite:" + path, &error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(payroll::IsDatabaseOpen());
}

TEST(ReadOnlyOpen, AFileThatMayNotBeWrittenIsReadAndWritesFail) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes whatever a file's mode says";
    const std::string path = payroll::testing::TempPath("to_read") + ".db";
    std::string error;
    ASSERT_TRUE(payroll::OpenDatabase("sqlite:" + path, &error)) << error;
    G_DirectSQL sql;
    ASSERT_TRUE(sql.OnExecuteQuery("CREATE TABLE T (X INTEGER)"));
    ASSERT_TRUE(sql.OnExecuteQuery("INSERT INTO T VALUES (7)"));
    payroll::CloseDatabase();
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);

    EXPECT_FALSE(payroll::OpenDatabase("sqlite:" + path, &error));
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    ASSERT_TRUE(payroll::OpenDatabaseToRead("sqlite:" + path, &error)) << error;
    G_DataSource rows;
    ASSERT_TRUE(rows.OnExecuteSQL("SELECT X FROM T"));
    EXPECT_EQ(rows.OnGetFieldValue("X", 0), "7");
    EXPECT_FALSE(sql.OnExecuteQuery("INSERT INTO T VALUES (8)"));
    payroll::CloseDatabase();
    EXPECT_FALSE(fs::exists(path + "-wal"));
    EXPECT_FALSE(fs::exists(path + "-shm"));
    ::chmod(path.c_str(), 0644);
    fs::remove(path);
}

}  // namespace
