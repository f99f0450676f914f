#include "macros/RecordStream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace velmora {

std::size_t MemoryStream::Read(char* destination, std::size_t count)
{
    const std::size_t available = std::min(count, Remaining());
    if (available > 0) {
        std::memcpy(destination, m_bytes.data() + m_position, available);
        m_position += available;
    }
    return available;
}

std::string_view MemoryStream::ReadView(std::size_t count)
{
    const std::size_t available = std::min(count, Remaining());
    const std::string_view view(m_bytes.data() + m_position, available);
    m_position += available;
    return view;
}

void MemoryStream::Write(std::string_view bytes)
{
    if (m_position == m_bytes.size()) {
        m_bytes.append(bytes);
    } else {
        const std::size_t overlap = std::min(bytes.size(), Remaining());
        m_bytes.replace(m_position, overlap, bytes);
    }
    m_position += bytes.size();
}

std::string ReadChars(MemoryStream& stream, std::int32_t count)
{
    // A length taken from damaged bytes may promise more than the stream
    // has; the view stops at its end.
    return count <= 0 ? std::string() : std::string(stream.ReadView(static_cast<std::size_t>(count)));
}

std::uint8_t ReadByte(MemoryStream& stream)
{
    char byte = 0;
    stream.Read(&byte, 1);
    return static_cast<std::uint8_t>(byte);
}

bool ReadBool(MemoryStream& stream)
{
    return ReadByte(stream) == 1;
}

std::int32_t ReadInt32(MemoryStream& stream)
{
    unsigned char bytes[4] = {};
    stream.Read(reinterpret_cast<char*>(bytes), sizeof bytes);
    const std::uint32_t value = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                                (static_cast<std::uint32_t>(bytes[2]) << 16) |
                                (static_cast<std::uint32_t>(bytes[3]) << 24);
    return static_cast<std::int32_t>(value);
}

std::string ReadString(MemoryStream& stream)
{
    return ReadChars(stream, ReadInt32(stream));
}

std::string_view ReadTag(MemoryStream& stream)
{
    const std::int32_t length = ReadInt32(stream);
    return length <= 0 ? std::string_view() : stream.ReadView(static_cast<std::size_t>(length));
}

void WriteByte(MemoryStream& stream, std::int32_t value)
{
    const char byte = static_cast<char>(static_cast<std::uint32_t>(value) & 0xFFu);
    stream.Write(std::string_view(&byte, 1));
}

void WriteBool(MemoryStream& stream, bool value)
{
    WriteByte(stream, value ? 1 : 0);
}

void WriteInt32(MemoryStream& stream, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    const char bytes[4] = {
        static_cast<char>(bits & 0xFFu),
        static_cast<char>((bits >> 8) & 0xFFu),
        static_cast<char>((bits >> 16) & 0xFFu),
        static_cast<char>((bits >> 24) & 0xFFu),
    };
    stream.Write(std::string_view(bytes, sizeof bytes));
}

void WriteString(MemoryStream& stream, std::string_view value)
{
    if (value.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw std::length_error("Text too long to store");
    }
    WriteInt32(stream, static_cast<std::int32_t>(value.size()));
    if (!value.empty()) {
        stream.Write(value);
    }
}

}  // namespace velmora
