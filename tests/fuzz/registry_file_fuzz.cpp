// Any bytes as the registry file: parsing never crashes, lookups of the
// application's keys answer or say "missing", and the settings read from it
// stay within their ranges.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/registry/app_settings.h"
#include "platform/registry/registry.h"
#include "platform/registry/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const payroll::config::Registry registry = payroll::config::Registry::Parse(text);
    if (registry.skipped_lines() < 0) std::abort();
    for (const char* key : {"Software\\Orvantis", "HKEY_LOCAL_MACHINE\\Software\\Orvantis\\Payroll",
                            "software\\orvantis\\\\", ""}) {
        registry.HasKey(key);
        for (const char* name : {"RunApp", "path", "LangKind", "VerKind", ""}) {
            registry.GetString(key, name);
            registry.GetDword(key, name);
        }
    }
    const payroll::config::AppSettings settings = payroll::config::ReadAppSettings(registry);
    if (settings.app_name.size() > payroll::config::kMaxAppNameBytes) std::abort();

    // The key-name normaliser on the whole input, and the line splitter the
    // readers share, with small limits so the cut-offs are exercised.
    const std::string key = payroll::config::NormalizeKeyName(text);
    if (key.size() > size) std::abort();
    payroll::config::TextLimits limits;
    limits.max_line = 64;
    limits.max_bytes = 512;
    std::size_t total = 0;
    for (const auto& line : payroll::config::SplitLines(text, limits)) {
        if (line.overlong && !line.text.empty()) std::abort();
        if (line.text.size() > limits.max_line) std::abort();
        total += line.text.size();
    }
    if (total > limits.max_bytes) std::abort();
    return 0;
}
