// The web test page's main: GoogleTest runs inside the page, its output going to the
// console, and the page is told the result when the run ends (tests/web/contract.mjs
// waits for it).
#include <emscripten.h>
#include <gtest/gtest.h>

#include <vector>

namespace {
EM_JS(void, swt_finished, (int status), { SWTest.finished(status); });
}  // namespace

int main(int argc, char** argv) {
    // No colours: the console shows the escape codes as they are.
    static char noColour[] = "--gtest_color=no";
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.begin() + (args.empty() ? 0 : 1), noColour);
    args.push_back(nullptr);
    int count = static_cast<int>(args.size()) - 1;
    testing::InitGoogleTest(&count, args.data());
    const int status = RUN_ALL_TESTS();
    swt_finished(status);
    return status;
}
