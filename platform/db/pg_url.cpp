#include "platform/db/pg_url.h"

#include <libpq-fe.h>
#include <strings.h>

#include <memory>

namespace payroll::db {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// The password as written between "user:" and "@", and in a password=
// parameter, before any decoding.
void RawPasswords(std::string_view url, std::vector<std::string>* out) {
    std::size_t scheme = url.find("://");
    if (scheme != std::string_view::npos) {
        std::string_view rest = url.substr(scheme + 3);
        std::string_view authority = rest.substr(0, rest.find_first_of("/?"));
        std::size_t at = authority.rfind('@');
        if (at != std::string_view::npos) {
            std::string_view userinfo = authority.substr(0, at);
            std::size_t colon = userinfo.find(':');
            if (colon != std::string_view::npos) out->emplace_back(userinfo.substr(colon + 1));
        }
    }
    for (std::size_t p = url.find("password="); p != std::string_view::npos;
         p = url.find("password=", p + 1)) {
        std::string_view value = url.substr(p + 9);
        out->emplace_back(value.substr(0, value.find_first_of("& ")));
    }
}

struct OptionsDeleter {
    void operator()(PQconninfoOption* o) const { PQconninfoFree(o); }
};

}  // namespace

bool IsPostgresUrl(std::string_view url) {
    return StartsWithNoCase(url, "postgresql://") || StartsWithNoCase(url, "postgres://");
}

std::string ScrubSecrets(std::string message, const std::vector<std::string>& secrets) {
    // A replacement may join the text around it into a secret again: passes
    // go on until none is left. Each replacement shortens the message, so
    // they end.
    for (bool replaced = true; replaced;) {
        replaced = false;
        for (const std::string& s : secrets) {
            if (s.size() < 4) continue;
            for (std::size_t p = message.find(s); p != std::string::npos;
                 p = message.find(s, p + 3)) {
                message.replace(p, s.size(), "***");
                replaced = true;
            }
        }
    }
    return message;
}

PgUrl DescribePgUrl(const std::string& url) {
    PgUrl out;
    RawPasswords(url, &out.secrets);
    char* problem = nullptr;
    std::unique_ptr<PQconninfoOption, OptionsDeleter> options(
        PQconninfoParse(url.c_str(), &problem));
    if (!options) {
        out.display = "postgresql://(unreadable URL)";
        out.problem = problem ? problem : "out of memory";
        PQfreemem(problem);
        while (!out.problem.empty() && out.problem.back() == '\n') out.problem.pop_back();
        out.problem = ScrubSecrets(out.problem, out.secrets);
        return out;
    }
    std::string user, host, hostaddr, port, dbname;
    for (PQconninfoOption* o = options.get(); o->keyword; ++o) {
        if (!o->val) continue;
        std::string_view key = o->keyword;
        if (key == "user") user = o->val;
        if (key == "host") host = o->val;
        if (key == "hostaddr") hostaddr = o->val;
        if (key == "port") port = o->val;
        if (key == "dbname") dbname = o->val;
        if (key == "password" && *o->val) out.secrets.emplace_back(o->val);
    }
    if (host.empty()) host = hostaddr;
    // An IPv6 address goes in brackets, as in the URL.
    if (host.find(':') != std::string::npos && host.find(',') == std::string::npos &&
        host.front() != '[')
        host = "[" + host + "]";
    // The scheme is never scrubbed: a password may spell part of it.
    constexpr std::string_view kScheme = "postgresql://";
    std::string rest;
    if (!user.empty()) rest += user + "@";
    rest += host;
    if (!port.empty()) rest += ":" + port;
    rest += "/" + dbname;
    out.display = std::string(kScheme) + ScrubSecrets(rest, out.secrets);
    // A secret that the scheme and the rest spell only together leaves the
    // scheme alone.
    for (const std::string& s : out.secrets) {
        if (s.size() < 4) continue;
        for (std::size_t p = out.display.find(s); p != std::string::npos;
             p = out.display.find(s, p + 1))
            if (p + s.size() > kScheme.size()) out.display = kScheme;
    }
    return out;
}

}  // namespace payroll::db
