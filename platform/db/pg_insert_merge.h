// Consecutive INSERTs of one shape (the default-row batches send thousands)
// become one INSERT with many VALUES rows, so that the server parses,
// plans and answers once per few hundred rows instead of once per row.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace payroll::db {

// The VALUES tuple of a translated `INSERT ... VALUES ( ... )` whose
// parameters $1..$params all stand inside that tuple, which ends the text.
struct InsertTuple {
    std::size_t begin = 0;  // the tuple's '('
    std::size_t end = 0;    // one past its ')'
    std::size_t params = 0;
};

// False for any other statement (INSERT ... SELECT, several tuples, a
// parameter outside the tuple, parameters not numbered 1..params).
bool FindInsertTuple(std::string_view sql, std::size_t params, InsertTuple* out);

// The statement with `rows` tuples; row r's parameters are renumbered to
// follow row r-1's ($1..$n, $n+1..$2n, ...).
std::string MergeInsert(std::string_view sql, const InsertTuple& tuple, std::size_t rows);

}  // namespace payroll::db
