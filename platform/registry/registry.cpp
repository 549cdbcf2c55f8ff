#include "platform/registry/registry.h"

#include <cctype>

#include "platform/registry/paths.h"
#include "platform/registry/text_file.h"

namespace payroll::config {
namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Reads a quoted text starting at text[0] == '"'; handles \\ and \" escapes.
// On success stores the value and the rest after the closing quote.
bool ReadQuoted(std::string_view text, std::string* value, std::string_view* rest) {
    if (text.empty() || text.front() != '"') return false;
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            char next = text[i + 1];
            if (next == '\\' || next == '"') {
                out += next;
                ++i;
                continue;
            }
        }
        if (c == '"') {
            *value = std::move(out);
            *rest = text.substr(i + 1);
            return true;
        }
        out += c;
    }
    return false;  // no closing quote
}

bool ParseHexDword(std::string_view digits, std::uint32_t* out) {
    digits = Trim(digits);
    if (digits.empty() || digits.size() > 8) return false;
    std::uint32_t value = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    *out = value;
    return true;
}

}  // namespace

std::string NormalizeKeyName(std::string_view key) {
    std::string lower = Lower(Trim(key));
    for (std::string_view root : {"hkey_local_machine\\", "hklm\\"}) {
        if (lower.compare(0, root.size(), root) == 0) {
            lower.erase(0, root.size());
            break;
        }
    }
    std::string out;
    for (char c : lower) {
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

Registry Registry::Parse(std::string_view text) {
    Registry reg;
    std::map<std::string, Value>* current = nullptr;
    for (const TextLine& line : SplitLines(text)) {
        if (line.overlong) {
            ++reg.skipped_lines_;
            continue;
        }
        std::string_view s = Trim(line.text);
        if (s.empty() || s.front() == ';' || s.front() == '#') continue;
        if (s.front() == '[') {
            current = nullptr;
            if (s.back() != ']' || s.size() < 3) {
                ++reg.skipped_lines_;
                continue;
            }
            std::string name = NormalizeKeyName(s.substr(1, s.size() - 2));
            if (name.empty() || name.front() == '-') {  // "[-key]" deletes in an export
                ++reg.skipped_lines_;
                continue;
            }
            current = &reg.keys_[name];
            continue;
        }
        if (!current) {  // a value outside any key, or a header line
            if (s.rfind("Windows Registry Editor", 0) != 0 && s != "REGEDIT4") ++reg.skipped_lines_;
            continue;
        }
        std::string name;
        std::string_view rest;
        if (s.front() == '"') {
            if (!ReadQuoted(s, &name, &rest)) {
                ++reg.skipped_lines_;
                continue;
            }
        } else {
            std::size_t eq = s.find('=');
            if (eq == std::string_view::npos) {
                ++reg.skipped_lines_;
                continue;
            }
            name.assign(Trim(s.substr(0, eq)));
            rest = s.substr(eq);
        }
        rest = Trim(rest);
        if (name.empty() || rest.empty() || rest.front() != '=') {
            ++reg.skipped_lines_;
            continue;
        }
        rest = Trim(rest.substr(1));
        std::string text_value;
        std::string_view after;
        std::uint32_t dword = 0;
        if (ReadQuoted(rest, &text_value, &after) && Trim(after).empty()) {
            (*current)[Lower(name)] = std::move(text_value);
        } else if (Lower(rest.substr(0, 6)) == "dword:" && ParseHexDword(rest.substr(6), &dword)) {
            (*current)[Lower(name)] = dword;
        } else {
            ++reg.skipped_lines_;
        }
    }
    return reg;
}

Registry Registry::Load(const std::string& path) {
    std::optional<std::string> text = ReadSmallFile(path);
    return text ? Parse(*text) : Registry();
}

Registry Registry::LoadDefault() {
    return Load(RegistryFilePath());
}

bool Registry::HasKey(std::string_view key) const {
    return keys_.count(NormalizeKeyName(key)) != 0;
}

const Registry::Value* Registry::Find(std::string_view key, std::string_view name) const {
    auto k = keys_.find(NormalizeKeyName(key));
    if (k == keys_.end()) return nullptr;
    auto v = k->second.find(Lower(name));
    return v == k->second.end() ? nullptr : &v->second;
}

std::optional<std::string> Registry::GetString(std::string_view key, std::string_view name) const {
    const Value* v = Find(key, name);
    if (!v || !std::holds_alternative<std::string>(*v)) return std::nullopt;
    return std::get<std::string>(*v);
}

std::optional<std::uint32_t> Registry::GetDword(std::string_view key, std::string_view name) const {
    const Value* v = Find(key, name);
    if (!v || !std::holds_alternative<std::uint32_t>(*v)) return std::nullopt;
    return std::get<std::uint32_t>(*v);
}

}  // namespace payroll::config
