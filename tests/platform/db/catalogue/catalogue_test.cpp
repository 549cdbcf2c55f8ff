// Every SQL template of the engine and the front, filled with sample values,
// must translate, prepare and run against the reference schema, and must give
// the columns its step reads by name. A failure here is a missing table or
// column in resources/schema.sql or a construct the dialect layer mishandles.
#include "tests/platform/db/catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "tests/platform/db/catalogue/scratch_db.h"

namespace payroll::catalogue {
namespace {

std::vector<Entry> LoadOrFail() {
    std::vector<Entry> entries;
    std::string error;
    EXPECT_TRUE(LoadCatalogue(&entries, &error)) << error;
    return entries;
}

TEST(Catalogue, FormatsLikePrintf) {
    struct Case {
        const char* tmpl;
        std::vector<std::string> args;
        const char* want;
    };
    const Case cases[] = {
        {"CO_CD='%s' AND SQ=%s ", {"1000", "1"}, "CO_CD='1000' AND SQ=1 "},
        {"LIKE '%s%%'", {"2002"}, "LIKE '2002%'"},
        {"%1.4f, %1.4f", {"12.5", "-0.5"}, "12.5000, -0.5000"},
        {"ROUND(%.4f,2)", {"2.675"}, "ROUND(2.6750,2)"},
        {"EXCL_YN=%03d", {"7"}, "EXCL_YN=007"},
        {"%f >= TXSS_AM", {"1250000"}, "1250000.000000 >= TXSS_AM"},
        {"[%s]", {""}, "[]"},
    };
    for (const Case& c : cases) {
        std::string out, error;
        ASSERT_TRUE(FormatTemplate(c.tmpl, c.args, &out, &error)) << c.tmpl << ": " << error;
        EXPECT_EQ(out, c.want);
    }
}

TEST(Catalogue, RejectsMismatchedValues) {
    const struct {
        const char* tmpl;
        std::vector<std::string> args;
    } cases[] = {
        {"A='%s' AND B='%s'", {"1"}},  // a conversion without a value
        {"A='%s'", {"1", "2"}},        // a value left over
        {"%1.4f", {"twelve"}},         // no number for %f
        {"%03d", {"1.5"}},             // no integer for %d
        {"%1.*f", {"4", "1"}},         // a width taken from the values
        {"%x", {"1"}},                 // a conversion templates never use
    };
    for (const auto& c : cases) {
        std::string out, error;
        EXPECT_FALSE(FormatTemplate(c.tmpl, c.args, &out, &error)) << c.tmpl;
        EXPECT_FALSE(error.empty()) << c.tmpl;
    }
}

TEST(Catalogue, ParsesNestedEntries) {
    const char* text =
        "# a comment\n"
        "entry clause\nfragment\nsql \"LIKE '%s%%'\"\narg \"20\"\n\n"
        "entry outer\nsql \"SELECT \\\"x\\\"\\tFROM T WHERE Y \"\nsql-of clause\n"
        "sql \" AND Z=%s\"\narg-of clause\ncolumns \"x\" \"y\"\n";
    std::vector<Entry> entries;
    std::string error;
    ASSERT_TRUE(ParseCatalogue(text, "inline", &entries, &error)) << error;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].fragment);
    EXPECT_EQ(entries[0].text, "LIKE '20%'");
    EXPECT_FALSE(entries[1].fragment);
    // The fragment's '%' survives the outer format.
    EXPECT_EQ(entries[1].text, "SELECT \"x\"\tFROM T WHERE Y LIKE '20%' AND Z=LIKE '20%'");
    EXPECT_EQ(entries[1].columns, (std::vector<std::string>{"x", "y"}));
}

TEST(Catalogue, ReportsBrokenFilesWithTheirLine) {
    const struct {
        const char* text;
        const char* where;
    } cases[] = {
        {"sql \"x\"\n", "f:1:"},                    // outside an entry
        {"entry a\nsql \"x\n", "f:2:"},             // unterminated text
        {"entry a\nsql \"\\q\"\n", "f:2:"},         // unknown escape
        {"entry a\nsql-of b\n", "f:2:"},            // unknown entry
        {"entry a\nsql \"x\"\nentry a\n", "f:3:"},  // duplicate name
        {"entry a\nfrobnicate\n", "f:2:"},          // unknown directive
        {"entry a\nsql \"%s\"\n", "f: entry 'a'"},  // value missing at the end
    };
    for (const auto& c : cases) {
        std::vector<Entry> entries;
        std::string error;
        EXPECT_FALSE(ParseCatalogue(c.text, "f", &entries, &error)) << c.text;
        EXPECT_EQ(error.rfind(c.where, 0), 0u) << error;
    }
}

TEST(Catalogue, CoversEveryTableOfTheEngineAndTheFront) {
    // The tables the engine and the front read or write; each must be named
    // by at least one statement of the catalogue.
    const char* tables[] = {"SEMP",    "SDEPT",   "SDIV",    "SCTRL_D", "SHCFG",   "HPMPDFM",
                            "HPHPOYM", "HPHONPD", "HPHPYFQ", "HPHWTPT", "HHFAACC", "HPFTITC",
                            "HPFLICH", "HPFSTIA", "HPMLBEC", "HIFNPCT", "H_SEMP",  "HHCPYST",
                            "HPHFXPD", "SYSCFG",  "HPITMPD", "HPITMDD", "HPOMPPD", "HPOMPDD",
                            "HTOWTRT", "HTOWTDR", "HPOMNPY"};
    std::string all;
    for (const Entry& e : LoadOrFail()) all += " " + Upper(e.text) + " ";
    for (const char* table : tables) {
        const std::string name = table;
        bool named = false;
        for (size_t at = all.find(name); at != std::string::npos; at = all.find(name, at + 1)) {
            const auto word = [](char c) {
                return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
            };
            if (!word(all[at - 1]) && !word(all[at + name.size()])) named = true;
        }
        EXPECT_TRUE(named) << table << " is named by no statement of the catalogue";
    }
}

TEST(Catalogue, EveryTemplateRunsOnTheReferenceSchema) {
    const std::vector<Entry> entries = LoadOrFail();
    ASSERT_GT(entries.size(), 90u);
    ScratchDb db;
    std::string error;
    ASSERT_TRUE(db.ApplySchema(&error)) << error;

    int statements = 0;
    std::vector<std::string> failed;
    for (const Entry& entry : entries) {
        if (entry.fragment) continue;
        ++statements;
        Result result;
        if (!db.Run(entry.text, &result, &error)) {
            failed.push_back(entry.name);
            ADD_FAILURE() << "'" << entry.name << "': " << error;
            continue;
        }
        for (const std::string& c : MissingColumns(entry, result.columns))
            ADD_FAILURE() << "'" << entry.name << "' gives no column " << c
                          << " (its step reads it by name)";
    }
    EXPECT_GT(statements, 80);
    if (!failed.empty()) {
        std::string list;
        for (const std::string& name : failed) list += "\n  " + name;
        ADD_FAILURE() << failed.size() << " of " << statements << " templates failed:" << list;
    }
}

}  // namespace
}  // namespace payroll::catalogue
