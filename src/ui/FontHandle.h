#pragma once

// A backend's font, passed through the portable code without being looked at.
struct SFontHandle
{
    const void* native = nullptr;
};
