#pragma once

// A window described as data: one row per control, in z-order (which is the
// tab order), each with its place at 96 DPI and how it follows the window
// when the window grows. The same rows create the controls, lay them out at
// any DPI and client size, and are checked here without any window.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velmora {

struct LayoutRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    bool operator==(const LayoutRect&) const = default;
};

struct LayoutSize {
    int width = 0;
    int height = 0;
    bool operator==(const LayoutSize&) const = default;
};

// The dialog manager's ids for Enter and Esc (IDOK, IDCANCEL). Those buttons
// need no mnemonic: the keys reach them.
inline constexpr int kOkId = 1;
inline constexpr int kCancelId = 2;

enum class ControlKind : std::uint8_t {
    Label,          // names the control right after it; its mnemonic focuses that one
    Text,           // read but never focused
    Picture,        // drawn by the window, no text
    Button,
    DefaultButton,
    CheckBox,
    RadioButton,
    GroupBox,       // drawn around siblings
    Edit,           // the kinds from Edit on take their name from a label before them
    ReadOnlyText,   // a read-only multi-line edit: focusable, its text is its own name
    ComboBox,
    ListBox,
    Link,
    Tabs,           // drawn around its pages
    Panel,          // holds the rows whose parent is its id
    Page,           // a panel shown one at a time with the other pages of its parent
};

// How a control follows its parent's growth beyond the design size.
enum LayoutAnchor : unsigned {
    kStay = 0,
    kMoveX = 1,
    kMoveY = 2,
    kGrowX = 4,
    kGrowY = 8,
    // Moves by half the growth, so it stays centred across.
    kMoveHalfX = 16,
};

struct LayoutRow {
    // 0 for a label or text no code refers to.
    int id = 0;
    ControlKind kind = ControlKind::Text;
    // With "&" before the mnemonic.
    const char* text = "";
    // In the parent's client area, at 96 DPI.
    LayoutRect place96;
    unsigned anchors = kStay;
    // The id of the Panel, Page or Tabs row holding it, which comes earlier;
    // 0 for the window.
    int parent = 0;
    // Replaces the kind's window class (a hot-key field is an Edit of its own class).
    const char* className = nullptr;
    // Added to the kind's own style bits.
    std::uint32_t style = 0;
    // In the bold message font.
    bool bold = false;
};

struct LayoutTable {
    // Named in the checks' findings.
    const char* name = "";
    // The client area the places were designed for, at 96 DPI.
    LayoutSize client96;
    std::span<const LayoutRow> rows;
};

// What one inch of 96 design pixels becomes, across and down: the DPI, or
// more where the message font is larger than the default one at that DPI,
// as a dialog's units grow with its font.
struct LayoutScale {
    int x = 96;
    int y = 96;

    constexpr LayoutScale() = default;
    // Only the DPI: the default font's size.
    constexpr LayoutScale(int dpi) : x(dpi), y(dpi) {}  // NOLINT(google-explicit-constructor)
    constexpr LayoutScale(int across, int down) : x(across), y(down) {}
    bool operator==(const LayoutScale&) const = default;
};

// A 96-DPI length at dpi, rounded to the nearest pixel.
int ScaleLength(int length96, int dpi);
// Edges are scaled, not sizes, so controls that touch at 96 DPI still touch.
LayoutRect ScaleRect(const LayoutRect& rect96, LayoutScale scale);
LayoutSize ScaleSize(LayoutSize size96, LayoutScale scale);

// Where each row goes, in its table's order and its parent's client area,
// for a window whose client area is that size in pixels at that scale.
std::vector<LayoutRect> LayOut(const LayoutTable& table, LayoutScale scale, LayoutSize client);
// The same for the design size at that scale.
std::vector<LayoutRect> LayOut(const LayoutTable& table, LayoutScale scale);

// The mnemonic of a text ("&Next" gives 'n'), lower case; 0 for none. "&&"
// is a plain ampersand.
char MnemonicOf(const char* text);

// True for the rows a user reaches by their own mnemonic: labels, buttons
// (except OK and Cancel), check boxes and radio buttons.
bool ReachedByName(const LayoutRow& row);
// True for the controls that take their name from the label before them.
bool NeedsLabel(ControlKind kind);

// The checks every window's table passes, each giving what it found wrong,
// one line per fault, nothing when all is well.
// No control reaches outside its window or panel.
std::vector<std::string> ControlsOutsideParent(const LayoutTable& table, LayoutScale scale);
// No two siblings overlap (group boxes and tabs hold theirs; pages take turns).
std::vector<std::string> OverlappingControls(const LayoutTable& table, LayoutScale scale);
// Every label stands directly before its control, and every control that
// needs a label has one (or a text) directly before it.
std::vector<std::string> LabelsOutOfPlace(const LayoutTable& table);
// Every control reached by name has one mnemonic, unique in its window;
// controls on different pages may share one.
std::vector<std::string> MnemonicFaults(const LayoutTable& table);
// A row's parent is a holder that comes before it.
std::vector<std::string> ParentFaults(const LayoutTable& table);

// All of the above.
std::vector<std::string> CheckLayoutTable(const LayoutTable& table, LayoutScale scale);

}  // namespace velmora
