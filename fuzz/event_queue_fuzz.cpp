// The event queue under a sequence of posts and pops, compared after every step with a plain
// list of the events posted.
//
// Input: operations until it runs out. An operation byte o: o % 5 < 2 posts (type, code, then a
// length byte l: l < 0xF0 means that many payload bytes from the input, 0xF0..0xFD the same length
// with no payload given, 0xFE a negative length, 0xFF one that no 32-bit block can hold); 2 pops;
// 3 releases the block; 4 hands a block over (type, code, the payload's offset in the block
// (byte % 32), a length byte, and a byte whose low bit claims one payload byte more than the block
// holds).
#include "FuzzInput.h"
#include "net/ByteBuffer.h"
#include "protocol/EventQueue.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

namespace
{

void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "event queue: %s\n", what);
        std::abort();
    }
}

struct SEvent
{
    int32_t type;
    int32_t code;
    std::vector<uint8_t> payload;
};

void RequireSame(const CEventQueue& queue, const std::deque<SEvent>& expected)
{
    Require(queue.HasEvents() == !expected.empty(), "events where none are, or none where some are");
    Require((queue.UsedLength() == 0) == expected.empty(), "used length without events");
    Require(queue.Capacity() >= queue.UsedLength() && queue.HeldBytes() >= queue.Capacity(),
            "used beyond what is held");
    const uint8_t* front = queue.Front();
    Require((front != nullptr) == !expected.empty(), "front missing or too many");
    if (front == nullptr)
    {
        Require(queue.HeldBytes() <= CEventQueue::RetainedCapacity, "an empty queue holds on to memory");
        return;
    }
    const SEvent& first = expected.front();
    const SEventRecord record = CEventQueue::Read(front);
    Require(record.type == first.type, "type differs");
    Require(record.code == first.code, "code differs");
    Require(record.length == static_cast<int32_t>(first.payload.size()), "length differs");
    const uint8_t* payload = record.payload;
    Require((payload == nullptr) == first.payload.empty(), "payload missing or too many");
    Require(payload == nullptr || std::memcmp(payload, first.payload.data(), first.payload.size()) == 0,
            "payload differs");
}

void Post(CFuzzInput& input, CEventQueue& queue, std::deque<SEvent>& expected)
{
    SEvent event{input.Int32(), input.Int32(), {}};
    const uint8_t lengthByte = input.Byte();
    if (lengthByte == 0xFE || lengthByte == 0xFF)
    {
        // Neither a negative length nor one past a 32-bit block may change anything.
        static const uint8_t someBytes[1] = {};
        const int32_t length =
            lengthByte == 0xFE ? -1 - input.Byte() : INT32_MAX - input.Byte() % CEventQueue::EventHeaderSize;
        Require(!queue.Post(event.type, event.code, length, someBytes), "an impossible length was posted");
        return;
    }
    const bool withPayload = lengthByte < 0xF0;
    const int32_t length = withPayload ? lengthByte : lengthByte - 0xF0;
    if (withPayload)
        event.payload = input.Bytes(static_cast<size_t>(length));
    const int32_t posted = withPayload ? static_cast<int32_t>(event.payload.size()) : length;
    const bool accepted =
        queue.Post(event.type, event.code, posted, withPayload ? event.payload.data() : nullptr);
    Require(accepted == (event.type != CEventQueue::ReservedType),
            "a post failed, or the queue's own type was posted");
    if (accepted)
        expected.push_back(std::move(event));
}

void HandOver(CFuzzInput& input, CEventQueue& queue, std::deque<SEvent>& expected)
{
    SEvent event{input.Int32(), input.Int32(), {}};
    const int32_t offset = input.Byte() % 32;
    event.payload = input.Bytes(input.Byte());
    const int32_t payloadLength = static_cast<int32_t>(event.payload.size());
    const int32_t claimed = payloadLength + (input.Byte() & 1);

    CByteBuffer block;
    Require(block.Reserve(offset + payloadLength), "no block to hand over");
    if (offset > 0)
        std::memset(block.End(), 0, static_cast<size_t>(offset));
    if (payloadLength > 0)
        std::memcpy(block.End() + offset, event.payload.data(), event.payload.size());
    block.Grow(offset + payloadLength);
    const uint8_t* before = block.Data();

    const bool valid = event.type != CEventQueue::ReservedType && offset >= CEventQueue::EventHeaderSize &&
                       claimed == payloadLength;
    const bool accepted = queue.PostHandedOver(event.type, event.code, block, offset, claimed);
    Require(accepted == valid, "a hand-over was refused, or an impossible one taken");
    if (accepted)
    {
        Require(block.Data() == nullptr && block.Length() == 0,
                "the handed-over block stayed with its giver");
        expected.push_back(std::move(event));
    }
    else
    {
        Require(block.Data() == before && block.Length() == offset + payloadLength,
                "a refused block changed");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFuzzInput input(data, size);
    CEventQueue queue;
    std::deque<SEvent> expected;
    while (!input.Empty())
    {
        switch (input.Byte() % 5)
        {
        case 0:
        case 1:
            Post(input, queue, expected);
            break;
        case 2:
            queue.Pop();
            if (!expected.empty())
                expected.pop_front();
            break;
        case 3:
            queue.Release();
            expected.clear();
            break;
        default:
            HandOver(input, queue, expected);
            break;
        }
        RequireSame(queue, expected);
    }
    return 0;
}
