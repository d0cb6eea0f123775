#pragma once

struct SStringResource
{
    int id;
    const char* text;
};
