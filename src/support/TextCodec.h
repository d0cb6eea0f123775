#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Conversions between the program's UTF-8 texts and the recorder's single-byte code pages: the
// recorder reads what we send (password, remote path) as Windows-1252 and writes its own texts in
// its OEM code page, CP850.
class CTextCodec
{
public:
    // Characters a code page cannot hold, and bytes that are not valid UTF-8, become this.
    static constexpr char Replacement = '?';

    // UTF-8 text (up to its terminator) to Windows-1252, at most `maxBytes` bytes. Every character
    // takes one byte, so cutting never splits one.
    static std::string Utf8ToWindows1252(const char* text, size_t maxBytes = std::string::npos);
    // Windows-1252 bytes to UTF-8; the five unassigned bytes become the replacement character.
    static std::string Windows1252ToUtf8(const uint8_t* bytes, size_t length);

    // CP850 bytes to UTF-8. Every CP850 byte has a character, so nothing is lost.
    static std::string Cp850ToUtf8(const uint8_t* bytes, size_t length);
    // UTF-8 text (up to its terminator) to CP850.
    static std::string Utf8ToCp850(const char* text);

private:
    // Decodes the UTF-8 sequence starting at `text`; returns the code point, or -1 for a malformed
    // sequence, and advances `text` past what it consumed (at least one byte).
    static int32_t DecodeUtf8(const char*& text);
    static void AppendUtf8(std::string& out, uint32_t codePoint);
};
