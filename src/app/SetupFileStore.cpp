#include "app/SetupFileStore.h"

#include "os/Files.h"

namespace
{

CSetupFileStore* g_currentStore = nullptr;

} // namespace

CSetupFileStore::CSetupFileStore() : m_previous(g_currentStore)
{
    g_currentStore = this;
}

CSetupFileStore::~CSetupFileStore()
{
    if (g_currentStore == this)
        g_currentStore = m_previous;
}

CSetupFileStore& CSetupFileStore::Current()
{
    if (g_currentStore != nullptr)
        return *g_currentStore;
    static CSetupFileStore fileSystem;
    return fileSystem;
}

int64_t CSetupFileStore::Save(const char* path, const uint8_t* data, int32_t length)
{
    const os::FileHandle file = os::CreateFileForWriting(path);
    if (file == os::InvalidFile)
        return NotCreated;
    int64_t written = os::WriteToFile(file, data, length);
    // A failing close may have lost what the write accepted.
    if (!os::CloseFile(file))
        written = 0;
    return written;
}

bool CSetupFileStore::Remove(const char* path)
{
    return os::RemoveFile(path);
}

CSetupFileStore::ESaveOutcome CSetupFileStore::SaveWhole(const char* path, const uint8_t* data,
                                                         int32_t length)
{
    const int64_t written = Save(path, data, length);
    if (written == NotCreated)
        return ESaveOutcome::NotCreated;
    if (written < length)
    {
        Remove(path);
        return ESaveOutcome::WrittenShort;
    }
    return ESaveOutcome::Saved;
}
