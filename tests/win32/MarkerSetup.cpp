// A stand-in setup for the end-to-end test: writes "<own name>.marker" into its current directory,
// holding its own full path, and ends. Served under the two setup names, it proves that Quorvel
// really started each saved file, with the temporary directory as working directory.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t path[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0)
        return 1;
    std::wstring name(path);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    name = name.substr(0, name.find_last_of(L'.'));
    FILE* marker = _wfopen((name + L".marker").c_str(), L"w");
    if (marker == nullptr)
        return 1;
    std::fputws(path, marker);
    std::fclose(marker);
    return 0;
}
