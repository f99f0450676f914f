#pragma once

// The controls of a layout table in a real window: created in table order
// (which is the z-order and the tab order), in the message font, and placed
// again for the window's size and DPI. They are laid out at the scale of the
// fonts, so a larger message font grows them as it grows a dialog.

#include <vector>

#include "platform/win32/Window.h"
#include "ui/Layout.h"

namespace velmora {

class TableControls final : public win32::ControlLayer {
public:
    explicit TableControls(const LayoutTable& table) : m_table(table) {}
    TableControls(const TableControls&) = delete;
    TableControls& operator=(const TableControls&) = delete;
    ~TableControls() = default;

    void Create(HWND window, UINT dpi, const win32::MessageFonts& fonts) override;
    void Place(HWND window, UINT dpi) override;
    void SetFonts(const win32::MessageFonts& fonts) override;
    SIZE DesignClient() const override { return {m_table.client96.width, m_table.client96.height}; }

    // The control of the row with that id, nullptr before Create.
    HWND operator[](int id) const;

private:
    const LayoutTable& m_table;
    std::vector<HWND> m_controls;
    // The fonts' scale, which the DPI alone does not give.
    LayoutScale m_scale;
};

}  // namespace velmora
