#include "wire/ItemListWriter.h"

#include "support/LittleEndian.h"
#include "wire/ItemListReader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr int32_t ItemHeaderSize = 4;
// Spare room taken on each enlargement, so that a few more small items fit without reallocating.
constexpr int64_t GrowthSlack = 260;
} // namespace

CItemListWriter::~CItemListWriter()
{
    Free();
}

bool CItemListWriter::Add(uint16_t tag, uint16_t length, const void* value)
{
    // The new item overwrites the old end marker; a new marker follows it.
    const int32_t writePosition = m_length >= ItemHeaderSize ? m_length - ItemHeaderSize : 0;
    const int64_t newLength = int64_t{writePosition} + ItemHeaderSize + length + ItemHeaderSize;
    if (newLength > INT32_MAX)
        return false;
    if (newLength > m_capacity)
    {
        const int64_t newCapacity = int64_t{m_length} + length + GrowthSlack;
        if (newCapacity > INT32_MAX)
            return false;
        auto* block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(newCapacity)));
        if (!block)
            return false;
        if (m_length > 0)
            std::memcpy(block, m_data, static_cast<size_t>(m_length));
        std::free(m_data);
        m_data = block;
        m_capacity = static_cast<int32_t>(newCapacity);
    }
    uint8_t* item = m_data + writePosition;
    WriteUint16LE(item, length);
    WriteUint16LE(item + 2, tag);
    if (value)
        std::memcpy(item + ItemHeaderSize, value, length);
    else
        std::memset(item + ItemHeaderSize, 0, length);
    uint8_t* endMarker = item + ItemHeaderSize + length;
    WriteUint16LE(endMarker, 0);
    WriteUint16LE(endMarker + 2, CItemListReader::EndTag);
    m_length = static_cast<int32_t>(newLength);
    return true;
}

void CItemListWriter::Free()
{
    std::free(m_data);
    m_data = nullptr;
    m_length = 0;
    m_capacity = 0;
}
