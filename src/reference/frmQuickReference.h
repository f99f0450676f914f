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
#include "ui/TableControls.h"

namespace velmora {

struct QuickReferenceHost {
    // Its ReferencePage is read at opening and written at closing.
    SettingsRecord& settings;
    // The code page the names are stored in.
    ICodePage& codePage;
    // The card has closed; the owner frees it later, outside its messages.
    std::function<void()> closed;
};

class TQuickReference final : public win32::Window<TQuickReference> {
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
    // Lays the card out for the entries in the card's font at the window's DPI.
    void MeasureCard(TMacroList entries, std::string_view page);
    void ShowPage(int n);
    void FormClose();
    void OnOk() override;
    void OnCancel() override;
    void OnHelp() override;
    void OnDpiChanged() override;
    void DrawPage(HDC dc, const RECT& place);
    void DrawCardRow(HDC dc, const CardRow& row, int x, int y, int width, int height);
    void DrawButton(const DRAWITEMSTRUCT& item);
    void UpdateControls();

    QuickReferenceHost m_host;
    // The copy of the macro list taken at opening; CardLayout cuts it down.
    TMacroList m_macros;
    std::optional<CardLayout> m_card;
    TableControls m_controls{kCardTable};
    win32::UniqueGdiObject m_cardFont;
};

}  // namespace velmora
