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

// The keys of the section, each spelled once for reading and writing (names are found
// whatever their case, so "CardOK" in an older file is the same key as CardOk).
namespace key {
const char kCardNum[] = "CardNum";
const char kStarX[] = "StarX";
const char kStarY[] = "StarY";
const char kResumeOk[] = "ResumeOk";
const char kIndexMode[] = "IndexMode";
const char kStayOnTop[] = "StayOnTop";
const char kMuteOn[] = "MuteOn";
const char kFezPenBlack[] = "FezPenBlack";
const char kFezPenDown[] = "FezPenDown";
const char kLightShow[] = "LightShow";
const char kFate[] = "Fate";
const char kLeft[] = "Left";
const char kTop[] = "Top";
const char kCardOk[] = "CardOk";
const char kOldDate[] = "OldDate";
const char kMemDate[] = "MemDate";
const char kWish[] = "Wish";
}  // namespace key
// Light origin offsets beyond this are far outside any window.
constexpr int kFarAway = 1000000;
}  // namespace

std::string TOrvaneFM::SettingsPath() const {
    return ProgramDir + kIniName;
}

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

    SavedCard = ini.ReadInteger(kSection, key::kCardNum, 0);
    SavedStarX = ini.ReadInteger(kSection, key::kStarX, 0);
    SavedStarY = ini.ReadInteger(kSection, key::kStarY, 0);
    const bool resume = ini.ReadBool(kSection, key::kResumeOk, false);
    SavedIndexMode = ini.ReadBool(kSection, key::kIndexMode, false);
    Options.StayOnTop = ini.ReadBool(kSection, key::kStayOnTop, smallScreen);
    const bool mute = ini.ReadBool(kSection, key::kMuteOn, false);
    const bool penBlack = ini.ReadBool(kSection, key::kFezPenBlack, false);
    const bool penDown = ini.ReadBool(kSection, key::kFezPenDown, false);
    const bool lightShow = ini.ReadBool(kSection, key::kLightShow, true);
    // The random default is drawn whether or not the key exists, so the generator's
    // sequence does not depend on the file.
    const int freshFate = Random.Next(MaxCard);
    Fate = ini.ReadInteger(kSection, key::kFate, freshFate);
    int left = 0, top = 0;
    Os.GetWindowPos(left, top);
    const int savedLeft = ini.ReadInteger(kSection, key::kLeft, left);
    const int savedTop = ini.ReadInteger(kSection, key::kTop, top);
    const std::string seen = ini.ReadString(kSection, key::kCardOk, "");
    OldDate = ini.ReadDate(kSection, key::kOldDate, today);
    MemDate = ini.ReadDate(kSection, key::kMemDate, today);
    SavedWish = DecodeIniText(ini.ReadString(kSection, key::kWish, ""));

    // A light origin far beyond the window cannot be meant, and would overflow the
    // drawing arithmetic; it is kept within bounds. (The window position is applied as it
    // is where the window can still be reached: the drag works it out in 64 bits.)
    SavedStarX = Clamp(SavedStarX, -kFarAway, kFarAway);
    SavedStarY = Clamp(SavedStarY, -kFarAway, kFarAway);

    // Only 0..49 name a card; a negative number is treated like one above 49.
    if (SavedCard > MaxCard || SavedCard < 0) SavedCard = 0;

    SetResumeOk(resume);
    if (Options.ResumeOk) {
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

    if (ReadingMade) ini.WriteInteger(kSection, key::kCardNum, CurrentCard);
    // The stored light origin belongs to the stored reading: keep it unless a new
    // reading was made or the stored card is still on show.
    if (ReadingMade || CurrentCard == SavedCard) {
        ini.WriteInteger(kSection, key::kStarX, StarX);
        ini.WriteInteger(kSection, key::kStarY, StarY);
    }
    ini.WriteBool(kSection, key::kResumeOk, Options.ResumeOk);
    ini.WriteBool(kSection, key::kIndexMode, IndexMode);
    ini.WriteBool(kSection, key::kStayOnTop, Options.StayOnTop);
    ini.WriteBool(kSection, key::kMuteOn, Options.MuteOn);
    ini.WriteBool(kSection, key::kFezPenBlack, Options.FezPenBlack);
    ini.WriteBool(kSection, key::kFezPenDown, Options.FezPenDown);
    ini.WriteBool(kSection, key::kLightShow, Options.LightShow);
    ini.WriteInteger(kSection, key::kFate, Fate);
    int left = 0, top = 0;
    Os.GetWindowPos(left, top);
    ini.WriteInteger(kSection, key::kLeft, left);
    ini.WriteInteger(kSection, key::kTop, top);
    ini.WriteString(kSection, key::kCardOk, EncodeSeenCards());
    ini.WriteDate(kSection, key::kOldDate, OldDate);
    ini.WriteDate(kSection, key::kMemDate, Os.Today());
    // A wish may hold line breaks; the stored form keeps it on one line and comes back
    // exactly, so it can never add keys of its own.
    if (ReadingMade) ini.WriteString(kSection, key::kWish, EncodeIniText(Os.MemoText()));

    // Written beside the file and moved over it in one step, so a failure at any point
    // leaves the previous file whole.
    const std::string temporary = path + ".new";
    if (!Os.WriteFile(temporary, ini.Text()) || !Os.ReplaceFile(temporary, path)) {
        Os.DeleteFile(temporary);
        throw EError(Format(sjis::kCannotWrite, Os.Utf8ToSjis(path).c_str()));
    }
}
