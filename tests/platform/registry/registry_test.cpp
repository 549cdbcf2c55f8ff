#include "platform/registry/registry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/registry/app_settings.h"
#include "platform/registry/paths.h"
#include "support/scratch_db.h"

namespace payroll::config {
namespace {

TEST(RegistryParse, ReadsStringsAndDwordsUnderTheirKeys) {
    Registry reg = Registry::Parse(
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Orvantis]\r\n"
        "\"RunApp\"=\"Payroll \\\"2\\\"\"\r\n"
        "[Software\\Orvantis\\Payroll \"2\"]\n"
        "path=\"C:\\\\apps\\\\pay\"\n"
        "LangKind=dword:0000001a\n"
        "; a comment\n"
        "VerKind = DWORD:1\n");
    EXPECT_EQ(reg.skipped_lines(), 0);
    EXPECT_EQ(reg.GetString("software\\ORVANTIS", "runapp").value_or("?"), "Payroll \"2\"");
    EXPECT_EQ(reg.GetString("Software\\Orvantis\\Payroll \"2\"", "path").value_or("?"),
              "C:\\apps\\pay");
    EXPECT_EQ(reg.GetDword("Software\\Orvantis\\Payroll \"2\"", "LangKind").value_or(0), 26u);
    EXPECT_EQ(reg.GetDword("Software\\Orvantis\\Payroll \"2\"", "VerKind").value_or(0), 1u);
    // A value of the other type does not read.
    EXPECT_FALSE(reg.GetDword("Software\\Orvantis", "RunApp"));
    EXPECT_FALSE(reg.GetString("Software\\Orvantis\\Payroll \"2\"", "LangKind"));
}

TEST(RegistryParse, SkipsGarbledLinesAndKeepsTheRest) {
    const char* garbled[] = {
        "RunApp=\"outside any key\"", "[Software\\Orvantis", "[]",
        "\"unterminated=\"x\"",       "name without value",  "Broken=\"no end",
        "Number=dword:123456789",  // nine digits
        "Number=dword:xyz",           "Trailing=\"a\" junk", "=\"no name\"",
    };
    for (const char* line : garbled) {
        SCOPED_TRACE(line);
        std::string text = std::string(line) + "\n[Software\\Orvantis]\nRunApp=\"ok\"\n";
        if (std::string(line).rfind("[Software", 0) == 0) text.insert(0, std::string(line) + "\n");
        Registry reg = Registry::Parse(text);
        EXPECT_GE(reg.skipped_lines(), 1);
        EXPECT_EQ(reg.GetString("Software\\Orvantis", "RunApp").value_or(""), "ok");
        EXPECT_FALSE(reg.GetDword("Software\\Orvantis", "Number"));
    }
}

TEST(RegistryParse, SurvivesBinaryAndHugeInput) {
    std::string binary;
    for (int i = 0; i < 5000; ++i) binary += static_cast<char>((i * 37) % 256);
    Registry a = Registry::Parse(binary);
    EXPECT_FALSE(a.HasKey("Software\\Orvantis"));

    std::string huge =
        "[Software\\Orvantis]\nRunApp=\"" + std::string(100000, 'x') + "\"\nOther=\"short\"\n";
    Registry b = Registry::Parse(huge);
    EXPECT_FALSE(b.GetString("Software\\Orvantis", "RunApp"));  // the overlong line is dropped
    EXPECT_EQ(b.GetString("Software\\Orvantis", "Other").value_or(""), "short");
    EXPECT_GE(b.skipped_lines(), 1);
}

TEST(RegistryParse, LastValueWinsAndKeyNamesNormalise) {
    Registry reg = Registry::Parse(
        "[Software\\\\Orvantis\\]\nA=dword:1\nA=dword:2\n[software\\orvantis]\nB=\"b\"\n");
    EXPECT_EQ(reg.GetDword("Software\\Orvantis", "a").value_or(0), 2u);
    EXPECT_EQ(reg.GetString("Software\\Orvantis", "B").value_or(""), "b");
}

// The registry's own text for one application, for the settings cases.
std::string SettingsText(const char* run_app, const char* extra) {
    std::string text = "[Software\\Orvantis]\n";
    if (run_app) text += std::string("RunApp=\"") + run_app + "\"\n";
    text += "[Software\\Orvantis\\Pay]\n";
    text += extra;
    return text;
}

TEST(AppSettings, DefaultsAndUseMainNames) {
    struct Case {
        const char* name;
        std::string text;
        std::string app, folder;
        int lang, ver;
        bool main_names;
    } cases[] = {
        {"no registry at all", "", "", "", 0, 0, true},
        {"vendor key without RunApp", SettingsText(nullptr, "LangKind=dword:1\n"), "", "", 0, 0,
         true},
        {"everything",
         SettingsText("Pay", "path=\"/opt/pay\"\nLangKind=dword:1\nVerKind=dword:1\n"), "Pay",
         "/opt/pay", 1, 1, true},
        {"languages differ", SettingsText("Pay", "LangKind=dword:1\nVerKind=dword:2\n"), "Pay", "",
         1, 2, false},
        {"only LangKind", SettingsText("Pay", "LangKind=dword:1\n"), "Pay", "", 1, 0, false},
        {"only VerKind zero", SettingsText("Pay", "VerKind=dword:0\n"), "Pay", "", 0, 0, true},
        {"LangKind written as text", SettingsText("Pay", "LangKind=\"1\"\nVerKind=dword:1\n"),
         "Pay", "", 0, 1, false},
        {"RunApp names a missing key", SettingsText("Other", "LangKind=dword:1\n"), "Other", "", 0,
         0, true},
        {"negative dword", SettingsText("Pay", "LangKind=dword:ffffffff\n"), "Pay", "", -1, 0,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppSettings s = ReadAppSettings(Registry::Parse(c.text));
        EXPECT_EQ(s.app_name, c.app);
        EXPECT_EQ(s.folder, c.folder);
        EXPECT_EQ(s.lang_kind, c.lang);
        EXPECT_EQ(s.ver_kind, c.ver);
        EXPECT_EQ(s.use_main_names, c.main_names);
    }
}

TEST(AppSettings, LongApplicationNameIsCutAtACharacterBoundary) {
    std::string name;
    while (name.size() < 1100) name += "가";  // three bytes each
    AppSettings s = ReadAppSettings(Registry::Parse(SettingsText(name.c_str(), "")));
    EXPECT_LE(s.app_name.size(), kMaxAppNameBytes);
    EXPECT_EQ(s.app_name.size() % 3, 0u);
    EXPECT_EQ(name.compare(0, s.app_name.size(), s.app_name), 0);
}

class RegistryFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = std::getenv("PAYROLL_REGISTRY");
        had_old_ = old != nullptr;
        if (old) old_ = old;
        path_ = payroll::testing::TempPath("registry_test.reg");
    }
    void TearDown() override {
        if (had_old_)
            setenv("PAYROLL_REGISTRY", old_.c_str(), 1);
        else
            unsetenv("PAYROLL_REGISTRY");
        std::remove(path_.c_str());
    }
    std::string path_, old_;
    bool had_old_ = false;
};

