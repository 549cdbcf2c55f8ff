#include "platform/db/result_set.h"

#include <strings.h>

namespace payroll {

namespace {

constexpr std::size_t kMaxCheckedNames = 64;

bool SameName(const std::string& column, std::string_view name) {
    if (column.size() != name.size()) return false;
    if (name.empty()) return true;
    // Most names differ at once; strncasecmp only for those that may match.
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    return upper(column[0]) == upper(name[0]) && upper(column.back()) == upper(name.back()) &&
           strncasecmp(column.data(), name.data(), name.size()) == 0;
}

// True when no two names are the same, ignoring case. Long lists are not
// looked at (they are then taken as not unique: a search only scans).
bool NamesDiffer(const std::vector<std::string>& names) {
    if (names.size() > kMaxCheckedNames) return false;
    for (std::size_t i = 0; i < names.size(); ++i)
        for (std::size_t j = i + 1; j < names.size(); ++j)
            if (SameName(names[i], names[j])) return false;
    return true;
}

const std::vector<std::string>& NoNames() {
    static const std::vector<std::string> none;
    return none;
}

}  // namespace

ColumnNames::ColumnNames(std::vector<std::string> list)
    : names(std::move(list)), unique(NamesDiffer(names)) {}

const std::vector<std::string>& ResultSet::columns() const {
    return names_ ? names_->names : NoNames();
}

void ResultSet::SetColumns(std::vector<std::string> names) {
    names_ = std::make_shared<const ColumnNames>(std::move(names));
}

int ResultSet::FindColumn(std::string_view name) const {
    const std::vector<std::string>& list = columns();
    if (names_ && names_->unique) {
        const std::size_t next = last_found_ + 1;
        if (next < list.size() && SameName(list[next], name)) {
            last_found_ = next;
            return static_cast<int>(next);
        }
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (SameName(list[i], name)) {
            last_found_ = i;
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace payroll
