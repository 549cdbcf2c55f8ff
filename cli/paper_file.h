// Writing a paper safely: the bytes go to a temporary file beside the final
// one, which takes the final name only once it is whole and on disk. A run
// that fails half-way leaves no file under the final name (and no temporary).
#pragma once

#include <cstdio>
#include <string>

namespace payroll::cli {

class PaperFile {
  public:
    PaperFile() = default;
    ~PaperFile();  // removes the temporary file unless committed
    PaperFile(const PaperFile&) = delete;
    PaperFile& operator=(const PaperFile&) = delete;

    // Creates the temporary file for `path`; false with a message.
    bool Open(const std::string& path, std::string* error);
    // The open temporary file (null before Open).
    std::FILE* stream() const { return file_; }
    // Flushes, syncs and renames the temporary file to its final name; false
    // with a message (the temporary file is then removed).
    bool Commit(std::string* error);

  private:
    std::FILE* file_ = nullptr;
    std::string path_, temp_;
};

// Makes sure `folder` exists (creating it and its parents) and that files
// can be created in it; false with a message.
bool PrepareFolder(const std::string& folder, std::string* error);

// A file name part made safe: anything but letters, digits, '-' and '_'
// becomes '_'.
std::string FileNamePart(const std::string& text);

}  // namespace payroll::cli
