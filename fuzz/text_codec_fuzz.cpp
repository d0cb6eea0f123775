// The text codec on arbitrary bytes: what it makes of recorder texts is valid UTF-8 that converts
// back to the same bytes, and texts going out are cut where asked, never inside a character.
//
// Input: a byte giving the cut for outgoing texts (0xFF: none), then the text.
#include "FuzzInput.h"
#include "support/TextCodec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "text codec: %s\n", what);
        std::abort();
    }
}

// Strict UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& text)
{
    size_t i = 0;
    while (i < text.size())
    {
        const auto lead = static_cast<uint8_t>(text[i]);
        if (lead < 0x80)
        {
            ++i;
            continue;
        }
        const int continuations = (lead & 0xE0) == 0xC0   ? 1
                                  : (lead & 0xF0) == 0xE0 ? 2
                                  : (lead & 0xF8) == 0xF0 ? 3
                                                          : 0;
        if (continuations == 0)
            return false;
        const uint32_t smallest = continuations == 1 ? 0x80 : continuations == 2 ? 0x800 : 0x10000;
        uint32_t codePoint = lead & (0x3Fu >> continuations);
        if (text.size() - i <= static_cast<size_t>(continuations))
            return false;
        for (int k = 1; k <= continuations; ++k)
        {
            const auto next = static_cast<uint8_t>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += static_cast<size_t>(continuations) + 1;
    }
    return true;
}

// The bytes before the first NUL, where every conversion from UTF-8 stops.
std::string UpToNul(const std::vector<uint8_t>& bytes)
{
    std::string text(bytes.begin(), bytes.end());
    return text.substr(0, text.find('\0'));
}

bool IsUnassignedInWindows1252(char byte)
{
    const auto value = static_cast<uint8_t>(byte);
    return value == 0x81 || value == 0x8D || value == 0x8F || value == 0x90 || value == 0x9D;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFuzzInput input(data, size);
    const uint8_t cut = input.Byte();
    const size_t maxBytes = cut == 0xFF ? std::string::npos : cut;
    const std::vector<uint8_t> bytes = input.Rest();
    const std::string prefix = UpToNul(bytes);

    // Every CP850 byte has a character, so nothing is lost either way.
    const std::string fromCp850 = CTextCodec::Cp850ToUtf8(bytes.data(), bytes.size());
    Require(IsValidUtf8(fromCp850), "CP850 text became invalid UTF-8");
    Require(CTextCodec::Utf8ToCp850(fromCp850.c_str()) == prefix, "CP850 text did not come back");

    const std::string fromWindows = CTextCodec::Windows1252ToUtf8(bytes.data(), bytes.size());
    Require(IsValidUtf8(fromWindows), "Windows-1252 text became invalid UTF-8");
    std::string expected = prefix;
    for (char& byte : expected)
    {
        if (IsUnassignedInWindows1252(byte))
            byte = CTextCodec::Replacement;
    }
    Require(CTextCodec::Utf8ToWindows1252(fromWindows.c_str()) == expected,
            "Windows-1252 text did not come back");

    // Outgoing: any bytes at all, read as UTF-8.
    const std::string whole = CTextCodec::Utf8ToWindows1252(prefix.c_str());
    const std::string cutText = CTextCodec::Utf8ToWindows1252(prefix.c_str(), maxBytes);
    Require(cutText.size() <= maxBytes, "cut text is too long");
    Require(whole.compare(0, cutText.size(), cutText) == 0 &&
                (cutText.size() == whole.size() || cutText.size() == maxBytes),
            "cut text is not the start of the whole");
    Require(CTextCodec::Utf8ToCp850(prefix.c_str()).size() == whole.size(),
            "code pages count characters differently");
    return 0;
}
