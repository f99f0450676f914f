#include "options/VariableMenu.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace velmora {
namespace {

// The item at a path of captions, or null.
const VariableMenuItem* Find(const std::vector<std::string>& path)
{
    const std::vector<VariableMenuItem>* items = &VariablesMenu();
    const VariableMenuItem* found = nullptr;
    for (const std::string& caption : path) {
        found = nullptr;
        for (const VariableMenuItem& item : *items) {
            if (item.kind != VariableKind::Separator && item.caption == caption) {
                found = &item;
                break;
            }
        }
        if (found == nullptr) {
            return nullptr;
        }
        items = &found->items;
    }
    return found;
}

// "S" for a separator, "|" before an item that starts a column, else the caption.
std::vector<std::string> Outline(const std::vector<VariableMenuItem>& items)
{
    std::vector<std::string> outline;
    for (const VariableMenuItem& item : items) {
        const std::string text = item.kind == VariableKind::Separator ? "S" : item.caption;
        outline.push_back(item.columnBreak ? "|" + text : text);
    }
    return outline;
}

struct WordCase {
    std::vector<std::string> path;
    const char* word;
};

TEST(VariableMenu, TopLevelAndDateTimeStructure)
{
    EXPECT_EQ(Outline(VariablesMenu()), (std::vector<std::string>{"Date", "Time", "S", "Keys", "&Misc."}));
    EXPECT_EQ(Outline(Find({"Date"})->items),
              (std::vector<std::string>{"Long Date", "Short Date", "S", "Month", "Day", "Year"}));
    EXPECT_EQ(Outline(Find({"Date", "Day"})->items),
              (std::vector<std::string>{"Day Number (Example: 5)", "Day Number && Suffix (Example: 5th)",
                                        "Two Digit Day Number (Example: 05)", "S",
                                        "Abbreviated Day of Week (Example: Thur)",
                                        "Day of Week (Example: Thursday)"}));
    EXPECT_EQ(Outline(Find({"Time"})->items),
              (std::vector<std::string>{"Long Time", "Short Time", "S", "Hour", "Minute", "Second"}));
    EXPECT_EQ(Outline(Find({"Time", "Hour", "12-Hour Format"})->items),
              (std::vector<std::string>{"Hour Number (Example: 7)", "Two Digit Hour Number (Example: 07)", "S",
                                        "AM/PM (Example: AM)", "am/pm (Example: am)"}));
    EXPECT_EQ(Outline(Find({"&Misc."})->items),
              (std::vector<std::string>{"Pause One Second", "&Random Number Generator",
                                        "Ra&ndom Hex Number Generator"}));
}

TEST(VariableMenu, EveryDateTimeAndMiscItemInsertsItsWord)
{
    const std::vector<WordCase> cases = {
        {{"Date", "Long Date"}, "Date"},
        {{"Date", "Short Date"}, "ShortDate"},
        {{"Date", "Month", "Full Name (Example: July)"}, "MonthName"},
        {{"Date", "Month", "Abbreviated Name (Example: Jul)"}, "ShortMonthName"},
        {{"Date", "Month", "Month Number (Example: 7)"}, "Month"},
        {{"Date", "Month", "Two Digit Month Number (Example: 07)"}, "TwoDigitMonth"},
        {{"Date", "Day", "Day Number (Example: 5)"}, "Day"},
        {{"Date", "Day", "Day Number && Suffix (Example: 5th)"}, "DaySuffix"},
        {{"Date", "Day", "Two Digit Day Number (Example: 05)"}, "TwoDigitDay"},
        {{"Date", "Day", "Abbreviated Day of Week (Example: Thur)"}, "ShortDayOfWeek"},
        {{"Date", "Day", "Day of Week (Example: Thursday)"}, "DayOfWeek"},
        {{"Date", "Year", "Four Digit Year (Example: 2001)"}, "Year"},
        {{"Date", "Year", "Two Digit Year (Example: 01)"}, "TwoDigitYear"},
        {{"Time", "Long Time"}, "Time"},
        {{"Time", "Short Time"}, "ShortTime"},
        {{"Time", "Hour", "12-Hour Format", "Hour Number (Example: 7)"}, "Hour"},
        {{"Time", "Hour", "12-Hour Format", "Two Digit Hour Number (Example: 07)"}, "TwoDigitHour"},
        {{"Time", "Hour", "12-Hour Format", "AM/PM (Example: AM)"}, "AM/PM"},
        {{"Time", "Hour", "12-Hour Format", "am/pm (Example: am)"}, "am-pm"},
        {{"Time", "Hour", "24-Hour Format", "Hour Number (Example: 7)"}, "Hour24"},
        {{"Time", "Hour", "24-Hour Format", "Two Digit Hour Number (Example: 07)"}, "TwoDigitHour24"},
        {{"Time", "Minute", "Two Digit Minute Number (Example: 05)"}, "Minute"},
        {{"Time", "Minute", "Minute Number (Example: 5)"}, "ShortMinute"},
        {{"Time", "Second", "Two Digit Second Number (Example: 05)"}, "Second"},
        {{"Time", "Second", "Second Number (Example: 5)"}, "ShortSecond"},
        {{"&Misc.", "Pause One Second"}, "Pause"},
    };
    for (const WordCase& c : cases) {
        const VariableMenuItem* item = Find(c.path);
        ASSERT_NE(item, nullptr) << c.path.back();
        EXPECT_EQ(item->kind, VariableKind::Word) << c.path.back();
        EXPECT_EQ(item->word, c.word) << c.path.back();
    }
    EXPECT_EQ(Find({"&Misc.", "&Random Number Generator"})->kind, VariableKind::RandomNumber);
    EXPECT_EQ(Find({"&Misc.", "Ra&ndom Hex Number Generator"})->kind, VariableKind::RandomHexNumber);

    // Every leaf is in the table above, or a key, or one of the two random items.
    std::size_t wordLeaves = 0;
    for (const VariableMenuItem* leaf : VariableMenuLeaves()) {
        wordLeaves += leaf->kind == VariableKind::Word && !leaf->word.empty() ? 1u : 0u;
    }
    EXPECT_EQ(wordLeaves, cases.size() + 51);
    EXPECT_EQ(VariableMenuLeaves().size(), cases.size() + 51 + 2);
}

TEST(VariableMenu, KeysAreFiftyOneItemsInFourColumns)
{
    const VariableMenuItem* keys = Find({"Keys"});
    ASSERT_NE(keys, nullptr);
    std::vector<std::string> expected = {
        "Alt", "Ctrl", "Shift", "S", "Tab", "Enter", "Backspace", "Escape", "S",
        "Insert", "Delete", "Home", "End", "Page Up", "Page Down",
        "|Left", "Right", "S",
    };
    for (int f = 1; f <= 12; ++f) {
        expected.push_back("F" + std::to_string(f));
    }
    expected.insert(expected.end(), {"|Up", "Down", "S"});
    for (int f = 13; f <= 24; ++f) {
        expected.push_back("F" + std::to_string(f));
    }
    for (int digit = 0; digit <= 9; ++digit) {
        expected.push_back((digit == 0 ? "|Key Pad - " : "Key Pad - ") + std::to_string(digit));
    }
    EXPECT_EQ(Outline(keys->items), expected);

    // Each column's items, counted up to the next column start.
    std::vector<int> columns;
    std::map<std::string, std::string> words;
    for (const VariableMenuItem& item : keys->items) {
        if (columns.empty() || item.columnBreak) {
            columns.push_back(0);
        }
        if (item.kind == VariableKind::Word) {
            ++columns.back();
            words[item.caption] = item.word;
        }
    }
    EXPECT_EQ(columns, (std::vector<int>{13, 14, 14, 10}));
    ASSERT_EQ(words.size(), 51u);
    for (const auto& [caption, word] : words) {
        if (caption == "Page Up") {
            EXPECT_EQ(word, "PageUp");
        } else if (caption == "Page Down") {
            EXPECT_EQ(word, "PageDown");
        } else if (caption.starts_with("Key Pad - ")) {
            EXPECT_EQ(word, "KeyPad" + caption.substr(10));
        } else {
            EXPECT_EQ(word, caption) << "a key inserts its own caption";
        }
    }
    EXPECT_EQ(words["Key Pad - 0"], "KeyPad0");
    EXPECT_EQ(words["F12"], "F12");
}

TEST(VariableMenu, LeavesAreInMenuOrder)
{
    const std::vector<const VariableMenuItem*>& leaves = VariableMenuLeaves();
    ASSERT_FALSE(leaves.empty());
    EXPECT_EQ(leaves.front(), Find({"Date", "Long Date"}));
    EXPECT_EQ(leaves.back(), Find({"&Misc.", "Ra&ndom Hex Number Generator"}));
    for (const VariableMenuItem* leaf : leaves) {
        EXPECT_NE(leaf->kind, VariableKind::Submenu);
        EXPECT_NE(leaf->kind, VariableKind::Separator);
    }
}

TEST(VariableMenu, TagWrapsTheWordInBraceAndQuotes)
{
    EXPECT_EQ(TagFor("Minute"), std::string("{") + '"' + "Minute" + '"' + "}");
    EXPECT_EQ(TagFor("Rand 1,6"), "{\"Rand 1,6\"}");
    EXPECT_EQ(TagFor(""), "{\"\"}");
}

TEST(RandomDialogFields, TextBecomesADecimalAsTheProgramReadsIntegers)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"abc", "0"}, {"5", "5"}, {"+7", "7"}, {"-12", "-12"}, {"007", "7"},
        {"", "0"}, {" 5", "0"}, {"5 ", "0"}, {"1.5", "0"}, {"12a", "0"},
        {"2147483647", "2147483647"}, {"-2147483648", "-2147483648"}, {"2147483648", "0"},
        // The program's integers may be hexadecimal too; the field shows them in decimal.
        {"$FF", "255"}, {"0x10", "16"}, {"$FFFFFFFF", "-1"},
    };
    for (const auto& [text, normalised] : cases) {
        EXPECT_EQ(NormaliseInteger(text), normalised) << text;
    }

    RandomFields fields{.minimum = "abc", .maximum = "5", .leftPad = false, .width = "wide"};
    NormaliseFields(fields);
    EXPECT_EQ(fields.minimum, "0");
    EXPECT_EQ(fields.maximum, "5");
    EXPECT_EQ(fields.width, "0") << "the width is normalised even while hidden";
    EXPECT_FALSE(MaximumBelowMinimum(fields));
}

