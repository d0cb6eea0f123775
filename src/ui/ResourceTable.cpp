#include "ui/ResourceTable.h"

const SDialogTemplate* CResourceTable::FindDialog(int id) const
{
    for (int index = 0; index < m_dialogCount; ++index)
    {
        if (m_dialogs[index].id == id)
            return &m_dialogs[index];
    }
    return nullptr;
}

const char* CResourceTable::LoadString(int id) const
{
    for (int index = 0; index < m_stringCount; ++index)
    {
        if (m_strings[index].id == id)
            return m_strings[index].text;
    }
    return "";
}

const SIconResource* CResourceTable::LoadIcon(int id) const
{
    for (int index = 0; index < m_iconCount; ++index)
    {
        if (m_icons[index].id == id)
            return &m_icons[index];
    }
    return nullptr;
}
