// The field widths of a table record, as the whole-table read takes them.
#pragma once

#include <iterator>

#include "payroll/datasource.h"

namespace payroll::engine {

template <typename Record>
RecordLayout LayoutOf() {
    return RecordLayout(std::begin(Record::kLayout), std::end(Record::kLayout));
}

}  // namespace payroll::engine
