// PostgreSQL aborts a whole transaction at its first failed statement, while
// the engine goes on after some failures inside its transactions (a failed
// look-up, a failed summary write). So inside a transaction every statement
// runs under a savepoint, sent in the same round trip as the statement:
//   SAVEPOINT s; <statement>; RELEASE s      and, only after a failure,
//   ROLLBACK TO s; RELEASE s
// A batch (a text of many statements the connection runs as one unit) goes
// out in one round trip, its runs of same-shape INSERTs merged into
// multi-row INSERTs.
#include "platform/db/postgres_backend.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "platform/db/pg_insert_merge.h"
#include "platform/db/pg_link.h"
#include "platform/db/pg_url.h"
#include "platform/db/pg_values.h"

namespace payroll::db {
namespace {

// Prepared statements kept per text and parameter types; when full, the
// server's are dropped and the names start over.
constexpr std::size_t kServerCacheLimit = 512;
// Rows of one merged INSERT; the server takes at most 65535 parameters.
constexpr std::size_t kMergeRows = 500;
constexpr std::size_t kMaxParams = 65535;
// "could not determine data type of parameter $n" comes as one of these
// SQLSTATEs (indeterminate datatype, ambiguous parameter).
bool UntypedParameter(const std::string& state) {
    return state == "42P18" || state == "42P08";
}

struct Params {
    std::vector<const char*> values;
    std::vector<Oid> types;
};

// A lock's key: the name's 64-bit FNV-1a hash.
long long LockKey(const std::string& name) {
    unsigned long long h = 14695981039346656037ULL;
    for (const unsigned char c : name) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return static_cast<long long>(h);
}

class PostgresBackend final : public Backend {
  public:
    PostgresBackend(std::unique_ptr<PgLink> link, std::string name)
        : link_(std::move(link)), name_(std::move(name)) {}

    tsql::Target target() const override { return tsql::Target::kPostgres; }
    std::string DisplayName() const override { return name_; }
    bool InTransaction() const override { return link_->InTransaction(); }

    bool Run(const tsql::Statement& st, ResultSet* rows, long* count, std::string* error) override {
        if (!Alive(error)) return false;
        const bool guard = link_->InTransaction();
        for (std::size_t attempt = 0; attempt <= st.values.size(); ++attempt) {
            pending_.clear();
            if (guard) link_->Command("SAVEPOINT payroll_statement");
            Queue(*st.sql, st.cached, ParamsOf(st), rows, count);
            if (guard) link_->Command("RELEASE SAVEPOINT payroll_statement");
            if (!link_->Finish(error)) return false;
            KeepPrepared();
            const PgReply* failed = FirstFailure();
            if (!failed) return true;
            *error = failed->error;
            const bool retry =
                UntypedParameter(failed->state) && LearnTextParam(*st.sql, failed->error);
            if (guard && !link_->Simple("ROLLBACK TO SAVEPOINT payroll_statement; "
                                        "RELEASE SAVEPOINT payroll_statement",
                                        error))
                return false;
            if (!retry) return false;
        }
        return false;
    }

    bool RunBatch(const std::vector<tsql::Statement>& statements, std::string* error,
                  std::vector<long>* changes) override {
        if (!Alive(error)) return false;
        for (std::size_t attempt = 0; attempt < 8; ++attempt) {
            pending_.clear();
            changes->assign(statements.size(), 0);
            std::vector<std::string> merged;  // texts of this trip's merged INSERTs
            link_->Command("SAVEPOINT payroll_batch");
            for (std::size_t i = 0; i < statements.size();) {
                std::size_t n = SameShapeRun(statements, i);
                long* changed = &(*changes)[i];
                if (n > 1) {
                    QueueMerged(statements, i, n, &merged, changed);
                } else {
                    const tsql::Statement& st = statements[i];
                    Queue(*st.sql, st.cached, ParamsOf(st), nullptr, changed);
                }
                i += n;
            }
            link_->Command("RELEASE SAVEPOINT payroll_batch");
            if (!link_->Finish(error)) return false;
            KeepPrepared();
            const PgReply* failed = FirstFailure();
            if (!failed) return true;
            *error = failed->error;
            bool retry = false;
            if (UntypedParameter(failed->state))
                for (const tsql::Statement& st : statements)
                    retry = LearnTextParam(*st.sql, failed->error) || retry;
            if (!link_->Simple("ROLLBACK TO SAVEPOINT payroll_batch; "
                               "RELEASE SAVEPOINT payroll_batch",
                               error))
                return false;
            if (!retry) {
                *error = failed_message_;
                return false;
            }
        }
        return false;
    }

    bool AtomicBatch() const override { return true; }
    // A road reads one snapshot of the database from its first statement to
    // its commit: what others commit meanwhile is not mixed into it (a
    // concurrent change of a row it also changes makes it fail whole), and a
    // query it runs twice returns the same rows unless it wrote in between.
    const char* BeginStatement() const override { return "BEGIN ISOLATION LEVEL REPEATABLE READ"; }

