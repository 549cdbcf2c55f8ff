// Every SQL template of the engine and the front, filled with sample values,
// through the database component on the test database (SQLite, or the
// PostgreSQL server of the suite's second configuration): it must translate,
// run, and give the columns its step reads by name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/db/connection.h"
#include "support/engine_fixture.h"
#include "tests/platform/db/catalogue/catalogue.h"

namespace payroll::catalogue {
namespace {

class CatalogueRun : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(LoadCatalogue(&entries_, &error)) << error;
        ASSERT_TRUE(testing::OpenTestDatabase(&schema_, &error)) << error;
    }
    void TearDown() override { testing::CloseTestDatabase(schema_); }

    // Runs every entry; the names of those that failed.
    std::vector<std::string> RunAll(int* statements) {
        db::Connection* c = db::Connection::Current();
        std::vector<std::string> failed;
        *statements = 0;
        for (const Entry& entry : entries_) {
            if (entry.fragment) continue;
            ++*statements;
            ResultSet rows;
            std::string error;
            if (!c->Query(entry.text, &rows, &error)) {
                failed.push_back(entry.name);
                ADD_FAILURE() << "'" << entry.name << "': " << error << "\n" << entry.text;
                continue;
            }
            for (const std::string& col : MissingColumns(entry, rows.columns()))
                ADD_FAILURE() << "'" << entry.name << "' gives no column " << col;
        }
        return failed;
    }

    std::vector<Entry> entries_;
    std::string schema_;
};

TEST_F(CatalogueRun, EveryTemplateRunsOnTheTestDatabase) {
    int statements = 0;
    std::vector<std::string> failed = RunAll(&statements);
    EXPECT_GT(statements, 80);
    EXPECT_TRUE(failed.empty()) << failed.size() << " of " << statements << " failed";
}

// Inside one transaction, as the roads run them: a template that fails must
// not take the others (or the transaction) down with it.
TEST_F(CatalogueRun, EveryTemplateRunsInsideOneTransaction) {
    db::Connection* c = db::Connection::Current();
    std::string error;
    ASSERT_TRUE(c->Begin(&error)) << error;
    ResultSet rows;
    EXPECT_FALSE(c->Query("SELECT NO_SUCH_COLUMN FROM SEMP", &rows, &error));
    int statements = 0;
    std::vector<std::string> failed = RunAll(&statements);
    EXPECT_TRUE(failed.empty()) << failed.size() << " of " << statements << " failed";
    EXPECT_TRUE(c->Commit(&error)) << error;
    EXPECT_EQ(c->last_outcome(), TransactionOutcome::kCommitted);
}

}  // namespace
}  // namespace payroll::catalogue
