// Typing into a stand-in window through XTest, under Xvfb with the "us" layout unless a test
// switches it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "config/type_text.h"
#include "platform/linux/x11/x11_connection.h"
#include "platform/linux/x11/x11_keyboard.h"
#include "platform/linux/x11/x11_window_system.h"
#include "support/temp_dir.h"
#include "x11/eventually.h"
#include "x11/stand_in_process.h"
#include "x11/x_probe.h"

namespace sortwell::test {
namespace {

using platform::KeyEvent;
using platform::NamedKey;
using platform::x11::X11Connection;
using platform::x11::X11Keyboard;
using platform::x11::X11WindowSystem;
using Action = KeyEvent::Action;

// Each character pressed and released on its own, with no modifier around it.
std::vector<KeyEvent> bareKeys(const std::u32string& text) {
    std::vector<KeyEvent> events;
    for (const char32_t character : text) {
        events.push_back({Action::Press, character});
        events.push_back({Action::Release, character});
    }
    return events;
}

std::vector<KeyEvent> namedKey(NamedKey key) {
    return {{Action::Press, key}, {Action::Release, key}};
}

std::vector<KeyEvent> operator+(std::vector<KeyEvent> first, const std::vector<KeyEvent>& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class X11KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(connection->isOpen()) << connection->unavailableReason();
        ASSERT_TRUE(keyboard.isAvailable()) << keyboard.unavailableReason();
        ASSERT_TRUE(probe.isOpen());
    }

    // Starts a recording stand-in and makes it the active window.
    std::unique_ptr<StandInProcess> focusedStandIn(const std::string& title) {
        auto standIn = std::make_unique<StandInProcess>(title, record.string());
        if (!standIn->failure().empty()) {
            ADD_FAILURE() << standIn->failure();
            return nullptr;
        }
        std::uint64_t handle = 0;
        eventually([&] {
            for (const auto& window : windows.listTopLevelWindows()) {
                if (window.title == title) {
                    handle = window.handle;
                }
            }
            return handle != 0;
        });
        if (handle == 0 || !windows.activate(handle) ||
            !eventually([&] { return probe.activeWindow() == handle; })) {
            ADD_FAILURE() << "the stand-in window could not be made active";
            return nullptr;
        }
        return standIn;
    }

    // What the stand-in has recorded once it holds `expected`'s length, or after a while.
    std::string recordedText(const std::string& expected) {
        eventually([&] { return contentsOf(record).size() >= expected.size(); });
        return contentsOf(record);
    }

