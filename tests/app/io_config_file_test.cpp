// The configuration file: the exact text a save writes, and loading odd files.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "app/config/io_config_file.h"
#include "app/config/io_row_values.h"
#include "platform/rtl/exception.h"
#include "tests/support/temp_folder.h"

namespace {

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = temp_.Path().string();
        path_ = dir_ + "/TEST.CFG";
    }
    void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string Read() {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    TempFolder temp_{"tovak-cfg"};
    std::string dir_, path_;
};

}  // namespace

TEST_F(ConfigFile, SavingTheTypeZeroStandardWritesThisText) {
    TIoConfig c;
    DecodeInputBlock(StandardInputText(0), c);
    DecodeOutputBlock(StandardOutputText(0), c);
    SaveIoConfigToFile(path_, c);
    EXPECT_EQ(
        "[INPUT]\r\n01=004;000;000;000\r\n02=032;000;000;000\r\n03=003;000;005;000\r\n04=005;000;000;000\r\n"
        "05=008;000;000;000\r\n06=009;000;000;000\r\n07=010;000;000;000\r\n08=038;000;000;000\r\n"
        "09=033;000;000;000\r\n\r\n[OUTPUT]\r\n01=130;0;0;000\r\n02=161;0;0;000\r\n03=162;0;0;000\r\n04=164;0;0;000\r\n"
        "05=165;0;0;000\r\n06=134;0;0;000\r\n07=184;0;0;000\r\n08=193;0;0;255\r\n",
        Read());
    TIoConfig back;
    LoadIoConfigFromFile(path_, back);
    EXPECT_EQ(0, back.DeviceType);
    EXPECT_EQ(StandardInputText(0), EncodeInputBlock(back));
    EXPECT_EQ(StandardOutputText(0), EncodeOutputBlock(back));
}

TEST_F(ConfigFile, SavingKeepsOtherSectionsAndWritesOnlyTheTypesRows) {
    Write("[NOTE]\r\nA=1\r\n[INPUT]\r\n16=001;000;000;000\r\n");
    TIoConfig c;
    c.DeviceType = 2;
    c.Row(56) = TIoRow{0x7F, true, 12, 0};
    c.Row(76) = TIoRow{0xB0, true, 30, 0x11};
    c.Row(61) = TIoRow{0xC1, false, 30, 0x11};
    SaveIoConfigToFile(path_, c);
    const std::string text = Read();
    EXPECT_EQ(0u, text.find("[NOTE]\r\nA=1\r\n"));
    EXPECT_NE(std::string::npos, text.find("[INPUT]\r\n01=000;000;000;000\r\n"));
    EXPECT_EQ(text.find("[INPUT]"), text.rfind("[INPUT]"));
    EXPECT_NE(std::string::npos, text.find("32=127;001;012;000\r\n"));
    EXPECT_NE(std::string::npos, text.find("17=193;0;0;017\r\n"));
    EXPECT_NE(std::string::npos, text.find("32=176;1;30;000\r\n"));
    TIoConfig back;
    LoadIoConfigFromFile(path_, back);
    EXPECT_EQ(2, back.DeviceType);
    EXPECT_EQ(EncodeInputBlock(c), EncodeInputBlock(back));
    EXPECT_EQ(EncodeOutputBlock(c), EncodeOutputBlock(back));

    c.DeviceType = 1;
    SaveIoConfigToFile(path_, c);
    EXPECT_EQ(std::string::npos, Read().find("07="));
    EXPECT_NE(std::string::npos, Read().find("06="));
}

