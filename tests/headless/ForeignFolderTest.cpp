// A program folder named in Japanese and in a script code page 932 lacks: paths stay
// UTF-8 from the platform to the files, and a message that names one shows it as well as
// code page 932 can.
#include <sys/stat.h>

#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "tests/headless/AppFixture.h"

namespace {

TEST_F(AppTest, AFolderNamedInAnyScriptKeepsItsFilesAndIsNamedInMessages) {
    // "占い Café ☆": kanji and the star exist in code page 932, é does not.
    const std::string name = "\xE5\x8D\xA0\xE3\x81\x84 Caf\xC3\xA9 \xE2\x98\x86";
    const std::string dir = Dir + name + "/";
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    Os = std::make_unique<THeadlessPlatform>(dir);
    Os->Seed = 3;
    Os->Tick = 1000;
    Start();
    EXPECT_EQ(State().ProgramDir, dir);
    Type("abc");
    Key(13);
    Idle();
    Close();
    EXPECT_TRUE(Os->Messages.empty());
    std::string text;
    ASSERT_TRUE(Os->ReadFile(dir + "Orvane.ini", text));
    EXPECT_NE(text.find("CardNum="), std::string::npos);

    // A save that fails names the file in code page 932: the kanji and the star as
    // themselves, only é lost.
    Form.reset();
    Os->Messages.clear();
    Start();
    Os->FailWriteAt = 0;
    Close();
    ASSERT_EQ(Os->Messages.size(), 1u);
    const std::string shown = Os->Messages[0].Text;
    EXPECT_EQ(shown, Format(sjis::kCannotWrite, Os->Utf8ToSjis(dir + "Orvane.ini").c_str()));
    EXPECT_NE(shown.find("\x90\xE8\x82\xA2 Caf"), std::string::npos) << "占い in code page 932";
    EXPECT_NE(shown.find("\x81\x99/Orvane.ini"), std::string::npos) << "☆ in code page 932";
    EXPECT_EQ(shown.find("\xE2\x98\x86"), std::string::npos) << "no UTF-8 bytes in the message";
}

}  // namespace
