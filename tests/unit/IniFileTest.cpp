#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/IniFile.h"

namespace {

const std::string kSec = "Orvane.ini";

TIniFile FromText(const std::string& text) {
    TIniFile ini;
    ini.Parse(text);
    return ini;
}

// Writes the text as the settings code does, saves, loads again and reads it back.
std::string ThroughFile(const std::string& text) {
    TIniFile ini;
    ini.WriteString(kSec, "Wish", EncodeIniText(text));
    return DecodeIniText(FromText(ini.Text()).ReadString(kSec, "Wish", "<missing>"));
}

TEST(IniFile, MissingFileSectionOrKeyGivesDefaults) {
    TIniFile none;
    std::string s;
    EXPECT_FALSE(none.ReadString(kSec, "Wish", s));
    EXPECT_EQ(none.ReadString(kSec, "Wish", "def"), "def");
    EXPECT_EQ(none.ReadInteger(kSec, "CardNum", -7), -7);
    EXPECT_TRUE(none.ReadBool(kSec, "LightShow", true));
    EXPECT_EQ(none.ReadDate(kSec, "OldDate", TDate{2011, 5, 17}), (TDate{2011, 5, 17}));
    EXPECT_EQ(none.Text(), "");

    const TIniFile other = FromText("[Other]\r\nCardNum=5\r\nCardNum2=6\r\n");
    EXPECT_EQ(other.ReadInteger(kSec, "CardNum", 1), 1);
    EXPECT_EQ(other.ReadInteger("Other", "Card", 1), 1);  // no prefix matching
    // Keys before any section belong to none.
    EXPECT_EQ(FromText("CardNum=5\r\n[Orvane.ini]\r\n").ReadInteger(kSec, "CardNum", 1), 1);
}

TEST(IniFile, IntegersReadOrFallBack) {
    struct TCase {
        const char* Text;
        bool Readable;
        int Value;
    };
    const TCase cases[] = {
        {"0", true, 0},
        {"42", true, 42},
        {"-5", true, -5},
        {"+7", true, 7},
        {"007", true, 7},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999999", false, 0},
        {"0x1F", true, 31},
        {"0X1f", true, 31},
        {"0x7FFFFFFF", true, 2147483647},
        {"0xFFFFFFFF", true, -1},
        {"$ff", true, 255},
        {"$80000000", true, -2147483647 - 1},
        {"0x100000000", false, 0},
        {"0x", false, 0},
        {"$", false, 0},
        {"0xg", false, 0},
        {"-0x5", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"abc", false, 0},
        {"12abc", false, 0},
        {"1 2", false, 0},
        {"1.5", false, 0},
    };
    for (const TCase& c : cases) {
        int v = 12345;
        EXPECT_EQ(ParseIniInteger(c.Text, v), c.Readable) << '"' << c.Text << '"';
        if (c.Readable) {
            EXPECT_EQ(v, c.Value) << '"' << c.Text << '"';
        }
        const TIniFile ini = FromText("[Orvane.ini]\r\nFate=" + std::string(c.Text) + "\r\n");
        EXPECT_EQ(ini.ReadInteger(kSec, "Fate", 333), c.Readable ? c.Value : 333)
            << '"' << c.Text << '"';
    }
    // The reader trims blanks and removes quotes before the number is read.
    EXPECT_EQ(FromText("[Orvane.ini]\r\nLeft = \t 12 \r\n").ReadInteger(kSec, "Left", 0), 12);
    EXPECT_EQ(FromText("[Orvane.ini]\r\nLeft=\"-3\"\r\n").ReadInteger(kSec, "Left", 0), -3);
}

TEST(IniFile, FlagsAndDates) {
    const TIniFile ini = FromText(
        "[Orvane.ini]\r\nA=0\r\nB=1\r\nC=-3\r\nD=yes\r\nE=\r\n"
        "D1=2011/05/17\r\nD2=2011/5/7\r\nD3=2011/02/30\r\nD4=\r\nD5=17.05.2011\r\n");
    EXPECT_FALSE(ini.ReadBool(kSec, "A", true));
    EXPECT_TRUE(ini.ReadBool(kSec, "B", false));
    EXPECT_TRUE(ini.ReadBool(kSec, "C", false));
    EXPECT_FALSE(ini.ReadBool(kSec, "D", false));
    EXPECT_TRUE(ini.ReadBool(kSec, "D", true));
    EXPECT_TRUE(ini.ReadBool(kSec, "E", true));

    const TDate def{2000, 1, 1};
    EXPECT_EQ(ini.ReadDate(kSec, "D1", def), (TDate{2011, 5, 17}));
    EXPECT_EQ(ini.ReadDate(kSec, "D2", def), (TDate{2011, 5, 7}));
    EXPECT_EQ(ini.ReadDate(kSec, "D3", def), def);
    EXPECT_EQ(ini.ReadDate(kSec, "D4", def), def);
    EXPECT_EQ(ini.ReadDate(kSec, "D5", def), def);

    TIniFile out;
    out.WriteBool(kSec, "On", true);
    out.WriteBool(kSec, "Off", false);
    out.WriteInteger(kSec, "Neg", -2147483647 - 1);
    out.WriteDate(kSec, "Day", TDate{2011, 5, 7});
    EXPECT_EQ(out.Text(), "[Orvane.ini]\r\nOn=1\r\nOff=0\r\nNeg=-2147483648\r\nDay=2011/05/07\r\n");
}

TEST(IniFile, NamesMatchWithoutRegardToAsciiCaseOnly) {
    const TIniFile ini = FromText("[ORVANE.INI]\r\ncardok=lll\r\n");
    EXPECT_EQ(ini.ReadString(kSec, "CardOK", ""), "lll");
    EXPECT_EQ(ini.ReadString("orvane.ini", "CARDOK", ""), "lll");

    // 0x83 0x41 and 0x83 0x61 are two different double-byte characters; folding the
    // trail byte would make the second read the first.
    const TIniFile sjis = FromText("[S]\r\n\x83\x41=first\r\n\x83\x61=second\r\n");
    EXPECT_EQ(sjis.ReadString("S", "\x83\x61", ""), "second");
    EXPECT_EQ(sjis.ReadString("S", "\x83\x41", ""), "first");
    const TIniFile sec = FromText("[\x82\x60]\r\nK=1\r\n[\x82\x81]\r\nK=2\r\n");
    EXPECT_EQ(sec.ReadInteger("\x82\x81", "K", 0), 2);
}

TEST(IniFile, ValuesAreTrimmedAndUnquotedOnce) {
    const TIniFile ini = FromText(
        "[S]\r\n"
        "  Spaced \t=  a b \t\r\n"
        "Dq=\"  in quotes  \"\r\n"
        "Sq='x'\r\n"
        "Twice=\"\"y\"\"\r\n"
        "Half=\"open\r\n"
        "Mixed=\"a'\r\n"
        "One=\"\r\n"
        "Empty=\"\"\r\n"
        "Eq=a=b\r\n");
    EXPECT_EQ(ini.ReadString("S", "Spaced", ""), "a b");
    EXPECT_EQ(ini.ReadString("S", "Dq", ""), "  in quotes  ");
    EXPECT_EQ(ini.ReadString("S", "Sq", ""), "x");
    EXPECT_EQ(ini.ReadString("S", "Twice", ""), "\"y\"");
    EXPECT_EQ(ini.ReadString("S", "Half", ""), "\"open");
    EXPECT_EQ(ini.ReadString("S", "Mixed", ""), "\"a'");
    EXPECT_EQ(ini.ReadString("S", "One", ""), "\"");
    EXPECT_EQ(ini.ReadString("S", "Empty", "def"), "");
    EXPECT_EQ(ini.ReadString("S", "Eq", ""), "a=b");
}

TEST(IniFile, FirstDuplicateWinsForReadingAndWriting) {
    TIniFile ini = FromText("[S]\r\nK=1\r\nk=2\r\n[s]\r\nK=3\r\nOnlyHere=4\r\n");
    EXPECT_EQ(ini.ReadInteger("S", "K", 0), 1);
    EXPECT_EQ(ini.ReadInteger("S", "OnlyHere", 0), 0);  // only the first section counts
    ini.WriteInteger("S", "K", 9);
    EXPECT_EQ(ini.Text(), "[S]\r\nK=9\r\nk=2\r\n[s]\r\nK=3\r\nOnlyHere=4\r\n");
}

TEST(IniFile, WritingKeepsEveryOtherLineByteForByte) {
    const std::string original =
        "; written by hand\r\n"
        "[Other]\r\n"
        "CardNum=41\r\n"
        "odd line without equals\r\n"
        "\r\n"
        "[ORVANE.INI]\r\n"
        "  CardOK = ..l\r\n"
        "Unknown=\x82\xA0\x95\x5C\r\n"
        "\r\n"
        "; about the next section\r\n"
        "[Last]\r\n"
        "X=1\r\n";
    TIniFile ini = FromText(original);
    EXPECT_EQ(ini.Text(), original);

    ini.WriteString(kSec, "CardOk", "lll");    // in place, the file's spelling kept
    ini.WriteInteger(kSec, "Fate", 17);        // new: after the section's last key
    ini.WriteInteger("Brand New", "Top", -4);  // new section at the end
    EXPECT_EQ(ini.Text(),
              "; written by hand\r\n"
              "[Other]\r\n"
              "CardNum=41\r\n"
              "odd line without equals\r\n"
              "\r\n"
              "[ORVANE.INI]\r\n"
              "  CardOK =lll\r\n"
              "Unknown=\x82\xA0\x95\x5C\r\n"
              "Fate=17\r\n"
              "\r\n"
              "; about the next section\r\n"
              "[Last]\r\n"
              "X=1\r\n"
              "\r\n"
              "[Brand New]\r\n"
              "Top=-4\r\n");
    EXPECT_EQ(FromText(ini.Text()).ReadInteger("Other", "CardNum", 0), 41);
}

TEST(IniFile, WhatIsWrittenReadsTheSameBeforeAndAfterTheFileIsReadBack) {
    // A value can change what its line is: a key named "[A" with a value holding "]"
    // makes the line a section header, in memory as in the file read back.
    TIniFile ini = FromText("[S]\r\n[A=1\r\nB=2\r\n[T]\r\nC=3\r\n");
    ini.WriteString("S", "[A", "x]");
    ini.WriteString("s", "b", "=4");
    ini.WriteString("T", "New", "5");
    const TIniFile back = FromText(ini.Text());
    for (const char* section : {"S", "T", "A=x"})
        for (const char* key : {"[A", "B", "C", "New"})
            EXPECT_EQ(ini.ReadString(section, key, "-"), back.ReadString(section, key, "-"))
                << section << " " << key;
    EXPECT_EQ(ini.ReadString("S", "[A", "-"), "-") << "the line is a section header now";
    EXPECT_EQ(ini.ReadString("A=x", "B", "-"), "2") << "B=2 belongs to it";
    EXPECT_EQ(ini.ReadString("S", "B", "-"), "=4") << "so B was added to [S] anew";
}

TEST(IniFile, LineEndsOfAnyKindAreRead) {
    const TIniFile lf = FromText("[S]\nA=1\nB=2");
    EXPECT_EQ(lf.ReadInteger("S", "B", 0), 2);
    const TIniFile cr = FromText("[S]\rA=1\rB=2\r");
    EXPECT_EQ(cr.ReadInteger("S", "A", 0), 1);
    EXPECT_EQ(cr.Text(), "[S]\r\nA=1\r\nB=2\r\n");
    EXPECT_EQ(FromText("\xEF\xBB\xBF[S]\r\nA=1\r\n").ReadInteger("S", "A", 0), 1);
    const TIniFile empty = FromText("[S]\r\n\r\n");
    EXPECT_EQ(empty.Text(), "[S]\r\n\r\n");
}

TEST(IniFile, TextsAreCutAt2047BytesWithoutSplittingACharacter) {
    TIniFile ini;
    ini.WriteString(kSec, "Long", std::string(3000, 'a'));
    ini.WriteString(kSec, "Exact", std::string(2047, 'b'));
    // 2046 single bytes and then a double-byte character: the character does not fit.
    ini.WriteString(kSec, "Kanji", std::string(2046, 'c') + "\x88\x9F" + "d");
    const TIniFile back = FromText(ini.Text());
    EXPECT_EQ(back.ReadString(kSec, "Long", ""), std::string(2047, 'a'));
    EXPECT_EQ(back.ReadString(kSec, "Exact", ""), std::string(2047, 'b'));
    EXPECT_EQ(back.ReadString(kSec, "Kanji", ""), std::string(2046, 'c'));
}

TEST(IniFile, LineBreakInAWishNeitherBreaksTheFileNorInjectsAKey) {
    TIniFile ini = FromText("[Orvane.ini]\r\nCardNum=3\r\nWish=old\r\n");
    ini.WriteString(kSec, "Wish", EncodeIniText("x\r\nCardNum=7"));
    const TIniFile back = FromText(ini.Text());
    EXPECT_EQ(back.ReadInteger(kSec, "CardNum", 0), 3);
    EXPECT_EQ(DecodeIniText(back.ReadString(kSec, "Wish", "")), "x\r\nCardNum=7");
    EXPECT_EQ(ini.Text().find("\r\nCardNum=7"), std::string::npos);

    // A caller that forgets to encode still cannot break the file.
    TIniFile raw;
    raw.WriteString(kSec, "Wish", "y\nCardNum=9\n[Other]");
    const TIniFile rawBack = FromText(raw.Text());
    EXPECT_EQ(rawBack.ReadInteger(kSec, "CardNum", -1), -1);
    EXPECT_EQ(DecodeIniText(rawBack.ReadString(kSec, "Wish", "")), "y\nCardNum=9\n[Other]");
}

TEST(IniFile, TextsRoundTripThroughTheFile) {
    const std::vector<std::string> plain = {
        "",       "wish", "a b",  "C:\\dir\\file", "\x95\x5C\x8E\xA6",        "mid \t tab",
        "\"left", "x\"",  "'a\"", "~\\",           "\\n is not a line break",
    };
    for (const std::string& t : plain) {
        EXPECT_EQ(EncodeIniText(t), t) << "plain text changed: " << t;
        EXPECT_EQ(ThroughFile(t), t);
    }
    const std::vector<std::string> escaped = {
        " lead",
        "trail ",
        "\ttab",
        "tab\t",
        "\"quoted\"",
        "'q'",
        "\\~marker",
        "line\nbreak",
        "\r",
        "\r\n",
        std::string("nul\0in", 6),
        "\x95\x5C\n",  // trail byte 0x5C is no escape
        "\x82\n",
        "\x82",
        "end\x82 ",
        "\\",
        "x\\\n",
        "\\~",
        std::string(1, '\0'),
        "  ",
    };
    for (const std::string& t : escaped) {
        const std::string stored = EncodeIniText(t);
        EXPECT_EQ(stored.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
        EXPECT_EQ(ThroughFile(t), t) << "stored as " << stored;
    }
}

TEST(IniFile, RandomTextsRoundTrip) {
    // Bytes chosen to hit every rule: blanks, quotes, backslashes, line breaks, NUL, lead
    // bytes and trail bytes that look like ASCII.
    const std::string alphabet = std::string("ab ~\t\"'\\\r\n=;[]_x0", 18) + std::string(1, '\0') +
                                 "\x81\x82\x95\xE0\xFC\x5C\x40\x7E\x80\xA0";
    std::mt19937 rng(1999);
    for (int i = 0; i < 3000; ++i) {
        std::string t;
        const size_t n = rng() % 24;
        for (size_t k = 0; k < n; ++k) t += alphabet[rng() % alphabet.size()];
        ASSERT_EQ(ThroughFile(t), t) << "case " << i;
    }
}

// Every byte that may start a double-byte character, and the bytes either side of each
// range, before every kind of character the escaping treats apart: a stored wish comes
// back byte for byte, its line breaks included.
TEST(IniFile, EveryLeadByteEdgeBeforeABreakOrAnEscapeRoundTrips) {
    const std::vector<std::string> after = {"\r\n", "\n",   "\r",   "\\",   std::string(1, '\0'),
                                            " ",    "\t",   "\x40", "\x5C", "\x7E",
                                            "\x7F", "\x80", "\xFC", "\xFD", ""};
    for (int lead = 0x80; lead <= 0xFF; ++lead)
        for (const std::string& next : after) {
            const std::string t = "w" + std::string(1, static_cast<char>(lead)) + next + "\r\n";
            ASSERT_EQ(ThroughFile(t), t) << std::hex << lead << " then " << next.size();
        }
}

// The stored form is what files already hold: a double-byte character is kept whole and a
// lone lead byte is written as a hex escape, at both ends of the lead and trail bytes'
// ranges; a byte just outside them is a character of its own.
TEST(IniFile, TheStoredFormOfLeadBytesIsFixed) {
    const struct {
        const char* Byte;
        const char* Hex;
    } leads[] = {{"\x81", "81"}, {"\x9F", "9F"}, {"\xE0", "E0"}, {"\xFC", "FC"}};
    for (const auto& lead : leads) {
        EXPECT_EQ(EncodeIniText(std::string(lead.Byte) + "\x5C\n"),
                  std::string("\\~") + lead.Byte + "\x5C\\n");
        EXPECT_EQ(EncodeIniText(std::string(lead.Byte) + "\n"),
                  std::string("\\~\\x") + lead.Hex + "\\n");
    }
    for (const char* other : {"\x80", "\xA0", "\xDF", "\xFD"})
        EXPECT_EQ(EncodeIniText(std::string(other) + "\x5C\n"),
                  std::string("\\~") + other + "\\\\\\n");
    // The trail bytes' ranges, at their edges: inside, the pair is one character.
    for (const char* trail : {"\x40", "\x7E", "\x80", "\xFC"})
        EXPECT_EQ(EncodeIniText(std::string("\x88") + trail + "\n"),
                  std::string("\\~\x88") + trail + "\\n");
    EXPECT_EQ(EncodeIniText("\x88\x7F\n"), "\\~\\x88\x7F\\n");
    EXPECT_EQ(EncodeIniText("\x88\xFD\n"), "\\~\\x88\xFD\\n");
}

TEST(IniFile, DecodingToleratesDamagedEscapes) {
    EXPECT_EQ(DecodeIniText("plain\\n"), "plain\\n");
    EXPECT_EQ(DecodeIniText("\\~a\\"), "a");      // cut after the backslash
    EXPECT_EQ(DecodeIniText("\\~a\\x8"), "a");    // cut inside a hex escape
    EXPECT_EQ(DecodeIniText("\\~a\\q"), "a\\q");  // unknown escape kept
    EXPECT_EQ(DecodeIniText("\\~\\xZZ"), "\\xZZ");
}

}  // namespace
