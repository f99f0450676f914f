#pragma once

// Screenshots of another process's window, as the screen shows it, saved as
// 24-bit BMP files for a person to look at.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/win32/Win32.h"

namespace velmora::tests {

// 24-bit pixels, rows from the top, each padded to four bytes as in a BMP.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgr;

    int Stride() const { return (width * 3 + 3) & ~3; }
    COLORREF Pixel(int x, int y) const
    {
        const auto at = static_cast<std::size_t>(y * Stride() + x * 3);
        return RGB(bgr[at + 2], bgr[at + 1], bgr[at]);
    }
};

// What the screen shows of the window's client area. (Without a window
// manager nobody draws the frame.)
Picture CaptureClientArea(HWND window);

// A plain 24-bit BMP, rows from the bottom as every viewer expects.
bool SaveBmp(const Picture& picture, const std::filesystem::path& path);

// $VELMORA_SCREENSHOT_DIR, or "screenshots" in the working folder (the
// build folder under ctest); made when missing.
std::filesystem::path ScreenshotFolder();

}  // namespace velmora::tests
