#include "platform/db/connection.h"

#include <algorithm>
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

bool Connection::Open(const std::string& url, std::string* error, bool to_read) {
    std::unique_ptr<Backend> backend = OpenBackend(url, error, to_read);
    if (!backend) return false;
    Install(std::make_unique<Connection>(std::move(backend)));
    return true;
}

void Connection::Install(std::unique_ptr<Connection> connection) {
    Slot() = std::move(connection);
}

void Connection::Fail(std::string* error, const std::string& message) {
    last_error_ = message;
    if (error) *error = message;
}

void Connection::Observe(std::string_view text) {
    ++texts_sent_;
    if (ProcessObserver observer = ProcessObserverSlot()) observer(text, texts_sent_);
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
        reads_.Forget();
        depth_ = 0;
        last_outcome_ = TransactionOutcome::kRolledBack;
        report::RolledBack();
    }
}

const Connection::WriteTarget& Connection::TargetOf(const tsql::Statement& st) {
    static thread_local WriteTarget scratch;
    WriteTarget* target = &scratch;
    if (st.cached) {
        auto [it, added] = write_targets_.try_emplace(st.sql);
        if (!added) return it->second;
        target = &it->second;
    }
    report::Change change = report::Change::kInserted;
    *target = WriteTarget{};
    target->known = report::WriteTarget(*st.sql, &change, &target->table);
    target->change = static_cast<int>(change);
    if (target->known) target->mark = reads_.MarkOf(target->table);
    return *target;
}

void Connection::Tally(const tsql::Statement& st, long changed) {
    const WriteTarget& target = TargetOf(st);
    if (!target.known) {
        reads_.Forget();
        return;
    }
    // A write that changed no row leaves every read as it was.
    if (changed <= 0) return;
    reads_.Wrote(target.mark);
    report::NoteChange(target.table, static_cast<report::Change>(target.change), changed);
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
        // The backend replaces the rows (their column names, when the same
        // statement named them last, stay as they are).
        bool wants_rows = rows && st.returns_rows;
        long changed = 0;
        ++statements_run_;
        if (!backend_->Run(st, wants_rows ? rows : nullptr, st.returns_rows ? nullptr : &changed,
                           &message)) {
            if (!st.returns_rows) reads_.Forget();
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

bool Connection::Read(std::string_view text, ResultSet* rows, std::string* error) {
    const bool reusing = Reusing();
    const std::size_t hash = reusing ? ReadReuse::HashOf(text) : 0;
    if (reusing) {
        if (const ResultSet* kept = reads_.Find(text, hash)) {
            *rows = *kept;
            return true;
        }
    }
    if (!Translate(text, &scratch_, error)) return false;
    const bool yields = std::any_of(scratch_.begin(), scratch_.end(),
                                    [](const tsql::Statement& st) { return st.returns_rows; });
    if (!yields) rows->Clear();
    if (!RunAll(scratch_, rows, error)) {
        rows->Clear();
        return false;
    }
    if (reusing && scratch_.size() == 1 && scratch_[0].cached && scratch_[0].returns_rows)
        reads_.Offer(text, hash, scratch_[0].sql, *rows);
    return true;
}

bool Connection::Query(std::string_view text, ResultSet* rows, std::string* error) {
    try {
        if (!RoadAllows(error)) return false;
        Observe(text);
        if (counted_valid_ && counted_generation_ == generation_ && counted_text_ == text) {
            counted_valid_ = false;
            ++counted_reused_;
            // Swapped rather than moved, so that both keep their buffers;
            // a large one is not kept once handed over.
            std::swap(*rows, counted_rows_);
            counted_rows_.LetGoIfLarge();
            return true;
        }
        counted_valid_ = false;
        return Read(text, rows, error);
    } catch (const std::exception& e) {
        Fail(error, std::string("database failure: ") + e.what());
        return false;
    }
}

bool Connection::Count(std::string_view text, long* count, std::string* error) {
    try {
        *count = 0;
        if (!RoadAllows(error)) return false;
        Observe(text);
        counted_valid_ = false;
        if (!Read(text, &counted_rows_, error)) return false;
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

bool Connection::RoadAllows(std::string* error) {
    if (!road_lost()) return true;
    Fail(error, "the road's transaction was rolled back; the rest of the road does not run");
    return false;
}

bool Connection::LockRoads(const std::vector<std::string>& shared,
                           const std::vector<std::string>& names, std::string* error) {
    roads_locked_ = true;
    std::string message;
    for (const std::string& name : shared)
        if (!backend_->LockName(name, true, &message)) {
            UnlockRoads();
            Fail(error, message);
            return false;
        }
    for (const std::string& name : names)
        if (!backend_->LockName(name, false, &message)) {
            UnlockRoads();
            Fail(error, message);
            return false;
        }
    return true;
}

void Connection::UnlockRoads() {
    if (!roads_locked_) return;
    roads_locked_ = false;
    backend_->UnlockNames();
}

bool Connection::Execute(std::string_view text, std::string* error) {
    try {
        if (!RoadAllows(error)) return false;
        Observe(text);
        counted_valid_ = false;
        Wrote();
        if (!Translate(text, &scratch_, error)) return false;
        if (scratch_.size() <= 1) return RunAll(scratch_, nullptr, error);

        // Several statements: run them as one unit, so a failure part-way
        // leaves nothing of the text behind.
        std::string message;
        bool outer = depth_ == 0;
        // Inside a transaction a backend whose batches are whole on their
        // own needs no savepoint around them.
        const bool guarded = outer || !backend_->AtomicBatch();
        if (guarded && (outer ? !backend_->RunNative(backend_->BeginStatement(), &message)
                              : !Native("SAVEPOINT payroll_text", &message))) {
            Fail(error, message);
            return false;
        }
        statements_run_ += static_cast<long>(scratch_.size());
        if (backend_->RunBatch(scratch_, &message, &changes_) &&
            (!guarded || (outer ? backend_->RunNative("COMMIT", &message)
                                : Native("RELEASE payroll_text", &message)))) {
            for (std::size_t i = 0; i < scratch_.size() && i < changes_.size(); ++i)
                Tally(scratch_[i], changes_[i]);
            Settled();
            return true;
        }
        Fail(error, message);
        // Whatever ran of the text is undone.
        reads_.Forget();
        std::string ignored;
        if (outer) {
            backend_->RunNative("ROLLBACK", &ignored);
        } else if (guarded && backend_->InTransaction()) {
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

bool Connection::Native(const char* sql, std::string* error) {
    ++statements_run_;
    return backend_->RunNative(sql, error);
}

bool Connection::Begin(std::string* error) {
    if (!RoadAllows(error)) return false;
    counted_valid_ = false;
    if (depth_ == 0) reads_.Forget();
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
    if (depth_ <= 1) reads_.Forget();
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
    reads_.Forget();
    Wrote();
    if (depth_ == 0) return;
    depth_ = 0;
    std::string ignored;
    if (backend_->InTransaction()) backend_->RunNative("ROLLBACK", &ignored);
    last_outcome_ = TransactionOutcome::kRolledBack;
    report::RolledBack();
}

}  // namespace payroll::db
