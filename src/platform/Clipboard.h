#pragma once

// The clipboard, every format of it. Another program may hold the clipboard
// open for a moment, so every operation can fail "for now"; callers retry.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Format ids with the Windows values; registered formats come from
// RegisterFormat and keep their id for the whole session.
inline constexpr std::uint32_t kClipboardText = 1;
inline constexpr std::uint32_t kClipboardOemText = 7;
inline constexpr std::uint32_t kClipboardDib = 8;
inline constexpr std::uint32_t kClipboardUnicodeText = 13;
inline constexpr std::uint32_t kClipboardFileList = 15;
inline constexpr std::uint32_t kClipboardLocale = 16;
inline constexpr std::uint32_t kClipboardDibV5 = 17;

// A copy of a format whose data is a system object rather than memory (a
// bitmap, a palette, a metafile picture), owned by the platform that made it
// and freed with the last reference.
class ClipboardObject {
public:
    virtual ~ClipboardObject() = default;
    // About how many bytes it holds, for the limit of Save.
    virtual std::size_t Size() const = 0;
};

// One format: its id and either its bytes exactly as a program reading it
// sees them (a text with the 0 that ends it; an enhanced metafile as its
// bits) or, for a system object, the platform's copy of it.
struct ClipboardFormat {
    std::uint32_t id = 0;
    std::string bytes;
    std::shared_ptr<const ClipboardObject> object;
    bool operator==(const ClipboardFormat&) const = default;
};

// Formats in the order they are put on the clipboard.
using ClipboardContent = std::vector<ClipboardFormat>;

struct ClipboardSnapshot {
    ClipboardContent formats;
    // The formats came to more bytes than the limit: nothing was kept.
    bool tooLarge = false;
};

// A CF_TEXT format of the text up to its first 0 byte.
inline ClipboardFormat AnsiText(std::string_view text)
{
    return {kClipboardText, std::string(text.substr(0, text.find('\0'))) + '\0'};
}

// A CF_UNICODETEXT format of the UTF-16 text, little-endian as Windows keeps it.
inline ClipboardFormat UnicodeText(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(2 * text.size() + 2);
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    bytes.append(2, '\0');
    return {kClipboardUnicodeText, std::move(bytes)};
}

class IClipboard {
public:
    virtual ~IClipboard() = default;

    // Every format the clipboard holds, synthesised ones included, in the
    // clipboard's order: memory as bytes, and bitmaps, palettes and metafile
    // pictures as copies (ClipboardObject). Formats that only their owner can
    // draw, or whose handles nobody frees, are left out. Stops copying, and
    // says tooLarge, once the bytes pass limit. Nothing when the clipboard
    // cannot be opened now.
    virtual std::optional<ClipboardSnapshot> Save(std::size_t limit) = 0;

    // Empties the clipboard and puts every format on it, in order, byte for
    // byte (objects as fresh copies); false when the clipboard cannot be
    // opened now or a format could not be put (the clipboard may then be
    // empty).
    virtual bool Replace(const ClipboardContent& content) = 0;

    // As Replace, with atOnce first, but the late formats are handed over
    // only when a program asks for one of them, so WaitUntilTaken can tell
    // when a paste has really happened. An offer ends when anything replaces
    // it; an offer still open when this object goes away is left on the
    // clipboard in full.
    virtual bool Offer(const ClipboardContent& late, const ClipboardContent& atOnce) = 0;

    // Handles the messages sent to the thread (posted ones stay queued) until
    // the program of the foreground window has asked for a late format of
    // the current offer, or the time is up; true when it did. Another
    // program reading it (a clipboard-sync tool) gets it but does not count.
    virtual bool WaitUntilTaken(std::chrono::milliseconds timeout) = 0;

    enum class RestoreResult {
        Restored,
        // Cannot be opened now, or a format could not be put: try again.
        Busy,
        // Another program has put something there since: nothing was done.
        Changed,
    };
    // As Replace, but only while what this object last put there (an offer,
    // rendered or not, or a replacement) is still all the clipboard holds:
    // this object still owns it and nothing else has changed it since.
    virtual RestoreResult Restore(const ClipboardContent& content) = 0;

    // The id of the named format, the same for every program of the session;
    // 0 when the system refuses the name.
    virtual std::uint32_t RegisterFormat(std::string_view name) = 0;
};

}  // namespace velmora
