#pragma once
#include <string>

// The POSIX half of the backend probes (TestPlatform.h) for the GTK and headless
// backends, which write files through the same system calls.

// From now on, every fsync and fdatasync the process makes is noted by the file it
// flushed.
void WatchPosixFlushes();
// Whether the file (or folder) at `path` was flushed since WatchPosixFlushes.
bool PosixFlushed(const std::string& path);
// Whether the folder holding `path` was flushed since WatchPosixFlushes.
bool PosixFolderFlushed(const std::string& path);
// Writes past `bytes` bytes of any file fail (EFBIG) from now on; -1 lifts the limit.
void LimitPosixFileSize(long bytes);
