// A backend that runs everything on another one and shows each statement on
// its way: what the connection really sends the database, translated and
// with its values bound. Tests see through it which statements a text became
// (and which texts reached the database at all); the benchmarks replay what
// it saw. Installed under a connection of its own:
//
//   auto backend = std::make_unique<RecordingBackend>(db::OpenBackend(url, &error));
//   RecordingBackend* recorder = backend.get();
//   db::Connection::Install(std::make_unique<db::Connection>(std::move(backend)));
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/db/backend.h"

namespace payroll::testing {

class RecordingBackend final : public db::Backend {
  public:
    // A statement as sent: its SQL, its values, and whether it is of the
    // backend's own SQL (a transaction's begin and end, a savepoint), sent
    // as it stands.
    using Observer = std::function<void(std::string_view sql,
                                        const std::vector<tsql::BoundValue>& values, bool native)>;

    explicit RecordingBackend(std::unique_ptr<db::Backend> inner) : inner_(std::move(inner)) {}

    // Sees every statement from now on, before it runs; nullptr stops it.
    void Observe(Observer observer) { observer_ = std::move(observer); }

    tsql::Target target() const override { return inner_->target(); }
    bool Run(const tsql::Statement& statement, ResultSet* rows, long* count,
             std::string* error) override {
        if (observer_) observer_(*statement.sql, statement.values, false);
        return inner_->Run(statement, rows, count, error);
    }
    bool RunBatch(const std::vector<tsql::Statement>& statements, std::string* error,
                  std::vector<long>* changes) override {
        if (observer_)
            for (const tsql::Statement& st : statements) observer_(*st.sql, st.values, false);
        return inner_->RunBatch(statements, error, changes);
    }
    bool AtomicBatch() const override { return inner_->AtomicBatch(); }
    bool RunNative(std::string_view sql, std::string* error) override {
        if (observer_) observer_(sql, {}, true);
        return inner_->RunNative(sql, error);
    }
    bool ListTables(std::vector<std::string>* names, std::string* error) override {
        return inner_->ListTables(names, error);
    }
    bool InTransaction() const override { return inner_->InTransaction(); }
    bool StableReads() const override { return inner_->StableReads(); }
    const char* BeginStatement() const override { return inner_->BeginStatement(); }
    bool LockName(const std::string& name, bool shared, std::string* error) override {
        return inner_->LockName(name, shared, error);
    }
    void UnlockNames() override { inner_->UnlockNames(); }
    std::string DisplayName() const override { return inner_->DisplayName(); }

  private:
    std::unique_ptr<db::Backend> inner_;
    Observer observer_;
};

}  // namespace payroll::testing
