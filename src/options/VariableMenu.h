#pragma once

// The "Insert Variable..." menu of the options window as data, the tag each
// item puts into a keystroke text, and the logic of the random-number dialog.
// The window code only turns this into a system menu and a dialog.

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

enum class VariableKind {
    Submenu,
    Separator,
    // Inserts its fixed word.
    Word,
    // Asks for bounds first, then inserts "Rand ..." or "RandHex ...".
    RandomNumber,
    RandomHexNumber,
};

struct VariableMenuItem {
    VariableKind kind = VariableKind::Word;
    // Menu caption: "&" marks the access letter, "&&" shows one "&".
    std::string caption;
    std::string word;
    // This item starts a new column of its menu.
    bool columnBreak = false;
    std::vector<VariableMenuItem> items;
};

// The top level of the menu, in order.
const std::vector<VariableMenuItem>& VariablesMenu();

// Every item that can be chosen, depth first, in menu order; a menu built
// from the tree can use index + 1 as the command id.
const std::vector<const VariableMenuItem*>& VariableMenuLeaves();

// The tag for a word: {"word"}.
std::string TagFor(std::string_view word);

// ---- The random-number dialog ----

inline constexpr std::string_view kMinimumAboveMaximumText =
    "You have set a minimum value that is higher than the maximum value which is not allowed.";
inline constexpr std::string_view kRandomCaption = "Insert Random Number Generator";
inline constexpr std::string_view kRandomHexCaption = "Insert Random Hex Number Generator";

// The field's value in decimal, read as the rest of the program reads
// integers (ReadInteger: a signed decimal, or $, x or 0x and up to eight hex
// digits); "0" for anything else, blanks included.
std::string NormaliseInteger(std::string_view text);

struct RandomFields {
    std::string minimum;
    std::string maximum;
    bool leftPad = false;
    std::string width;
};

// What OK does to the fields before it checks them: all three are
// normalised, the width also while it is hidden.
void NormaliseFields(RandomFields& fields);

// The one refusal: the maximum is below the minimum (equal is fine).
bool MaximumBelowMinimum(const RandomFields& fields);

// "Rand min,max" or "RandHex min,max", with ",width" when padded; the
// fields as they stand (OK has normalised them).
std::string RandomWord(bool hex, const RandomFields& fields);

}  // namespace velmora