// A save into a file that people keep, compare and exchange: the file comes back byte for byte
// but for the entries of its two sections, with its byte-order mark (or none), its encoding and
// its line ends, loads as what was saved, and a second save changes no byte. A file the save
// cannot write that way is refused with its reason and stays as it was. In the templates "{IN}"
// and "{OUT}" stand for the old rows in the file and for the saved ones in what the save writes
// ("{IN-}", "{OUT-}": without their last line end), each row ended by the file's line end.
TEST_F(ConfigFile, ASaveKeepsEveryByteOutsideItsTwoSections) {
    TIoConfig c;
    c.DeviceType = 1;
    c.Row(1) = TIoRow{0x12, true, 7, 0};
    c.Row(6) = TIoRow{0x21, false, 0, 0};
    c.Row(21) = TIoRow{0xB0, true, 30, 0};
    c.Row(22) = TIoRow{0xC1, false, 0, 0x11};
    const std::vector<std::string> oldInputs = {"01=004;000;000;000", "07=010;000;000;000", "09=033;000;000;000"};
    const std::vector<std::string> oldOutputs = {"01=130;0;0;000", "08=193;0;0;255"};
    const std::vector<std::string> inputs = {"01=018;001;007;000", "02=000;000;000;000", "03=000;000;000;000",
                                             "04=000;000;000;000", "05=000;000;000;000", "06=033;000;000;000"};
    const std::vector<std::string> outputs = {"01=176;1;30;000", "02=193;0;0;017", "03=128;0;0;000",
                                              "04=128;0;0;000",  "05=128;0;0;000", "06=128;0;0;000"};
    const auto expand = [](std::string text, const std::string& eol, const std::vector<std::string>& in,
                           const std::vector<std::string>& out) {
        const auto rows = [&eol](const std::vector<std::string>& entries) {
            std::string joined;
            for (const std::string& entry : entries) joined += entry + eol;
            return joined;
        };
        const std::vector<std::pair<std::string, std::string>> markers = {
            {"{IN}", rows(in)},
            {"{OUT}", rows(out)},
            {"{IN-}", rows(in).substr(0, rows(in).size() - eol.size())},
            {"{OUT-}", rows(out).substr(0, rows(out).size() - eol.size())}};
        for (const auto& [marker, by] : markers)
            for (size_t at; (at = text.find(marker)) != std::string::npos;) text.replace(at, marker.size(), by);
        return text;
    };
    const struct {
        const char* name;
        std::optional<std::string> file;  // none: no file yet
        std::string eol;
        std::string saved;         // empty: the file's template
        std::string refusal = {};  // what the refusal says; empty: saved
        mode_t mode = 0644;
        std::string savedEol = {};  // the rows' line end in what the save writes; empty: eol
    } cases[] = {
        {"UTF-8 with a mark, CR LF",
         "\xEF\xBB\xBF[INFO]\r\nName=T\xC3\xBCr Nord\r\n\r\n[INPUT]\r\n{IN}\r\n[OUTPUT]\r\n{OUT}\r\n"
         "[NOTIZ]\r\n; Pr\xC3\xBC"
         "fung\r\nText=Gr\xC3\xBCn \xE2\x82\xAC\r\n",
         "\r\n", ""},
        {"UTF-8 without a mark, LF, the last row without its line end",
         "[INPUT]\n{IN}\n[NOTIZ]\nText=T\xC3\xBCr\n[OUTPUT]\n{OUT-}", "\n",
         "[INPUT]\n{IN}\n[NOTIZ]\nText=T\xC3\xBCr\n[OUTPUT]\n{OUT}"},
        {"Windows-1252, the sections' names in other cases, comments around the rows, the last "
         "line without its line end",
         "; Anlage S\xFC"
         "d\r\n[Notiz]\r\nText=Gr\xFC\xDF"
         "e \x80 5\r\n\r\n[input]\r\n; Eing\xE4nge\r\n{IN}\r\n"
         "; Ausg\xE4nge\r\n[ Output ]\r\n{OUT}[ENDE]\r\nX=\xE4",
         "\r\n", ""},
        {"a section twice, one without rows, a comment between rows",
         "[INPUT]\r\n; leer\r\n\r\n[OUTPUT]\r\n01=130;0;0;000\r\n; zwischen\r\n08=193;0;0;255\r\n"
         "[NOTIZ]\r\nA=1\r\n"
         "[input]\r\n17=001;000;000;000\r\n; Ende\r\n",
         "\r\n", "[INPUT]\r\n{IN}; leer\r\n\r\n[OUTPUT]\r\n{OUT}[NOTIZ]\r\nA=1\r\n[input]\r\n; Ende\r\n"},
        {"mixed line ends, mostly LF", "[INFO]\r\nA=1\nB=2\n[INPUT]\n{IN}[OUTPUT]\n{OUT}", "\n", ""},
        {"CR alone", "[INPUT]\r{IN}\r[OUTPUT]\r{OUT}", "\r", ""},
        {"both sections missing, behind a mark, LF, no last line end", "\xEF\xBB\xBF[INFO]\nName=T\xC3\xBCr", "\n",
         "\xEF\xBB\xBF[INFO]\nName=T\xC3\xBCr\n\n[INPUT]\n{IN}\n[OUTPUT]\n{OUT}"},
        {"the outputs missing", "[INPUT]\r\n{IN}\r\n[NOTIZ]\r\nA=1\r\n\r\n", "\r\n",
         "[INPUT]\r\n{IN}\r\n[NOTIZ]\r\nA=1\r\n\r\n[OUTPUT]\r\n{OUT}"},
        {"a new file", std::nullopt, "\r\n", "[INPUT]\r\n{IN}\r\n[OUTPUT]\r\n{OUT}"},
        {"an empty file", "", "\r\n", "[INPUT]\r\n{IN}\r\n[OUTPUT]\r\n{OUT}"},
        {"the rows in CR LF, the lines kept mostly in LF: the rows take the line end of the lines kept",
         "[INFO]\nA=1\nB=2\n[INPUT]\r\n{IN}[OUTPUT]\r\n{OUT}", "\r\n",
         "[INFO]\nA=1\nB=2\n[INPUT]\r\n{IN}[OUTPUT]\r\n{OUT}", "", 0644, "\n"},
        {"CR alone, a blank line ended by LF after the rows", "[INPUT]\r01=004;000;000;000\n\n[INFO]\rA=1\rB=2\r", "\r",
         "[INPUT]\r{IN-}\r\n\n[INFO]\rA=1\rB=2\r\r[OUTPUT]\r{OUT}"},
        {"Windows-1252 only in a row, the rest ASCII, which reads the same in UTF-8",
         "[INFO]\r\nA=1\r\n[INPUT]\r\n01=004;000;000;000 ; f\xFCr\r\n{IN}[OUTPUT]\r\n{OUT}", "\r\n",
         "[INFO]\r\nA=1\r\n[INPUT]\r\n{IN}[OUTPUT]\r\n{OUT}"},
        {"cut inside its last character, LF", "[INPUT]\n{IN}[OUTPUT]\n{OUT}[NOTIZ]\nText=T\xC3\xBCr \xE2\x82", "\n", "",
         "ist unvollständig: sie endet mitten in einer Zeile"},
        {"a mark, a Windows-1252 comment between the rows, its last line ending in a lead byte",
         "\xEF\xBB\xBF[INPUT]\r\n01=004;000;000;000\r\n; Eing\xE4nge\r\n09=033;000;000;000\r\n[OUTPUT]\r\n{OUT}"
         "[NOTIZ]\r\nText=Gr\xC3",
         "\r\n", "", "danach endete sie mitten in der Zeile \"Text=Gr\" und würde beim Laden abgewiesen"},
        {"Windows-1252 only in a row, UTF-8 elsewhere",
         "[INFO]\r\nName=T\xC3\xBCr\r\n[INPUT]\r\n01=004;000;000;000 ; f\xFCr\r\n[OUTPUT]\r\n{OUT}", "\r\n", "",
         "als UTF-8 statt als Windows-1252 gelesen"},
        {"its last line a cut section header after a section of the user's",
         "[INPUT]\r\n{IN}[OUTPUT]\r\n{OUT}[INFO]\r\nA=1\r\n[Notiz", "\r\n", "",
         "ist unvollständig: sie endet mitten in der Zeile \"[Notiz\""},
        {"UTF-16 behind its mark", std::string("\xFF\xFE[\0I\0N\0P\0U\0T\0]\0\r\0\n\0", 20), "\r\n", "",
         "ist in UTF-16 geschrieben"},
        {"read-only by its mode bits, for root too", "[INPUT]\r\n{IN}[OUTPUT]\r\n{OUT}", "\r\n", "",
         "ist schreibgeschützt", 0444},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        std::filesystem::remove(path_);
        std::string file;
        if (test.file) {
            file = expand(*test.file, test.eol, oldInputs, oldOutputs);
            Write(file);
            chmod(path_.c_str(), test.mode);
        }
        if (!test.refusal.empty()) {
            try {
                SaveIoConfigToFile(path_, c);
                ADD_FAILURE() << "saved:\n" << Read();
            } catch (const EStreamError& e) {
                EXPECT_NE(std::string::npos, e.Message().find(test.refusal)) << e.Message();
                EXPECT_TRUE(e.Message().find(" wurde nicht gespeichert: ") != std::string::npos ||
                            e.Message().ends_with("; es wurde nichts gespeichert"))
                    << "says that nothing was saved: " << e.Message();
            }
            EXPECT_EQ(file, Read());
            continue;
        }
        SaveIoConfigToFile(path_, c);
        const std::string saved = Read();
        EXPECT_EQ(expand(test.saved.empty() ? *test.file : test.saved, test.savedEol.empty() ? test.eol : test.savedEol,
                         inputs, outputs),
                  saved);
        TIoConfig back;
        ASSERT_NO_THROW(LoadIoConfigFromFile(path_, back));
        EXPECT_EQ(1, back.DeviceType);
        EXPECT_EQ(EncodeInputBlock(c), EncodeInputBlock(back));
        EXPECT_EQ(EncodeOutputBlock(c), EncodeOutputBlock(back));
        SaveIoConfigToFile(path_, back);
        EXPECT_EQ(saved, Read()) << "the second save";
    }
    // A save that cannot write leaves the file as it was and nothing beside it: here its
    // temporary file's name is too long for the folder, even for root.
    const std::string longPath = dir_ + "/" + std::string(250, 'X') + ".CFG";
    const std::string kept = "\xEF\xBB\xBF[NOTIZ]\nA=1\n";
    std::ofstream(longPath, std::ios::binary) << kept;
    ASSERT_TRUE(std::filesystem::exists(longPath));
    try {
        SaveIoConfigToFile(longPath, c);
        ADD_FAILURE() << "saved a file whose temporary name is too long";
    } catch (const EFCreateError& e) {
        EXPECT_EQ("Datei \"" + longPath + "\" kann nicht geschrieben werden (" + std::strerror(ENAMETOOLONG) +
                      "); es wurde nichts gespeichert",
                  e.Message());
    }
    std::ifstream in(longPath, std::ios::binary);
    EXPECT_EQ(kept, std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(dir_), {})) << "the file and TEST.CFG";
}

