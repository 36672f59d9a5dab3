// The settings reader and writer, and the program's LoadSettings/SaveSettings on the
// headless desktop: whatever the file holds, reading gives values in their ranges, and
// what is written comes back unchanged at the next start.
#include <cstdint>
#include <string>
#include <vector>

#include "app/MainUnit.h"
#include "common/IniFile.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/FormAccess.h"

namespace {
const char kSection[] = "Orvane.ini";
const char* const kKeys[] = {"CardNum",   "StarX",  "StarY",       "ResumeOk",   "IndexMode",
                             "StayOnTop", "MuteOn", "FezPenBlack", "FezPenDown", "LightShow",
                             "Fate",      "Left",   "Top",         "CardOK",     "OldDate",
                             "MemDate",   "Wish"};

void CheckReader(const std::string& content) {
    TIniFile ini;
    ini.Parse(content);
    // Every lookup walks the whole file, so each key is looked up once here and its value
    // given to the date and number readers directly; LoadSettings below reads the same
    // file through ReadInteger, ReadBool and ReadDate.
    for (const char* key : kKeys) {
        std::string value;
        if (!ini.ReadString(kSection, key, value)) continue;
        FUZZ_CHECK(value.size() <= kIniMaxText);
        TDate d;
        if (ParseDate(value, d)) FUZZ_CHECK(IsValidDate(d));
        int number;
        (void)ParseIniInteger(value, number);
    }
    // Any text, escaped as the program stores a wish, comes back exactly.
    const std::string text = content.substr(0, 400);
    FUZZ_CHECK(DecodeIniText(EncodeIniText(text)) == text);

    // Written keys read back as written, whatever else the file holds.
    TIniFile written = ini;
    const int number = static_cast<int>(content.size() * 7919u) - 100000;
    written.WriteInteger(kSection, "Fate", number);
    written.WriteBool(kSection, "MuteOn", content.size() % 2 == 1);
    written.WriteDate(kSection, "OldDate", TDate{2024, 2, 29});
    written.WriteString(kSection, "Wish", EncodeIniText(text));
    written.WriteString(kSection, "CardOk", std::string(49, 'l'));
    TIniFile again;
    again.Parse(written.Text());
    FUZZ_CHECK(again.ReadInteger(kSection, "Fate", number + 1) == number);
    FUZZ_CHECK(again.ReadBool(kSection, "MuteOn", content.size() % 2 == 0) ==
               (content.size() % 2 == 1));
    FUZZ_CHECK(again.ReadDate(kSection, "OldDate", TDate{}) == (TDate{2024, 2, 29}));
    FUZZ_CHECK(DecodeIniText(again.ReadString(kSection, "Wish", "?")) == text);
    FUZZ_CHECK(again.ReadString(kSection, "CARDOK", "") == std::string(49, 'l'));
}

// One window for the whole run: building it for every input would cost most of the run.
// Before each input it is put back to a window that has just been built.
struct TProgram {
    TFuzzPlatform Os;
    TOrvaneFM Form{Os};
    const int BuiltLeft, BuiltTop;  // where the window stood when it was built
    TProgram() : BuiltLeft(Os.Left), BuiltTop(Os.Top) {
        TFormAccess::ProgramDir(Form) = TFuzzPlatform::kDir;
    }

    // A fresh start's state with `content` as the settings file, read by LoadSettings.
    TFormState Start(const std::string& content) {
        Os.Left = BuiltLeft;
        Os.Top = BuiltTop;
        Os.Topmost = false;
        Os.Memo.Text.clear();
        Os.Files.clear();
        Os.Files[std::string(TFuzzPlatform::kDir) + kIniName] = content;
        return Load();
    }
    // What the next start reads from the files as they are now.
    TFormState Load() {
        Os.Messages.clear();
        TFormAccess::Restart(Form);
        TFormAccess::Random(Form).Seed(7);
        TFormAccess::LoadSettings(Form);
        return Form.State();
    }
};

void CheckProgram(const std::string& content) {
    static TProgram p;
    const TFormState s = p.Start(content);
    FUZZ_CHECK(s.SavedCard >= 0 && s.SavedCard <= MaxCard);
    FUZZ_CHECK(s.CurrentCard >= 0 && s.CurrentCard <= MaxCard);
    FUZZ_CHECK(s.Fate >= 0 && s.Fate < MaxCard);
    FUZZ_CHECK(IsValidDate(s.OldDate) && IsValidDate(s.MemDate));
    FUZZ_CHECK(s.Options.ResumeOk || s.CurrentCard == 0);
    FUZZ_CHECK(s.SavedWish.size() <= 2 * kIniMaxText);

    // A run with a new reading: the wish (any bytes the box may hold) and the card are
    // stored and read back exactly; everything else keeps its value.
    const std::string wish = content.substr(0, 380);
    p.Os.Memo.Text = wish;
    TFormAccess::ReadingMade(p.Form) = true;
    TFormAccess::SetCurrentCard(p.Form, static_cast<int>(content.size() % 50));
    TFormAccess::SaveSettings(p.Form);
    FUZZ_CHECK(p.Os.Messages.empty());
    const TFormState saved = p.Form.State();
    const TFormState back = p.Load();
    FUZZ_CHECK(back.SavedWish == wish);
    FUZZ_CHECK(back.SavedCard == saved.CurrentCard);
    FUZZ_CHECK(back.Fate == saved.Fate);
    FUZZ_CHECK(back.OldDate == saved.OldDate);
    FUZZ_CHECK(back.SeenCards == saved.SeenCards);
    FUZZ_CHECK(back.Options.ResumeOk == saved.Options.ResumeOk &&
               back.IndexMode == saved.IndexMode);
    FUZZ_CHECK(back.Options.StayOnTop == saved.Options.StayOnTop);
    FUZZ_CHECK(back.Options.MuteOn == saved.Options.MuteOn);
    FUZZ_CHECK(back.Options.FezPenBlack == saved.Options.FezPenBlack);
    FUZZ_CHECK(back.Options.FezPenDown == saved.Options.FezPenDown);
    FUZZ_CHECK(back.Options.LightShow == saved.Options.LightShow);
    if (saved.Options.ResumeOk) FUZZ_CHECK(back.StarX == saved.StarX && back.StarY == saved.StarY);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    CheckReader(content);
    CheckProgram(content);
    return 0;
}
