#include "SimulatorCommandLine.h"

#include "CommandLineNumber.h"
#include "wire/Commands.h"

#include <cstdint>
#include <cstring>

namespace
{

// "T/C", for example "4/1" for the login.
bool ParseCommand(const char* text, CRecorderSimulator::CommandId& command)
{
    const char* slash = text ? std::strchr(text, '/') : nullptr;
    if (slash == nullptr)
        return false;
    const std::string target(text, slash);
    return ParseCommandLineNumber(target.c_str(), 0, 65535, command.target) &&
           ParseCommandLineNumber(slash + 1, 0, 65535, command.com);
}

bool ParseMalformedFile(const char* text, CRecorderSimulator::MalformedFile& kind)
{
    using Kind = CRecorderSimulator::MalformedFile;
    static const struct
    {
        const char* name;
        Kind kind;
    } kinds[] = {
        {"datalen-zero", Kind::DataLenZero},         {"no-end-marker", Kind::MissingEndMarker},
        {"negative-size", Kind::NegativeSize},       {"short-size", Kind::ShortSizeItem},
        {"overflowing-size", Kind::OverflowingSize}, {"datalen-mismatch", Kind::DataLenMismatch},
    };
    for (const auto& entry : kinds)
    {
        if (text != nullptr && std::strcmp(text, entry.name) == 0)
        {
            kind = entry.kind;
            return true;
        }
    }
    return false;
}

bool TakesValue(const std::string& option)
{
    static const char* const options[] = {
        "--root",         "--port",           "--password",         "--protocol-version", "--first-text",
        "--third-text",   "--level",          "--switch",           "--refuse-login",     "--deny-foreign",
        "--deny-command", "--ack27",          "--corrupt-checksum", "--drop-after",       "--throttle",
        "--time-answer",  "--malformed-file",
    };
    for (const char* known : options)
    {
        if (option == known)
            return true;
    }
    return false;
}

} // namespace

const char* CSimulatorCommandLine::Usage()
{
    return "Usage: quorvel-recorder-sim [options]\n"
           "Plays the recorder's side of the command protocol on 127.0.0.1 for tests and demos.\n"
           "Serves one connection after another and prints every packet it receives.\n"
           "\n"
           "  --root DIR              folder served as /home/depot/software/ (default: .)\n"
           "  --port N                TCP port on 127.0.0.1 (default 30000; 0 picks a free one)\n"
           "  --password TEXT         password the login must carry (default: empty)\n"
           "  --level N               user level granted at login (default 3 = administrator)\n"
           "  --protocol-version TEXT protocol version text of item 4 (default 2.1.0)\n"
           "  --first-text TEXT       text of item 1 (default \"Recorder Süd\")\n"
           "  --third-text TEXT       text of item 3 (default \"Gerät 1\")\n"
           "  --switch 0|1            value of item 2 (default 1)\n"
           "\n"
           "Faults:\n"
           "  --refuse-login ACK      answer every login with this Ack (not 1)\n"
           "  --deny-foreign N        answer the chosen command N times with Ack 5 first\n"
           "  --deny-command T/C      command for --deny-foreign (default 4/1, the login)\n"
           "  --ack27 T/C             answer this command with Ack 27 every time\n"
           "  --corrupt-checksum T/C  send answers to this command with a wrong header checksum\n"
           "  --drop-after N          close the connection after N bytes of a file\n"
           "  --throttle N            send at most N bytes per second\n"
           "  --byte-by-byte          send every byte on its own\n"
           "  --time-answer LAYOUT    after the login answer, send the date and time unasked\n"
           "                          (Target 3 Com 4; LAYOUT 0 = six bytes, 1 = six 16-bit words)\n"
           "  --file-in-datalen       count the file bytes in the file answer's DataLen\n"
           "  --malformed-file KIND   datalen-zero, no-end-marker, negative-size, short-size,\n"
           "                          overflowing-size or datalen-mismatch\n"
           "\n"
           "  --quiet                 do not print received packets\n"
           "  --help                  show this text\n"
           "  --version               show the program's version\n"
           "\n"
           "With --port 0 the chosen port is printed as \"listening on 127.0.0.1:PORT\".\n";
}

CSimulatorCommandLine::Outcome CSimulatorCommandLine::Parse(int argc, const char* const* argv,
                                                            CRecorderSimulator::Options& options,
                                                            std::string& error)
{
    options.verbose = true;
    for (int i = 1; i < argc; ++i)
    {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool consumed = true;
        bool valid = true;

        if (option == "--help")
            return Outcome::ShowHelp;
        if (option == "--version")
            return Outcome::ShowVersion;
        if (option == "--byte-by-byte")
        {
            options.byteByByte = true;
            consumed = false;
        }
        else if (option == "--file-in-datalen")
        {
            options.fileBytesInDataLen = true;
            consumed = false;
        }
        else if (option == "--quiet")
        {
            options.verbose = false;
            consumed = false;
        }
        else if (!TakesValue(option))
        {
            error = (option.rfind("-", 0) == 0 ? "unknown option " : "unexpected argument ") + option;
            return Outcome::Error;
        }
        else if (value == nullptr)
        {
            error = option + " needs a value";
            return Outcome::Error;
        }
        else if (option == "--root")
            options.root = value;
        else if (option == "--password")
            options.password = value;
        else if (option == "--protocol-version")
            options.version = value;
        else if (option == "--first-text")
            options.firstText = value;
        else if (option == "--third-text")
            options.thirdText = value;
        else if (option == "--port")
            valid = ParseCommandLineNumber(value, 0, 65535, options.port);
        else if (option == "--level")
            valid = ParseCommandLineNumber(value, INT32_MIN, INT32_MAX, options.userLevel);
        else if (option == "--switch")
        {
            int switchValue = 0;
            valid = ParseCommandLineNumber(value, 0, 1, switchValue);
            options.switchOn = switchValue != 0;
        }
        else if (option == "--refuse-login")
            valid = ParseCommandLineNumber(value, 0, 65535, options.loginRefusalAck) &&
                    options.loginRefusalAck != Acks::Executed;
        else if (option == "--deny-foreign")
            valid = ParseCommandLineNumber(value, 0, 1000000, options.denyForeignCount);
        else if (option == "--deny-command")
            valid = ParseCommand(value, options.denyForeignCommand);
        else if (option == "--ack27")
            valid = ParseCommand(value, options.ack27Command);
        else if (option == "--corrupt-checksum")
            valid = ParseCommand(value, options.corruptChecksumCommand);
        else if (option == "--drop-after")
            valid = ParseCommandLineNumber(value, 0, 1LL << 40, options.dropAfterFileBytes);
        else if (option == "--throttle")
            valid = ParseCommandLineNumber(value, 1, 1LL << 40, options.throttleBytesPerSecond);
        else if (option == "--time-answer")
            valid = ParseCommandLineNumber(value, 0, 1, options.unsolicitedTimeLayout);
        else if (option == "--malformed-file")
            valid = ParseMalformedFile(value, options.malformedFile);

        if (!valid)
        {
            error = "invalid value for " + option + ": " + value;
            return Outcome::Error;
        }
        if (consumed)
            ++i;
    }
    return Outcome::Run;
}
