// How long a paste takes to keep aside and give back a large clipboard: a
// 3840x2160 32-bit DIB (33 MB, plus the DIBV5 the system makes of it) put
// there by another thread, as a screenshot tool would. Not a test: run it
// through the harness,
//
//   scripts/wine-harness -- build/windows/bench/velmora_clipboard_benchmark.exe [--rounds N]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "engine/KeyPlayback.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Platform.h"

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr LONG kWidth = 3840;
constexpr LONG kHeight = 2160;

bool PutScreenshotElsewhere()
{
    bool put = false;
    std::thread([&] {
        const std::size_t pixels = static_cast<std::size_t>(kWidth) * kHeight * 4;
        win32::UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + pixels));
        {
            win32::LockedGlobal<unsigned char> data(memory.Get());
            if (!data) {
                return;
            }
            const BITMAPINFOHEADER header{.biSize = sizeof(BITMAPINFOHEADER), .biWidth = kWidth,
                                          .biHeight = kHeight, .biPlanes = 1, .biBitCount = 32,
                                          .biCompression = BI_RGB, .biSizeImage = static_cast<DWORD>(pixels)};
            std::copy_n(reinterpret_cast<const unsigned char*>(&header), sizeof header, data.Get());
            for (std::size_t i = 0; i < pixels; ++i) {
                data.Get()[sizeof header + i] = static_cast<unsigned char>(i * 31 / 7);
            }
        }
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            put = ::SetClipboardData(CF_DIB, memory.Get()) != nullptr;
            if (put) {
                memory.Release();
            }
            ::CloseClipboard();
        }
    }).join();
    return put;
}

template <typename Step>
double Time(Step step)
{
    const auto start = Clock::now();
    step();
    return Milliseconds(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Run(int rounds)
{
    if (!PutScreenshotElsewhere()) {
        std::fprintf(stderr, "could not put the picture on the clipboard\n");
        return 1;
    }
    win32::Win32Platform system;
    Platform platform = system.Get();
    std::vector<double> saves, restores, loans;
    std::size_t bytes = 0;
    for (int round = 0; round < rounds; ++round) {
        std::optional<ClipboardSnapshot> saved;
        saves.push_back(Time([&] { saved = platform.clipboard.Save(kLargestKeptClipboard); }));
        if (!saved || saved->tooLarge) {
            std::fprintf(stderr, "the clipboard could not be saved\n");
            return 1;
        }
        bytes = 0;
        for (const ClipboardFormat& format : saved->formats) {
            bytes += format.bytes.size();
        }
        restores.push_back(Time([&] { platform.clipboard.Replace(saved->formats); }));
        // A whole loan as a pasted character has it, with no program to paste.
        loans.push_back(Time([&] {
            HeldClipboard held(platform.clipboard, platform.thread);
            BorrowedClipboard borrowed(platform.clipboard, platform.thread, held, {AnsiText("x")});
            borrowed.GiveBack(std::chrono::milliseconds(0));
        }));
    }
    std::printf("clipboard of %.1f MB (%d rounds, median): save %.1f ms, put back %.1f ms, "
                "whole loan %.1f ms; limit %.0f MB\n",
                static_cast<double>(bytes) / 1e6, rounds, Median(saves), Median(restores), Median(loans),
                static_cast<double>(kLargestKeptClipboard) / 1e6);
    return 0;
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv)
{
    int rounds = 5;
    if (argc == 3 && std::string(argv[1]) == "--rounds") {
        rounds = std::max(1, std::atoi(argv[2]));
    }
    return velmora::Run(rounds);
}
