#include "e2e/support/Screenshot.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "platform/win32/Handles.h"
#include "support/TestVectors.h"

namespace velmora::tests {

namespace {

using win32::UniqueDeviceContext;

void AppendLittleEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

}  // namespace

Picture CaptureClientArea(HWND window)
{
    RECT frame{};
    ::GetClientRect(window, &frame);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&frame), 2);
    Picture picture{.width = frame.right - frame.left, .height = frame.bottom - frame.top};
    if (picture.width <= 0 || picture.height <= 0) {
        throw std::runtime_error("the window has no client area to capture");
    }
    const win32::WindowDC screen(nullptr);
    const UniqueDeviceContext memory(::CreateCompatibleDC(screen.Get()));
    BITMAPINFO info{};
    info.bmiHeader = {.biSize = sizeof(BITMAPINFOHEADER), .biWidth = picture.width, .biHeight = -picture.height,
                      .biPlanes = 1, .biBitCount = 24, .biCompression = BI_RGB};
    void* bits = nullptr;
    const win32::UniqueGdiObject bitmap(::CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) {
        throw std::runtime_error("cannot make a bitmap for the screenshot");
    }
    const HGDIOBJ old = ::SelectObject(memory.Get(), bitmap.Get());
    ::BitBlt(memory.Get(), 0, 0, picture.width, picture.height, screen.Get(), frame.left, frame.top, SRCCOPY);
    ::GdiFlush();
    ::SelectObject(memory.Get(), old);
    const auto* first = static_cast<const std::uint8_t*>(bits);
    picture.bgr.assign(first, first + static_cast<std::size_t>(picture.Stride() * picture.height));
    return picture;
}

bool SaveBmp(const Picture& picture, const std::filesystem::path& path)
{
    const auto imageSize = static_cast<std::uint32_t>(picture.Stride() * picture.height);
    std::string file = "BM";
    AppendLittleEndian(file, 14 + 40 + imageSize, 4);
    AppendLittleEndian(file, 0, 4);
    AppendLittleEndian(file, 14 + 40, 4);
    AppendLittleEndian(file, 40, 4);
    AppendLittleEndian(file, static_cast<std::uint32_t>(picture.width), 4);
    AppendLittleEndian(file, static_cast<std::uint32_t>(picture.height), 4);
    AppendLittleEndian(file, 1, 2);
    AppendLittleEndian(file, 24, 2);
    AppendLittleEndian(file, BI_RGB, 4);
    AppendLittleEndian(file, imageSize, 4);
    AppendLittleEndian(file, 3780, 4);  // 96 DPI in pixels per metre
    AppendLittleEndian(file, 3780, 4);
    AppendLittleEndian(file, 0, 4);
    AppendLittleEndian(file, 0, 4);
    for (int y = picture.height - 1; y >= 0; --y) {
        const auto row = picture.bgr.begin() + y * picture.Stride();
        file.append(row, row + picture.Stride());
    }
    std::ofstream out(path, std::ios::binary);
    out << file;
    return static_cast<bool>(out.flush());
}

std::filesystem::path ScreenshotFolder()
{
    const char* chosen = std::getenv("VELMORA_SCREENSHOT_DIR");
    std::filesystem::path folder = chosen != nullptr && *chosen != '\0' ? std::filesystem::path(HostPath(chosen))
                                                                         : std::filesystem::current_path() / "screenshots";
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace velmora::tests
