#pragma once

// Control identifiers of the quick reference card; the end-to-end tests find
// the controls by them.

namespace velmora::reference_id {

inline constexpr int kPageLabel = 1100;
inline constexpr int kPrevious = 1101;
inline constexpr int kClose = 1102;
inline constexpr int kNext = 1103;
// The drawn card; its text is the page's rows, for a screen reader.
inline constexpr int kPaintBox = 1104;

}  // namespace velmora::reference_id
