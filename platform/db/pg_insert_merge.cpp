#include "platform/db/pg_insert_merge.h"

#include <strings.h>

#include <vector>

namespace payroll::db {
namespace {

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool WordAt(std::string_view sql, std::size_t i, std::string_view word) {
    if (i + word.size() > sql.size()) return false;
    if (strncasecmp(sql.data() + i, word.data(), word.size()) != 0) return false;
    if (i > 0 && IsWordChar(sql[i - 1])) return false;
    return i + word.size() == sql.size() || !IsWordChar(sql[i + word.size()]);
}

// Past a quoted run starting at i ('...' or "..."; a doubled quote stays inside).
std::size_t SkipQuoted(std::string_view sql, std::size_t i) {
    const char q = sql[i];
    for (++i; i < sql.size(); ++i) {
        if (sql[i] != q) continue;
        if (i + 1 < sql.size() && sql[i + 1] == q) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return sql.size();
}

// A placeholder $N at i: its number, and the position past it.
bool Placeholder(std::string_view sql, std::size_t i, std::size_t* number, std::size_t* past) {
    if (sql[i] != '$' || i + 1 >= sql.size() || !IsDigit(sql[i + 1])) return false;
    if (i > 0 && IsWordChar(sql[i - 1])) return false;
    std::size_t n = 0, p = i + 1;
    while (p < sql.size() && IsDigit(sql[p])) {
        n = n * 10 + static_cast<std::size_t>(sql[p] - '0');
        if (n > 1000000) return false;
        ++p;
    }
    *number = n;
    *past = p;
    return true;
}

}  // namespace

bool FindInsertTuple(std::string_view sql, std::size_t params, InsertTuple* out) {
    std::size_t start = sql.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || !WordAt(sql, start, "INSERT") || params == 0)
        return false;
    int depth = 0;
    std::size_t open = std::string_view::npos, close = std::string_view::npos;
    std::vector<bool> seen(params + 1, false);
    std::size_t distinct = 0;
    for (std::size_t i = start; i < sql.size();) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            i = SkipQuoted(sql, i);
            continue;
        }
        std::size_t number = 0, past = 0;
        if (Placeholder(sql, i, &number, &past)) {
            // Every parameter must stand inside the tuple.
            if (open == std::string_view::npos || close != std::string_view::npos) return false;
            if (number == 0 || number > params) return false;
            if (!seen[number]) {
                seen[number] = true;
                ++distinct;
            }
            i = past;
            continue;
        }
        if (c == '(') {
            if (depth == 0 && open == std::string_view::npos) {
                std::size_t before = sql.find_last_not_of(" \t\r\n", i == 0 ? 0 : i - 1);
                if (before != std::string_view::npos && before >= 5 &&
                    WordAt(sql, before - 5, "VALUES"))
                    open = i;
            }
            ++depth;
        } else if (c == ')') {
            if (--depth < 0) return false;
            if (depth == 0 && open != std::string_view::npos && close == std::string_view::npos)
                close = i + 1;
        } else if ((close != std::string_view::npos && c != ' ' && c != '\t' && c != '\r' &&
                    c != '\n') ||
                   (depth == 0 && open == std::string_view::npos && WordAt(sql, i, "SELECT"))) {
            return false;  // something follows the tuple, or the rows come from a SELECT
        }
        ++i;
    }
    if (open == std::string_view::npos || close == std::string_view::npos || depth != 0 ||
        distinct != params)
        return false;
    out->begin = open;
    out->end = close;
    out->params = params;
    return true;
}

std::string MergeInsert(std::string_view sql, const InsertTuple& tuple, std::size_t rows) {
    const std::string_view head = sql.substr(0, tuple.begin);
    const std::string_view row = sql.substr(tuple.begin, tuple.end - tuple.begin);
    std::string out;
    out.reserve(head.size() + rows * (row.size() + 8));
    out.append(head);
    for (std::size_t r = 0; r < rows; ++r) {
        if (r) out.append(", ");
        const std::size_t offset = r * tuple.params;
        for (std::size_t i = 0; i < row.size();) {
            if (row[i] == '\'' || row[i] == '"') {
                std::size_t past = SkipQuoted(row, i);
                out.append(row.substr(i, past - i));
                i = past;
                continue;
            }
            std::size_t number = 0, past = 0;
            if (Placeholder(row, i, &number, &past)) {
                out.push_back('$');
                out.append(std::to_string(number + offset));
                i = past;
                continue;
            }
            out.push_back(row[i]);
            ++i;
        }
    }
    return out;
}

}  // namespace payroll::db
