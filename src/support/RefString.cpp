#include "support/RefString.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace
{
constexpr uint32_t BlockHeaderSize = 8;
constexpr uint32_t BlockGranularity = 64;
// Largest request whose block size still fits the 32-bit size field.
constexpr uint32_t MaxCharacters = INT32_MAX - BlockHeaderSize - BlockGranularity;

const char g_emptyText[1] = "";

int32_t& CountOf(char* block)
{
    return *reinterpret_cast<int32_t*>(block);
}

int32_t& SizeOf(char* block)
{
    return *reinterpret_cast<int32_t*>(block + 4);
}

// The smallest multiple of 64 strictly greater than needed + 8.
int32_t BlockSizeFor(uint32_t needed)
{
    return static_cast<int32_t>(BlockGranularity * ((needed + BlockHeaderSize) / BlockGranularity + 1));
}

char* AllocateBlock(int32_t size)
{
    auto* block = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
    if (block)
    {
        CountOf(block) = 1;
        SizeOf(block) = size;
        block[BlockHeaderSize] = '\0';
    }
    return block;
}
} // namespace

CRefString::CRefString(const char* text)
{
    Assign(text, 0);
}

CRefString::CRefString(const CRefString& other) : m_block(other.m_block)
{
    if (m_block)
        ++CountOf(m_block);
}

CRefString::~CRefString()
{
    Release();
}

CRefString& CRefString::operator=(const CRefString& other)
{
    if (m_block == other.m_block)
        return *this;
    Release();
    m_block = other.m_block;
    if (m_block)
        ++CountOf(m_block);
    return *this;
}

CRefString& CRefString::operator=(const char* text)
{
    Assign(text, 0);
    return *this;
}

void CRefString::Release()
{
    if (m_block && --CountOf(m_block) == 0)
        std::free(m_block);
    m_block = nullptr;
}

char* CRefString::Characters() const
{
    return m_block + BlockHeaderSize;
}

bool CRefString::PointsIntoBlock(const char* text) const
{
    const std::less_equal<const char*> notAfter;
    return m_block && notAfter(m_block, text) && !notAfter(m_block + SizeOf(m_block), text);
}

bool CRefString::Reserve(uint32_t needed, bool keepText)
{
    if (needed > MaxCharacters)
        return false;
    int32_t size = BlockSizeFor(needed);
    if (!m_block)
    {
        m_block = AllocateBlock(size);
        return m_block != nullptr;
    }
    const int32_t count = CountOf(m_block);
    const int32_t oldSize = SizeOf(m_block);
    if (count == 1 && oldSize >= size)
        return true;
    // A sharer keeps at least the old size: the copy is likely to grow like the original did.
    if (count > 1 && oldSize > size)
        size = oldSize;
    char* block = AllocateBlock(size);
    if (!block)
        return false;
    if (keepText)
        std::strcpy(block + BlockHeaderSize, Characters());
    Release();
    m_block = block;
    return true;
}

void CRefString::Assign(const char* text, unsigned length)
{
    if (!text)
        return;
    if (PointsIntoBlock(text))
    {
        // The block may be replaced or overwritten below; work from a copy.
        CRefString copy;
        copy.Assign(text, length);
        Assign(copy.GetText(), length);
        return;
    }
    if (length == 0)
        length = static_cast<unsigned>(std::strlen(text));
    if (length >= MaxCharacters || !Reserve(length + 1, false))
        return;
    std::memcpy(Characters(), text, length);
    Characters()[length] = '\0';
}

void CRefString::Append(const char* text)
{
    if (!text || text == g_emptyText)
        return;
    if (PointsIntoBlock(text))
    {
        const CRefString copy(text);
        Append(copy.GetText());
        return;
    }
    const size_t textLength = std::strlen(text);
    const size_t currentLength = static_cast<size_t>(GetLength());
    if (textLength + currentLength + 1 > MaxCharacters)
        return;
    if (!Reserve(static_cast<uint32_t>(textLength + currentLength + 1), true))
        return;
    std::memcpy(Characters() + currentLength, text, textLength + 1);
}

CRefString& CRefString::operator+=(const char* text)
{
    Append(text);
    return *this;
}

void CRefString::Format(const char* format, ...)
{
    char buffer[MaxFormattedLength + 1];
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (written < 0)
        buffer[0] = '\0';
    Assign(buffer, 0);
}

const char* CRefString::GetText() const
{
    return m_block ? Characters() : g_emptyText;
}

int32_t CRefString::GetLength() const
{
    return m_block ? static_cast<int32_t>(std::strlen(Characters())) : 0;
}

int32_t CRefString::BlockSize() const
{
    return m_block ? SizeOf(m_block) : 0;
}

int32_t CRefString::ShareCount() const
{
    return m_block ? CountOf(m_block) : 0;
}

CRefString operator+(const CRefString& left, const CRefString& right)
{
    CRefString joined(left);
    joined.Append(right.GetText());
    return joined;
}
