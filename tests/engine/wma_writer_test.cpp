// The WMA writer and the tag/file-information functions: what the writer
// asks of the runtime (against the in-memory runtime), and the MP3/WAV
// branches on real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench.h"
#include "engine/Id3Tag.h"
#include "engine/WmaWriter.h"
#include "wma_fake_runtime.h"

#define EXPECT_FAILED(hr) EXPECT_TRUE(FAILED(hr))

namespace {

WAVEFORMATEX Pcm(int channels, int rate, int bits, DWORD avg = 0) {
    WAVEFORMATEX wf = {};
    wf.wFormatTag = WAVE_FORMAT_PCM;
    wf.nChannels = (WORD)channels;
    wf.nSamplesPerSec = rate;
    wf.wBitsPerSample = (WORD)bits;
    wf.nBlockAlign = (WORD)(channels * bits / 8);
    wf.nAvgBytesPerSec = avg ? avg : rate * wf.nBlockAlign;
    return wf;
}

std::wstring WideValue(const AsfAttribute& a) {
    return std::wstring(reinterpret_cast<const WCHAR*>(a.value.data()), a.value.size() / 2);
}

class WmaWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakewm::Reset();
        SetWmaRuntime(fakewm::Runtime());
        CWmaWriter fresh;
        memcpy(WmaWriter.attributes, fresh.attributes, sizeof fresh.attributes);
        ASSERT_EQ(S_OK, CreateWmaWriterObjects());
    }
    void TearDown() override {
        ReleaseWmaWriter();
        SetWmaRuntime(WmaRuntime());
    }
};

TEST_F(WmaWriterTest, StartUpCreatesWriterSinkAndVersion8Profiles) {
    fakewm::Log& log = fakewm::TheLog();
    EXPECT_TRUE(WmaAvailable());
    EXPECT_GE(log.addSink, 1);
    EXPECT_EQ((DWORD)WMT_VER_8_0, log.systemProfileVersion);
}

TEST_F(WmaWriterTest, BeginWritingChoosesTheFirstMatchingInputAndSetsAttributesInOrder) {
    fakewm::Log& log = fakewm::TheLog();
    log.inputFormats = {Pcm(1, 44100, 16), Pcm(2, 22050, 16), Pcm(2, 44100, 16, 111111),
                        Pcm(2, 44100, 16, 222222)};
    MediaTagRecord tags = {};
    strcpy(tags.author, "Ann");
    strcpy(tags.title, "Take 1");
    LoadWmaWriterTags(tags);

    ASSERT_EQ(S_OK, WmaBeginWriting(2, 44100, 16, "C:\\rec\\take.wma"));
    EXPECT_EQ(L"C:\\rec\\take.wma", log.openedFile);
    EXPECT_EQ(2, log.setInputPropsIndex);
    EXPECT_EQ(111111u, WmaWriter.WmaBytesPerSecond);
    EXPECT_EQ(1, log.beginWriting);

    const wchar_t* order[] = {L"Copyright", L"Title", L"Author", L"Description",
                              L"WM/Genre", L"WM/Composer", L"WM/AlbumTitle"};
    ASSERT_EQ(7u, log.attributes.size());
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(order[i], log.attributes[i].name);
        EXPECT_EQ(WMT_TYPE_STRING, log.attributes[i].type);
        // Wide text with its terminating zero.
        ASSERT_GE(log.attributes[i].value.size(), 2u);
        EXPECT_EQ(0, log.attributes[i].value.back());
    }
    EXPECT_EQ(std::wstring(L"Take 1", 7), WideValue(log.attributes[1]));
    EXPECT_EQ(std::wstring(L"Ann", 4), WideValue(log.attributes[2]));
    // No description of its own: the publisher's address stands in.
    std::wstring addr(WmaPublisherAddress, WmaPublisherAddress + strlen(WmaPublisherAddress) + 1);
    EXPECT_EQ(addr, WideValue(log.attributes[3]));
}