TEST_F(RegistryFileTest, ReadsTheFileNamedByTheEnvironment) {
    {
        std::ofstream out(path_);
        out << SettingsText("Pay", "path=\"/srv/pay\"\nLangKind=dword:1\nVerKind=dword:2\n");
    }
    setenv("PAYROLL_REGISTRY", path_.c_str(), 1);
    EXPECT_EQ(RegistryFilePath(), path_);
    AppSettings s = ReadAppSettings();
    EXPECT_EQ(s.folder, "/srv/pay");
    EXPECT_FALSE(s.use_main_names);
}

TEST_F(RegistryFileTest, MissingFileOrDirectoryGivesDefaults) {
    for (const std::string& path : {path_ + ".missing", ::testing::TempDir()}) {
        setenv("PAYROLL_REGISTRY", path.c_str(), 1);
        AppSettings s = ReadAppSettings();
        EXPECT_TRUE(s.app_name.empty());
        EXPECT_EQ(s.lang_kind, 0);
        EXPECT_TRUE(s.use_main_names);
    }
}

TEST_F(RegistryFileTest, DefaultPathFollowsXdgThenHome) {
    unsetenv("PAYROLL_REGISTRY");
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string saved_xdg = xdg ? xdg : "";
    setenv("XDG_CONFIG_HOME", "/x/cfg", 1);
    EXPECT_EQ(RegistryFilePath(), "/x/cfg/payroll/registry");
    unsetenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (home && *home) {
        EXPECT_EQ(RegistryFilePath(), std::string(home) + "/.config/payroll/registry");
    }
    if (xdg) setenv("XDG_CONFIG_HOME", saved_xdg.c_str(), 1);
}

}  // namespace
}  // namespace payroll::config
