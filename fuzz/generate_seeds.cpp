// Writes the seed corpora of the fuzz targets: well-formed packets, answers, lists, texts and event
// sequences in each target's input format, one folder per target.
//
//   quorvel-fuzz-seeds <folder>
#include "SessionHarness.h"
#include "WireBytes.h"
#include "support/TextCodec.h"
#include "wire/ItemListReader.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<uint8_t>;

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes Counting(size_t size)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

class CCorpus
{
public:
    CCorpus(const std::filesystem::path& root, const std::string& target) : m_folder(root / target)
    {
        std::filesystem::create_directories(m_folder);
    }

    void Add(const std::string& name, const Bytes& content) const
    {
        std::ofstream file(m_folder / name, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(content.data()),
                   static_cast<std::streamsize>(content.size()));
    }

private:
    std::filesystem::path m_folder;
};

const Bytes kDeviceList = ItemListBytes({{Tags::DeviceFirstText, TextValue("Recorder S\x81"
                                                                           "d")},
                                         {Tags::DeviceSwitch, {1, 0}},
                                         {Tags::DeviceThirdText, TextValue("Ger\x84t 1")},
                                         {Tags::DeviceVersion, TextValue("2.0.80")}});

// A file answer: the list with the path and the size, the file behind it (inside DataLen or not).
Bytes FileAnswer(const Bytes& file, bool fileInDataLen, uint16_t ack = Acks::Executed, uint16_t ident = 0)
{
    const Bytes list = ItemListBytes({{Tags::FilePath, TextValue("/home/depot/software/varnoxsetup.exe")},
                                      {Tags::FileSize, Int32Value(static_cast<int32_t>(file.size()))}});
    if (fileInDataLen)
        return PacketBytes(Commands::FileRequest, ident, ack, 0, Join({list, file}));
    return Join(
        {PacketBytes(Commands::FileRequest, ident, ack, static_cast<int32_t>(file.size()), list), file});
}

// A file answer that claims `claimed` bytes and brings `sent`: the list holds only the size, as a
// lying recorder's may.
Bytes ClaimingFileAnswer(int32_t claimed, const Bytes& sent)
{
    return Join({PacketBytes(Commands::FileRequest, 0, Acks::Executed, claimed,
                             ItemListBytes({{Tags::FileSize, Int32Value(claimed)}})),
                 sent});
}

// Almost 2 GiB behind a 37-byte answer: should receive memory ever follow a claim again, the first
// run of these seeds exceeds the single-allocation limit of scripts/fuzz.sh.
constexpr int32_t kHugeClaim = 0x7FFFFFF0;

Bytes TimeInWords()
{
    Bytes time;
    for (int field : {24, 12, 2024, 18, 30, 5})
        time.insert(time.end(), {static_cast<uint8_t>(field), static_cast<uint8_t>(field >> 8)});
    return time;
}