TEST_F(WmaWriterTest, NoInputOfTheRecordingsFormatRefusesTheStart) {
    fakewm::Log& log = fakewm::TheLog();
    log.inputFormats = {Pcm(1, 44100, 16), Pcm(2, 22050, 16)};
    EXPECT_FAILED(WmaBeginWriting(2, 44100, 16, "C:\\x.wma"));
    EXPECT_EQ(-1, log.setInputPropsIndex);
    EXPECT_EQ(0, log.beginWriting);
    BYTE chunk[16] = {};
    // Nothing to divide the sample time by: the writer refuses samples too.
    EXPECT_FAILED(WmaWriteSample(chunk, sizeof chunk, nullptr));
    EXPECT_TRUE(log.samples.empty());
}

TEST_F(WmaWriterTest, SampleTimesAdvanceBy64BitArithmetic) {
    fakewm::Log& log = fakewm::TheLog();
    log.inputFormats = {Pcm(2, 44100, 16)};
    ASSERT_EQ(S_OK, WmaBeginWriting(2, 44100, 16, "C:\\x.wma"));
    std::vector<BYTE> chunk(17640);  // 100 ms
    DWORD size = 0;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(S_OK, WmaWriteSample(chunk.data(), (DWORD)chunk.size(), &size));
    ASSERT_EQ(3u, log.samples.size());
    EXPECT_EQ(0u, log.samples[0].time);
    EXPECT_EQ(1000000u, log.samples[1].time);
    EXPECT_EQ(2000000u, log.samples[2].time);
    EXPECT_EQ((DWORD)log.fileSize, size);
    // Hours into a recording the time passes 2^32 without wrapping.
    WmaWriter.WmaSampleTime = 0xFFFFFFF0ull;
    ASSERT_EQ(S_OK, WmaWriteSample(chunk.data(), (DWORD)chunk.size(), &size));
    EXPECT_EQ(0xFFFFFFF0ull + 1000000ull, WmaWriter.WmaSampleTime);
    EXPECT_EQ(S_OK, WmaEndWriting());
    EXPECT_EQ(1, log.endWriting);
}

TEST_F(WmaWriterTest, AttributeValuesAreEncodedByTypeAndBadOnesRejected) {
    struct Case {
        const char* type;
        const char* value;
        bool ok;
        WMT_ATTR_DATATYPE wmType;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"dword", "305419896", true, WMT_TYPE_DWORD, {0x78, 0x56, 0x34, 0x12}},
        {"DWORD", "4294967296", false, WMT_TYPE_DWORD, {}},
        {"qword", "4294967296", true, WMT_TYPE_QWORD, {0, 0, 0, 0, 1, 0, 0, 0}},
        {"word", "65535", true, WMT_TYPE_WORD, {0xFF, 0xFF}},
        {"word", "65536", false, WMT_TYPE_WORD, {}},
        {"word", "12abc", false, WMT_TYPE_WORD, {}},
        {"binary", "AB", true, WMT_TYPE_BINARY, {'A', 'B'}},
        {"Bool", "true", true, WMT_TYPE_BOOL, {1, 0, 0, 0}},
        {"bool", "FALSE", true, WMT_TYPE_BOOL, {0, 0, 0, 0}},
        {"bool", "yes", false, WMT_TYPE_BOOL, {}},
        {"float", "1.5", false, WMT_TYPE_DWORD, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.value);
        fakewm::TheLog().attributes.clear();
        WmaAttribute a = {};
        strcpy(a.name, "X/Test");
        strcpy(a.type, c.type);
        strcpy(a.value, c.value);
        HRESULT hr = SetWmaAttribute(a);
        if (!c.ok) {
            EXPECT_FAILED(hr);
            EXPECT_TRUE(fakewm::TheLog().attributes.empty());
            continue;
        }
        ASSERT_EQ(S_OK, hr);
        ASSERT_EQ(1u, fakewm::TheLog().attributes.size());
        EXPECT_EQ(c.wmType, fakewm::TheLog().attributes[0].type);
        EXPECT_EQ(c.bytes, fakewm::TheLog().attributes[0].value);
    }
}

