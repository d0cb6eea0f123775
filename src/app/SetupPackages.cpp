#include "app/SetupPackages.h"

#include <cctype>

namespace
{

const char RemotePathFormat[] = "/home/depot/software/%s";

bool EqualIgnoringCase(const char* left, const char* right)
{
    for (; *left != '\0' && *right != '\0'; ++left, ++right)
    {
        if (std::tolower(static_cast<unsigned char>(*left)) !=
            std::tolower(static_cast<unsigned char>(*right)))
            return false;
    }
    return *left == *right;
}

} // namespace

int CSetupPackages::Find(const char* name)
{
    for (int index = 0; index < Count; ++index)
    {
        if (name != nullptr && EqualIgnoringCase(All[index].name, name))
            return index;
    }
    return -1;
}

CRefString CSetupPackages::RemotePath(const char* setupFileName)
{
    CRefString path;
    path.Format(RemotePathFormat, setupFileName);
    return path;
}
