#include "cli/PasswordSource.h"

#include "cli/FetchTexts.h"
#include "os/Environment.h"
#include "os/Terminal.h"

#include <filesystem>
#include <fstream>

bool CPasswordSource::Read(const SFetchOptions& options, std::string& password, std::string& error)
{
    password.clear();
    if (!options.passwordFile.empty())
    {
        // The path is UTF-8 like every text of the program (on Windows not the code page of a
        // plain string path).
        std::ifstream file(std::filesystem::u8path(options.passwordFile), std::ios::binary);
        if (!file)
        {
            error = "cannot read the password file " + options.passwordFile;
            return false;
        }
        // An empty file is an empty password; a file written on Windows ends its line with "\r\n".
        std::getline(file, password);
        if (file.bad())
        {
            error = "cannot read the password file " + options.passwordFile;
            return false;
        }
        if (!password.empty() && password.back() == '\r')
            password.pop_back();
        return true;
    }
    if (!options.passwordVariable.empty())
    {
        if (!os::ReadEnvironmentVariable(options.passwordVariable.c_str(), password))
        {
            error = "the environment variable " + options.passwordVariable + " is not set";
            return false;
        }
        return true;
    }
    if (!os::IsTerminal(os::EStandardStream::Input))
    {
        error = "no password: give --password-file or --password-env, or run on a terminal to type it";
        return false;
    }
    if (!os::ReadLineWithoutEcho(CFetchTexts::Translate("Passwort: "), password))
    {
        error = "no password was typed";
        return false;
    }
    return true;
}
