#pragma once

// Setting and removing variables of the process's environment, on POSIX and on Windows.
void SetEnvironmentValue(const char* name, const char* value);
void RemoveEnvironmentValue(const char* name);
