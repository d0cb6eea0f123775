#pragma once

#include "support/PrintfFormat.h"

#include <cstdint>

// Reference-counted, copy-on-write byte string. Copies share one heap block; the first change made
// through a sharer gives it a block of its own. Texts are single-byte and zero-terminated.
//
// Block layout: int32 share count, int32 block size (header included), then the characters.
// Block sizes are multiples of 64 so that short edits reuse the block instead of allocating.
class CRefString
{
public:
    CRefString() = default;
    CRefString(const char* text);
    CRefString(const CRefString& other);
    ~CRefString();

    CRefString& operator=(const CRefString& other);
    CRefString& operator=(const char* text);

    // Replaces the text. A null text changes nothing; length 0 means "up to the terminator".
    void Assign(const char* text, unsigned length = 0);
    // Adds the text at the end. A null or empty text changes nothing.
    void Append(const char* text);
    CRefString& operator+=(const char* text);

    // printf-style; output beyond 4095 characters is cut off.
    void Format(const char* format, ...) QUORVEL_PRINTF_FORMAT(2, 3);

    // Never null: a string without a block yields the shared empty text.
    const char* GetText() const;
    int32_t GetLength() const;
    // No bounds test: valid for 0 <= index < GetLength().
    char operator[](int32_t index) const { return GetText()[index]; }

    // Bytes allocated for the block (header included), 0 without a block.
    int32_t BlockSize() const;
    // Number of strings sharing the block, 0 without a block.
    int32_t ShareCount() const;

    static constexpr int32_t MaxFormattedLength = 4095;

private:
    // Makes the block exclusive and large enough for `needed` characters (terminator included).
    // Returns false, leaving the string unchanged, when memory cannot be had.
    bool Reserve(uint32_t needed, bool keepText);
    void Release();
    char* Characters() const;
    bool PointsIntoBlock(const char* text) const;

    char* m_block = nullptr;
};

CRefString operator+(const CRefString& left, const CRefString& right);
