// The flushes are noted where the program asks for them: this test program's own fsync
// and fdatasync stand before the C library's, note the file flushed and pass the call on.
#include "support/PosixProbe.h"

#include <dlfcn.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <mutex>
#include <set>
#include <utility>

namespace {
std::mutex gLock;
bool gWatching = false;
std::set<std::pair<dev_t, ino_t>> gFlushed;

void Note(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return;
    std::lock_guard<std::mutex> hold(gLock);
    if (gWatching) gFlushed.insert({st.st_dev, st.st_ino});
}

bool Flushed(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    std::lock_guard<std::mutex> hold(gLock);
    return gFlushed.count({st.st_dev, st.st_ino}) != 0;
}

template <typename F>
F Next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
}  // namespace

extern "C" int fsync(int fd) {
    static const auto real = Next<int (*)(int)>("fsync");
    Note(fd);
    return real(fd);
}

extern "C" int fdatasync(int fd) {
    static const auto real = Next<int (*)(int)>("fdatasync");
    Note(fd);
    return real(fd);
}

void TPosixProbe::WatchFlushes() {
    std::lock_guard<std::mutex> hold(gLock);
    gFlushed.clear();
    gWatching = true;
}

bool TPosixProbe::DataFlushed(const std::string& path) {
    return Flushed(path);
}

bool TPosixProbe::MoveFlushed(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    return Flushed(slash == std::string::npos ? "." : path.substr(0, slash + 1));
}

void TPosixProbe::LimitFileSize(long bytes) {
    // A write past the limit fails with EFBIG instead of ending the process.
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit;
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes < 0 ? limit.rlim_max : static_cast<rlim_t>(bytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}
