#include "macros/RecordStream.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace velmora {
namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (const int value : values) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

TEST(RecordStream_Encoding, IntegersAreLittleEndianTwosComplement)
{
    MemoryStream stream;
    WriteInt32(stream, 300);
    WriteInt32(stream, -1);
    WriteInt32(stream, INT32_MIN);
    WriteInt32(stream, INT32_MAX);
    EXPECT_EQ(stream.Bytes(), Bytes({0x2C, 0x01, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0x7F}));

    stream.SetPosition(0);
    EXPECT_EQ(ReadInt32(stream), 300);
    EXPECT_EQ(ReadInt32(stream), -1);
    EXPECT_EQ(ReadInt32(stream), INT32_MIN);
    EXPECT_EQ(ReadInt32(stream), INT32_MAX);
    EXPECT_EQ(stream.Position(), 16u);
}

TEST(RecordStream_Encoding, StringsCarryTheirLengthAndNoTerminator)
{
    MemoryStream stream;
    WriteString(stream, "");
    WriteString(stream, std::string("a\0\xFF", 3));
    EXPECT_EQ(stream.Bytes(), Bytes({0, 0, 0, 0, 3, 0, 0, 0, 'a', 0, 0xFF}));

    stream.SetPosition(0);
    EXPECT_EQ(ReadString(stream), "");
    EXPECT_EQ(ReadString(stream), std::string("a\0\xFF", 3));
}

TEST(RecordStream_Encoding, WorkedFieldExample)
{
    MemoryStream stream;
    WriteString(stream, "id");
    WriteInt32(stream, 7);
    WriteString(stream, kEndTag);
    EXPECT_EQ(stream.Bytes(), Bytes({2, 0, 0, 0, 'i', 'd', 7, 0, 0, 0, 3, 0, 0, 0, 'e', 'n', 'd'}));
}

TEST(RecordStream_Encoding, OnlyTheByteOneReadsAsTrue)
{
    MemoryStream stream(Bytes({1, 0, 2, 0xFF}));
    EXPECT_TRUE(ReadBool(stream));
    EXPECT_FALSE(ReadBool(stream));
    EXPECT_FALSE(ReadBool(stream));
    EXPECT_FALSE(ReadBool(stream));

    MemoryStream written;
    WriteBool(written, true);
    WriteBool(written, false);
    WriteByte(written, 0x1FF);
    EXPECT_EQ(written.Bytes(), Bytes({1, 0, 0xFF}));
}

TEST(RecordStream_DamagedInput, NegativeLengthConsumesOnlyTheLength)
{
    MemoryStream stream(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 'x'}));
    EXPECT_EQ(ReadString(stream), "");
    EXPECT_EQ(stream.Position(), 4u);
    EXPECT_EQ(ReadChars(stream, 0), "");
    EXPECT_EQ(ReadChars(stream, -5), "");
    EXPECT_EQ(stream.Position(), 4u);
}

TEST(RecordStream_DamagedInput, HugeLengthIsBoundedByTheStream)
{
    // 0x7FFFFFFF promised, three bytes present: the string must not reserve 2 GiB.
    MemoryStream stream(Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b', 'c'}));
    const std::string text = ReadString(stream);
    EXPECT_EQ(text, "abc");
    EXPECT_LE(text.capacity(), 64u);
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(RecordStream_DamagedInput, ShortReadsFillWithZero)
{
    MemoryStream stream(Bytes({0x34, 0x12}));
    EXPECT_EQ(ReadInt32(stream), 0x1234);
    EXPECT_EQ(ReadByte(stream), 0);
    EXPECT_FALSE(ReadBool(stream));
    EXPECT_EQ(ReadString(stream), "");
    EXPECT_EQ(stream.Position(), 2u);
}

TEST(RecordStream_MemoryStream, WritesOverwriteThenGrowAtThePosition)
{
    MemoryStream stream(std::string("abcdef"));
    stream.SetPosition(4);
    stream.Write("XYZ");
    EXPECT_EQ(stream.Bytes(), "abcdXYZ");
    EXPECT_EQ(stream.Position(), 7u);
    stream.SetPosition(100);
    EXPECT_EQ(stream.Position(), 7u);
}

class TaggedRecordTest : public ::testing::Test {
protected:
    // Reads "id" (int) and "name" (string); collects every other tag met.
    void Read(MemoryStream& stream)
    {
        stream.SetPosition(0);
        ReadTaggedRecord(stream, [&](std::string_view tag) {
            if (tag == "id") {
                id = ReadInt32(stream);
            } else if (tag == "name") {
                name = ReadString(stream);
            } else {
                passedOver.emplace_back(tag);
            }
        });
    }

    std::int32_t id = -99;
    std::string name = "unset";
    std::vector<std::string> passedOver;
};

TEST_F(TaggedRecordTest, StopsAtEndAndLeavesTheRestUnread)
{
    MemoryStream stream;
    WriteString(stream, "name");
    WriteString(stream, "first");
    WriteString(stream, "name");
    WriteString(stream, "second");
    WriteString(stream, kEndTag);
    WriteString(stream, "id");
    WriteInt32(stream, 5);
    Read(stream);
    EXPECT_EQ(name, "second");  // a repeated tag: the later value wins
    EXPECT_EQ(id, -99);         // missing fields keep their value
    EXPECT_EQ(stream.Position(), stream.Size() - 10);
}

TEST_F(TaggedRecordTest, EndOfStreamEndsTheRecordWithFieldsReadSoFar)
{
    MemoryStream stream;
    WriteString(stream, "id");
    WriteInt32(stream, 12);
    Read(stream);
    EXPECT_EQ(id, 12);
    EXPECT_EQ(name, "unset");
}

TEST_F(TaggedRecordTest, UnknownTagWithStringValueIsPassedOverTagByTag)
{
    MemoryStream stream;
    WriteString(stream, "colour");
    WriteString(stream, "blue");
    WriteString(stream, "id");
    WriteInt32(stream, 3);
    WriteString(stream, kEndTag);
    Read(stream);
    EXPECT_EQ(passedOver, (std::vector<std::string>{"colour", "blue"}));
    EXPECT_EQ(id, 3);
}

TEST_F(TaggedRecordTest, UnknownTagWithIntegerValueDesynchronisesTheRest)
{
    MemoryStream stream;
    WriteString(stream, "count");
    WriteInt32(stream, 2);  // read as the length of the next tag
    WriteString(stream, "id");
    WriteInt32(stream, 3);
    WriteString(stream, kEndTag);
    Read(stream);
    EXPECT_EQ(id, -99);
    ASSERT_GE(passedOver.size(), 2u);
    EXPECT_EQ(passedOver[1], std::string("\x02\0", 2));
}

}  // namespace
}  // namespace velmora