TEST_F(ConfigFile, LoadingOddFiles) {
    TIoConfig c;
    // Only outputs: type 2, all inputs at 0; an input code on an output becomes 128.
    Write("[OUTPUT]\r\n01=12;1;5;7\r\n02= 300 ;x;;\r\n");
    c.Row(1).Function = 9;
    LoadIoConfigFromFile(path_, c);
    EXPECT_EQ(2, c.DeviceType);
    EXPECT_EQ(0, c.Row(1).Function);
    EXPECT_EQ(0x80, c.Row(21).Function);
    EXPECT_TRUE(c.Row(21).Inverted);
    EXPECT_EQ(5, c.Row(21).Param);
    EXPECT_EQ(7, c.Row(21).Mask);
    EXPECT_EQ(0x80, c.Row(22).Function);  // 300: low byte 44, an input code
    EXPECT_FALSE(c.Row(22).Inverted);
    EXPECT_EQ(0x80, c.Row(36).Function);
    // The highest non-empty input key decides: 7 gives type 2, 5 and 6 type 1, 9 type 0.
    Write("[INPUT]\r\n07=001;000;000;000\r\n");
    LoadIoConfigFromFile(path_, c);
    EXPECT_EQ(2, c.DeviceType);
    Write("[INPUT]\r\n01=001\r\n05=002;1;3;4\r\n20=5\r\n");
    LoadIoConfigFromFile(path_, c);
    EXPECT_EQ(1, c.DeviceType);
    EXPECT_EQ(2, c.Row(5).Function);
    EXPECT_TRUE(c.Row(5).Inverted);
    EXPECT_EQ(3, c.Row(5).Param);
    EXPECT_EQ(5, c.Row(44).Function);  // key 20 is row 44
    Write("[INPUT]\r\n09=001;000;000;000\r\n");
    LoadIoConfigFromFile(path_, c);
    EXPECT_EQ(0, c.DeviceType);
    // Not an INI file at all: refused, the rows stay.
    Write(std::string("\x00\xFF garbage\r\n=;;\r\n", 17));
    EXPECT_THROW(LoadIoConfigFromFile(path_, c), EReadError);
    EXPECT_EQ(0, c.DeviceType);
    EXPECT_EQ(1, c.Row(9).Function);
}

