// The bad-input matrix: whatever the settings file holds, whatever the disk does to the
// save, however damaged a picture resource or odd the desktop, the program starts (or
// says why not), keeps its state in range and never loses the previous settings file.
// docs/robustness.md lists each row with the test here that covers it.
//
// Everything runs as root in the test machines, so a read-only file or folder does not
// make a write fail; the headless desktop's fault injection (FailWriteAt, FailReplace)
// stands in for a full disk, a short write and a file that cannot be replaced.
#include <algorithm>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <map>

#include "common/Errors.h"
#include "common/IniFile.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "content/ImageCodecs.h"
#include "tests/headless/AppFixture.h"

namespace {

const char* const kAllKeys[] = {"CardNum",   "StarX",  "StarY",       "ResumeOk",   "IndexMode",
                                "StayOnTop", "MuteOn", "FezPenBlack", "FezPenDown", "LightShow",
                                "Fate",      "Left",   "Top",         "CardOK",     "OldDate",
                                "MemDate",   "Wish"};

std::string Sjis(const char* utf8) {
    THeadlessPlatform os("/tmp/");
    return os.Utf8ToSjis(utf8);
}

std::string CannotWrite(const std::string& path) {
    return Format(sjis::kCannotWrite, path.c_str());
}

// Bytes of a fixed pseudo-random sequence, the same on every run.
std::string Noise(size_t n, uint32_t seed) {
    std::string s(n, '\0');
    for (char& c : s) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return s;
}

struct TBadValue {
    const char* Name;
    std::string Value;
    bool Readable;  // a number the integer reader accepts
};

std::vector<TBadValue> BadValues() {
    return {
        {"Empty", "", false},
        {"Garbage", "x1!#\t;[]=", false},
        {"HugeBeyondInt", "99999999999999999999", false},
        {"Overlong", std::string(3000, '7'), false},
        {"ShiftJis", Sjis("旅の無事"), false},
        // A lead byte followed by a space, a lone 0xFF, and a lead byte cut off at the end.
        {"InvalidDoubleByte", "\x81 \x82\xFF\x83", false},
        {"Negative", "-1", true},
        {"LargestInt", "2147483647", true},
        {"SmallestInt", "-2147483648", true},
    };
}

std::string IniWithEveryKey(const std::string& value) {
    std::string text = "[Orvane.ini]\r\n";
    for (const char* key : kAllKeys) text += std::string(key) + "=" + value + "\r\n";
    return text;
}

}  // namespace

// ---- Every key of the settings file holding the same bad value.

class BadSettingsValue : public AppTest, public ::testing::WithParamInterface<int> {
protected:
    TBadValue Bad() const { return BadValues()[static_cast<size_t>(GetParam())]; }

    // The state every start must be in, whatever the file said.
    void ExpectSaneState() {
        EXPECT_TRUE(Os->Messages.empty()) << Os->SjisToUtf8(Os->Messages[0].Text);
        EXPECT_GE(State().CurrentCard, 0);
        EXPECT_LE(State().CurrentCard, MaxCard);
        EXPECT_GE(State().SavedCard, 0);
        EXPECT_LE(State().SavedCard, MaxCard);
        EXPECT_GE(State().Fate, 0);
        EXPECT_LT(State().Fate, MaxCard);
        EXPECT_TRUE(IsValidDate(State().OldDate));
        EXPECT_TRUE(IsValidDate(State().MemDate));
        EXPECT_EQ(LabelText(TControl::LabelNo), "CARD." + ZeroPad(State().CurrentCard, 3));
    }
};

