#pragma once

// True when a Windows test program runs under Wine rather than on Windows. Only for the few places
// where Wine is known to behave differently from Windows; such a test says why it stops there.
bool RunsUnderWine();
