// Scratch databases and files for the tests: the test database of the
// configuration (an in-memory SQLite database, or a schema of its own on the
// PostgreSQL server of $PAYROLL_TEST_DB), SQLite files for the host program,
// and paths and folders under the test's temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace payroll::testing {

// The database the tests run on: $PAYROLL_TEST_DB (a URL such as
// postgresql://payroll@127.0.0.1:54329/payroll_test), else sqlite::memory:.
std::string TestDatabaseUrl();
bool TestDatabaseIsPostgres();

// Skips the current test on PostgreSQL (for tests of SQLite's own files and
// behaviour).
#define PAYROLL_SKIP_ON_POSTGRES()                                          \
    do {                                                                    \
        if (::payroll::testing::TestDatabaseIsPostgres())                   \
            GTEST_SKIP() << "SQLite only: the test database is PostgreSQL"; \
    } while (0)

// Opens the test database as the process's connection with a fresh schema
// (on SQLite: a new in-memory database), behind a TestConnection
// (test_connection.h). *schema receives the PostgreSQL schema to drop
// afterwards with CloseTestDatabase.
bool OpenTestDatabase(std::string* schema, std::string* error);
void CloseTestDatabase(const std::string& schema);

// Makes the open database refuse `event` (INSERT, UPDATE or DELETE) on
// `table` with `message`, for the rows that meet `when` (a condition on NEW
// or OLD; empty: every row): a trigger on either backend, for fault tests.
bool RefuseWrites(const std::string& table, const std::string& event, const std::string& when,
                  const std::string& message, std::string* error);

// All rows of a query on the open database, each as its cells joined by
// '|'; a query that fails fails the running test.
std::vector<std::string> QueryRows(const std::string& sql);
// The first value of a query ("" when it yields no row).
std::string QueryValue(const std::string& sql);

// Opens the SQLite file `path` as the process's connection, behind a
// TestConnection, with the reference schema applied when `schema` is true.
bool OpenDatabaseFile(const std::string& path, bool schema, std::string* error);

// A new SQLite file under the temporary folder with the reference schema
// (unless told otherwise) and the given statements run on it; the connection
// is closed again, so that the host program opens the file on its own.
// Failures fail the running test.
std::string SeededDatabaseFile(const std::string& stem, const std::vector<std::string>& seed,
                               bool schema = true);

// A file path under the test's temporary folder that no other test process
// uses: ctest runs test programs side by side, so a fixed name would let one
// test remove or overwrite another's file.
inline std::string TempPath(const std::string& stem) {
    static int serial = 0;
    return ::testing::TempDir() + "/payroll_" + stem + "_" + std::to_string(::getpid()) + "_" +
           std::to_string(++serial);
}

// A fresh, empty folder under the test's temporary folder.
inline std::string FreshFolder(const std::string& name) {
    std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) /
                                   ("payroll_" + name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

// The whole content of a file ("" when it cannot be read).
inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The lines of a text (a program's output, a file), without their line
// ends; the last line may lack one.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Removes a SQLite database file and its -wal, -shm and -journal companions.
inline void RemoveDatabaseFiles(const std::string& path) {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::filesystem::remove(path + suffix, ignored);
}

}  // namespace payroll::testing
