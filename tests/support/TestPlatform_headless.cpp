#include <stdlib.h>
#include <unistd.h>

#include "platform/headless/HeadlessPlatform.h"
#include "support/TestPlatform.h"

std::unique_ptr<TPlatform> CreateTestPlatform(const std::string& programDir) {
    return std::make_unique<THeadlessPlatform>(programDir);
}

std::string MakeTempDir(const std::string& tag) {
    std::string pattern = "/tmp/sablewick-" + tag + "-XXXXXX";
    char* made = mkdtemp(&pattern[0]);
    return made ? std::string(made) + "/" : std::string("/tmp/");
}
