// The status a step comes to: which failure a step that goes on past one
// keeps, and what placing and naming a failure leave of it.
#include "engine/common/status.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using payroll::engine::Status;

struct KeepCase {
    const char* what;
    std::vector<Status> seen;  // in order
    std::string step;          // of the failure kept; "ok" when none
    std::string detail;
};

TEST(StatusTest, AStepKeepsItsFirstNamedFailure) {
    const KeepCase cases[] = {
        {"nothing failed", {Status(), Status()}, "ok", ""},
        {"one failure",
         {Status(), Status::Failed("sum save error", "refused")},
         "sum save error",
         "refused"},
        {"the first of two", {Status::Failed("a", "1"), Status::Failed("b", "2")}, "a", "1"},
        {"a refusal as much as a failure",
         {Status::Refused("SetYmdFromTo", "no windows"), Status::Failed("b", "2")},
         "SetYmdFromTo",
         "no windows"},
        {"an unnamed count gives way to a named step",
         {Status::Failed("", "count"), Status::Failed("Load_DEFAULT", "missing")},
         "Load_DEFAULT",
         "missing"},
        {"an unnamed failure stays when nothing names one",
         {Status::Failed("", "count"), Status(), Status::Failed("", "later")},
         "",
         "count"},
        {"a named failure stays before an unnamed one",
         {Status::Failed("a", "1"), Status::Failed("", "count")},
         "a",
         "1"},
    };
    for (const KeepCase& c : cases) {
        Status kept;
        for (const Status& s : c.seen) kept.Keep(s);
        if (c.step == "ok") {
            EXPECT_TRUE(kept.ok()) << c.what;
            continue;
        }
        ASSERT_FALSE(kept.ok()) << c.what;
        EXPECT_EQ(kept.step(), c.step) << c.what;
        EXPECT_EQ(kept.detail(), c.detail) << c.what;
    }
}

TEST(StatusTest, PlacingAndNamingChangeOnlyTheirPart) {
    const Status refusal = Status::Refused("", "the windows could not be read");
    const Status placed = refusal.Named("FileterSempData").At("200203 SQ 1 pay type 001", "E01");
    EXPECT_EQ(placed.step(), "FileterSempData");
    EXPECT_EQ(placed.detail(), "the windows could not be read");
    EXPECT_EQ(placed.run(), "200203 SQ 1 pay type 001");
    EXPECT_EQ(placed.employee(), "E01");
    EXPECT_TRUE(placed.refused());
    // The original is a copy apart.
    EXPECT_TRUE(refusal.step().empty());
    EXPECT_TRUE(refusal.run().empty());
    // Nothing turns ok into a failure.
    const Status ok = Status().Named("x").At("run", "employee");
    EXPECT_TRUE(ok.ok());
    EXPECT_FALSE(ok.refused());
    EXPECT_TRUE(ok.step().empty() && ok.run().empty());
}

TEST(StatusTest, CopiesAndMovesKeepTheFailure) {
    Status failed = Status::Failed("all_save error", "refused");
    Status copy(failed);
    Status assigned;
    assigned = failed;
    Status moved(std::move(failed));
    for (const Status* s : {&copy, &assigned, &moved}) {
        EXPECT_FALSE(s->ok());
        EXPECT_FALSE(s->refused());
        EXPECT_EQ(s->step(), "all_save error");
        EXPECT_EQ(s->detail(), "refused");
    }
    copy = Status();
    EXPECT_TRUE(copy.ok());
    EXPECT_FALSE(assigned.ok());
}

}  // namespace