TEST_F(WmaWriterTest, ProfilesWithAudioInTheirNamesAreListed) {
    fakewm::TheLog().profileNames = {L"Video for broadband", L"Audio for dial-up (32 Kbps)",
                                     L"Windows Media Audio 64 kbps", L"Screen"};
    std::vector<WmaProfileName> names;
    ASSERT_EQ(S_OK, ListWmaProfiles(nullptr, &names));
    ASSERT_EQ(2u, names.size());
    EXPECT_EQ("Audio for dial-up (32 Kbps)", names[0].name);
    EXPECT_EQ(1, names[0].index);
    EXPECT_EQ(2, names[1].index);
    EXPECT_EQ(S_OK, SelectWmaProfile(2));
    EXPECT_FAILED(SelectWmaProfile(4));
    EXPECT_FAILED(SelectWmaProfile(-1));
}

AsfAttribute TextAttr(const wchar_t* name, const std::wstring& value) {
    const BYTE* p = reinterpret_cast<const BYTE*>(value.c_str());
    return {name, WMT_TYPE_STRING, std::vector<BYTE>(p, p + (value.size() + 1) * 2)};
}

TEST_F(WmaWriterTest, EditorReadsBoundedTextAndModifiesOrAddsTags) {
    std::wstring longTitle(250, L'T');
    auto& file = fakewm::TheLog().files[L"C:\\a.wma"];
    file = {TextAttr(L"Author", L"Ann"), TextAttr(L"Title", longTitle),
            {L"WM/Genre", WMT_TYPE_DWORD, {1, 0, 0, 0}}};
    MediaTagRecord tags;
    ASSERT_EQ(S_OK, ReadWmaTags("C:\\a.wma", &tags));
    EXPECT_STREQ("Ann", tags.author);
    EXPECT_EQ(126u, strlen(tags.title));  // cut to the record's field
    EXPECT_STREQ("", tags.genre);         // not text: shown empty

    strcpy(tags.author, "Bob");
    strcpy(tags.album, "Live");
    ASSERT_EQ(S_OK, WriteWmaTags("C:\\a.wma", tags));
    const auto& calls = fakewm::TheLog().editorCalls;
    EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), "modify 0"));  // Author in place
    EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), "add"));       // album added
    EXPECT_EQ("flush", calls.back());

    MediaTagRecord again;
    ASSERT_EQ(S_OK, ReadWmaTags("C:\\a.wma", &again));
    EXPECT_STREQ("Bob", again.author);
    EXPECT_STREQ("Live", again.album);
    ASSERT_EQ(0, ReadMediaFileInfo("C:\\a.wma"));
    EXPECT_STREQ("Artist : Bob", MediaInfoLines[0]);
    EXPECT_STREQ("Album : Live", MediaInfoLines[2]);
    EXPECT_FAILED(ReadWmaTags("C:\\missing.wma", &again));
}

TEST(WmaRuntimeOnWine, BuiltinRuntimeCountsAsMissing) {
    // Wine's own runtime writes nothing and aborts in the file sink: the
    // program must see no runtime at all rather than call it.
    HMODULE module = LoadLibraryA("wmvcore.dll");
    if (module && IsWineBuiltinModule(module)) {
        EXPECT_FALSE(GetWmaRuntime().Complete());
        EXPECT_FAILED(CreateWmaWriterObjects());
        EXPECT_FALSE(WmaAvailable());
        EXPECT_FAILED(WmaBeginWriting(2, 44100, 16, "C:\\x.wma"));
        std::vector<WmaProfileName> names;
        EXPECT_FAILED(ListWmaProfiles(nullptr, &names));
        EXPECT_TRUE(names.empty());
    }
    if (module) FreeLibrary(module);
}

TEST(FileExtension, LastThreeCharactersAfterADot) {
    struct {
        const char* name;
        const char* ext;
    } cases[] = {{"a.WAV", "wav"}, {"C:\\x.y\\take.Mp3", "mp3"}, {"b.wma", "wma"},
                 {"ab", ""},       {"", ""},                     {"wav", ""},
                 {".mp3", "mp3"},  {"a.mpeg", ""}};
    for (auto& c : cases) {
        char ext[4];
        FileExtension3(c.name, ext);
        EXPECT_STREQ(c.ext, ext) << c.name;
    }
}

