#include "protocol/DeviceInfo.h"

#include "support/TextCodec.h"

namespace
{

// Version value (10000a + 100b + c) from which each code applies, lowest first.
const struct
{
    int64_t minimumValue;
    int32_t code;
} kVersionThresholds[] = {
    {10100, 0}, {20000, 1}, {20030, 2}, {20050, 3}, {20060, 4},
    {20070, 5}, {20080, 6}, {20090, 7}, {20100, 8},
};

// Far above every threshold, yet small enough that 10000a + 100b + c fits 64 bits.
constexpr int64_t kSaturatedNumber = 1000000000;

} // namespace

CDeviceInfo::VersionParse CDeviceInfo::VersionCodeFromText(const uint8_t* text, int32_t length, int32_t& code)
{
    if (text == nullptr || length < 0)
        length = 0;
    int32_t start = 0;
    const bool vuz = length > 3 && text[0] == 'V' && text[1] == 'U' && text[2] == 'Z';
    if (vuz)
        start = 3;

    int64_t numbers[3] = {0, 0, 0};
    int index = 0;
    for (int32_t i = start; i < length && text[i] != '\0'; ++i)
    {
        const uint8_t c = text[i];
        if (c == '.')
        {
            if (++index > 2)
                return VersionParse::Malformed;
        }
        else if (c >= '0' && c <= '9')
        {
            numbers[index] = numbers[index] * 10 + (c - '0');
            if (numbers[index] > kSaturatedNumber)
                numbers[index] = kSaturatedNumber;
        }
        else
        {
            return VersionParse::Malformed;
        }
    }

    if (vuz)
    {
        code = VuzVersionCode;
        return VersionParse::Parsed;
    }
    const int64_t value = numbers[0] * 10000 + numbers[1] * 100 + numbers[2];
    bool reached = false;
    for (const auto& threshold : kVersionThresholds)
    {
        if (value >= threshold.minimumValue)
        {
            code = threshold.code;
            reached = true;
        }
    }
    return reached ? VersionParse::Parsed : VersionParse::BelowThresholds;
}

void CDeviceInfo::Clear()
{
    m_firstText.clear();
    m_firstText.shrink_to_fit();
    m_hasFirstText = false;
    m_thirdText.clear();
    m_thirdText.shrink_to_fit();
    m_hasThirdText = false;
    m_versionText.clear();
    m_versionText.shrink_to_fit();
    m_hasVersionText = false;
    m_switchOn = false;
    m_versionCode = DefaultVersionCode;
    m_userLevel = NoUserLevel;
}

std::string CDeviceInfo::FromRecorderText(const uint8_t* text, int32_t length)
{
    int32_t used = 0;
    while (text != nullptr && used < length && text[used] != '\0')
        ++used;
    return CTextCodec::Cp850ToUtf8(text, static_cast<size_t>(used));
}

void CDeviceInfo::SetFirstText(const uint8_t* text, int32_t length)
{
    m_firstText = FromRecorderText(text, length);
    m_hasFirstText = true;
}

void CDeviceInfo::SetThirdText(const uint8_t* text, int32_t length)
{
    m_thirdText = FromRecorderText(text, length);
    m_hasThirdText = true;
}

void CDeviceInfo::SetVersionText(const uint8_t* text, int32_t length)
{
    m_versionText = FromRecorderText(text, length);
    m_hasVersionText = true;
}
