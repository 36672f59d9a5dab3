#pragma once
// Shared by the fuzz targets and their corpus replay: a headless desktop whose files
// live in memory (so a run costs no disk), whose card text can be replaced by the
// fuzzer's bytes, and a check that reports a broken promise the way a sanitizer does.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "common/MySysU.h"
#include "platform/headless/HeadlessPlatform.h"

// A broken property is a finding: print what and where, then abort so libFuzzer keeps
// the input as a crash and the replay test fails.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "fuzz property failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

class TFuzzPlatform : public THeadlessPlatform {
public:
    static constexpr const char* kDir = "/fuzz/program/";
    TFuzzPlatform() : THeadlessPlatform(kDir) {
        Seed = 4242;
        Tick = 1000;
    }

    std::map<std::string, std::string> Files;
    // When set, the card text resource is these bytes instead of the embedded CARDT.
    bool ReplaceCardText = false;
    std::string CardText;

    // The window has no surface here: nothing reads it, and a 737 x 584 picture for
    // every run would cost most of the run.
    void CreateMainWindow(TWindowEvents* events, int width, int height) override {
        Events = events;
        Width = width;
        Height = height;
        WindowCreated = true;
    }
    bool FindResourceData(const std::string& type, const std::string& name,
                          TResourceView& out) override {
        if (ReplaceCardText && AsciiUpper(type) == "TXT" && AsciiUpper(name) == "CARDT") {
            out.Data = reinterpret_cast<const uint8_t*>(CardText.data());
            out.Size = CardText.size();
            return true;
        }
        return THeadlessPlatform::FindResourceData(type, name, out);
    }
    bool FileExists(const std::string& path) override { return Files.count(path) != 0; }
    bool ReadFile(const std::string& path, std::string& data) override {
        auto it = Files.find(path);
        if (it == Files.end()) return false;
        data = it->second;
        return true;
    }
    bool WriteFile(const std::string& path, const std::string& data) override {
        Files[path] = data;
        return true;
    }
    bool ReplaceFile(const std::string& from, const std::string& to) override {
        auto it = Files.find(from);
        if (it == Files.end()) return false;
        Files[to] = it->second;
        Files.erase(it);
        return true;
    }
    bool DeleteFile(const std::string& path) override { return Files.erase(path) != 0; }
};