TEST_F(ConfigFile, FilesThatCannotBeUsedRaiseAndChangeNothing) {
    TIoConfig c;
    c.Row(1).Function = 4;
    EXPECT_THROW(LoadIoConfigFromFile(dir_ + "/MISSING.CFG", c), EFOpenError);
    EXPECT_EQ(4, c.Row(1).Function);
    EXPECT_THROW(SaveIoConfigToFile(dir_ + "/no/such/dir/X.CFG", c), Exception);
    // A file with neither section is no configuration: loading it would blank every row.
    for (const char* junk : {"", "[MAIN]\r\nCOM=3\r\n", "01=004;000;000;000\r\n"}) {
        Write(junk);
        EXPECT_THROW(LoadIoConfigFromFile(path_, c), EReadError) << junk;
        EXPECT_EQ(4, c.Row(1).Function);
    }
    // A saved file cut short (a copy that broke off) stops inside a row: refused, for its
    // rows after the cut are gone. A hand-made last row without its line end is whole.
    TIoConfig standard;
    DecodeInputBlock(StandardInputText(0), standard);
    DecodeOutputBlock(StandardOutputText(0), standard);
    SaveIoConfigToFile(path_, standard);
    const std::string saved = Read();
    // The same cut short behind a UTF-8 byte-order mark, and inside the last field (the
    // program writes every mask with three digits).
    for (size_t cut : {saved.find("06=") + 7, saved.find("06=") + 2, saved.find("[OUTPUT]") + 4,
                       saved.find("08=193") + 10, saved.find("08=193") + 12, saved.find("08=193") + 13})
        for (const std::string bom : {"", "\xEF\xBB\xBF"}) {
            Write(bom + saved.substr(0, cut));
            EXPECT_THROW(LoadIoConfigFromFile(path_, c), EReadError) << bom.size() << " " << saved.substr(0, cut);
            EXPECT_EQ(4, c.Row(1).Function);
        }
    Write("\xEF\xBB\xBF" + saved);
    LoadIoConfigFromFile(path_, c);
    EXPECT_EQ(0xC1, c.Row(28).Function) << "a whole file with the mark loads";
    c.Row(1).Function = 4;
    Write(saved.substr(0, saved.size() - 2));
    LoadIoConfigFromFile(path_, c);
    EXPECT_EQ(0, c.DeviceType);
    EXPECT_EQ(0xC1, c.Row(28).Function);
    EXPECT_EQ(255, c.Row(28).Mask);
    c.Row(1).Function = 4;

    Write("[input]\r\n01=005;000;000;000\r\n");
    LoadIoConfigFromFile(path_, c);
    EXPECT_EQ(5, c.Row(1).Function) << "section names are matched as INI files match them";
    if (geteuid() != 0) {
        Write("[OTHER]\r\nKEEP=1\r\n");
        chmod(path_.c_str(), 0);
        EXPECT_THROW(SaveIoConfigToFile(path_, c), EFOpenError);
        chmod(path_.c_str(), 0600);
        EXPECT_EQ("[OTHER]\r\nKEEP=1\r\n", Read());
    }
}

