#include "options/PrinterCanvas.h"

#include <cderr.h>
#include <commdlg.h>

#include <cstdio>

#include "macros/Error.h"
#include "macros/UnicodeTags.h"

namespace velmora {

namespace {

[[noreturn]] void ThrowSystemError(const char* fallback)
{
    const DWORD code = ::GetLastError();
    std::string text;
    if (code != ERROR_SUCCESS) {
        char buffer[512] = {};
        const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                              code, 0, buffer, sizeof buffer, nullptr);
        text.assign(buffer, length);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
            text.pop_back();
        }
    }
    throw VelmoraError(text.empty() ? fallback : text);
}

std::string PrintDialogErrorText(DWORD code)
{
    switch (code) {
    case PDERR_NODEFAULTPRN: return "There is no default printer currently selected.";
    case PDERR_PRINTERNOTFOUND:
    case PDERR_CREATEICFAILURE:
    case PDERR_RETDEFFAILURE:
    case PDERR_LOADDRVFAILURE:
    case PDERR_GETDEVMODEFAIL:
    case PDERR_INITFAILURE: return "Printer selected is not valid.";
    default: {
        char text[64] = {};
        std::snprintf(text, sizeof text, "The print dialog failed (error %lu).", static_cast<unsigned long>(code));
        return text;
    }
    }
}

// Stock brushes, which are never deleted.
HBRUSH Brush(PrintColor color)
{
    return static_cast<HBRUSH>(::GetStockObject(color == PrintColor::Black ? BLACK_BRUSH : WHITE_BRUSH));
}

}  // namespace

std::unique_ptr<PrinterCanvas> PrinterCanvas::FromPrintDialog(HWND owner, const std::string& documentName,
                                                              ICodePage& codePage)
{
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.Flags = PD_RETURNDC;
    const BOOL chosen = ::PrintDlgA(&dialog);
    // The dialog hands these over whether or not the user printed.
    const win32::UniqueGlobal devMode(dialog.hDevMode);
    const win32::UniqueGlobal devNames(dialog.hDevNames);
    UniqueDeviceContext printer(dialog.hDC);
    if (!chosen) {
        const DWORD code = ::CommDlgExtendedError();
        if (code != 0) {
            throw VelmoraError(PrintDialogErrorText(code));
        }
        return nullptr;
    }
    if (!printer) {
        throw VelmoraError("Printer selected is not valid.");
    }
    return std::make_unique<PrinterCanvas>(std::move(printer), documentName, codePage);
}

PrinterCanvas::PrinterCanvas(UniqueDeviceContext printer, std::string documentName, ICodePage& codePage)
    : m_dc(std::move(printer)), m_codePage(codePage), m_documentName(std::move(documentName))
{
    m_originalFont = ::GetCurrentObject(m_dc.Get(), OBJ_FONT);
}

PrinterCanvas::~PrinterCanvas()
{
    ::SelectObject(m_dc.Get(), m_originalFont);
    if (m_inDocument) {
        ::AbortDoc(m_dc.Get());
    }
}

void PrinterCanvas::BeginDoc()
{
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = m_documentName.c_str();
    if (::StartDocA(m_dc.Get(), &info) <= 0) {
        ThrowSystemError("The printer could not start the document.");
    }
    m_inDocument = true;
    StartPage();
}

void PrinterCanvas::StartPage()
{
    if (::StartPage(m_dc.Get()) <= 0) {
        ThrowSystemError("The printer could not start a page.");
    }
    // Some drivers reset the DC with every page.
    if (m_font) {
        ::SelectObject(m_dc.Get(), m_font.Get());
    }
    ::SetBkMode(m_dc.Get(), TRANSPARENT);
    ::SetTextColor(m_dc.Get(), RGB(0, 0, 0));
}

void PrinterCanvas::NewPage()
{
    if (::EndPage(m_dc.Get()) <= 0) {
        ThrowSystemError("The printer could not end a page.");
    }
    StartPage();
}

void PrinterCanvas::EndDoc()
{
    if (::EndPage(m_dc.Get()) <= 0) {
        ThrowSystemError("The printer could not end a page.");
    }
    m_inDocument = false;
    if (::EndDoc(m_dc.Get()) <= 0) {
        ThrowSystemError("The printer could not end the document.");
    }
}

int PrinterCanvas::PageWidth()
{
    return ::GetDeviceCaps(m_dc.Get(), HORZRES);
}

int PrinterCanvas::PageHeight()
{
    return ::GetDeviceCaps(m_dc.Get(), VERTRES);
}

void PrinterCanvas::SelectFont(const std::string& face, int points, bool bold, bool italic)
{
    const int height = -::MulDiv(points, ::GetDeviceCaps(m_dc.Get(), LOGPIXELSY), 72);
    win32::UniqueGdiObject font(::CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic ? TRUE : FALSE,
                                              FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                              DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    if (!font) {
        ThrowSystemError("The printer font could not be created.");
    }
    ::SelectObject(m_dc.Get(), font.Get());
    // The previous font is no longer selected, so it can go.
    m_font = std::move(font);
}

SIZE PrinterCanvas::Extent(const std::string& text)
{
    const std::u16string shown = ShowUnicodeTags(text, m_codePage);
    SIZE size{};
    ::GetTextExtentPoint32W(m_dc.Get(), reinterpret_cast<LPCWSTR>(shown.c_str()), static_cast<int>(shown.size()),
                            &size);
    return size;
}

int PrinterCanvas::TextWidth(const std::string& text)
{
    return Extent(text).cx;
}

int PrinterCanvas::TextHeight(const std::string& text)
{
    return Extent(text).cy;
}

void PrinterCanvas::WriteText(int x, int y, const std::string& text)
{
    const std::u16string shown = ShowUnicodeTags(text, m_codePage);
    ::TextOutW(m_dc.Get(), x, y, reinterpret_cast<LPCWSTR>(shown.c_str()), static_cast<int>(shown.size()));
}

void PrinterCanvas::FillRect(const PrintRect& rect, PrintColor color)
{
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    ::FillRect(m_dc.Get(), &area, Brush(color));
}

win32::UniqueGdiObject PrinterCanvas::BlackPen(int width)
{
    win32::UniqueGdiObject pen(::CreatePen(PS_SOLID, width, RGB(0, 0, 0)));
    if (!pen) {
        ThrowSystemError("The printer pen could not be created.");
    }
    return pen;
}

void PrinterCanvas::FramedRect(const PrintRect& rect, PrintColor fill, int penWidth)
{
    const win32::UniqueGdiObject pen = BlackPen(penWidth);
    const win32::SelectedObject penSelected(m_dc.Get(), pen.Get());
    const win32::SelectedObject brushSelected(m_dc.Get(), Brush(fill));
    ::Rectangle(m_dc.Get(), rect.left, rect.top, rect.right, rect.bottom);
}

void PrinterCanvas::Line(int x1, int y1, int x2, int y2, int penWidth)
{
    const win32::UniqueGdiObject pen = BlackPen(penWidth);
    const win32::SelectedObject penSelected(m_dc.Get(), pen.Get());
    ::MoveToEx(m_dc.Get(), x1, y1, nullptr);
    ::LineTo(m_dc.Get(), x2, y2);
}

}  // namespace velmora
