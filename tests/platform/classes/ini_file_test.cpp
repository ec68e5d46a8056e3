#include "platform/classes/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <vector>

#include "platform/classes/mem_ini_file.h"
#include "platform/classes/string_list.h"
#include "tests/platform/classes/ini_readings.h"
#include "tests/platform/classes/temp_dir.h"

using namespace std::string_literals;

namespace {

const char* kSample =
    "; installation settings\r\n"
    "[General]\r\n"
    "  Name  =  Door 1  \r\n"
    "Port=3\r\n"
    "Hex=$1F\r\n"
    "CHex=0x10\r\n"
    "Flag=2\r\n"
    "Word=abc\r\n"
    "Off=0\r\n"
    "Empty=\r\n"
    "garbage line without separator\r\n"
    "[broken\r\n"
    "=no key\r\n"
    "\r\n"
    "[Second]\r\n"
    "A=1\r\n";

}  // namespace

TEST(IniFile, ReadsIgnoringCaseAndTrimmingValues) {
    TempDir dir;
    std::string file = dir.File("setup.ini");
    TempDir::Write(file, kSample);
    TIniFile ini(file);

    EXPECT_EQ(ini.ReadString("general", "NAME", "x"), "Door 1");
    EXPECT_EQ(ini.ReadString("GENERAL", "Empty", "x"), "");  // present but empty: not the default
    EXPECT_EQ(ini.ReadString("General", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Nowhere", "Port", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("General", "Port", 0), 3);
    EXPECT_EQ(ini.ReadInteger("General", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("General", "CHex", 0), 16);
    EXPECT_EQ(ini.ReadInteger("General", "Word", -5), -5);

    // Booleans are integers: any non-zero number is true, a non-number gives the default.
    EXPECT_TRUE(ini.ReadBool("General", "Flag", false));
    EXPECT_FALSE(ini.ReadBool("General", "Off", true));
    EXPECT_TRUE(ini.ReadBool("General", "Word", true));
    EXPECT_FALSE(ini.ReadBool("General", "Word", false));
    EXPECT_TRUE(ini.ReadBool("General", "Missing", true));

    EXPECT_TRUE(ini.SectionExists("second"));
    EXPECT_FALSE(ini.SectionExists("Third"));
    EXPECT_TRUE(ini.ValueExists("General", "port"));
    EXPECT_FALSE(ini.ValueExists("General", "garbage line without separator"));

    TStringList list;
    list.Add("stale");
    ini.ReadSections(&list);
    EXPECT_EQ(list.CommaText(), "General,Second");
    ini.ReadSection("General", &list);
    EXPECT_EQ(list.CommaText(), "Name,Port,Hex,CHex,Flag,Word,Off,Empty");
    ini.ReadSectionValues("second", &list);
    EXPECT_EQ(list.CommaText(), "A=1");
}

TEST(IniFile, MissingFileReadsAsEmptyAndWriteCreatesIt) {
    TempDir dir;
    std::string file = dir.File("new.ini");
    TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("S", "K", "d"), "d");
    EXPECT_FALSE(ini.SectionExists("S"));
    TStringList list;
    ini.ReadSections(&list);
    EXPECT_EQ(list.Count(), 0);

    ini.WriteString("S", "K", "v");
    ini.WriteBool("S", "B", true);
    ini.WriteInteger("T", "N", -7);
    EXPECT_EQ(TempDir::Read(file), "[S]\r\nK=v\r\nB=1\r\n\r\n[T]\r\nN=-7\r\n");
}

TEST(IniFile, EveryWriteIsSeenByAnotherObjectOnTheSameFile) {
    TempDir dir;
    std::string file = dir.File("shared.ini");
    TempDir::Write(file, kSample);
    TIniFile a(file);
    TIniFile b(file);
    EXPECT_EQ(b.ReadString("General", "Port", ""), "3");  // b now holds the file's content

    a.WriteString("general", "port", "4");
    EXPECT_EQ(b.ReadString("General", "Port", ""), "4");
    b.WriteString("Second", "New", "x");
    EXPECT_EQ(a.ReadString("second", "new", ""), "x");
    a.DeleteKey("General", "Name");
    EXPECT_EQ(b.ReadString("General", "Name", "gone"), "gone");
    b.EraseSection("SECOND");
    EXPECT_FALSE(a.SectionExists("Second"));

    // The rewrite keeps comments, the lines it cannot read and the key's spelling.
    std::string text = TempDir::Read(file);
    EXPECT_EQ(text.find("; installation settings\r\n[General]\r\n"), 0u);
    EXPECT_NE(text.find("\r\nPort=4\r\n"), std::string::npos);
    EXPECT_NE(text.find("garbage line without separator\r\n[broken\r\n=no key\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Name"), std::string::npos);
    EXPECT_EQ(text.find("Second"), std::string::npos);
}

TEST(IniFile, LineBreaksInAValueCannotInjectEntries) {
    TempDir dir;
    std::string file = dir.File("inject.ini");
    TIniFile ini(file);
    ini.WriteString("S", "K", "a\r\n[Evil]\nX=1");
    EXPECT_FALSE(ini.SectionExists("Evil"));
    EXPECT_EQ(ini.ReadString("S", "K", ""), "a  [Evil] X=1");
}

// What a write leaves is compared whole, so every byte outside the lines it writes is held
// to the file as it was; and the file must read, through both INI classes, as the same
// changes made in memory.
TEST(IniFile, AWriteChangesOnlyTheLinesOfWhatItWrites) {
    using Change = std::function<void(TCustomIniFile&)>;
    const struct {
        const char* name;
        std::string file;
        Change change;
        std::string written;  // empty: refused, the file left as it was
        std::string refusal = {};
        mode_t mode = 0600;
    } cases[] = {
        {"UTF-8 with a mark, LF, a key changed",
         "\xEF\xBB\xBF; Anlage S\xC3\xBC"
         "d\n[MAIN]\nCOM=3\n  COT = 1 \n\n[Notiz]\nText=T\xC3\xBCr\n",
         [](TCustomIniFile& ini) { ini.WriteInteger("main", "cot", 7); },
         "\xEF\xBB\xBF; Anlage S\xC3\xBC"
         "d\n[MAIN]\nCOM=3\nCOT=7\n\n[Notiz]\nText=T\xC3\xBCr\n"},
        {"Windows-1252 from an older installation, a key added after its section's last entry",
         "[T\xFCren]\r\nName=Haupteingang S\xFC"
         "d\r\nOrt=Gro\xDF"
         "e Halle\r\n\r\n; Ausg\xE4nge\r\n[B]\r\n",
         [](TCustomIniFile& ini) { ini.WriteString("TÜREN", "Öffner", "ä €"); },
         "[T\xFCren]\r\nName=Haupteingang S\xFC"
         "d\r\nOrt=Gro\xDF"
         "e Halle\r\n\xD6"
         "ffner=\xE4 \x80\r\n\r\n; Ausg\xE4nge\r\n[B]\r\n"},
        {"Windows-1252 and a value it cannot hold: the file turns into UTF-8, each line reading as before",
         "[T\xFCren]\r\nName=S\xFC"
         "d\r\n; Gr\xFC\xDF"
         "e\r\n",
         [](TCustomIniFile& ini) { ini.WriteString("Türen", "Zeichen", "\xC5\x81\xC3\xB3"); },
         "[T\xC3\xBCren]\r\nName=S\xC3\xBC"
         "d\r\nZeichen=\xC5\x81\xC3\xB3\r\n; Gr\xC3\xBC\xC3\x9F"
         "e\r\n"},
        {"Windows-1252 whose only byte outside UTF-8 goes with the key deleted: still read as before",
         "[A]\r\nx=\xFC\r\ny=\xC3\xA4\r\n", [](TCustomIniFile& ini) { ini.DeleteKey("A", "x"); },
         "[A]\r\ny=\xC3\x83\xC2\xA4\r\n"},
        {"LF, a new section after a last line without its line end", "[A]\nx=1",
         [](TCustomIniFile& ini) { ini.WriteString("B", "y", "2"); }, "[A]\nx=1\n\n[B]\ny=2\n"},
        {"mixed line ends: a changed line keeps its own, a new one takes the most used",
         "[A]\r\nx=1\ny=2\nv=0\nz=3\r\n",
         [](TCustomIniFile& ini) {
             ini.WriteString("A", "y", "9");
             ini.WriteString("A", "w", "4");
         },
         "[A]\r\nx=1\ny=9\nv=0\nz=3\r\nw=4\n"},
        {"CR alone before a blank line ended by LF: the new line's CR does not join it", "[A]\rx=1\n\n[B]\ry=2\r",
         [](TCustomIniFile& ini) { ini.WriteString("A", "z", "3"); }, "[A]\rx=1\nz=3\r\n\n[B]\ry=2\r"},
        {"a key and a section erased: their lines go, no other",
         "; oben\r\n[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\n[C]\nw=4\n",
         [](TCustomIniFile& ini) {
             ini.DeleteKey("A", "x");
             ini.EraseSection("b");
             ini.EraseSection("none");
             ini.DeleteKey("C", "none");
         },
         "; oben\r\n[A]\r\ny=2\r\n\r\n[C]\nw=4\n"},
        {"UTF-8 cut inside its last character, a key added after it: every line as it was read",
         "[A]\nx=Gr\xC3\xB6\ny=\xE2\x82", [](TCustomIniFile& ini) { ini.WriteString("A", "z", "1"); },
         "[A]\nx=Gr\xC3\xB6\ny=\nz=1\n"},
        {"a key standing twice, in both parts of its section: every line of it goes",
         "[A]\r\nx=1\r\ny=2\r\nX=3\r\n[B]\r\nz=1\r\n[a]\r\n x =4\r\n",
         [](TCustomIniFile& ini) { ini.DeleteKey("A", "x"); }, "[A]\r\ny=2\r\n[B]\r\nz=1\r\n[a]\r\n"},
        {"a line taken out between a lone CR and a blank line ended by LF: the blank line stays one",
         "[A]\rx=1\r\n\n[B]\ry=2\r", [](TCustomIniFile& ini) { ini.DeleteKey("A", "x"); }, "[A]\r\r\n[B]\ry=2\r"},
        {"UTF-16 little endian: stays UTF-16 behind its mark", "\xFF\xFE[\0A\0]\0\r\0\n\0"s,
         [](TCustomIniFile& ini) { ini.WriteString("A", "x", "1"); },
         "\xFF\xFE[\0A\0]\0\r\0\n\0x\0=\0"
         "1\0\r\0\n\0"s},
        {"UTF-16 big endian, a character of two units kept and one written",
         "\xFE\xFF\0[\0A\0]\0\n\0t\0=\xD8\x3D\xDE\x00\0\n\0;\0\xFC"s,
         [](TCustomIniFile& ini) { ini.WriteString("A", "u", "\xC5\x81 \xF0\x9F\x98\x80"); },
         "\xFE\xFF\0[\0A\0]\0\n\0t\0=\xD8\x3D\xDE\x00\0\n\0u\0=\x01\x41\0 \xD8\x3D\xDE\x00\0\n\0;\0\xFC"s},
        {"UTF-16 of an odd length is no text", "\xFF\xFE[\0A\0]\0\r\0\n"s,
         [](TCustomIniFile& ini) { ini.WriteString("A", "x", "1"); }, "", "not text"},
        {"UTF-16 with half a character of two units is no text", "\xFF\xFE[\0A\0]\0\r\0\n\0x\0=\0\x3D\xD8"s,
         [](TCustomIniFile& ini) { ini.WriteString("A", "x", "1"); }, "", "not text"},
        {"NUL bytes without a UTF-16 mark are no text", "[\0A\0]\0\r\0\n\0"s,
         [](TCustomIniFile& ini) { ini.WriteString("A", "x", "1"); }, "", "not text"},
        {"read-only by its mode bits, for root too", "[MAIN]\r\nCOT=1\r\n",
         [](TCustomIniFile& ini) { ini.WriteInteger("MAIN", "COT", 7); }, "", "read-only", 0444},
        {"a value that is not UTF-8 would read back as other characters", "[A]\nx=1\n",
         [](TCustomIniFile& ini) { ini.WriteString("A", "x", "\xFF"); }, "", "would not read back"},
        {"a value holding a NUL would make the file no text", "[A]\nx=1\n",
         [](TCustomIniFile& ini) { ini.WriteString("A", "x", "a\0b"s); }, "", "would not read back"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        TempDir dir;
        const std::string file = dir.File("TOVAK.INI");
        TempDir::Write(file, test.file);
        ::chmod(file.c_str(), test.mode);
        TMemIniFile expected(file);
        test.change(expected);
        TIniFile ini(file);
        if (test.written.empty()) {
            try {
                test.change(ini);
                ADD_FAILURE() << "written";
            } catch (const EIniFileException& e) {
                EXPECT_NE(e.Message().find(test.refusal), std::string::npos) << e.Message();
            }
            EXPECT_EQ(TempDir::Read(file), test.file);
            continue;
        }
        test.change(ini);
        EXPECT_EQ(TempDir::Read(file), test.written);
        TIniFile again(file);
        TMemIniFile mem(file);
        EXPECT_EQ(IniReadings(again), IniReadings(expected));
        EXPECT_EQ(IniReadings(mem), IniReadings(expected));
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, test.mode);
    }
}

TEST(IniFile, FailedWriteRaises) {
    TempDir dir;
    TIniFile ini(dir.File("no/such/folder/x.ini"));
    try {
        ini.WriteString("S", "K", "v");
        ADD_FAILURE() << "written";
    } catch (const EIniFileException& e) {
        ASSERT_TRUE(e.Fault.has_value());
        EXPECT_EQ(e.Fault->Kind, TIniFault::WriteFailed);
        EXPECT_EQ(e.Fault->ErrorCode, ENOENT) << "the system's reason, for the caller's own words";
    }
    EXPECT_FALSE(ini.ReadFault().has_value()) << "a missing file reads";
    TIniFile folder(dir.Path());  // exists, cannot be read as a file
    EXPECT_THROW(folder.WriteString("S", "K", "v"), EIniFileException);
    EXPECT_EQ(folder.ReadString("S", "K", "d"), "d");
}

TEST(IniFile, UnreadableFileIsNeverOverwritten) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    TempDir dir;
    std::string file = dir.File("locked.ini");
    TempDir::Write(file, "[S]\r\nK=old\r\n");
    ::chmod(file.c_str(), 0200);  // writable, not readable
    TIniFile locked(file);
    EXPECT_EQ(locked.ReadFault().value_or(TIniFault{TIniFault::NotText}).Kind, TIniFault::Unreadable);
    EXPECT_THROW(locked.WriteString("S", "Other", "v"), EIniFileException);
    ::chmod(file.c_str(), 0600);
    EXPECT_EQ(TempDir::Read(file), "[S]\r\nK=old\r\n");
}

TEST(MemIniFile, ChangesStayInMemoryUntilUpdateFile) {
    TempDir dir;
    std::string file = dir.File("mem.ini");
    TempDir::Write(file, kSample);
    TMemIniFile mem(file);
    EXPECT_EQ(mem.ReadString("GENERAL", "name", ""), "Door 1");
    EXPECT_TRUE(mem.ReadBool("General", "Flag", false));

    mem.WriteString("General", "Port", "9");
    mem.EraseSection("Second");
    mem.WriteFloat("Third", "F", 1.5);
    EXPECT_EQ(mem.ReadString("general", "port", ""), "9");
    EXPECT_DOUBLE_EQ(mem.ReadFloat("Third", "F", 0), 1.5);
    EXPECT_FALSE(mem.SectionExists("Second"));

    TIniFile disk(file);
    EXPECT_EQ(disk.ReadString("General", "Port", ""), "3");
    EXPECT_TRUE(disk.SectionExists("Second"));

    mem.UpdateFile();
    EXPECT_EQ(disk.ReadString("General", "Port", ""), "9");
    EXPECT_FALSE(disk.SectionExists("Second"));
    EXPECT_DOUBLE_EQ(disk.ReadFloat("Third", "F", 0), 1.5);
    EXPECT_NE(TempDir::Read(file).find("; installation settings\r\n"), std::string::npos);
}

TEST(MemIniFile, MissingFileIsEmpty) {
    TempDir dir;
    TMemIniFile mem(dir.File("none.ini"));
    EXPECT_EQ(mem.ReadInteger("S", "K", 42), 42);
    TStringList list;
    mem.ReadSections(&list);
    EXPECT_EQ(list.Count(), 0);
}

// Files kept under corpus/ that once lost a setting: every key written reads back from the
// written file, through both readers, and no section is added twice.
TEST(IniFile, WrittenFilesFromTheKeptInputsReadBackWhatWasWritten) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TOVAK_CLASSES_CORPUS)) {
        SCOPED_TRACE(entry.path().filename().string());
        ++files;
        TempDir dir;
        const std::string file = dir.File("kept.ini");
        std::filesystem::copy_file(entry.path(), file);
        std::vector<std::pair<std::string, std::string>> written;
        {
            TMemIniFile ini(file);
            TStringList sections, keys;
            ini.ReadSections(&sections);
            for (int i = 0; i < sections.Count(); ++i) {
                EXPECT_EQ(sections.Strings(i).find('\xEF'), std::string::npos) << "a mark read as part of a name";
                ini.ReadSection(sections.Strings(i), &keys);
                for (int k = 0; k < keys.Count(); ++k) written.emplace_back(sections.Strings(i), keys.Strings(k));
            }
            written.emplace_back("MAIN", "CSM");
            written.emplace_back("MAIN", "Added");
            for (const auto& [section, key] : written) ini.WriteString(section, key, section + "." + key + ".new");
            ini.UpdateFile();
        }
        TMemIniFile mem(file);
        TIniFile plain(file);
        for (const auto& [section, key] : written) {
            EXPECT_EQ(mem.ReadString(section, key, "-"), section + "." + key + ".new") << section << "/" << key;
            EXPECT_EQ(plain.ReadString(section, key, "-"), section + "." + key + ".new") << section << "/" << key;
        }
        const std::string raw = TempDir::Read(file);
        size_t mains = 0;
        for (size_t at = raw.find("[MAIN]"); at != std::string::npos; at = raw.find("[MAIN]", at + 1)) ++mains;
        EXPECT_EQ(mains, 1u);
    }
    EXPECT_GT(files, 0);
}
