// Bounded reading of the small text files the platform keeps its settings,
// language strings and dialog templates in. A file that is missing, too big
// or full of garbage must never crash a reader or make it allocate without
// limit: lines are cut off at a fixed length and reading stops at a fixed size.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace payroll::config {

struct TextLine {
    std::string text;       // without the line break (and without a trailing CR)
    bool overlong = false;  // the line was longer than the limit; text is empty
};

struct TextLimits {
    std::size_t max_line = 4096;                       // bytes of one line
    std::size_t max_bytes = std::size_t{1024} * 1024;  // bytes read from the file in all
};

// Splits text into lines, dropping a leading UTF-8 byte order mark. Lines
// longer than limits.max_line come back empty and marked overlong; input
// beyond limits.max_bytes is ignored.
std::vector<TextLine> SplitLines(std::string_view text, const TextLimits& limits = {});

// Reads a file whole, at most limits.max_bytes of it. nullopt when the file
// cannot be opened or is not a regular file.
std::optional<std::string> ReadSmallFile(const std::string& path, const TextLimits& limits = {});

// True when text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

}  // namespace payroll::config
