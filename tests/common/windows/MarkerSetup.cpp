// quorvel-marker-setup, the stand-in setup (CStandInSetup): writes "<own name>.marker" into its
// current directory, holding its own full path in UTF-8, and ends.
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
    char utf8[4 * MAX_PATH] = {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8, sizeof utf8, nullptr, nullptr);
    FILE* marker = _wfopen((name + L".marker").c_str(), L"wb");
    if (marker == nullptr || length <= 0)
        return 1;
    const bool written =
        std::fwrite(utf8, 1, static_cast<size_t>(length - 1), marker) == static_cast<size_t>(length - 1);
    return std::fclose(marker) == 0 && written ? 0 : 1;
}
