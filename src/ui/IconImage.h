#pragma once

#include <cstddef>
#include <cstdint>

// One size of an icon, as PNG bytes.
struct SIconImage
{
    int size;
    const uint8_t* png;
    size_t length;
};
