#include "desk/button_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desk/folder_pattern.h"

namespace {

using sortwell::desk::ButtonGrid;
using sortwell::desk::CellRect;
using sortwell::desk::FaceKind;
using sortwell::desk::FaceKindOf;
using sortwell::desk::FolderNeedsTag;
using sortwell::desk::GridCaption;
using sortwell::desk::GridColumns;
using sortwell::desk::GridRows;
using sortwell::desk::LayOutButtons;
using sortwell::desk::NameSelection;
using sortwell::desk::PanelSize;
using sortwell::desk::PatternInFolder;
using sortwell::desk::PatternProblem;
using sortwell::desk::TargetButton;
using sortwell::desk::VisibleCount;

const NameSelection kNoNames{};

NameSelection Selected(const std::string& name) {
    return NameSelection{true, name};
}

std::vector<TargetButton> Buttons(int count) {
    std::vector<TargetButton> buttons;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        buttons.push_back({"/icons/" + n + ".ico", "B" + n, "/docs/%TAG/" + n, ""});
    }
    return buttons;
}

std::vector<CellRect> Rects(const ButtonGrid& grid) {
    std::vector<CellRect> rects;
    for (const auto& cell : grid.cells) {
        rects.push_back(cell.rect);
    }
    return rects;
}

std::vector<std::size_t> ListRows(const ButtonGrid& grid) {
    std::vector<std::size_t> rows;
    for (const auto& cell : grid.cells) {
        rows.push_back(cell.listRow);
    }
    return rows;
}

TEST(GridColumns, ReadsTheFieldsInteger) {
    EXPECT_EQ(GridColumns("4"), 4);
    EXPECT_EQ(GridColumns("1"), 1);
    EXPECT_EQ(GridColumns(" 5 "), 5);
}

TEST(GridColumns, NoIntegerGivesThree) {
    EXPECT_EQ(GridColumns(""), 3);
    EXPECT_EQ(GridColumns("four"), 3);
    EXPECT_EQ(GridColumns("2x"), 3);
    EXPECT_EQ(GridColumns("99999999999"), 3);
}

TEST(GridColumns, BelowOneGivesThree) {
    EXPECT_EQ(GridColumns("0"), 3);
    EXPECT_EQ(GridColumns("-2"), 3);
}

TEST(GridRows, RoundsUpAndIsAtLeastOne) {
    EXPECT_EQ(GridRows(7, 3), 3);
    EXPECT_EQ(GridRows(6, 3), 2);
    EXPECT_EQ(GridRows(1, 3), 1);
    EXPECT_EQ(GridRows(0, 3), 1);
    EXPECT_EQ(GridRows(2, 10), 1);
}

TEST(LayOutButtons, SevenButtonsInThreeColumnsOfA470By268Panel) {
    const ButtonGrid grid = LayOutButtons(Buttons(7), "3", kNoNames, PanelSize{470, 268});
    EXPECT_EQ(grid.rows, 3);
    EXPECT_EQ(grid.cellWidth, 155);
    EXPECT_EQ(grid.cellHeight, 88);
    EXPECT_EQ(Rects(grid), (std::vector<CellRect>{{0, 0, 155, 88},
                                                  {155, 0, 155, 88},
                                                  {310, 0, 155, 88},
                                                  {0, 88, 155, 88},
                                                  {155, 88, 155, 88},
                                                  {310, 88, 155, 88},
                                                  {0, 176, 155, 88}}));
}

TEST(LayOutButtons, NoButtonsGiveNoCellsAndOneRow) {
    const ButtonGrid grid = LayOutButtons({}, "3", kNoNames, PanelSize{470, 268});
    EXPECT_TRUE(grid.cells.empty());
    EXPECT_EQ(grid.visibleCount, 0);
    EXPECT_EQ(grid.rows, 1);
}

