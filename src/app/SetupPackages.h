#pragma once

#include "support/RefString.h"

// The packages a recorder offers, in the order they are fetched, and where each setup file lies on
// the recorder. The dialog ticks them in check boxes; quorvel-fetch names them on its command line.
class CSetupPackages
{
public:
    struct SPackage
    {
        const char* name;          // as the operator knows it, "Varnox"
        const char* setupFileName; // on the recorder and in the temporary directory
    };

    static constexpr SPackage All[] = {
        {"Varnox", "varnoxsetup.exe"},
        {"Kellid", "kellidsetup.exe"},
    };
    static constexpr int Count = static_cast<int>(sizeof All / sizeof All[0]);

    // The index of the package named `name`, in any letter case, or -1.
    static int Find(const char* name);
    // The recorder's path of a setup file: "/home/depot/software/<setupFileName>".
    static CRefString RemotePath(const char* setupFileName);
};
