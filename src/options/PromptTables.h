#pragma once

// The controls of the password prompt, the random-number dialog and the
// program picker.

#include "ui/Layout.h"

namespace velmora {

namespace password_id {
inline constexpr int kPassword = 101;
}  // namespace password_id

namespace rand_id {
inline constexpr int kMinimum = 101;
inline constexpr int kMaximum = 102;
inline constexpr int kWidth = 103;
inline constexpr int kLeftPad = 104;
inline constexpr int kWidthLabel = 105;
}  // namespace rand_id

namespace pick_programs_id {
inline constexpr int kPrograms = 101;
}  // namespace pick_programs_id

extern const LayoutTable kPasswordTable;
extern const LayoutTable kRandTable;
extern const LayoutTable kPickProgramsTable;

}  // namespace velmora
