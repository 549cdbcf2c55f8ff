// What a host program calls around the engine and the front: open the one
// database connection of the process, apply the reference schema, and learn
// how the last transaction ended.
#pragma once

#include <string>
#include <vector>

#include "payroll/export.h"

namespace payroll {

// Opens the process-wide connection. URL forms:
//   sqlite:PATH          a database file (created when missing)
//   sqlite::memory:      a private in-memory database
// Replaces a connection already open. False, with a message in *error, on an
// unknown scheme or a database that cannot be opened or written.
PAYROLL_API bool OpenDatabase(const std::string& url, std::string* error);
// Opens the process-wide connection for a host that only reads: as
// OpenDatabase, but a SQLite file is never created, and one this process may
// not write (its permissions, a read-only file system) is opened read-only,
// without creating anything beside it; every write through it then fails.
PAYROLL_API bool OpenDatabaseToRead(const std::string& url, std::string* error);
// Closes the connection (an open transaction is rolled back); harmless when
// none is open.
PAYROLL_API void CloseDatabase();
// True while a connection is open.
PAYROLL_API bool IsDatabaseOpen();
// The URL of the open connection, with any password removed.
PAYROLL_API std::string DatabaseDisplayName();

// Creates the tables and indexes the library reads and writes (idempotent).
// *created receives the names of tables that did not exist before.
PAYROLL_API bool ApplySchema(std::vector<std::string>* created, std::string* error);

// How a transaction ended: not yet (or forgotten), committed, rolled back.
enum class TransactionOutcome { kNone, kCommitted, kRolledBack };
// How the last outermost transaction of the connection ended.
PAYROLL_API TransactionOutcome LastTransactionOutcome();
// Forgets the last outcome (kNone until the next transaction ends).
PAYROLL_API void ResetTransactionOutcome();
// The last error any statement of the connection reported.
PAYROLL_API std::string LastDatabaseError();

// Where the library's resources (schema, language files, dialog templates)
// are: $PAYROLL_RESOURCES, else the installed or build-tree copy.
PAYROLL_API std::string ResourceDirectory();

}  // namespace payroll
