#pragma once

#include "app/SetupFileStore.h"

#include <string>

class CDemoTranscript;

// Saves and removes like the file system store, and tells the transcript about it; each saved file
// is compared with the recorder's own copy of it.
class CDemoFileStore : public CSetupFileStore
{
public:
    CDemoFileStore(CDemoTranscript& transcript, std::string recorderFolder);

    int64_t Save(const char* path, const uint8_t* data, int32_t length) override;
    bool Remove(const char* path) override;

    int IdenticalSaves() const { return m_identicalSaves; }
    int Removals() const { return m_removals; }

private:
    CDemoTranscript& m_transcript;
    std::string m_recorderFolder;
    int m_identicalSaves = 0;
    int m_removals = 0;
};
