#pragma once

// Whole decimal numbers given as command-line values. False for a null or empty text, anything after
// the digits, a number too large to read, or one outside [minimum, maximum]; `value` is then unchanged.
bool ParseCommandLineNumber(const char* text, long long minimum, long long maximum, long long& value);
bool ParseCommandLineNumber(const char* text, int minimum, int maximum, int& value);
