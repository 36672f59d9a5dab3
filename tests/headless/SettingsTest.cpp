// The settings file through the program: what a start reads, what a close writes and
// under which conditions, and that a failed save never damages the previous file.
#include "common/SjisTexts.h"
#include "tests/headless/AppFixture.h"

namespace {
bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
}  // namespace

TEST_F(AppTest, ARunWithoutAReadingKeepsTheStoredReading) {
    WriteIni("CardNum=17\r\nWish=old wish\r\nStarX=5\r\nStarY=6\r\nMemDate=2020/01/01\r\n");
    Start();
    Type("edited but never drawn");
    Close();
    const std::string ini = ReadIni();
    EXPECT_TRUE(Has(ini, "CardNum=17\r\n"));
    EXPECT_TRUE(Has(ini, "Wish=old wish\r\n"));
    EXPECT_TRUE(Has(ini, "StarX=5\r\nStarY=6\r\n")) << "another card is on show";
    EXPECT_TRUE(Has(ini, "MemDate=2026/12/08\r\n"));
    EXPECT_FALSE(Has(ini, "edited"));
}

TEST_F(AppTest, AReadingIsWrittenInTheKeyOrderOfANewFile) {
    WriteIni("Fate=0\r\nOldDate=2026/12/01\r\n");
    Start();
    Tick(10);
    Type("abc");
    Key(13);
    Idle();
    Close();
    const std::string ini = ReadIni();
    // Fate and OldDate were in the file and are replaced in place; the others are new and
    // follow in the order of a new file.
    const std::string order[] = {"Fate=0",
                                 "OldDate=2026/12/01",
                                 "CardNum=12",
                                 "StarX=-1",
                                 "StarY=-1",
                                 "ResumeOk=0",
                                 "IndexMode=0",
                                 "StayOnTop=0",
                                 "MuteOn=0",
                                 "FezPenBlack=0",
                                 "FezPenDown=0",
                                 "LightShow=1",
                                 "Left=143",
                                 "Top=86",
                                 "CardOk=" + std::string(11, '.') + "l" + std::string(37, '.'),
                                 "MemDate=2026/12/08",
                                 "Wish=abc"};
    size_t at = 0;
    for (const std::string& key : order) {
        const size_t found = ini.find(key + "\r\n");
        ASSERT_NE(found, std::string::npos) << key << " in\n" << ini;
        EXPECT_GE(found, at) << key;
        at = found;
    }
    // Keys already in the file were replaced in place, so Fate stays first.
    EXPECT_LT(ini.find("Fate="), ini.find("CardNum="));
}

TEST_F(AppTest, TheSeenRecordIsReadWhateverTheKeysCase) {
    WriteIni("cArDoK=llll" + std::string(45, '.') + "\r\n");
    Start();
    EXPECT_EQ(State().SeenCards, "llll" + std::string(45, '.'));
    Close();
    EXPECT_TRUE(Has(ReadIni(), "cArDoK=llll")) << "the entry is replaced in place";
}

TEST_F(AppTest, AWishWithLineBreaksComesBackAsItselfAndInjectsNothing) {
    WriteIni("CardNum=3\r\n");
    Start();
    Tick(10);
    Type("x\r\nCardNum=7");
    Key(13);
    Idle();
    const int drawn = State().CurrentCard;
    Close();
    Form.reset();
    Os->Messages.clear();
    Start();
    EXPECT_EQ(State().SavedCard, drawn);
    EXPECT_EQ(Os->SjisToUtf8(State().SavedWish), "x\r\nCardNum=7");
}

// The wish's own bytes, not their meaning: lead bytes at both ends of both of their
// ranges, each left alone before a line break, come back with every break in place.
TEST_F(AppTest, AWishWithLoneLeadBytesBeforeLineBreaksComesBackByteForByte) {
    const std::string wish = "\x81\r\n\x9F\r\n\xE0\n\xFC\r\x9F\x40\r\n";
    Start();
    Tick(10);
    ASSERT_TRUE(Os->TypeText(wish));
    ASSERT_EQ(Os->MemoText(), wish);
    Key(13);
    Idle();
    Close();
    Form.reset();
    Start();
    EXPECT_EQ(State().SavedWish, wish);
}

TEST_F(AppTest, OutOfRangeNumbersAreBroughtIntoRange) {
    WriteIni(
        "ResumeOk=1\r\nCardNum=-3\r\nFate=-2147483648\r\nLeft=99999999999\r\nTop=-5\r\n"
        "OldDate=2026/12/01\r\n");
    Start();
    EXPECT_EQ(State().SavedCard, 0);
    EXPECT_EQ(State().CurrentCard, 0);
    EXPECT_GE(State().Fate, 0);
    EXPECT_LE(State().Fate, 48);
    EXPECT_EQ(Os->Left, 143) << "an overflowing Left reads as the current position";
    EXPECT_EQ(Os->Top, -5);
    WriteIni("CardNum=50\r\n");
    Form.reset();
    Start();
    EXPECT_EQ(State().SavedCard, 0);
}