std::string MakeFile(const std::string& name, size_t bytes, bool withTag) {
    std::string path = bench::ArtifactDir() + "\\" + name;
    FILE* f = fopen(path.c_str(), "wb");
    for (size_t i = 0; i < bytes; ++i) fputc(0x55, f);
    if (withTag) {
        char tag[128] = "TAG";
        strcpy(tag + 3, "Old title");
        strcpy(tag + 33, "Old artist");
        strcpy(tag + 63, "Old album");
        tag[127] = 200;  // a genre number without a name
        fwrite(tag, 1, 128, f);
    }
    fclose(f);
    return path;
}

long FileLength(const std::string& path) {
    FILE* f = fopen(path.c_str(), "rb");
    fseek(f, 0, SEEK_END);
    long n = ftell(f);
    fclose(f);
    return n;
}

TEST(Mp3Tags, WritingReplacesAnExistingTagOrAppendsOne) {
    MediaTagRecord tags = {};
    strcpy(tags.title, "New title that is far longer than thirty characters");
    strcpy(tags.author, "New artist");
    strcpy(tags.album, "New album");
    strcpy(tags.description, "2026");
    tags.genreNumber = 17;

    std::string tagged = MakeFile("tagged.mp3", 1000, true);
    ASSERT_EQ(S_OK, WriteWmaTags(tagged.c_str(), tags));
    EXPECT_EQ(1128, FileLength(tagged));

    std::string plain = MakeFile("plain.mp3", 1000, false);
    ASSERT_EQ(S_OK, WriteWmaTags(plain.c_str(), tags));
    EXPECT_EQ(1128, FileLength(plain));

    for (const std::string& path : {tagged, plain}) {
        MediaTagRecord read;
        ASSERT_EQ(S_OK, ReadWmaTags(path.c_str(), &read));
        EXPECT_STREQ("New title that is far longer t", read.title);
        EXPECT_STREQ("New artist", read.author);
        EXPECT_STREQ("2026", read.description);
        EXPECT_EQ(17, read.genreNumber);
        EXPECT_STREQ(Id3GenreName(17), read.genre);
    }

    std::string tiny = MakeFile("tiny.mp3", 20, false);
    ASSERT_EQ(S_OK, WriteWmaTags(tiny.c_str(), tags));
    EXPECT_EQ(148, FileLength(tiny));
}

TEST(MediaFileInfo, WavAndMp3Lines) {
    std::string odd = MakeFile("old.mp3", 500, true);
    ASSERT_EQ(0, ReadMediaFileInfo(odd.c_str()));
    EXPECT_STREQ("Artist : Old artist", MediaInfoLines[0]);
    EXPECT_STREQ("Genre : ", MediaInfoLines[3]);  // genre 200 has no name

    std::string wav = bench::ScratchDir() + "\\a.wav";
    FILE* f = fopen(wav.c_str(), "wb");
    unsigned char h[44] = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                           16, 0, 0, 0, 1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x22, 0x56, 0, 0, 2, 0, 16, 0,
                           'd', 'a', 't', 'a', 0, 0, 0, 0};
    fwrite(h, 1, 44, f);
    fclose(f);
    ASSERT_EQ(0, ReadMediaFileInfo(wav.c_str()));
    EXPECT_STREQ("Samples per second : 11025 ", MediaInfoLines[0]);
    EXPECT_STREQ("", MediaInfoLines[1]);
    EXPECT_STREQ("Bits per Sample : 16 ", MediaInfoLines[2]);
    EXPECT_STREQ("Channels : Mono ", MediaInfoLines[4]);

    std::string junk = MakeFile("junk.wav", 10, false);
    EXPECT_FAILED(ReadMediaFileInfo(junk.c_str()));
    EXPECT_STREQ("", MediaInfoLines[0]);
}

}  // namespace
