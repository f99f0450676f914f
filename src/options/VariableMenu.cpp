#include "options/VariableMenu.h"

#include <cstdint>

#include "engine/TextExpansion.h"

namespace velmora {

namespace {

VariableMenuItem Word(std::string caption, std::string word)
{
    return {.kind = VariableKind::Word, .caption = std::move(caption), .word = std::move(word)};
}

// Most keys insert their own caption.
VariableMenuItem Key(std::string caption)
{
    std::string word = caption;
    return Word(std::move(caption), std::move(word));
}

VariableMenuItem Separator()
{
    return {.kind = VariableKind::Separator};
}

VariableMenuItem Submenu(std::string caption, std::vector<VariableMenuItem> items)
{
    return {.kind = VariableKind::Submenu, .caption = std::move(caption), .items = std::move(items)};
}

VariableMenuItem ColumnStart(VariableMenuItem item)
{
    item.columnBreak = true;
    return item;
}

std::vector<VariableMenuItem> DateItems()
{
    return {
        Word("Long Date", "Date"),
        Word("Short Date", "ShortDate"),
        Separator(),
        Submenu("Month",
                {
                    Word("Full Name (Example: July)", "MonthName"),
                    Word("Abbreviated Name (Example: Jul)", "ShortMonthName"),
                    Word("Month Number (Example: 7)", "Month"),
                    Word("Two Digit Month Number (Example: 07)", "TwoDigitMonth"),
                }),
        Submenu("Day",
                {
                    Word("Day Number (Example: 5)", "Day"),
                    Word("Day Number && Suffix (Example: 5th)", "DaySuffix"),
                    Word("Two Digit Day Number (Example: 05)", "TwoDigitDay"),
                    Separator(),
                    Word("Abbreviated Day of Week (Example: Thur)", "ShortDayOfWeek"),
                    Word("Day of Week (Example: Thursday)", "DayOfWeek"),
                }),
        Submenu("Year",
                {
                    Word("Four Digit Year (Example: 2001)", "Year"),
                    Word("Two Digit Year (Example: 01)", "TwoDigitYear"),
                }),
    };
}

std::vector<VariableMenuItem> TimeItems()
{
    return {
        Word("Long Time", "Time"),
        Word("Short Time", "ShortTime"),
        Separator(),
        Submenu("Hour",
                {
                    Submenu("12-Hour Format",
                            {
                                Word("Hour Number (Example: 7)", "Hour"),
                                Word("Two Digit Hour Number (Example: 07)", "TwoDigitHour"),
                                Separator(),
                                Word("AM/PM (Example: AM)", "AM/PM"),
                                Word("am/pm (Example: am)", "am-pm"),
                            }),
                    Submenu("24-Hour Format",
                            {
                                Word("Hour Number (Example: 7)", "Hour24"),
                                Word("Two Digit Hour Number (Example: 07)", "TwoDigitHour24"),
                            }),
                }),
        Submenu("Minute",
                {
                    Word("Two Digit Minute Number (Example: 05)", "Minute"),
                    Word("Minute Number (Example: 5)", "ShortMinute"),
                }),
        Submenu("Second",
                {
                    Word("Two Digit Second Number (Example: 05)", "Second"),
                    Word("Second Number (Example: 5)", "ShortSecond"),
                }),
    };
}

std::vector<VariableMenuItem> KeyItems()
{
    std::vector<VariableMenuItem> items = {
        Key("Alt"), Key("Ctrl"), Key("Shift"), Separator(),
        Key("Tab"), Key("Enter"), Key("Backspace"), Key("Escape"), Separator(),
        Key("Insert"), Key("Delete"), Key("Home"), Key("End"),
        Word("Page Up", "PageUp"), Word("Page Down", "PageDown"),
        ColumnStart(Key("Left")), Key("Right"), Separator(),
    };
    for (int f = 1; f <= 12; ++f) {
        items.push_back(Key("F" + std::to_string(f)));
    }
    items.push_back(ColumnStart(Key("Up")));
    items.push_back(Key("Down"));
    items.push_back(Separator());
    for (int f = 13; f <= 24; ++f) {
        items.push_back(Key("F" + std::to_string(f)));
    }
    for (int digit = 0; digit <= 9; ++digit) {
        VariableMenuItem pad = Word("Key Pad - " + std::to_string(digit), "KeyPad" + std::to_string(digit));
        pad.columnBreak = digit == 0;
        items.push_back(std::move(pad));
    }
    return items;
}

std::vector<VariableMenuItem> MiscItems()
{
    return {
        Word("Pause One Second", "Pause"),
        {.kind = VariableKind::RandomNumber, .caption = "&Random Number Generator"},
        {.kind = VariableKind::RandomHexNumber, .caption = "Ra&ndom Hex Number Generator"},
    };
}

void CollectLeaves(const std::vector<VariableMenuItem>& items, std::vector<const VariableMenuItem*>& leaves)
{
    for (const VariableMenuItem& item : items) {
        if (item.kind == VariableKind::Submenu) {
            CollectLeaves(item.items, leaves);
        } else if (item.kind != VariableKind::Separator) {
            leaves.push_back(&item);
        }
    }
}

std::int32_t ValueOf(std::string_view text)
{
    return ReadInteger(text).value_or(0);
}

}  // namespace

const std::vector<VariableMenuItem>& VariablesMenu()
{
    static const std::vector<VariableMenuItem> menu = {
        Submenu("Date", DateItems()),
        Submenu("Time", TimeItems()),
        Separator(),
        Submenu("Keys", KeyItems()),
        Submenu("&Misc.", MiscItems()),
    };
    return menu;
}

const std::vector<const VariableMenuItem*>& VariableMenuLeaves()
{
    static const std::vector<const VariableMenuItem*> leaves = [] {
        std::vector<const VariableMenuItem*> found;
        CollectLeaves(VariablesMenu(), found);
        return found;
    }();
    return leaves;
}

std::string TagFor(std::string_view word)
{
    std::string tag = "{\"";
    tag += word;
    tag += "\"}";
    return tag;
}

std::string NormaliseInteger(std::string_view text)
{
    return std::to_string(ValueOf(text));
}

void NormaliseFields(RandomFields& fields)
{
    fields.minimum = NormaliseInteger(fields.minimum);
    fields.maximum = NormaliseInteger(fields.maximum);
    fields.width = NormaliseInteger(fields.width);
}

bool MaximumBelowMinimum(const RandomFields& fields)
{
    return ValueOf(fields.maximum) < ValueOf(fields.minimum);
}

std::string RandomWord(bool hex, const RandomFields& fields)
{
    std::string word = hex ? "RandHex " : "Rand ";
    word += fields.minimum;
    word += ',';
    word += fields.maximum;
    if (fields.leftPad) {
        word += ',';
        word += fields.width;
    }
    return word;
}

}  // namespace velmora
