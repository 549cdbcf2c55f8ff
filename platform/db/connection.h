// The process's one database connection. Every G_DataSource and G_DirectSQL
// talks to it: it translates the engine's dialect, keeps the transaction
// depth and counts what the road changed. It carries nothing a test needs:
// it runs over whatever backend it is given (a test may wrap the real one),
// and the three ways a text arrives are virtual, so that a program may
// install a connection of its own that sees each text first (the test kit
// records texts and fails one on purpose that way).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "payroll/host.h"
#include "platform/db/backend.h"
#include "platform/db/read_reuse.h"
#include "platform/db/result_set.h"
#include "platform/db/tsql/translate.h"

namespace payroll::db {

class Connection {
  public:
    explicit Connection(std::unique_ptr<Backend> backend);
    virtual ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The open connection, or nullptr.
    static Connection* Current();
    // Opens a connection by URL and makes it current (replacing any other).
    // to_read: for a process that only reads (see OpenBackend).
    static bool Open(const std::string& url, std::string* error, bool to_read = false);
    // Makes `connection` current (a program may build its own over a
    // backend of its choice); nullptr closes.
    static void Install(std::unique_ptr<Connection> connection);

    // Runs a query text; *rows receives the result of its last statement
    // that yields rows.
    virtual bool Query(std::string_view text, ResultSet* rows, std::string* error);
    // Counts the rows of a query. The rows are kept, so that running the
    // same text next (nothing written in between) does not run it again.
    virtual bool Count(std::string_view text, long* count, std::string* error);
    // Runs a text of one or more statements, whole or not at all.
    virtual bool Execute(std::string_view text, std::string* error);

    bool Begin(std::string* error);
    bool Commit(std::string* error);
    void Rollback();
    int depth() const { return depth_; }
    TransactionOutcome last_outcome() const { return last_outcome_; }
    void reset_outcome() { last_outcome_ = TransactionOutcome::kNone; }
    const std::string& last_error() const { return last_error_; }
    // A result row was written: it counts in the road report once its
    // transaction commits.
    void NoteResultStored();

    // A road's transaction is open (depth 1, begun by the road): until
    // ReleaseRoad, nothing may be written or begun outside it. Once a
    // failed step rolled it back, the rest of the road's statements fail
    // instead of running, and committing, on their own.
    void HoldRoad() { road_held_ = true; }
    void ReleaseRoad() { road_held_ = false; }
    bool road_lost() const { return road_held_ && depth_ == 0; }

    // Keeps other processes' roads off what a road works on: each name is
    // locked exclusively, each shared name in shared mode, in the order
    // given, until UnlockRoads. Waits while another connection holds one
    // (as long as the backend's lock timeout allows); false with the
    // database's message when it gave up. Call it before the road's
    // transaction begins, so that the road reads what the other committed.
    bool LockRoads(const std::vector<std::string>& shared, const std::vector<std::string>& names,
                   std::string* error);
    void UnlockRoads();

    // The backend, for statements of its own dialect: what they write is
    // unknown, so no kept read survives.
    Backend& backend() {
        reads_.Forget();
        return *backend_;
    }

    // Statements sent to the database, and query texts answered from the
    // rows the transaction read before (a count's rows read next, or an
    // exact read reused), since the connection opened.
    long statements_run() const { return statements_run_; }
    long reads_reused() const { return reads_.reused() + counted_reused_; }

    // Texts the connection was given since it opened.
    long texts_sent() const { return texts_sent_; }

    // A process-wide observer of every text, before it runs (its number in
    // the connection's count comes along). The library as installed has none:
    // the test build of the library links one in that reads its orders from
    // the environment (kill the process at the k-th text, log every text).
    using ProcessObserver = void (*)(std::string_view text, long ordinal);
    static void InstallProcessObserver(ProcessObserver observer);

  private:
    // Counts the text and shows it to the process observer.
    void Observe(std::string_view text);
    bool Translate(std::string_view text, std::vector<tsql::Statement>* out, std::string* error);
    bool RunAll(const std::vector<tsql::Statement>& statements, ResultSet* rows,
                std::string* error);
    void Fail(std::string* error, const std::string& message);
    void Wrote() { ++generation_; }
    void NoticeLostTransaction();
    // A write statement ran: its rows count in the road report, and kept
    // reads of its table are dropped.
    void Tally(const tsql::Statement& st, long changed);
    // Kept reads may be handed back only inside a transaction whose reads
    // the backend keeps stable.
    bool Reusing() const { return depth_ > 0 && backend_->StableReads(); }
    // The rows of a query text: kept, or read (and offered to keep).
    bool Read(std::string_view text, ResultSet* rows, std::string* error);
    // Writes outside a transaction are kept at once.
    void Settled();

    std::unique_ptr<Backend> backend_;
    tsql::Translator translator_;
    std::vector<tsql::Statement> scratch_;
    std::vector<long> changes_;
    int depth_ = 0;
    TransactionOutcome last_outcome_ = TransactionOutcome::kNone;
    std::string last_error_;

    // Rows kept by Count for the next Query of the same text.
    std::string counted_text_;
    std::uint64_t counted_generation_ = 0;
    bool counted_valid_ = false;
    ResultSet counted_rows_;
    std::uint64_t generation_ = 0;

    ReadReuse reads_;
    // What a write statement of a cached shape changes, found once per shape.
    struct WriteTarget {
        bool known = false;
        int change = 0;
        std::string table;
        std::uint64_t* mark = nullptr;
    };
    std::unordered_map<const std::string*, WriteTarget> write_targets_;
    const WriteTarget& TargetOf(const tsql::Statement& st);
    long statements_run_ = 0;
    long counted_reused_ = 0;

    // Runs a savepoint statement of a text of several statements.
    bool Native(const char* sql, std::string* error);
    // Refuses a write or a begin while the road's transaction is gone.
    bool RoadAllows(std::string* error);
    bool road_held_ = false;
    bool roads_locked_ = false;
    long texts_sent_ = 0;
};

// Opens a backend for a URL; nullptr with a message for an unknown scheme.
// to_read: a SQLite file is not created, and one this process may not write
// is opened read-only.
std::unique_ptr<Backend> OpenBackend(const std::string& url, std::string* error,
                                     bool to_read = false);

}  // namespace payroll::db
