// The web test page's platform: the real browser backend in the page of the test
// program (tests/web/contract.mjs opens it in Chromium). Its probe reads back what the
// page shows the way the browser shows it, and plays the page's user through the
// browser's own input (tests/web/ContractPage.js, the page side).
#include <emscripten.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "common/MySysU.h"
#include "platform/web/WebBytes.h"
#include "platform/web/WebPlatform.h"
#include "support/TestPlatform.h"

namespace {
EM_JS(void, swt_fresh_page, (), { SWTest.freshPage(); });
EM_ASYNC_JS(void, swt_settle, (), { await SWTest.settle(); });
EM_JS(int, swt_pixel, (int x, int y), { return SWTest.pixel(x, y); });
EM_JS(char*, swt_control, (int id, int* size), { return SWTest.control(id, size); });
EM_JS(void, swt_type, (const char* utf8), { SWTest.type(UTF8ToString(utf8)); });
EM_JS(void, swt_answer_menu, (int choice), { SWTest.answerMenu(choice); });
EM_JS(char*, swt_last_menu, (int* size), { return SWTest.lastMenu(size); });
EM_JS(char*, swt_hot_spot, (int* size), { return SWTest.hotSpot(size); });
EM_JS(char*, swt_accessibles, (int* size), { return SWTest.accessibles(size); });
EM_JS(int, swt_act, (const char* utf8), { return SWTest.act(UTF8ToString(utf8)); });
EM_JS(void, swt_watch, (), { SWTest.watch(); });
EM_JS(int, swt_kept, (const char* path), { return SWTest.kept(UTF8ToString(path)); });
EM_JS(void, swt_limit, (double bytes), { SWTest.limit(bytes); });

// The page's answers are records of fields (a unit separator between fields, a record
// separator between records); a text field comes last and holds everything after.
std::vector<std::string> Split(const std::string& s, char by, size_t most = std::string::npos) {
    std::vector<std::string> parts;
    if (s.empty()) return parts;
    size_t at = 0;
    for (;;) {
        const size_t next = parts.size() + 1 < most ? s.find(by, at) : std::string::npos;
        parts.push_back(s.substr(at, next == std::string::npos ? std::string::npos : next - at));
        if (next == std::string::npos) break;
        at = next + 1;
    }
    return parts;
}

std::string Answer(char* (*call)(int*)) {
    int size = 0;
    char* block = call(&size);
    return TakePageBytes(block, size);
}
}  // namespace

std::unique_ptr<TPlatform> CreateTestPlatform(const std::string& /*programDir*/) {
    // Every test's window on the page as it was loaded, with nothing kept from the tests
    // before. The program's folder is the page's own; the tests' files go in their
    // folders.
    swt_fresh_page();
    return std::make_unique<TWebPlatform>();
}

std::string MakeTempDir(const std::string& tag) {
    // A folder of the page's memory, where the backend's files are.
    std::string pattern = "/tmp/sablewick-web-" + tag + "-XXXXXX";
    char* made = mkdtemp(&pattern[0]);
    return made ? std::string(made) + "/" : std::string("/tmp/");
}

namespace {
// A check the page cannot offer is skipped with the reason; the test goes on with the
// rest, and its checks still count.
void SkipCheck(const std::string& why) {
    GTEST_SKIP() << why;
}

class TWebProbe : public TBackendProbe {
public:
    explicit TWebProbe(TWebPlatform& os) : Os(os) {}

    void Settle() override {
        // The page paints and runs what it queued; then the loop's part: the events the
        // page queued reach the window's handlers.
        swt_settle();
        Os.DeliverQueued();
    }

    uint32_t WindowPixel(int x, int y) override {
        const int pixel = swt_pixel(x, y);
        return pixel < 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(pixel);
    }