TEST_F(AppTest, FateRenewsOnlyAfterItsDays) {
    struct Case {
        const char* oldDate;
        const char* memDate;
        bool renewed;
    } cases[] = {
        {"2026/11/27", "2026/11/27", false},  // 11 days
        {"2026/11/07", "2026/12/08", true},   // 31 days, whatever MemDate says
        {"2026/11/18", "2026/12/08", false},  // 20 days, already closed today
    };
    for (const Case& c : cases) {
        WriteIni(std::string("Fate=30\r\nOldDate=") + c.oldDate + "\r\nMemDate=" + c.memDate +
                 "\r\n");
        Form.reset();
        Start();
        const bool renewed = FormatDate(State().OldDate) == "2026/12/08";
        EXPECT_EQ(renewed, c.renewed) << c.oldDate;
        if (!c.renewed) {
            EXPECT_EQ(State().Fate, 30) << c.oldDate;
        }
    }
}

TEST_F(AppTest, OptionsSurviveARestart) {
    WriteIni("MuteOn=1\r\nFezPenBlack=1\r\nFezPenDown=1\r\nLightShow=0\r\nStayOnTop=1\r\n");
    Start();
    EXPECT_TRUE(State().Options.MuteOn);
    EXPECT_TRUE(State().MenuEntry(TMenuItem::MuteOnChange).Checked);
    EXPECT_EQ(Os->Pointer, 5);
    EXPECT_FALSE(State().Options.LightShow);
    EXPECT_FALSE(State().MenuEntry(TMenuItem::LightShowChange).Checked);
    EXPECT_TRUE(Os->Topmost);
    Close();
    const std::string ini = ReadIni();
    for (const char* kv :
         {"MuteOn=1", "FezPenBlack=1", "FezPenDown=1", "LightShow=0", "StayOnTop=1"})
        EXPECT_TRUE(Has(ini, std::string(kv) + "\r\n")) << kv;
}

TEST_F(AppTest, AFileFromAnotherProgramKeepsEverythingElse) {
    const std::string original =
        "; written by hand\r\n[Other]\r\nCardNum=44\r\n\r\n[orvane.INI]\r\n; keep me\r\n"
        "Unknown=1\r\nFate = \"12\"\r\nOldDate=2026/12/08\r\n[Tail]\r\nx=y\r\n";
    ASSERT_TRUE(Os->WriteFile(Dir + "Orvane.ini", original));
    Start();
    EXPECT_EQ(State().Fate, 12);
    Close();
    const std::string ini = ReadIni();
    EXPECT_EQ(ini.rfind("; written by hand\r\n[Other]\r\nCardNum=44\r\n\r\n[orvane.INI]\r\n; keep "
                        "me\r\nUnknown=1\r\nFate =12\r\n",
                        0),
              0u)
        << ini;
    EXPECT_TRUE(Has(ini, "[Tail]\r\nx=y"));
    EXPECT_LT(ini.find("MemDate="), ini.find("[Tail]"))
        << "new keys go to the end of their section";
}

TEST_F(AppTest, AFailedSaveLeavesThePreviousFileWholeAndNamesIt) {
    WriteIni("Fate=3\r\nCardOK=lll\r\n");
    const std::string before = ReadIni();
    for (long failAt : {0L, 1L, 40L, 100L}) {
        Form.reset();
        Os->Messages.clear();
        Os->FailWriteAt = -1;
        Start();
        Os->FailWriteAt = failAt;
        Close();
        ASSERT_EQ(Os->Messages.size(), 1u) << failAt;
        EXPECT_EQ(Os->SjisToUtf8(Os->Messages[0].Text), Dir + "Orvane.ini に書き込めません");
        EXPECT_EQ(ReadIni(), before) << failAt;
        EXPECT_FALSE(Os->FileExists(Dir + "Orvane.ini.new")) << "no half-written file left";
    }
    Form.reset();
    Os->FailWriteAt = -1;
    Os->FailReplace = true;
    Os->Messages.clear();
    Start();
    Close();
    EXPECT_EQ(Os->Messages.size(), 1u);
    EXPECT_EQ(ReadIni(), before);
}

TEST_F(AppTest, ASettingsPathThatIsAFolderIsNeverReplaced) {
    const std::string cmd = "mkdir '" + Dir + "Orvane.ini'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    Start();
    EXPECT_FALSE(State().Options.ResumeOk);
    Close();
    ASSERT_EQ(Os->Messages.size(), 1u);
    EXPECT_FALSE(Os->FileExists(Dir + "Orvane.ini"));
}
