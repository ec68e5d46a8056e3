#include "controls/reg_ini_wrapper.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "controls/registry.h"
#include "platform/classes/ini_file.h"
#include "platform/classes/mem_ini_file.h"
#include "platform/classes/string_list.h"
#include "platform/rtl/exception.h"
#include "tests/support/scoped_config_home.h"

namespace {

// A fresh configuration folder, holding the registry store, for each test.
class RegistryStore : public testing::Test {
protected:
    ScopedConfigHome home_{"tovak-reg"};
    const std::filesystem::path& dir_ = home_.Path();
};

}  // namespace

TEST_F(RegistryStore, RegIniFileKeepsValuesAcrossObjects) {
    {
        TRegIniFile reg("Software\\Tovak\\Grid");
        reg.WriteInteger("Layout", "BandRowCount", 3);
        reg.WriteBool("Layout", "ShowGrid", true);
        reg.WriteString("Layout", "Caption", " padded = text ; [x] ");
        reg.WriteInteger("Columns", "Count", -7);
    }
    EXPECT_TRUE(std::filesystem::exists(dir_ / "tovak" / "registry"));
    TRegIniFile again("software\\TOVAK\\grid");  // keys ignore case
    EXPECT_EQ(again.ReadInteger("layout", "bandrowcount", 0), 3);
    EXPECT_TRUE(again.ReadBool("Layout", "ShowGrid", false));
    EXPECT_EQ(again.ReadString("Layout", "Caption", ""), " padded = text ; [x] ");
    EXPECT_EQ(again.ReadInteger("Layout", "Missing", 42), 42);
    TStringList sections;
    again.ReadSections(&sections);
    ASSERT_EQ(sections.Count(), 2);
    EXPECT_EQ(sections[0], "Columns");
    EXPECT_EQ(sections[1], "Layout");
    again.EraseSection("Layout");
    EXPECT_EQ(again.ReadInteger("Layout", "BandRowCount", 0), 0);
    again.EraseSection("");  // never the whole key
    EXPECT_EQ(again.ReadInteger("Columns", "Count", 0), -7);
}

TEST_F(RegistryStore, KeyNamesCannotLeaveTheStore) {
    TRegIniFile reg("Software\\..\\..\\x/y");
    reg.WriteInteger("..", "v", 1);
    const auto store = dir_ / "tovak" / "registry";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_)) {
        if (entry.path() == dir_ / "tovak" || entry.path() == store) continue;
        auto rel = std::filesystem::relative(entry.path(), store);
        EXPECT_EQ(rel.string().rfind("..", 0), std::string::npos) << entry.path();
    }
    EXPECT_EQ(reg.ReadInteger("..", "v", 0), 1);
}

TEST_F(RegistryStore, WrapperDispatchesToTheRegistry) {
    TRegIniFile reg("Software\\Tovak\\Wrapper");
    TvxRegIniWrapper w(&reg);
    w.WriteInteger("Band0", "Width", 120);
    w.WriteBool("Band0", "Visible", false);
    EXPECT_EQ(w.ReadInteger("Band0", "Width", 0), 120);
    EXPECT_FALSE(w.ReadBool("Band0", "Visible", true));
    const uint8_t data[5] = {1, 2, 3, 0xFE, 0xFF};
    w.WriteBinaryData("Columns", "Order", data, 5);
    EXPECT_EQ(w.ReadBinaryData("Columns", "Order", nullptr, 0), 5);  // the size, nothing read
    uint8_t back[8] = {};
    EXPECT_EQ(w.ReadBinaryData("Columns", "Order", back, 8), 5);
    EXPECT_EQ(std::vector<uint8_t>(back, back + 5), std::vector<uint8_t>(data, data + 5));
    uint8_t small[2];
    EXPECT_THROW(w.ReadBinaryData("Columns", "Order", small, 2), ERegistryException);
    EXPECT_EQ(w.ReadBinaryData("NoSuchKey", "Order", back, 8), 0);
    EXPECT_EQ(w.ReadBinaryData("Columns", "NoSuchValue", back, 8), 0);
    // The store's own key is untouched by the binary calls.
    EXPECT_EQ(reg.CurrentPath(), "Software\\Tovak\\Wrapper");
    w.WriteInteger("Band1", "Width", 1);
    w.EraseSections("Band");  // nothing for the registry
    EXPECT_EQ(w.ReadInteger("Band1", "Width", 0), 1);
    w.EraseSection("Band1");
    EXPECT_EQ(w.ReadInteger("Band1", "Width", 0), 0);
}

TEST_F(RegistryStore, WrapperOnIniFiles) {
    std::string file = (dir_ / "layout.ini").string();
    TMemIniFile mem(file);
    TvxRegIniWrapper w(&mem);
    w.WriteInteger("Grid_Band0", "Width", 80);
    w.WriteInteger("Grid_Band1", "Width", 90);
    w.WriteInteger("grid_Other", "Width", 1);
    w.WriteInteger("Other", "Width", 2);
    w.EraseSections("Grid_");  // case-sensitive prefix
    TStringList sections;
    w.ReadSections(&sections);
    EXPECT_EQ(sections.Count(), 2);
    EXPECT_EQ(w.ReadInteger("grid_Other", "Width", 0), 1);
    uint8_t buffer[4];
    EXPECT_EQ(w.ReadBinaryData("k", "n", buffer, 4), 0);
    w.WriteBinaryData("k", "n", buffer, 4);  // nothing happens
    w.EraseSections("");
    w.ReadSections(&sections);
    EXPECT_EQ(sections.Count(), 0);

    TIniFile ini(file);
    TvxRegIniWrapper wi(&ini);
    wi.WriteBool("S", "B", true);
    EXPECT_TRUE(wi.ReadBool("S", "B", false));
    TStringList other;
    TvxRegIniWrapper none(&other);  // not a store: reads give the default
    EXPECT_EQ(none.ReadInteger("S", "I", 5), 5);
}
