// What the X11 host operations say and do where no X display can be reached; needs no display.
#include <gtest/gtest.h>

#include "platform/linux/x11/x11_connection.h"
#include "platform/linux/x11/x11_keyboard.h"
#include "platform/linux/x11/x11_keymap.h"
#include "platform/linux/x11/x11_window_property.h"
#include "platform/linux/x11/x11_window_system.h"

namespace sortwell::platform::x11 {
namespace {

TEST(X11ConnectionTest, WithoutDisplayEveryOperationDeclinesWithTheReason) {
    const auto connection = X11Connection::open(SessionEnvironment{"", "wayland-1", "wayland"});
    X11WindowSystem windows(connection);
    X11Keyboard keyboard(connection);

    EXPECT_FALSE(connection->isOpen());
    EXPECT_FALSE(windows.isAvailable());
    EXPECT_EQ(windows.unavailableReason(), connection->unavailableReason());
    EXPECT_TRUE(windows.listTopLevelWindows().empty());
    EXPECT_FALSE(windows.activate(0x400001));
    EXPECT_FALSE(keyboard.isAvailable());
    EXPECT_EQ(keyboard.shiftStateOf(U'a'), -1);
    EXPECT_EQ(keyboard.send({{KeyEvent::Action::Press, U'a'}}), connection->unavailableReason());
}

TEST(X11ConnectionTest, ADisplayThatCannotBeReachedIsNamedInTheReason) {
    const auto connection = X11Connection::open(SessionEnvironment{":9999", "", "x11"});
    EXPECT_FALSE(connection->isOpen());
    EXPECT_EQ(connection->unavailableReason(), "Cannot connect to the X display \":9999\".");
}

TEST(X11TextTest, Latin1TitlesBecomeUtf8) {
    EXPECT_EQ(latin1ToUtf8("Scan"), "Scan");
    EXPECT_EQ(latin1ToUtf8("Caf\xE9 \xA0\xFF"), "Caf\xC3\xA9 \xC2\xA0\xC3\xBF");
    EXPECT_EQ(latin1ToUtf8(""), "");
}

TEST(X11KeymapTest, ShiftStatesAreThoseOfThePlanner) {
    EXPECT_EQ(shiftStateOf(KeyPosition{38, false, false}), 0);
    EXPECT_EQ(shiftStateOf(KeyPosition{38, true, false}), 1);
    EXPECT_EQ(shiftStateOf(KeyPosition{38, false, true}), 6);
    EXPECT_EQ(shiftStateOf(KeyPosition{38, true, true}), 7);
}

TEST(X11KeymapTest, CharactersHaveTheirX11Keysyms) {
    EXPECT_EQ(keysymForCharacter(U'a'), 0x61UL);
    EXPECT_EQ(keysymForCharacter(U'\u00e9'), 0xE9UL) << "Latin-1 keysyms equal the code point";
    EXPECT_EQ(keysymForCharacter(U'\u20ac'), 0x20ACUL) << "EuroSign, as layouts name it";
    EXPECT_EQ(keysymForCharacter(U'\u4e2d'), 0x01004E2DUL) << "Unicode keysym";
    EXPECT_EQ(keysymForCharacter(U'\n'), 0xFF0DUL) << "a line break is Return";
    EXPECT_EQ(keysymForCharacter(char32_t{0xD800}), 0UL) << "a surrogate is no character";
}

}  // namespace
}  // namespace sortwell::platform::x11
