// The company folder in memory: every file's rows with their values in the
// form the tables store (codes, YYYYMMDD dates, YYYYMM months, plain
// numbers), read and checked from a folder, or read from the database for
// an export; and the code lists whose words the cells may hold.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "company/layout.h"
#include "payroll/company.h"

namespace payroll::folder {

struct Record {
    long line = 0;
    std::vector<std::string> values;  // in the file's column order
    // False when a cell had a problem: the record still names its key for
    // the files after it (one wrong cell is one problem, not one per
    // reference), but the checks between rows pass it by.
    bool ok = true;
};

struct Folder {
    // One list of records per file, indexed by FileIndex. The settings file
    // holds one record per setting: its code and its value.
    std::vector<std::vector<Record>> files = std::vector<std::vector<Record>>(kFileCount);
    std::string Setting(const std::string& code) const;
};

// The code lists of a folder, from its files: the company's own groups of
// codes.csv, the groups the other files own and the lists of records
// (divisions, departments, employees, items), and the built-in lists.
class Lists {
  public:
    struct List;
    explicit Lists(const Folder& folder);
    // The code a cell's text names in `list` (a code, or its word when no
    // other entry has the same word). False when the list has entries and
    // none matches. A company list with no entries takes any code.
    bool Resolve(const std::string& list, std::string_view text, std::string* code) const;
    // The same with the list found once (Find) for the many cells of a
    // column.
    bool Resolve(const List* found, std::string_view list, std::string_view text,
                 std::string* code) const;
    const List* Find(std::string_view list) const;
    // The word a stored code is written as (the code itself for the lists of
    // records and for a word two codes share).
    std::string Word(const std::string& list, const std::string& code) const;
    // Some of the entries of a list, for a message.
    std::string Sample(const std::string& list) const;
    void Add(const std::string& list, const std::string& code, const std::string& word);

    // Codes and words are looked up by a cell's text as it lies in the file.
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    using Index = std::unordered_map<std::string, std::size_t, Hash, std::equal_to<>>;
    struct List {
        std::vector<ListEntry> entries;
        Index by_code;
        Index by_word;  // npos: two codes share it
    };

  private:
    std::map<std::string, List, std::less<>> lists_;
};

// The list of a kList column; lists named with '@' are those of records.
bool IsRecordList(const std::string& list);

// Reads and checks the folder into *folder, appending every problem.
void LoadFolder(const std::string& dir, Folder* folder, std::vector<Problem>* problems);

// Converts one cell to its stored form; false with what was expected.
// `list` is the column's list as lists.Find gives it.
bool ConvertCell(const ColumnSpec& column, std::string_view text, const Lists& lists,
                 const Lists::List* list, std::string* stored, std::string* expected);

// Value conversions between a cell's text and its stored form.
bool ParseDate(std::string_view text, std::string* stored);
bool ParseMonth(std::string_view text, std::string* stored);
bool ParseAmount(std::string_view text, std::string* stored);
std::string CanonicalNumber(std::string_view text);
std::string DisplayValue(Kind kind, const std::string& stored);

}  // namespace payroll::folder