TEST_P(BadSettingsValue, StartsInRangeDrawsAndSavesWhatItShows) {
    const TBadValue bad = Bad();
    ASSERT_TRUE(Os->WriteFile(Dir + "Orvane.ini", IniWithEveryKey(bad.Value)));
    Start();
    ExpectSaneState();

    if (!bad.Readable) {
        // Nothing readable: every key takes its default.
        EXPECT_FALSE(State().Options.ResumeOk);
        EXPECT_EQ(State().CurrentCard, 0);
        EXPECT_EQ(Os->Left, (1024 - 737) / 2);
        EXPECT_EQ(Os->Top, (768 - 584) / 2 - 6);
        EXPECT_FALSE(State().IndexMode);
        EXPECT_FALSE(State().Options.StayOnTop);
        EXPECT_FALSE(State().Options.MuteOn);
        EXPECT_FALSE(State().Options.FezPenBlack);
        EXPECT_FALSE(State().Options.FezPenDown);
        EXPECT_TRUE(State().Options.LightShow);
        EXPECT_EQ(State().OldDate, Os->TodayDate);
        EXPECT_EQ(State().MemDate, Os->TodayDate);
        EXPECT_EQ(State().SeenCards, std::string(MaxCard, '.'));
        EXPECT_EQ(State().SavedWish, bad.Value.substr(0, kIniMaxText));
    } else {
        // A readable number: flags are on, the card number is brought into range and
        // the saved position is applied where the window can still be reached.
        const long long v = std::atoll(bad.Value.c_str());
        EXPECT_TRUE(State().Options.ResumeOk);
        EXPECT_TRUE(State().Options.MuteOn);
        EXPECT_TRUE(State().Options.StayOnTop);
        EXPECT_EQ(State().CurrentCard, 0);
        EXPECT_EQ(State().Fate, static_cast<int>(((v % 49) + 49) % 49));
        // Left and Top both hold v: kept while 64 x 64 pixels of the window show on the
        // 1024 x 768 screen, otherwise moved into it.
        const bool reachable = v >= 64 - 737 && v <= 1024 - 64 && v >= 64 - 584 && v <= 768 - 64;
        EXPECT_EQ(Os->Left, reachable ? v : std::max(0LL, std::min(1024LL - 737, v)));
        // A light origin is an offset within the window: a huge one is kept in bounds.
        EXPECT_EQ(State().StarX, static_cast<int>(std::max(-1000000LL, std::min(1000000LL, v))));
        EXPECT_TRUE(State().IndexMode) << "the index view is resumed";
    }

    // The program runs: the light effect steps, the window is dragged, the index view
    // closes with a key, and a reading turns the card.
    Tick(300);
    Down(300, 10);
    Move(340, 30);
    Up(340, 30);
    if (State().IndexMode) Key('A');
    EXPECT_FALSE(State().IndexMode);
    Key(27);  // Escape empties the wish box
    Type("abc");
    Key(13);
    Idle();
    EXPECT_EQ(State().AnimStep, 0);
    EXPECT_EQ(State().CurrentCard, WishToCardBytes("abc", State().Fate));
    ExpectSaneState();
    const int fate = State().Fate;
    const int card = State().CurrentCard;
    Close();
    EXPECT_TRUE(Os->Messages.empty());

    // What was written reads back as the run left it, and starts again cleanly.
    TIniFile ini;
    ini.Parse(ReadIni());
    EXPECT_EQ(ini.ReadInteger("Orvane.ini", "CardNum", -1), card);
    EXPECT_EQ(ini.ReadInteger("Orvane.ini", "Fate", -1), fate);
    EXPECT_EQ(ini.ReadString("Orvane.ini", "Wish", ""), "abc");
    EXPECT_EQ(ini.ReadString("Orvane.ini", "MemDate", ""), "2026/12/08");
    Form.reset();
    Start();
    ExpectSaneState();
    EXPECT_EQ(State().Fate, fate);
    EXPECT_EQ(State().SavedCard, card);
}

INSTANTIATE_TEST_SUITE_P(EveryKey, BadSettingsValue,
                         ::testing::Range(0, static_cast<int>(BadValues().size())),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(BadValues()[static_cast<size_t>(info.param)].Name);
                         });

// The extreme numbers one at a time, each where the program does arithmetic on it:
// the light origin in every sparkle step, the window position in every drag step.
TEST_F(AppTest, AnExtremeLightOriginFromTheFileIsSafeToAnimate) {
    WriteIni("ResumeOk=1\r\nStarX=2147483647\r\nStarY=2147483647\r\n");
    Start();
    Tick(300);
    Down(206, 298);  // grabs the light origin again
    Up(206, 298);
    Tick(300);
    EXPECT_EQ(State().StarX, 206 - 161 - 44 - 1);
    EXPECT_TRUE(Os->Messages.empty());
}

