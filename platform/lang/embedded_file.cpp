#include "platform/lang/embedded_file.h"

namespace payroll::embedded {

const EmbeddedFile* FindEmbedded(const EmbeddedFile* files, std::size_t count,
                                 std::string_view name) {
    for (std::size_t i = 0; i < count; ++i)
        if (files[i].data && name == files[i].name) return &files[i];
    return nullptr;
}

}  // namespace payroll::embedded
