#include "platform/db/pg_link.h"

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>

#include "platform/db/pg_url.h"
#include "platform/db/pg_values.h"

namespace payroll::db {
namespace {

// The server's notices (a schema that did not exist, ...) are no business
// of the engine's; libpq would print them on standard error.
void IgnoreNotice(void*, const char*) {}

// How long a wait for the server's reply polls before it sleeps. A blocked
// process lets its CPU idle, and waking an idle CPU of a virtual machine takes
// longer than most replies: on loopback a statement's round trip took about
// 80 µs that way against 30 µs polling. Longer replies then cost at most this
// much CPU before the wait sleeps as before.
constexpr std::chrono::microseconds kSpinBeforeSleep{250};

long long NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string Trimmed(const char* text) {
    std::string out = text ? text : "";
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    for (char& c : out)
        if (c == '\n' || c == '\t') c = ' ';
    return out;
}

}  // namespace

PgLink::PgLink(PGconn* conn, std::vector<std::string> secrets, int answer_seconds)
    : conn_(conn), secrets_(std::move(secrets)), answer_seconds_(answer_seconds) {
    PQsetnonblocking(conn_, 1);
    PQsetNoticeProcessor(conn_, IgnoreNotice, nullptr);
}

PgLink::~PgLink() {
    if (conn_) PQfinish(conn_);
}

std::string PgLink::Scrub(std::string message) const {
    return ScrubSecrets(std::move(message), secrets_);
}

bool PgLink::InTransaction() const {
    if (!conn_) return false;
    PGTransactionStatusType s = PQtransactionStatus(conn_);
    return s == PQTRANS_INTRANS || s == PQTRANS_INERROR || s == PQTRANS_ACTIVE;
}

void PgLink::Lose(const std::string& reason) {
    if (!conn_) return;
    lost_ = Scrub(reason.empty() ? Trimmed(PQerrorMessage(conn_)) : reason);
    if (lost_.empty()) lost_ = "the server closed the connection";
    // Closing the socket makes the server roll back whatever was open.
    PQfinish(conn_);
    conn_ = nullptr;
    replies_.clear();
}

bool PgLink::WaitFor(short events) {
    for (;;) {
        long long left = deadline_ms_ - NowMs();
        if (left <= 0) {
            Lose("the database server did not answer within " + std::to_string(answer_seconds_) +
                 " s");
            return false;
        }
        pollfd p{PQsocket(conn_), events, 0};
        if (p.fd < 0) {
            Lose("");
            return false;
        }
        int n = poll(&p, 1, static_cast<int>(left > 60000 ? 60000 : left));
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) {
            Lose("cannot wait for the database server");
            return false;
        }
    }
}

bool PgLink::ReadableBefore(std::chrono::steady_clock::time_point until) const {
    pollfd p{PQsocket(conn_), POLLIN, 0};
    if (p.fd < 0) return false;
    do {
        if (poll(&p, 1, 0) != 0) return true;  // readable, or an error WaitFor reports
    } while (std::chrono::steady_clock::now() < until);
    return false;
}

bool PgLink::Flush() {
    for (;;) {
        int r = PQflush(conn_);
        if (r == 0) return true;
        if (r < 0) {
            Lose("");
            return false;
        }
        // More to send: wait until the socket takes it, reading the server's
        // replies meanwhile so that neither side blocks on a full buffer.
        if (!WaitFor(POLLOUT | POLLIN)) return false;
        if (!PQconsumeInput(conn_)) {
            Lose("");
            return false;
        }
    }
}

bool PgLink::AwaitResult() {
    const auto spinUntil = std::chrono::steady_clock::now() + kSpinBeforeSleep;
    while (PQisBusy(conn_)) {
        if (!ReadableBefore(spinUntil) && !WaitFor(POLLIN)) return false;
        // On a lost connection libpq keeps the server's last words as an
        // error result; PQgetResult hands it over next.
        if (!PQconsumeInput(conn_)) break;
    }
    return true;
}

std::string PgLink::ServerMessage(const PGresult* res) const {
    const char* primary = res ? PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    std::string message = primary ? Trimmed(primary) : Trimmed(PQerrorMessage(conn_));
    if (const char* detail = res ? PQresultErrorField(res, PG_DIAG_MESSAGE_DETAIL) : nullptr)
        message += " (" + Trimmed(detail) + ")";
    if (message.empty()) message = "the database server reported an error";
    return Scrub(message);
}

void PgLink::ReadRows(PGresult* res, PgReply* reply) {
    const int n = PQntuples(res);
    if (reply->count) *reply->count = n;
    ResultSet* rows = reply->rows;
    if (!rows) return;
    rows->Clear();
    const int columns = PQnfields(res);
    std::vector<Oid> types(static_cast<std::size_t>(columns));
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        const char* name = PQfname(res, c);
        names.emplace_back(name ? name : "");
        types[static_cast<std::size_t>(c)] = PQftype(res, c);
    }
    rows->SetColumns(std::move(names));
    rows->ends.reserve(static_cast<std::size_t>(n) * static_cast<std::size_t>(columns));
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (!PQgetisnull(res, r, c)) {
                std::string_view value(PQgetvalue(res, r, c),
                                       static_cast<std::size_t>(PQgetlength(res, r, c)));
                AppendCellText(types[static_cast<std::size_t>(c)], value, &rows->cells);
            }
            if (rows->cells.size() > UINT32_MAX) {
                rows->Clear();
                reply->ok = false;
                reply->error = "the result is too large to hold";
                return;
            }
            rows->ends.push_back(static_cast<std::uint32_t>(rows->cells.size()));
        }
    }
}

