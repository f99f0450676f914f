#pragma once

// Pictures kept as JPEG bytes (in RCDATA resources), decoded with libjpeg.

#include <cstddef>
#include <span>

#include "platform/win32/Handles.h"

namespace velmora::win32 {

// A decoded picture: a top-down 32-bit DIB section and its size in pixels.
struct DecodedPicture {
    UniqueGdiObject bitmap;
    int width = 0;
    int height = 0;

    explicit operator bool() const { return static_cast<bool>(bitmap); }
};

// Decodes JPEG bytes held in memory. Damaged or unreadable bytes give an empty
// picture; libjpeg's errors and warnings never leave this function.
DecodedPicture DecodeJpeg(std::span<const std::byte> bytes);

// The bytes of an RCDATA resource of the running exe; empty when it is missing.
// They stay valid for the life of the process.
std::span<const std::byte> ResourceBytes(int id);

// Decodes the JPEG held in an RCDATA resource of the running exe.
DecodedPicture LoadJpegResource(int id);

// Draws the picture stretched into place (smoothly); draws nothing when it is empty.
void DrawPicture(HDC target, const DecodedPicture& picture, const RECT& place);

}  // namespace velmora::win32
