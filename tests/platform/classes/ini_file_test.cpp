#include "platform/classes/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "platform/classes/mem_ini_file.h"
#include "platform/classes/string_list.h"
#include "tests/platform/classes/temp_dir.h"

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

TEST(IniFile, NewKeyGoesAfterTheSectionsLastEntry) {
    TempDir dir;
    std::string file = dir.File("order.ini");
    TempDir::Write(file, "[A]\nx=1\n\n; about B\n[B]\ny=2\n");
    TIniFile ini(file);
    ini.WriteString("a", "z", "3");
    EXPECT_EQ(TempDir::Read(file), "[A]\r\nx=1\r\nz=3\r\n\r\n; about B\r\n[B]\r\ny=2\r\n");
}

TEST(IniFile, LineBreaksInAValueCannotInjectEntries) {
    TempDir dir;
    std::string file = dir.File("inject.ini");
    TIniFile ini(file);
    ini.WriteString("S", "K", "a\r\n[Evil]\nX=1");
    EXPECT_FALSE(ini.SectionExists("Evil"));
    EXPECT_EQ(ini.ReadString("S", "K", ""), "a  [Evil] X=1");
}

TEST(IniFile, Windows1252FileFromAnOlderInstallationIsReadAndRewrittenAsUtf8) {
    TempDir dir;
    std::string file = dir.File("old.ini");
    TempDir::Write(file,
                   "[T\xFCren]\r\nName=Haupteingang S\xFC"
                   "d\r\nOrt=Gro\xDF"
                   "e Halle\r\n");
    TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("TÜREN", "Name", ""), "Haupteingang Süd");
    EXPECT_EQ(ini.ReadString("türen", "Ort", ""), "Große Halle");

    ini.WriteString("Türen", "Öffner", "ä");
    EXPECT_EQ(TempDir::Read(file), "[Türen]\r\nName=Haupteingang Süd\r\nOrt=Große Halle\r\nÖffner=ä\r\n");
    TMemIniFile mem(file);
    EXPECT_EQ(mem.ReadString("TÜREN", "öffner", ""), "ä");
}

TEST(IniFile, FailedWriteRaises) {
    TempDir dir;
    TIniFile ini(dir.File("no/such/folder/x.ini"));
    EXPECT_THROW(ini.WriteString("S", "K", "v"), EIniFileException);
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
