#include "cli/paper_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace payroll::cli {

PaperFile::~PaperFile() {
    if (file_) std::fclose(file_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

bool PaperFile::Open(const std::string& path, std::string* error) {
    std::filesystem::path final_path(path);
    std::string dir = final_path.parent_path().empty() ? "." : final_path.parent_path().string();
    std::string pattern = dir + "/." + final_path.filename().string() + ".XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        *error = "cannot write in " + dir + ": " + std::strerror(errno);
        return false;
    }
    // mkstemp makes the file private; a paper gets the mode any new file would.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        *error = "cannot write " + pattern + ": " + std::strerror(errno);
        ::close(fd);
        ::unlink(pattern.c_str());
        return false;
    }
    path_ = path;
    temp_ = pattern;
    return true;
}

bool PaperFile::Commit(std::string* error) {
    if (!file_) {
        *error = "no file is open";
        return false;
    }
    bool ok = std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    int saved = errno;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (ok && ::rename(temp_.c_str(), path_.c_str()) == 0) {
        temp_.clear();
        return true;
    }
    *error = "cannot write " + path_ + ": " + std::strerror(ok ? errno : saved);
    return false;
}

bool PrepareFolder(const std::string& folder, std::string* error) {
    std::error_code ec;
    if (folder.empty()) {
        *error = "no output folder given";
        return false;
    }
    if (!std::filesystem::exists(folder, ec)) std::filesystem::create_directories(folder, ec);
    if (ec || !std::filesystem::is_directory(folder, ec)) {
        *error = "cannot use " + folder + " as the output folder" +
                 (ec ? ": " + ec.message() : ": it is not a folder");
        return false;
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        *error = "cannot write in " + folder + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::string FileNamePart(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_';
        if (!plain) c = '_';
    }
    return out.empty() ? "_" : out;
}

}  // namespace payroll::cli
