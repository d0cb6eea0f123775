#include "wire/ItemListReader.h"

#include "support/LittleEndian.h"

namespace
{
constexpr int64_t ItemHeaderSize = 4;
} // namespace

bool CItemListReader::Open(const uint8_t* data, int32_t total, const uint16_t* acceptedTags,
                           int acceptedCount)
{
    m_data = data;
    m_total = total > 0 ? total : 0;
    m_offset = 0;
    m_itemCount = 0;
    m_valueItemCount = 0;
    for (;;)
    {
        // The check reads the tag itself, also of an item whose value runs past the block: an
        // unknown leading tag fails the list whatever its length field claims.
        const bool headerInside = m_data != nullptr && m_offset + ItemHeaderSize < m_total;
        const uint16_t tag = headerInside ? ReadUint16LE(m_data + m_offset + 2) : EndTag;
        int index = -1;
        if (acceptedTags && tag != EndTag)
        {
            index = 0;
            while (index < acceptedCount && acceptedTags[index] != tag)
                ++index;
        }
        // An unknown tag ends the check without failing it: later items need not be understood.
        if (index >= acceptedCount)
            break;
        ++m_itemCount;
        if (tag != EndTag)
            ++m_valueItemCount;
        // An item that runs past the block is the last one it holds.
        if (headerInside && !CurrentItemFits())
            break;
        if (!Next())
            break;
    }
    m_offset = 0;
    if (m_itemCount == 0)
    {
        Close();
        return false;
    }
    return true;
}

bool CItemListReader::CurrentItemFits() const
{
    if (!m_data || m_offset < 0 || m_offset + ItemHeaderSize >= m_total)
        return false;
    const uint16_t length = ReadUint16LE(m_data + m_offset);
    return m_offset + ItemHeaderSize + length <= m_total;
}

uint16_t CItemListReader::Tag() const
{
    return CurrentItemFits() ? ReadUint16LE(m_data + m_offset + 2) : EndTag;
}

uint16_t CItemListReader::Length() const
{
    return CurrentItemFits() ? ReadUint16LE(m_data + m_offset) : 0;
}

const uint8_t* CItemListReader::Value() const
{
    return Length() != 0 ? m_data + m_offset + ItemHeaderSize : nullptr;
}

bool CItemListReader::Next()
{
    const int64_t next = m_offset + ItemHeaderSize + Length();
    // Past the end there is nothing to read; the offset stays where a caller can still use it.
    m_offset = next > m_total ? m_total : static_cast<int32_t>(next);
    return m_offset < m_total;
}

void CItemListReader::Close()
{
    m_data = nullptr;
    m_offset = 0;
    m_itemCount = 0;
    m_total = 0;
    m_valueItemCount = 0;
}
