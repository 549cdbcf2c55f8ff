// One libpq connection, driven without blocking so that every wait has a
// deadline: a server that stops answering costs at most the answer time,
// never a hang. Queries go out in round trips: any number of them are queued
// (libpq's pipeline mode) and their replies are read together.
#pragma once

#include <libpq-fe.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/result_set.h"

namespace payroll::db {

// What came back for one query of a round trip.
struct PgReply {
    ResultSet* rows = nullptr;  // where its rows go (may be null)
    long* count = nullptr;      // where its row count goes (may be null)
    bool ok = false;
    bool skipped = false;  // not run: an earlier query of the trip failed
    std::string error;     // the server's message
    std::string state;     // its SQLSTATE
};

class PgLink {
  public:
    // Takes over an open connection; `secrets` are scrubbed from messages.
    PgLink(PGconn* conn, std::vector<std::string> secrets, int answer_seconds);
    ~PgLink();
    PgLink(const PgLink&) = delete;
    PgLink& operator=(const PgLink&) = delete;

    // False once the connection is lost or gave up waiting; it then stays
    // unusable, so that nothing runs outside a transaction that is gone.
    bool alive() const { return conn_ != nullptr; }
    bool InTransaction() const;
    // Why the connection was lost.
    const std::string& lost_reason() const { return lost_; }

    // Runs a text of one or more statements as it stands (simple protocol).
    bool Simple(std::string_view sql, std::string* error);

    // A round trip: queue queries, then Finish sends them with one sync and
    // reads every reply. Texts and parameters are copied when queued.
    void Prepare(const std::string& name, const std::string& sql, const std::vector<Oid>& types);
    // Runs a prepared statement, or with an empty name `sql` as an unnamed one.
    void Execute(const std::string& name, const std::string* sql,
                 const std::vector<const char*>& values, const std::vector<Oid>& types,
                 ResultSet* rows, long* count);
    // A statement without parameters (SAVEPOINT, RELEASE ...).
    void Command(const char* sql);
    // False when the connection failed (then *error says why); a query that
    // failed shows in replies() only.
    bool Finish(std::string* error);
    std::vector<PgReply>& replies() { return replies_; }

    std::string Scrub(std::string message) const;

  private:
    bool EnsurePipeline();
    void SendFailed();
    bool Flush();
    bool AwaitResult();
    bool ReadableBefore(std::chrono::steady_clock::time_point until) const;
    bool WaitFor(short events);
    void Lose(const std::string& reason);
    void ReadRows(PGresult* res, PgReply* reply);
    std::string ServerMessage(const PGresult* res) const;

    PGconn* conn_;
    std::vector<std::string> secrets_;
    int answer_seconds_;
    long long deadline_ms_ = 0;
    std::vector<PgReply> replies_;
    std::string send_error_;  // why libpq would not queue a query of this trip
    std::string lost_;
};

}  // namespace payroll::db
