#include "ui/Layout.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace velmora {

namespace {

constexpr int kDesignDpi = 96;

bool IsHolder(ControlKind kind)
{
    return kind == ControlKind::Panel || kind == ControlKind::Page || kind == ControlKind::Tabs;
}

// The row of that id, when it is a holder before `before`.
std::optional<std::size_t> HolderIndex(const LayoutTable& table, int id, std::size_t before)
{
    for (std::size_t i = 0; i < before; ++i) {
        if (table.rows[i].id == id && IsHolder(table.rows[i].kind)) {
            return i;
        }
    }
    return std::nullopt;
}

std::string Describe(const LayoutTable& table, std::size_t index)
{
    const LayoutRow& row = table.rows[index];
    return std::string(table.name) + " row " + std::to_string(index) + " (\"" + row.text + "\", id " +
           std::to_string(row.id) + ")";
}

std::string Describe(LayoutScale scale)
{
    return scale.x == scale.y ? std::to_string(scale.x) + " DPI"
                              : std::to_string(scale.x) + " x " + std::to_string(scale.y) + " DPI";
}

// The page a row lies on, 0 for none.
int PageOf(const LayoutTable& table, std::size_t index)
{
    for (int parent = table.rows[index].parent; parent != 0;) {
        const std::optional<std::size_t> holder = HolderIndex(table, parent, index);
        if (!holder) {
            break;
        }
        if (table.rows[*holder].kind == ControlKind::Page) {
            return parent;
        }
        parent = table.rows[*holder].parent;
        index = *holder;
    }
    return 0;
}

bool Intersect(const LayoutRect& a, const LayoutRect& b)
{
    return a.left < b.Right() && b.left < a.Right() && a.top < b.Bottom() && b.top < a.Bottom();
}

// Drawn around siblings that lie inside it.
bool Surrounds(const LayoutRow& outer, const LayoutRect& outerPlace, const LayoutRect& innerPlace)
{
    return (outer.kind == ControlKind::GroupBox || outer.kind == ControlKind::Tabs) &&
           innerPlace.left >= outerPlace.left && innerPlace.top >= outerPlace.top &&
           innerPlace.Right() <= outerPlace.Right() && innerPlace.Bottom() <= outerPlace.Bottom();
}

}  // namespace

int ScaleLength(int length96, int dpi)
{
    const long long scaled = static_cast<long long>(length96) * dpi;
    // Rounded half away from zero, the same on both sides of 0.
    return static_cast<int>(scaled >= 0 ? (scaled + kDesignDpi / 2) / kDesignDpi
                                        : -((-scaled + kDesignDpi / 2) / kDesignDpi));
}

LayoutRect ScaleRect(const LayoutRect& rect96, LayoutScale scale)
{
    const int left = ScaleLength(rect96.left, scale.x);
    const int top = ScaleLength(rect96.top, scale.y);
    return {left, top, ScaleLength(rect96.Right(), scale.x) - left, ScaleLength(rect96.Bottom(), scale.y) - top};
}

LayoutSize ScaleSize(LayoutSize size96, LayoutScale scale)
{
    return {ScaleLength(size96.width, scale.x), ScaleLength(size96.height, scale.y)};
}

std::vector<LayoutRect> LayOut(const LayoutTable& table, LayoutScale scale, LayoutSize client)
{
    std::vector<LayoutRect> places;
    places.reserve(table.rows.size());
    const LayoutSize design = ScaleSize(table.client96, scale);
    // Each row's design place, its edges rounded where they lie in the window:
    // a control that ends at its panel's edge at 96 DPI ends there at any scale.
    std::vector<LayoutRect> designs;
    std::vector<LayoutSize> origins96;
    designs.reserve(table.rows.size());
    origins96.reserve(table.rows.size());
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const LayoutRow& row = table.rows[i];
        const std::optional<std::size_t> holder = row.parent != 0 ? HolderIndex(table, row.parent, i) : std::nullopt;
        const LayoutSize origin = holder ? origins96[*holder] : LayoutSize{};
        LayoutRect inWindow = ScaleRect({origin.width + row.place96.left, origin.height + row.place96.top,
                                         row.place96.width, row.place96.height},
                                        scale);
        inWindow.left -= ScaleLength(origin.width, scale.x);
        inWindow.top -= ScaleLength(origin.height, scale.y);
        designs.push_back(inWindow);
        origins96.push_back({origin.width + row.place96.left, origin.height + row.place96.top});

        LayoutSize designed = design;
        LayoutSize actual = client;
        if (holder) {
            designed = {designs[*holder].width, designs[*holder].height};
            actual = {places[*holder].width, places[*holder].height};
        }
        const int dx = actual.width - designed.width;
        const int dy = actual.height - designed.height;
        LayoutRect place = inWindow;
        const unsigned a = row.anchors;
        place.left += (a & kMoveX) != 0 ? dx : (a & kMoveHalfX) != 0 ? dx / 2 : 0;
        place.top += (a & kMoveY) != 0 ? dy : 0;
        place.width = std::max(0, place.width + ((a & kGrowX) != 0 ? dx : 0));
        place.height = std::max(0, place.height + ((a & kGrowY) != 0 ? dy : 0));
        places.push_back(place);
    }
    return places;
}

