#include <gtest/gtest.h>

#include "components/qdreg.h"
#include "fakes/fake_host.h"

namespace {

using sortwell::test::FakeHost;

// A control with nothing but a checked state, as a toolkit's check box offers.
struct FakeCheck {
    bool checked = false;
    bool isChecked() const { return checked; }
    void setChecked(bool on) { checked = on; }
};

class StoreTest : public ::testing::Test {
protected:
    FakeHost fakes;
    TQDReg reg{fakes.host()};
};

std::vector<std::string> KeysOf(const TQDReg& reg) {
    std::vector<std::string> keys;
    for (const auto& entry : reg.Entries()) {
        keys.push_back(entry.key + "@" + entry.folder);
    }
    return keys;
}

TEST_F(StoreTest, RewritingAKeyMovesItToTheEnd) {
    reg.Push("a", "1");
    reg.Push("b", "x");
    reg.Push("a", "2");
    EXPECT_EQ(KeysOf(reg), (std::vector<std::string>{"b@", "a@"}));
    EXPECT_EQ(reg.Pop("a"), "2");
}

TEST_F(StoreTest, KeysAndFoldersAreComparedExactly) {
    reg.PushString("Width", "1");
    reg.PushString("width", "2");
    reg.PushString("width", "3", "x");
    EXPECT_EQ(reg.Entries().size(), 3U);
    EXPECT_EQ(reg.Pop("Width"), "1");
    EXPECT_EQ(reg.Pop("width"), "2");
    EXPECT_EQ(reg.PopString("width", "", "x"), "3");
    EXPECT_EQ(reg.GetIndex("width", "x"), 2);
    EXPECT_EQ(reg.GetIndex("WIDTH"), -1);
    EXPECT_TRUE(reg.Exist("width", "x"));
    EXPECT_FALSE(reg.Exist("width", "X"));
}

TEST_F(StoreTest, MissingEntriesGiveTheDefaultButEmptyValuesDoNot) {
    EXPECT_EQ(reg.Pop("missing"), "");
    EXPECT_EQ(reg.PopString("missing", "d"), "d");
    reg.Push("empty", "");
    EXPECT_EQ(reg.PopString("empty", "d"), "");
    EXPECT_EQ(reg.Pop("empty", "d", ""), "");
}

TEST_F(StoreTest, DeleteAndClear) {
    reg.Push("a", "1");
    reg.PushString("a", "2", "x");
    EXPECT_FALSE(reg.Delete("missing"));
    EXPECT_EQ(reg.Entries().size(), 2U);
    EXPECT_TRUE(reg.Delete("a", "x"));
    EXPECT_FALSE(reg.Exist("a", "x"));
    EXPECT_TRUE(reg.Exist("a"));
    reg.PushString("b", "3", "y");
    reg.Clear();
    EXPECT_TRUE(reg.Entries().empty());
}

TEST_F(StoreTest, IntegersAreWrittenInDecimalAndReadLeniently) {
    reg.PushInt("n", -42);
    EXPECT_EQ(reg.Pop("n"), "-42");
    reg.PushInt("f", 7, "x");
    EXPECT_EQ(reg.PopInt("f", 0, "x"), 7);

    const std::vector<std::pair<std::string, int>> cases = {{" 42 ", 42},
                                                            {"\t42\r\n", 42},
                                                            {"4x", -1},
                                                            {"$1F", 31},
                                                            {"0x1f", 31},
                                                            {"0X1F", 31},
                                                            {"", -1},
                                                            {"   ", -1},
                                                            {"+7", 7},
                                                            {"-0", 0},
                                                            {"--5", -1},
                                                            {"- 5", -1},
                                                            {"$", -1},
                                                            {"0x", -1},
                                                            {"-$10", -16},
                                                            {"2147483647", 2147483647},
                                                            {"2147483648", -1},
                                                            {"-2147483648", INT32_MIN},
                                                            {"-2147483649", -1},
                                                            {"99999999999999999999999", -1},
                                                            {"1.5", -1},
                                                            {"1 2", -1},
                                                            {"$FFFFFFFF", -1},
                                                            {"007", 7}};
    for (const auto& [text, expected] : cases) {
        reg.Push("v", text);
        EXPECT_EQ(reg.PopInt("v", -1), expected) << "text: '" << text << "'";
        EXPECT_EQ(TQDReg::StrToInt(text, -1), expected) << "text: '" << text << "'";
    }
    EXPECT_EQ(reg.PopInt("missing"), 0);
    EXPECT_EQ(reg.PopInt("missing", 9), 9);
}

TEST_F(StoreTest, BooleansAcceptOnlyZeroAndOneAsNumbers) {
    reg.PushBool("t", true);
    reg.PushBool("f", false);
    EXPECT_EQ(reg.Pop("t"), "1");
    EXPECT_EQ(reg.Pop("f"), "0");
    reg.Push("two", "2");
    reg.Push("padded", " 1 ");
    reg.Push("leading", "01");
    reg.Push("word", "true");
    EXPECT_TRUE(reg.PopBool("two", true));
    EXPECT_FALSE(reg.PopBool("two", false));
    EXPECT_FALSE(reg.PopBool("f", true));
    EXPECT_TRUE(reg.PopBool("padded"));
    EXPECT_TRUE(reg.PopBool("leading"));
    EXPECT_TRUE(reg.PopBool("word", true));
    EXPECT_FALSE(reg.PopBool("missing"));
    reg.PushBool("b", true, "x");
    EXPECT_TRUE(reg.PopBool("b", false, "x"));
    EXPECT_FALSE(reg.PopBool("b", false));
}

TEST_F(StoreTest, CheckBoxesCompareExactly) {
    FakeCheck box{true};
    reg.PushCheckBox("on", box);
    EXPECT_EQ(reg.Pop("on"), "1");
    box.checked = false;
    reg.PushCheckBox("off", &box);
    EXPECT_EQ(reg.Pop("off"), "0");

    EXPECT_TRUE(reg.PopCheckBox("on", false));
    EXPECT_FALSE(reg.PopCheckBox("off", true));
    EXPECT_TRUE(reg.PopCheckBox("missing", true));
    EXPECT_FALSE(reg.PopCheckBox("missing", false));
    reg.Push("word", "true");
    reg.Push("blank", " 1");
    reg.Push("empty", "");
    EXPECT_FALSE(reg.PopCheckBox("word", false));
    EXPECT_TRUE(reg.PopCheckBox("blank", true));
    EXPECT_FALSE(reg.PopCheckBox("blank", false));
    EXPECT_TRUE(reg.PopCheckBox("empty", true));
}

TEST_F(StoreTest, RadioGroupStoresTheLastCheckedButton) {
    FakeCheck a;
    FakeCheck b;
    FakeCheck c;
    reg.PushRadioButtons("g", a, b, c);
    EXPECT_EQ(reg.Pop("g"), "0");
    b.checked = true;
    reg.PushRadioButtons("g", a, b, c);
    EXPECT_EQ(reg.Pop("g"), "2");
    a.checked = true;
    c.checked = true;
    reg.PushRadioButtons("g", &a, &b, &c);
    EXPECT_EQ(reg.Pop("g"), "3");
}

TEST_F(StoreTest, RadioGroupReadChecksTheStoredOrTheDefaultButton) {
    struct Case {
        std::string stored;
        int def;
        std::array<bool, 3> checked;
    };
    const std::vector<Case> cases = {
        {"2", 1, {false, true, false}},  {"0", 3, {false, false, true}},
        {"7", 1, {true, false, false}},  {"7", 0, {false, false, false}},
        {"0", 4, {false, false, false}}, {" 2", 1, {true, false, false}},
        {"02", 0, {false, false, false}}};
    for (const Case& c : cases) {
        FakeCheck b1;
        FakeCheck b2;
        FakeCheck b3;
        reg.Push("g", c.stored);
        reg.PopRadioButtons("g", b1, &b2, b3, c.def);
        EXPECT_EQ((std::array<bool, 3>{b1.checked, b2.checked, b3.checked}), c.checked)
            << "stored '" << c.stored << "', default " << c.def;
    }
}

TEST_F(StoreTest, RadioGroupNeverUnchecksButtonsItself) {
    FakeCheck b1{true};
    FakeCheck b2;
    reg.Push("g", "9");
    reg.PopRadioButtons("g", b1, b2, 0);
    EXPECT_TRUE(b1.checked);
}

TEST_F(StoreTest, GroupsOfTenMembersUseTheNumberTen) {
    std::array<FakeCheck, 10> b{};
    b[9].checked = true;
    reg.PushRadioButtons("g", b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9]);
    EXPECT_EQ(reg.Pop("g"), "10");
    b[9].checked = false;
    reg.PopRadioButtons("g", b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], 1);
    EXPECT_TRUE(b[9].checked);
    EXPECT_FALSE(b[0].checked);
}

