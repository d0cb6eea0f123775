#include "ScratchDirectory.h"
#include "os/StandardStreamBuffer.h"
#include "os/Terminal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <vector>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace
{

const std::string German = "Verbindung besteht. Die Ger\xc3\xa4tedaten werden ermittelt.\n"
                           "\xc3\x96"
                           "ffnen des Files schlug fehl!\n";

// A console is tried by quorvel-console-probe (terminal_console_test.cpp), a pipe by quorvel-fetch's
// German run (fetch_program_test.cpp). The file is binary: the runtime adds no CR on Windows.
TEST(StandardText, AFileGetsTheUtf8Bytes)
{
    CScratchDirectory scratch;
    const std::string path = scratch / "output";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fflush(stdout);
    const int saved = dup(1);
    dup2(fileno(file), 1);
    const bool terminal = os::IsTerminal(os::EStandardStream::Output);
    os::WriteStandardText(os::EStandardStream::Output, German);
    dup2(saved, 1);
    close(saved);
    std::fclose(file);
    EXPECT_FALSE(terminal);
    const std::vector<uint8_t> written = ReadWholeFile(path);
    EXPECT_EQ(std::string(written.begin(), written.end()), German);
}

// Pieces leave when 4 KiB have gathered, each made of whole characters (one, two, three and four
// bytes long), the rest at the end.
TEST(StandardText, TheStreamBufferCutsNoCharacterInTwo)
{
    std::string text;
    for (int repeat = 0; repeat < 3000; ++repeat)
        text += "x\xc3\xa4\xe2\x82\xac\xf0\x9f\x98\x80";
    std::vector<std::string> pieces;
    {
        os::CStandardStreamBuffer buffer([&pieces](const std::string& piece) { pieces.push_back(piece); });
        std::ostream stream(&buffer);
        for (const char character : text)
            stream.put(character);
        EXPECT_GE(pieces.size(), 5u);
    }
    std::string joined;
    for (const std::string& piece : pieces)
    {
        EXPECT_NE(static_cast<unsigned char>(piece.front()) & 0xC0, 0x80)
            << "a piece begins inside a character";
        joined += piece;
    }
    EXPECT_EQ(joined, text);
}

} // namespace
