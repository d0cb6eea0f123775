#pragma once

#include "ProcessUsage.h"
#include "app/SetupFileStore.h"

#include <cstdint>

// Saves like the file system store and notes when the save began and what the process had used
// when the file was on disk.
class CTimedFileStore : public CSetupFileStore
{
public:
    int64_t Save(const char* path, const uint8_t* data, int32_t length) override;

    bool HasSaved() const { return m_saves > 0; }
    int Saves() const { return m_saves; }
    int64_t Written() const { return m_written; }
    int64_t SaveStartedMicroseconds() const { return m_saveStarted; }
    // CPU seconds the save itself took (creating, writing and closing the file).
    double SaveCpuSeconds() const { return m_onDisk.cpuSeconds - m_beforeSave.cpuSeconds; }
    // Taken right after the file was written and closed.
    const SProcessUsage& UsageOnDisk() const { return m_onDisk; }

private:
    int m_saves = 0;
    int64_t m_written = 0;
    int64_t m_saveStarted = 0;
    SProcessUsage m_beforeSave;
    SProcessUsage m_onDisk;
};
