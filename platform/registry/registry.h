// The read-only registry: a text file in the layout of a registry export.
//
//   ; comment
//   [Software\Orvantis]
//   "RunApp"="Payroll"          (quotes around the name are optional)
//   [Software\Orvantis\Payroll]
//   path="/opt/payroll"
//   LangKind=dword:00000001     (hexadecimal, as registry exports write it)
//
// Key and value names compare without regard to ASCII case, as the registry
// does; a leading "HKEY_LOCAL_MACHINE\" on a key name is dropped. Lines that
// do not parse are skipped, and a value written twice keeps the last one.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace payroll::config {

class Registry {
  public:
    // An empty registry: every key is missing.
    Registry() = default;

    static Registry Parse(std::string_view text);
    // The registry of a file; empty when the file is missing or unreadable.
    static Registry Load(const std::string& path);
    // The registry of RegistryFilePath().
    static Registry LoadDefault();

    bool HasKey(std::string_view key) const;
    // A string value; nullopt when the key or value is missing or not a string.
    std::optional<std::string> GetString(std::string_view key, std::string_view name) const;
    // A 32-bit value; nullopt when missing or not a dword.
    std::optional<std::uint32_t> GetDword(std::string_view key, std::string_view name) const;

    // Lines skipped as unreadable while parsing (for diagnostics and tests).
    int skipped_lines() const { return skipped_lines_; }

  private:
    using Value = std::variant<std::string, std::uint32_t>;
    const Value* Find(std::string_view key, std::string_view name) const;

    std::map<std::string, std::map<std::string, Value>> keys_;  // lower-cased names
    int skipped_lines_ = 0;
};

// Lower-cases ASCII letters and normalises a key name: no surrounding blanks,
// no leading "HKEY_LOCAL_MACHINE\" (or "HKLM\"), no doubled or trailing "\".
std::string NormalizeKeyName(std::string_view key);

}  // namespace payroll::config