    std::shared_ptr<X11Connection> connection = X11Connection::open();
    X11Keyboard keyboard{connection};
    X11WindowSystem windows{connection};
    XProbe probe;
    TempDir folder;
    std::filesystem::path record = folder.path() / "typed.txt";
};

TEST_F(X11KeyboardTest, GivesTheShiftStateOfCharactersInTheUsLayout) {
    EXPECT_EQ(keyboard.shiftStateOf(U'a'), 0);
    EXPECT_EQ(keyboard.shiftStateOf(U'7'), 0);
    EXPECT_EQ(keyboard.shiftStateOf(U'A'), 1);
    EXPECT_EQ(keyboard.shiftStateOf(U'&'), 1);
    EXPECT_EQ(keyboard.shiftStateOf(U'\u00e9'), -1) << "no key for e acute";
    EXPECT_EQ(keyboard.shiftStateOf(U'\u20ac'), -1) << "no key for the euro sign";
}

TEST_F(X11KeyboardTest, TypesLettersDigitsPunctuationAndCharactersWithoutAKey) {
    const auto standIn = focusedStandIn("Typing Target Plain");
    ASSERT_TRUE(standIn);

    const auto events = bareKeys(U"Hello, World 42!?\u00e9\u20ac") + namedKey(NamedKey::Tab) +
                        namedKey(NamedKey::Escape) + bareKeys(U"\u00e9x") +
                        namedKey(NamedKey::Enter);
    ASSERT_EQ(keyboard.send(events), "");

    const std::string expected = "Hello, World 42!?\xC3\xA9\xE2\x82\xAC\t<esc>\xC3\xA9x\n";
    EXPECT_EQ(recordedText(expected), expected);
    EXPECT_FALSE(probe.anyKeyDown());
}

TEST_F(X11KeyboardTest, TypesWhatThePlannerPlansWithModifiersAroundTheKeys) {
    const auto standIn = focusedStandIn("Typing Target Planned");
    ASSERT_TRUE(standIn);

    const std::string text = "Sortwell: Scan #7 (A4), 100% done!\r\n";
    ASSERT_EQ(keyboard.send(config::TypeText(text, keyboard)), "");

    const std::string expected = "Sortwell: Scan #7 (A4), 100% done!\n";
    EXPECT_EQ(recordedText(expected), expected);
    EXPECT_FALSE(probe.anyKeyDown());
}

TEST_F(X11KeyboardTest, LiftsAHeldShiftForACharacterOnTheBaseLevel) {
    const auto standIn = focusedStandIn("Typing Target Shift");
    ASSERT_TRUE(standIn);

    const std::vector<KeyEvent> events = {
        {Action::Press, NamedKey::Shift}, {Action::Press, U'b'},
        {Action::Release, U'b'},          {Action::Press, U'C'},
        {Action::Release, U'C'},          {Action::Release, NamedKey::Shift}};
    ASSERT_EQ(keyboard.send(events), "");

    EXPECT_EQ(recordedText("bC"), "bC");
    EXPECT_FALSE(probe.anyKeyDown());
}

TEST_F(X11KeyboardTest, TypesAltGrCharactersOfAGermanLayout) {
    const ScopedLayout german("de");
    ASSERT_TRUE(german.switched()) << "setxkbmap -layout de failed";
    EXPECT_EQ(keyboard.shiftStateOf(U'\u20ac'), 6) << "AltGr+E";
    EXPECT_EQ(keyboard.shiftStateOf(U'@'), 6) << "AltGr+Q";
    EXPECT_EQ(keyboard.shiftStateOf(U'\u00a1'), 7) << "Shift+AltGr+1";
    EXPECT_EQ(keyboard.shiftStateOf(U'\u00c4'), 1);
    EXPECT_EQ(keyboard.shiftStateOf(U'z'), 0);
    const auto standIn = focusedStandIn("Typing Target German");
    ASSERT_TRUE(standIn);

    const std::string planned = "z@\xE2\x82\xAC{\xC3\x84\xC3\x9F\xC2\xA1";
    ASSERT_EQ(keyboard.send(config::TypeText(planned, keyboard)), "");
    ASSERT_EQ(keyboard.send(bareKeys(U"@\u20ac\u00a1y")), "");

    const std::string expected = planned + "@\xE2\x82\xAC\xC2\xA1y";
    EXPECT_EQ(recordedText(expected), expected);
    EXPECT_FALSE(probe.anyKeyDown());
}

TEST_F(X11KeyboardTest, ReleasesEveryKeyWhenASendFails) {
    const std::vector<KeyEvent> events = {{Action::Press, NamedKey::Shift},
                                          {Action::Press, NamedKey::Control},
                                          {Action::Press, U'x'},
                                          {Action::Press, char32_t{0xD800}}};

    const std::string failure = keyboard.send(events);

    EXPECT_NE(failure.find("U+D800"), std::string::npos) << failure;
    EXPECT_FALSE(probe.anyKeyDown()) << "a key was left held";
}

TEST_F(X11KeyboardTest, ReleasesKeysThatThePlanLeftPressed) {
    ASSERT_EQ(keyboard.send({{Action::Press, NamedKey::AltGr}, {Action::Press, U'q'}}), "");
    EXPECT_FALSE(probe.anyKeyDown());
}

TEST_F(X11KeyboardTest, GivesEverySpareKeyItsEmptyBindingBack) {
    const XProbe before;
    int keysymsPerKeycode = 0;
    int minKeycode = 0;
    int maxKeycode = 0;
    XDisplayKeycodes(before.display(), &minKeycode, &maxKeycode);
    const auto mappingNow = [&] {
        KeySym* syms = XGetKeyboardMapping(before.display(), static_cast<KeyCode>(minKeycode),
                                           maxKeycode - minKeycode + 1, &keysymsPerKeycode);
        const auto count = static_cast<std::size_t>(maxKeycode - minKeycode + 1) *
                           static_cast<std::size_t>(keysymsPerKeycode);
        std::vector<KeySym> mapping(syms, syms + count);
        XFree(syms);
        return mapping;
    };
    const auto original = mappingNow();

    ASSERT_EQ(keyboard.send(bareKeys(U"\u00e9\u20ac\u0151\u4e2d")), "");

    EXPECT_EQ(mappingNow(), original);
}

}  // namespace
}  // namespace sortwell::test
