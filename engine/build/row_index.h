// Look-ups of the default-row build over the engine's in-memory tables. The
// build asks, for every employee and item of a run, whether a row already
// exists, whether the employee has pay amounts, and where his master record
// is; scanning the tables from their first row for each question is
// quadratic in the run's size. These indexes are built once from a loaded
// table (they hold views into it, so they live no longer than the table
// stays unchanged) and give exactly the answers of the scans, which are kept
// beside them for single look-ups and as the reference the tests compare.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "payroll/engine_tables.h"
#include "payroll/records.h"

namespace payroll::row_index {

// Rows of a table that readers may look at: the count, bounded by the
// records allotted (an unallotted table has none).
template <typename Record>
std::size_t UsableRows(const RecordTable<Record>& table, long long count) {
    if (!table.allocated() || count <= 0) return 0;
    const std::size_t n = static_cast<std::size_t>(count);
    return n < table.capacity() ? n : table.capacity();
}

// --- The scans ------------------------------------------------------------

// True when a row at or after `first_row` carries both employee and code
// (neither empty).
bool ScanRow(const RecordTable<PayListRecord>& rows, long long count, long long first_row,
             std::string_view employee, std::string_view code);

// 1 when the employee's rows, from his first occurrence while adjacent rows
// still carry his code, include one whose amount is not empty; else 0.
int ScanAmountFlag(const RecordTable<PayListRecord>& rows, long long count,
                   std::string_view employee);

// First position of the employee in the master table, scanning from 0 and
// stopping at the first record without an employee code; -1 when absent.
int ScanMasterPosition(const RecordTable<SEMP_FMT>& master, long long count,
                       std::string_view employee);

// --- The indexes ------------------------------------------------------------

// Existing pay or deduction rows by employee and code.
class ExistingRows {
  public:
    ExistingRows() = default;
    ExistingRows(const RecordTable<PayListRecord>& rows, long long count);

    // The answer of ScanRow for the same table and count.
    bool Has(std::string_view employee, std::string_view code, long long first_row = 0) const;
    // The answer of ScanAmountFlag.
    int AmountFlag(std::string_view employee) const;
    std::size_t size() const { return rows_; }

  private:
    struct Employee {
        std::uint32_t first = 0;  // entries [first, first + count)
        std::uint32_t count = 0;
        int amount_flag = 0;
    };
    const RecordTable<PayListRecord>* table_ = nullptr;
    std::size_t rows_ = 0;
    std::unordered_map<std::string_view, Employee> employees_;
    std::vector<std::uint32_t> entries_;  // row numbers grouped by employee
};

// Master positions by employee code.
class MasterPositions {
  public:
    MasterPositions() = default;
    MasterPositions(const RecordTable<SEMP_FMT>& master, long long count);
    // The answer of ScanMasterPosition.
    int Find(std::string_view employee) const;

  private:
    std::unordered_map<std::string_view, int> first_;
};

// The employee codes of a roster.
class RosterMembers {
  public:
    RosterMembers(const RecordTable<RosterRecord>& roster, long long count);
    bool Contains(std::string_view employee) const { return codes_.count(employee) != 0; }

  private:
    std::unordered_set<std::string_view> codes_;
};

}  // namespace payroll::row_index
