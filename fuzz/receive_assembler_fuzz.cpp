// The receive assembler fed an arbitrary byte stream in arbitrary read sizes, as the connection's
// receive loop feeds it, and compared after every step with a plain model of the same framing.
//
// Input: a schedule length n, n schedule bytes, then the stream. Schedule bytes are used in turn,
// over and over; byte s asks the next read for (s & 0x3F) + 1 bytes, 64 times that with 0x40, and
// with 0x80 the buffer gives back its spare room after the read. A complete file answer whose
// LParam is not negative is extended once by that many bytes, as the session extends an answer by
// the file behind its item list, and once complete its data is handed over. The buffer's room must
// follow the bytes that arrived, whatever the headers claim.
#include "FuzzInput.h"
#include "net/ReceiveAssembler.h"
#include "wire/Commands.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{

constexpr int32_t kHeaderSize = CCommandPacket::HeaderSize();
constexpr int32_t kLargestRead = 64 * 64;

void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "receive assembler: %s\n", what);
        std::abort();
    }
}

// The framing as the assembler documents it, on a plain vector.
class CFramingModel
{
public:
    void Append(const uint8_t* bytes, size_t count)
    {
        m_pending.insert(m_pending.end(), bytes, bytes + count);
    }

    int32_t BytesMissing()
    {
        if (!m_held)
        {
            const int32_t buffered = static_cast<int32_t>(m_pending.size());
            if (buffered < kHeaderSize)
                return kHeaderSize - buffered;
            if (!m_header.ReadFrom(m_pending.data()) || m_header.DataLen() < 0)
            {
                m_pending.clear();
                return kHeaderSize;
            }
            m_pending.erase(m_pending.begin(), m_pending.begin() + kHeaderSize);
            m_held = true;
            m_extended = false;
        }
        return std::max<int32_t>(m_header.DataLen() - static_cast<int32_t>(m_pending.size()), 0);
    }

    bool Extend(int32_t count)
    {
        if (int64_t{m_header.DataLen()} + count > INT32_MAX)
            return false;
        m_header.AddDataLen(count);
        m_extended = true;
        return true;
    }

    void Drop()
    {
        m_pending.erase(m_pending.begin(), m_pending.begin() + m_header.DataLen());
        m_held = false;
    }

    bool Held() const { return m_held; }
    bool Extended() const { return m_extended; }
    const CCommandPacket& Header() const { return m_header; }
    const std::vector<uint8_t>& Pending() const { return m_pending; }

private:
    std::vector<uint8_t> m_pending;
    CCommandPacket m_header;
    bool m_held = false;
    bool m_extended = false;
};

bool SameHeader(const CCommandPacket& first, const CCommandPacket& second)
{
    uint8_t firstBytes[kHeaderSize];
    uint8_t secondBytes[kHeaderSize];
    first.WriteTo(firstBytes);
    second.WriteTo(secondBytes);
    return std::memcmp(firstBytes, secondBytes, sizeof firstBytes) == 0;
}

void RequireSameState(CReceiveAssembler& assembler, CFramingModel& model)
{
    Require(assembler.BytesMissing() == model.BytesMissing(), "bytes missing differ");
    Require(assembler.BufferedBytes() == static_cast<int32_t>(model.Pending().size()),
            "buffered bytes differ");
    const CCommandPacket* header = assembler.Header();
    Require((header != nullptr) == model.Held(), "a header held by one only");
    if (header == nullptr)
        return;
    Require(SameHeader(*header, model.Header()), "held headers differ");
    Require(assembler.PayloadLength() == model.Header().DataLen(), "payload length is not DataLen");
    const size_t compared = std::min(model.Pending().size(), static_cast<size_t>(model.Header().DataLen()));
    Require(compared == 0 || std::memcmp(assembler.Payload(), model.Pending().data(), compared) == 0,
            "payload bytes differ");
}

// What the session does with each complete packet.
void TakeCompletePackets(CReceiveAssembler& assembler, CFramingModel& model)
{
    while (assembler.HasComplete())
    {
        Require(model.BytesMissing() == 0 && model.Held(), "complete for the assembler only");
        RequireSameState(assembler, model);
        const CCommandPacket& header = model.Header();
        if (Commands::FileRequest.Matches(header) && !model.Extended() && header.LParam() >= 0)
        {
            const int32_t count = header.LParam();
            const bool extended = assembler.Extend(count);
            Require(extended == model.Extend(count), "extension accepted by one only");
            if (extended)
                continue;
        }
        if (model.Extended())
        {
            CByteBuffer block;
            Require(assembler.TakeCurrent(block), "a complete packet was not handed over");
            const int32_t length = header.DataLen();
            Require(block.Length() >= length, "the handed-over block is short");
            Require(length == 0 ||
                        std::memcmp(block.Data(), model.Pending().data(), static_cast<size_t>(length)) == 0,
                    "handed-over bytes differ");
            Require(assembler.HasComplete() && assembler.Payload() == nullptr,
                    "a handed-over packet is not held");
        }
        assembler.DropCurrent();
        model.Drop();
    }
    RequireSameState(assembler, model);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFuzzInput input(data, size);
    std::vector<uint8_t> schedule = input.Bytes(input.Byte());
    if (schedule.empty())
        schedule.push_back(0x3F);
    const std::vector<uint8_t> stream = input.Rest();

    CReceiveAssembler assembler;
    CFramingModel model;
    size_t offset = 0;
    for (size_t turn = 0; offset < stream.size(); ++turn)
    {
        // As the connection reads: the assembler says how much the next read may write.
        const uint8_t step = schedule[turn % schedule.size()];
        const int32_t wanted = ((step & 0x3F) + 1) * ((step & 0x40) != 0 ? 64 : 1);
        int32_t room = 0;
        Require(assembler.PrepareRead(wanted, room), "no memory for a read");
        Require(room > 0 && room <= wanted, "a read got no room or more than it asked for");
        const int32_t count =
            static_cast<int32_t>(std::min(static_cast<size_t>(room), stream.size() - offset));
        CByteBuffer& buffer = assembler.Buffer();
        std::memcpy(buffer.End(), stream.data() + offset, static_cast<size_t>(count));
        Require(buffer.Grow(count), "a read did not fit its room");
        model.Append(stream.data() + offset, static_cast<size_t>(count));
        offset += static_cast<size_t>(count);
        Require(buffer.Capacity() <= 2 * (static_cast<int64_t>(offset) + kLargestRead),
                "room beyond what arrived");

        TakeCompletePackets(assembler, model);
        if ((step & 0x80) != 0)
        {
            Require(assembler.Compact(), "compacting failed");
            RequireSameState(assembler, model);
        }
    }
    return 0;
}
