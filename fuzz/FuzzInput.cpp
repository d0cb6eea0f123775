#include "FuzzInput.h"

#include <algorithm>

uint8_t CFuzzInput::Byte()
{
    return Empty() ? 0 : m_data[m_offset++];
}

uint16_t CFuzzInput::Uint16()
{
    const uint16_t low = Byte();
    return static_cast<uint16_t>(low | (Byte() << 8));
}

int32_t CFuzzInput::Int32()
{
    uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8)
        value |= static_cast<uint32_t>(Byte()) << shift;
    return static_cast<int32_t>(value);
}

std::vector<uint8_t> CFuzzInput::Bytes(size_t count)
{
    const size_t taken = std::min(count, Remaining());
    std::vector<uint8_t> bytes(m_data + m_offset, m_data + m_offset + taken);
    m_offset += taken;
    return bytes;
}
