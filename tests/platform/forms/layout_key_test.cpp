// Keys typed on a layout other than US: each press is one key message followed by the
// layout's character, whatever the US character of that key would have been.
#include "platform/forms/edit.h"
#include "platform/win/virtual_keys.h"
#include "tests/platform/forms/forms_test_support.h"

namespace {

class LayoutKeys : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        TForm* form = MakeForm("Form1", 200, 80);
        edit_ = Add<TEdit>(form, "Edit1", 8, 8);
        edit_->OnKeyDown = [this](TObject*, uint16_t& key, TShiftState) { keys_.push_back(key); };
        form->Show();
        edit_->SetFocus();
    }
    void Press(uint16_t vk, char32_t layoutChar) {
        InjectLayoutKey(vk, true, layoutChar);
        InjectLayoutKey(vk, false, 0);
    }
    TEdit* edit_ = nullptr;
    std::vector<uint16_t> keys_;
};

TEST_F(LayoutKeys, EachPressIsOneKeyTypingTheLayoutsCharacter) {
    Press(VK_OEM_7, U'ä');  // the umlaut key
    InjectKey(VK_SHIFT, true);
    Press('2', U'"');  // German Shift+2 (US: @)
    InjectKey(VK_SHIFT, false);
    Press('Q', U'@');  // AltGr+Q (US: q)
    Press('A', U'A');  // Caps Lock without Shift (US: a)
    Press('E', 0);     // a press that types nothing on this layout
    Driver().Pump();
    EXPECT_EQ(edit_->Text(), "ä\"@A");
    EXPECT_EQ(keys_, (std::vector<uint16_t>{VK_OEM_7, VK_SHIFT, '2', 'Q', 'A', 'E'}));
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);

    // Keys without a layout character still type the US one; presses queued together keep
    // their own characters in order.
    Press('B', U'ß');
    InjectKey('C', true);
    InjectKey('C', false);
    Press('D', U'đ');
    Driver().Pump();
    EXPECT_EQ(edit_->Text(), "ä\"@Aßcđ");
}

// A press whose key message never reaches a window (a dialog key the form takes) does not
// hand its character to the next press.
TEST_F(LayoutKeys, AConsumedKeyKeepsItsCharacterToItself) {
    Press(VK_OEM_7, U'ä');
    Press(VK_OEM_3, U'ö');
    Driver().Pump();
    InjectLayoutKey(VK_TAB, true, U'\t');  // moves the focus on: no character typed
    InjectLayoutKey(VK_TAB, false, 0);
    Driver().Pump();
    edit_->SetFocus();
    Press(VK_OEM_1, U'ü');
    Driver().Pump();
    EXPECT_EQ(edit_->Text(), "äöü");
}

}  // namespace