void WriteSessionSeeds(const CCorpus& corpus)
{
    constexpr uint8_t File = CSessionHarness::FileRequested;
    constexpr uint8_t KeepAlive = CSessionHarness::KeepAliveFirst;
    constexpr uint8_t Second = CSessionHarness::SecondCredential;
    constexpr uint8_t HangUp = CSessionHarness::HangUp;
    // Pieces of 1, 7 and 64 bytes.
    constexpr auto pieces = [](int index)
    { return static_cast<uint8_t>(index << CSessionHarness::PieceSizeShift); };
    const Bytes file = Counting(300);
    const struct
    {
        const char* name;
        uint8_t variant;
        Bytes answers;
    } seeds[] = {
        {"file", File | 2, FileAnswer(file, false)},
        {"file-in-pieces", File | pieces(2) | 3, FileAnswer(file, false)},
        {"file-byte-by-byte", File | pieces(1) | 1, FileAnswer(Counting(20), false)},
        {"file-inside-datalen", File | Second | 2, FileAnswer(file, true)},
        {"file-empty", File, FileAnswer({}, false)},
        {"file-then-hang-up", File | HangUp | 2, FileAnswer(file, false)},
        {"hang-up", HangUp | 1, {}},
        // Byte by byte, so that the list is complete before any of the file arrives.
        {"unrequested-huge-claim", HangUp | pieces(1) | 2, ClaimingFileAnswer(kHugeClaim, Counting(7))},
        {"requested-huge-claim", File | HangUp | pieces(1) | 3, ClaimingFileAnswer(kHugeClaim, Counting(7))},
        {"file-cannot-open", File | 1, FileAnswer({}, false, Acks::CannotOpen)},
        {"file-refused", File | 2, FileAnswer({}, false, Acks::NotExecuted)},
        {"file-no-right", File | 2, PacketBytes(Commands::FileRequest, 0, Acks::NoRight, 0)},
        {"file-deny-foreign", File | 2,
         Join({PacketBytes(Commands::FileRequest, 0, Acks::DenyForeign, 0), FileAnswer(file, false)})},
        {"file-discard-next", File | KeepAlive | 2,
         Join({PacketBytes(Commands::SessionTimeout, Idents::DiscardNext, Acks::Executed, 0),
               FileAnswer(file, false)})},
        {"two-files", File | pieces(3) | 2, Join({FileAnswer(file, false), FileAnswer(Counting(40), false)})},
        {"keep-alive", KeepAlive | 2,
         PacketBytes(Commands::SessionTimeout, Idents::KeepAlive, Acks::Executed, 0)},
        {"keep-alive-refused", KeepAlive | 1,
         PacketBytes(Commands::SessionTimeout, Idents::KeepAlive, Acks::NotExecuted, 0)},
        {"time-in-words", 2,
         PacketBytes(Commands::RecorderTime, 0, Acks::Executed, Parameters::TimeInWords, TimeInWords())},
        {"time-in-bytes", 3,
         PacketBytes(Commands::RecorderTime, 0, Acks::Executed, 0, {18, 30, 24, 12, 124, 5})},
        {"time-short", 2,
         PacketBytes(Commands::RecorderTime, 0, Acks::Executed, Parameters::TimeInWords, {24, 0, 12})},
        {"time-for-keep-alive", 2,
         PacketBytes(Commands::RecorderTime, Idents::KeepAlive, Acks::Executed, 0, {18, 30, 24, 12, 124, 5})},
        {"time-acknowledged", 2, PacketBytes(Commands::TimeAcknowledgement, 0, Acks::Executed, 0)},
        {"clock-confirmation-refused", 2, PacketBytes(Commands::ClockConfirmation, 0, Acks::NotExecuted, 0)},
        {"device-information-again", 1,
         PacketBytes(Commands::DeviceInformation, 0, Acks::Executed, 0, kDeviceList)},
        {"device-information-sequence", 0,
         PacketBytes(Commands::DeviceInformation, Idents::DeviceInfoSequence, Acks::Executed, 0,
                     kDeviceList)},
        {"version-again", 2,
         PacketBytes(Commands::DeviceInformation, Idents::VersionRequest, Acks::Executed, 0, kDeviceList)},
        {"login-refused", 2, PacketBytes(Commands::Login, 0, Acks::NotExecuted, 0)},
        {"unknown-target", 2, PacketBytes(SCommand{9, 1}, 0, Acks::Executed, 0, Counting(10))},
        {"unknown-command", 2, PacketBytes(SCommand{Targets::Session, 9}, 0, Acks::Executed, 0)},
        {"corrupt-header", File | 2, Join({Counting(18), FileAnswer(file, false)})},
    };
    for (const auto& seed : seeds)
        corpus.Add(seed.name, Join({{seed.variant}, seed.answers}));
}

void WriteAssemblerSeeds(const CCorpus& corpus)
{
    const Bytes stream = Join(
        {PacketBytes(Commands::DeviceInformation, Idents::VersionRequest, Acks::Executed, 0, kDeviceList),
         PacketBytes(Commands::Login, 0, Acks::Executed, Parameters::AdministratorLevel),
         FileAnswer(Counting(200), false),
         PacketBytes(Commands::RecorderTime, 0, Acks::Executed, Parameters::TimeInWords, TimeInWords())});
    const struct
    {
        const char* name;
        Bytes schedule;
    } schedules[] = {
        {"reads-of-64", {0x3F}},
        {"byte-by-byte", {0x00}},
        {"mixed-with-compaction", {0x11, 0x85, 0x41, 0x02}},
        {"reads-of-4096", {0x7F}},
    };
    for (const auto& schedule : schedules)
        corpus.Add(schedule.name,
                   Join({{static_cast<uint8_t>(schedule.schedule.size())}, schedule.schedule, stream}));
    corpus.Add("corrupt-header", Join({{1, 0x3F}, Counting(18), stream}));
    corpus.Add("huge-claim-byte-by-byte", Join({{1, 0x00}, ClaimingFileAnswer(kHugeClaim, Counting(7))}));
}

