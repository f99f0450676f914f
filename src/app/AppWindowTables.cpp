#include "app/AppWindowTables.h"

#include <array>

#include "app/Version.h"

namespace velmora {

namespace {

using enum ControlKind;

constexpr const char* kNoticeText =
    "\xA9 2026 Brackwell, Inc. All rights reserved.\r\nVelmora is built by a small team that types too much.";

constexpr const char* kWelcomeText =
    "Velmora is a powerful macro utility that sits in your system tray. To begin using Velmora you should "
    "define some macros.\r\n\r\n"
    "To begin defining your macros just click on the Velmora icon in your system tray. This will display the "
    "Options window where you can define your own custom macros.";

// The button comes first in the tab order.
constexpr std::array kAboutRows{
    LayoutRow{kOkId, DefaultButton, "OK", {248, 288, 73, 25}},
    // The picture keeps the product picture's proportions (505 x 277).
    LayoutRow{about_id::kPicture, Picture, "", {16, 16, 305, 167}},
    LayoutRow{.kind = Text, .text = "Velmora", .place96 = {16, 194, 305, 17}, .bold = true},
    LayoutRow{0, Text, "Version " VELMORA_VERSION_TEXT, {16, 212, 305, 17}},
    // The link opens the product's home page.
    LayoutRow{about_id::kLink, Link, "<a>www.brackwell.example/velmora</a>", {16, 230, 170, 17}},
    LayoutRow{0, Text, kNoticeText, {16, 250, 305, 32}},
};

constexpr std::array kWelcomeRows{
    LayoutRow{kOkId, DefaultButton, "OK", {416, 16, 75, 25}},
    LayoutRow{welcome_id::kText, Text, kWelcomeText, {96, 96, 385, 105}},
};

// The intro's text is the window's own.
constexpr std::array kHotKeyErrorsRows{
    LayoutRow{kOkId, DefaultButton, "OK", {240, 232, 73, 25}},
    LayoutRow{hot_key_errors_id::kIntro, Text, "", {16, 16, 305, 33}},
    LayoutRow{hot_key_errors_id::kErrors, ListBox, "", {16, 56, 297, 169}},
};

}  // namespace

const LayoutTable kAboutTable{"About box", {337, 329}, kAboutRows};
const LayoutTable kWelcomeTable{"welcome window", {505, 277}, kWelcomeRows};
const LayoutTable kHotKeyErrorsTable{"refused hot keys", {329, 265}, kHotKeyErrorsRows};

}  // namespace velmora