// Files cut short, kept under corpus/, most inside their last UTF-8 character: the character
// is dropped on reading, so its line is known to be cut even where what is left looks whole.
// The load refuses each; so does a save, which would keep the cut line, and writes nothing.
TEST_F(ConfigFile, AFileCutInsideItsLastCharacterIsCut) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TOVAK_APP_CORPUS)) {
        if (entry.path().filename().string().rfind("config-", 0) != 0) continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++files;
        std::filesystem::copy_file(entry.path(), path_, std::filesystem::copy_options::overwrite_existing);
        const std::string kept = Read();
        TIoConfig c;
        c.Row(1).Function = 4;
        for (bool save : {false, true}) {
            try {
                if (save)
                    SaveIoConfigToFile(path_, c);
                else
                    LoadIoConfigFromFile(path_, c);
                ADD_FAILURE() << (save ? "saved" : "loaded");
            } catch (const EReadError& e) {
                EXPECT_NE(std::string::npos, e.Message().find("ist unvollständig")) << e.Message();
            }
        }
        EXPECT_EQ(4, c.Row(1).Function);
        EXPECT_EQ(kept, Read());
    }
    EXPECT_GT(files, 0);
    // A last character whole loads; so does an older file in Windows-1252 whose last byte
    // would begin a UTF-8 character. Cut inside a comment, it is cut: a save keeps comments.
    for (const char* whole : {"[INPUT]\r\n; Eing\xC3\xA4nge\r\n01=005;000;000;000\r\n; \xC3\xA4",
                              "[INPUT]\r\n; Eing\xE4nge\r\n01=005;000;000;000\r\n; Gr\xFC\xDF"}) {
        Write(whole);
        TIoConfig c;
        EXPECT_NO_THROW(LoadIoConfigFromFile(path_, c)) << whole;
        EXPECT_EQ(5, c.Row(1).Function) << whole;
    }
    Write("[INPUT]\r\n; Eing\xC3\xA4nge\r\n01=005;000;000;000\r\n; \xC3");
    TIoConfig c;
    EXPECT_THROW(LoadIoConfigFromFile(path_, c), EReadError);
}

