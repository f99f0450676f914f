#pragma once

// The tagged byte encoding in which every stored record is written: integers
// are 32-bit little-endian, strings carry a 32-bit length and no terminator,
// and a record is a run of tag/value fields closed by the tag "end".

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// A growable byte buffer with a position, read and written in place. The
// bytes are 8-bit data held in a std::string, exactly as they stand in the file.
class MemoryStream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::string bytes) : m_bytes(std::move(bytes)) {}

    std::size_t Position() const { return m_position; }
    void SetPosition(std::size_t position) { m_position = position < m_bytes.size() ? position : m_bytes.size(); }
    std::size_t Size() const { return m_bytes.size(); }
    std::size_t Remaining() const { return m_bytes.size() - m_position; }

    // Copies up to count bytes and returns how many the stream had.
    std::size_t Read(char* destination, std::size_t count);
    // Up to count bytes in place, without copying; valid until the next write.
    std::string_view ReadView(std::size_t count);
    // Writes at the position, overwriting and then growing the buffer.
    void Write(std::string_view bytes);
    void Reserve(std::size_t capacity) { m_bytes.reserve(capacity); }

    const std::string& Bytes() const { return m_bytes; }
    std::string TakeBytes() { m_position = 0; return std::move(m_bytes); }

private:
    std::string m_bytes;
    std::size_t m_position = 0;
};

inline constexpr std::string_view kEndTag = "end";

// Readers never fail on a short stream: bytes the stream does not have read as
// zero, and a string stops at the end of the stream, so a damaged length can
// never make the reader allocate more than the stream holds.
std::string ReadChars(MemoryStream& stream, std::int32_t count);
std::uint8_t ReadByte(MemoryStream& stream);
bool ReadBool(MemoryStream& stream);
std::int32_t ReadInt32(MemoryStream& stream);
std::string ReadString(MemoryStream& stream);
// A string read in place, for tags: no allocation, valid until the next write.
std::string_view ReadTag(MemoryStream& stream);

void WriteByte(MemoryStream& stream, std::int32_t value);
void WriteBool(MemoryStream& stream, bool value);
void WriteInt32(MemoryStream& stream, std::int32_t value);
// Throws std::length_error for a text whose length does not fit the field.
void WriteString(MemoryStream& stream, std::string_view value);

// Runs the tagged-record loop: reads tags until "end" or the end of the
// stream, handing each other tag to readField. A field the reader does not
// know is passed over without its value (its bytes are then read as tags).
template <typename FieldReader>
void ReadTaggedRecord(MemoryStream& stream, FieldReader&& readField)
{
    while (stream.Position() < stream.Size()) {
        const std::string_view tag = ReadTag(stream);
        if (tag == kEndTag) {
            return;
        }
        readField(tag);
    }
}

}  // namespace velmora
