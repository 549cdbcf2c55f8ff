#include "payroll/datasource.h"

#include <cstring>
#include <exception>

#include "payroll/fixed_text.h"
#include "platform/db/connection.h"
#include "platform/db/result_set.h"

namespace {

using payroll::ResultSet;
using payroll::db::Connection;

constexpr const char* kNotOpen = "no database is open";

// Runs `body` with the current connection, turning a missing connection or
// any exception into false and a message.
template <typename Body>
bool WithConnection(CString* error, Body body) {
    try {
        Connection* c = Connection::Current();
        if (!c) {
            *error = kNotOpen;
            return false;
        }
        std::string message;
        bool ok = body(*c, &message);
        *error = ok ? CString() : CString(message);
        return ok;
    } catch (const std::exception& e) {
        *error = e.what();
        return false;
    } catch (...) {
        *error = "unexpected failure in the database component";
        return false;
    }
}

}  // namespace

G_DataSource::G_DataSource() : rows_(std::make_unique<ResultSet>()) {}
G_DataSource::~G_DataSource() = default;

bool G_DataSource::OnExecuteSQL(const CString& sql, const CString&) {
    bool ok = WithConnection(&error_, [&](Connection& c, std::string* message) {
        return c.Query(sql.str(), rows_.get(), message);
    });
    if (!ok) rows_->Clear();
    return ok;
}

long G_DataSource::OnGetRecordCount() const {
    return static_cast<long>(rows_->RowCount());
}

CString G_DataSource::OnGetFieldValue(const CString& column, long row) const {
    return CString(OnGetCellText(rows_->FindColumn(column.str()), row));
}

int G_DataSource::OnGetColumnIndex(std::string_view column) const {
    return rows_->FindColumn(column);
}

std::string_view G_DataSource::OnGetCellText(int column, long row) const {
    if (column < 0 || static_cast<std::size_t>(column) >= rows_->ColumnCount() || row < 0 ||
        static_cast<std::size_t>(row) >= rows_->RowCount())
        return {};
    return rows_->Cell(static_cast<std::size_t>(row), static_cast<std::size_t>(column));
}

long G_DataSource::OnFieldSearch(const CString& column, const CString& value, long start) const {
    int c = rows_->FindColumn(column.str());
    if (c < 0) return -1;
    std::size_t n = rows_->RowCount();
    for (std::size_t r = start < 0 ? 0 : static_cast<std::size_t>(start); r < n; ++r)
        if (rows_->Cell(r, static_cast<std::size_t>(c)) == value.str()) return static_cast<long>(r);
    return -1;
}

long G_DataSource::OnGetBulkRecordCount(const CString& sql) {
    long count = 0;
    bool ok = WithConnection(&error_, [&](Connection& c, std::string* message) {
        return c.Count(sql.str(), &count, message);
    });
    return ok ? count : 0;
}

bool G_DataSource::OnWholeDataRead(const CString& sql, void* buffer, long rowCount,
                                   const payroll::RecordLayout& layout) {
    if (!buffer || rowCount < 0) {
        error_ = "no buffer for the rows";
        return false;
    }
    std::size_t record = 0;
    for (int width : layout) {
        if (width <= 0) {
            error_ = "record layout with a field of no width";
            return false;
        }
        record += static_cast<std::size_t>(width);
    }
    // The rows pass through a buffer the thread keeps (a large one is let
    // go after use), so that a read of a few records allocates nothing.
    thread_local ResultSet kept;
    ResultSet& rows = kept;
    struct Release {
        ResultSet& rows;
        ~Release() { rows.LetGoIfLarge(); }
    } release{rows};
    bool ok = WithConnection(&error_, [&](Connection& c, std::string* message) {
        return c.Query(sql.str(), &rows, message);
    });
    if (!ok) return false;
    if (rows.RowCount() < static_cast<std::size_t>(rowCount)) {
        error_.Format("the query returned %zu rows, %ld expected", rows.RowCount(), rowCount);
        return false;
    }
    char* out = static_cast<char*>(buffer);
    std::size_t fields = std::min(layout.size(), rows.ColumnCount());
    for (long r = 0; r < rowCount; ++r) {
        char* rec = out + static_cast<std::size_t>(r) * record;
        std::memset(rec, 0, record);
        std::size_t offset = 0;
        for (std::size_t f = 0; f < fields; ++f) {
            std::size_t width = static_cast<std::size_t>(layout[f]);
            payroll::CopyToField(rec + offset, width, rows.Cell(static_cast<std::size_t>(r), f));
            offset += width;
        }
    }
    return true;
}

bool G_DataSource::OnBeginTrans() {
    return WithConnection(&error_, [](Connection& c, std::string* m) { return c.Begin(m); });
}

bool G_DataSource::OnCommitTrans() {
    return WithConnection(&error_, [](Connection& c, std::string* m) { return c.Commit(m); });
}

bool G_DataSource::OnRollbackTrans() {
    return WithConnection(&error_, [](Connection& c, std::string*) {
        c.Rollback();
        return true;
    });
}

CString G_DataSource::GetLastError() const {
    return error_;
}

G_DirectSQL::G_DirectSQL() = default;
G_DirectSQL::~G_DirectSQL() = default;

bool G_DirectSQL::OnExecuteQuery(const CString& sql) {
    return OnExecuteText(sql.str());
}

bool G_DirectSQL::OnExecuteText(std::string_view sql) {
    return WithConnection(
        &error_, [&](Connection& c, std::string* message) { return c.Execute(sql, message); });
}

CString G_DirectSQL::GetLastError() const {
    return error_;
}

std::string payroll::SqlQuoted(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\0') break;
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}
