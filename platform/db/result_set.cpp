#include "platform/db/result_set.h"

#include <strings.h>

namespace payroll {

namespace {

bool SameName(const std::string& column, std::string_view name) {
    if (column.size() != name.size()) return false;
    if (name.empty()) return true;
    // Most names differ at once; strncasecmp only for those that may match.
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    return upper(column[0]) == upper(name[0]) && upper(column.back()) == upper(name.back()) &&
           strncasecmp(column.data(), name.data(), name.size()) == 0;
}

}  // namespace

int ResultSet::FindColumn(std::string_view name) const {
    if (unique_names) {
        const std::size_t next = last_found_ + 1;
        if (next < columns.size() && SameName(columns[next], name)) {
            last_found_ = next;
            return static_cast<int>(next);
        }
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (SameName(columns[i], name)) {
            last_found_ = i;
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool NamesDiffer(const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i)
        for (std::size_t j = i + 1; j < names.size(); ++j)
            if (SameName(names[i], names[j])) return false;
    return true;
}

}  // namespace payroll
