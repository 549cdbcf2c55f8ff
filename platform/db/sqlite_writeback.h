// Early write-out of large SQLite writes. A build of 100,000 employees
// writes a quarter of a gigabyte to the write-ahead log and as much again to
// the database file when the log is copied back; the kernel would keep it all
// in memory until the sync at the commit, which then waits for every byte.
// Connections opened through this VFS ask the kernel to start writing a
// file's new pages each time a few megabytes have gathered, so the disk works
// while the build goes on and the commit waits only for the last of it.
//
// The VFS wraps the system's own ("unix"): every call is passed through, and
// the hint changes neither what is written nor when a commit is durable (the
// syncs stay exactly where SQLite puts them).
#pragma once

namespace payroll::db {

// The name of the VFS to open connections with, registered on first use;
// nullptr (SQLite's default) when it could not be set up.
const char* SqliteVfs();

// Write-out hints given so far in this process (for tests and benchmarks).
long SqliteWritebackHints();

}  // namespace payroll::db
