// The command-line parser on a table of command lines, the bad ones
// included: what a user or a start-up entry may type and what must not
// reach the options.
#include <gtest/gtest.h>

#include <string>

#include "app/CommandLine.h"

namespace {

struct Case {
    const char* line;
    uint8_t record;
    int32_t mode;
    const char* file;
    int32_t bitrate, bits, rate, channels;
    uint8_t hide;
};

CommandLineOptionSet Parse(const char* line) {
    CommandLineOptionSet o;  // the process starts from these
    ParseCommandLine(line, &o);
    return o;
}

}  // namespace

TEST(CommandLine, SwitchesAndValues) {
    const Case cases[] = {
        // line, record, mode, file, bitrate, bits, rate, channels, hide
        {"", 0, 0, "", -1, -1, -1, -1, 0},
        {"/hide", 0, 0, "", -1, -1, -1, -1, 1},
        {"/r", 1, 0, "", -1, -1, -1, -1, 0},
        {"/R", 1, 0, "", -1, -1, -1, -1, 0},
        {"/rs /hide", 1, 1, "", -1, -1, -1, -1, 1},
        {"/rt", 1, 2, "", -1, -1, -1, -1, 0},
        {"/rst", 1, 3, "", -1, -1, -1, -1, 0},
        {"/RST /HIDE", 1, 3, "", -1, -1, -1, -1, 1},
        // Value switches without a record switch count for nothing.
        {"-bit 8 -frequency 22 -channels 1", 0, 0, "", -1, -1, -1, -1, 0},
        {"/r -frequency 44", 1, 0, "", -1, -1, 7, -1, 0},
        {"/r -frequency 44100", 1, 0, "", -1, -1, -1, -1, 0},
        {"/r -frequency 8", 1, 0, "", -1, -1, 0, -1, 0},
        {"/r -frequency 48 ", 1, 0, "", -1, -1, 8, -1, 0},
        {"/r -frequency ", 1, 0, "", -1, -1, -1, -1, 0},
        {"/r -frequency abc", 1, 0, "", -1, -1, -1, -1, 0},
        {"/r -bit 16", 1, 0, "", -1, 1, -1, -1, 0},
        {"/r -bit 8", 1, 0, "", -1, 0, -1, -1, 0},
        {"/r -bit 24", 1, 0, "", -1, 0, -1, -1, 0},
        {"/r -bit ", 1, 0, "", -1, -1, -1, -1, 0},
        {"/r -channels 1", 1, 0, "", -1, -1, -1, 0, 0},
        {"/r -channels 2", 1, 0, "", -1, -1, -1, 1, 0},
        {"/r -channels 0", 1, 0, "", -1, -1, -1, 1, 0},
        {"/r -mp3bitrate 320", 1, 0, "", 15, -1, -1, -1, 0},
        {"/r -mp3bitrate 8", 1, 0, "", 1, -1, -1, -1, 0},
        {"/r -mp3bitrate 128", 1, 0, "", 11, -1, -1, -1, 0},
        {"/r -mp3bitrate 100", 1, 0, "", 0, -1, -1, -1, 0},
        {"/r -mp3bitrate ", 1, 0, "", -1, -1, -1, -1, 0},
        {"/r -mp3bitrate 99999999999999999999", 1, 0, "", 0, -1, -1, -1, 0},
        // A start-up entry without a bitrate leaves the stored one alone.
        {"/rs /hide -bit 16", 1, 1, "", -1, 1, -1, -1, 1},
        // File names: last item, or followed straight by the next switch.
        {"/r -filename c:\\rec\\a.wav", 1, 0, "c:\\rec\\a.wav", -1, -1, -1, -1, 0},
        {"/r -filename C:\\REC\\LOUD.MP3", 1, 0, "c:\\rec\\loud.mp3", -1, -1, -1, -1, 0},
        {"/r -filename   c:\\rec\\a.wav", 1, 0, "c:\\rec\\a.wav", -1, -1, -1, -1, 0},
        {"/r -filename c:\\rec\\a.wav-bit 8", 1, 0, "c:\\rec\\a.wav", -1, 0, -1, -1, 0},
        {"/r -filename \"c:\\my rec\\a.wav\"", 1, 0, "c:\\my rec\\a.wav", -1, -1, -1, -1, 0},
        // A name ends where the next known switch begins, blanks before it
        // left out; a "-" or a blank inside it is part of it.
        {"/r -filename c:\\rec\\a.wav -bit 8", 1, 0, "c:\\rec\\a.wav", -1, 0, -1, -1, 0},
        {"/r -filename c:\\my-rec\\a.wav", 1, 0, "c:\\my-rec\\a.wav", -1, -1, -1, -1, 0},
        {"/r -filename c:\\t3\\old.wav-new.wav", 1, 0, "c:\\t3\\old.wav-new.wav", -1, -1, -1, -1, 0},
        {"/r -filename c:\\my recs\\a-b.mp3  -frequency 22 -bit 16 -channels 1 -mp3bitrate 64", 1, 0,
         "c:\\my recs\\a-b.mp3", 7, 1, 4, 0, 0},
        {"/r -filename c:\\a-1.wav /hide", 1, 0, "c:\\a-1.wav", -1, -1, -1, -1, 1},
        {"-filename c:\\recs\\a-1.wav /rs", 1, 1, "c:\\recs\\a-1.wav", -1, -1, -1, -1, 0},
        {"/r -frequency 22-bit 8 -channels -1", 1, 0, "", -1, 0, 4, -1, 0},
        // Another extension (also one a "-" used to cut away), or nothing
        // at all: no file name.
        {"/r -filename c:\\t3\\old.wav-x", 1, 0, "", -1, -1, -1, -1, 0},
        {"/r -filename c:\\rec\\a.ogg", 1, 0, "", -1, -1, -1, -1, 0},
        {"/r -filename ", 1, 0, "", -1, -1, -1, -1, 0},
        {"/r -filename \"c:\\a.wav", 1, 0, "", -1, -1, -1, -1, 0},
        // "/r" inside a name written with forward slashes is a record switch.
        {"-filename d:/radio.wav", 1, 0, "d:/radio.wav", -1, -1, -1, -1, 0},
        {"/r /hide -filename c:\\x.mp3 ", 1, 0, "c:\\x.mp3", -1, -1, -1, -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("command line: [") + c.line + "]");
        CommandLineOptionSet o = Parse(c.line);
        EXPECT_EQ(c.record, o.RecordSwitchGiven);
        if (c.record) {
            EXPECT_EQ(c.mode, o.StartMode);
            EXPECT_STREQ(c.file, o.FileName);
            EXPECT_EQ(c.bitrate, o.Mp3BitrateIndex);
            EXPECT_EQ(c.bits, o.BitsIndex);
            EXPECT_EQ(c.rate, o.SampleRateIndex);
            EXPECT_EQ(c.channels, o.ChannelsIndex);
        }
        EXPECT_EQ(c.hide, o.HideAtStart);
    }
}