TEST_F(AppTest, AnExtremeWindowPositionFromTheFileIsSafeToDrag) {
    WriteIni("ResumeOk=1\r\nLeft=2147483647\r\nTop=2147483647\r\n");
    Start();
    EXPECT_EQ(Os->Left, 1024 - 737) << "brought back to the screen's right edge";
    EXPECT_EQ(Os->Top, 768 - 584);
    // Wherever the system puts the window, the drag works it out without overflow.
    Os->Left = Os->Top = INT_MAX;
    Down(300, 10);
    Move(340, 30);
    Up(340, 30);
    Menu(TMenuItem::PopCenter);
    EXPECT_EQ(Os->Left, (1024 - 737) / 2) << "centring brings the window back";
    EXPECT_TRUE(Os->Messages.empty());
}

// ---- Whole files that are not settings at all.

TEST_F(AppTest, BinaryAndHugeSettingsFilesStartWithDefaultsAndKeepTheirOtherContent) {
    // 64 KiB of noise with NUL bytes and stray line ends, then a real key at the end that
    // must still be found.
    const std::string noise = Noise(65536, 7);
    ASSERT_TRUE(Os->WriteFile(Dir + "Orvane.ini", noise + "\r\n[Orvane.ini]\r\nMuteOn=1\r\n"));
    Start();
    EXPECT_TRUE(Os->Messages.empty());
    EXPECT_TRUE(State().Options.MuteOn);
    EXPECT_EQ(State().CurrentCard, 0);
    Close();
    EXPECT_TRUE(Os->Messages.empty());
    TIniFile ini;
    ini.Parse(ReadIni());
    EXPECT_EQ(ini.ReadString("Orvane.ini", "CardOK", ""), std::string(MaxCard, '.'));
    EXPECT_EQ(ini.ReadInteger("Orvane.ini", "MuteOn", -1), 1);

    // 1 MiB: a section of another program before ours, and a line of 64 KiB in ours.
    std::string big = "[Other]\r\n";
    for (int i = 0; big.size() < (1u << 20); ++i) big += "Key" + std::to_string(i) + "=value\r\n";
    big +=
        "[Orvane.ini]\r\nWish=" + std::string(65536, 'w') + "\r\nFate=5\r\nOldDate=2026/12/01\r\n";
    ASSERT_TRUE(Os->WriteFile(Dir + "Orvane.ini", big));
    Form.reset();
    Start();
    EXPECT_TRUE(Os->Messages.empty());
    EXPECT_EQ(State().Fate, 5);
    EXPECT_EQ(State().SavedWish, std::string(kIniMaxText, 'w')) << "a text is read back cut";
    Close();
    EXPECT_TRUE(Os->Messages.empty());
    const std::string after = ReadIni();
    EXPECT_EQ(after.compare(0, 200, big, 0, 200), 0) << "the other program's section stays";
    EXPECT_NE(after.find("Key9999=value\r\n"), std::string::npos);
    EXPECT_NE(after.find("Wish=" + std::string(65536, 'w') + "\r\n"), std::string::npos)
        << "a run without a reading leaves the stored wish as it was";
}

// Found by the settings fuzz target: a file saved by an editor that put its byte-order
// mark in twice. The reader skips one mark, so the section after the second is not
// found and the save adds a new one at the end; the writer drops the skipped mark, so at
// the next start the old section is found first and the run's record is lost.
TEST_F(AppTest, AFileWithTwoByteOrderMarksKeepsTheSeenRecordOfARun) {
    ASSERT_TRUE(Os->WriteFile(Dir + "Orvane.ini",
                              "\xEF\xBB\xBF\xEF\xBB\xBF[Orvane.ini]\r\nCardOK=.\r\nFate=0\r\n"
                              "OldDate=2026/12/01\r\n"));
    Start();
    Type("abc");
    Key(13);
    Idle();
    const int card = State().CurrentCard;
    ASSERT_GE(card, 1);
    Close();
    Form.reset();
    Start();
    EXPECT_TRUE(State().Collection.SeenCards[card])
        << "the card drawn in the last run is remembered";
    EXPECT_EQ(State().SavedCard, card);
}

