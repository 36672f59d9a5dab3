// The tests' own folders (MakeTempDir), removed with everything in them when the test
// program ends, so that runs do not pile them up in the system's temporary folder. Only
// the process that made them removes them: a child forked by a test ends without
// touching its parent's folders.
#pragma once
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

inline long TestProcessId() {
#ifdef _WIN32
    return static_cast<long>(_getpid());
#else
    return static_cast<long>(getpid());
#endif
}

// `dir` must be a folder the caller has just made for the tests alone.
inline void RemoveAtExit(std::filesystem::path dir) {
    struct TFolders {
        std::vector<std::filesystem::path> Made;
        long Owner = TestProcessId();
        ~TFolders() {
            if (TestProcessId() != Owner) return;
            std::error_code ignored;
            for (const std::filesystem::path& folder : Made)
                std::filesystem::remove_all(folder, ignored);
        }
    };
    static TFolders folders;
    folders.Made.push_back(std::move(dir));
}
