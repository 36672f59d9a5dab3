// sablewick-headless, the headless backend's entry point: runs the real program on the
// headless backend from a script on standard input. See README.md for the commands.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "common/Dates.h"
#include "common/MySysU.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/main/ScriptDriver.h"

static int Usage() {
    std::fprintf(stderr,
                 "usage: sablewick-headless [--dir DIR] [--screen WxH] [--today YYYY-MM-DD]\n"
                 "                          [--seed N] [--tick0 N] [--running] [--hide NAME]\n"
                 "                          [--browser PATH]  < script\n");
    return 2;
}

int main(int argc, char** argv) {
    std::string dir;
    THeadlessPlatform* os = nullptr;
    int screenW = 1024, screenH = 768;
    TDate today{2026, 12, 8};
    unsigned long long seed = 1;
    unsigned long tick0 = 0;
    bool running = false;
    std::string browser;
    std::string hide[16];
    int hidden = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--dir" && more) {
            dir = argv[++i];
        } else if (a == "--screen" && more) {
            if (std::sscanf(argv[++i], "%dx%d", &screenW, &screenH) != 2) return Usage();
        } else if (a == "--today" && more) {
            std::string t = argv[++i];
            for (char& c : t)
                if (c == '-') c = '/';
            if (!ParseDate(t, today)) return Usage();
        } else if (a == "--seed" && more) {
            seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (a == "--tick0" && more) {
            tick0 = std::strtoul(argv[++i], nullptr, 10);
        } else if (a == "--running") {
            running = true;
        } else if (a == "--hide" && more && hidden < 16) {
            hide[hidden++] = argv[++i];
        } else if (a == "--browser" && more) {
            browser = argv[++i];
        } else {
            return Usage();
        }
    }
    if (dir.empty()) {
        char cwd[4096];
        if (!getcwd(cwd, sizeof cwd)) return Usage();
        dir = cwd;
    }
    os = new THeadlessPlatform(dir);
    os->ScreenWidth = screenW;
    os->ScreenHeight = screenH;
    os->TodayDate = today;
    os->Seed = seed;
    os->Tick = static_cast<uint32_t>(tick0);
    os->OtherInstanceRunning = running;
    os->BrowserForHtml = browser;
    for (int i = 0; i < hidden; ++i) {
        os->HiddenResources.insert(AsciiUpper(hide[i]));
    }
    TScriptDriver driver(*os, std::cin, std::cout, std::cerr);
    const int code = driver.Run();
    delete os;
    return code;
}
