// A language file: one "id<TAB>text" per line, UTF-8.
//
//   # comment lines start with '#'; blank lines are skipped
//   1014	%s 설정이 없습니다.
//
// Ids are decimal numbers from 1 to 65535. In a text, "\n" and "\t" stand for
// a line break and a tab and "\\" for a backslash. A line that does not parse
// (no tab, bad id, invalid UTF-8, a control character, too long) is skipped
// and counted; an id written twice keeps its last text.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace payroll::lang {

inline constexpr int kMinTextId = 1;
inline constexpr int kMaxTextId = 65535;

struct LangTable {
    std::map<int, std::string> texts;
    int skipped_lines = 0;
};

LangTable ParseLangText(std::string_view file_text);

}  // namespace payroll::lang