    // Advisory locks of the session, keyed by a hash of the name: they go
    // with the connection when the process dies.
    bool LockName(const std::string& name, bool shared, std::string* error) override {
        if (!Alive(error)) return false;
        const std::string sql = std::string("SELECT ") +
                                (shared ? "pg_advisory_lock_shared(" : "pg_advisory_lock(") +
                                std::to_string(LockKey(name)) + ")";
        if (link_->Simple(sql, error)) return true;
        *error = "another process is working on " + name + " (" + *error + ")";
        return false;
    }
    void UnlockNames() override {
        std::string ignored;
        if (link_->alive()) link_->Simple("SELECT pg_advisory_unlock_all()", &ignored);
    }
    bool StableReads() const override { return true; }

    bool RunNative(std::string_view sql, std::string* error) override {
        if (!Alive(error)) return false;
        return link_->Simple(sql, error);
    }

    bool ListTables(std::vector<std::string>* names, std::string* error) override {
        if (!Alive(error)) return false;
        static const std::string kSql =
            "SELECT UPPER(table_name) FROM information_schema.tables "
            "WHERE table_schema = current_schema() AND table_type = 'BASE TABLE'";
        ResultSet rows;
        link_->Execute("", &kSql, {}, {}, &rows, nullptr);
        if (!link_->Finish(error)) return false;
        if (const PgReply* failed = FirstFailure()) {
            *error = failed->error;
            return false;
        }
        names->clear();
        for (std::size_t r = 0; r < rows.RowCount(); ++r) names->emplace_back(rows.Cell(r, 0));
        return true;
    }

  private:
    bool Alive(std::string* error) {
        if (link_->alive()) return true;
        *error = "the connection to the database server was lost: " + link_->lost_reason();
        return false;
    }

    // The first query of the last trip that failed; its message is also
    // kept, since a rollback trip replaces the replies.
    const PgReply* FirstFailure() {
        for (const PgReply& r : link_->replies()) {
            if (!r.ok && !r.skipped) {
                failed_message_ = r.error;
                return &r;
            }
        }
        return nullptr;
    }

    // Parameter values and types of a statement: each literal typed as the
    // server types it inline, except where it could not be inferred before.
    Params ParamsOf(const tsql::Statement& st) {
        Params p;
        p.values.reserve(st.values.size());
        p.types.reserve(st.values.size());
        for (const tsql::BoundValue& v : st.values) {
            p.values.push_back(v.kind == tsql::BoundValue::Kind::kNull ? nullptr : v.text.c_str());
            p.types.push_back(LiteralType(v));
        }
        auto it = text_params_.find(*st.sql);
        if (it != text_params_.end())
            for (std::size_t k : it->second)
                if (k < p.types.size() && p.types[k] == 0) p.types[k] = kPgText;
        return p;
    }

    // The server could not type parameter $n of `sql` from where it stands
    // (a literal alone in a select list): from now on it goes as text.
    bool LearnTextParam(const std::string& sql, const std::string& message) {
        std::size_t at = message.find('$');
        if (at == std::string::npos) return false;
        std::size_t n = std::strtoul(message.c_str() + at + 1, nullptr, 10);
        if (n == 0 || sql.find("$" + std::to_string(n)) == std::string::npos) return false;
        std::vector<std::size_t>& known = text_params_[sql];
        if (std::find(known.begin(), known.end(), n - 1) != known.end()) return false;
        known.push_back(n - 1);
        return true;
    }

    static std::string Key(const std::string& sql, const std::vector<Oid>& types) {
        std::string key = sql;
        key.push_back('\0');
        for (Oid t : types) key += std::to_string(t) + ",";
        return key;
    }

    // Queues one execution, preparing the statement first when this text
    // and these types were not prepared yet.
    void Queue(const std::string& sql, bool cacheable, const Params& params, ResultSet* rows,
               long* count) {
        if (!cacheable) {
            link_->Execute("", &sql, params.values, params.types, rows, count);
            return;
        }
        std::string key = Key(sql, params.types);
        auto it = statements_.find(key);
        if (it == statements_.end()) {
            std::string name = "payroll_" + std::to_string(++names_);
            pending_.push_back(Pending{key, name, link_->replies().size()});
            it = statements_.emplace(std::move(key), std::move(name)).first;
            link_->Prepare(it->second, sql, params.types);
        }
        link_->Execute(it->second, nullptr, params.values, {}, rows, count);
    }

