#pragma once

#include "wire/Commands.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Well-formed wire bytes for the scripted recorder and the seed corpora.

// A packet as the recorder sends it: the header with its checksum, then `data`.
std::vector<uint8_t> PacketBytes(const SCommand& command, uint16_t ident, uint16_t ack, int32_t lParam,
                                 const std::vector<uint8_t>& data = {});
// An item list of (tag, value) pairs with its end marker.
std::vector<uint8_t> ItemListBytes(const std::vector<std::pair<uint16_t, std::vector<uint8_t>>>& items);
// A text item's value: the bytes with their NUL.
std::vector<uint8_t> TextValue(const std::string& text);
std::vector<uint8_t> Int32Value(int32_t value);
// Sets every header checksum in a stream read as back-to-back packets: a header, then as many data
// bytes as its DataLen says (what is left when it says more, none when it is negative).
void RepairChecksums(std::vector<uint8_t>& stream);
