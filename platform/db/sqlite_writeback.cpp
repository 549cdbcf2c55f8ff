#include "platform/db/sqlite_writeback.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <atomic>
#include <cstring>
#include <mutex>

namespace payroll::db {
namespace {

constexpr const char* kVfsName = "payroll-writeback";
// Bytes gathered before a hint: large enough that hints are rare, small
// enough that the disk never sits idle for long during a big transaction.
constexpr sqlite3_int64 kHintBytes = 4 << 20;

std::atomic<long> g_hints{0};
sqlite3_vfs g_vfs;
sqlite3_vfs* g_base = nullptr;

// Our file: the system's file follows it in the same allocation.
struct File {
    sqlite3_file base;
    sqlite3_file* inner;
    int fd;                   // the system file's descriptor, -1: no hints
    sqlite3_int64 low, high;  // the range written since the last hint or sync
    sqlite3_int64 gathered;   // bytes written into it
};

sqlite3_file* Inner(sqlite3_file* f) {
    return reinterpret_cast<File*>(f)->inner;
}

// The descriptor of a file the unix VFS opened. That VFS keeps it right
// after three pointers (methods, VFS, inode); it is taken only when it is
// open on the very file named, so any other layout only means no hints. It
// is never closed here: closing a second descriptor of a database file
// would drop the process's locks on it.
int DescriptorOf(sqlite3_file* inner, const char* path) {
    if (!path || g_base->szOsFile < static_cast<int>(3 * sizeof(void*) + sizeof(int))) return -1;
    int fd = -1;
    std::memcpy(&fd, reinterpret_cast<const char*>(inner) + 3 * sizeof(void*), sizeof fd);
    struct stat opened = {};
    struct stat named = {};
    if (fd < 0 || fstat(fd, &opened) != 0 || stat(path, &named) != 0) return -1;
    return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino ? fd : -1;
}

void Gather(File* f, sqlite3_int64 offset, int amount) {
    const sqlite3_int64 end = offset + amount;
    if (f->gathered == 0) {
        f->low = offset;
        f->high = end;
    } else {
        if (offset < f->low) f->low = offset;
        if (end > f->high) f->high = end;
    }
    f->gathered += amount;
    if (f->gathered < kHintBytes) return;
    // Starts the write-out of the range's dirty pages and returns at once;
    // a failure costs nothing but the head start.
    if (sync_file_range(f->fd, f->low, f->high - f->low, SYNC_FILE_RANGE_WRITE) == 0) ++g_hints;
    f->gathered = 0;
}

int Close(sqlite3_file* f) {
    sqlite3_file* inner = Inner(f);
    const int rc = inner->pMethods->xClose(inner);
    f->pMethods = nullptr;
    return rc;
}
int Read(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
    return Inner(f)->pMethods->xRead(Inner(f), buffer, amount, offset);
}
int Write(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset) {
    const int rc = Inner(f)->pMethods->xWrite(Inner(f), data, amount, offset);
    File* file = reinterpret_cast<File*>(f);
    if (rc == SQLITE_OK && file->fd >= 0) Gather(file, offset, amount);
    return rc;
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    return Inner(f)->pMethods->xTruncate(Inner(f), size);
}
int Sync(sqlite3_file* f, int flags) {
    // What was gathered is on the disk once this returns.
    reinterpret_cast<File*>(f)->gathered = 0;
    return Inner(f)->pMethods->xSync(Inner(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
    return Inner(f)->pMethods->xFileSize(Inner(f), size);
}
int Lock(sqlite3_file* f, int level) {
    return Inner(f)->pMethods->xLock(Inner(f), level);
}
int Unlock(sqlite3_file* f, int level) {
    return Inner(f)->pMethods->xUnlock(Inner(f), level);
}
int CheckReservedLock(sqlite3_file* f, int* out) {
    return Inner(f)->pMethods->xCheckReservedLock(Inner(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
    return Inner(f)->pMethods->xFileControl(Inner(f), op, arg);
}
int SectorSize(sqlite3_file* f) {
    return Inner(f)->pMethods->xSectorSize(Inner(f));
}
int DeviceCharacteristics(sqlite3_file* f) {
    return Inner(f)->pMethods->xDeviceCharacteristics(Inner(f));
}
int ShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
    return Inner(f)->pMethods->xShmMap(Inner(f), region, size, extend, out);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return Inner(f)->pMethods->xShmLock(Inner(f), offset, n, flags);
}
void ShmBarrier(sqlite3_file* f) {
    Inner(f)->pMethods->xShmBarrier(Inner(f));
}
int ShmUnmap(sqlite3_file* f, int remove) {
    return Inner(f)->pMethods->xShmUnmap(Inner(f), remove);
}
int Fetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
    return Inner(f)->pMethods->xFetch(Inner(f), offset, amount, out);
}
int Unfetch(sqlite3_file* f, sqlite3_int64 offset, void* page) {
    return Inner(f)->pMethods->xUnfetch(Inner(f), offset, page);
}

// The unix VFS gives every file methods of version 3; a file with older
// methods is passed through with methods of its own version.
const sqlite3_io_methods kMethods[4] = {
    {},
    {1, Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock, CheckReservedLock, FileControl,
     SectorSize, DeviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {2, Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock, CheckReservedLock, FileControl,
     SectorSize, DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier, ShmUnmap, nullptr, nullptr},
    {3, Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock, CheckReservedLock, FileControl,
     SectorSize, DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier, ShmUnmap, Fetch, Unfetch},
};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* out_flags) {
    File* file = reinterpret_cast<File*>(f);
    file->inner = reinterpret_cast<sqlite3_file*>(file + 1);
    file->fd = -1;
    file->gathered = 0;
    const int rc = g_base->xOpen(g_base, name, file->inner, flags, out_flags);
    const sqlite3_io_methods* methods = file->inner->pMethods;
    if (!methods) {
        f->pMethods = nullptr;
        return rc;
    }
    const int version = methods->iVersion < 1 ? 1 : methods->iVersion > 3 ? 3 : methods->iVersion;
    f->pMethods = &kMethods[version];
    // Only the database and its log grow by megabytes in one transaction.
    if (rc == SQLITE_OK && (flags & (SQLITE_OPEN_MAIN_DB | SQLITE_OPEN_WAL)))
        file->fd = DescriptorOf(file->inner, name);
    return rc;
}

// The VFS's other calls are the system's own.
int Delete(sqlite3_vfs*, const char* name, int sync_dir) {
    return g_base->xDelete(g_base, name, sync_dir);
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
    return g_base->xAccess(g_base, name, flags, out);
}
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return g_base->xFullPathname(g_base, name, size, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) {
    return g_base->xDlOpen(g_base, name);
}
void DlError(sqlite3_vfs*, int size, char* out) {
    g_base->xDlError(g_base, size, out);
}
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
    return g_base->xDlSym(g_base, handle, symbol);
}
void DlClose(sqlite3_vfs*, void* handle) {
    g_base->xDlClose(g_base, handle);
}
int Randomness(sqlite3_vfs*, int size, char* out) {
    return g_base->xRandomness(g_base, size, out);
}
int Sleep(sqlite3_vfs*, int microseconds) {
    return g_base->xSleep(g_base, microseconds);
}
int CurrentTime(sqlite3_vfs*, double* out) {
    return g_base->xCurrentTime(g_base, out);
}
int GetLastError(sqlite3_vfs*, int size, char* out) {
    return g_base->xGetLastError ? g_base->xGetLastError(g_base, size, out) : 0;
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) {
    return g_base->xCurrentTimeInt64(g_base, out);
}

bool Register() {
    sqlite3_vfs* base = sqlite3_vfs_find("unix");
    // The descriptor is found by the unix VFS's layout; version 2 or later
    // has the 64-bit clock passed on below.
    if (!base || base->iVersion < 2) return false;
    g_base = base;
    g_vfs = sqlite3_vfs{};
    g_vfs.iVersion = 2;
    g_vfs.szOsFile = static_cast<int>(sizeof(File)) + base->szOsFile;
    g_vfs.mxPathname = base->mxPathname;
    g_vfs.zName = kVfsName;
    g_vfs.xOpen = Open;
    g_vfs.xDelete = Delete;
    g_vfs.xAccess = Access;
    g_vfs.xFullPathname = FullPathname;
    g_vfs.xDlOpen = DlOpen;
    g_vfs.xDlError = DlError;
    g_vfs.xDlSym = DlSym;
    g_vfs.xDlClose = DlClose;
    g_vfs.xRandomness = Randomness;
    g_vfs.xSleep = Sleep;
    g_vfs.xCurrentTime = CurrentTime;
    g_vfs.xGetLastError = GetLastError;
    g_vfs.xCurrentTimeInt64 = CurrentTimeInt64;
    return sqlite3_vfs_register(&g_vfs, 0) == SQLITE_OK;
}

}  // namespace

const char* SqliteVfs() {
    static std::once_flag once;
    static bool registered = false;
    std::call_once(once, [] { registered = Register(); });
    return registered ? kVfsName : nullptr;
}

long SqliteWritebackHints() {
    return g_hints.load();
}

}  // namespace payroll::db
