#pragma once

#include "protocol/EventRecords.h"

// What a progress event shows for the file it belongs to: the line
// "<name>: <done> / <total> KB ( <percent>% )" and the bar's position from 0 to 100.
class CProgressReport
{
public:
    static constexpr int BarLower = 0;
    static constexpr int BarUpper = 100;

    CProgressReport(const char* fileName, const SProgressRecord& progress);

    const char* Text() const { return m_text; }
    int BarPosition() const { return m_barPosition; }

private:
    static constexpr int TextBufferSize = 1024;

    char m_text[TextBufferSize];
    int m_barPosition;
};
