// Writing a paper safely: the bytes go to a temporary file beside the final
// one, which takes the final name only once it is whole and on disk. A run
// that fails half-way leaves no file under the final name (and no temporary),
// and a file it would have replaced stays as it was.
//
// The temporary file of `<folder>/<name>` is `<folder>/.<name>.tmp-<pid>`. It
// is removed when the paper fails, when the process is ended by SIGINT,
// SIGTERM or SIGHUP, and (for a process that was killed outright) by the next
// run that writes the same paper (the handler is payroll::print::GuardSignals,
// which Open installs).
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace payroll::print {

class PaperFile {
  public:
    PaperFile() = default;
    ~PaperFile();  // removes the temporary file unless committed
    PaperFile(const PaperFile&) = delete;
    PaperFile& operator=(const PaperFile&) = delete;

    // Creates the temporary file for `path` (after removing stale ones of
    // the same paper); false with a message. One paper is written at a time.
    bool Open(const std::string& path, std::string* error);
    // Appends bytes. False once any write has failed: the first failure is
    // kept and reported by Commit.
    bool Write(const void* data, std::size_t size);
    // True once a write has failed.
    bool failed() const { return errno_ != 0; }
    // Why the first write failed ("" when none did).
    std::string FailureReason() const;
    // Writes out what is buffered, syncs, closes and renames the temporary
    // file to its final name; false with a message naming the file and the
    // reason (the temporary file is then removed and the final name is left
    // as it was).
    bool Commit(std::string* error);

  private:
    bool Flush();
    bool WriteAll(const char* data, std::size_t size);
    void Discard();

    int fd_ = -1;
    int errno_ = 0;
    std::string path_, temp_;
    std::vector<char> buffer_;
};

// A file's identity: the device and inode it lives on.
struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
};

// The identity of `path` (following links); false when it does not exist.
bool IdentifyFile(const std::string& path, FileId* id);

// True when `path` may take a paper: it does not exist, or it is a regular
// file (not a link, a device, a FIFO or a folder) and none of `guarded`.
// Else false with a message.
bool CheckPaperTarget(const std::string& path, const std::vector<FileId>& guarded,
                      std::string* error);

// True when the folder named for a paper's files is not a symbolic link
// (a missing folder is fine: it is created). Else false with a message.
bool CheckPaperFolder(const std::string& folder, std::string* error);

// Makes sure `folder` exists (creating it and its parents) and that files
// can be created in it; false with a message.
bool PrepareFolder(const std::string& folder, std::string* error);

// A file name part made safe: anything but letters, digits, '-' and '_'
// becomes '_'.
std::string FileNamePart(const std::string& text);

}  // namespace payroll::print