    // After a trip: statements whose Prepare failed (or never ran) are
    // forgotten; their names are not used again.
    void KeepPrepared() {
        const std::vector<PgReply>& replies = link_->replies();
        for (const Pending& p : pending_) {
            bool ok = p.reply < replies.size() && replies[p.reply].ok;
            if (!ok) statements_.erase(p.key);
        }
        pending_.clear();
        if (statements_.size() > kServerCacheLimit && link_->alive()) {
            // Names are never used twice, so a DEALLOCATE that fails (in a
            // failed transaction) only leaves unused statements behind.
            std::string ignored;
            link_->Simple("DEALLOCATE ALL", &ignored);
            statements_.clear();
        }
    }

    // How many statements from i on can go as one merged INSERT: the same
    // cached shape, and the same parameter types.
    std::size_t SameShapeRun(const std::vector<tsql::Statement>& statements, std::size_t i) {
        const tsql::Statement& first = statements[i];
        if (!first.cached || first.returns_rows || first.values.empty() ||
            !Mergeable(*first.sql, first.values.size()))
            return 1;
        const std::size_t limit = MergeLimit(first.values.size()) + i;
        std::size_t j = i + 1;
        while (j < statements.size() && j < limit && statements[j].sql == first.sql &&
               statements[j].cached && SameTypes(first, statements[j]))
            ++j;
        return j - i;
    }

    static bool SameTypes(const tsql::Statement& a, const tsql::Statement& b) {
        if (a.values.size() != b.values.size()) return false;
        for (std::size_t k = 0; k < a.values.size(); ++k)
            if (LiteralType(a.values[k]) != LiteralType(b.values[k])) return false;
        return true;
    }

    bool Mergeable(const std::string& sql, std::size_t params) {
        auto it = tuples_.find(sql);
        if (it == tuples_.end()) {
            InsertTuple t;
            bool ok = FindInsertTuple(sql, params, &t);
            if (!ok) t.params = 0;
            if (tuples_.size() > kServerCacheLimit) tuples_.clear();
            it = tuples_.emplace(sql, t).first;
        }
        return it->second.params == params;
    }

    static std::size_t MergeLimit(std::size_t params) {
        return std::min(kMergeRows, kMaxParams / params);
    }

    void QueueMerged(const std::vector<tsql::Statement>& statements, std::size_t i, std::size_t n,
                     std::vector<std::string>* merged, long* changed) {
        const std::string& sql = *statements[i].sql;
        Params params;
        for (std::size_t k = i; k < i + n; ++k) {
            Params one = ParamsOf(statements[k]);
            params.values.insert(params.values.end(), one.values.begin(), one.values.end());
            params.types.insert(params.types.end(), one.types.begin(), one.types.end());
        }
        merged->push_back(MergeInsert(sql, tuples_.at(sql), n));
        // Full-size merges recur batch after batch: keep those prepared.
        const bool full = n == MergeLimit(statements[i].values.size());
        Queue(merged->back(), full, params, nullptr, changed);
    }

    struct Pending {
        std::string key;
        std::string name;
        std::size_t reply;  // index of its Prepare among the trip's replies
    };

    std::unique_ptr<PgLink> link_;
    std::string name_;
    std::unordered_map<std::string, std::string> statements_;  // key -> statement name
    std::vector<Pending> pending_;
    std::string failed_message_;
    std::unordered_map<std::string, InsertTuple> tuples_;
    std::unordered_map<std::string, std::vector<std::size_t>> text_params_;
    long names_ = 0;
};

}  // namespace

std::unique_ptr<Backend> OpenPostgresBackend(const std::string& url, std::string* error,
                                             const PgOptions& options) {
    PgUrl described = DescribePgUrl(url);
    if (!described.problem.empty()) {
        *error = "cannot read the database URL: " + described.problem;
        return nullptr;
    }
    // Defaults first: the URL's own settings, expanded from dbname last, win.
    const char* keys[] = {"connect_timeout",
                          "keepalives",
                          "keepalives_idle",
                          "keepalives_interval",
                          "keepalives_count",
                          "tcp_user_timeout",
                          "application_name",
                          "client_encoding",
                          "options",
                          "dbname",
                          nullptr};
    const char* values[] = {
        "10",        "1",    "30",
        "10",        "3",    "60000",
        "payroll",   "UTF8", "-c statement_timeout=300000 -c lock_timeout=60000",
        url.c_str(), nullptr};
    PGconn* conn = PQconnectdbParams(keys, values, 1);
    if (!conn) {
        *error = "cannot connect to " + described.display + ": out of memory";
        return nullptr;
    }
    if (PQstatus(conn) != CONNECTION_OK) {
        std::string why = PQerrorMessage(conn);
        PQfinish(conn);
        while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
        for (char& c : why)
            if (c == '\n' || c == '\t') c = ' ';
        *error =
            "cannot connect to " + described.display + ": " + ScrubSecrets(why, described.secrets);
        return nullptr;
    }
    auto link = std::make_unique<PgLink>(conn, described.secrets, options.answer_seconds);
    return std::make_unique<PostgresBackend>(std::move(link), described.display);
}

}  // namespace payroll::db
