#include "TimedFileStore.h"

int64_t CTimedFileStore::Save(const char* path, const uint8_t* data, int32_t length)
{
    m_beforeSave = SProcessUsage::Now();
    m_saveStarted = m_beforeSave.monotonicMicroseconds;
    m_written = CSetupFileStore::Save(path, data, length);
    m_onDisk = SProcessUsage::Now();
    ++m_saves;
    return m_written;
}
