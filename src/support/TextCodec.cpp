#include "support/TextCodec.h"

namespace
{

// Unicode code points of the CP850 bytes 0x80..0xFF; the lower half is ASCII.
const uint16_t kCp850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE, // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4, // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8, // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0, // F8
};

// Unicode code points of the Windows-1252 bytes 0x80..0x9F (0 = unassigned); 0xA0..0xFF equal
// Latin-1 and the lower half is ASCII.
const uint16_t kWindows1252Special[32] = {
    0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x0000, 0x017D, 0x0000, // 88
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178, // 98
};

char ToWindows1252(int32_t codePoint)
{
    if (codePoint < 0)
        return CTextCodec::Replacement;
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (int i = 0; i < 32; ++i)
    {
        if (kWindows1252Special[i] != 0 && kWindows1252Special[i] == codePoint)
            return static_cast<char>(0x80 + i);
    }
    return CTextCodec::Replacement;
}

char ToCp850(int32_t codePoint)
{
    if (codePoint < 0)
        return CTextCodec::Replacement;
    if (codePoint < 0x80)
        return static_cast<char>(codePoint);
    for (int i = 0; i < 128; ++i)
    {
        if (kCp850High[i] == codePoint)
            return static_cast<char>(0x80 + i);
    }
    return CTextCodec::Replacement;
}

} // namespace

int32_t CTextCodec::DecodeUtf8(const char*& text)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    const uint8_t lead = bytes[0];
    ++text;
    if (lead < 0x80)
        return lead;

    int continuationCount = 0;
    int32_t codePoint = 0;
    int32_t smallestAllowed = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
    {
        continuationCount = 1;
        codePoint = lead & 0x1F;
        smallestAllowed = 0x80;
    }
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        continuationCount = 2;
        codePoint = lead & 0x0F;
        smallestAllowed = 0x800;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        continuationCount = 3;
        codePoint = lead & 0x07;
        smallestAllowed = 0x10000;
    }
    else
    {
        return -1;
    }

    // A malformed sequence consumes only its lead byte, so the following bytes (possibly the
    // terminator) are looked at again on their own.
    for (int i = 1; i <= continuationCount; ++i)
    {
        if ((bytes[i] & 0xC0) != 0x80)
            return -1;
        codePoint = (codePoint << 6) | (bytes[i] & 0x3F);
    }
    if (codePoint < smallestAllowed || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return -1;
    text += continuationCount;
    return codePoint;
}

void CTextCodec::AppendUtf8(std::string& out, uint32_t codePoint)
{
    if (codePoint < 0x80)
    {
        out += static_cast<char>(codePoint);
    }
    else if (codePoint < 0x800)
    {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string CTextCodec::Utf8ToWindows1252(const char* text, size_t maxBytes)
{
    std::string out;
    if (text == nullptr)
        return out;
    while (*text != '\0' && out.size() < maxBytes)
        out += ToWindows1252(DecodeUtf8(text));
    return out;
}

std::string CTextCodec::Windows1252ToUtf8(const uint8_t* bytes, size_t length)
{
    std::string out;
    for (size_t i = 0; i < length; ++i)
    {
        const uint8_t byte = bytes[i];
        if (byte >= 0x80 && byte < 0xA0)
        {
            const uint16_t codePoint = kWindows1252Special[byte - 0x80];
            if (codePoint == 0)
                out += Replacement;
            else
                AppendUtf8(out, codePoint);
        }
        else
        {
            AppendUtf8(out, byte);
        }
    }
    return out;
}

std::string CTextCodec::Cp850ToUtf8(const uint8_t* bytes, size_t length)
{
    std::string out;
    for (size_t i = 0; i < length; ++i)
    {
        const uint8_t byte = bytes[i];
        AppendUtf8(out, byte < 0x80 ? byte : kCp850High[byte - 0x80]);
    }
    return out;
}

std::string CTextCodec::Utf8ToCp850(const char* text)
{
    std::string out;
    if (text == nullptr)
        return out;
    while (*text != '\0')
        out += ToCp850(DecodeUtf8(text));
    return out;
}
