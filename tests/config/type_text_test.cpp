#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "config/type_text.h"
#include "fakes/fake_keyboard.h"
#include "platform/utf8.h"

namespace {

using sortwell::Utf8SequenceLength;
using sortwell::config::LetterE;
using sortwell::config::TypeText;
using sortwell::platform::KeyEvent;
using sortwell::platform::NamedKey;
using sortwell::platform::ShiftState;
using sortwell::test::FakeKeyboard;

using Events = std::vector<KeyEvent>;
using Key = std::variant<NamedKey, char32_t>;

KeyEvent Down(Key key) {
    return {KeyEvent::Action::Press, key};
}
KeyEvent Up(Key key) {
    return {KeyEvent::Action::Release, key};
}

Events Tap(Key key) {
    return {Down(key), Up(key)};
}

// A character by the general rule, after the given modifier presses.
Events Character(char32_t character, const Events& modifiers = {}) {
    Events events = modifiers;
    events.insert(events.end(), {Down(character), Up(character), Up(NamedKey::Shift),
                                 Up(NamedKey::Control), Up(NamedKey::AltGr)});
    return events;
}

Events Join(std::initializer_list<Events> parts) {
    Events all;
    for (const Events& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

class TypeTextTest : public ::testing::Test {
protected:
    std::map<char32_t, ShiftState> layout;
    std::vector<char32_t> askedFor;

    Events Plan(std::string_view text, LetterE letterE = LetterE::Typed) {
        return TypeText(
            text,
            [this](char32_t c) {
                askedFor.push_back(c);
                const auto it = layout.find(c);
                return it == layout.end() ? 0 : it->second;
            },
            letterE);
    }
};

TEST_F(TypeTextTest, NamedCharactersPressAndReleaseTheirKeys) {
    EXPECT_EQ(Plan("\t"), Tap(NamedKey::Tab));
    EXPECT_EQ(Plan(" "), Tap(NamedKey::Space));
    EXPECT_EQ(Plan("\r"), Tap(NamedKey::Enter));
    EXPECT_EQ(Plan("\n"), Tap(NamedKey::Enter));
    EXPECT_TRUE(askedFor.empty());
}

TEST_F(TypeTextTest, EachLineBreakPressesEnterOnce) {
    const Events twoEnters = Join({Tap(NamedKey::Enter), Tap(NamedKey::Enter)});
    EXPECT_EQ(Plan("\n\r"), Tap(NamedKey::Enter));
    EXPECT_EQ(Plan("\r\n"), Tap(NamedKey::Enter));
    EXPECT_EQ(Plan("\n\n"), twoEnters);
    EXPECT_EQ(Plan("\r\r"), twoEnters);
    EXPECT_EQ(Plan("\r\n\r\n"), twoEnters);
}

TEST_F(TypeTextTest, LetterEIsTypedExceptForTheEscCommand) {
    EXPECT_EQ(Plan("e"), Character(U'e'));
    EXPECT_EQ(Plan("e", LetterE::PressesEscape), Tap(NamedKey::Escape));
    EXPECT_EQ(Plan("E", LetterE::PressesEscape), Character(U'E'));
}

TEST_F(TypeTextTest, ShiftStatesPressTheirModifierFirst) {
    layout = {{U'A', 1}, {U'x', 2}, {U'@', 6}};
    EXPECT_EQ(Plan("A"), Character(U'A', {Down(NamedKey::Shift)}));
    EXPECT_EQ(Plan("x"), Character(U'x', {Down(NamedKey::Control)}));
    EXPECT_EQ(Plan("@"), Character(U'@', {Down(NamedKey::AltGr)}));
}

TEST_F(TypeTextTest, OtherShiftStatesPressNoModifier) {
    layout = {{U'a', 0}, {U'b', 3}, {U'c', 7}, {U'd', -1}};
    EXPECT_EQ(Plan("abcd"),
              Join({Character(U'a'), Character(U'b'), Character(U'c'), Character(U'd')}));
}

TEST_F(TypeTextTest, TextIsDecodedFromUtf8) {
    layout = {{U'\u00C4', 1}};
    EXPECT_EQ(Plan("\xC3\x84\xE2\x82\xAC\xF0\x9F\x98\x80"),
              Join({Character(U'\u00C4', {Down(NamedKey::Shift)}), Character(U'\u20AC'),
                    Character(U'\U0001F600')}));
    EXPECT_EQ(askedFor, (std::vector<char32_t>{U'\u00C4', U'\u20AC', U'\U0001F600'}));
}

TEST_F(TypeTextTest, BytesOutsideValidUtf8AreTakenAsLatin1) {
    EXPECT_EQ(Plan("\xE4"), Character(U'\u00E4'));
    EXPECT_EQ(Plan("\xE2\x82x"),
              Join({Character(U'\u00E2'), Character(U'\u0082'), Character(U'x')}));
    EXPECT_EQ(Plan("\xC0\xAF"), Join({Character(U'\u00C0'), Character(U'\u00AF')}));
    EXPECT_EQ(Plan("\xED\xA0\x80"),
              Join({Character(U'\u00ED'), Character(U'\u00A0'), Character(U'\u0080')}));
}

TEST_F(TypeTextTest, NoKeyIsLeftHeldAndNoneIsPressedTwice) {
    layout = {{U'H', 1}, {U'!', 1}, {U'@', 6}, {U'x', 2}};
    const Events events = Plan("Hello, World!\t@x\n\r\xC3\xA4 e", LetterE::PressesEscape);
    std::set<Key> held;
    for (const KeyEvent& event : events) {
        if (event.action == KeyEvent::Action::Press) {
            EXPECT_TRUE(held.insert(event.key).second) << "pressed while held";
        } else {
            held.erase(event.key);
        }
    }
    EXPECT_TRUE(held.empty());
}

TEST(TypeTextWithKeyboard, AsksTheKeyboardLayout) {
    FakeKeyboard keyboard;
    keyboard.shiftStates = {{U'Q', 1}};
    EXPECT_EQ(TypeText("Q", keyboard), Character(U'Q', {Down(NamedKey::Shift)}));
    EXPECT_EQ(TypeText("e", keyboard, LetterE::PressesEscape), Tap(NamedKey::Escape));
}

TEST(Utf8SequenceLength, AcceptsOnlyWellFormedSequences) {
    EXPECT_EQ(Utf8SequenceLength(""), 0U);
    EXPECT_EQ(Utf8SequenceLength("a\xC3"), 1U);
    EXPECT_EQ(Utf8SequenceLength("\xC3\xA4z"), 2U);
    EXPECT_EQ(Utf8SequenceLength("\xE2\x82\xAC"), 3U);
    EXPECT_EQ(Utf8SequenceLength("\xF4\x8F\xBF\xBF"), 4U);
    EXPECT_EQ(Utf8SequenceLength("\x80"), 0U);              // stray continuation byte
    EXPECT_EQ(Utf8SequenceLength("\xC1\xBF"), 0U);          // overlong
    EXPECT_EQ(Utf8SequenceLength("\xE0\x9F\xBF"), 0U);      // overlong
    EXPECT_EQ(Utf8SequenceLength("\xED\xBF\xBF"), 0U);      // surrogate
    EXPECT_EQ(Utf8SequenceLength("\xF4\x90\x80\x80"), 0U);  // past U+10FFFF
    EXPECT_EQ(Utf8SequenceLength("\xE2\x82"), 0U);          // cut off
    EXPECT_EQ(Utf8SequenceLength("\xE2\x82z"), 0U);
}

}  // namespace
