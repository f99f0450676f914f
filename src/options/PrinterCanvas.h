#pragma once

// The printed list's canvas on a real printer: the system print dialog, then
// a document on the printer's device context. Every failure of the printing
// system is thrown as a VelmoraError with a text for the user; a job that is
// not ended cleanly is aborted when the canvas goes.

#include <memory>
#include <string>

#include "options/PrintedList.h"
#include "platform/CodePage.h"
#include "platform/win32/Handles.h"

namespace velmora {

using win32::UniqueDeviceContext;

class PrinterCanvas : public IPrintCanvas {
public:
    // Shows the print dialog with its default options; null when the user
    // cancels it.
    static std::unique_ptr<PrinterCanvas> FromPrintDialog(HWND owner, const std::string& documentName,
                                                          ICodePage& codePage);

    PrinterCanvas(UniqueDeviceContext printer, std::string documentName, ICodePage& codePage);
    PrinterCanvas(const PrinterCanvas&) = delete;
    PrinterCanvas& operator=(const PrinterCanvas&) = delete;
    ~PrinterCanvas() override;

    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    int PageWidth() override;
    int PageHeight() override;
    void SelectFont(const std::string& face, int points, bool bold, bool italic) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void WriteText(int x, int y, const std::string& text) override;
    void FillRect(const PrintRect& rect, PrintColor color) override;
    void FramedRect(const PrintRect& rect, PrintColor fill, int penWidth) override;
    void Line(int x1, int y1, int x2, int y2, int penWidth) override;

private:
    SIZE Extent(const std::string& text);
    void StartPage();
    // Selects a new pen into the DC for as long as the returned object lives.
    win32::UniqueGdiObject BlackPen(int width);

    UniqueDeviceContext m_dc;
    ICodePage& m_codePage;
    std::string m_documentName;
    HGDIOBJ m_originalFont = nullptr;
    win32::UniqueGdiObject m_font;
    bool m_inDocument = false;
};

}  // namespace velmora
