// A company of its own, without SQL: the company folder a clerk edits in a
// spreadsheet (one CSV file per kind of record and a settings file), its
// checks, its import into the open database in one transaction, and its
// export back into the same files; and the pay runs of a month, made and
// deleted without SQL. docs/company-files.md describes every file and column.
#pragma once

#include <string>
#include <vector>

#include "payroll/export.h"

namespace payroll::folder {

// One thing wrong with a folder: where it is and what was expected there.
// line is 1-based (1 is the header line; 0: the file as a whole); column is
// the column's code ("DEPT_CD"), empty when the problem is not one cell's.
struct Problem {
    std::string file;
    long line = 0;
    std::string column;
    std::string value;
    std::string expected;
};

// A problem as one line: "employees.csv:4: DEPT_CD "D999": <expected>".
PAYROLL_API std::string ProblemText(const Problem& problem);

// Reads and checks the folder `dir`: every file, row and cell, and the
// references between files. Writes nothing. Returns every problem found (an
// empty list: the folder can be imported). *company receives the company
// code of the settings file when it has one.
PAYROLL_API std::vector<Problem> CheckFolder(const std::string& dir, std::string* company);

// What an import did to one file's rows: added, changed and left out (rows
// of the database that the file no longer holds, deleted), with the keys.
struct FileChange {
    std::string file;
    long added = 0;
    long changed = 0;
    long removed = 0;
    std::vector<std::string> keys_added;  // at most the first ten of each
    std::vector<std::string> keys_changed;
    std::vector<std::string> keys_removed;
};

// The outcome of an import: the problems of the check (nothing written when
// there are any), or the changes, or why the database refused them.
struct ImportResult {
    bool ok = false;
    std::string company;
    std::vector<Problem> problems;
    std::vector<FileChange> changes;  // every file, in the folder's order
    std::string error;                // the database's reason when !ok and no problems
};

// Checks the folder, then writes its company into the open database in one
// transaction (all or nothing): rows the folder adds are inserted, changed
// rows replaced, rows it no longer holds deleted. Importing the same folder
// twice changes nothing the second time.
PAYROLL_API ImportResult ImportFolder(const std::string& dir);

// Writes company `company` of the open database into the folder `dir`
// (created when missing; the folder's files are replaced), in the files and
// columns ImportFolder reads. False with *error when the company has no
// settings row or a file cannot be written.
PAYROLL_API bool ExportFolder(const std::string& company, const std::string& dir,
                              std::string* error);

// A new pay run of a month.
struct NewRun {
    std::string company;
    std::string month;                   // YYYYMM
    std::string pay_date;                // YYYY-MM-DD or YYYYMMDD
    std::vector<std::string> pay_types;  // one, or more for a combined run
    int sequence = 0;                    // 0: the month's next free sequence
    std::string bonus_from;              // bonus period; both or neither
    std::string bonus_to;
};

// Writes a run's rows in one transaction: the pay date and run kind
// (HPHPYFQ), each pay type with its join and leave rules (HPHONPD), the
// windows of every employee type and pay system (HPHWTPT) and the item lists
// (HPHPOYM), copied from the latest earlier run of the same pay types, else
// from the pay types' item definitions of the year. False with the reason
// when the options are wrong or the run clashes with one of the month.
// *sequence receives the run's sequence.
PAYROLL_API bool CreateRun(const NewRun& run, int* sequence, std::string* error);

// Deletes run `sequence` of a month with its rows of every table, in one
// transaction. A run that holds pay, deduction or result rows is refused
// unless `force`. False with the reason.
PAYROLL_API bool DeleteRun(const std::string& company, const std::string& month, int sequence,
                           bool force, std::string* error);

// A table of a tax year's law as a law folder gives it.
struct LawTable {
    std::string year;     // 2002
    std::string table;    // HPFTITC
    int rows = 0;         // rows of the file
    bool loaded = false;  // false: the database held the year's rows already
};

// Loads a law folder (one folder a year, law/2002/HPFTITC.csv ...: the
// rate brackets, the earned-income tax credit, the simplified table's
// cells, the year's deductions and the national pension grades) into the
// common company "0000" of the open database, in one transaction. A table
// the database already holds for a year is left as it is. Every file is
// read and checked first: false, with the file, line and what is wrong,
// and nothing written, when one is not as expected. *tables lists each
// file found.
PAYROLL_API bool LoadLaw(const std::string& dir, std::vector<LawTable>* tables, std::string* error);

// LoadLaw of the law folder shipped with the library's resources.
PAYROLL_API bool LoadShippedLaw(std::vector<LawTable>* tables, std::string* error);

}  // namespace payroll::folder
