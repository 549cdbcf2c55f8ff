#include "platform/lang/lang_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/registry/paths.h"
#include "platform/registry/text_file.h"
#include "support/scratch_db.h"

namespace payroll::lang {
namespace {

namespace fs = std::filesystem;

// The format each numbered text is shown with: the texts passed to printf.
struct FormatUse {
    int id;
    std::vector<FormatArg> args;
};
std::vector<FormatUse> FormatUses() {
    return {{1014, {std::string("x")}},
            {1023, {1LL, std::string("2010"), std::string("03")}},
            {1024, {1LL, std::string("2010"), std::string("03"), std::string("E1")}},
            {1201,
             {std::string("GetPersonTax error"), std::string("200203"), std::string("1"),
              std::string("E1")}},
            {1202, {std::string("init"), std::string("200203"), std::string("1")}},
            {1203, {std::string("disk full")}},
            {1206, {7LL}},
            {1207, {60000LL, 100LL}},
            {1208, {6000LL, 5000LL}}};
}

TEST(BuiltinTexts, EveryNumberedTextExistsInBothLanguages) {
    for (int lang : {kLangKorean, kLangEnglish}) {
        const LangTable* table = BuiltinTable(lang);
        ASSERT_NE(table, nullptr) << lang;
        EXPECT_EQ(table->skipped_lines, 0);
        std::vector<int> ids;
        for (int id = 1001; id <= 1077; ++id) ids.push_back(id);
        for (int id = 1200; id <= 1208; ++id) ids.push_back(id);
        for (int id : ids) {
            auto it = table->texts.find(id);
            ASSERT_NE(it, table->texts.end()) << "language " << lang << " id " << id;
            EXPECT_FALSE(it->second.empty()) << id;
        }
        // 1026 is compared with a pay-type code, so it must stay one.
        EXPECT_EQ(table->texts.at(1026), "201");
        for (const FormatUse& use : FormatUses()) {
            std::string out;
            EXPECT_TRUE(FormatChecked(table->texts.at(use.id), use.args, &out)) << use.id;
        }
        // Texts shown as they are hold no conversion a later Format could misread.
        for (const auto& [id, text] : table->texts) {
            if (id == 1014 || id == 1023 || id == 1024 || (id >= 1201 && id <= 1203) ||
                (id >= 1206 && id <= 1208))
                continue;
            EXPECT_EQ(text.find('%'), std::string::npos) << id;
        }
    }
}

TEST(BuiltinTexts, AreTheShippedFiles) {
    for (int lang : {kLangKorean, kLangEnglish}) {
        std::string path =
            config::ResourceFolder() + "/lang/G_Mirak." + std::to_string(lang) + ".txt";
        auto text = config::ReadSmallFile(path);
        ASSERT_TRUE(text) << path;
        EXPECT_EQ(ParseLangText(*text).texts, BuiltinTable(lang)->texts);
    }
    EXPECT_EQ(BuiltinTable(7), nullptr);
}

TEST(ParseLangText, SkipsGarbledLinesAndOutOfRangeIds) {
    std::string text =
        "\xEF\xBB\xBF# comment\r\n"
        "1001\tfirst\r\n"
        "\n"
        "1002 no tab\n"
        "0\tzero id\n"
        "65536\ttoo big\n"
        "99999999999\toverflow\n"
        "-5\tnegative\n"
        "12a\tletters\n"
        "\tno id\n"
        "1003\tbad \xC3\x28 utf8\n"
        "1004\tcontrol \x01 char\n"
        "1005\tline\\nbreak\\ttab\\\\slash\\q\n"
        "65535\tlast id\n"
        "1001\tsecond\n";
    LangTable t = ParseLangText(text);
    EXPECT_EQ(t.skipped_lines, 9);
    EXPECT_EQ(t.texts.size(), 3u);
    EXPECT_EQ(t.texts[1001], "second");
    EXPECT_EQ(t.texts[1005], "line\nbreak\ttab\\slash\\q");
    EXPECT_EQ(t.texts[65535], "last id");
}

TEST(ParseLangText, VeryLongLinesAreDroppedWhole) {
    std::string text = "1001\t" + std::string(100000, 'x') + "\n1002\tkept\n";
    LangTable t = ParseLangText(text);
    EXPECT_EQ(t.texts.count(1001), 0u);
    EXPECT_EQ(t.texts[1002], "kept");
    EXPECT_EQ(t.skipped_lines, 1);
}

class LangFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = payroll::testing::FreshFolder(
            std::string("lang_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { fs::remove_all(dir_); }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(dir_ / name, std::ios::binary) << text;
    }
    fs::path dir_;
};

TEST_F(LangFolderTest, MissingFileKeepsBuiltinTexts) {
    CG_LangUtil util;
    EXPECT_EQ(util.ReadLangString(7, (dir_ / "nowhere").c_str(), "G_Mirak"), 0);
    EXPECT_TRUE(util.loaded_path().empty());
    for (int id = 1001; id <= 1077; ++id) {
        EXPECT_FALSE(util.GetLangString(id).IsEmpty()) << id;
        EXPECT_EQ(util.GetLangString(id), BuiltinTable(kLangKorean)->texts.at(id));
    }
    EXPECT_TRUE(util.GetLangString(4242).IsEmpty());
    EXPECT_EQ(util.ReadLangString(1, nullptr, nullptr), 0);
    EXPECT_EQ(util.GetLangString(1069), "OK");  // built-in English without a file
}

TEST_F(LangFolderTest, FolderFileWinsAndGapsComeFromTheBuiltinTexts) {
    Write("G_Mirak.1.txt", "1069\tConfirm\n1070\t\n1080\textra\n");
    CG_LangUtil util;
    EXPECT_EQ(util.ReadLangString(1, dir_.c_str(), "G_Mirak"), 1);
    EXPECT_EQ(util.loaded_path(), (dir_ / "G_Mirak.1.txt").string());
    EXPECT_EQ(util.GetLangString(1069), "Confirm");
    EXPECT_EQ(util.GetLangString(1070), "Cancel");  // empty in the file
    EXPECT_EQ(util.GetLangString(1064), "Pay date");
    EXPECT_EQ(util.GetLangString(1080), "extra");
}

TEST_F(LangFolderTest, LangSubfolderAndResourcesFolderAreSearchedInTurn) {
    fs::create_directories(dir_ / "lang");
    std::ofstream(dir_ / "lang" / "G_Mirak.0.txt") << "1069\tsub\n";
    EXPECT_EQ(FindLangFile(0, dir_.string(), "G_Mirak"),
              (dir_ / "lang" / "G_Mirak.0.txt").string());
    EXPECT_EQ(FindLangFile(0, (dir_ / "none").string(), "G_Mirak"),
              config::ResourceFolder() + "/lang/G_Mirak.0.txt");
    EXPECT_EQ(FindLangFile(0, "", "G_Mirak"), config::ResourceFolder() + "/lang/G_Mirak.0.txt");
    EXPECT_EQ(FindLangFile(9, "", "G_Mirak"), "");
}

TEST_F(LangFolderTest, ModuleNamesCannotLeaveTheFolder) {
    Write("G_Mirak.0.txt", "1069\tok\n");
    for (const char* module : {"../G_Mirak", "a/b", "", ".hidden", "G Mirak"})
        EXPECT_EQ(FindLangFile(0, dir_.string(), module), "") << module;
}

TEST_F(LangFolderTest, StrayConversionsInAFileFallBackToTheBuiltinFormat) {
    Write("G_Mirak.1.txt",
          "1014\t100% of %s\n"      // stray %
          "1023\t%s %s %s\n"        // counter as text
          "1024\t%d %s %s %s %n\n"  // one conversion too many
          "1025\tDone: 100%\n");    // shown as is, never formatted
    CG_LangUtil util;
    ASSERT_EQ(util.ReadLangString(1, dir_.c_str(), "G_Mirak"), 1);
    EXPECT_EQ(FormatLangText(util, 1014, {std::string("SHCFG")}),
              "No SHCFG found. Check the settings.");
    EXPECT_EQ(FormatLangText(util, 1023, {3LL, std::string("2010"), std::string("03")}),
              "3 employee-runs done - 2010/03: no employees in this run");
    EXPECT_EQ(FormatLangText(util, 1024,
                             {3LL, std::string("2010"), std::string("03"), std::string("E9")}),
              "3 employee-runs done - 2010/03, employee E9");
    EXPECT_EQ(util.GetLangString(1025), "Done: 100%");
}

TEST_F(LangFolderTest, MatchingFileFormatsAreUsed) {
    Write("G_Mirak.1.txt", "1014\t[%s] missing (100%%)\n1024\t#%d %s-%s %s\n");
    CG_LangUtil util;
    ASSERT_EQ(util.ReadLangString(1, dir_.c_str(), "G_Mirak"), 1);
    EXPECT_EQ(FormatLangText(util, 1014, {std::string("X")}), "[X] missing (100%)");
    EXPECT_EQ(FormatLangText(util, 1024,
                             {7LL, std::string("2010"), std::string("03"), std::string("E1")}),
              "#7 2010-03 E1");
    // Arguments that match no text at all still show, unformatted.
    EXPECT_EQ(FormatLangText(util, 1069, {std::string("x")}), "OK x");
}

TEST_F(LangFolderTest, HugeFilesAreReadOnlyUpToTheLimit) {
    std::string text = "1069\tfirst\n";
    std::string filler = "1001\t" + std::string(1000, 'y') + "\n";
    while (text.size() < std::size_t{2} * 1024 * 1024) text += filler;
    text += "1070\tbeyond the limit\n";
    Write("G_Mirak.1.txt", text);
    CG_LangUtil util;
    ASSERT_EQ(util.ReadLangString(1, dir_.c_str(), "G_Mirak"), 1);
    EXPECT_EQ(util.GetLangString(1069), "first");
    EXPECT_EQ(util.GetLangString(1070), "Cancel");
}

TEST(TheLangUtil, IsOneSharedInstance) {
    EXPECT_EQ(&TheLangUtil(), &TheLangUtil());
}

}  // namespace
}  // namespace payroll::lang
