#pragma once

#include <cstdint>

// The 18-byte header that precedes every packet on the wire (little-endian):
//   0 Target u16, 2 Com u16, 4 Ident u16, 6 Ack u16, 8 LParam i32, 12 DataLen i32, 16 Checksum u16.
// The checksum covers bytes 0..15 only, never the packet data. The object keeps the fields as
// plain members; WriteTo/ReadFrom convert to and from the wire bytes explicitly.
class CCommandPacket
{
public:
    // Clears the object and sets six fields; the checksum stays 0. Ack comes last on purpose:
    // commands leave it 0.
    void Set(uint16_t target, uint16_t com, uint16_t ident, int32_t lParam, int32_t dataLen,
             uint16_t ack = 0);

    // Copies the six fields into `destination` and stores there the checksum of its bytes 0..15.
    // Returns that checksum.
    uint16_t CopyTo(CCommandPacket& destination) const;
    // Copies all seven fields; true when the stored checksum matches the other fields.
    bool CopyFrom(const CCommandPacket& source);

    // Writes the seven fields as they are (stored checksum included).
    void WriteTo(uint8_t out[18]) const;
    // Reads the seven fields; true when the stored checksum matches bytes 0..15.
    bool ReadFrom(const uint8_t in[18]);
    // True when the stored checksum matches the other fields.
    bool IsValid() const;

    uint16_t Target() const { return m_target; }
    uint16_t Com() const { return m_com; }
    uint16_t Ident() const { return m_ident; }
    uint16_t Ack() const { return m_ack; }
    int32_t LParam() const { return m_lParam; }
    int32_t DataLen() const { return m_dataLen; }
    uint16_t Checksum() const { return m_checksum; }

    // An answer may announce more data than its header first said (a file behind an item list).
    // The caller keeps the sum within 32 bits.
    void AddDataLen(int32_t count) { m_dataLen += count; }

    static constexpr int HeaderSize() { return 18; }

private:
    uint16_t m_target = 0;
    uint16_t m_com = 0;
    uint16_t m_ident = 0;
    uint16_t m_ack = 0;
    int32_t m_lParam = 0;
    int32_t m_dataLen = 0;
    uint16_t m_checksum = 0;
};

// Sum of the header bytes 0..15 as unsigned bytes, modulo 65536.
uint16_t ComputeChecksum(const uint8_t* headerBytes);
