#include "platform/db/result_set.h"

#include <strings.h>

namespace payroll {

int ResultSet::FindColumn(std::string_view name) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const std::string& c = columns[i];
        if (c.size() == name.size() && strncasecmp(c.data(), name.data(), name.size()) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace payroll