TEST(RandomDialogFields, RefusesOnlyAMaximumBelowTheMinimum)
{
    EXPECT_TRUE(MaximumBelowMinimum({.minimum = "7", .maximum = "3"}));
    EXPECT_FALSE(MaximumBelowMinimum({.minimum = "3", .maximum = "7"}));
    EXPECT_FALSE(MaximumBelowMinimum({.minimum = "4", .maximum = "4"})) << "equal bounds are accepted";
    EXPECT_TRUE(MaximumBelowMinimum({.minimum = "-1", .maximum = "-2"}));
    EXPECT_TRUE(MaximumBelowMinimum({.minimum = "10", .maximum = "9"})) << "compared as numbers, not text";
    EXPECT_FALSE(MaximumBelowMinimum({.minimum = "9", .maximum = "10"}));
}

TEST(RandomDialogFields, WordHasTheWidthOnlyWhenPadded)
{
    EXPECT_EQ(RandomWord(false, {.minimum = "1", .maximum = "6"}), "Rand 1,6");
    EXPECT_EQ(RandomWord(true, {.minimum = "0", .maximum = "255"}), "RandHex 0,255");
    EXPECT_EQ(RandomWord(false, {.minimum = "1", .maximum = "6", .leftPad = false, .width = "3"}), "Rand 1,6")
        << "a hidden width is left out";
    EXPECT_EQ(RandomWord(true, {.minimum = "0", .maximum = "255", .leftPad = true, .width = "4"}),
              "RandHex 0,255,4");

    RandomFields typed{.minimum = "-5", .maximum = "x10", .leftPad = true, .width = "two"};
    NormaliseFields(typed);
    EXPECT_EQ(RandomWord(false, typed), "Rand -5,16,0") << "a width that is not a number becomes 0";
    EXPECT_EQ(TagFor(RandomWord(false, {.minimum = "1", .maximum = "6"})), "{\"Rand 1,6\"}");
}

}  // namespace
}  // namespace velmora
