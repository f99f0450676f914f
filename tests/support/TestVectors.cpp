#include "support/TestVectors.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace velmora::tests {

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

ByteVector ParseByteVector(const std::string& text)
{
    ByteVector vector;
    std::string* target = &vector.plain;
    std::size_t i = 0;
    const auto fail = [&](const std::string& why) {
        throw std::runtime_error("byte vector, offset " + std::to_string(i) + ": " + why);
    };
    while (i < text.size()) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '#') {
            while (i < text.size() && text[i] != '\n') ++i;
        } else if (c == '"') {
            const auto close = text.find('"', i + 1);
            if (close == std::string::npos) fail("unclosed text");
            target->append(text, i + 1, close - i - 1);
            i = close + 1;
        } else if (text.compare(i, 6, "plain:") == 0) {
            target = &vector.plain;
            i += 6;
        } else if (text.compare(i, 7, "stored:") == 0) {
            target = &vector.stored;
            i += 7;
        } else {
            const int high = HexDigit(c);
            const int low = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
            const bool separated = i + 2 >= text.size() || std::isspace(static_cast<unsigned char>(text[i + 2]));
            if (high < 0 || low < 0 || !separated) fail("expected a byte in two hex digits");
            target->push_back(static_cast<char>(high * 16 + low));
            i += 2;
        }
    }
    return vector;
}

std::string HostPath(const std::string& path)
{
#ifdef _WIN32
    if (!path.empty() && path.front() == '/') {
        std::string converted = "Z:" + path;
        for (char& c : converted) {
            if (c == '/') c = '\\';
        }
        return converted;
    }
#endif
    return path;
}

std::string TestDataPath(const std::string& name)
{
    return HostPath(std::string(VELMORA_TEST_DATA_DIR) + "/" + name);
}

std::filesystem::path HostPathOf(const std::string& path)
{
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string ReadHostFile(const std::string& path)
{
    std::ifstream file(HostPathOf(path), std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

ByteVector LoadByteVector(const std::string& name)
{
    return ParseByteVector(ReadHostFile(TestDataPath(name)));
}

}  // namespace velmora::tests
