#include "ui/PaletteImageConverter.h"

#include <cstring>

namespace
{

constexpr int ColourCount = 256;
constexpr size_t ColourEntrySize = 4;
constexpr size_t ColourTableSize = ColourCount * ColourEntrySize;

size_t Stride(int width)
{
    return ((static_cast<size_t>(width) * 8 + 31) / 32) * 4;
}

bool HeadersEqual(const SBitmapInfoHeader& first, const SBitmapInfoHeader& second)
{
    return std::memcmp(&first, &second, sizeof first) == 0;
}

} // namespace

bool CPaletteImageConverter::IsKept(const SBitmapInfoHeader& header, const uint8_t* colourTable,
                                    const uint8_t* pixels) const
{
    if (!HasImage() || !HeadersEqual(header, m_header))
        return false;
    return std::memcmp(m_source.data(), colourTable, ColourTableSize) == 0 &&
           std::memcmp(m_source.data() + ColourTableSize, pixels, m_source.size() - ColourTableSize) == 0;
}

bool CPaletteImageConverter::Convert(const SBitmapInfoHeader& header, const uint8_t* colourTable,
                                     const uint8_t* pixels)
{
    if (header.bitsPerPixel != 8 || header.width <= 0 || header.height <= 0 || colourTable == nullptr ||
        pixels == nullptr)
    {
        m_header = SBitmapInfoHeader{};
        m_source.clear();
        m_rgb.clear();
        return false;
    }
    if (IsKept(header, colourTable, pixels))
        return false;

    const auto width = static_cast<size_t>(header.width);
    const auto height = static_cast<size_t>(header.height);
    const size_t stride = Stride(header.width);
    m_header = header;
    m_source.assign(colourTable, colourTable + ColourTableSize);
    m_source.insert(m_source.end(), pixels, pixels + stride * height);
    m_rgb.resize(width * height * 3);
    for (size_t row = 0; row < height; ++row)
    {
        // Rows are stored bottom row first.
        const uint8_t* source = pixels + (height - 1 - row) * stride;
        uint8_t* target = m_rgb.data() + row * width * 3;
        for (size_t column = 0; column < width; ++column)
        {
            const uint8_t* entry = colourTable + ColourEntrySize * source[column];
            target[3 * column + 0] = entry[2];
            target[3 * column + 1] = entry[1];
            target[3 * column + 2] = entry[0];
        }
    }
    ++m_conversions;
    return true;
}
