#pragma once

#include <cstdint>

// Walks an item list inside a received block without copying it. Never reads outside the block:
// when fewer than 5 bytes remain, or the current item's value would run past the end, the reader
// reports the end marker (Tag 0xFFFF, Length 0, Value null).
class CItemListReader
{
public:
    static constexpr uint16_t EndTag = 0xFFFF;

    // Attaches to `data` and checks the leading tags against `acceptedTags` (an unknown tag ends the
    // check without failing it). True when at least one item was counted; on false the reader is
    // detached. The offset is back at 0 afterwards.
    bool Open(const uint8_t* data, int32_t total, const uint16_t* acceptedTags, int acceptedCount);

    uint16_t Tag() const;
    uint16_t Length() const;
    const uint8_t* Value() const;
    // Steps to the next item; true while the new offset is inside the block.
    bool Next();
    // Current byte offset; after stepping over the end marker, where data behind the list begins.
    int32_t Offset() const { return m_offset; }
    void Close();

    // Items counted by Open, end markers included / excluded.
    int32_t ItemCount() const { return m_itemCount; }
    int32_t ValueItemCount() const { return m_valueItemCount; }

private:
    bool CurrentItemFits() const;

    const uint8_t* m_data = nullptr;
    int32_t m_offset = 0;
    int32_t m_itemCount = 0;
    int32_t m_total = 0;
    int32_t m_valueItemCount = 0;
};
