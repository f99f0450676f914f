#pragma once

// The printed macro list: one line per macro with a hot key or an
// abbreviation, what sets it off (TriggerDisplayText) drawn as a key cap
// with a shadow, then the macro's name, under
// a heading on every page. Drawn on an abstract canvas so the layout can be
// tested without a printer.

#include <string>
#include <string_view>

#include "macros/Macro.h"

namespace velmora {

// In the canvas's device units, corners as Win32 takes them.
struct PrintRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PrintRect&) const = default;
};

enum class PrintColor { Black, White };

// A printer page. Positions are device units from the top-left corner of the
// printable area; font sizes are points. Text is black on a transparent
// background, and stored as macro names are (the code page, U+ tags for the
// rest); it is printed as shown. Any operation may throw the printing
// system's error.
class IPrintCanvas {
public:
    virtual ~IPrintCanvas() = default;
    virtual void BeginDoc() = 0;
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;
    virtual int PageWidth() = 0;
    virtual int PageHeight() = 0;
    virtual void SelectFont(const std::string& face, int points, bool bold, bool italic) = 0;
    virtual int TextWidth(const std::string& text) = 0;
    virtual int TextHeight(const std::string& text) = 0;
    virtual void WriteText(int x, int y, const std::string& text) = 0;
    virtual void FillRect(const PrintRect& rect, PrintColor color) = 0;
    // Filled with `fill`, outlined by a black pen `penWidth` units wide.
    virtual void FramedRect(const PrintRect& rect, PrintColor fill, int penWidth) = 0;
    virtual void Line(int x1, int y1, int x2, int y2, int penWidth) = 0;
};

inline constexpr std::string_view kPrintedListTitle = "Velmora - Macro List";
inline constexpr std::string_view kMakerName = "Brackwell, Inc.";

// "  Brackwell, Inc. - www.brackwell.example": the maker's name and the home
// page address without its scheme and closing slash.
std::string MakerNoticeLine(std::string_view makerHomePageAddress);

// Draws the heading of the current page; returns the y of the first line.
int PrintPageHeading(IPrintCanvas& canvas, const std::string& notice);

// Prints the entries in their order as one document; nothing at all for an
// empty list. The canvas's errors propagate and end the print.
void PrintMacroList(IPrintCanvas& canvas, const TMacroList& entries, const std::string& notice);

}  // namespace velmora
