// The files of the company folder and their columns: the Korean header with
// the column's code, the kind of value a cell holds and the code lists whose
// words a cell may hold in place of a code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace payroll::folder {

enum class Kind {
    kText,    // free text of at most `width` bytes
    kCode,    // a code: no blanks, at most `width` bytes
    kList,    // a code of the list `list`, or its word
    kDate,    // 2002-07-15 (or 20020715), stored YYYYMMDD
    kMonth,   // 2002-07 (or 200207), stored YYYYMM
    kYear,    // 2002
    kAmount,  // a number: 1500000, 1,500,000, -5000.5
    kCount,   // a whole number from 0
    kDay,     // a day of the month, 1 to 31
};

struct ColumnSpec {
    const char* header;  // 성명
    const char* code;    // KOR_NM
    Kind kind;
    bool required;
    int width;         // bytes a text or code may hold
    const char* list;  // the list of a kList column
};

struct FileSpec {
    const char* name;  // employees.csv
    std::vector<ColumnSpec> columns;
    std::vector<int> key;  // indexes of the key's columns
};

// The folder's files, in the order they are read, checked and imported (a
// file refers only to files before it).
const std::vector<FileSpec>& Files();
const FileSpec* FindFile(std::string_view name);
// "성명 [KOR_NM]".
std::string HeaderText(const ColumnSpec& column);

// File indexes in Files().
enum FileIndex {
    kSettings,
    kCodes,
    kDivisions,
    kDepartments,
    kEmployeeTypes,
    kPayTypes,
    kExemptions,
    kItems,
    kPaySteps,
    kEmployees,
    kFixedItems,
    kFileCount
};

// The keys of the settings file: label, code, kind.
struct SettingSpec {
    const char* label;
    const char* code;
    Kind kind;
    bool required;
    const char* fallback;       // written when the file leaves it out
    const char* list = "rule";  // the built-in list of a kList setting
};
const std::vector<SettingSpec>& Settings();

// A code list: code and word pairs.
struct ListEntry {
    std::string code;
    std::string word;
};
// The built-in lists whose codes the engine itself reads (yes/no, tax class,
// pay or deduction, window kind, join and leave rules, rounding); empty for
// a company's own list.
const std::vector<ListEntry>* BuiltInList(std::string_view list);

// The code-table groups that files of their own own (employee types, pay
// types, exemption classes, item names): codes.csv may not hold them.
bool OwnGroup(std::string_view group);

}  // namespace payroll::folder
