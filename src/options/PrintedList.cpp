#include "options/PrintedList.h"

#include "hotkeys/MacroTriggers.h"

namespace velmora {

namespace {

constexpr const char* kFace = "Arial";

}  // namespace

std::string MakerNoticeLine(std::string_view makerHomePageAddress)
{
    std::string_view address = makerHomePageAddress;
    for (const std::string_view scheme : {"https://", "http://"}) {
        if (address.starts_with(scheme)) {
            address.remove_prefix(scheme.size());
            break;
        }
    }
    while (address.ends_with('/')) {
        address.remove_suffix(1);
    }
    return "  " + std::string(kMakerName) + " - " + std::string(address);
}

int PrintPageHeading(IPrintCanvas& canvas, const std::string& notice)
{
    canvas.SelectFont(kFace, 10, true, false);
    canvas.WriteText(0, 0, std::string(kPrintedListTitle));
    const int t = canvas.TextHeight("M");

    canvas.SelectFont(kFace, 8, false, true);
    const int pageWidth = canvas.PageWidth();
    // Its bottom lines up with the bottom of the title.
    canvas.WriteText(pageWidth - canvas.TextWidth(notice), t - canvas.TextHeight("M"), notice);

    canvas.Line(0, t, pageWidth, t, 3);
    return 3 * t;
}

void PrintMacroList(IPrintCanvas& canvas, const TMacroList& entries, const std::string& notice)
{
    if (entries.empty()) {
        return;
    }
    canvas.BeginDoc();
    int y = PrintPageHeading(canvas, notice);
    int pitch = 0;
    bool pageFull = false;
    for (const TMacroEntry& entry : entries) {
        // A macro without a key has no hot key, whatever its modifier flags say.
        if (!HasTrigger(*entry.Macro)) {
            continue;
        }
        // The next page starts only when a line needs it, so a full last
        // page is not followed by an empty one.
        if (pageFull) {
            canvas.NewPage();
            y = PrintPageHeading(canvas, notice);
            pageFull = false;
        }
        canvas.SelectFont(kFace, 9, true, false);
        if (pitch == 0) {
            // One pitch for the whole job, from the list font.
            pitch = 2 * canvas.TextHeight("M");
        }
        const std::string keys = " " + TriggerDisplayText(*entry.Macro) + " ";
        const int w = canvas.TextWidth(keys);
        const int h = canvas.TextHeight(keys);
        canvas.FillRect({5, y + 5, w + 12, y + h + 5}, PrintColor::Black);
        canvas.FramedRect({1, y, w + 7, y + h}, PrintColor::White, 2);
        canvas.WriteText(4, y, keys + "  " + entry.Macro->Name);
        y += pitch;
        pageFull = canvas.PageHeight() < y + pitch;
    }
    canvas.EndDoc();
}

}  // namespace velmora
