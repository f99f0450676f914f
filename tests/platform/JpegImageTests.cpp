#include "platform/win32/JpegImage.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/Resources.h"

namespace velmora::win32 {
namespace {

std::vector<std::byte> ProductPictureBytes()
{
    const std::span<const std::byte> bytes = ResourceBytes(VELMORA_IDR_PRODUCT_PICTURE);
    return {bytes.begin(), bytes.end()};
}

DIBSECTION SectionOf(const DecodedPicture& picture)
{
    DIBSECTION section{};
    EXPECT_EQ(::GetObjectA(picture.bitmap.Get(), sizeof section, &section), static_cast<int>(sizeof section));
    return section;
}

TEST(JpegImage, ResourceHoldsTheCommittedJpeg)
{
    const std::vector<std::byte> bytes = ProductPictureBytes();
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(bytes[0], std::byte{0xFF});
    EXPECT_EQ(bytes[1], std::byte{0xD8});
    EXPECT_EQ(bytes[bytes.size() - 2], std::byte{0xFF});
    EXPECT_EQ(bytes[bytes.size() - 1], std::byte{0xD9});
}

TEST(JpegImage, MissingResourceIsEmpty)
{
    EXPECT_TRUE(ResourceBytes(4321).empty());
    EXPECT_FALSE(LoadJpegResource(4321));
}

TEST(JpegImage, DecodesProductPictureIntoTopDown32BitSection)
{
    const DecodedPicture picture = DecodeJpeg(ProductPictureBytes());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.width, 505);
    EXPECT_EQ(picture.height, 277);
    const DIBSECTION section = SectionOf(picture);
    EXPECT_EQ(section.dsBm.bmWidth, 505);
    EXPECT_EQ(section.dsBm.bmHeight, 277);
    EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
}

TEST(JpegImage, ChannelsLandInDibOrder)
{
    const DecodedPicture picture = DecodeJpeg(ProductPictureBytes());
    ASSERT_TRUE(picture);
    const DIBSECTION section = SectionOf(picture);
    const auto* bits = static_cast<const unsigned char*>(section.dsBm.bmBits);
    ASSERT_NE(bits, nullptr);
    // The top-left corner is dark blue, the bottom-left mostly green: blue and
    // red swapped or rows upside down would show here.
    const unsigned char* topLeft = bits;
    EXPECT_GT(topLeft[0], topLeft[2] + 30);  // blue above red
    EXPECT_LT(topLeft[1], 90);
    const unsigned char* bottomRight = bits + static_cast<std::size_t>(section.dsBm.bmWidthBytes) * 276 + 4 * 504;
    EXPECT_GT(bottomRight[1], topLeft[1] + 60);  // green rises towards the bottom
}

TEST(JpegImage, EmptyAndForeignBytesGiveNothing)
{
    EXPECT_FALSE(DecodeJpeg({}));
    const std::vector<std::byte> text(64, std::byte{'A'});
    EXPECT_FALSE(DecodeJpeg(text));
}

TEST(JpegImage, TruncatedPictureGivesNothing)
{
    std::vector<std::byte> bytes = ProductPictureBytes();
    ASSERT_GT(bytes.size(), 400u);
    for (const std::size_t length : {std::size_t{2}, std::size_t{200}, bytes.size() / 2, bytes.size() - 2}) {
        const std::span<const std::byte> part(bytes.data(), length);
        EXPECT_FALSE(DecodeJpeg(part)) << "length " << length;
    }
}

std::size_t FindFrameHeader(const std::vector<std::byte>& bytes)
{
    for (std::size_t i = 0; i + 9 < bytes.size(); ++i) {
        if (bytes[i] == std::byte{0xFF} && bytes[i + 1] == std::byte{0xC0}) {
            return i;
        }
    }
    return 0;
}

TEST(JpegImage, ZeroOrHugeSizeInHeaderGivesNothing)
{
    const std::vector<std::byte> good = ProductPictureBytes();
    const std::size_t frame = FindFrameHeader(good);
    ASSERT_NE(frame, 0u);
    // Frame header: marker, length (2), precision, height (2), width (2).
    std::vector<std::byte> zeroWidth = good;
    zeroWidth[frame + 7] = std::byte{0};
    zeroWidth[frame + 8] = std::byte{0};
    EXPECT_FALSE(DecodeJpeg(zeroWidth));
    std::vector<std::byte> huge = good;
    huge[frame + 5] = std::byte{0xFF};
    huge[frame + 6] = std::byte{0xF0};
    EXPECT_FALSE(DecodeJpeg(huge));
}

TEST(JpegImage, EndMarkerInsideScanGivesNothing)
{
    std::vector<std::byte> bytes = ProductPictureBytes();
    const std::size_t middle = bytes.size() / 2;
    bytes[middle] = std::byte{0xFF};
    bytes[middle + 1] = std::byte{0xD9};
    EXPECT_FALSE(DecodeJpeg(bytes));
}

TEST(JpegImage, DrawingAnEmptyPictureLeavesTheTargetAlone)
{
    const HDC screen = ::GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    const UniqueGdiObject target(::CreateCompatibleBitmap(screen, 4, 4));
    ::ReleaseDC(nullptr, screen);
    const HGDIOBJ old = ::SelectObject(memory, target.Get());
    const RECT all{0, 0, 4, 4};
    ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    DrawPicture(memory, DecodedPicture{}, all);
    EXPECT_EQ(::GetPixel(memory, 1, 1), RGB(255, 255, 255));
    DrawPicture(memory, DecodeJpeg(ProductPictureBytes()), all);
    EXPECT_NE(::GetPixel(memory, 1, 1), RGB(255, 255, 255));
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}

}  // namespace
}  // namespace velmora::win32
