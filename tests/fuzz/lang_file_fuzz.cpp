// Any bytes as a language file: the parser keeps only well-formed entries
// (ids in range, valid UTF-8 without control characters), and every text it
// keeps can be used as a message format without reaching printf unchecked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/lang/format_spec.h"
#include "platform/lang/lang_table.h"
#include "platform/registry/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const payroll::lang::LangTable table = payroll::lang::ParseLangText(text);
    if (table.skipped_lines < 0) std::abort();
    for (const auto& [id, value] : table.texts) {
        if (id < payroll::lang::kMinTextId || id > payroll::lang::kMaxTextId) std::abort();
        if (!payroll::config::IsValidUtf8(value)) std::abort();
    }

    // The text itself as a format with each kind of argument the library
    // passes: whatever it holds, formatting is checked or refused.
    const std::vector<std::vector<payroll::lang::FormatArg>> argument_sets = {
        {}, {std::string("1000")}, {123456789LL}, {1234.5}, {std::string("%n%s"), 7LL, -2.5}};
    std::vector<payroll::lang::Conversion> conversions;
    const bool parsed = payroll::lang::ParseConversions(text, &conversions);
    for (const auto& args : argument_sets) {
        std::string out;
        const bool formatted = payroll::lang::FormatChecked(text, args, &out);
        if (formatted && !parsed) std::abort();
        if (formatted && !payroll::lang::ConversionsMatch(conversions, args)) std::abort();
    }
    for (const auto& c : conversions) {
        if (c.begin >= c.end || c.end > text.size()) std::abort();
        if (c.width > payroll::lang::kMaxFieldWidth || c.precision > payroll::lang::kMaxFieldWidth)
            std::abort();
    }
    const std::string grouped = payroll::lang::GroupThousands(text);
    if (grouped.size() < size) std::abort();
    return 0;
}
