#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/window_list.h"

namespace {

using sortwell::config::WindowList;
using sortwell::platform::WindowInfo;

std::vector<std::string> TitlesOf(const WindowList& list) {
    std::vector<std::string> titles;
    for (const WindowInfo& entry : list.Entries()) {
        titles.push_back(entry.title);
    }
    return titles;
}

// A list of windows with these titles, handles 1, 2, ... and pids 101, 102, ...
WindowList ListOf(const std::vector<std::string>& titles) {
    std::vector<WindowInfo> windows;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        windows.push_back({i + 1, static_cast<std::int64_t>(101 + i), titles[i]});
    }
    WindowList list;
    list.Refresh(windows);
    return list;
}

TEST(WindowListRefresh, LeavesOutBlankTitlesAndTheApplicationWindowOnly) {
    const WindowList list = ListOf({"", "   ", "\t\r\n \x7F", " Tessaryn Sortwell Store\t",
                                    "Tessaryn Sortwell Desk 1.0", "Configuration",
                                    "Tessaryn Sortwell Store 2", "tessaryn sortwell store"});
    EXPECT_EQ(TitlesOf(list),
              (std::vector<std::string>{"Tessaryn Sortwell Desk 1.0", "Configuration",
                                        "Tessaryn Sortwell Store 2", "tessaryn sortwell store"}));
}

TEST(WindowListRefresh, KeepsTitlesAsReadInTheGivenOrder) {
    const WindowList list = ListOf({"  Scanner ", "B", "A", "B"});
    EXPECT_EQ(TitlesOf(list), (std::vector<std::string>{"  Scanner ", "B", "A", "B"}));
    EXPECT_EQ(list.Entries()[1].handle, 2U);
    EXPECT_EQ(list.Entries()[1].pid, 102);
}

TEST(WindowListRefresh, ReplacesTheWholeList) {
    WindowList list = ListOf({"Old one", "Old two"});
    list.Refresh({{7, 70, "New"}});
    EXPECT_EQ(TitlesOf(list), std::vector<std::string>{"New"});
    list.Refresh({});
    EXPECT_TRUE(list.Entries().empty());
}

TEST(WindowListRefresh, AVanishedWindowDoesNotEndTheListing) {
    WindowList list;
    list.Refresh({{1, 10, "Front"},
                  {0, 0, "Gone meanwhile"},
                  {3, 0, "Owner unknown"},
                  {4, -5, "Bad owner"},
                  {5, 50, "Back"}});
    EXPECT_EQ(TitlesOf(list),
              (std::vector<std::string>{"Front", "Owner unknown", "Bad owner", "Back"}));
    EXPECT_EQ(list.ProcessIdOf("Owner unknown"), 0);
    EXPECT_EQ(list.ProcessIdOf("Bad owner"), 0);
}

TEST(WindowListRefresh, CutsTitlesAfter109CharactersNeverInsideOne) {
    const std::string ascii(200, 'x');
    std::string umlauts;
    for (int i = 0; i < 120; ++i) {
        umlauts += "\xC3\xA4";
    }
    const std::string euroAt109 = std::string(108, 'a') + "\xE2\x82\xAC" + "b";
    const std::string brokenBytes = std::string(107, 'a') + "\xFF\xE2\x82" + "b";
    const WindowList list = ListOf({ascii, umlauts, euroAt109, brokenBytes});
    ASSERT_EQ(list.Entries().size(), 4U);
    EXPECT_EQ(list.Entries()[0].title, std::string(109, 'x'));
    EXPECT_EQ(list.Entries()[1].title, umlauts.substr(0, 218));
    EXPECT_EQ(list.Entries()[2].title, std::string(108, 'a') + "\xE2\x82\xAC");
    EXPECT_EQ(list.Entries()[3].title, std::string(107, 'a') + "\xFF\xE2");
}

TEST(FindWindowIndex, StarsOnBothEndsFindTheTextAnywhere) {
    EXPECT_EQ(ListOf({"loading", "Now Loading"}).FindWindowIndex("*Loading*"), 1);
    EXPECT_EQ(ListOf({"Loading..."}).FindWindowIndex("*Loading*"), 0);
    EXPECT_EQ(ListOf({"Loading"}).FindWindowIndex("*Loading*"), 0);
    EXPECT_EQ(ListOf({"loading", "LOADING"}).FindWindowIndex("*Loading*"), -1);
}

TEST(FindWindowIndex, WithoutStarsOnlyAnEqualTitleMatches) {
    EXPECT_EQ(ListOf({"Now Loading", "Loading...", "Loading"}).FindWindowIndex("Loading"), 2);
    EXPECT_EQ(ListOf({"Loading "}).FindWindowIndex("Loading"), -1);
    EXPECT_EQ(ListOf({" Scanner"}).FindWindowIndex("Scanner"), -1);
    EXPECT_EQ(ListOf({" Scanner"}).FindWindowIndex(" Scanner"), 0);
    EXPECT_EQ(ListOf({"A"}).FindWindowIndex(""), -1);
}

TEST(FindWindowIndex, AStarAtOneEndOnlyMatchesNothing) {
    const WindowList list = ListOf({"abc", "xabc", "abcx", "*abc", "abc*"});
    EXPECT_EQ(list.FindWindowIndex("*abc"), -1);
    EXPECT_EQ(list.FindWindowIndex("abc*"), -1);
    EXPECT_EQ(list.FindWindowIndex("*"), -1);
}

TEST(FindWindowIndex, TwoStarsMatchTheFrontWindow) {
    EXPECT_EQ(ListOf({"First", "Second"}).FindWindowIndex("**"), 0);
    EXPECT_EQ(ListOf({}).FindWindowIndex("**"), -1);
    EXPECT_EQ(ListOf({"no star", "a*b"}).FindWindowIndex("***"), 1);
}

TEST(FindWindowIndex, OfTwoEqualTitlesTheFrontOneCounts) {
    const WindowList list = ListOf({"Other", "Scanner", "Scanner"});
    EXPECT_EQ(list.FindWindowIndex("Scanner"), 1);
    EXPECT_EQ(list.WindowHandleOf("Scanner"), 2U);
    EXPECT_EQ(list.ProcessIdOf("Scanner"), 102);
}

TEST(WindowHandleOf, GivesNothingAndProcessIdOfMinusOneWhenNoneMatches) {
    const WindowList list = ListOf({"Scanner"});
    EXPECT_FALSE(list.WindowHandleOf("Printer").has_value());
    EXPECT_EQ(list.ProcessIdOf("Printer"), -1);
    EXPECT_EQ(list.WindowHandleOf("*can*"), 1U);
    EXPECT_EQ(list.ProcessIdOf("*can*"), 101);
}

}  // namespace
