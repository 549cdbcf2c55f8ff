// PostgreSQL connection URLs: which texts name one, how to show one without
// its password, and how to keep a password out of any message.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace payroll::db {

// True for postgresql://... and postgres://... (any letter case).
bool IsPostgresUrl(std::string_view url);

struct PgUrl {
    // postgresql://user@host:port/database, never with a password or other
    // parameters; "postgresql://(unreadable URL)" when libpq cannot read it.
    std::string display;
    // Texts that must never appear in a message: the password as written in
    // the URL and as decoded.
    std::vector<std::string> secrets;
    // libpq's reason when it cannot read the URL (already scrubbed).
    std::string problem;
};

PgUrl DescribePgUrl(const std::string& url);

// `message` with every secret of four characters or more replaced by "***"
// (shorter ones would mangle ordinary words; libpq does not quote passwords).
std::string ScrubSecrets(std::string message, const std::vector<std::string>& secrets);

}  // namespace payroll::db
