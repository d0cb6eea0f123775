#pragma once

#include <cstdint>

// Where the dialog saves downloaded setup files and removes them again: the file system, unless a
// store of a derived class exists, which takes over for its lifetime (tests use that to make a
// disk run full). The most recently constructed store that still exists is the current one.
class CSetupFileStore
{
public:
    // The amount Save reports when the file cannot be created at all.
    static constexpr int64_t NotCreated = -1;

    enum class ESaveOutcome
    {
        Saved,
        NotCreated,
        // Written short (a full disk) and removed again.
        WrittenShort,
    };

    CSetupFileStore();
    CSetupFileStore(const CSetupFileStore&) = delete;
    CSetupFileStore& operator=(const CSetupFileStore&) = delete;
    virtual ~CSetupFileStore();

    static CSetupFileStore& Current();

    // Creates or truncates the file, writes `length` bytes with one write and closes it; the number
    // of bytes written, or NotCreated.
    virtual int64_t Save(const char* path, const uint8_t* data, int32_t length);
    virtual bool Remove(const char* path);
    // Save, and a file written short is removed again: a partial setup must not be left where it
    // could be started.
    ESaveOutcome SaveWhole(const char* path, const uint8_t* data, int32_t length);

private:
    CSetupFileStore* m_previous;
};
