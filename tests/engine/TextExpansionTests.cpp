#include "engine/TextExpansion.h"

#include <gtest/gtest.h>

#include <map>

#include "fakes/FakePlatform.h"

namespace velmora {
namespace {

using tests::FakeClock;

class ExpandMacroTextTest : public ::testing::Test {
protected:
    std::string Expand(std::string_view text) { return expander.ExpandMacroText(text); }
    std::string Tag(std::string_view word) { return Expand("{\"" + std::string(word) + "\"}"); }

    void At(int hour, int minute = 30, int second = 0)
    {
        clock.time.hour = hour;
        clock.time.minute = minute;
        clock.time.second = second;
    }

    FakeClock clock;
    RandomGenerator random;
    tests::FakeCodePage codePage;
    MacroTextExpander expander{clock, clock, random, codePage};
};

TEST_F(ExpandMacroTextTest, PlainTextComesBackUnchanged)
{
    const std::string text = "Line one\r\nline two\xE9\xFC\x01 {not a tag} \"}";
    EXPECT_EQ(Expand(text), text);
    EXPECT_EQ(Expand(""), "");
}

TEST_F(ExpandMacroTextTest, TagsAreMatchedAfterLowerCasingAndStripping)
{
    EXPECT_EQ(Expand("a{\"Enter\"}b"), "a\rb");
    EXPECT_EQ(Tag(" \tENTER \x01"), "\r");
    EXPECT_EQ(Tag("en ter"), "");
    EXPECT_EQ(Tag("KeyPad0"), "\xFE\x60");
    EXPECT_EQ(Tag("F12"), "\xFE\x7B");
    EXPECT_EQ(Tag("f24"), "\xFE\x87");
    EXPECT_EQ(Tag("f25"), "");
    EXPECT_EQ(Tag("keypad9"), "\xFE\x69");
    EXPECT_EQ(Tag("tab") + Tag("backspace") + Tag("escape"), "\t\b\x1B");
    EXPECT_EQ(Tag("ctrl") + Tag("alt") + Tag("shift") + Tag("pause"), "\xFF\x11\xFF\x12\xFF\x10\xFF\x01");
    EXPECT_EQ(Tag("home") + Tag("end") + Tag("pageup") + Tag("pagedown"), "\xFE\x24\xFE\x23\xFE\x21\xFE\x22");
    EXPECT_EQ(Tag("insert") + Tag("delete") + Tag("left") + Tag("right") + Tag("up") + Tag("down"),
              "\xFE\x2D\xFE\x2E\xFE\x25\xFE\x27\xFE\x26\xFE\x28");
    EXPECT_EQ(Tag("nonsense") + Tag(""), "");
}

TEST_F(ExpandMacroTextTest, UnclosedAndNestedMarks)
{
    EXPECT_EQ(Expand("ab{\"cd"), "abd") << "the mark and one character go";
    EXPECT_EQ(Expand("ab{\""), "ab");
    EXPECT_EQ(Expand("{\"a{\"b\"}tail"), "tail") << "a mark inside a tag belongs to its content";
    EXPECT_EQ(Expand("x{\"tab\"}{\"tab"), "x\tab") << "one unclosed mark after a closed tag";
    EXPECT_EQ(Expand("{\"tab\"}}"), "\t}");
    EXPECT_EQ(Expand("{\"{\"tab\"}"), "") << "content {\"tab is no word";
}

TEST_F(ExpandMacroTextTest, ReplacementsAreNeverScannedAgain)
{
    clock.names.months[11] = u"{\"tab\"}";
    EXPECT_EQ(Tag("monthname"), "{\"tab\"}");
}

TEST_F(ExpandMacroTextTest, CharacterCodes)
{
    EXPECT_EQ(Tag("#65"), "A");
    EXPECT_EQ(Tag("#321"), "A") << "the low byte counts";
    EXPECT_EQ(Tag("#-1"), "\xFD\xFF");
    EXPECT_EQ(Tag("#"), " ");
    EXPECT_EQ(Tag("#q"), " ");
    EXPECT_EQ(Tag("#9"), "\t");
    EXPECT_EQ(Tag("#$41"), "A");
    EXPECT_EQ(Tag("# 0x42 "), "B");
    EXPECT_EQ(Tag("#254"), "\xFD\xFE");
    EXPECT_EQ(Tag("#253"), "\xFD\xFD");
    EXPECT_EQ(Tag("#252"), "\xFC");
    EXPECT_EQ(Tag("#0"), std::string(1, '\0'));
    EXPECT_EQ(Expand("\xFE"), Tag("#254")) << "a literal 254 is the same character";
}

TEST(ReadInteger, DecimalAndHexForms)
{
    EXPECT_EQ(ReadInteger("42"), 42);
    EXPECT_EQ(ReadInteger("+7"), 7);
    EXPECT_EQ(ReadInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(ReadInteger("2147483648"), std::nullopt);
    EXPECT_EQ(ReadInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(ReadInteger("x1f"), 31);
    EXPECT_EQ(ReadInteger("0X10"), 16);
    EXPECT_EQ(ReadInteger("$123456789"), std::nullopt) << "at most eight hex digits";
    for (const char* bad : {"", " 1", "1 ", "-", "$", "0x", "1.5", "12a", "--1", "-$1"}) {
        EXPECT_EQ(ReadInteger(bad), std::nullopt) << bad;
    }
}

TEST_F(ExpandMacroTextTest, RandomSequenceIsTheSameEveryStart)
{
    EXPECT_EQ(Tag("rand 1,100"), "1") << "the first draw gives min";
    EXPECT_EQ(Tag("rand 0,99"), "3") << "the second draw with range 100 gives min + 3";
}

TEST_F(ExpandMacroTextTest, RandomArgumentsSplitAsWritten)
{
    EXPECT_EQ(Tag("rand"), "");
    EXPECT_EQ(Tag("rand "), "");
    EXPECT_EQ(Tag("rand1,5"), "");
    EXPECT_EQ(Tag("rand 5,4"), "5") << "an empty range gives min";
    EXPECT_EQ(Tag("rand 3,3"), "3");
    EXPECT_EQ(Tag("randhex 0,0,20"), "0") << "a width above 16 adds nothing";
    EXPECT_EQ(Tag("randhex 0,0"), "0");
    EXPECT_EQ(Tag("randhex 255,255,4"), "00FF");
    EXPECT_EQ(Tag("randhex -1,-1"), "FFFFFFFF");
    EXPECT_EQ(Tag("rand 7,7,3"), "007");
    EXPECT_EQ(Tag("rand -5,-5,3"), "0-5") << "zeros go in front of the sign";
    EXPECT_EQ(Tag("rand -5,-5,-3"), "-5");
    EXPECT_EQ(Tag("rand 7,7,2000000000"), std::string(254, '0') + "7") << "the width stops at 255 characters";
    EXPECT_EQ(Tag("rand -7,-7,256"), std::string(253, '0') + "-7");

    for (int i = 0; i < 200; ++i) {
        const int ten = std::stoi(Tag("rand 10"));
        EXPECT_GE(ten, 0);
        EXPECT_LE(ten, 10);
        const int blankBeforeComma = std::stoi(Tag("rand 1 ,5"));
        EXPECT_GE(blankBeforeComma, 0) << "\"1 \" is no number, so min is 0";
        EXPECT_LE(blankBeforeComma, 5);
        const int blankAfterComma = std::stoi(Tag("rand 1, 5"));
        EXPECT_GE(blankAfterComma, 1);
        EXPECT_LE(blankAfterComma, 5);
        const std::string padded = Tag("rand 1,100,3");
        EXPECT_EQ(padded.size(), 3u);
        const std::string hex = Tag("RandHex 0,255,4");
        EXPECT_EQ(hex.size(), 4u);
        EXPECT_LE(std::stoi(hex, nullptr, 16), 255);
    }
}

TEST_F(ExpandMacroTextTest, DatesInTheEnglishLocale)
{
    EXPECT_EQ(Tag("date"), "December 6th, 2026");
    EXPECT_EQ(Tag("shortdate"), "12/06/2026");
    EXPECT_EQ(Tag("monthname") + Tag("shortmonthname"), "DecemberDec");
    EXPECT_EQ(Tag("month") + "|" + Tag("twodigitmonth"), "12|12");
    EXPECT_EQ(Tag("day") + "|" + Tag("daysuffix") + "|" + Tag("twodigitday"), "6|6th|06");
    EXPECT_EQ(Tag("dayofweek") + Tag("shortdayofweek"), "SundaySun");
    EXPECT_EQ(Tag("year") + "|" + Tag("twodigityear"), "2026|26");
    EXPECT_EQ(Tag("time"), "7:05:09 pm");
    EXPECT_EQ(Tag("shorttime"), "7:05p");
    EXPECT_EQ(Tag("am/pm") + Tag("am-pm"), "PMpm");
    EXPECT_EQ(Tag("minute") + Tag("shortminute") + Tag("second") + Tag("shortsecond"), "055099");
    EXPECT_EQ(Tag("hour") + "|" + Tag("twodigithour") + "|" + Tag("hour24") + "|" + Tag("twodigithour24"),
              "7|07|19|19");

    clock.time = {2007, 3, 1, 4, 9, 7, 3};
    EXPECT_EQ(Tag("shortdate") + " " + Tag("twodigityear"), "03/01/2007 07");
    EXPECT_EQ(Tag("time") + " " + Tag("shorttime"), "9:07:03 am 9:07a");
}

TEST_F(ExpandMacroTextTest, DatesInAnotherLocale)
{
    clock.names = FakeClock::GermanNames();
    clock.time.dayOfWeek = 3;
    clock.time.month = 3;
    clock.time.hour = 8;
    EXPECT_EQ(Tag("date"), "M\xE4rz 6th, 2026");
    EXPECT_EQ(Tag("shortdate"), "03.06.2026");
    EXPECT_EQ(Tag("dayofweek") + " " + Tag("shortdayofweek"), "Mittwoch Mi");
    EXPECT_EQ(Tag("time"), "8:05:09 am");
}

TEST_F(ExpandMacroTextTest, HoursOnBothClocks)
{
    At(0);
    EXPECT_EQ(Tag("hour") + " " + Tag("hour24") + " " + Tag("twodigithour24") + " " + Tag("am/pm"), "12 0 00 AM");
    At(12);
    EXPECT_EQ(Tag("hour") + " " + Tag("twodigithour") + " " + Tag("am-pm"), "12 12 pm");
    At(13);
    EXPECT_EQ(Tag("hour") + " " + Tag("twodigithour"), "1 01");
    At(11, 59);
    EXPECT_EQ(Tag("am/pm"), "AM");
}

TEST(FormatDayWithSuffix, EnglishOrdinals)
{
    const std::map<int, std::string> expected = {{1, "1st"},   {2, "2nd"},   {3, "3rd"},   {4, "4th"},
                                                 {11, "11th"}, {12, "12th"}, {13, "13th"}, {20, "20th"},
                                                 {21, "21st"}, {22, "22nd"}, {23, "23rd"}, {24, "24th"},
                                                 {30, "30th"}, {31, "31st"}};
    for (const auto& [day, text] : expected) {
        LocalTime time;
        time.day = day;
        EXPECT_EQ(FormatDayWithSuffix(time), text);
    }
}

TEST_F(ExpandMacroTextTest, ClockAndLocaleAreReadOnce)
{
    Expand("{\"minute\"}{\"second\"}{\"date\"}");
    Expand("{\"monthname\"}");
    EXPECT_EQ(clock.reads, 2) << "one reading of the clock per text";
    EXPECT_EQ(clock.localeReads, 1) << "the names are kept";
    expander.LocaleChanged();
    clock.names = FakeClock::GermanNames();
    EXPECT_EQ(Tag("monthname"), "Dezember");
    EXPECT_EQ(clock.localeReads, 2);
}

TEST(StripKeyEscapes, KeepsPastedCharactersAndDropsKeysAndCommands)
{
    EXPECT_EQ(StripKeyEscapes("a\xFE\x70" "b\xFF\x01" "c\xFD\xFE\t\r\n"), "abc\xFE\t\r\n");
    EXPECT_EQ(StripKeyEscapes("\xFD\xFD\xFF"), "\xFD");
    EXPECT_EQ(StripKeyEscapes("x\xFE"), "x");
}

std::string UnicodeEscape(char32_t c)
{
    return {'\xFF', '\x02', static_cast<char>(c >> 16), static_cast<char>((c >> 8) & 0xFF), static_cast<char>(c & 0xFF)};
}

// "U+" in any case and one to six hexadecimal digits naming a character,
// blanks allowed only around the whole word; anything else yields nothing.
TEST_F(ExpandMacroTextTest, UnicodeCharacterTags)
{
    const std::pair<std::string_view, char32_t> cases[] = {
        {"U+2192", 0x2192},   {"u+1f600", 0x1F600}, {" U+41\t", 0x41},   {"U+000041", 0x41},
        {"U+10FFFF", 0x10FFFF}, {"U+D7FF", 0xD7FF}, {"U+E000", 0xE000},   {"U+FD", 0xFD},
        {"U+1", 0x1},         {"u+FfFd", 0xFFFD},
        {"U+", 0},            {"U+0", 0},           {"U+000000", 0},     {"U+D800", 0},
        {"U+DFFF", 0},        {"U+110000", 0},      {"U+0000041", 0},    {"U+12G4", 0},
        {"U+ 41", 0},         {"U +41", 0},         {"U+4 1", 0},        {"U+-41", 0},
        {"U+0x41", 0},        {"U+41h", 0},         {"+41", 0},          {"U41", 0},
        {"U-41", 0},          {"UU+41", 0},
    };
    for (const auto& [word, character] : cases) {
        EXPECT_EQ(Tag(word), character == 0 ? "" : UnicodeEscape(character)) << word;
    }
    EXPECT_EQ(Expand("a{\"U+2192\"}b"), "a" + UnicodeEscape(0x2192) + "b");
}

TEST(StripKeyEscapes, UnicodeCharactersForAnsiAndUnicodePastes)
{
    tests::FakeCodePage codePage;
    const std::string keys = "a" + UnicodeEscape(0x2192) + "\xFD\xFF" + UnicodeEscape(0xE9) + "\xFE\x70" +
                             UnicodeEscape(0x1F600) + UnicodeEscape(0xFE) + "\r\n";
    EXPECT_EQ(StripKeyEscapes(keys), "a\xFF\r\n") << "no code page, no Unicode characters";
    EXPECT_EQ(StripKeyEscapes(keys, &codePage), "a\xFF\xE9\xFE\r\n") << "those the code page holds";
    EXPECT_EQ(KeyStringToUnicode(keys, codePage), u"a\u2192\u00FF\u00E9\U0001F600\u00FE\r\n");
    codePage.Use(1251);
    EXPECT_EQ(KeyStringToUnicode("\xFD\xFF" "\xE4\xE0", codePage), u"\u044F\u0434\u0430");
    EXPECT_EQ(StripKeyEscapes("x\xFF\x02\x00", &codePage), "x") << "a cut-off escape gives nothing";
    EXPECT_EQ(KeyStringToUnicode(std::string("x\xFF\x02\x00\x00", 5), codePage), u"x");
}

}  // namespace
}  // namespace velmora
