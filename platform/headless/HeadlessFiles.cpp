// Files are real, in the program directory; a test may make the disk full or a
// replacement fail.
#include <cerrno>

#include "platform/headless/HeadlessPlatform.h"

// A full disk: the bytes before FailWriteAt are written, the next write fails.
ssize_t THeadlessPlatform::WriteSome(int fd, const char* data, size_t size, size_t offset) {
    if (FailWriteAt >= 0 && offset + size > static_cast<size_t>(FailWriteAt)) {
        if (offset >= static_cast<size_t>(FailWriteAt)) {
            errno = ENOSPC;
            return -1;
        }
        size = static_cast<size_t>(FailWriteAt) - offset;
    }
    return TPosixPlatform::WriteSome(fd, data, size, offset);
}

bool THeadlessPlatform::ReplaceFile(const std::string& from, const std::string& to) {
    if (FailReplace) return false;
    return TPosixPlatform::ReplaceFile(from, to);
}