    TShown Control(TControl id) override {
        TShown shown;
        int size = 0;
        char* block = swt_control(static_cast<int>(id), &size);
        const std::vector<std::string> f = Split(TakePageBytes(block, size), '\x1F', 10);
        if (f.size() < 10 || f[0] != "1") return shown;
        shown.Exists = true;
        shown.Visible = f[1] == "1";
        shown.ReadOnly = f[2] == "1";
        shown.Look.Centred = f[3] == "1";
        shown.Look.VCentred = f[4] == "1";
        shown.Look.WordWrap = f[5] == "1";
        shown.Look.CellHeight = std::atoi(f[6].c_str());
        shown.Look.Background = static_cast<uint32_t>(std::atol(f[7].c_str()));
        shown.Look.TextColor = static_cast<uint32_t>(std::atol(f[8].c_str()));
        shown.Text = Os.Utf8ToSjis(f[9]);
        return shown;
    }

    void TypeIntoMemo(const std::string& sjis) override {
        // One character at a time, each one's change delivered by the loop before the next.
        for (size_t at = 0; at < sjis.size();) {
            const size_t next = SjisByteOffset(sjis.substr(at), 1);
            if (next == 0) break;
            swt_type(Os.SjisToUtf8(sjis.substr(at, next)).c_str());
            Os.DeliverQueued();
            at += next;
        }
    }

    void AnswerMenu(int choice) override { swt_answer_menu(choice); }
    std::vector<TShownItem> LastMenu() override {
        std::vector<TShownItem> items;
        for (const std::string& record : Split(Answer(swt_last_menu), '\x1E')) {
            const std::vector<std::string> f = Split(record, '\x1F', 4);
            if (f.size() < 4) continue;
            items.push_back({Os.Utf8ToSjis(f[3]), f[0] == "1", f[1] == "1", f[2] == "1"});
        }
        return items;
    }

    bool PointerHotSpot(int& x, int& y) override {
        const std::vector<std::string> f = Split(Answer(swt_hot_spot), ' ');
        if (f.size() != 2) return false;
        x = std::atoi(f[0].c_str());
        y = std::atoi(f[1].c_str());
        return true;
    }

    std::vector<TShownAccessible> Accessibles() override {
        std::vector<TShownAccessible> shown;
        for (const std::string& record : Split(Answer(swt_accessibles), '\x1E')) {
            const std::vector<std::string> f = Split(record, '\x1F', 9);
            if (f.size() < 9) continue;
            TShownAccessible a;
            a.Role = f[0] == "2"   ? TAccessRole::Reading
                     : f[0] == "1" ? TAccessRole::ListItem
                                   : TAccessRole::PushButton;
            a.X = std::atoi(f[1].c_str());
            a.Y = std::atoi(f[2].c_str());
            a.W = std::atoi(f[3].c_str());
            a.H = std::atoi(f[4].c_str());
            a.Unavailable = f[5] == "1";
            a.Focused = f[6] == "1";
            a.Selected = f[7] == "1";
            a.Name = Os.Utf8ToSjis(f[8]);
            shown.push_back(a);
        }
        return shown;
    }
    bool DoDefaultAction(const std::string& sjis) override {
        return swt_act(Os.SjisToUtf8(sjis).c_str()) != 0;
    }

    // What lasts of a page is what its storage holds: the settings (.ini) files, each
    // written whole into the page's local storage before the call returns. The page's
    // storage writes are noted from the watch on, as the other probes note fsync.
    void WatchFlushes() override { swt_watch(); }
    bool DataFlushed(const std::string& path) override { return Kept(path); }
    bool MoveFlushed(const std::string& path) override { return Kept(path); }

    // The page's file system refuses writes past the limit, as a full disk does.
    void LimitFileSize(long bytes) override { swt_limit(static_cast<double>(bytes)); }

private:
    bool Kept(const std::string& path) {
        const int kept = swt_kept(path.c_str());
        if (kept >= 0) return kept != 0;
        SkipCheck(
            "a page has no disk: only the settings files outlive it, in its local "
            "storage; " +
            path + " lives in the page's memory and goes with the page");
        // Skipped, not failed: the checks after it still count.
        return true;
    }

    TWebPlatform& Os;
};
}  // namespace

std::unique_ptr<TBackendProbe> CreateBackendProbe(TPlatform& os) {
    return std::make_unique<TWebProbe>(dynamic_cast<TWebPlatform&>(os));
}
