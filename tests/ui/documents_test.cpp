// Language documents: the built-in English text, look-ups by tag text and
// their edge cases, the language-file search in a folder of several, and
// malformed, truncated and random documents read into bounded buffers.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ui/XmlDocument.h"

namespace {

// A scratch folder of this process under the temporary folder.
class DocumentFolder {
public:
    DocumentFolder() {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        char name[MAX_PATH];
        snprintf(name, sizeof name, "%sbrindle-docs-%lu\\", temp, GetCurrentProcessId());
        path_ = name;
        Remove();
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~DocumentFolder() { Remove(); }
    const std::string& path() const { return path_; }
    std::string Write(const char* file, const std::string& bytes) const {
        std::string full = path_ + file;
        FILE* f = fopen(full.c_str(), "wb");
        if (f) {
            fwrite(bytes.data(), 1, bytes.size(), f);
            fclose(f);
        }
        return full;
    }

private:
    void Remove() {
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((path_ + "*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do DeleteFileA((path_ + found.cFileName).c_str());
            while (FindNextFileA(h, &found));
            FindClose(h);
        }
        RemoveDirectoryA(path_.c_str());
    }
    std::string path_;
};

std::string Doc(const std::string& body) { return "<?xml version=\"1.0\"?><VOLMARK>" + body + "</VOLMARK>"; }

// Fills a buffer with canary bytes past `size` and checks them afterwards.
struct Guarded {
    explicit Guarded(size_t size) : size(size), bytes(size + 32, '#') {}
    char* get() { return &bytes[0]; }
    bool Intact() const { return bytes.compare(size, 32, std::string(32, '#')) == 0; }
    std::string Text() const { return std::string(bytes.c_str()); }
    size_t size;
    std::string bytes;
};

TEST(ControlNameTable, IdentifiersMapToTheirNames) {
    for (int i = 0; i < ControlNameCount; ++i) ASSERT_NE(ControlNameTable[i], nullptr) << i;
    const struct {
        int id;
        const char* name;
    } rows[] = {{1000, "BTN_RECORD"}, {1001, "EDIT_TAPE"}, {1002, "NA"}, {1003, "BTN_PAUSE"},
                {1004, "BTN_STOP"}, {1005, "BTN_EJECT"}, {1006, "BTN_PLAY"}, {1015, "BTN_TIMEINC"},
                {1016, "BTN_TIMEDEC"}, {1022, "BTN_LINESOCKET0"}, {1031, "BTN_LINESOCKET9"},
                {1032, "BTN_OK"}, {1033, "BTN_CANCEL"}, {1073, "BTN_TIMESTAMPEDFILE"},
                {1094, "BTN_SYSTRAY"}, {1121, "BTN_DEVICE"}, {1137, "BTN_ARCHIVE"},
                {1139, "BTN_EDITID3TAG"}, {1165, "BTN_BACKGROUNDSET"}, {1172, "BTN_WMASET"},
                {1174, "NA"}, {1183, "EDIT_ALBUM"}};
    for (const auto& row : rows) {
        EXPECT_STREQ(ControlNameTable[row.id - 1000], row.name) << row.id;
        if (strcmp(row.name, "NA") != 0) {
            EXPECT_EQ(FindControlName(row.name), row.id - 1000) << row.name;
        }
    }
    EXPECT_EQ(FindControlName("NA"), -1) << "an unnamed identifier is never a target";
    EXPECT_EQ(FindControlName("btn_record"), -1);
    EXPECT_EQ(FindControlName(""), -1);
    EXPECT_EQ(FindControlName(nullptr), -1);
    // Every name but "NA" appears once.
    for (int i = 0; i < ControlNameCount; ++i)
        if (strcmp(ControlNameTable[i], "NA") != 0) {
            EXPECT_EQ(FindControlName(ControlNameTable[i]), i);
        }
}

TEST(BuiltInLanguageDocument, HoldsEveryCaptionAndMessage) {
    XmlDocument doc;
    EXPECT_TRUE(doc.IsBuiltIn());
    EXPECT_EQ(strchr(doc.text, '\n'), nullptr);
    EXPECT_EQ(strchr(doc.text, '&'), nullptr);
    EXPECT_EQ(strncmp(doc.text, "<?xml version=\"1.0\"?><VOLMARK>", 30), 0);
    char text[200];
    EXPECT_TRUE(doc.GetText("LanguageName", text, sizeof text));
    EXPECT_STREQ(text, "English");

    EXPECT_EQ(doc.Count("Controls"), 70);
    for (int n = 0; n < 70; ++n) {
        char name[200], caption[200];
        ASSERT_TRUE(doc.GetNth("Controls", n, name, caption));
        EXPECT_NE(caption[0], '\0') << name;
        if (strncmp(name, "AREA_", 5) != 0) {
            EXPECT_GE(FindControlName(name), 0) << name;
        }
        char viaCaption[100];
        doc.GetCaption(name, viaCaption);
        EXPECT_STREQ(viaCaption, caption) << name;
    }

    const struct {
        const char* key;
        const char* line1;
        const char* line2;
        const char* line3;
    } messages[] = {
        {"AutoConfig", "Auto Config Audio Line", "wait for several second", ""},
        {"RecordingTest", "Testing Recording Line", "Line", ""},
        {"TestFinish", "Testing Recording Line", "Line", "Finish"},
        {"LineFound", "Record Line Found", "Ready To Record", ""},
        {"LineNotFound", "Record Line Not Found", "Try Manual Testing", ""},
        {"PlayBackSupport", "Recording line not found, click", "config button to find audio line", ""},
        {"BackgroundError", "Background file open error", "record without background", ""},
        {"WMASupport", "Failed to Init WMA encoder", "Please contact the support team", ""},
        {"InvalidFile", "", "The file cannot be played", ""},
        {"RecordingStart", "", "Recording will start at", ""},
        {"RecordingStop", "", "Recording will stop at", ""},
        {"UnknowType", "", "Unknown file type", ""},
    };
    for (const auto& m : messages) {
        char l1[200] = "x", l2[200] = "x", l3[200] = "x";
        EXPECT_TRUE(doc.GetMessageLines(m.key, l1, l2, l3));
        EXPECT_STREQ(l1, m.line1) << m.key;
        EXPECT_STREQ(l2, m.line2) << m.key;
        EXPECT_STREQ(l3, m.line3) << m.key;
    }
    // Every key a start result or a message of the main window may name.
    const char* keys[] = {"TapeEject", "MemError", "FileError", "WMAError", "MP3Support", "MP3Frequency",
                          "MP3BitRate", "FormatError", "DeviceAvailabity", "PrepareBackground", "DeviceError",
                          "RecordNotFinished", "FileInUse", "FolderMissing", "FileType", "DeviceName",
                          "DiskFull", "WriteError", "NameTooLong"};
    for (const char* key : keys) {
        char l1[200], l2[200], l3[200];
        doc.GetMessageLines(key, l1, l2, l3);
        EXPECT_NE(l1[0], '\0') << key;
        EXPECT_NE(l2[0], '\0') << key;
    }
    // Dialog faces: the block first, then the child.
    const struct {
        const char* block;
        const char* child;
    } faces[] = {{"FaceMP3Setting", "Mode"}, {"FaceMP3Setting", "BitRate"}, {"FaceMP3Setting", "Tip"},
                 {"FaceSignalSetting", "Threshold"}, {"FaceSignalSetting", "Action"},
                 {"FaceSignalSetting", "DelayTime"}, {"FaceScheduleSetting", "StartTime"},
                 {"FaceScheduleSetting", "Relative"}, {"FaceAbout", "Version"}, {"FaceDate", "TimeInfo"},
                 {"FaceDate", "DateInfo"}, {"StartFace", "Tip"}};
    for (const auto& f : faces) {
        char block[1024], child[200];
        ASSERT_TRUE(doc.GetText(f.block, block, sizeof block)) << f.block;
        EXPECT_TRUE(GetElementText(block, f.child, child, sizeof child)) << f.block << "/" << f.child;
        EXPECT_NE(child[0], '\0');
    }
}

TEST(XmlDocument, TagSearchEdgeCases) {
    DocumentFolder folder;
    const std::string caption150(150, 'c');
    const std::string body =
        "<Tabbed>\t  two\twords\r\n  </Tabbed>"
        "<Twice>first</Twice><Block><Twice>second</Twice></Block>"
        "<Attr id=\"1\">with attribute</Attr>"
        "<Long>" + caption150 + "</Long>"
        "<Case>lower</Case><CASE>upper</CASE>"
        "<Accent>caf\xe9 \x80\xff</Accent>"
        "<Empty></Empty>"
        "<Open>never closed"
        "<List><A>1</A><B><C>3</C></B><D></D></List>"
        "<Bad><A>1</A><<B>2</B></Bad>"
        "<Stray><A>1</A>>x</Stray>"
        "<LongTag><" + std::string(205, 'T') + ">x</" + std::string(205, 'T') + "></LongTag>";
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(folder.Write("edge.xml", Doc(body)).c_str()));
    EXPECT_FALSE(doc.IsBuiltIn());

    const struct {
        const char* name;
        bool found;
        std::string text;
    } lookups[] = {
        {"Tabbed", true, "two words"},  // inner control codes become blanks, ends trimmed
        {"Twice", true, "first"},
        {"Attr", false, ""},  // an attribute hides the element
        {"Case", true, "lower"},
        {"CASE", true, "upper"},
        {"case", false, ""},
        {"Accent", true, "caf\xe9 \x80\xff"},
        {"Empty", true, ""},
        {"Open", false, ""},
        {"Missing", false, ""},
    };
    for (const auto& l : lookups) {
        char out[200] = "stale";
        EXPECT_EQ(doc.GetText(l.name, out, sizeof out), l.found) << l.name;
        EXPECT_EQ(std::string(out), l.text) << l.name;
    }
    char caption[100];
    EXPECT_TRUE(doc.GetCaption("Long", caption));
    EXPECT_EQ(std::string(caption), caption150.substr(0, 99));
    EXPECT_TRUE(doc.GetCaption("Missing", caption));
    EXPECT_STREQ(caption, "");

    char all[100];
    EXPECT_TRUE(doc.GetAllTexts("Twice", all));
    EXPECT_STREQ(all, "first,second");
    EXPECT_FALSE(doc.GetAllTexts("Missing", all));
    EXPECT_STREQ(all, "");

    const struct {
        const char* name;
        int count;
    } counts[] = {{"List", 4}, {"Block", 1}, {"Bad", 0}, {"Stray", 0}, {"LongTag", 0},
                  {"Tabbed", 0}, {"Missing", 0}, {"Open", 0}};
    for (const auto& c : counts) EXPECT_EQ(doc.Count(c.name), c.count) << c.name;

    const struct {
        int n;
        const char* name;
        const char* text;
    } nth[] = {{0, "A", "1"}, {1, "C", "3"}, {2, "B", ""}, {3, "D", ""}};
    for (const auto& e : nth) {
        char name[200], text[200];
        ASSERT_TRUE(doc.GetNth("List", e.n, name, text)) << e.n;
        EXPECT_STREQ(name, e.name) << e.n;
        EXPECT_STREQ(text, e.text) << e.n;
    }
    char name[200], text[200];
    EXPECT_FALSE(doc.GetNth("List", 4, name, text));
    EXPECT_FALSE(doc.GetNth("List", -1, name, text));
    EXPECT_FALSE(doc.GetNth("Bad", 0, name, text));
}

TEST(XmlDocument, LongAndRepeatedTextsStayInsideTheirBuffers) {
    DocumentFolder folder;
    std::string block = "<Huge><Line1>" + std::string(600, 'a') + "</Line1><Line2>" + std::string(300, 'b') +
                        "</Line2><Line3>" + std::string(700, 'c') + "</Line3></Huge>";
    block += "<Short><Line1>\xe9t\xe9</Line1><Line3>three</Line3></Short>";
    for (int i = 0; i < 50; ++i) block += "<Key>" + std::string(99, 'k') + "</Key>";
    block += "<Few><Key>F1</Key></Few>";
    for (int i = 0; i < 40; ++i) block += "<Small>ab</Small>";
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(folder.Write("long.xml", Doc(block)).c_str()));