TEST_F(StoreTest, FlagGroupsWriteAndReadLikeRadioGroups) {
    bool f1 = false;
    bool f2 = true;
    bool f3 = false;
    reg.PushBool("flags", &f1, &f2, &f3);
    EXPECT_EQ(reg.Pop("flags"), "2");

    f1 = true;
    f2 = false;
    f3 = true;
    reg.PopBool("flags", &f1, &f2, &f3, 0);
    EXPECT_FALSE(f1);
    EXPECT_TRUE(f2);
    EXPECT_FALSE(f3);

    reg.Delete("flags");
    f1 = f2 = f3 = true;
    reg.PopBool("flags", &f1, &f2, &f3, 0);
    EXPECT_FALSE(f1 || f2 || f3) << "nothing stored and default 0 clears every flag";
    reg.PopBool("flags", &f1, &f2, &f3, 3);
    EXPECT_TRUE(f3);
}

TEST(TextOperations, IsIntLooksAtTheFirstCharacterOnly) {
    EXPECT_TRUE(TQDReg::IsInt("12ab"));
    EXPECT_TRUE(TQDReg::IsInt("0"));
    EXPECT_FALSE(TQDReg::IsInt("-5"));
    EXPECT_FALSE(TQDReg::IsInt(""));
    EXPECT_FALSE(TQDReg::IsInt(" 1"));
}

