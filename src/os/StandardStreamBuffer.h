#pragma once

#include "os/Terminal.h"

#include <functional>
#include <streambuf>
#include <string>

namespace os
{

// The buffer of a C++ output stream that writes through WriteStandardText, so that what a program
// writes with `<<` reaches a Windows console as UTF-16 too. Text goes out at every flush, and
// before then once 4 KiB have gathered, never with a character cut in two.
class CStandardStreamBuffer : public std::streambuf
{
public:
    using Writer = std::function<void(const std::string& text)>;

    explicit CStandardStreamBuffer(EStandardStream stream);
    // For tests: the pieces go to `writer` instead.
    explicit CStandardStreamBuffer(Writer writer);
    CStandardStreamBuffer(const CStandardStreamBuffer&) = delete;
    CStandardStreamBuffer& operator=(const CStandardStreamBuffer&) = delete;
    // What is left goes out.
    ~CStandardStreamBuffer() override;

protected:
    int_type overflow(int_type character) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    static constexpr size_t GatherLimit = 4096;

    void WriteWhenFull();

    Writer m_writer;
    std::string m_pending;
};

} // namespace os
