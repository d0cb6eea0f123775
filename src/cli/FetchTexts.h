#pragma once

#include "support/PrintfFormat.h"

// The few texts that only quorvel-fetch shows, in German and English. Everything else it shows comes
// from the program's translator, so that it reads as the window does.
class CFetchTexts
{
public:
    // The display language's text for `german`: from this table, else from the translator.
    static const char* Translate(const char* german) QUORVEL_FORMAT_ARG(1);
};
