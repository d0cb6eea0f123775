#include "wire/CommandPacket.h"

#include "support/LittleEndian.h"

uint16_t ComputeChecksum(const uint8_t* headerBytes)
{
    uint32_t sum = 0;
    for (int i = 0; i < 16; ++i)
        sum += headerBytes[i];
    return static_cast<uint16_t>(sum);
}

void CCommandPacket::Set(uint16_t target, uint16_t com, uint16_t ident, int32_t lParam, int32_t dataLen,
                         uint16_t ack)
{
    *this = CCommandPacket();
    m_target = target;
    m_com = com;
    m_ident = ident;
    m_ack = ack;
    m_lParam = lParam;
    m_dataLen = dataLen;
}

uint16_t CCommandPacket::CopyTo(CCommandPacket& destination) const
{
    destination.m_target = m_target;
    destination.m_com = m_com;
    destination.m_ident = m_ident;
    destination.m_ack = m_ack;
    destination.m_lParam = m_lParam;
    destination.m_dataLen = m_dataLen;
    uint8_t bytes[18];
    destination.WriteTo(bytes);
    destination.m_checksum = ComputeChecksum(bytes);
    return destination.m_checksum;
}

bool CCommandPacket::CopyFrom(const CCommandPacket& source)
{
    *this = source;
    return IsValid();
}

void CCommandPacket::WriteTo(uint8_t out[18]) const
{
    WriteUint16LE(out + 0, m_target);
    WriteUint16LE(out + 2, m_com);
    WriteUint16LE(out + 4, m_ident);
    WriteUint16LE(out + 6, m_ack);
    WriteInt32LE(out + 8, m_lParam);
    WriteInt32LE(out + 12, m_dataLen);
    WriteUint16LE(out + 16, m_checksum);
}

bool CCommandPacket::ReadFrom(const uint8_t in[18])
{
    m_target = ReadUint16LE(in + 0);
    m_com = ReadUint16LE(in + 2);
    m_ident = ReadUint16LE(in + 4);
    m_ack = ReadUint16LE(in + 6);
    m_lParam = ReadInt32LE(in + 8);
    m_dataLen = ReadInt32LE(in + 12);
    m_checksum = ReadUint16LE(in + 16);
    return ComputeChecksum(in) == m_checksum;
}

bool CCommandPacket::IsValid() const
{
    uint8_t bytes[18];
    WriteTo(bytes);
    return ComputeChecksum(bytes) == m_checksum;
}
