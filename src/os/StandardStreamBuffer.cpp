#include "os/StandardStreamBuffer.h"

#include <utility>

namespace os
{

namespace
{

// The length of `text` without a character at its end whose UTF-8 bytes have not all arrived.
size_t CompleteLength(const std::string& text)
{
    size_t lead = text.size();
    while (lead > 0 && text.size() - lead < 3 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80)
        --lead;
    if (lead == 0)
        return text.size();
    const unsigned char first = static_cast<unsigned char>(text[lead - 1]);
    const size_t needed = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    return text.size() - (lead - 1) < needed ? lead - 1 : text.size();
}

} // namespace

CStandardStreamBuffer::CStandardStreamBuffer(EStandardStream stream)
    : m_writer([stream](const std::string& text) { WriteStandardText(stream, text); })
{
}

CStandardStreamBuffer::CStandardStreamBuffer(Writer writer) : m_writer(std::move(writer)) {}

CStandardStreamBuffer::~CStandardStreamBuffer()
{
    sync();
}

CStandardStreamBuffer::int_type CStandardStreamBuffer::overflow(int_type character)
{
    if (traits_type::eq_int_type(character, traits_type::eof()))
        return traits_type::not_eof(character);
    m_pending += traits_type::to_char_type(character);
    WriteWhenFull();
    return character;
}

std::streamsize CStandardStreamBuffer::xsputn(const char* text, std::streamsize count)
{
    m_pending.append(text, static_cast<size_t>(count));
    WriteWhenFull();
    return count;
}

int CStandardStreamBuffer::sync()
{
    if (!m_pending.empty())
        m_writer(m_pending);
    m_pending.clear();
    return 0;
}

void CStandardStreamBuffer::WriteWhenFull()
{
    if (m_pending.size() < GatherLimit)
        return;
    const size_t complete = CompleteLength(m_pending);
    m_writer(m_pending.substr(0, complete));
    m_pending.erase(0, complete);
}

} // namespace os
