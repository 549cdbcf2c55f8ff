// A copy of the shipped five-person example folder to change, and the
// database fixture to import it into.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "payroll/company.h"
#include "support/engine_fixture.h"
#include "support/scratch_db.h"

namespace payroll::testing {

inline std::string ExampleFolder() {
    return std::string(PAYROLL_SOURCE_DIR) + "/resources/company-example";
}

// A fresh copy of the example folder under the test's temporary folder.
inline std::string CopyOfExample(const std::string& name) {
    std::string dir = FreshFolder(name);
    for (const auto& entry : std::filesystem::directory_iterator(ExampleFolder()))
        std::filesystem::copy_file(entry.path(), dir + "/" + entry.path().filename().string(),
                                   std::filesystem::copy_options::overwrite_existing);
    return dir;
}

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// Replaces the first `from` in a file by `to`; fails the test when absent.
inline void Edit(const std::string& path, const std::string& from, const std::string& to) {
    std::string text = ReadWholeFile(path);
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from << " not in " << path;
    text.replace(at, from.size(), to);
    WriteFile(path, text);
}

inline void Append(const std::string& path, const std::string& line) {
    WriteFile(path, ReadWholeFile(path) + line + "\r\n");
}

// The problems of a folder, one text each.
inline std::vector<std::string> ProblemTexts(const std::string& dir) {
    std::vector<std::string> out;
    for (const folder::Problem& p : folder::CheckFolder(dir, nullptr))
        out.push_back(folder::ProblemText(p));
    return out;
}

}  // namespace payroll::testing
