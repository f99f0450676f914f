#include "options/OptionsLayout.h"

#include <algorithm>

namespace velmora {

OptionsLayout LayOutOptions(const OptionsLayoutInput& in)
{
    const int m = in.margin;
    OptionsLayout out;
    out.pageControl = {m, m, in.clientWidth - 2 * m, in.clientHeight - 3 * m - in.okButton.height};
    out.page = {out.pageControl.left + in.pageInsetLeft, out.pageControl.top + in.pageInsetTop,
                std::max(0, out.pageControl.width - in.pageInsetLeft - in.pageInsetRight),
                std::max(0, out.pageControl.height - in.pageInsetTop - in.pageInsetBottom)};
    const int pageWidth = out.page.width;
    const int pageHeight = out.page.height;

    out.macroListLabel = {m, m, in.editPanelWidth, in.macroListLabelHeight};
    const int top = out.macroListLabel.Bottom() + m / 2;
    const int w = in.editPanelWidth;
    out.editPanel = {pageWidth - w - m, top, w, pageHeight - m - top};
    out.macroList = {m, top, pageWidth - w - 3 * m, pageHeight - in.addButton.height - 2 * m - top};
    out.macroListLabel.width = std::max(0, out.macroList.width);

    out.addMacro = {m, pageHeight - m - in.addButton.height, in.addButton.width, in.addButton.height};
    out.deleteMacro = {out.addMacro.Right() + m, out.addMacro.top, in.deleteButton.width, in.deleteButton.height};

    out.help = {m, in.clientHeight - in.helpButton.height - m, in.helpButton.width, in.helpButton.height};
    out.print = {out.help.Right() + m, out.help.top, in.printButton.width, in.printButton.height};
    out.ok = {in.clientWidth - m - in.okButton.width, out.help.top, in.okButton.width, in.okButton.height};

    out.widthShortfall = std::max(0, in.addButton.width + in.deleteButton.width + m - out.macroList.width);
    return out;
}

LayoutRect CentreOnWorkArea(int width, int height, const LayoutRect& workArea)
{
    const int fittedWidth = std::clamp(width, 0, std::max(workArea.width, 0));
    const int fittedHeight = std::clamp(height, 0, std::max(workArea.height, 0));
    return {
        .left = workArea.left + (workArea.width - fittedWidth) / 2,
        .top = workArea.top + (workArea.height - fittedHeight) / 2,
        .width = fittedWidth,
        .height = fittedHeight,
    };
}

}  // namespace velmora
