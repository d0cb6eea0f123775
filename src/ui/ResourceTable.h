#pragma once

#include "ui/DialogTemplate.h"
#include "ui/IconResource.h"
#include "ui/StringResource.h"

// An application's resources as data: dialog templates, strings and icons by id, and the title
// that message boxes carry.
class CResourceTable
{
public:
    template <int DialogCount, int StringCount, int IconCount>
    CResourceTable(const char* appTitle, const SDialogTemplate (&dialogs)[DialogCount],
                   const SStringResource (&strings)[StringCount], const SIconResource (&icons)[IconCount])
        : m_appTitle(appTitle), m_dialogs(dialogs), m_dialogCount(DialogCount), m_strings(strings),
          m_stringCount(StringCount), m_icons(icons), m_iconCount(IconCount)
    {
    }

    const char* AppTitle() const { return m_appTitle; }
    // Null when there is no such template.
    const SDialogTemplate* FindDialog(int id) const;
    // The empty text when there is no such string.
    const char* LoadString(int id) const;
    // Null when there is no such icon.
    const SIconResource* LoadIcon(int id) const;

private:
    const char* m_appTitle;
    const SDialogTemplate* m_dialogs;
    int m_dialogCount;
    const SStringResource* m_strings;
    int m_stringCount;
    const SIconResource* m_icons;
    int m_iconCount;
};
