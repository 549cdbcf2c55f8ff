// Files built into the library (language texts, dialog templates), so that
// the library works the same when its resources folder cannot be found. The
// build generates the tables from the files under resources/, which stay the
// one source of the data.
#pragma once

#include <cstddef>
#include <string_view>

namespace payroll::embedded {

struct EmbeddedFile {
    const char* name;  // file name without folder, e.g. "G_Mirak.0.txt"
    const unsigned char* data;
    std::size_t size;

    std::string_view text() const {
        return std::string_view(reinterpret_cast<const char*>(data), size);
    }
};

// The built-in language files (platform/lang/module.cmake).
extern const EmbeddedFile kLangFiles[];
extern const std::size_t kLangFilesCount;

// The built-in dialog templates (platform/ui/module.cmake).
extern const EmbeddedFile kDialogFiles[];
extern const std::size_t kDialogFilesCount;

// The embedded file of that name, or nullptr.
const EmbeddedFile* FindEmbedded(const EmbeddedFile* files, std::size_t count,
                                 std::string_view name);

}  // namespace payroll::embedded
