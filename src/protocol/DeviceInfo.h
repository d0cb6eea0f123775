#pragma once

#include <cstdint>
#include <string>

// What the recorder told us about itself and about us: the texts of items 1 and 3 and the version
// text of item 4 (converted from the recorder's CP850 to UTF-8), the switch of item 2, the protocol
// version code derived from item 4, and the user level the login was granted. The session writes it;
// quorvel-fetch --info shows it.
class CDeviceInfo
{
public:
    // The version code assumed until a version text says otherwise: the item-list login and the
    // full device-information sequence, which every current recorder expects.
    static constexpr int32_t DefaultVersionCode = 6;
    static constexpr int32_t VuzVersionCode = 10;

    enum class VersionParse
    {
        Parsed,          // `code` holds the version code
        BelowThresholds, // well-formed but older than any known version; `code` untouched
        Malformed,       // a third point or a character that is neither digit nor point
    };

    // Maps the version text of item 4 (`length` bytes, read up to the first NUL) to its code:
    // "VUZ..." (more than 3 bytes) is 10; a.b.c by the value 10000a + 100b + c against the known
    // thresholds. Numbers with absurdly many digits saturate instead of overflowing.
    static VersionParse VersionCodeFromText(const uint8_t* text, int32_t length, int32_t& code);

    // Frees both texts and returns to the start values.
    void Clear();

    // `length` bytes of CP850 text, up to the first NUL, stored as UTF-8; a later one replaces it.
    void SetFirstText(const uint8_t* text, int32_t length);
    void SetThirdText(const uint8_t* text, int32_t length);
    void SetVersionText(const uint8_t* text, int32_t length);
    void SetSwitch(bool on) { m_switchOn = on; }
    void SetVersionCode(int32_t code) { m_versionCode = code; }
    void SetUserLevel(int32_t level) { m_userLevel = level; }

    // Null until the item has been received.
    const char* FirstText() const { return m_hasFirstText ? m_firstText.c_str() : nullptr; }
    const char* ThirdText() const { return m_hasThirdText ? m_thirdText.c_str() : nullptr; }
    const char* VersionText() const { return m_hasVersionText ? m_versionText.c_str() : nullptr; }
    bool SwitchOn() const { return m_switchOn; }
    int32_t VersionCode() const { return m_versionCode; }
    // NoUserLevel until a login was accepted.
    int32_t UserLevel() const { return m_userLevel; }

    static constexpr int32_t NoUserLevel = -1;

private:
    static std::string FromRecorderText(const uint8_t* text, int32_t length);

    std::string m_firstText;
    bool m_hasFirstText = false;
    std::string m_thirdText;
    bool m_hasThirdText = false;
    std::string m_versionText;
    bool m_hasVersionText = false;
    bool m_switchOn = false;
    int32_t m_versionCode = DefaultVersionCode;
    int32_t m_userLevel = NoUserLevel;
};
