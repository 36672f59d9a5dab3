// Files by UTF-8 paths, handed to the system unchanged.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/PosixPlatform.h"

namespace {
// Flushes a folder's entries: a file created, renamed or removed in it is only on the
// disk once they are.
void FlushFolderOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    while (::fsync(fd) != 0 && errno == EINTR) {
    }
    ::close(fd);
}

bool Flush(int fd) {
    for (;;) {
        if (::fsync(fd) == 0) return true;
        if (errno != EINTR) return false;
    }
}
}  // namespace

bool TPosixPlatform::FileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool TPosixPlatform::ReadFile(const std::string& path, std::string& data) {
    data.clear();
    if (!FileExists(path)) return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::string buffer;
    char chunk[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        buffer.append(chunk, static_cast<size_t>(n));
        // The program's files are small; anything near a gigabyte is no file of ours.
        if (buffer.size() > (1u << 30)) {
            ok = false;
            break;
        }
    }
    ::close(fd);
    if (ok) data.swap(buffer);
    return ok;
}

ssize_t TPosixPlatform::WriteSome(int fd, const char* data, size_t size, size_t /*offset*/) {
    return ::write(fd, data, size);
}

bool TPosixPlatform::WriteFile(const std::string& path, const std::string& data) {
    if (path.empty()) return false;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    bool ok = true;
    while (done < data.size()) {
        const ssize_t n = WriteSome(fd, data.data() + done, data.size() - done, done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    // On the disk before the caller goes on: a file the program wrote is there after a
    // crash or a power cut, whole.
    if (ok && !Flush(fd)) ok = false;
    if (::close(fd) != 0) ok = false;
    // A file cut short (a full disk) is worse than none: whoever reads it would take
    // the half for the whole.
    if (!ok) ::unlink(path.c_str());
    return ok;
}

bool TPosixPlatform::ReplaceFile(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty() || !FileExists(from)) return false;
    // The new file's bytes are on disk before its name takes the old one's place, so a
    // crash leaves either file whole; a disk that cannot take them (full, or failing)
    // leaves the old file alone.
    const int file = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return false;
    const bool flushed = Flush(file);
    ::close(file);
    if (!flushed) return false;
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    // The rename is only durable once the folder's entry is on disk too.
    FlushFolderOf(to);
    return true;
}

bool TPosixPlatform::DeleteFile(const std::string& path) {
    return !path.empty() && ::unlink(path.c_str()) == 0;
}
