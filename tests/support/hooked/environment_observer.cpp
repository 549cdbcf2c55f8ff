// Linked only into the test build of the library (build/hooked/), never into
// the one that is installed or packaged: orders that a test gives the host
// process it starts, read from the environment when the library loads.
//   PAYROLL_KILL_AT_STATEMENT=k   the process kills itself with SIGKILL when
//                                 its k-th statement text arrives, before
//                                 that text runs (crash tests);
//   PAYROLL_STATEMENT_LOG=PATH    every text is appended to PATH as
//                                 "<byte count> <text>\n", before it runs.
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/db/connection.h"

namespace {

long kill_at = 0;
int statement_log = -1;

void Observe(std::string_view text, long ordinal) {
    if (statement_log >= 0) {
        // One write per record (O_APPEND): a kill never leaves half of one.
        std::string record = std::to_string(text.size()) + ' ';
        record.append(text);
        record += '\n';
        if (::write(statement_log, record.data(), record.size()) < 0) {
            ::close(statement_log);
            statement_log = -1;
        }
    }
    if (kill_at > 0 && ordinal == kill_at) std::raise(SIGKILL);
}

const bool installed = [] {
    if (const char* k = std::getenv("PAYROLL_KILL_AT_STATEMENT"); k && *k)
        kill_at = std::strtol(k, nullptr, 10);
    if (const char* path = std::getenv("PAYROLL_STATEMENT_LOG"); path && *path)
        statement_log = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (kill_at > 0 || statement_log >= 0)
        payroll::db::Connection::InstallProcessObserver(&Observe);
    return true;
}();

}  // namespace