// The same wherever the last line is: a section of the user's own keeps its lines through a
// save, so what is left of the cut one would be written back a character short.
TEST_F(ConfigFile, AFileCutInsideItsLastCharacterIsCutInEverySection) {
    const std::string rows = "[INPUT]\r\n01=005;000;000;000\r\n[OUTPUT]\r\n01=130;0;0;000\r\n";
    const struct {
        const char* name;
        std::string bytes;
    } characters[] = {{"ü", "\xC3\xBC"}, {"€", "\xE2\x82\xAC"}, {"emoji", "\xF0\x9F\x98\x80"}};
    // The last line: a value, a line without "=", a character alone after a line end; in a
    // section of any name's case, after both kinds of rows or the inputs only. Each file holds
    // the character whole before (an otherwise ASCII file ending in a lead byte is
    // Windows-1252).
    const auto filesEndingIn = [&](const std::string& end, const std::string& whole) {
        return std::vector<std::string>{rows + "[NOTIZ]\r\nText=Gr" + whole + "n" + end,
                                        rows + "[Notiz]\r\nText=Gr" + whole + "\r\nSchl" + end,
                                        rows + "[NOTIZ]\r\nText=Gr" + whole + "\r\n" + end,
                                        "[INPUT]\r\n01=005;000;000;000\r\n[notiz]\r\nText=" + whole + end};
    };
    for (const auto& character : characters)
        for (const std::string bom : {"", "\xEF\xBB\xBF"}) {
            for (size_t kept = 1; kept < character.bytes.size(); ++kept) {
                int place = 0;
                for (const std::string& file : filesEndingIn(character.bytes.substr(0, kept), character.bytes)) {
                    SCOPED_TRACE(testing::Message() << character.name << ", " << kept << " of its bytes, place "
                                                    << place++ << (bom.empty() ? "" : ", behind a byte-order mark"));
                    Write(bom + file);
                    TIoConfig c;
                    c.Row(1).Function = 4;
                    try {
                        LoadIoConfigFromFile(path_, c);
                        ADD_FAILURE() << "loaded";
                    } catch (const EReadError& e) {
                        EXPECT_NE(std::string::npos, e.Message().find("ist unvollständig: sie endet mitten in"))
                            << e.Message();
                    }
                    EXPECT_EQ(4, c.Row(1).Function);
                }
            }
            // Whole, each file loads, and a save writes its last line back as it was.
            for (const std::string& file : filesEndingIn(character.bytes, character.bytes)) {
                SCOPED_TRACE(testing::Message()
                             << character.name << " whole" << (bom.empty() ? "" : ", behind a byte-order mark"));
                Write(bom + file);
                TIoConfig c;
                ASSERT_NO_THROW(LoadIoConfigFromFile(path_, c));
                EXPECT_EQ(5, c.Row(1).Function);
                SaveIoConfigToFile(path_, c);
                const std::string lastLine = file.substr(file.rfind('\n') + 1);
                EXPECT_NE(std::string::npos, Read().find("\r\n" + lastLine)) << Read();
            }
        }
}

