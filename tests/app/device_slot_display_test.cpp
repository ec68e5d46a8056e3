#include "app/common/device_slot_display.h"

#include <gtest/gtest.h>
#include <memory>

#include "link/device_records.h"
#include "link/link_state.h"
#include "platform/classes/component.h"
#include "platform/classes/strings.h"
#include "platform/forms/label.h"
#include "platform/forms/list_box.h"
#include "platform/forms/shape.h"
#include "program/program_context.h"

namespace {

class SlotDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        owner_ = std::make_unique<TComponent>(nullptr);
        for (int s = 1; s <= 12; ++s) {
            Make<TLabel>("Label" + std::to_string(800 + s));
            Make<TShape>("Shape" + std::to_string(800 + s));
            Make<TLabel>("Label" + std::to_string(820 + s));
        }
    }
    template <class T>
    T* Make(const std::string& name) {
        T* c = new T(owner_.get());
        c->SetName(name);
        return c;
    }
    TLabel* L(int n) { return static_cast<TLabel*>(owner_->FindComponent("Label" + std::to_string(n))); }
    TShape* S(int n) { return static_cast<TShape*>(owner_->FindComponent("Shape" + std::to_string(n))); }
    std::unique_ptr<TComponent> owner_;
    TLinkState link_;
};

}  // namespace

TEST_F(SlotDisplay, SlotsShowAddressTypeAndVersionInTheirColours) {
    link_.DoorSystem.Slots[1].BusAddress = 5;
    link_.DoorSystem.Slots[1].DeviceTypeHex = "00000309";
    link_.DoorSystem.Slots[1].VersionText = "1.2.34";
    link_.DoorSystem.Slots[5].BusAddress = 21;
    link_.DoorSystem.Slots[5].DeviceTypeHex = "00000006";
    link_.NodeTable.Nodes[3].NodeID = 21;
    link_.NodeTable.Nodes[3].AppVers = "3.1.0";
    TDeviceSlotDisplay d(owner_.get());
    d.ShowDeviceSlots(link_);
    EXPECT_EQ("05: MR [1.2.34]", L(801)->Caption());
    EXPECT_EQ(0x00FF00, S(801)->Brush()->Color());
    EXPECT_EQ("21: KV [3.1.0]", L(805)->Caption());
    EXPECT_EQ("", L(802)->Caption());
    EXPECT_EQ(0xC0C0C0, S(802)->Brush()->Color());
    EXPECT_EQ(nullptr, d.SlotLabel(3, 5));
    EXPECT_EQ(nullptr, d.SlotErrorLabel(13));
    EXPECT_EQ("00000001", DeviceTypeShortName("00000001"));

    link_.SlotErrors[1] = 0x11;
    link_.SlotErrors[2] = 0x11;  // empty slot: no error shown
    d.ShowSlotErrors(link_);
    EXPECT_EQ("0011", L(821)->Caption());
    EXPECT_EQ("Error: 0x00000011\rBit0=Reset\rBit4=SRDO-Fehler", L(821)->Hint());
    EXPECT_EQ(0x0000FF, S(801)->Brush()->Color());
    EXPECT_EQ(0x00FF00, S(805)->Brush()->Color());
    EXPECT_EQ("", L(822)->Caption());
    EXPECT_EQ(0xC0C0C0, S(802)->Brush()->Color());
    EXPECT_EQ("Error: 0x80000000\rBit31=SP2-Logischer Programmablauf", ErrorWordText(0x80000000u));
}

TEST_F(SlotDisplay, StatusBitsAndJumperFlags) {
    TListBox* list = Make<TListBox>("ListBox81");
    TDeviceSlotDisplay d(owner_.get());
    d.ShowStatusBits(0x4000 | 0x1001, list);
    ASSERT_EQ(2, list->Items()->Count());
    EXPECT_EQ("Sabotagekontakt", list->Items()->Strings(0));
    EXPECT_EQ("Voralarm", list->Items()->Strings(1));

    Program().InstallJumperJ1 = Program().InstallJumperJ2 = Program().InstallJumperJ3 = false;
    TDeviceFlags f = DecodeDeviceFlags(0x22);
    EXPECT_FALSE(f.J1a);
    EXPECT_TRUE(f.J1b);
    EXPECT_FALSE(f.J2a);
    EXPECT_TRUE(f.J2b);
    EXPECT_FALSE(Program().InstallJumperJ1);
    DecodeDeviceFlags(0x07);
    EXPECT_TRUE(Program().InstallJumperJ1 && Program().InstallJumperJ2 && Program().InstallJumperJ3);
    DecodeDeviceFlags(0x72);
    EXPECT_TRUE(Program().InstallJumperJ1);  // never cleared
}
