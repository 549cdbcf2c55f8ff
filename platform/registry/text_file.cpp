#include "platform/registry/text_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace payroll::config {

std::vector<TextLine> SplitLines(std::string_view text, const TextLimits& limits) {
    if (text.size() > limits.max_bytes) text = text.substr(0, limits.max_bytes);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<TextLine> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        TextLine out;
        if (line.size() > limits.max_line)
            out.overlong = true;
        else
            out.text.assign(line);
        lines.push_back(std::move(out));
    }
    return lines;
}

std::optional<std::string> ReadSmallFile(const std::string& path, const TextLimits& limits) {
    if (path.empty()) return std::nullopt;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) return std::nullopt;
    std::string data;
    char chunk[8192];
    while (data.size() < limits.max_bytes) {
        std::size_t want = std::min(sizeof chunk, limits.max_bytes - data.size());
        std::size_t got = std::fread(chunk, 1, want, file.get());
        data.append(chunk, got);
        if (got < want) break;
    }
    return data;
}

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra;
        unsigned cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        static constexpr unsigned kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

}  // namespace payroll::config
