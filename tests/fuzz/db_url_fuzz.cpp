// Any bytes as a database URL (the host's --db or $PAYROLL_DB): the choice of
// backend and, for a PostgreSQL URL, libpq's reading of it, its display name
// and the secrets kept out of messages, all without opening anything. No
// password the text carries may reach a message or the display name, and the
// message of an unknown URL repeats its scheme at most.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/open_backend.h"
#include "platform/db/pg_url.h"

namespace {

using payroll::db::BackendChoice;
using payroll::db::BackendKind;

// The texts a message must not hold: the URL's secrets long enough to be
// scrubbed (shorter ones are left, as they would mangle ordinary words).
void CheckNoSecret(const std::string& text, const std::vector<std::string>& secrets) {
    for (const std::string& s : secrets)
        if (s.size() >= 4 && text.find(s) != std::string::npos) std::abort();
}

void CheckPgUrl(const std::string& url) {
    const payroll::db::PgUrl described = payroll::db::DescribePgUrl(url);
    // The display name is the scheme and what the URL names, none of it a
    // secret (the scheme itself may spell one by chance); an unreadable URL
    // shows the same text whatever it holds.
    constexpr std::string_view kScheme = "postgresql://";
    const std::string& display = described.display;
    if (display.rfind(kScheme, 0) != 0) std::abort();
    if (display != "postgresql://(unreadable URL)")
        for (const std::string& s : described.secrets) {
            if (s.size() < 4) continue;
            for (std::size_t p = display.find(s); p != std::string::npos;
                 p = display.find(s, p + 1))
                if (p + s.size() > kScheme.size()) std::abort();
        }
    CheckNoSecret(described.problem, described.secrets);
    // Scrubbing leaves nothing to scrub, whatever surrounds the secrets.
    for (const std::string& s : described.secrets) {
        std::string message = "x";
        message.append(s).append(s).append("y").append(url);
        CheckNoSecret(payroll::db::ScrubSecrets(message, described.secrets), described.secrets);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string url(reinterpret_cast<const char*>(data), size);
    const BackendChoice choice = payroll::db::ChooseBackend(url);
    switch (choice.kind) {
        case BackendKind::kSqlite:
            if (url.rfind("sqlite:", 0) != 0 || "sqlite:" + choice.target != url) std::abort();
            break;
        case BackendKind::kPostgres:
            if (!payroll::db::IsPostgresUrl(url) || choice.target != url) std::abort();
            break;
        case BackendKind::kUnknown: {
            if (choice.error.empty() || !choice.target.empty()) std::abort();
            // The message depends on the scheme alone (a text without one
            // gets the same message as any other), and it repeats nothing
            // but a scheme's characters: never a user, a password or a
            // connection string's settings.
            const std::size_t colon = url.find(':');
            const std::string scheme = colon == std::string::npos ? "" : url.substr(0, colon + 1);
            if (payroll::db::ChooseBackend(scheme).error != choice.error) std::abort();
            const std::size_t open = choice.error.find('\'');
            if (open != std::string::npos) {
                const std::size_t close = choice.error.find('\'', open + 1);
                if (close == std::string::npos) std::abort();
                for (char c : choice.error.substr(open + 1, close - open - 1))
                    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' &&
                        c != '.')
                        std::abort();
            }
            break;
        }
    }

    // libpq reads what OpenPostgresBackend would hand it; any other text is
    // read as the rest of such a URL too.
    CheckPgUrl(payroll::db::IsPostgresUrl(url) ? url : "postgresql://" + url);
    return 0;
}
