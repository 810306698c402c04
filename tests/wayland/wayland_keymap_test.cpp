// The keymap lookups and the keymap made for a text, on the US layout; no compositor needed.
#include "platform/linux/wayland/wayland_keymap.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/linux/wayland/wayland_connection.h"

namespace sortwell::platform::wayland {
namespace {

class WaylandKeymapTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XKB_DEFAULT_LAYOUT", "us", 1);
        std::string error;
        layout = WaylandKeymap::fromEnvironment(error);
        ASSERT_NE(layout, nullptr) << error;
    }

    std::unique_ptr<WaylandKeymap> layout;
};

TEST_F(WaylandKeymapTest, CharactersOfTheLayoutFindTheirKeyAndModifiers) {
    const auto lower = layout->strokeFor(U'a');
    const auto upper = layout->strokeFor(U'A');
    ASSERT_TRUE(lower && upper);
    EXPECT_EQ(lower->keycode, upper->keycode) << "one key, two levels";
    EXPECT_EQ(lower->modifiers, 0u);
    EXPECT_EQ(upper->modifiers, layout->modifierOf(NamedKey::Shift));
    EXPECT_NE(layout->modifierOf(NamedKey::Shift), 0u);

    EXPECT_EQ(layout->shiftStateOf(U'7'), 0);
    EXPECT_EQ(layout->shiftStateOf(U'&'), 1);
    EXPECT_EQ(layout->shiftStateOf(U'\u20AC'), -1) << "the US layout has no euro sign";
}

TEST_F(WaylandKeymapTest, NamedKeysHaveKeysAndModifierKeysAddTheirModifier) {
    for (const NamedKey key : {NamedKey::Enter, NamedKey::Tab, NamedKey::Escape, NamedKey::Space,
                               NamedKey::Shift, NamedKey::Control}) {
        EXPECT_TRUE(layout->strokeFor(key).has_value()) << static_cast<int>(key);
    }
    EXPECT_NE(layout->modifierOf(NamedKey::Control), 0u);
    EXPECT_NE(layout->modifierOf(NamedKey::Control), layout->modifierOf(NamedKey::Shift));
    EXPECT_EQ(layout->modifierOf(NamedKey::Enter), 0u);
    EXPECT_EQ(layout->strokeFor(NamedKey::Enter), layout->strokeFor(U'\n'));
}

TEST_F(WaylandKeymapTest, OnlyCharactersWithoutAKeyAreMissingEachOnce) {
    const auto missing = layout->missingKeysyms({U'a', U'\u20AC', U'\u00DF', U'\u20AC'}, {});
    EXPECT_EQ(missing.size(), 2u);
    EXPECT_TRUE(layout->missingKeysyms({U'a', U'Z', U'9', U'('}, {NamedKey::Tab}).empty());
}

TEST_F(WaylandKeymapTest, TheKeymapForATextTypesTheMissingCharactersAndKeepsTheLayout) {
    const std::vector<char32_t> wanted = {U'\u20AC', U'\u00DF', U'\u4E2D'};
    std::size_t placed = 0;
    const std::string text = layout->textWithExtraKeys(layout->missingKeysyms(wanted, {}), placed);
    EXPECT_EQ(placed, wanted.size());
    std::string error;
    const auto forText = WaylandKeymap::fromText(text, error);
    ASSERT_NE(forText, nullptr) << error;
    for (const char32_t character : wanted) {
        const auto stroke = forText->strokeFor(character);
        ASSERT_TRUE(stroke.has_value()) << static_cast<std::uint32_t>(character);
        EXPECT_EQ(stroke->modifiers, 0u);
    }
    EXPECT_NE(forText->strokeFor(U'\u20AC')->keycode, forText->strokeFor(U'\u00DF')->keycode);
    EXPECT_EQ(forText->strokeFor(U'q'), layout->strokeFor(U'q'));
    EXPECT_EQ(forText->strokeFor(U'Q'), layout->strokeFor(U'Q'));
}

TEST_F(WaylandKeymapTest, MoreMissingCharactersThanEmptyKeysPlaceOnlyWhatFits) {
    const std::size_t room = layout->spareKeyCount();
    ASSERT_GT(room, 10u);
    std::vector<std::uint32_t> many;
    for (std::uint32_t i = 0; i < room + 5; ++i) {
        many.push_back(0x1004E00 + i);  // CJK ideographs, none on the layout
    }
    std::size_t placed = 0;
    std::string error;
    EXPECT_NE(WaylandKeymap::fromText(layout->textWithExtraKeys(many, placed), error), nullptr)
        << error;
    EXPECT_EQ(placed, room);
}

TEST(WaylandConnectionTest, ACompositorThatIsNotThereIsNamedInTheReason) {
    const auto connection = WaylandConnection::open("sortwell-no-such-compositor");
    EXPECT_FALSE(connection->isOpen());
    EXPECT_FALSE(connection->offersWindowProtocols());
    EXPECT_NE(connection->unavailableReason().find("sortwell-no-such-compositor"),
              std::string::npos)
        << connection->unavailableReason();
    EXPECT_FALSE(connection->sync());
}

}  // namespace
}  // namespace sortwell::platform::wayland
