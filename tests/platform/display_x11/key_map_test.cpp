// How X keys become window-layer keys and characters, and the choice of display.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "platform/display/x11/select_presenter.h"
#include "platform/display/x11/x11_key_map.h"
#include "platform/display/x11/x11_text.h"
#include "platform/win/virtual_keys.h"

TEST(X11KeyMap, NamesKeysAsAGermanWindowsKeyboardDoes) {
    EXPECT_EQ(VirtualKeyForKeysym(XK_a), 'A');
    EXPECT_EQ(VirtualKeyForKeysym(XK_Z), 'Z');
    EXPECT_EQ(VirtualKeyForKeysym(XK_7), '7');
    EXPECT_EQ(VirtualKeyForKeysym(XK_F12), VK_F12);
    EXPECT_EQ(VirtualKeyForKeysym(XK_KP_3), VK_NUMPAD0 + 3);
    EXPECT_EQ(VirtualKeyForKeysym(XK_KP_Home), VK_HOME);
    EXPECT_EQ(VirtualKeyForKeysym(XK_ISO_Left_Tab), VK_TAB);
    EXPECT_EQ(VirtualKeyForKeysym(XK_Shift_R), VK_SHIFT);
    EXPECT_EQ(VirtualKeyForKeysym(XK_adiaeresis), VK_OEM_7);
    EXPECT_EQ(VirtualKeyForKeysym(XK_odiaeresis), VK_OEM_3);
    EXPECT_EQ(VirtualKeyForKeysym(XK_udiaeresis), VK_OEM_1);
    EXPECT_EQ(VirtualKeyForKeysym(XK_ssharp), VK_OEM_4);
    EXPECT_EQ(VirtualKeyForKeysym(XK_dead_circumflex), VK_OEM_5);
    EXPECT_EQ(VirtualKeyForKeysym(XK_ISO_Level3_Shift), 0);  // AltGr only changes what others type
}

TEST(X11KeyMap, KeysymCharactersIncludeLatin1UnicodeAndTheEuro) {
    EXPECT_EQ(CharForKeysym(XK_adiaeresis), U'ä');
    EXPECT_EQ(CharForKeysym(XK_section), U'§');
    EXPECT_EQ(CharForKeysym(XK_EuroSign), U'€');
    EXPECT_EQ(CharForKeysym(0x01000000UL + 0x0151), U'ő');
    EXPECT_EQ(CharForKeysym(XK_KP_5), U'5');
    EXPECT_EQ(CharForKeysym(XK_Left), 0u);
    EXPECT_EQ(CharForKeysym(XK_dead_acute), 0u);
    EXPECT_TRUE(IsDeadKeysym(XK_dead_acute));
    EXPECT_FALSE(IsDeadKeysym(XK_acute));
}

// A press goes out as one key typing the layout's character (never the window layer's US
// guess beside it), or as characters alone when the window layer has no key for it.
TEST(X11KeyMap, AKeyCarriesTheLayoutsCharacter) {
    struct Case {
        uint16_t vk;
        std::u32string text;
        bool ctrl;
        bool key, layout;
        char32_t keyChar;
        std::u32string chars;
    } cases[] = {
        {'A', U"a", false, true, true, U'a', U""},
        {'A', U"A", false, true, true, U'A', U""},         // Shift or Caps Lock
        {'2', U"\"", false, true, true, U'"', U""},        // German Shift+2
        {VK_OEM_7, U"ä", false, true, true, U'ä', U""},    // umlaut key
        {'Q', U"@", false, true, true, U'@', U""},         // AltGr+Q
        {'X', U"´x", false, true, true, U'´', U"x"},       // an accent that does not combine
        {'C', U"\x03", true, true, false, 0, U""},         // Ctrl+C is the layer's
        {VK_OEM_7, U"ä", true, true, false, 0, U""},       // Ctrl combinations never type
        {VK_DELETE, U"\x7f", false, true, false, 0, U""},  // DEL is no text
        {VK_RETURN, U"\r", false, true, false, 0, U""},
        {VK_LEFT, U"", false, true, false, 0, U""},
        {VK_SHIFT, U"", false, true, false, 0, U""},
        {0, U"é", false, false, false, 0, U"é"},  // composed by the input method
        {0, U"\x1b", false, false, false, 0, U""},
    };
    for (const Case& c : cases) {
        KeyDelivery d = PlanKeyPress(c.vk, c.text, c.ctrl);
        EXPECT_EQ(d.key, c.key) << "vk " << c.vk;
        EXPECT_EQ(d.layoutChar, c.layout) << "vk " << c.vk;
        if (c.layout) {
            EXPECT_EQ(d.keyChar, c.keyChar) << "vk " << c.vk;
        }
        EXPECT_EQ(d.chars, c.chars) << "vk " << c.vk;
    }
}

TEST(X11KeyMap, DeadKeysComposeOrFallBackToTheAccent) {
    DeadKeyComposer dead;
    EXPECT_EQ(dead.FeedDeadKey(XK_dead_acute), U"");
    EXPECT_TRUE(dead.Pending());
    EXPECT_EQ(dead.FeedChar(0), U"");  // Shift on the way keeps the accent waiting
    EXPECT_EQ(dead.FeedChar(U'E'), U"É");
    EXPECT_FALSE(dead.Pending());

    dead.FeedDeadKey(XK_dead_circumflex);
    EXPECT_EQ(dead.FeedChar(U' '), U"^");
    dead.FeedDeadKey(XK_dead_circumflex);
    EXPECT_EQ(dead.FeedChar(U'x'), U"^x");
    dead.FeedDeadKey(XK_dead_grave);
    EXPECT_EQ(dead.FeedDeadKey(XK_dead_acute), U"`");
    EXPECT_EQ(dead.FeedChar(U'a'), U"á");
    dead.FeedDeadKey(XK_dead_diaeresis);
    EXPECT_EQ(dead.FeedChar(U'\r'), U"\r");  // a control key drops the accent
    EXPECT_EQ(dead.FeedChar(U'u'), U"u");
}

TEST(SelectPresenter, X11OnlyWithADisplayAndNotWhenHeadlessIsAsked) {
    EXPECT_EQ(ChoosePresenter(":0", nullptr, true), PresenterKind::X11);
    EXPECT_EQ(ChoosePresenter(":0", "0", true), PresenterKind::X11);
    EXPECT_EQ(ChoosePresenter(":0", "1", true), PresenterKind::Headless);
    EXPECT_EQ(ChoosePresenter(nullptr, nullptr, true), PresenterKind::Headless);
    EXPECT_EQ(ChoosePresenter("", nullptr, true), PresenterKind::Headless);
    EXPECT_EQ(ChoosePresenter(":0", nullptr, false), PresenterKind::Headless);
}

TEST(X11Text, Latin1ForOldStylePropertiesLosesOnlyWhatItCannotHold) {
    EXPECT_EQ(Utf8ToLatin1("Tür €5"), "T\xFCr ?5");
    EXPECT_EQ(Utf8ToLatin1("a\xC3"), "a?");  // cut sequence
    EXPECT_EQ(Utf8ToLatin1("\xFF"
                           "b"),
              "?b");  // not UTF-8 at all
    EXPECT_EQ(Latin1ToUtf8("T\xFCr"), "Tür");
    EXPECT_EQ(DecodeUtf8("ä\xE2\x82", 4), U"ä");  // a broken tail is dropped
    EXPECT_EQ(DecodeUtf8("€x", 4), U"€x");
}
