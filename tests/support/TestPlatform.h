#pragma once
#include <memory>
#include <string>

#include "platform/Platform.h"

// A platform of the build's own backend for tests that run on every target: the headless
// backend in the native suite, the real GTK backend in the GTK test program (on an X
// server), the real Win32 backend in the Windows test program (under Wine).
// `programDir` is a directory (with its trailing separator) that the test owns.
std::unique_ptr<TPlatform> CreateTestPlatform(const std::string& programDir);

// A fresh empty directory for one test, with its trailing separator, in the build's
// native path form.
std::string MakeTempDir(const std::string& tag);
