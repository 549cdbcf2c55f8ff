#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "payroll/host.h"
#include "platform/db/connection.h"

namespace payroll {

using db::Connection;

bool OpenDatabase(const std::string& url, std::string* error) {
    try {
        std::string message;
        if (Connection::Open(url, &message)) return true;
        if (error) *error = message;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
    }
    return false;
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

namespace {

// The installed resources of the library file this code was loaded from:
// <libdir>/libpayroll.so.0 finds <prefix>/share/payroll beside it even when
// the whole prefix was moved (a staging folder, a package root), else the
// folder the build was configured to install to. Empty for a program of the
// build tree (its resources are the source tree's, never a stale installed
// copy) and when neither folder holds the schema.
std::string InstalledResources() {
#if defined(PAYROLL_INSTALL_RESOURCES) && defined(PAYROLL_RESOURCES_FROM_LIBDIR) && \
    defined(PAYROLL_BUILD_DIR)
    namespace fs = std::filesystem;
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ResourceDirectory), &info) || !info.dli_fname ||
        !*info.dli_fname)
        return {};
    std::error_code ec;
    fs::path library = fs::weakly_canonical(info.dli_fname, ec);
    if (ec || library.empty()) return {};
    fs::path build = fs::weakly_canonical(PAYROLL_BUILD_DIR, ec);
    if (!ec && std::mismatch(build.begin(), build.end(), library.begin(), library.end()).first ==
                   build.end())
        return {};
    for (const fs::path& folder :
         {(library.parent_path() / PAYROLL_RESOURCES_FROM_LIBDIR).lexically_normal(),
          fs::path(PAYROLL_INSTALL_RESOURCES)}) {
        if (fs::exists(folder / "schema.sql", ec)) return folder.string();
    }
#endif
    return {};
}

}  // namespace

std::string ResourceDirectory() {
    try {
        if (const char* env = std::getenv("PAYROLL_RESOURCES"); env && *env) return env;
        if (std::string installed = InstalledResources(); !installed.empty()) return installed;
    } catch (const std::exception&) {
        // An unusable path: the source tree below.
    }
    return PAYROLL_SOURCE_DIR "/resources";
}

bool ApplySchema(std::vector<std::string>* created, std::string* error) {
    try {
        Connection* c = Connection::Current();
        if (!c) {
            if (error) *error = "no database is open";
            return false;
        }
        std::string path = ResourceDirectory() + "/schema.sql";
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
