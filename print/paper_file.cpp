#include "print/paper_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "payroll/print.h"

namespace payroll::print {
namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

// The temporary file being written, for the signal handler: a plain buffer,
// published by the flag once it is whole.
constexpr std::size_t kTempMax = 4096;
char g_temp[kTempMax];
std::atomic<int> g_temp_set{0};
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Removes the temporary file and ends the process by the same signal, as
// it would have ended without this handler. Only async-signal-safe calls.
void RemoveTempAndEnd(int sig) {
    const int saved = errno;
    if (g_temp_set.load()) ::unlink(g_temp);
    ::signal(sig, SIG_DFL);
    ::raise(sig);  // delivered when the handler returns
    errno = saved;
}

void ShowTemp(const std::string& temp) {
    g_temp_set.store(0);
    if (temp.size() >= kTempMax) return;  // such a path cannot be created anyway
    std::memcpy(g_temp, temp.c_str(), temp.size() + 1);
    g_temp_set.store(1);
}

void HideTemp() {
    g_temp_set.store(0);
}

std::string TempPrefix(const std::string& name) {
    return "." + name + ".tmp-";
}

// The longest paper name a folder takes with the temporary name written
// beside it first (its prefix and a process number of up to ten digits).
long MaxPaperName(const std::string& dir) {
    long limit = ::pathconf(dir.c_str(), _PC_NAME_MAX);
    if (limit <= 0) limit = 255;
    return limit - static_cast<long>(TempPrefix("").size()) - 10;
}

// A temporary file's process has ended: it was killed before it could
// remove the file.
bool Abandoned(const std::string& pid_text) {
    if (pid_text.empty() || pid_text.size() > 9 ||
        pid_text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const pid_t pid = static_cast<pid_t>(std::stol(pid_text));
    if (pid <= 0 || pid == ::getpid()) return true;
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Removes the temporary files of `name` in `dir` left by processes that
// are gone (regular files only).
void RemoveStaleTemporaries(const std::string& dir, const std::string& name) {
    DIR* folder = ::opendir(dir.c_str());
    if (!folder) return;
    const std::string prefix = TempPrefix(name);
    while (const dirent* entry = ::readdir(folder)) {
        const std::string file = entry->d_name;
        if (file.compare(0, prefix.size(), prefix) != 0 || !Abandoned(file.substr(prefix.size())))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(folder), file.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode))
            ::unlinkat(::dirfd(folder), file.c_str(), 0);
    }
    ::closedir(folder);
}

// What a path names when it is not a regular file; null for a regular file.
const char* NotRegular(mode_t mode) {
    if (S_ISREG(mode)) return nullptr;
    if (S_ISLNK(mode)) return "a symbolic link";
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

}  // namespace

void GuardSignals() {
    static bool guarded = false;
    if (guarded) return;
    guarded = true;
    struct sigaction ours {};
    ours.sa_handler = RemoveTempAndEnd;
    ::sigemptyset(&ours.sa_mask);
    for (int sig : kCleanupSignals) ::sigaddset(&ours.sa_mask, sig);
    for (int sig : kCleanupSignals) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) == 0 && !(old.sa_flags & SA_SIGINFO) &&
            old.sa_handler == SIG_DFL)
            ::sigaction(sig, &ours, nullptr);
    }
    struct sigaction old {};
    if (::sigaction(SIGXFSZ, nullptr, &old) == 0 && !(old.sa_flags & SA_SIGINFO) &&
        old.sa_handler == SIG_DFL) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGXFSZ, &ignore, nullptr);
    }
}

PaperFile::~PaperFile() {
    Discard();
}

bool PaperFile::Open(const std::string& path, std::string* error) {
    GuardSignals();
    std::filesystem::path final_path(path);
    const std::string dir =
        final_path.parent_path().empty() ? "." : final_path.parent_path().string();
    const std::string name = final_path.filename().string();
    RemoveStaleTemporaries(dir, name);
    const std::string temp = dir + "/" + TempPrefix(name) + std::to_string(::getpid());
    // Shown to the handler first: a signal right after the file is created
    // still removes it.
    ShowTemp(temp);
    const mode_t mode = PaperMode();
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    // The mode exactly, whatever the umask: private papers stay private and
    // a mode asked for is the mode given.
    if (fd >= 0 && ::fchmod(fd, mode) != 0) {
        const int failure = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        HideTemp();
        *error = "cannot write in " + dir + ": " + std::strerror(failure);
        return false;
    }
    if (fd < 0) {
        const int failure = errno;
        HideTemp();
        // The paper is written beside its name first, under a longer one: a
        // name the folder would take may leave no room for that one.
        if (failure == ENAMETOOLONG)
            *error = "the paper's name is too long for the file system: " + name + " (" +
                     std::to_string(name.size()) + " bytes, at most " +
                     std::to_string(MaxPaperName(dir)) + " here)";
        else
            *error = "cannot write in " + dir + ": " + std::strerror(failure);
        return false;
    }
    fd_ = fd;
    errno_ = 0;
    path_ = path;
    temp_ = temp;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
    return true;
}

