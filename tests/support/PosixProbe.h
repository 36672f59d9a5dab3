#pragma once
#include <string>

#include "support/TestPlatform.h"

// The POSIX half of the probes of the GTK and headless backends, which write files
// through the same system calls: every fsync and fdatasync the process makes is noted by
// the file it flushed (the test program's own stand before the C library's), and a file
// size limit plays a full disk.
class TPosixProbe : public TBackendProbe {
public:
    void WatchFlushes() override;
    bool DataFlushed(const std::string& path) override;
    // The folder of `path` flushed since WatchFlushes.
    bool MoveFlushed(const std::string& path) override;
    // Writes past the limit fail with EFBIG.
    void LimitFileSize(long bytes) override;
};