TEST(LayOutButtons, OneButtonTakesTheTopLeftThirdAtFullHeight) {
    const ButtonGrid grid = LayOutButtons(Buttons(1), "3", kNoNames, PanelSize{470, 268});
    EXPECT_EQ(Rects(grid), (std::vector<CellRect>{{0, 0, 155, 264}}));
}

TEST(LayOutButtons, MoreColumnsThanButtonsLeavesTheRowPartlyEmpty) {
    const ButtonGrid grid = LayOutButtons(Buttons(2), "5", kNoNames, PanelSize{504, 100});
    EXPECT_EQ(grid.rows, 1);
    EXPECT_EQ(Rects(grid), (std::vector<CellRect>{{0, 0, 100, 96}, {100, 0, 100, 96}}));
}

TEST(LayOutButtons, ZeroOrBadColumnsLayOutInThree) {
    for (const std::string text : {"0", "-1", "abc", ""}) {
        const ButtonGrid grid = LayOutButtons(Buttons(4), text, kNoNames, PanelSize{470, 268});
        EXPECT_EQ(grid.columns, 3) << text;
        EXPECT_EQ(Rects(grid).back(), (CellRect{0, 132, 155, 132})) << text;
    }
}

TEST(LayOutButtons, PanelSmallerThanItsBorderGivesEmptyCellsNotNegativeOnes) {
    const ButtonGrid grid = LayOutButtons(Buttons(2), "1", kNoNames, PanelSize{2, 3});
    EXPECT_EQ(Rects(grid), (std::vector<CellRect>{{0, 0, 0, 0}, {0, 0, 0, 0}}));
}

TEST(LayOutButtons, HiddenButtonTakesNoCellAndKeepsItsListRow) {
    std::vector<TargetButton> buttons = Buttons(4);
    buttons[1].hide = "Anna,Ben";
    const ButtonGrid grid = LayOutButtons(buttons, "2", Selected("Ben"), PanelSize{204, 104});
    EXPECT_EQ(grid.visibleCount, 3);
    EXPECT_EQ(grid.rows, 2);
    EXPECT_EQ(ListRows(grid), (std::vector<std::size_t>{0, 2, 3}));
    EXPECT_EQ(Rects(grid),
              (std::vector<CellRect>{{0, 0, 100, 50}, {100, 0, 100, 50}, {0, 50, 100, 50}}));
    EXPECT_EQ(grid.cells[1].caption, "B2");
    EXPECT_EQ(grid.cells[1].folder, "/docs/%TAG/2");
}

TEST(LayOutButtons, AnotherNameBringsTheButtonBack) {
    std::vector<TargetButton> buttons = Buttons(3);
    buttons[1].hide = "Ben";
    const ButtonGrid grid = LayOutButtons(buttons, "3", Selected("Carl"), PanelSize{470, 268});
    EXPECT_EQ(ListRows(grid), (std::vector<std::size_t>{0, 1, 2}));
}

TEST(LayOutButtons, HideTextsAreIgnoredWithoutNames) {
    std::vector<TargetButton> buttons = Buttons(3);
    buttons[0].hide = ",Ben";
    buttons[1].hide = "Ben";
    EXPECT_EQ(LayOutButtons(buttons, "3", kNoNames, PanelSize{470, 268}).cells.size(), 3U);
}

TEST(LayOutButtons, NoSelectedNameHidesOnlyForAnEmptyEntry) {
    std::vector<TargetButton> buttons = Buttons(3);
    buttons[0].hide = ",Ben";
    buttons[1].hide = "Ben";
    const ButtonGrid grid = LayOutButtons(buttons, "3", Selected(""), PanelSize{470, 268});
    EXPECT_EQ(ListRows(grid), (std::vector<std::size_t>{1, 2}));
}

