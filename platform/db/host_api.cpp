#include <algorithm>
#include <exception>
#include <fstream>
#include <sstream>

#include "payroll/host.h"
#include "platform/db/connection.h"
#include "platform/registry/paths.h"

namespace payroll {

using db::Connection;

namespace {

bool Open(const std::string& url, std::string* error, bool to_read) {
    try {
        std::string message;
        if (Connection::Open(url, &message, to_read)) return true;
        if (error) *error = message;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
    }
    return false;
}

}  // namespace

bool OpenDatabase(const std::string& url, std::string* error) {
    return Open(url, error, false);
}

bool OpenDatabaseToRead(const std::string& url, std::string* error) {
    return Open(url, error, true);
}

void CloseDatabase() {
    Connection::Install(nullptr);
}

bool IsDatabaseOpen() {
    return Connection::Current() != nullptr;
}

std::string DatabaseDisplayName() {
    Connection* c = Connection::Current();
    return c ? c->backend().DisplayName() : std::string();
}

bool ApplySchema(std::vector<std::string>* created, std::string* error) {
    try {
        Connection* c = Connection::Current();
        if (!c) {
            if (error) *error = "no database is open";
            return false;
        }
        std::string path = config::ResourceFolder() + "/schema.sql";
        std::ifstream in(path);
        if (!in) {
            if (error) *error = "cannot read " + path;
            return false;
        }
        std::stringstream text;
        text << in.rdbuf();

        std::vector<std::string> before, after;
        std::string message;
        if (!c->backend().ListTables(&before, &message) ||
            !c->backend().RunNative(text.str(), &message) ||
            !c->backend().ListTables(&after, &message)) {
            if (error) *error = "schema: " + message;
            return false;
        }
        if (created) {
            created->clear();
            for (const std::string& t : after)
                if (std::find(before.begin(), before.end(), t) == before.end())
                    created->push_back(t);
            std::sort(created->begin(), created->end());
        }
        return true;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return false;
    }
}

TransactionOutcome LastTransactionOutcome() {
    Connection* c = Connection::Current();
    return c ? c->last_outcome() : TransactionOutcome::kNone;
}

void ResetTransactionOutcome() {
    if (Connection* c = Connection::Current()) c->reset_outcome();
}

std::string LastDatabaseError() {
    Connection* c = Connection::Current();
    return c ? c->last_error() : std::string();
}

}  // namespace payroll
