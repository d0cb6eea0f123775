// The item-list reader on arbitrary blocks, and lists written by the writer read back.
//
// Input: a mode byte; bits 0-2 give how many accepted tags (16-bit) follow, 5 and more meaning no
// list of accepted tags at all. With bit 3 clear the rest is the block the reader walks; with bit 3
// set the rest is a sequence of items (tag, a length byte, that many value bytes) that the writer
// puts into a list and the reader must give back unchanged.
#include "FuzzInput.h"
#include "wire/ItemListReader.h"
#include "wire/ItemListWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{

constexpr int32_t kItemHeaderSize = 4;

void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "item list: %s\n", what);
        std::abort();
    }
}

// Walks the list as the session does, checking that nothing handed out lies outside the block.
void WalkBlock(const std::vector<uint8_t>& block, const std::vector<uint16_t>& accepted, bool withAccepted)
{
    const uint8_t* data = block.empty() ? nullptr : block.data();
    const int32_t total = static_cast<int32_t>(block.size());
    CItemListReader reader;
    const bool opened =
        reader.Open(data, total, withAccepted ? accepted.data() : nullptr, static_cast<int>(accepted.size()));
    Require(opened == (reader.ItemCount() > 0), "opened without items");
    Require(reader.ValueItemCount() <= reader.ItemCount(), "more value items than items");
    if (!opened)
        return;
    Require(reader.Offset() == 0, "opened away from the start");

    int32_t steps = 0;
    for (; reader.Tag() != CItemListReader::EndTag; reader.Next())
    {
        const int32_t offset = reader.Offset();
        Require(offset >= 0 && offset + kItemHeaderSize + reader.Length() <= total,
                "item runs past the block");
        const uint8_t* value = reader.Value();
        Require((value == nullptr) == (reader.Length() == 0), "value and length disagree");
        Require(value == nullptr || value == data + offset + kItemHeaderSize,
                "value is not behind its header");
        Require(++steps <= total / kItemHeaderSize, "the walk does not advance");
    }
    reader.Next();
    Require(reader.Offset() >= 0 && reader.Offset() <= total, "offset outside the block");
    reader.Close();
}

struct SItem
{
    uint16_t tag;
    std::vector<uint8_t> value;
};

void RoundTrip(CFuzzInput& input)
{
    std::vector<SItem> items;
    CItemListWriter writer;
    while (!input.Empty())
    {
        SItem item;
        item.tag = input.Uint16();
        item.value = input.Bytes(input.Byte());
        Require(writer.Add(item.tag, static_cast<uint16_t>(item.value.size()), item.value.data()),
                "the writer refused an item");
        items.push_back(std::move(item));
    }
    if (items.empty())
        return;

    CItemListReader reader;
    Require(reader.Open(writer.Data(), writer.Length(), nullptr, 0), "a written list does not open");
    for (const SItem& item : items)
    {
        // An item with the end marker's tag ends the list for every reader.
        if (item.tag == CItemListReader::EndTag)
            break;
        Require(reader.Tag() == item.tag, "tag changed");
        Require(reader.Length() == item.value.size(), "length changed");
        Require(item.value.empty() || std::memcmp(reader.Value(), item.value.data(), item.value.size()) == 0,
                "value changed");
        reader.Next();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFuzzInput input(data, size);
    const uint8_t mode = input.Byte();
    if ((mode & 0x08) != 0)
    {
        RoundTrip(input);
        return 0;
    }
    const int tagCount = mode & 0x07;
    const bool withAccepted = tagCount < 5;
    std::vector<uint16_t> accepted;
    for (int i = 0; withAccepted && i < tagCount; ++i)
        accepted.push_back(input.Uint16());
    WalkBlock(input.Rest(), accepted, withAccepted);
    return 0;
}
