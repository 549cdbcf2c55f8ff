#include "platform/db/connection.h"

#include <exception>

#include "platform/db/road_report.h"

namespace payroll::db {
namespace {

std::unique_ptr<Connection>& Slot() {
    static std::unique_ptr<Connection> current;
    return current;
}

Connection::ProcessObserver& ProcessObserverSlot() {
    static Connection::ProcessObserver observer = nullptr;
    return observer;
}

}  // namespace

Connection::Connection(std::unique_ptr<Backend> backend)
    : backend_(std::move(backend)), translator_(backend_->target()) {}

Connection::~Connection() {
    if (depth_ > 0) {
        std::string ignored;
        backend_->RunNative("ROLLBACK", &ignored);
    }
}

void Connection::InstallProcessObserver(ProcessObserver observer) {
    ProcessObserverSlot() = observer;
}

Connection* Connection::Current() {
    return Slot().get();
}

bool Connection::Open(const std::string& url, std::string* error) {
    std::unique_ptr<Backend> backend = OpenBackend(url, error);
    if (!backend) return false;
    Install(std::make_unique<Connection>(std::move(backend)));
    return true;
}

void Connection::Install(std::unique_ptr<Connection> connection) {
    Slot() = std::move(connection);
}

void Connection::Fail(std::string* error, const std::string& message) {
    ++failures_;
    last_error_ = message;
    if (error) *error = message;
}

bool Connection::Admit(std::string_view text, std::string* error) {
    ++texts_sent_;
    if (recorder_) recorder_(text);
    if (ProcessObserver observer = ProcessObserverSlot()) observer(text, texts_sent_);
    if (fail_at_ > 0 && ++sent_since_arm_ == fail_at_) {
        fail_at_ = 0;
        Fail(error, "injected fault");
        return false;
    }
    return true;
}

bool Connection::Translate(std::string_view text, std::vector<tsql::Statement>* out,
                           std::string* error) {
    std::string message;
    if (!translator_.Translate(text, out, &message)) {
        Fail(error, "cannot translate statement: " + message);
        return false;
    }
    return true;
}

void Connection::NoticeLostTransaction() {
    // Some failures make the backend roll back on its own; the depth must
    // follow, or a later commit would claim work that is gone.
    if (depth_ > 0 && !backend_->InTransaction()) {
        depth_ = 0;
        last_outcome_ = TransactionOutcome::kRolledBack;
        report::RolledBack();
    }
}

void Connection::Tally(const tsql::Statement& st, long changed) {
    report::Change change;
    std::string table;
    if (changed <= 0 || !report::WriteTarget(*st.sql, &change, &table)) return;
    report::NoteChange(table, change, changed);
}

void Connection::Settled() {
    // Outside a transaction a write is kept as soon as it ran.
    if (depth_ == 0) report::Committed();
}

void Connection::NoteResultStored() {
    report::NoteResultStored();
    Settled();
}

bool Connection::RunAll(const std::vector<tsql::Statement>& statements, ResultSet* rows,
                        std::string* error) {
    std::string message;
    bool wrote = false;
    for (const tsql::Statement& st : statements) {
        bool wants_rows = rows && st.returns_rows;
        if (wants_rows) rows->Clear();
        long changed = 0;
        if (!backend_->Run(st, wants_rows ? rows : nullptr, st.returns_rows ? nullptr : &changed,
                           &message)) {
            Fail(error, message);
            NoticeLostTransaction();
            return false;
        }
        if (!st.returns_rows) {
            Wrote();
            Tally(st, changed);
            wrote = true;
        }
    }
    if (wrote) Settled();
    return true;
}

bool Connection::Query(std::string_view text, ResultSet* rows, std::string* error) {
    try {
        if (!Admit(text, error)) return false;
        if (counted_valid_ && counted_generation_ == generation_ && counted_text_ == text) {
            counted_valid_ = false;
            *rows = std::move(counted_rows_);
            counted_rows_.Clear();
            return true;
        }
        counted_valid_ = false;
        if (!Translate(text, &scratch_, error)) return false;
        rows->Clear();
        return RunAll(scratch_, rows, error);
    } catch (const std::exception& e) {
        Fail(error, std::string("database failure: ") + e.what());
        return false;
    }
}

bool Connection::Count(std::string_view text, long* count, std::string* error) {
    try {
        *count = 0;
        if (!Admit(text, error)) return false;
        counted_valid_ = false;
        if (!Translate(text, &scratch_, error)) return false;
        counted_rows_.Clear();
        if (!RunAll(scratch_, &counted_rows_, error)) return false;
        *count = static_cast<long>(counted_rows_.RowCount());
        counted_text_.assign(text);
        counted_generation_ = generation_;
        counted_valid_ = true;
        return true;
    } catch (const std::exception& e) {
        Fail(error, std::string("database failure: ") + e.what());
        return false;
    }
}

bool Connection::Execute(std::string_view text, std::string* error) {
    try {
        if (!Admit(text, error)) return false;
        counted_valid_ = false;
        Wrote();
        if (!Translate(text, &scratch_, error)) return false;
        if (scratch_.size() <= 1) return RunAll(scratch_, nullptr, error);

        // Several statements: run them as one unit, so a failure part-way
        // leaves nothing of the text behind.
        std::string message;
        bool outer = depth_ == 0;
        if (!backend_->RunNative(outer ? backend_->BeginStatement() : "SAVEPOINT payroll_text",
                                 &message)) {
            Fail(error, message);
            return false;
        }
        if (!backend_->RunBatch(scratch_, &message, &changes_)) {
            Fail(error, message);
        } else if (backend_->RunNative(outer ? "COMMIT" : "RELEASE payroll_text", &message)) {
            for (std::size_t i = 0; i < scratch_.size() && i < changes_.size(); ++i)
                Tally(scratch_[i], changes_[i]);
            Settled();
            return true;
        } else {
            Fail(error, message);
        }
        std::string ignored;
        if (outer) {
            backend_->RunNative("ROLLBACK", &ignored);
        } else if (backend_->InTransaction()) {
            backend_->RunNative("ROLLBACK TO payroll_text", &ignored);
            backend_->RunNative("RELEASE payroll_text", &ignored);
        }
        NoticeLostTransaction();
        return false;
    } catch (const std::exception& e) {
        Fail(error, std::string("database failure: ") + e.what());
        return false;
    }
}

bool Connection::Begin(std::string* error) {
    counted_valid_ = false;
    if (depth_ == 0) {
        std::string message;
        if (!backend_->RunNative(backend_->BeginStatement(), &message)) {
            Fail(error, message);
            return false;
        }
    }
    ++depth_;
    return true;
}

bool Connection::Commit(std::string* error) {
    counted_valid_ = false;
    NoticeLostTransaction();
    if (depth_ == 0) return true;
    if (depth_ > 1) {
        --depth_;
        return true;
    }
    depth_ = 0;
    std::string message;
    if (backend_->RunNative("COMMIT", &message)) {
        last_outcome_ = TransactionOutcome::kCommitted;
        report::Committed();
        return true;
    }
    std::string ignored;
    if (backend_->InTransaction()) backend_->RunNative("ROLLBACK", &ignored);
    last_outcome_ = TransactionOutcome::kRolledBack;
    report::RolledBack();
    Fail(error, message);
    return false;
}

void Connection::Rollback() {
    counted_valid_ = false;
    Wrote();
    if (depth_ == 0) return;
    depth_ = 0;
    std::string ignored;
    if (backend_->InTransaction()) backend_->RunNative("ROLLBACK", &ignored);
    last_outcome_ = TransactionOutcome::kRolledBack;
    report::RolledBack();
}

}  // namespace payroll::db