TEST(LayOutButtons, EveryButtonHiddenLeavesOneEmptyRow) {
    std::vector<TargetButton> buttons = Buttons(2);
    for (auto& button : buttons) {
        button.hide = "Anna";
    }
    const ButtonGrid grid = LayOutButtons(buttons, "3", Selected("Anna"), PanelSize{470, 268});
    EXPECT_TRUE(grid.cells.empty());
    EXPECT_EQ(grid.rows, 1);
    EXPECT_EQ(VisibleCount(buttons, Selected("Anna")), 0);
}

TEST(LayOutButtons, CellCarriesTheFaceOfItsButton) {
    std::vector<TargetButton> buttons{{"/i/a.ICO", "A", "/d/%YEAR", ""},
                                      {"/i/b.png", "B", "/d/%TAG", ""}};
    const ButtonGrid grid = LayOutButtons(buttons, "2", kNoNames, PanelSize{470, 268});
    ASSERT_EQ(grid.cells.size(), 2U);
    EXPECT_EQ(grid.cells[0].caption, "A*");
    EXPECT_EQ(grid.cells[0].icon, "/i/a.ICO");
    EXPECT_EQ(grid.cells[0].face, FaceKind::Icon);
    EXPECT_EQ(grid.cells[1].caption, "B");
    EXPECT_EQ(grid.cells[1].face, FaceKind::None);
}

TEST(FolderNeedsTag, OnlyTheExactUpperCasePlaceholderCounts) {
    EXPECT_TRUE(FolderNeedsTag("C:/Docs/%TAG/%YEAR"));
    EXPECT_TRUE(FolderNeedsTag("%TAGS"));
    EXPECT_FALSE(FolderNeedsTag("C:/Docs/%YEAR"));
    EXPECT_FALSE(FolderNeedsTag("C:/Docs/%tag"));
    EXPECT_FALSE(FolderNeedsTag("C:/Docs/% TAG"));
    EXPECT_FALSE(FolderNeedsTag(""));
}

