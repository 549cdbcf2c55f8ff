// Any text through the dialect layer, for both targets: Translate must return
// (true or false with a message), never crash, never hang, and a second
// translation of the same text, served from the shape cache, must give the
// same statements as the first.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/tsql/translate.h"

namespace {

using payroll::tsql::Statement;
using payroll::tsql::Target;
using payroll::tsql::Translator;

struct Copy {
    std::string sql;
    std::vector<std::pair<int, std::string>> values;
    bool returns_rows = false;
    bool operator==(const Copy&) const = default;
};

std::vector<Copy> Keep(const std::vector<Statement>& statements) {
    std::vector<Copy> out;
    for (const Statement& st : statements) {
        if (!st.sql) std::abort();  // a translated statement always has its text
        Copy c{*st.sql, {}, st.returns_rows};
        for (const auto& v : st.values) c.values.emplace_back(static_cast<int>(v.kind), v.text);
        out.push_back(std::move(c));
    }
    return out;
}

void Check(Translator& translator, std::string_view text) {
    std::vector<Statement> first, second;
    std::string error;
    const bool ok = translator.Translate(text, &first, &error);
    if (!ok && !first.empty()) std::abort();  // a refusal leaves no statements
    if (!ok && error.empty()) std::abort();   // and says why
    const std::vector<Copy> kept = Keep(first);
    std::string error2;
    if (translator.Translate(text, &second, &error2) != ok) std::abort();
    if (ok && Keep(second) != kept) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Kept small so that the caches' own limits come into play now and then.
    static Translator sqlite(Target::kSqlite, 64);
    static Translator postgres(Target::kPostgres, 64);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Check(sqlite, text);
    Check(postgres, text);
    return 0;
}
