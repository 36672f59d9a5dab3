// Files by UTF-8 paths, handed to the system unchanged.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/gtk/GtkPlatform.h"

bool TGtkPlatform::FileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool TGtkPlatform::ReadFile(const std::string& path, std::string& data) {
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

bool TGtkPlatform::WriteFile(const std::string& path, const std::string& data) {
    if (path.empty()) return false;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    bool ok = true;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    // Not flushed here: what must last is written to a temporary file and moved into
    // place by ReplaceFile, which flushes it first. A file written only to see whether
    // the folder takes files (the start's probe) then costs no wait for the disk.
    if (::close(fd) != 0) ok = false;
    // A file cut short (a full disk) is worse than none: whoever reads it would take
    // the half for the whole.
    if (!ok) ::unlink(path.c_str());
    return ok;
}

bool TGtkPlatform::ReplaceFile(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty() || !FileExists(from)) return false;
    // The new file's bytes are on disk before its name takes the old one's place, so a
    // crash leaves either file whole; a disk that cannot take them (full, or failing)
    // leaves the old file alone.
    const int file = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return false;
    const bool flushed = ::fsync(file) == 0;
    ::close(file);
    if (!flushed) return false;
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    // The rename is only durable once the folder's entry is on disk too.
    const std::string::size_type slash = to.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : to.substr(0, slash + 1);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

bool TGtkPlatform::DeleteFile(const std::string& path) {
    return !path.empty() && ::unlink(path.c_str()) == 0;
}