TEST(TextOperations, EncodeTextTurnsEveryKindOfLineBreakIntoTheSeparator) {
    EXPECT_EQ(TQDReg::EncodeText("A\r\nB\nC", "`"), "A`B`C");
    EXPECT_EQ(TQDReg::EncodeText("A\rB", "`"), "A`B");
    EXPECT_EQ(TQDReg::EncodeText("A\n\rB", "`"), "A``B");
    EXPECT_EQ(TQDReg::EncodeText("", "`"), "");
    EXPECT_EQ(TQDReg::EncodeText("A\r\n", "`"), "A`");
    EXPECT_EQ(TQDReg::EncodeText("a`b", "`"), "a`b");
    EXPECT_EQ(TQDReg::EncodeText("x\r\ny", "<br>"), "x<br>y");
}

TEST(TextOperations, DecodeTextMatchesTheWholeSeparator) {
    EXPECT_EQ(TQDReg::DecodeText("A``B", "`"), "A\r\n\r\nB");
    EXPECT_EQ(TQDReg::DecodeText("a<br>b<b", "<br>"), "a\r\nb<b");
    EXPECT_EQ(TQDReg::DecodeText("x<b", "<br>"), "x<b");
    EXPECT_EQ(TQDReg::DecodeText("abc", ""), "abc");
}

TEST(TextOperations, EncodeThenDecodeGivesTheTextBackWithCrLf) {
    const std::string text = "WAITWINDOW:ScanSnap\nENTER\r\nWAITSECONDS:1\rHANDLEDOCUMENT";
    EXPECT_EQ(TQDReg::DecodeText(TQDReg::EncodeText(text, "`"), "`"),
              "WAITWINDOW:ScanSnap\r\nENTER\r\nWAITSECONDS:1\r\nHANDLEDOCUMENT");
    EXPECT_EQ(TQDReg::DecodeText(TQDReg::EncodeText("type a`b", "`"), "`"), "type a\r\nb");
}

}  // namespace
