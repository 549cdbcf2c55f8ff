#include "support/test_connection.h"

#include <exception>

namespace payroll::testing {

TestConnection::TestConnection(std::unique_ptr<db::Backend> backend)
    : db::Connection(std::move(backend)) {}

TestConnection* TestConnection::Current() {
    return dynamic_cast<TestConnection*>(db::Connection::Current());
}

bool TestConnection::Admit(std::string_view text, std::string* error) {
    if (recorder_) recorder_(text);
    if (fail_at_ > 0 && ++since_armed_ == fail_at_) {
        fail_at_ = 0;
        if (error) *error = "injected fault";
        return false;
    }
    return true;
}

// A text that the road's lost transaction turns away never reaches the
// database: it is neither recorded nor counted towards the fault.
bool TestConnection::Query(std::string_view text, ResultSet* rows, std::string* error) {
    if (!road_lost() && !Admit(text, error)) return false;
    return db::Connection::Query(text, rows, error);
}

bool TestConnection::Count(std::string_view text, long* count, std::string* error) {
    if (!road_lost() && !Admit(text, error)) {
        *count = 0;
        return false;
    }
    return db::Connection::Count(text, count, error);
}

bool TestConnection::Execute(std::string_view text, std::string* error) {
    if (!road_lost() && !Admit(text, error)) return false;
    return db::Connection::Execute(text, error);
}

bool OpenTestConnection(const std::string& url, std::string* error) {
    try {
        std::unique_ptr<db::Backend> backend = db::OpenBackend(url, error);
        if (!backend) return false;
        db::Connection::Install(std::make_unique<TestConnection>(std::move(backend)));
        return true;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return false;
    }
}

}  // namespace payroll::testing
