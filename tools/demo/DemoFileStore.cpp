#include "DemoFileStore.h"

#include "DemoTranscript.h"

#include <fstream>
#include <sstream>

namespace
{

bool ReadFile(const std::string& path, std::string& content)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    content = bytes.str();
    return true;
}

std::string BaseName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

CDemoFileStore::CDemoFileStore(CDemoTranscript& transcript, std::string recorderFolder)
    : m_transcript(transcript), m_recorderFolder(std::move(recorderFolder))
{
}

int64_t CDemoFileStore::Save(const char* path, const uint8_t* data, int32_t length)
{
    const int64_t written = CSetupFileStore::Save(path, data, length);
    if (written != length)
    {
        m_transcript.Problem(std::string("could not save ") + path);
        return written;
    }
    std::string saved;
    std::string original;
    const bool identical = ReadFile(path, saved) &&
                           ReadFile(m_recorderFolder + "/" + BaseName(path), original) && saved == original;
    const std::string summary = std::string(path) + " (" + std::to_string(length) + " bytes)";
    if (identical)
    {
        ++m_identicalSaves;
        m_transcript.Line("file saved", summary + ", identical to the recorder's copy");
    }
    else
    {
        m_transcript.Problem("saved " + summary + " differs from the recorder's copy");
    }
    return written;
}

bool CDemoFileStore::Remove(const char* path)
{
    const bool removed = CSetupFileStore::Remove(path);
    if (removed)
    {
        ++m_removals;
        m_transcript.Line("file removed", path);
    }
    else
    {
        m_transcript.Problem(std::string("could not remove ") + path);
    }
    return removed;
}