    Guarded l1(200), l2(200), l3(200);
    EXPECT_TRUE(doc.GetMessageLines("Huge", l1.get(), l2.get(), l3.get()));
    EXPECT_EQ(l1.Text(), std::string(199, 'a'));
    EXPECT_EQ(l2.Text(), std::string(199, 'b'));
    EXPECT_EQ(l3.Text(), "") << "the block is cut at 1023 characters, before Line3 closes";
    EXPECT_TRUE(l1.Intact() && l2.Intact() && l3.Intact());
    // Smaller caller buffers are respected too.
    Guarded s1(10), s2(10), s3(10);
    doc.GetMessageLines("Huge", s1.get(), s2.get(), s3.get(), 10);
    EXPECT_EQ(s1.Text(), std::string(9, 'a'));
    EXPECT_TRUE(s1.Intact() && s2.Intact() && s3.Intact());
    doc.GetMessageLines("Short", l1.get(), l2.get(), l3.get());
    EXPECT_EQ(l1.Text(), "\xe9t\xe9");
    EXPECT_EQ(l2.Text(), "");
    EXPECT_EQ(l3.Text(), "three");

    Guarded all(100);
    EXPECT_TRUE(doc.GetAllTexts("Key", all.get()));
    EXPECT_EQ(all.Text(), std::string(99, 'k'));
    EXPECT_TRUE(all.Intact());
    Guarded small(100);
    EXPECT_TRUE(doc.GetAllTexts("Small", small.get()));
    EXPECT_EQ(small.Text().size(), 99u);
    EXPECT_EQ(small.Text().substr(0, 9), "ab,ab,ab,");
    EXPECT_TRUE(small.Intact());
    Guarded tiny(4);
    doc.GetAllTexts("Small", tiny.get(), 4);
    EXPECT_EQ(tiny.Text(), "ab,");
    EXPECT_TRUE(tiny.Intact());

