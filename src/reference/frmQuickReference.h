#pragma once

// The quick reference card: the macros that have a hot key, one row each
// with its key combination and name, page by page. Modeless, at most one;
// it keeps its own references to the records, so a record the options window
// deletes meanwhile lives on until the card closes.

#include <functional>
#include <memory>
#include <optional>

#include "settings/Settings.h"
#include "macros/Macro.h"
#include "platform/CodePage.h"
#include "platform/win32/Window.h"
#include "reference/CardLayout.h"

namespace velmora {

struct QuickReferenceHost {
    // Its ReferencePage is read at opening and written at closing.
    SettingsRecord& settings;
    // The code page the names are stored in.
    ICodePage& codePage;
    // The card has closed; the owner frees it later, outside its messages.
    std::function<void()> closed;
};

class TQuickReference : public win32::Window<TQuickReference> {
public:
    static constexpr const char* kClassName = "TQuickReference";
    static constexpr const char* kCaption = "Velmora Quick Reference Card";

    TQuickReference(QuickReferenceHost host, TMacroList macros);

    // Creates the window, lays the card out and shows it.
    bool FormCreate();
    // Brings the open card to the front once, as it is.
    void BringToFront();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void LayoutCard();
    void ShowPage(int n);
    void FormResize();
    void FormClose();
    void PaintBox1Paint(HDC dc);
    void DrawCardRow(HDC dc, const CardRow& row, int x, int y, int width, int height);
    void DrawButton(const DRAWITEMSTRUCT& item);
    void UpdateControls();

    QuickReferenceHost m_host;
    // The copy of the macro list taken at opening; CardLayout cuts it down.
    TMacroList m_macros;
    std::optional<CardLayout> m_card;
    win32::UniqueGdiObject m_cardFont;
    win32::UniqueGdiObject m_labelFont;
    win32::UniqueGdiObject m_buttonFont;
    HWND m_label1 = nullptr;
    HWND m_paintBox = nullptr;
    HWND m_btnPrevious = nullptr;
    HWND m_btnClose = nullptr;
    HWND m_btnNext = nullptr;
};

}  // namespace velmora
