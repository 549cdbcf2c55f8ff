// A scratch database with the reference schema, a recording UI driver, an
// instant clock and a recorder of the statements sent: what an engine or
// front test needs around it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "payroll/ui.h"
#include "support/scratch_db.h"
#include "support/test_connection.h"

namespace payroll::testing {

// Each test gets a clean database with the reference schema: a private
// in-memory SQLite database, or on PostgreSQL a schema of its own (made the
// search path, dropped after the test).
class DatabaseFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs statements (several may follow each other); fails the test on error.
    void Exec(const std::string& sql);
    // The single value of a query ("" when it yields no row).
    std::string Scalar(const std::string& sql);
    // All rows of a query, each as its cells joined by '|'.
    std::vector<std::string> Rows(const std::string& sql);
    std::vector<CString> Messages() const { return driver_.Messages(); }
    // Starts over on an empty database with the reference schema.
    void FreshDatabase();
    // Records every text sent to the database from now on into sent_,
    // emptied first; TearDown stops it.
    void Record();
    // The k-th text from now (1-based) fails as a refused statement would;
    // 0 disarms (TearDown does).
    void FailAt(long k) { TestConnection::Current()->FailAt(k); }
    // The recorded texts that contain `part`.
    std::vector<std::string> SentWith(std::string_view part) const;

    ui::ScriptedDriver driver_;
    ui::InstantClock clock_;
    std::vector<std::string> sent_;

  private:
    ui::UiDriver* previous_driver_ = nullptr;
    ui::UiClock* previous_clock_ = nullptr;
    std::string schema_;  // PostgreSQL: this test's schema
};

// Points the registry at a file of the given content for the life of the
// object (an empty content means no file at all).
class ScopedRegistry {
  public:
    explicit ScopedRegistry(const std::string& content);
    ~ScopedRegistry();

  private:
    std::string path_;
    std::string previous_;
    bool had_previous_ = false;
};

}  // namespace payroll::testing
