#include "platform/win32/JpegImage.h"

#include <csetjmp>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace velmora::win32 {

namespace {

// Larger sides only come from a damaged header; refusing them avoids a huge allocation.
constexpr JDIMENSION kMaxSide = 8192;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void FailDecoding(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// A warning means damaged data that libjpeg would paper over; treat it as failure.
void OnMessage(j_common_ptr info, int level)
{
    if (level < 0) {
        FailDecoding(info);
    }
}

void IgnoreOutput(j_common_ptr) {}

LPCSTR ResourceName(int id)
{
    return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(id)));
}

// A memory DC deleted with the object.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatibleWith) : m_dc(::CreateCompatibleDC(compatibleWith)) {}
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc()
    {
        if (m_dc) {
            ::DeleteDC(m_dc);
        }
    }
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

// Only trivially destructible objects live in this frame, so longjmp out of
// libjpeg skips no destructor. Returns the DIB section or nullptr.
HBITMAP DecodeToDib(const unsigned char* data, unsigned long size, int* width, int* height)
{
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    HBITMAP volatile bitmap = nullptr;

    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = FailDecoding;
    errors.base.emit_message = OnMessage;
    errors.base.output_message = IgnoreOutput;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        if (bitmap != nullptr) {
            ::DeleteObject(bitmap);
        }
        return nullptr;
    }

    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxSide ||
        info.image_height > kMaxSide) {
        FailDecoding(reinterpret_cast<j_common_ptr>(&info));
    }
    // Blue, green, red, pad: the byte order of a 32-bit DIB.
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);

    const BITMAPINFO format{.bmiHeader = {
                                .biSize = sizeof(BITMAPINFOHEADER),
                                .biWidth = static_cast<LONG>(info.output_width),
                                .biHeight = -static_cast<LONG>(info.output_height),
                                .biPlanes = 1,
                                .biBitCount = 32,
                                .biCompression = BI_RGB,
                            }};
    void* bits = nullptr;
    bitmap = ::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        FailDecoding(reinterpret_cast<j_common_ptr>(&info));
    }
    const std::size_t stride = std::size_t{info.output_width} * 4;
    auto* const firstRow = static_cast<unsigned char*>(bits);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = firstRow + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    *width = static_cast<int>(info.output_width);
    *height = static_cast<int>(info.output_height);
    jpeg_destroy_decompress(&info);
    return bitmap;
}

}  // namespace

DecodedPicture DecodeJpeg(std::span<const std::byte> bytes)
{
    DecodedPicture picture;
    if (bytes.empty() || bytes.size() > 0xFFFFFFFFu) {
        return picture;
    }
    int width = 0;
    int height = 0;
    const HBITMAP bitmap = DecodeToDib(reinterpret_cast<const unsigned char*>(bytes.data()),
                                       static_cast<unsigned long>(bytes.size()), &width, &height);
    if (bitmap != nullptr) {
        picture.bitmap = UniqueGdiObject(bitmap);
        picture.width = width;
        picture.height = height;
    }
    return picture;
}

std::span<const std::byte> ResourceBytes(int id)
{
    const HMODULE module = ::GetModuleHandleA(nullptr);
    const HRSRC found = ::FindResourceA(module, ResourceName(id), ResourceName(10));  // 10 is RT_RCDATA
    if (found == nullptr) {
        return {};
    }
    const HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return {};
    }
    return {static_cast<const std::byte*>(data), ::SizeofResource(module, found)};
}

DecodedPicture LoadJpegResource(int id)
{
    return DecodeJpeg(ResourceBytes(id));
}

void DrawPicture(HDC target, const DecodedPicture& picture, const RECT& place)
{
    if (!picture) {
        return;
    }
    const MemoryDc memory(target);
    const HDC source = memory.Get();
    if (source == nullptr) {
        return;
    }
    const SelectedObject selected(source, picture.bitmap.Get());
    const int oldMode = ::SetStretchBltMode(target, HALFTONE);
    ::SetBrushOrgEx(target, 0, 0, nullptr);
    ::StretchBlt(target, place.left, place.top, place.right - place.left, place.bottom - place.top, source, 0, 0,
                 picture.width, picture.height, SRCCOPY);
    ::SetStretchBltMode(target, oldMode);
}

}  // namespace velmora::win32