// A "-filename " that cannot be used is refused, so the window starts
// nothing instead of recording into the stored name; a usable name, or no
// "-filename " at all, is not.
TEST(CommandLine, NamesThatCannotBeUsedAreRefused) {
    const struct {
        const char* line;
        uint8_t refused;
    } cases[] = {
        {"/r -filename c:\\cl\\wan\"ted.wav", 1},
        {"/r -filename c:\\cl\\wanted.txt", 1},
        {"/r -filename \"c:\\a.wav", 1},
        {"/r -filename c:\\rec\\a.wav -bit 8", 0},
        {"/r -filename c:\\my-rec\\a.wav", 0},
        {"/r -filename ", 1},
        {"/r -filename c:\\rec\\a?.wav", 1},
        {"/r -filename c:\\rec\\a*b.mp3", 1},
        {"/r -filename c:\\rec\\a<b>.wav", 1},
        {"/r -filename c:\\rec\\a|b.wav", 1},
        {"/r -filename c:\\rec\\a:b.wav", 1},
        {"/r -filename c:\\rec\\a\tb.wav", 1},
        {"/r -filename c:\\rec\\a.wav", 0},
        {"/r -filename \"c:\\my rec\\a.mp3\"", 0},
        {"/r -filename d:/radio.wav", 0},
        {"/r -frequency 44", 0},
        // Without a record switch nothing is parsed, so nothing is refused.
        {"-filename c:\\a.txt", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("command line: [") + c.line + "]");
        CommandLineOptionSet o = Parse(c.line);
        EXPECT_EQ(c.refused, o.FileNameRefused);
        if (c.refused) {
            EXPECT_STREQ("", o.FileName);
        }
    }
    std::string tooLong = "/r -filename c:\\" + std::string(600, 'a') + ".wav";
    EXPECT_EQ(1, Parse(tooLong.c_str()).FileNameRefused);
    EXPECT_EQ(FileNameTooLong, Parse(tooLong.c_str()).FileNameProblem);
    // A later line without the switch does not inherit the refusal.
    CommandLineOptionSet o;
    ParseCommandLine("/r -filename c:\\a.txt", &o);
    ParseCommandLine("/r", &o);
    EXPECT_EQ(0, o.FileNameRefused);
}

