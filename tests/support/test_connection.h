// The connection the test kit opens every test database with: the library's
// own connection over the test database's backend, and in front of it what
// tests need and the library never carries, the way a fault-injection
// environment wraps a real one. It shows every text the engine sends, as
// sent, to a recorder, and makes a chosen text fail the way a statement the
// database refused fails; everything else runs on the connection behind it
// unchanged.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/db/connection.h"

namespace payroll::testing {

class TestConnection final : public db::Connection {
  public:
    using Recorder = std::function<void(std::string_view text)>;

    explicit TestConnection(std::unique_ptr<db::Backend> backend);

    // The process's connection when the test kit opened it, else nullptr.
    static TestConnection* Current();

    // Sees every text from now on, exactly as the engine sent it, before it
    // runs (a text the fault fails included); nullptr stops it.
    void SetRecorder(Recorder recorder) { recorder_ = std::move(recorder); }
    // Makes the k-th text from now (1-based) fail with "injected fault"
    // instead of running; 0 disarms.
    void FailAt(long k) {
        fail_at_ = k;
        since_armed_ = 0;
    }

    bool Query(std::string_view text, ResultSet* rows, std::string* error) override;
    bool Count(std::string_view text, long* count, std::string* error) override;
    bool Execute(std::string_view text, std::string* error) override;

  private:
    // Records the text; false, with the fault's message, for the text that
    // is to fail.
    bool Admit(std::string_view text, std::string* error);

    Recorder recorder_;
    long fail_at_ = 0;
    long since_armed_ = 0;
};

// Opens the database of `url` as the process's connection, behind a
// TestConnection. False with the reason when it cannot be opened.
bool OpenTestConnection(const std::string& url, std::string* error);

}  // namespace payroll::testing