void WriteItemListSeeds(const CCorpus& corpus)
{
    const Bytes fileList = ItemListBytes({{Tags::FilePath, TextValue("/home/depot/software/kellidsetup.exe")},
                                          {Tags::FileSize, Int32Value(4096)}});
    Bytes loginValue = {LoginKinds::Password, 0};
    const Bytes password = TextValue("geheim");
    loginValue.insert(loginValue.end(), password.begin(), password.end());
    const Bytes loginList = ItemListBytes({{Tags::Login, loginValue}});

    corpus.Add("file-answer", Join({{2, Tags::FilePath, 0, Tags::FileSize, 0}, fileList}));
    corpus.Add("device-information", Join({{4, Tags::DeviceFirstText, 0, Tags::DeviceSwitch, 0,
                                            Tags::DeviceThirdText, 0, Tags::DeviceVersion, 0},
                                           kDeviceList}));
    corpus.Add("login-any-tag", Join({{7}, loginList}));
    corpus.Add("cut-short", Join({{2, Tags::FilePath, 0, Tags::FileSize, 0},
                                  Bytes(fileList.begin(), fileList.end() - 6)}));
    corpus.Add("round-trip", Join({{0x08},
                                   {Tags::FilePath, 0, 5},
                                   TextValue("path"),
                                   {Tags::FileSize, 0, 4, 0x10, 0, 0, 0},
                                   {0xFF, 0xFF, 0}}));
}

void WriteTextSeeds(const CCorpus& corpus)
{
    corpus.Add("utf8-umlauts", Join({{0xFF}, Text("Gerät Süd – 5 €")}));
    corpus.Add("cp850-umlauts", Join({{0xFF}, {'G', 'e', 'r', 0x84, 't', ' ', 'S', 0x81, 'd', 0xB0, 0xDB}}));
    corpus.Add("windows-1252-high", Join({{0xFF}, {0x80, 0x81, 0x8D, 0x9F, 0xA0, 0xE4, 0xFF}}));
    corpus.Add("malformed-utf8",
               Join({{10}, {0xC0, 0x80, 0xED, 0xA0, 0x80, 0xF4, 0x90, 0x80, 0x80, 0xE2, 0x82}}));
    corpus.Add("cut-password", Join({{6}, Text("Zweitschlüssel"), {0}, Text("after the end")}));
}

void WriteEventQueueSeeds(const CCorpus& corpus)
{
    const Bytes status = {0, 0, 0, 0, 0, 36, 0, 0, 0, 0};
    const Bytes time = Join({{1, 8, 0, 0, 0, 0, 0, 0, 0, 8}, Counting(8)});
    const Bytes progress = Join({{0, 10, 0, 0, 0, 0, 0, 0, 0, 16}, Counting(16)});
    const Bytes nullPayload = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0xF4};
    const Bytes negative = {0, 0, 0, 0, 0, 13, 0, 0, 0, 0xFE, 5};
    const Bytes pop = {2};
    const Bytes release = {3};
    corpus.Add("post-and-pop", Join({status, time, pop, progress, pop, pop, pop}));
    corpus.Add("file-then-release",
               Join({{0, 8, 0, 0, 0, 1, 0, 0, 0, 200}, Counting(200), status, release, status}));
    corpus.Add("file-handed-over",
               Join({{4, 8, 0, 0, 0, 1, 0, 0, 0, 12, 100}, Counting(100), {0}, status, pop, pop}));
    corpus.Add("refused-posts", Join({nullPayload, negative, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 3}, pop}));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    WriteSessionSeeds(CCorpus(root, "fuzz_session"));
    WriteSessionSeeds(CCorpus(root, "fuzz_session_repaired"));
    WriteAssemblerSeeds(CCorpus(root, "fuzz_receive_assembler"));
    WriteItemListSeeds(CCorpus(root, "fuzz_item_list"));
    WriteTextSeeds(CCorpus(root, "fuzz_text_codec"));
    WriteEventQueueSeeds(CCorpus(root, "fuzz_event_queue"));
    return 0;
}