bool Mentions(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(PatternProblem, AbsolutePatternsWithAndWithoutPlaceholdersAreFine) {
    for (const char* pattern : {"/archive/%YEAR/%MONTH %TAG", "/home/me/Invoices",
                                "/a/%NAME/%TAG/b", "/archive/.hidden", "/archive/x..y", "/%YEAR"}) {
        EXPECT_EQ(PatternProblem(pattern), "") << pattern;
    }
}

TEST(PatternProblem, ATrailingSlashAndTheRootAloneAreFine) {
    for (const char* pattern : {"/archive/", "/archive/%YEAR/", "/"}) {
        EXPECT_EQ(PatternProblem(pattern), "") << pattern;
    }
}

TEST(PatternProblem, AnEmptyPatternIsReported) {
    EXPECT_EQ(PatternProblem(""),
              "There is no folder pattern yet; filing with this button will be refused.");
}

TEST(PatternProblem, ARelativePatternMustStartAtTheRoot) {
    for (const char* pattern : {"archive/%YEAR", "%YEAR/x", "~/Documents", "./x", " /archive"}) {
        EXPECT_EQ(PatternProblem(pattern),
                  "The folder pattern must start with \"/\"; filing refuses a relative folder.")
            << pattern;
    }
}

TEST(PatternProblem, AnEmptyLevelIsNamed) {
    for (const char* pattern : {"/archive//%YEAR", "//archive", "/archive//"}) {
        EXPECT_EQ(PatternProblem(pattern),
                  "The folder pattern has an empty level (\"//\"); filing will refuse it.")
            << pattern;
    }
}

TEST(PatternProblem, DotLevelsAreNamed) {
    EXPECT_EQ(PatternProblem("/archive/../x"),
              "The folder pattern has a \"..\" level; filing will refuse it.");
    EXPECT_EQ(PatternProblem("/archive/./%TAG"),
              "The folder pattern has a \".\" level; filing will refuse it.");
    EXPECT_EQ(PatternProblem("/../archive/%YEAR/"),
              "The folder pattern has a \"..\" level; filing will refuse it.");
}

TEST(PatternProblem, ADotLastPartIsRefusedOnlyWithoutTheAttachedName) {
    const std::string problem = PatternProblem("/archive/..");
    EXPECT_TRUE(Mentions(problem, "a \"..\" level")) << problem;
    EXPECT_TRUE(Mentions(problem, "while \"Attach original file name\" is off")) << problem;
    EXPECT_TRUE(Mentions(PatternProblem("/archive/."), "a \".\" level"));
}

TEST(PatternProblem, ReasonsWithoutWordsOfTheirOwnComeFromFiling) {
    const std::string problem = PatternProblem(std::string("/archive/a\0b", 12));
    EXPECT_TRUE(Mentions(problem, "Filing will refuse this folder pattern: ")) << problem;
    EXPECT_TRUE(Mentions(problem, "NUL")) << problem;
}

TEST(PatternInFolder, APlainLastPartGivesTheFolderWithASlash) {
    EXPECT_EQ(PatternInFolder("/chosen", ""), "/chosen/");
    EXPECT_EQ(PatternInFolder("/chosen", "/old/Invoices"), "/chosen/");
    EXPECT_EQ(PatternInFolder("/chosen", "/old/%YEAR/"), "/chosen/");
    EXPECT_EQ(PatternInFolder("/chosen", "/old/%tag"), "/chosen/");
}

TEST(PatternInFolder, ALastPartWithAPlaceholderIsKeptUnderTheFolder) {
    EXPECT_EQ(PatternInFolder("/chosen", "/old/%YEAR/%MONTH %TAG"), "/chosen/%MONTH %TAG");
    EXPECT_EQ(PatternInFolder("/chosen", "%NAME"), "/chosen/%NAME");
    EXPECT_EQ(PatternInFolder("/chosen", "/old/Tax %YEAR"), "/chosen/Tax %YEAR");
}

TEST(PatternInFolder, TheRootAndATrailingSlashGetNoSecondSlash) {
    EXPECT_EQ(PatternInFolder("/", "/old/%TAG"), "/%TAG");
    EXPECT_EQ(PatternInFolder("/", ""), "/");
    EXPECT_EQ(PatternInFolder("/chosen/", "/old"), "/chosen/");
}

TEST(PatternInFolder, TheResultIsAPatternFilingAccepts) {
    for (const char* current : {"", "relative", "/old/%YEAR/%MONTH %TAG", "/old/../%TAG"}) {
        EXPECT_EQ(PatternProblem(PatternInFolder("/chosen", current)), "") << current;
    }
}

TEST(GridCaption, MarksTargetsThatNeedNoTag) {
    EXPECT_EQ(GridCaption({"", "Bank", "C:/Docs/%YEAR", ""}), "Bank*");
    EXPECT_EQ(GridCaption({"", "Bank", "C:/Docs/%TAG/%YEAR", ""}), "Bank");
    EXPECT_EQ(GridCaption({"", "Bank", "C:/Docs/%tag", ""}), "Bank*");
    EXPECT_EQ(GridCaption({"", "", "", ""}), "*");
}

TEST(FaceKindOf, ChoosesByTheLastExtensionInAnyCase) {
    EXPECT_EQ(FaceKindOf("/i/a.ico"), FaceKind::Icon);
    EXPECT_EQ(FaceKindOf("/i/a.ICO"), FaceKind::Icon);
    EXPECT_EQ(FaceKindOf("/i/a.Bmp"), FaceKind::Bitmap);
    EXPECT_EQ(FaceKindOf("/i/a.bmp.png"), FaceKind::None);
    EXPECT_EQ(FaceKindOf("/i/a.png"), FaceKind::None);
    EXPECT_EQ(FaceKindOf(""), FaceKind::None);
}

TEST(FaceKindOf, ADotInAFolderNameIsNoExtension) {
    EXPECT_EQ(FaceKindOf("/i/x.ico/a"), FaceKind::None);
    EXPECT_EQ(FaceKindOf("/i/.ico"), FaceKind::Icon);
}

}  // namespace
