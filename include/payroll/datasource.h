// The database access component: query objects (G_DataSource) and a
// statement executor (G_DirectSQL). Every object works on the one connection
// the host opened (payroll/host.h); a new object is idle. Failures come back
// as false (or an empty value); nothing throws out of these classes.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "payroll/cstring.h"
#include "payroll/export.h"

namespace payroll {
// Field widths, in bytes, of the fixed-length record a whole-data read fills:
// column i of a row goes, NUL-terminated and cut to fit, into field i.
using RecordLayout = std::vector<int>;
struct ResultSet;
}  // namespace payroll

class PAYROLL_API G_DataSource {
  public:
    G_DataSource();
    ~G_DataSource();
    G_DataSource(const G_DataSource&) = delete;
    G_DataSource& operator=(const G_DataSource&) = delete;

    // Runs a query and keeps all its rows in this object (no cursor stays
    // open), replacing the previous ones. False when it did not run; the
    // object then holds no rows. The second text is accepted and ignored.
    bool OnExecuteSQL(const CString& sql, const CString& unused = CString());
    // Rows held from the last OnExecuteSQL.
    long OnGetRecordCount() const;
    // The value of a column (by name, case-insensitive) in a held row, as
    // text: numbers as plain decimal text, NULL as empty. Empty when the
    // column or row does not exist.
    CString OnGetFieldValue(const CString& column, long row) const;
    // The index of a held column by name (case-insensitive), -1 when there
    // is none. A step that reads the same columns of many rows finds each
    // column once, then reads the cells by index.
    int OnGetColumnIndex(std::string_view column) const;
    // A held cell's text by column index, valid until the object runs its
    // next query; empty for a column or row that does not exist.
    std::string_view OnGetCellText(int column, long row) const;
    // Index of the first held row from `start` whose column equals value;
    // negative when none.
    long OnFieldSearch(const CString& column, const CString& value, long start = 0) const;
    // Number of rows the query yields (0 when it fails to run). Does not
    // change the rows held.
    long OnGetBulkRecordCount(const CString& sql);
    // Copies the first rowCount rows of the query into buffer as consecutive
    // records laid out by `layout`. True only when that many rows came back
    // and were copied; the buffer must hold rowCount records.
    bool OnWholeDataRead(const CString& sql, void* buffer, long rowCount,
                         const payroll::RecordLayout& layout);

    // Transactions belong to the connection and nest by depth: begin adds
    // one, commit at depth one commits, rollback undoes everything. Commit
    // or rollback with nothing open does nothing.
    bool OnBeginTrans();
    // Commits at depth one (else lowers the depth); false when the commit failed.
    bool OnCommitTrans();
    // Undoes the whole open transaction and resets the depth.
    bool OnRollbackTrans();

    // Why the last operation of this object failed (empty after success).
    CString GetLastError() const;

  private:
    std::unique_ptr<payroll::ResultSet> rows_;
    CString error_;
};

// The statement executor: INSERT, UPDATE and DELETE texts on the connection.
namespace payroll {
// A text as a string literal of a statement: between quotes, every quote
// doubled, nothing from an embedded NUL on. Hosts that write their own
// statements quote every value with it.
PAYROLL_API std::string SqlQuoted(std::string_view text);
}  // namespace payroll

class PAYROLL_API G_DirectSQL {
  public:
    G_DirectSQL();
    ~G_DirectSQL();
    G_DirectSQL(const G_DirectSQL&) = delete;
    G_DirectSQL& operator=(const G_DirectSQL&) = delete;

    // Runs a text of one or more statements (they may follow each other
    // without semicolons). The text runs whole or not at all: true when every
    // statement ran; on false nothing of the text remains.
    bool OnExecuteQuery(const CString& sql);
    // The same, without a copy of the text (a run build's batches of default
    // rows run to megabytes).
    bool OnExecuteText(std::string_view sql);
    // Why the last OnExecuteQuery failed (empty after success).
    CString GetLastError() const;

  private:
    CString error_;
};
