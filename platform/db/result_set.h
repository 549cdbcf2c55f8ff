// All rows of one query, held as text. Cells live in one buffer so that a
// result of 100,000 rows costs two allocations, not millions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace payroll {

struct ResultSet {
    std::vector<std::string> columns;  // as the backend named them
    std::string cells;                 // every cell's text, row by row
    std::vector<std::uint32_t> ends;   // end offset of each cell in `cells`
    // The backend's mark of the statement that named `columns` (0: none), so
    // that a statement read again into the same rows need not name them
    // again. Whatever changes `columns` otherwise clears it (Clear does).
    std::uint64_t named_by = 0;
    // The names differ from one another (ignoring case); set with named_by.
    bool unique_names = false;

    std::size_t ColumnCount() const { return columns.size(); }
    std::size_t RowCount() const { return columns.empty() ? 0 : ends.size() / columns.size(); }

    std::string_view Cell(std::size_t row, std::size_t column) const {
        std::size_t i = row * columns.size() + column;
        std::size_t begin = i == 0 ? 0 : ends[i - 1];
        return std::string_view(cells).substr(begin, ends[i] - begin);
    }
    void Append(std::string_view text) {
        cells.append(text);
        EndCell();
    }
    // Ends the cell whose text was appended to `cells` directly.
    void EndCell() { ends.push_back(static_cast<std::uint32_t>(cells.size())); }
    // Index of a column by name, ignoring case; -1 when absent. With
    // unique names the column after the last one found is tried first: steps
    // read a row's columns in the order they were selected.
    int FindColumn(std::string_view name) const;
    void Clear() {
        named_by = 0;
        unique_names = false;
        columns.clear();
        cells.clear();
        ends.clear();
    }

  private:
    mutable std::size_t last_found_ = static_cast<std::size_t>(-1);  // none yet
};

// True when no two names are the same, ignoring case.
bool NamesDiffer(const std::vector<std::string>& names);

}  // namespace payroll