bool PgLink::Simple(std::string_view sql, std::string* error) {
    if (!conn_) {
        *error = "the connection to the database server was lost: " + lost_;
        return false;
    }
    deadline_ms_ = NowMs() + answer_seconds_ * 1000LL;
    std::string text(sql);
    if (!PQsendQuery(conn_, text.c_str())) {
        *error = Scrub(Trimmed(PQerrorMessage(conn_)));
        if (PQstatus(conn_) == CONNECTION_BAD) Lose(*error);
        return false;
    }
    std::string first;
    if (Flush()) {
        for (;;) {
            if (!AwaitResult()) break;
            PGresult* res = PQgetResult(conn_);
            if (!res) break;
            if (PQresultStatus(res) == PGRES_FATAL_ERROR && first.empty())
                first = ServerMessage(res);
            PQclear(res);
        }
    }
    if (conn_ && PQstatus(conn_) == CONNECTION_BAD) Lose(first);
    if (!conn_) {
        *error = "the connection to the database server was lost: " + lost_;
        return false;
    }
    if (!first.empty()) {
        *error = first;
        return false;
    }
    return true;
}

bool PgLink::EnsurePipeline() {
    if (!conn_ || !send_error_.empty()) return false;
    if (PQpipelineStatus(conn_) == PQ_PIPELINE_OFF) {
        replies_.clear();
        deadline_ms_ = NowMs() + answer_seconds_ * 1000LL;
        if (!PQenterPipelineMode(conn_)) {
            SendFailed();
            return false;
        }
    }
    return true;
}

void PgLink::SendFailed() {
    send_error_ = Scrub(Trimmed(PQerrorMessage(conn_)));
    if (send_error_.empty()) send_error_ = "cannot send the statement";
}

void PgLink::Prepare(const std::string& name, const std::string& sql,
                     const std::vector<Oid>& types) {
    if (!EnsurePipeline()) return;
    if (PQsendPrepare(conn_, name.c_str(), sql.c_str(), static_cast<int>(types.size()),
                      types.data()))
        replies_.emplace_back();
    else
        SendFailed();
}

void PgLink::Execute(const std::string& name, const std::string* sql,
                     const std::vector<const char*>& values, const std::vector<Oid>& types,
                     ResultSet* rows, long* count) {
    if (!EnsurePipeline()) return;
    const int n = static_cast<int>(values.size());
    int sent = name.empty() ? PQsendQueryParams(conn_, sql->c_str(), n, types.data(), values.data(),
                                                nullptr, nullptr, 0)
                            : PQsendQueryPrepared(conn_, name.c_str(), n, values.data(), nullptr,
                                                  nullptr, 0);
    if (!sent) return SendFailed();
    replies_.emplace_back();
    replies_.back().rows = rows;
    replies_.back().count = count;
}

void PgLink::Command(const char* sql) {
    if (!EnsurePipeline()) return;
    if (PQsendQueryParams(conn_, sql, 0, nullptr, nullptr, nullptr, nullptr, 0))
        replies_.emplace_back();
    else
        SendFailed();
}

bool PgLink::Finish(std::string* error) {
    // A query libpq would not send ends the trip there; what was sent before
    // it still runs and is read, and the refusal shows as the last reply.
    std::string refused = std::move(send_error_);
    send_error_.clear();
    auto lost = [&] {
        if (conn_) Lose(refused);
        *error = "the connection to the database server was lost: " + lost_;
        return false;
    };
    if (!conn_ || PQstatus(conn_) == CONNECTION_BAD) return lost();
    if (PQpipelineStatus(conn_) == PQ_PIPELINE_OFF) {
        if (refused.empty()) return true;  // nothing was asked
        replies_.clear();
        replies_.emplace_back();
        replies_.back().error = refused;
        return true;
    }
    if (!PQpipelineSync(conn_) || !Flush()) return lost();
    for (PgReply& reply : replies_) {
        // Each query's results end with a null result.
        for (int guard = 0; guard < 4; ++guard) {
            if (!AwaitResult()) return lost();
            PGresult* res = PQgetResult(conn_);
            if (!res) break;
            switch (PQresultStatus(res)) {
                case PGRES_TUPLES_OK:
                    reply.ok = true;
                    ReadRows(res, &reply);
                    break;
                case PGRES_COMMAND_OK:
                case PGRES_EMPTY_QUERY:
                    reply.ok = true;
                    // The rows an INSERT, UPDATE or DELETE changed.
                    if (reply.count) *reply.count = std::atol(PQcmdTuples(res));
                    break;
                case PGRES_PIPELINE_ABORTED:
                    reply.skipped = true;
                    break;
                default: {
                    reply.ok = false;
                    reply.error = ServerMessage(res);
                    const char* state = PQresultErrorField(res, PG_DIAG_SQLSTATE);
                    reply.state = state ? state : "";
                    break;
                }
            }
            PQclear(res);
            if (PQstatus(conn_) == CONNECTION_BAD) return lost();
        }
    }
    if (!AwaitResult()) return lost();
    PGresult* sync = PQgetResult(conn_);
    bool synced = sync && PQresultStatus(sync) == PGRES_PIPELINE_SYNC;
    PQclear(sync);
    if (!synced || PQstatus(conn_) == CONNECTION_BAD || !PQexitPipelineMode(conn_)) {
        for (const PgReply& r : replies_)
            if (!r.ok && !r.error.empty()) {
                Lose(r.error);
                break;
            }
        return lost();
    }
    if (!refused.empty()) {
        replies_.emplace_back();
        replies_.back().error = refused;
    }
    return true;
}

}  // namespace payroll::db
