#pragma once

// The controls of the About box, the welcome window and the window of
// refused hot keys.

#include "ui/Layout.h"

namespace velmora {

namespace about_id {
inline constexpr int kLink = 101;
inline constexpr int kPicture = 102;
}  // namespace about_id

namespace welcome_id {
inline constexpr int kText = 101;
}  // namespace welcome_id

namespace hot_key_errors_id {
inline constexpr int kErrors = 101;
inline constexpr int kIntro = 102;
}  // namespace hot_key_errors_id

extern const LayoutTable kAboutTable;
extern const LayoutTable kWelcomeTable;
extern const LayoutTable kHotKeyErrorsTable;

// Where the welcome window paints the frame behind its text and its small
// picture, at 96 DPI.
inline constexpr LayoutRect kWelcomePanel96{78, 80, 415, 177};
inline constexpr LayoutRect kWelcomeSmallPicture96{216, 208, 115, 44};

}  // namespace velmora