TEST_F(AppTest, ASettingsPathThatIsADirectoryGivesDefaultsAndANamedFailure) {
    ASSERT_EQ(::mkdir((Dir + "Orvane.ini").c_str(), 0755), 0);
    Start();
    EXPECT_TRUE(Os->Messages.empty()) << "reading never fails";
    EXPECT_EQ(State().CurrentCard, 0);
    Close();
    ASSERT_EQ(Os->Messages.size(), 1u);
    EXPECT_EQ(Os->Messages[0].Title, "Sablewick");
    EXPECT_EQ(Os->Messages[0].Text, CannotWrite(Dir + "Orvane.ini"));
    struct stat st;
    ASSERT_EQ(::stat((Dir + "Orvane.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode)) << "the folder is left alone";
    EXPECT_FALSE(Os->FileExists(Dir + "Orvane.ini.new")) << "no half-written file is left";
}

// ---- The save failing at every point.

TEST_F(AppTest, ASaveFailingAtAnyByteLeavesThePreviousFileByteForByte) {
    const std::string previous =
        "; kept as it is\r\n[Orvane.ini]\r\nCardNum=7\r\nWish=" + Sjis("前の願い") +
        "\r\nFate=3\r\nOldDate=2026/12/01\r\nCardOk=lllll\r\n[Other]\r\nx=1\r\n";
    ASSERT_TRUE(Os->WriteFile(Dir + "Orvane.ini", previous));
    Start();
    Type("新しい願い");
    Key(13);
    Idle();
    Menu(TMenuItem::MuteOnChange);
    const std::string path = Dir + "Orvane.ini";

    // Every cut from the first byte on fails and changes nothing; the first length that
    // holds the whole new file succeeds.
    long succeededAt = -1;
    for (long at = 0; at < 4096 && succeededAt < 0; ++at) {
        Os->FailWriteAt = at;
        try {
            TFormAccess::SaveSettings(*Form);
            succeededAt = at;
        } catch (const EError& e) {
            EXPECT_EQ(e.what(), CannotWrite(path)) << "cut at " << at;
            EXPECT_EQ(ReadIni(), previous) << "cut at " << at;
            EXPECT_FALSE(Os->FileExists(path + ".new")) << "cut at " << at;
        }
    }
    Os->FailWriteAt = -1;
    const std::string written = ReadIni();
    EXPECT_EQ(succeededAt, static_cast<long>(written.size()))
        << "a write cut anywhere before the end must fail";
    EXPECT_NE(written.find("MuteOn=1"), std::string::npos);
    EXPECT_EQ(written.compare(0, 17, "; kept as it is\r\n"), 0);

    // A file that cannot be replaced (read-only on Windows) fails the same way.
    ASSERT_TRUE(Os->WriteFile(path, previous));
    Os->FailReplace = true;
    EXPECT_THROW(TFormAccess::SaveSettings(*Form), EError);
    EXPECT_EQ(ReadIni(), previous);
    EXPECT_FALSE(Os->FileExists(path + ".new"));

    // Through the real shutdown: the message box names the file and the program ends.
    Os->FailReplace = false;
    Os->FailWriteAt = 10;
    Close();
    ASSERT_EQ(Os->Messages.size(), 1u);
    EXPECT_EQ(Os->Messages[0].Title, "Sablewick");
    EXPECT_EQ(Os->Messages[0].Text, CannotWrite(path));
    EXPECT_EQ(ReadIni(), previous);
    EXPECT_TRUE(State().Closing);
}

TEST_F(AppTest, AProgramDirectoryThatVanishesOrCannotBeWrittenIsReportedByName) {
    // Gone while the program runs: the save fails with the path, nothing crashes.
    Start();
    Type("abc");
    Key(13);
    Idle();
    ASSERT_EQ(std::system(("rm -rf '" + Dir + "'").c_str()), 0);
    Close();
    ASSERT_EQ(Os->Messages.size(), 1u);
    EXPECT_EQ(Os->Messages[0].Text, CannotWrite(Dir + "Orvane.ini"));

    // Gone (or not writable) before the start: the browser probe cannot be made, which
    // is a start-up failure naming the probe, and no settings are written.
    Form.reset();
    Os->Messages.clear();
    Form = std::make_unique<TOrvaneFM>(*Os);
    EXPECT_FALSE(Form->FormCreate());
    ASSERT_EQ(Os->Messages.size(), 1u);
    EXPECT_EQ(Os->Messages[0].Text, Format(sjis::kCannotCreateFile, (Dir + "z.html").c_str()));
    Form->Events.FormDestroy();
    EXPECT_EQ(Os->Messages.size(), 1u) << "a failed start saves nothing";
    ASSERT_EQ(::mkdir(Dir.c_str(), 0755), 0);  // for TearDown

    // A directory that refuses every write from the first byte (read-only): the probe
    // exists already, so the start works; the save fails by name.
    ASSERT_TRUE(Os->WriteFile(Dir + "z.html", "IniName\r\n"));
    Os->Messages.clear();
    Form.reset();
    Start();
    Os->FailWriteAt = 0;
    Close();
    ASSERT_EQ(Os->Messages.size(), 1u);
    EXPECT_EQ(Os->Messages[0].Text, CannotWrite(Dir + "Orvane.ini"));
    EXPECT_FALSE(Os->FileExists(Dir + "Orvane.ini"));
}

TEST_F(AppTest, AProgramDirectoryLongerThan255BytesIsStillTheProgramsOwn) {
    std::string longDir = Dir;
    while (longDir.size() < 300) {
        longDir += std::string(60, 'd') + "/";
        ASSERT_EQ(::mkdir(longDir.c_str(), 0755), 0);
    }
    Os = std::make_unique<THeadlessPlatform>(longDir);
    Os->Seed = 3;
    Os->Tick = 1000;
    ASSERT_TRUE(Os->WriteFile(longDir + "Orvane.ini", "[Orvane.ini]\r\nMuteOn=1\r\n"));
    Start();
    EXPECT_EQ(State().ProgramDir, longDir);
    EXPECT_TRUE(State().Options.MuteOn) << "the settings are read from the long directory";
    Type("abc");
    Key(13);
    Idle();
    Close();
    EXPECT_TRUE(Os->Messages.empty());
    std::string text;
    ASSERT_TRUE(Os->ReadFile(longDir + "Orvane.ini", text));
    EXPECT_NE(text.find("Wish=abc"), std::string::npos);
    const std::string cut = (longDir + "Orvane.ini").substr(0, 255);
    EXPECT_FALSE(Os->FileExists(cut)) << "nothing is written to a truncated path";
    EXPECT_FALSE(Os->FileExists(longDir + "z.html"));
}

// ---- Damaged picture resources.

namespace {
// The embedded resources, with one of them replaced by other bytes.
class TDamagedPlatform : public THeadlessPlatform {
public:
    using THeadlessPlatform::THeadlessPlatform;
    std::map<std::string, std::string> Replaced;  // upper-case name -> bytes
    std::string Missing;                          // upper-case name
    bool FindResourceData(const std::string& type, const std::string& name,
                          TResourceView& out) override {
        if (AsciiUpper(name) == Missing) return false;
        auto it = Replaced.find(AsciiUpper(name));
        if (it != Replaced.end() && THeadlessPlatform::FindResourceData(type, name, out)) {
            out.Data = reinterpret_cast<const uint8_t*>(it->second.data());
            out.Size = it->second.size();
            return true;
        }
        return THeadlessPlatform::FindResourceData(type, name, out);
    }
};

struct TDamage {
    const char* Name;
    const char* Type;
    bool Truncate;  // else the middle is overwritten
};
const TDamage kDamages[] = {
    {"BASE", "JPG", true},     {"BUTTON", "JPG", true},   {"NAMI", "JPG", true},
    {"C999", "JPG", true},     {"C000", "JPG", true},     {"C012", "JPG", true},
    {"QUEST", "JPG", true},    {"INDEX01", "JPG", true},  {"BASEMSK", "BMP", true},
    {"WAKUTATE", "BMP", true}, {"WAKUYOKO", "BMP", true}, {"STAR", "BMP", true},
    {"BASE", "JPG", false},    {"C012", "JPG", false},    {"BASEMSK", "BMP", false},
    {"STAR", "BMP", false},
};
}  // namespace

class DamagedPicture : public AppTest, public ::testing::WithParamInterface<int> {};

TEST_P(DamagedPicture, GivesAnEmptyPictureAndTheProgramGoesOn) {
    const TDamage d = kDamages[GetParam()];
    auto os = std::make_unique<TDamagedPlatform>(Dir);
    TResourceView real;
    ASSERT_TRUE(os->FindResourceData(d.Type, d.Name, real));
    std::string bytes(reinterpret_cast<const char*>(real.Data), real.Size);
    if (d.Truncate) {
        bytes.resize(bytes.size() / 2);
    } else {
        // The header stays; from a quarter in, the data is noise (a JPEG loses its
        // markers' meaning, a BMP header claims other sizes and offsets).
        const size_t from = d.Type[0] == 'B' ? 2 : bytes.size() / 4;
        const std::string noise = Noise(bytes.size() - from, 11);
        bytes.replace(from, noise.size(), noise);
    }
    os->Replaced[d.Name] = bytes;
    os->Seed = 12345;
    os->Tick = 1000;
    Os = std::move(os);
    WriteIni("CardOK=" + std::string(MaxCard, 'l') + "\r\nFate=0\r\nOldDate=2026/12/01\r\n");

    Start();
    EXPECT_TRUE(Os->Messages.empty());
    const TPicture* loaded = nullptr;
    const std::string name = d.Name;
    if (name == "BASE") loaded = &Pics().BackBuffer;
    if (name == "BUTTON") loaded = &Pics().ButtonSheet;
    if (name == "NAMI") loaded = &Pics().Nami;
    if (name == "C999") loaded = &Pics().CardSlot[0];
    if (name == "C000") loaded = &Pics().CardSlot[1];
    if (name == "QUEST") loaded = &Pics().Quest;
    if (name == "WAKUTATE") loaded = &Pics().WakuTate;
    if (name == "WAKUYOKO") loaded = &Pics().WakuYoko;
    if (name == "STAR") loaded = &Pics().StarPic;
    // Cut short or with noise inside, none of these pictures decodes: the program holds
    // an empty picture in its place, never a half-decoded one.
    if (loaded) {
        EXPECT_TRUE(loaded->Empty()) << "a damaged picture is empty";
    }
    if (name == "BASEMSK") {
        // No outline to cut: the window stays a whole rectangle, seen and grabbed.
        EXPECT_EQ(Os->WindowRegion, nullptr);
        EXPECT_TRUE(Os->InShape(5, 5));
    }

    // A whole session over the damaged picture: sparkles, a reading to card 12 (whose
    // picture may be the damaged one), the index view and the wallpaper.
    Tick(200);
    Type("abc");  // card 12 with Fate 0
    Key(13);
    Idle();
    EXPECT_EQ(State().CurrentCard, 12);
    if (name == "C012") {
        EXPECT_TRUE(Pics().CardSlot[1].Empty());
        // The turn ends on the backdrop alone, with no frame around a missing picture.
        EXPECT_EQ(Os->Surface.GetPixel(206, 298), Pics().Nami.GetPixel(206 - 32, 298 - 44));
        EXPECT_EQ(Os->Surface.GetPixel(34, 44), Pics().Nami.GetPixel(2, 0));
    }
    Click(540, 10);  // the index view
    Idle();
    EXPECT_TRUE(State().IndexMode);
    if (name == "INDEX01") {
        EXPECT_TRUE(Pics().IndexPage.Empty()) << "page 1, of card 12";
    }
    Click(470, 80);  // card 10
    Idle();
    Key('A');
    Menu(TMenuItem::WallMakeClick);
    Tick(200);
    EXPECT_EQ(State().AnimStep, 0);
    EXPECT_TRUE(Os->Messages.empty());
    EXPECT_EQ(Os->Wallpapers.size(), 1u);
    // After the session the damaged picture is still the empty one (the wallpaper
    // borrows the card back's slot and loads the card back again), and the others are
    // whole.
    const struct {
        const char* Name;
        const TPicture& Picture;
        int Width, Height;
    } kKept[] = {{"BUTTON", Pics().ButtonSheet, 450, 222},
                 {"NAMI", Pics().Nami, 348, 508},
                 {"C999", Pics().CardSlot[0], 340, 500},
                 {"QUEST", Pics().Quest, 46, 68},
                 {"WAKUTATE", Pics().WakuTate, 8, 504},
                 {"WAKUYOKO", Pics().WakuYoko, 348, 8},
                 {"STAR", Pics().StarPic, 3, 3}};
    for (const auto& k : kKept) {
        if (name == k.Name) {
            EXPECT_TRUE(k.Picture.Empty()) << k.Name;
        } else {
            EXPECT_EQ(k.Picture.Width, k.Width) << k.Name;
            EXPECT_EQ(k.Picture.Height, k.Height) << k.Name;
        }
    }
    Close();
    EXPECT_TRUE(Os->Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Resources, DamagedPicture,
                         ::testing::Range(0,
                                          static_cast<int>(sizeof kDamages / sizeof kDamages[0])),
                         [](const ::testing::TestParamInfo<int>& info) {
                             const TDamage& d = kDamages[info.param];
                             return std::string(d.Truncate ? "Truncated" : "Corrupt") + d.Name;
                         });

TEST_F(AppTest, AMissingResourceFailsTheStartByNameAndLeavesNoProbe) {
    auto os = std::make_unique<TDamagedPlatform>(Dir);
    os->Missing = "BASE";
    Os = std::move(os);
    Form = std::make_unique<TOrvaneFM>(*Os);
    EXPECT_FALSE(Form->FormCreate());
    ASSERT_EQ(Os->Messages.size(), 1u);
    EXPECT_NE(Os->Messages[0].Text.find("Base"), std::string::npos) << Os->Messages[0].Text;
    EXPECT_FALSE(Os->FileExists(Dir + "z.html")) << "the probe of the failed start stays";
    Form->Events.FormDestroy();
    EXPECT_FALSE(Os->FileExists(Dir + "Orvane.ini")) << "a failed start saves nothing";
}

// ---- An odd desktop.

TEST_F(AppTest, AScreenSmallerThanTheWindowStillCentresAndMakesAWallpaperOfItsSize) {
    Os->ScreenWidth = 320;
    Os->ScreenHeight = 200;
    Start();
    EXPECT_TRUE(Os->Messages.empty());
    EXPECT_EQ(Os->Left, (320 - 737) / 2);
    EXPECT_EQ(Os->Top, (200 - 584) / 2 - 6);
    EXPECT_TRUE(State().Options.StayOnTop) << "a screen below 616 pixels keeps the window on top";
    Down(300, 10);
    Move(350, 60);
    Up(350, 60);
    Menu(TMenuItem::PopCenter);
    EXPECT_EQ(Os->Left, (320 - 737) / 2);
    SeeAll();
    Menu(TMenuItem::WallMakeClick);
    ASSERT_EQ(Os->Wallpapers.size(), 1u);
    std::string bmp;
    ASSERT_TRUE(Os->ReadFile(Dir + "WallOrvane.bmp", bmp));
    TPicture wall;
    ASSERT_TRUE(DecodeBmp(reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size(), wall));
    EXPECT_EQ(wall.Width, 320);
    EXPECT_EQ(wall.Height, 200);
    Close();
    EXPECT_TRUE(Os->Messages.empty());
}

TEST_F(AppTest, TheWallpaperOfAOneByOneScreenIsOnePixel) {
    Os->ScreenWidth = 1;
    Os->ScreenHeight = 1;
    Start();
    SeeAll();
    Menu(TMenuItem::WallMakeClick);
    EXPECT_TRUE(Os->Messages.empty());
    ASSERT_EQ(Os->Wallpapers.size(), 1u);
    std::string bmp;
    ASSERT_TRUE(Os->ReadFile(Dir + "WallOrvane.bmp", bmp));
    TPicture wall;
    ASSERT_TRUE(DecodeBmp(reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size(), wall));
    EXPECT_EQ(wall.Width, 1);
    EXPECT_EQ(wall.Height, 1);
    EXPECT_FALSE(Pics().CardSlot[0].Empty()) << "the card back is back in its slot";
    // The next card turn still shows the back.
    Type("abc");
    Key(13);
    Idle();
    EXPECT_EQ(State().AnimStep, 0);
    Close();
    EXPECT_TRUE(Os->Messages.empty());
}

TEST_F(AppTest, TheTickCountWrappingNeitherStallsNorRushesTheCardTurn) {
    // The same reading, once far from the wrap and once across it, takes the same steps.
    auto stepsOfAReading = [&](uint32_t tick0) {
        Os->Tick = tick0;
        Type("abc");
        Key(13);
        int steps = 0;
        for (int i = 0; i < 2000 && State().AnimStep != 0; ++i) {
            Os->Tick += 10;
            const int before = State().AnimStep;
            Os->FireTimer();
            if (State().AnimStep != before) ++steps;
        }
        Key(27);
        return steps;
    };
    Start();
    const int normal = stepsOfAReading(5000);
    EXPECT_GT(normal, 10);
    EXPECT_EQ(State().AnimStep, 0);
    // The last step before the wrap lies just below 2^32; the turn runs across it.
    TFormAccess::LastStepTick(*Form) = 0xFFFFFFFFu - 60;
    EXPECT_EQ(stepsOfAReading(0xFFFFFFFFu - 50), normal);
    EXPECT_EQ(State().AnimStep, 0);
    EXPECT_LT(Os->Tick, 100000u) << "the clock did wrap";
    Close();
    EXPECT_TRUE(Os->Messages.empty());
}