// A save into a file cut inside its last character would write the lines of the sections it
// keeps back as they were read, the cut one a character short: it refuses as the load does,
// and the file stays as it was, byte for byte.
TEST_F(ConfigFile, ASaveIntoAFileCutInsideItsLastCharacterRefusesAndWritesNothing) {
    const std::string rows = "[INPUT]\r\n01=005;000;000;000\r\n[OUTPUT]\r\n01=130;0;0;000\r\n";
    const std::string files[] = {
        rows + "[NOTIZ]\r\n; Preis f\xC3\xBCr 5 \xE2\x82",                 // a comment cut inside "€"
        rows + "[NOTIZ]\r\nText=Gr\xC3\xB6\xC3",                           // "Grö" and a lone lead byte
        "[NOTIZ]\r\nText=Gr\xC3\xB6\r\n" + rows + "02=161;0;0;0\xE2\x82",  // inside the rows the save rewrites
    };
    TIoConfig c;
    DecodeInputBlock(StandardInputText(0), c);
    DecodeOutputBlock(StandardOutputText(0), c);
    for (const std::string& file : files)
        for (const std::string bom : {"", "\xEF\xBB\xBF"}) {
            SCOPED_TRACE(testing::Message() << file << (bom.empty() ? "" : ", behind a byte-order mark"));
            Write(bom + file);
            std::string loadSaid, saveSaid;
            try {
                TIoConfig loaded;
                LoadIoConfigFromFile(path_, loaded);
            } catch (const EReadError& e) {
                loadSaid = e.Message();
            }
            try {
                SaveIoConfigToFile(path_, c);
            } catch (const EReadError& e) {
                saveSaid = e.Message();
            }
            EXPECT_NE(std::string::npos, loadSaid.find("ist unvollständig: sie endet mitten in")) << loadSaid;
            EXPECT_EQ(loadSaid + "; es wurde nichts gespeichert", saveSaid);
            EXPECT_EQ(bom + file, Read()) << "nothing written";
        }
    // The same file whole takes the save, and keeps its note.
    Write(rows + "[NOTIZ]\r\nText=Gr\xC3\xB6\xC3\xA4\r\n");
    SaveIoConfigToFile(path_, c);
    EXPECT_NE(std::string::npos, Read().find("\r\nText=Gr\xC3\xB6\xC3\xA4\r\n")) << Read();
}

