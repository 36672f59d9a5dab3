// The native suite's platform: the headless backend, on a desktop where time passes
// while its message loop runs.
#include <stdlib.h>
#include <unistd.h>

#include "common/MySysU.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/PosixProbe.h"
#include "support/TestPlatform.h"
#include "support/TempDirs.h"

std::unique_ptr<TPlatform> CreateTestPlatform(const std::string& programDir) {
    auto os = std::make_unique<THeadlessPlatform>(programDir);
    THeadlessPlatform* desktop = os.get();
    // The loop runs until the window is gone, the clock going on meanwhile (bounded: a
    // window nobody closes ends with the loop, as the headless loop always does).
    desktop->LoopBody = [desktop] {
        for (int i = 0; i < 100000 && desktop->WindowCreated; ++i) desktop->AdvanceClock(10);
    };
    return os;
}

std::string MakeTempDir(const std::string& tag) {
    std::string pattern = "/tmp/sablewick-" + tag + "-XXXXXX";
    char* made = mkdtemp(&pattern[0]);
    if (!made) return std::string("/tmp/");
    RemoveAtExit(made);
    return std::string(made) + "/";
}

namespace {
// The headless desktop's own records are what it shows.
class THeadlessProbe : public TPosixProbe {
public:
    explicit THeadlessProbe(THeadlessPlatform& os) : Os(os) {}

    void Settle() override {}
    uint32_t WindowPixel(int x, int y) override { return Os.Surface.GetPixel(x, y) & 0xFFFFFF; }

    TShown Control(TControl id) override {
        TShown shown;
        const THeadlessPlatform::TLabel* control = &Os.Memo;
        if (id != TControl::Memo1) {
            auto it = Os.Labels.find(id);
            if (it == Os.Labels.end()) return shown;
            control = &it->second;
        }
        shown.Exists = control->Exists;
        shown.Visible = control->Exists && control->Visible;
        shown.ReadOnly = id == TControl::Memo1 && Os.MemoIsReadOnly;
        shown.Text = control->Text;
        shown.Look = control->Style;
        return shown;
    }
    void TypeIntoMemo(const std::string& sjis) override {
        for (size_t at = 0; at < sjis.size();) {
            const size_t next = SjisByteOffset(sjis.substr(at), 1);
            Os.TypeText(sjis.substr(at, next));
            at += next;
        }
    }

    void AnswerMenu(int choice) override { Os.PendingMenuChoice = choice; }
    std::vector<TShownItem> LastMenu() override {
        std::vector<TShownItem> items;
        for (const TMenuEntry& e : Os.LastMenu)
            items.push_back({e.Caption ? e.Caption : "", e.Enabled, e.Checked, e.SeparatorBefore});
        return items;
    }

    bool PointerHotSpot(int& x, int& y) override {
        auto it = Os.LoadedPointers.find(Os.Pointer);
        TResourceView cursor;
        if (it == Os.LoadedPointers.end() || !Os.FindResourceData("CURSOR", it->second, cursor) ||
            cursor.Size < 14)
            return false;
        // The first image's entry of the cursor file holds its hot spot.
        x = cursor.Data[10] | cursor.Data[11] << 8;
        y = cursor.Data[12] | cursor.Data[13] << 8;
        return true;
    }

    std::vector<TShownAccessible> Accessibles() override {
        std::vector<TShownAccessible> shown;
        for (const TAccessible& a : Os.Accessibles)
            shown.push_back({a.Name, a.Role, a.X, a.Y, a.W, a.H, a.Unavailable,
                             a.Focused && Os.WindowFocused, a.Selected});
        return shown;
    }
    bool DoDefaultAction(const std::string& sjis) override {
        for (const TAccessible& a : Os.Accessibles) {
            if (a.Name != sjis) continue;
            if (a.Role == TAccessRole::Reading) return false;
            Os.ActOnAccessible(a.Id);
            return true;
        }
        return false;
    }

private:
    THeadlessPlatform& Os;
};
}  // namespace

std::unique_ptr<TBackendProbe> CreateBackendProbe(TPlatform& os) {
    return std::make_unique<THeadlessProbe>(dynamic_cast<THeadlessPlatform&>(os));
}