bool PaperFile::Write(const void* data, std::size_t size) {
    if (fd_ < 0 && !errno_) errno_ = EBADF;
    if (errno_) return false;
    const char* bytes = static_cast<const char*>(data);
    if (buffer_.size() + size > kBufferSize && !Flush()) return false;
    if (size >= kBufferSize) return WriteAll(bytes, size);
    buffer_.insert(buffer_.end(), bytes, bytes + size);
    return true;
}

std::string PaperFile::FailureReason() const {
    return errno_ ? std::strerror(errno_) : "";
}

bool PaperFile::Flush() {
    const bool ok = WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
}

bool PaperFile::WriteAll(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            errno_ = written < 0 ? errno : EIO;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool PaperFile::Commit(std::string* error) {
    if (fd_ < 0) {
        *error = "no file is open";
        return false;
    }
    std::string reason;
    if (!errno_ && Flush() && ::fsync(fd_) != 0) errno_ = errno;
    // Linux closes the file even when close is interrupted.
    if (::close(fd_) != 0 && errno != EINTR && !errno_) errno_ = errno;
    fd_ = -1;
    if (errno_) reason = std::strerror(errno_);
    // Looked at again just before the rename: what took the name meanwhile.
    struct stat st {};
    if (reason.empty() && ::lstat(path_.c_str(), &st) == 0 && NotRegular(st.st_mode))
        reason = std::string("it is ") + NotRegular(st.st_mode) + ", not a regular file";
    if (reason.empty() && ::rename(temp_.c_str(), path_.c_str()) != 0)
        reason = std::strerror(errno);
    if (!reason.empty()) {
        *error = "cannot write " + path_ + ": " + reason;
        Discard();
        return false;
    }
    HideTemp();
    temp_.clear();
    return true;
}

void PaperFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        HideTemp();
    }
    temp_.clear();
    buffer_.clear();
}

bool IdentifyFile(const std::string& path, FileId* id) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    id->dev = st.st_dev;
    id->ino = st.st_ino;
    return true;
}

bool CheckPaperTarget(const std::string& path, const std::vector<FileId>& guarded,
                      std::string* error) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        // Missing: the paper is new (a folder that cannot be used says so
        // when it is prepared).
        if (errno == ENOENT || errno == ENOTDIR) return true;
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    if (const char* what = NotRegular(st.st_mode)) {
        *error = "will not replace " + path + ": it is " + what + ", not a regular file";
        return false;
    }
    for (const FileId& id : guarded)
        if (id.dev == st.st_dev && id.ino == st.st_ino) {
            *error = "will not replace " + path + ": it is the open database";
            return false;
        }
    return true;
}

bool CheckPaperFolder(const std::string& folder, std::string* error) {
    std::string plain = folder;
    while (plain.size() > 1 && plain.back() == '/') plain.pop_back();
    struct stat st {};
    if (!plain.empty() && ::lstat(plain.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        *error = "will not write into " + folder + ": it is a symbolic link";
        return false;
    }
    return true;
}

namespace {

std::atomic<unsigned> paper_mode{0600};

// Creates `folder` and its missing parents with the papers' folder mode:
// each class that may read the papers may also enter the folder.
void CreateFolders(const std::string& folder, std::error_code* ec) {
    const mode_t file = PaperMode();
    const mode_t dir = file | ((file & 0444) >> 2);
    std::filesystem::path path;
    for (const auto& part : std::filesystem::path(folder)) {
        path /= part;
        if (std::filesystem::exists(path, *ec)) continue;
        if (::mkdir(path.c_str(), dir) != 0 && errno != EEXIST) {
            *ec = std::error_code(errno, std::generic_category());
            return;
        }
        ::chmod(path.c_str(), dir);
    }
}

}  // namespace

void SetPaperMode(unsigned mode) {
    paper_mode = mode & 0777;
}

unsigned PaperMode() {
    return paper_mode;
}

bool PrepareFolder(const std::string& folder, std::string* error) {
    std::error_code ec;
    if (folder.empty()) {
        *error = "no output folder given";
        return false;
    }
    if (!std::filesystem::exists(folder, ec)) CreateFolders(folder, &ec);
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

}  // namespace payroll::print
