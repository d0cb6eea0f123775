#include "app/WindowTextTranslation.h"

#include "support/TextTranslator.h"
#include "ui/Dialog.h"

#include <cstddef>
#include <string>

namespace
{

constexpr size_t CaptionBufferSize = 260;
constexpr size_t ClassNameBufferSize = 100;

// The text as a zero-terminated buffer of `bufferSize` bytes receives it. The cut moves back to
// the start of a character, so that a UTF-8 sequence is never split.
std::string ReadIntoBuffer(const std::string& text, size_t bufferSize)
{
    if (text.size() < bufferSize)
        return text;
    size_t length = bufferSize - 1;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    return text.substr(0, length);
}

bool EqualsIgnoringCase(const std::string& text, const char* other)
{
    size_t index = 0;
    for (; index < text.size() && other[index] != '\0'; ++index)
    {
        const char left = text[index] >= 'a' && text[index] <= 'z' ? text[index] - 'a' + 'A' : text[index];
        const char right =
            other[index] >= 'a' && other[index] <= 'z' ? other[index] - 'a' + 'A' : other[index];
        if (left != right)
            return false;
    }
    return index == text.size() && other[index] == '\0';
}

} // namespace

bool TranslateWindowTexts(CDialog& window)
{
    const std::string caption = ReadIntoBuffer(window.GetWindowText(), CaptionBufferSize);
    if (!caption.empty())
        window.SetWindowText(g_translator.Translate(caption.c_str()));

    return window.EnumChildWindows(
        [&window](int child)
        {
            const std::string className =
                ReadIntoBuffer(window.GetChildClassName(child), ClassNameBufferSize);
            if (!EqualsIgnoringCase(className, "BUTTON") && !EqualsIgnoringCase(className, "STATIC"))
                return true;
            const std::string text = ReadIntoBuffer(window.GetChildText(child), CaptionBufferSize);
            if (!text.empty())
                window.SetChildText(child, g_translator.Translate(text.c_str()));
            return true;
        });
}
