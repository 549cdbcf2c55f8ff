// A database backend runs translated statements. One backend object is one
// connection; the Connection above it owns transactions and the dialect
// translation.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/db/result_set.h"
#include "platform/db/tsql/translate.h"

namespace payroll::db {

class Backend {
  public:
    virtual ~Backend() = default;
    virtual tsql::Target target() const = 0;
    // Runs one statement. With rows == nullptr any result rows are skipped;
    // with count != nullptr they are only counted, and for an INSERT, UPDATE
    // or DELETE *count receives the rows it changed.
    virtual bool Run(const tsql::Statement& statement, ResultSet* rows, long* count,
                     std::string* error) = 0;
    // Runs statements whose rows nobody reads, as one unit inside a
    // transaction or savepoint the caller opened and will end: they succeed
    // or fail together, so a backend may send them all at once. False at the
    // first failure (the caller then rolls the unit back). On success
    // (*changes)[i] holds the rows statement i changed; a backend that sent
    // several statements as one may count their rows at the first of them.
    virtual bool RunBatch(const std::vector<tsql::Statement>& statements, std::string* error,
                          std::vector<long>* changes) {
        changes->assign(statements.size(), 0);
        for (std::size_t i = 0; i < statements.size(); ++i)
            if (!Run(statements[i], nullptr, &(*changes)[i], error)) return false;
        return true;
    }
    // True when RunBatch itself runs its statements whole or not at all
    // inside an open transaction (it takes a savepoint of its own), so that
    // the caller need not take one around it.
    virtual bool AtomicBatch() const { return false; }
    // Runs backend SQL as it stands (transaction control, schema text).
    virtual bool RunNative(std::string_view sql, std::string* error) = 0;
    // Names of the tables that exist.
    virtual bool ListTables(std::vector<std::string>* names, std::string* error) = 0;
    // True while the backend holds an open transaction; a backend that
    // rolled one back on its own after an error reports false.
    virtual bool InTransaction() const = 0;
    // True when nobody else can change what a transaction of this backend
    // reads, so that a query run twice in it returns the same rows unless
    // the transaction itself wrote in between.
    virtual bool StableReads() const { return false; }
    // The statement that opens a transaction.
    virtual const char* BeginStatement() const { return "BEGIN"; }
    // Takes a lock of the connection's session on a name (exclusive, or
    // shared with other shared holders), waiting for other connections; a
    // backend that serialises writing transactions on its own needs none.
    virtual bool LockName(const std::string& /*name*/, bool /*shared*/, std::string* /*error*/) {
        return true;
    }
    // Lets go of every lock LockName took.
    virtual void UnlockNames() {}
    // The URL it was opened with, without secrets.
    virtual std::string DisplayName() const = 0;
};

}  // namespace payroll::db
