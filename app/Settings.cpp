// The settings file "Orvane.ini" beside the program: options, window position, the
// seen cards, the Fate with its dates and the last reading. Read once at start, written
// once at close.
#include "app/MainUnit.h"
#include "common/Errors.h"
#include "common/IniFile.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"

namespace {
const char kSection[] = "Orvane.ini";
// Light origin offsets beyond this are far outside any window.
constexpr int kFarAway = 1000000;
}

std::string TOrvaneFM::SettingsPath() const { return ProgramDir + kIniName; }

void TOrvaneFM::LoadSettings() {
    int screenW = 0, screenH = 0;
    Os.GetScreenSize(screenW, screenH);
    // Under 616 of the program's own pixels high: the window may be shown larger than
    // designed, and the screen is measured in the same pixels as the window.
    int windowW = kWindowWidth, windowH = kWindowHeight;
    Os.GetWindowSize(windowW, windowH);
    (void)windowW;
    const bool smallScreen = int64_t{screenH} * kWindowHeight < int64_t{616} * windowH;
    const TDate today = Os.Today();

    TIniFile ini;
    std::string content;
    if (Os.ReadFile(SettingsPath(), content)) ini.Parse(content);

    SavedCard = ini.ReadInteger(kSection, "CardNum", 0);
    SavedStarX = ini.ReadInteger(kSection, "StarX", 0);
    SavedStarY = ini.ReadInteger(kSection, "StarY", 0);
    const bool resume = ini.ReadBool(kSection, "ResumeOk", false);
    SavedIndexMode = ini.ReadBool(kSection, "IndexMode", false);
    StayOnTop = ini.ReadBool(kSection, "StayOnTop", smallScreen);
    const bool mute = ini.ReadBool(kSection, "MuteOn", false);
    const bool penBlack = ini.ReadBool(kSection, "FezPenBlack", false);
    const bool penDown = ini.ReadBool(kSection, "FezPenDown", false);
    const bool lightShow = ini.ReadBool(kSection, "LightShow", true);
    // The random default is drawn whether or not the key exists, so the generator's
    // sequence does not depend on the file.
    const int freshFate = Random.Next(MaxCard);
    Fate = ini.ReadInteger(kSection, "Fate", freshFate);
    int left = 0, top = 0;
    Os.GetWindowPos(left, top);
    const int savedLeft = ini.ReadInteger(kSection, "Left", left);
    const int savedTop = ini.ReadInteger(kSection, "Top", top);
    const std::string seen = ini.ReadString(kSection, "CardOK", "");
    OldDate = ini.ReadDate(kSection, "OldDate", today);
    MemDate = ini.ReadDate(kSection, "MemDate", today);
    SavedWish = DecodeIniText(ini.ReadString(kSection, "Wish", ""));

    // A light origin far beyond the window cannot be meant, and would overflow the
    // drawing arithmetic; it is kept within bounds. (The window position is applied as it
    // is where the window can still be reached: the drag works it out in 64 bits.)
    SavedStarX = Clamp(SavedStarX, -kFarAway, kFarAway);
    SavedStarY = Clamp(SavedStarY, -kFarAway, kFarAway);

    // Only 0..49 name a card; a negative number is treated like one above 49.
    if (SavedCard > MaxCard || SavedCard < 0) SavedCard = 0;

    SetResumeOk(resume);
    if (ResumeOk) {
        PlaceWindow(savedLeft, savedTop);
        CurrentCard = SavedCard;
        IndexMode = SavedIndexMode;
        SetLightOrigin(SavedStarX, SavedStarY);
    }
    SetFezPenBlack(penBlack);
    SetFezPenDown(penDown);
    SetLightShow(lightShow);
    SetMuteOn(mute);
    DecodeSeenCards(seen);
    UpdateFate();
}

void TOrvaneFM::SaveSettings() {
    const std::string path = SettingsPath();
    TIniFile ini;
    std::string content;
    if (Os.ReadFile(path, content)) {
        ini.Parse(content);
    } else if (Os.FileExists(path)) {
        // A file that exists but cannot be read must not be replaced by one holding only
        // our keys: everything else in it would be lost.
        throw EError(Format(sjis::kCannotWrite, Os.Utf8ToSjis(path).c_str()));
    }

    if (ReadingMade) ini.WriteInteger(kSection, "CardNum", CurrentCard);
    // The stored light origin belongs to the stored reading: keep it unless a new
    // reading was made or the stored card is still on show.
    if (ReadingMade || CurrentCard == SavedCard) {
        ini.WriteInteger(kSection, "StarX", StarX);
        ini.WriteInteger(kSection, "StarY", StarY);
    }
    ini.WriteBool(kSection, "ResumeOk", ResumeOk);
    ini.WriteBool(kSection, "IndexMode", IndexMode);
    ini.WriteBool(kSection, "StayOnTop", StayOnTop);
    ini.WriteBool(kSection, "MuteOn", MuteOn);
    ini.WriteBool(kSection, "FezPenBlack", FezPenBlack);
    ini.WriteBool(kSection, "FezPenDown", FezPenDown);
    ini.WriteBool(kSection, "LightShow", LightShow);
    ini.WriteInteger(kSection, "Fate", Fate);
    int left = 0, top = 0;
    Os.GetWindowPos(left, top);
    ini.WriteInteger(kSection, "Left", left);
    ini.WriteInteger(kSection, "Top", top);
    ini.WriteString(kSection, "CardOk", EncodeSeenCards());
    ini.WriteDate(kSection, "OldDate", OldDate);
    ini.WriteDate(kSection, "MemDate", Os.Today());
    // A wish may hold line breaks; the stored form keeps it on one line and comes back
    // exactly, so it can never add keys of its own.
    if (ReadingMade) ini.WriteString(kSection, "Wish", EncodeIniText(Os.MemoText()));

    // Written beside the file and moved over it in one step, so a failure at any point
    // leaves the previous file whole.
    const std::string temporary = path + ".new";
    if (!Os.WriteFile(temporary, ini.Text()) || !Os.ReplaceFile(temporary, path)) {
        Os.DeleteFile(temporary);
        throw EError(Format(sjis::kCannotWrite, Os.Utf8ToSjis(path).c_str()));
    }
}
