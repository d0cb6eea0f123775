#pragma once

#include <cstdint>

// The classic C runtime's linear congruential generator, unseeded. Implemented here rather than
// taken from the library so that the generated background is the same on every platform.
class CPseudoRandom
{
public:
    static constexpr int MaxValue = 32767;

    CPseudoRandom() = default;

    // The next draw, 0 to MaxValue.
    int Next();

private:
    uint32_t m_state = 1;
};
