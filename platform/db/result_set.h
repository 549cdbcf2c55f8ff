// All rows of one query, held as text. Cells live in one buffer so that a
// result of 100,000 rows costs two allocations, not millions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace payroll {

// A result's column names as the backend named them. Results of the same
// statement share one list.
struct ColumnNames {
    explicit ColumnNames(std::vector<std::string> list);
    std::vector<std::string> names;
    bool unique = false;  // no two names the same, ignoring case
};

struct ResultSet {
    std::string cells;                // every cell's text, row by row
    std::vector<std::uint32_t> ends;  // end offset of each cell in `cells`

    const std::vector<std::string>& columns() const;
    void SetColumns(std::vector<std::string> names);
    // Takes a list a backend keeps (nothing is copied).
    void ShareColumns(std::shared_ptr<const ColumnNames> names) { names_ = std::move(names); }
    bool SharesColumns(const std::shared_ptr<const ColumnNames>& names) const {
        return names_ == names;
    }

    std::size_t ColumnCount() const { return columns().size(); }
    std::size_t RowCount() const { return ColumnCount() == 0 ? 0 : ends.size() / ColumnCount(); }

    std::string_view Cell(std::size_t row, std::size_t column) const {
        std::size_t i = row * ColumnCount() + column;
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
    // A buffer kept for the next read is let go when it grew past
    // kKeptBytes (one large result must not stay in memory for good).
    static constexpr std::size_t kKeptBytes = std::size_t{1} << 20;
    void LetGoIfLarge() {
        if (cells.capacity() > kKeptBytes) *this = ResultSet();
    }
    void Clear() {
        names_.reset();
        cells.clear();
        ends.clear();
    }

  private:
    std::shared_ptr<const ColumnNames> names_;
    mutable std::size_t last_found_ = static_cast<std::size_t>(-1);  // none yet
};

}  // namespace payroll
