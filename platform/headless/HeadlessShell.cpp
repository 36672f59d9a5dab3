// The shell, the wallpaper and message boxes: each request is recorded for the test.
#include "platform/headless/HeadlessPlatform.h"

std::string THeadlessPlatform::FindExecutable(const std::string& file) {
    if (!FileExists(file)) return std::string();
    return BrowserForHtml;
}

void THeadlessPlatform::ShellOpen(const std::string& address) {
    ShellLaunches.push_back("open " + address);
}

void THeadlessPlatform::StartProcess(const std::string& application,
                                     const std::string& commandLine) {
    ShellLaunches.push_back(application + " " + commandLine);
}

void THeadlessPlatform::SetDesktopWallpaper(const std::string& path) {
    Wallpapers.push_back(path);
}

void THeadlessPlatform::ShowErrorBox(const std::string& title, const std::string& text) {
    Messages.push_back({title, text});
}