    Guarded cap(100);
    doc.GetCaption("Key", cap.get());
    EXPECT_EQ(cap.Text(), std::string(99, 'k'));
    EXPECT_TRUE(cap.Intact());
    Guarded one(1);
    EXPECT_FALSE(doc.GetText("Key", one.get(), 0));
    doc.GetText("Key", one.get(), 1);
    EXPECT_EQ(one.Text(), "");
    EXPECT_TRUE(one.Intact());
}

TEST(XmlDocument, LanguageFileFoundByNameAmongSeveral) {
    DocumentFolder folder;
    const std::string de = Doc("<LanguageName>Deutsch</LanguageName><Controls><BTN_RECORD>Aufnahme</BTN_RECORD>"
                               "</Controls><Message><FrontFace><LineFound><Line1>Gefunden</Line1><Line2>Bereit"
                               "</Line2></LineFound></FrontFace></Message>");
    folder.Write("de.xml", de);
    folder.Write("x.xml", Doc("<Controls><BTN_RECORD>no name</BTN_RECORD></Controls>"));
    folder.Write("HotKey.XML", BuiltInHotKeyDocument);
    folder.Write("notes.txt", "<LanguageName>Notes</LanguageName>");
    folder.Write("b-second.xml", Doc("<LanguageName>Twin</LanguageName><BTN_RECORD>B</BTN_RECORD>"));
    folder.Write("A-first.xml", Doc("<LanguageName>Twin</LanguageName><BTN_RECORD>A</BTN_RECORD>"));
    folder.Write("lower.xml", Doc("<LanguageName>english</LanguageName><BTN_RECORD>lower</BTN_RECORD>"));
    folder.Write("late.xml", "<?xml version=\"1.0\"?><VOLMARK>" + std::string(1000, ' ') +
                                 "<LanguageName>Late</LanguageName><BTN_RECORD>late</BTN_RECORD></VOLMARK>");
    // Exactly 1000 bytes, the name cut by the end of what is read.
    std::string exact = "<VOLMARK>" + std::string(1000 - 9 - 20, ' ') + "<LanguageName>Cut";
    exact.resize(1000, 'z');
    folder.Write("exact.xml", exact);
    folder.Write("long-name.xml", Doc("<LanguageName>" + std::string(150, 'N') + "</LanguageName>"));
    CreateDirectoryA((folder.path() + "dir.xml").c_str(), nullptr);

    const struct {
        const char* language;
        const char* file;  // "" when none matches
        const char* record;
    } cases[] = {
        {"Deutsch", "de.xml", "Aufnahme"},
        {"Twin", "A-first.xml", "A"},  // names taken in case-blind order
        {"english", "lower.xml", "lower"},
        {"English", "", "Record"},  // exact comparison: no file carries it
        {"Late", "", "Record"},     // beyond the first 1000 bytes
        {"Cut", "", "Record"},
        {"Notes", "", "Record"},  // only *.xml files are languages
        {"Klingon", "", "Record"},
        {"", "", "Record"},
    };
    for (const auto& c : cases) {
        XmlDocument doc;
        doc.SetFolder(folder.path().c_str());
        char file[MAX_PATH];
        EXPECT_EQ(doc.FindLanguageFile(c.language, file, sizeof file), c.file[0] != '\0') << c.language;
        EXPECT_STREQ(file, c.file) << c.language;
        XmlDocument opened;
        EXPECT_TRUE(opened.Open(folder.path().c_str(), c.language));
        EXPECT_EQ(opened.IsBuiltIn(), c.file[0] == '\0') << c.language;
        char caption[100];
        opened.GetCaption("BTN_RECORD", caption);
        EXPECT_STREQ(caption, c.record) << c.language;
    }
    XmlDocument doc;
    doc.SetFolder(folder.path().c_str());
    char name[100] = "stale";
    EXPECT_FALSE(doc.ReadLanguageName("exact.xml", name));
    EXPECT_FALSE(doc.ReadLanguageName("absent.xml", name));
    EXPECT_STREQ(name, "");
    EXPECT_TRUE(doc.ReadLanguageName("long-name.xml", name));
    EXPECT_EQ(std::string(name), std::string(99, 'N'));
    EXPECT_TRUE(doc.ReadLanguageName("HotKey.XML", name) == false);

    // The messages of the found file.
    XmlDocument german;
    german.Open(folder.path().c_str(), "Deutsch");
    char l1[200], l2[200], l3[200];
    german.GetMessageLines("LineFound", l1, l2, l3);
    EXPECT_STREQ(l1, "Gefunden");
    EXPECT_STREQ(l2, "Bereit");
    german.GetMessageLines("LineNotFound", l1, l2, l3);
    EXPECT_STREQ(l1, "") << "a file's missing message stays empty";

    // Null name, missing folder.
    XmlDocument builtIn;
    EXPECT_TRUE(builtIn.Open(folder.path().c_str(), nullptr));
    EXPECT_TRUE(builtIn.IsBuiltIn());
    XmlDocument nowhere;
    EXPECT_TRUE(nowhere.Open("C:\\no\\such\\folder", "Deutsch"));
    EXPECT_TRUE(nowhere.IsBuiltIn());
    EXPECT_STREQ(nowhere.folder, "C:\\no\\such\\folder\\");
}

TEST(XmlDocument, LoadFallsBackToTheBuiltInDocument) {
    DocumentFolder folder;
    XmlDocument doc(XmlDocument::HotKeys);
    EXPECT_EQ(doc.text, BuiltInHotKeyDocument);
    EXPECT_TRUE(doc.Load(folder.Write("one.xml", Doc("<ENABLEHOTKEY>NO</ENABLEHOTKEY>")).c_str()));
    char text[100];
    doc.GetText("ENABLEHOTKEY", text, sizeof text);
    EXPECT_STREQ(text, "NO");
    // Reloading replaces (and frees) the previous file's text.
    EXPECT_TRUE(doc.Load(folder.Write("two.xml", "").c_str()));
    EXPECT_FALSE(doc.IsBuiltIn());
    EXPECT_STREQ(doc.text, "");
    EXPECT_FALSE(doc.GetText("ENABLEHOTKEY", text, sizeof text));
    EXPECT_EQ(doc.Count("FRONTFACE"), 0);

    EXPECT_FALSE(doc.Load((folder.path() + "absent.xml").c_str()));
    EXPECT_EQ(doc.text, BuiltInHotKeyDocument);
    std::string big(XmlDocument::MaxFileBytes + 1, ' ');
    EXPECT_FALSE(doc.Load(folder.Write("big.xml", big).c_str()));
    EXPECT_EQ(doc.text, BuiltInHotKeyDocument);
    EXPECT_FALSE(doc.Load(folder.path().c_str())) << "a folder is not a document";
    EXPECT_TRUE(doc.Load(nullptr));
    EXPECT_EQ(doc.text, BuiltInHotKeyDocument);
    // A NUL inside the file ends the document there.
    EXPECT_TRUE(doc.Load(folder.Write("zero.xml", std::string("<A>x</A>\0<B>y</B>", 17)).c_str()));
    EXPECT_TRUE(doc.GetText("A", text, sizeof text));
    EXPECT_FALSE(doc.GetText("B", text, sizeof text));
}

TEST(DocumentsFolder, InstallPathBecomesAFolderWithOneBackslash) {
    const struct {
        const char* install;
        const char* folder;
    } cases[] = {{"", "c:\\"},
                 {nullptr, "c:\\"},
                 {"C:\\Program Files\\Brindle", "C:\\Program Files\\Brindle\\"},
                 {"C:\\Program Files\\Brindle\\", "C:\\Program Files\\Brindle\\"},
                 {"C:\\Brindle\\\\", "C:\\Brindle\\"},
                 {"D:\\", "D:\\"},
                 {"\\\\server\\share", "\\\\server\\share\\"}};
    for (const auto& c : cases) {
        char folder[400];
        MakeDocumentsFolder(c.install, folder, sizeof folder);
        EXPECT_STREQ(folder, c.folder) << (c.install ? c.install : "(null)");
    }
    char small[8];
    EXPECT_FALSE(MakeDocumentsFolder("C:\\a long folder", small, sizeof small));
    EXPECT_STREQ(small, "c:\\");
}

// Every look-up on every prefix of the built-in documents (a file cut short
// anywhere) and on random tag soup: answers stay inside their buffers.
TEST(XmlDocument, TruncatedAndRandomDocumentsNeverOverrun) {
    DocumentFolder folder;
    std::vector<std::string> docs;
    const std::string language = BuiltInLanguageDocument, hotkeys = BuiltInHotKeyDocument;
    for (size_t n = 0; n <= language.size(); n += 7) docs.push_back(language.substr(0, n));
    for (size_t n = 0; n <= hotkeys.size(); n += 5) docs.push_back(hotkeys.substr(0, n));
    std::mt19937 random(12345);
    const char alphabet[] = "<<>>//ABLine12\t \x01\xe9";
    const char* pieces[] = {"<Controls>", "</Controls>", "<FRONTFACE>", "</FRONTFACE>", "<Line1>", "</Line1>",
                            "<BTN_STOP>", "</BTN_STOP>", "<", ">", "</", "<FaceDate>", "</FaceDate>"};
    for (int i = 0; i < 400; ++i) {
        std::string soup;
        size_t length = random() % 600;
        while (soup.size() < length) {
            if (random() % 3 == 0)
                soup += pieces[random() % (sizeof pieces / sizeof *pieces)];
            else
                soup += alphabet[random() % (sizeof alphabet - 1)];
        }
        docs.push_back(soup);
    }
    const char* names[] = {"Controls", "FRONTFACE", "Line1", "BTN_STOP", "FaceDate", "VOLMARK", "A", ""};
    // A few go through files, the rest straight through the element reader
    // and a document loaded with the same bytes.
    int index = 0;
    for (const std::string& text : docs) {
        XmlDocument doc;
        char file[32];
        snprintf(file, sizeof file, "f%d.xml", index++ % 8);
        ASSERT_TRUE(doc.Load(folder.Write(file, text).c_str()));
        for (const char* name : names) {
            Guarded a(200), b(100), l1(200), l2(200), l3(200), nthName(200), nthText(200), raw(37);
            doc.GetText(name, a.get(), 200);
            doc.GetAllTexts(name, b.get());
            doc.GetMessageLines(name, l1.get(), l2.get(), l3.get());
            GetElementText(text.c_str(), name, raw.get(), 37);
            int count = doc.Count(name);
            ASSERT_GE(count, 0);
            for (int n = 0; n < count; ++n) ASSERT_TRUE(doc.GetNth(name, n, nthName.get(), nthText.get())) << n;
            ASSERT_FALSE(doc.GetNth(name, count, nthName.get(), nthText.get()));
            ASSERT_TRUE(a.Intact() && b.Intact() && l1.Intact() && l2.Intact() && l3.Intact() && raw.Intact() &&
                        nthName.Intact() && nthText.Intact())
                << "document " << index << " name " << name;
            ASSERT_LE(b.Text().size(), 99u);
        }
    }
}

}  // namespace
