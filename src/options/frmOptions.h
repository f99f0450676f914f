#pragma once

// The options window: the macro list with its edit panel, and the program's
// settings. Modeless, at most one; every way of closing it validates, applies
// and saves (there is no Cancel). The editing itself is OptionsEditor's.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "options/OptionsEditor.h"
#include "options/OptionsLayout.h"
#include "macros/UnicodeTags.h"
#include "platform/win32/Win32HotKeys.h"
#include "platform/win32/Win32Keyboard.h"
#include "platform/win32/Window.h"

#include <commctrl.h>
#include <shellapi.h>

namespace velmora {

struct OptionsWindowHost {
    MacroStore& store;
    SettingsRecord& settings;
    AutoStart& autoStart;
    std::string exePath;
    std::function<void(bool)> showTrayIcon;
    // The window has closed for good, its edits saved.
    std::function<void()> closed;
    // The help menu's About command.
    std::function<void()> showAbout;
};

class TOptions : public win32::Window<TOptions>, private IOptionsView {
public:
    static constexpr const char* kClassName = "TOptions";
    static constexpr const char* kCaption = "Velmora Options";

    explicit TOptions(OptionsWindowHost host);
    ~TOptions() override;

    // Creates the window with the macro list's entries, hidden.
    bool FormCreate();
    // Shows it above every other window, once.
    void ShowOnTop();
    // Brings an open window to the front.
    void BringToFront();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    OptionsEditor& Editor() { return *m_editor; }

private:
    // The fields the rows of kOptionsControls name.
    template <typename Fields>
    Fields& FieldsOf();
    void ShowField(std::size_t row);
    // False when the notification is not the control's change.
    bool ReadField(std::size_t row, int code);
    // The controls shown only with a box checked.
    void ShowDependents();
    // The committed name of the macro being edited, which the name field
    // keeps byte for byte while it shows it.
    std::string_view EditedName() const;

    // IOptionsView
    void EntriesReset() override;
    void EntryInserted(int index) override;
    void EntryRemoved(int index) override;
    void EntryMoved(int from, int to) override;
    void EntriesRedraw() override;
    void SelectionChanged(int index) override;
    void PanelChanged() override;
    void StatusChanged(const std::string& text) override;

    // The rows shown from the start. Pages, panels and the controls shown
    // only with a box checked are made when they are first shown: most
    // openings never show most of them.
    void CreateControls();
    // Makes the row hidden, with the rows it holds, in its place in the
    // table's z-order (which is the tab order); nothing when its parent is
    // not made yet.
    void MakeRow(std::size_t row);
    // What a control needs beyond its row once it is made: its items, its
    // field's value.
    void RowMade(std::size_t row);
    // Makes the row when it is to show and is not made yet.
    void ShowRow(int id, bool visible);
    void FitListColumn();
    // The next macro's drop-down holds the editor's choices, when it is made.
    void FillNextChoices(bool always);
    HWND ControlById(int id) const;
    // A 96-DPI length at the window's DPI.
    int Scale(int pixels96) const;
    // The message font and the key cap at the window's DPI, into every control.
    void MakeFontsAndImages();
    // The outer size of the window at its design size.
    LayoutSize MinimumSize() const;
    void FormResize();
    // Where the row's control goes for that place of the table's.
    LayoutRect PlaceOf(std::size_t row, LayoutRect place) const;
    // The window layer took the new frame; the fonts and places follow its DPI.
    void OnDpiChanged() override;
    static LRESULT CALLBACK PageKeysProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self);
    // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp switch the pages; F1 opens the help.
    void PageKey(WPARAM key);
    void OpenHelpTopic();
    void ShowPage(int page);
    void ShowOptionsPage();
    // The file could not be read: the macro controls are switched off and
    // the reason shows in their place.
    void ShowMacrosNotLoaded();

    void CommandClick(int id, int code, HWND control);
    void BoundControlChanged(int id, int code);
    // The virtual list asks for its rows' texts, finds typed names, and
    // reports the user's selection.
    LRESULT MacroListNotify(const NMHDR& header);
    void MeasureMacroRow(MEASUREITEMSTRUCT& item) const;
    void lbxMacrosDrawItem(const DRAWITEMSTRUCT& item);
    void btnHelpClick();
    void btnPrintClick();
    void btnInsertVariableClick();
    // Puts {"word"} in place of the keystroke text's selection, or at its caret.
    void InsertTag(const std::string& word);
    // The ticked running programs join the program list.
    void btnPickProgramsClick();
    void BrowseForFile();
    void WMDropFiles(HDROP drop);
    // A file picked or dropped for the launch panel goes into its path field.
    void SetLaunchPath(const std::wstring& path);
    void MinMaxInfo(MINMAXINFO& info) const;

    // The three ways of closing all come here.
    void FormCloseQueryAndClose();

    OptionsWindowHost m_host;
    // Bound to this window once it exists; the editor probes combinations with it.
    win32::Win32HotKeys m_hotKeyProbe;
    win32::Win32Keyboard m_keyboard;
    std::unique_ptr<OptionsEditor> m_editor;
    StoredTextAsShown m_sendText;
    win32::UniqueGdiObject m_font;
    win32::UniqueGdiObject m_boldFont;
    win32::UniqueMenu m_helpMenu;
    struct ImageListDeleter {
        void operator()(HIMAGELIST images) const { ::ImageList_Destroy(images); }
    };
    std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter> m_images;
    HWND m_pageControl = nullptr;
    HWND m_lbxMacros = nullptr;
    HWND m_btnHelp = nullptr;
    HWND m_btnOK = nullptr;
    HWND m_statusBar = nullptr;
    unsigned m_nextChoicesShown = 0;
    // Each row's control, in the table's order; nullptr until it is made.
    std::vector<HWND> m_controls;
    // Where FormResize last put them.
    std::vector<LayoutRect> m_places;
    int m_dpi = 96;
    // Set while the program fills controls itself, so their change
    // notifications are not taken for the user's.
    bool m_updating = false;
    bool m_closing = false;
};

}  // namespace velmora
