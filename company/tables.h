// How the folder's files map onto the company's tables: each file writes
// the rows of one or two tables (a slice of the code table for the files of
// code groups), keyed within the company.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "company/model.h"

namespace payroll::folder {

// A slice of one table: the rows of a company (and of a condition) with
// their key and value columns. The company column is implied.
struct Target {
    int file;           // FileIndex of the file whose change it is
    const char* table;  // SEMP
    std::string scope;  // an extra condition on the rows (SCTRL_D's groups)
    std::vector<std::string> keys;
    std::vector<std::string> values;
    std::vector<std::string> numeric;  // columns written without quotes
    // Columns the folder does not hold, with the literal each new row gets.
    std::vector<std::pair<std::string, std::string>> defaults;
    // A slice that follows another of its file (item names, H_SEMP): its
    // rows come and go with the other's, so only its changes are reported.
    bool secondary = false;
    bool IsNumeric(const std::string& column) const;
};

// The slices, in the order they are written (references first).
const std::vector<Target>& Targets();

// Rows of a slice: key text -> keys then values, in the target's order.
using Rows = std::map<std::string, std::vector<std::string>>;

// Rows of a slice as a folder gives them, each key once, in no order.
using RowList = std::vector<std::vector<std::string>>;
// The rows of every slice a folder holds; the folder's records are moved
// into them (a company of a million fixed items is held once, not twice).
std::vector<RowList> FolderRows(Folder&& folder);
// The folder the rows of every slice make (the inverse of FolderRows).
Folder RowsFolder(const std::vector<Rows>& rows, const std::string& company);
// The key text of a row of a slice.
std::string KeyText(const Target& target, const std::vector<std::string>& row);

}  // namespace payroll::folder