std::vector<LayoutRect> LayOut(const LayoutTable& table, LayoutScale scale)
{
    return LayOut(table, scale, ScaleSize(table.client96, scale));
}

char MnemonicOf(const char* text)
{
    for (const char* at = text; at[0] != '\0' && at[1] != '\0'; ++at) {
        if (at[0] == '&') {
            if (at[1] != '&') {
                return static_cast<char>(std::tolower(static_cast<unsigned char>(at[1])));
            }
            ++at;
        }
    }
    return 0;
}

bool ReachedByName(const LayoutRow& row)
{
    switch (row.kind) {
    case ControlKind::Label:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: return true;
    case ControlKind::Button:
    case ControlKind::DefaultButton: return row.id != kOkId && row.id != kCancelId;
    default: return false;
    }
}

bool NeedsLabel(ControlKind kind)
{
    return kind == ControlKind::Edit || kind == ControlKind::ComboBox || kind == ControlKind::ListBox;
}

std::vector<std::string> ParentFaults(const LayoutTable& table)
{
    std::vector<std::string> faults;
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        if (table.rows[i].parent != 0 && !HolderIndex(table, table.rows[i].parent, i)) {
            faults.push_back(Describe(table, i) + ": its parent is no holder before it");
        }
    }
    return faults;
}

std::vector<std::string> ControlsOutsideParent(const LayoutTable& table, LayoutScale scale)
{
    std::vector<std::string> faults;
    const std::vector<LayoutRect> places = LayOut(table, scale);
    const LayoutSize window = ScaleSize(table.client96, scale);
    for (std::size_t i = 0; i < places.size(); ++i) {
        LayoutSize parent = window;
        if (const std::optional<std::size_t> holder = HolderIndex(table, table.rows[i].parent, i);
            table.rows[i].parent != 0 && holder) {
            parent = {places[*holder].width, places[*holder].height};
        }
        const LayoutRect& place = places[i];
        if (place.left < 0 || place.top < 0 || place.Right() > parent.width || place.Bottom() > parent.height) {
            faults.push_back(Describe(table, i) + ": outside its parent at " + Describe(scale));
        }
    }
    return faults;
}

std::vector<std::string> OverlappingControls(const LayoutTable& table, LayoutScale scale)
{
    std::vector<std::string> faults;
    const std::vector<LayoutRect> places = LayOut(table, scale);
    for (std::size_t i = 0; i < places.size(); ++i) {
        for (std::size_t j = i + 1; j < places.size(); ++j) {
            const LayoutRow& a = table.rows[i];
            const LayoutRow& b = table.rows[j];
            const bool pages = a.kind == ControlKind::Page && b.kind == ControlKind::Page;
            if (a.parent != b.parent || pages || !Intersect(places[i], places[j]) ||
                Surrounds(a, places[i], places[j]) || Surrounds(b, places[j], places[i])) {
                continue;
            }
            faults.push_back(Describe(table, i) + " overlaps " + Describe(table, j) + " at " + Describe(scale));
        }
    }
    return faults;
}

std::vector<std::string> LabelsOutOfPlace(const LayoutTable& table)
{
    std::vector<std::string> faults;
    const auto& rows = table.rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool nextIsItsControl =
            i + 1 < rows.size() && rows[i + 1].parent == rows[i].parent && NeedsLabel(rows[i + 1].kind);
        if (rows[i].kind == ControlKind::Label && !nextIsItsControl) {
            faults.push_back(Describe(table, i) + ": no control to name right after it");
        }
        const bool namedBefore = i > 0 && rows[i - 1].parent == rows[i].parent &&
                                 (rows[i - 1].kind == ControlKind::Label || rows[i - 1].kind == ControlKind::Text);
        if (NeedsLabel(rows[i].kind) && !namedBefore) {
            faults.push_back(Describe(table, i) + ": no label right before it");
        }
    }
    return faults;
}

std::vector<std::string> MnemonicFaults(const LayoutTable& table)
{
    std::vector<std::string> faults;
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        if (!ReachedByName(table.rows[i])) {
            continue;
        }
        const char mnemonic = MnemonicOf(table.rows[i].text);
        if (mnemonic == 0) {
            faults.push_back(Describe(table, i) + ": no mnemonic");
            continue;
        }
        for (std::size_t j = 0; j < i; ++j) {
            const int pageI = PageOf(table, i);
            const int pageJ = PageOf(table, j);
            const bool shownTogether = pageI == 0 || pageJ == 0 || pageI == pageJ;
            if (ReachedByName(table.rows[j]) && MnemonicOf(table.rows[j].text) == mnemonic && shownTogether) {
                faults.push_back(Describe(table, i) + ": mnemonic '" + std::string(1, mnemonic) + "' taken by " +
                                 Describe(table, j));
            }
        }
    }
    return faults;
}

std::vector<std::string> CheckLayoutTable(const LayoutTable& table, LayoutScale scale)
{
    std::vector<std::string> faults = ParentFaults(table);
    for (std::vector<std::string> found :
         {ControlsOutsideParent(table, scale), OverlappingControls(table, scale), LabelsOutOfPlace(table),
          MnemonicFaults(table)}) {
        faults.insert(faults.end(), found.begin(), found.end());
    }
    return faults;
}

}  // namespace velmora
