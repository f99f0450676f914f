#include "options/PromptTables.h"

#include <array>
#include <cstdint>

namespace velmora {

namespace {

using enum ControlKind;

constexpr std::array kPasswordRows{
    LayoutRow{0, Label,
              "The area you are attempting to access is password protected. Please enter the &password:",
              {16, 12, 200, 45}},
    LayoutRow{password_id::kPassword, Edit, "", {16, 64, 233, 21}},
    LayoutRow{kOkId, DefaultButton, "OK", {96, 106, 73, 25}},
    LayoutRow{kCancelId, Button, "Cancel", {176, 106, 73, 25}},
};

constexpr std::array kRandRows{
    LayoutRow{0, Label, "Mi&nimum value:", {16, 19, 90, 13}},
    LayoutRow{rand_id::kMinimum, Edit, "", {112, 16, 105, 21}},
    LayoutRow{0, Label, "Ma&ximum value:", {16, 47, 90, 13}},
    LayoutRow{rand_id::kMaximum, Edit, "", {112, 44, 105, 21}},
    LayoutRow{rand_id::kLeftPad, CheckBox, "&Left pad with zeros", {16, 74, 160, 17}},
    LayoutRow{rand_id::kWidthLabel, Label, "&Character width:", {180, 76, 90, 13}},
    LayoutRow{rand_id::kWidth, Edit, "", {272, 72, 57, 21}},
    LayoutRow{kOkId, DefaultButton, "OK", {176, 106, 73, 25}},
    LayoutRow{kCancelId, Button, "Cancel", {256, 106, 73, 25}},
};

// A click ticks or unticks a row, as Space does (LBS_MULTIPLESEL is 0x8).
constexpr std::uint32_t kTickedRows = 0x8;

constexpr std::array kPickProgramsRows{
    LayoutRow{0, Label, "Tick the programs to add to the list. &Running programs:", {16, 12, 233, 29}},
    LayoutRow{pick_programs_id::kPrograms, ListBox, "", {16, 45, 233, 200}, kStay, 0, nullptr, kTickedRows},
    LayoutRow{kOkId, DefaultButton, "OK", {96, 257, 73, 25}},
    LayoutRow{kCancelId, Button, "Cancel", {176, 257, 73, 25}},
};

}  // namespace

const LayoutTable kPasswordTable{"password prompt", {265, 145}, kPasswordRows};
const LayoutTable kRandTable{"random-number dialog", {345, 145}, kRandRows};
const LayoutTable kPickProgramsTable{"program picker", {265, 298}, kPickProgramsRows};

}  // namespace velmora