// Why a name is refused, for the message: another extension, a device
// (which records into nothing), or a name Windows cannot take at all.
TEST(CommandLine, RefusalsSayWhy) {
    const struct {
        const char* line;
        int32_t problem;
    } cases[] = {
        {"/r -filename c:\\t3\\nul.wav", FileNameIsDevice},
        {"/r -filename c:\\t3\\CON.MP3", FileNameIsDevice},
        {"/r -filename c:\\t3\\aux.wav", FileNameIsDevice},
        {"/r -filename c:\\t3\\prn.mp3", FileNameIsDevice},
        {"/r -filename c:\\t3\\com1.wav", FileNameIsDevice},
        {"/r -filename c:\\t3\\lpt9.tar.wav", FileNameIsDevice},
        {"/r -filename c:\\t3\\nul .wav", FileNameIsDevice},
        {"/r -filename nul.wav", FileNameIsDevice},
        {"/r -filename c:\\t3\\a.ogg", FileNameNotWavOrMp3},
        {"/r -filename c:\\t3\\old.wav-new.txt", FileNameNotWavOrMp3},
        {"/r -filename c:\\t3\\a?.wav", FileNameUnusable},
        {"/r -filename ", FileNameUnusable},
        // Names that only look like devices are files.
        {"/r -filename c:\\t3\\com10.wav", FileNameUsable},
        {"/r -filename c:\\t3\\com0.wav", FileNameUsable},
        {"/r -filename c:\\t3\\null.wav", FileNameUsable},
        {"/r -filename c:\\t3\\console.mp3", FileNameUsable},
        {"/r -filename c:\\nul\\a.wav", FileNameUsable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("command line: [") + c.line + "]");
        CommandLineOptionSet o = Parse(c.line);
        EXPECT_EQ(c.problem, o.FileNameProblem);
        EXPECT_EQ(c.problem != FileNameUsable, o.FileNameRefused != 0);
    }
}

TEST(CommandLine, OverlongInputNeverOverrunsTheFields) {
    // A name longer than the field is refused, not cut to a name that
    // lost its extension.
    std::string longName = "/r -filename c:\\" + std::string(600, 'a') + ".wav";
    CommandLineOptionSet o = Parse(longName.c_str());
    EXPECT_EQ(1, o.RecordSwitchGiven);
    EXPECT_STREQ("", o.FileName);

    // The longest name that fits is kept whole.
    std::string fits = "c:\\" + std::string(499, 'b') + ".wav";
    ASSERT_EQ(506u, fits.size());
    o = Parse(("/r -filename " + fits).c_str());
    EXPECT_EQ(fits, o.FileName);

    // Past 1024 characters the line is cut: a switch beyond is not seen.
    std::string cut = "/r " + std::string(1100, ' ') + "/hide";
    o = Parse(cut.c_str());
    EXPECT_EQ(0, o.HideAtStart);

    // Only digits count, and an absurd number matches nothing.
    o = Parse(("/r -frequency " + std::string(900, '9')).c_str());
    EXPECT_EQ(-1, o.SampleRateIndex);
}

TEST(CommandLine, HideAndModeKeepTheirValuesWhenAbsent) {
    // The options start at zero for the process; a second parse (as a
    // test harness might do) does not clear an earlier "/hide".
    CommandLineOptionSet o;
    ParseCommandLine("/rs /hide", &o);
    ParseCommandLine("-bit 8", &o);
    EXPECT_EQ(1, o.HideAtStart);
    EXPECT_EQ(1, o.StartMode);
    EXPECT_EQ(0, o.RecordSwitchGiven);
    ParseCommandLine(nullptr, &o);
    EXPECT_EQ(0, o.RecordSwitchGiven);
}
