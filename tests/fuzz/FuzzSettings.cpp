// The settings reader and writer, and the program's LoadSettings/SaveSettings on the
// headless desktop: whatever the file holds, reading gives values in their ranges, and
// what is written comes back unchanged at the next start.
#include <cstdint>
#include <string>
#include <vector>

#include "app/MainUnit.h"
#include "common/IniFile.h"
#include "fuzz/FuzzSupport.h"

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

struct TLoaded {
    int SavedCard, CurrentCard, Fate, StarX, StarY;
    bool ResumeOk, IndexMode, StayOnTop, MuteOn, PenBlack, PenDown, LightShow;
    TDate OldDate;
    std::string Seen, SavedWish;
};

TLoaded Load(TFuzzPlatform& os) {
    TOrvaneFM form(os);
    form.ProgramDir = TFuzzPlatform::kDir;
    form.Random.Seed(7);
    form.LoadSettings();
    TLoaded l{form.SavedCard,
              form.CurrentCard,
              form.Fate,
              form.StarX,
              form.StarY,
              form.Options.ResumeOk,
              form.IndexMode,
              form.Options.StayOnTop,
              form.Options.MuteOn,
              form.Options.FezPenBlack,
              form.Options.FezPenDown,
              form.Options.LightShow,
              form.OldDate,
              form.EncodeSeenCards(),
              form.SavedWish};
    return l;
}

void CheckProgram(const std::string& content) {
    const std::string path = std::string(TFuzzPlatform::kDir) + kIniName;
    TFuzzPlatform os;
    os.Files[path] = content;
    TOrvaneFM form(os);
    form.ProgramDir = TFuzzPlatform::kDir;
    form.Random.Seed(7);
    form.LoadSettings();
    FUZZ_CHECK(form.SavedCard >= 0 && form.SavedCard <= MaxCard);
    FUZZ_CHECK(form.CurrentCard >= 0 && form.CurrentCard <= MaxCard);
    FUZZ_CHECK(form.Fate >= 0 && form.Fate < MaxCard);
    FUZZ_CHECK(IsValidDate(form.OldDate) && IsValidDate(form.MemDate));
    FUZZ_CHECK(form.Options.ResumeOk || form.CurrentCard == 0);
    FUZZ_CHECK(form.SavedWish.size() <= 2 * kIniMaxText);

    // A run with a new reading: the wish (any bytes the box may hold) and the card are
    // stored and read back exactly; everything else keeps its value.
    const std::string wish = content.substr(0, 380);
    os.Memo.Text = wish;
    form.ReadingMade = true;
    form.CurrentCard = static_cast<int>(content.size() % 50);
    form.SaveSettings();
    FUZZ_CHECK(os.Messages.empty());
    const TLoaded back = Load(os);
    FUZZ_CHECK(back.SavedWish == wish);
    FUZZ_CHECK(back.SavedCard == form.CurrentCard);
    FUZZ_CHECK(back.Fate == form.Fate);
    FUZZ_CHECK(back.OldDate == form.OldDate);
    FUZZ_CHECK(back.Seen == form.EncodeSeenCards());
    FUZZ_CHECK(back.ResumeOk == form.Options.ResumeOk && back.IndexMode == form.IndexMode);
    FUZZ_CHECK(back.StayOnTop == form.Options.StayOnTop && back.MuteOn == form.Options.MuteOn);
    FUZZ_CHECK(back.PenBlack == form.Options.FezPenBlack &&
               back.PenDown == form.Options.FezPenDown);
    FUZZ_CHECK(back.LightShow == form.Options.LightShow);
    if (form.Options.ResumeOk) FUZZ_CHECK(back.StarX == form.StarX && back.StarY == form.StarY);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    CheckReader(content);
    CheckProgram(content);
    return 0;
}