// A byte-order mark says the file is UTF-8: one whose only byte above ASCII is a lead byte at
// its end was cut inside that character, and is refused by a load and a save. Without the
// mark it is an older file in Windows-1252 and loads.
TEST_F(ConfigFile, AFileWithAByteOrderMarkEndingInALoneLeadByteIsCut) {
    const std::string file = "[INPUT]\r\n01=005;000;000;000\r\n[NOTIZ]\r\nText=Gr\xC3";
    Write("\xEF\xBB\xBF" + file);
    TIoConfig c;
    c.Row(1).Function = 4;
    try {
        LoadIoConfigFromFile(path_, c);
        ADD_FAILURE() << "loaded";
    } catch (const EReadError& e) {
        EXPECT_NE(std::string::npos, e.Message().find("ist unvollständig: sie endet mitten in der Zeile \"Text=Gr\""))
            << e.Message();
    }
    EXPECT_EQ(4, c.Row(1).Function);
    EXPECT_THROW(SaveIoConfigToFile(path_, c), EReadError);
    EXPECT_EQ("\xEF\xBB\xBF" + file, Read());

    Write(file);
    ASSERT_NO_THROW(LoadIoConfigFromFile(path_, c));
    EXPECT_EQ(5, c.Row(1).Function);
    SaveIoConfigToFile(path_, c);
    EXPECT_NE(std::string::npos, Read().find("\r\nText=Gr\xC3\r\n")) << "still in Windows-1252";
}

TEST(RowValues, ATypedParameterMustFitItsByte) {
    EXPECT_EQ(ParamByte("0"), uint8_t{0});
    EXPECT_EQ(ParamByte(" 255 "), uint8_t{255});
    EXPECT_EQ(ParamByte("007"), uint8_t{7});
    EXPECT_EQ(ParamByte(""), uint8_t{0}) << "an empty field is 0, as it always read";
    for (const char* bad : {"256", "300", "-1", "abc", "1a", "+5", "1.5", "0256", "9999999"})
        EXPECT_FALSE(ParamByte(bad)) << bad;
    EXPECT_TRUE(RowStoresParam(3, 0x04));
    EXPECT_TRUE(RowStoresParam(41, 0x00));
    EXPECT_TRUE(RowStoresParam(21, 0xB0));
    EXPECT_FALSE(RowStoresParam(21, 0xC1));
    EXPECT_FALSE(RowStoresParam(17, 0xB0)) << "no such row";
    EXPECT_EQ(BadRowValueMessage(43, "300"),
              "Eingang 19: \"300\" ist kein gültiger Wert (0 bis 255). Es wurde nichts gespeichert.");
}

// The 1 MiB limit holds for what a save writes: a save that would make the file too large
// is refused with the loader's message and the file stays; one that fits loads again.
TEST_F(ConfigFile, ASavedFileAlwaysLoadsAgain) {
    TIoConfig c;
    DecodeInputBlock(StandardInputText(0), c);
    DecodeOutputBlock(StandardOutputText(0), c);
    const auto fileOf = [](size_t bytes) {
        std::string text = "[NOTE]\r\n";
        while (text.size() + 80 <= bytes) text += "; " + std::string(76, 'x') + "\r\n";
        return text + std::string(bytes - text.size() - 2, 'y') + "\r\n";
    };
    const std::string full = fileOf(1024 * 1024);
    ASSERT_EQ(1024u * 1024u, full.size());
    Write(full);
    try {
        SaveIoConfigToFile(path_, c);
        ADD_FAILURE() << "saved " << std::filesystem::file_size(path_) << " bytes";
    } catch (const EReadError& e) {
        EXPECT_NE(std::string::npos, e.Message().find("ist zu groß für eine Konfigurationsdatei")) << e.Message();
        EXPECT_NE(std::string::npos, e.Message().find("höchstens 1048576); es wurde nichts gespeichert"))
            << e.Message();
    }
    EXPECT_TRUE(Read() == full) << "the file is unchanged";

    Write(fileOf(1024 * 1024 - 4096));
    SaveIoConfigToFile(path_, c);
    EXPECT_LE(std::filesystem::file_size(path_), 1024u * 1024u);
    TIoConfig back;
    LoadIoConfigFromFile(path_, back);
    EXPECT_EQ(StandardOutputText(0), EncodeOutputBlock(back));
}
