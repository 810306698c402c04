// The window list and activation against a real X server with a window manager (run through
// run_under_xvfb.sh).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <memory>

#include "config/window_list.h"
#include "platform/linux/x11/x11_connection.h"
#include "platform/linux/x11/x11_window_reader.h"
#include "platform/linux/x11/x11_window_system.h"
#include "x11/eventually.h"
#include "x11/listed_window.h"
#include "x11/stand_in_process.h"
#include "x11/x_probe.h"

namespace sortwell::test {
namespace {

using platform::WindowInfo;
using platform::x11::X11Connection;
using platform::x11::X11WindowReader;
using platform::x11::X11WindowSystem;

class X11WindowListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(connection->isOpen()) << connection->unavailableReason();
        ASSERT_TRUE(probe.isOpen()) << "the test cannot open the display itself";
    }

    config::WindowList refreshedList() {
        config::WindowList list;
        list.Refresh(windows.listTopLevelWindows());
        return list;
    }

    // The position of `handle` in a fresh list, front first; -1 when it is not listed.
    long positionOf(std::uint64_t handle) {
        const auto listed = windows.listTopLevelWindows();
        const auto entry = std::find_if(listed.begin(), listed.end(),
                                        [&](const WindowInfo& w) { return w.handle == handle; });
        return entry == listed.end() ? -1 : entry - listed.begin();
    }

    std::shared_ptr<X11Connection> connection = X11Connection::open();
    X11WindowSystem windows{connection};
    XProbe probe;
};

TEST_F(X11WindowListTest, IsAvailableOnAnXDisplay) {
    EXPECT_TRUE(windows.isAvailable());
    EXPECT_EQ(windows.unavailableReason(), "");
}

TEST_F(X11WindowListTest, FindsAStandInByExactTitleAndByStarredPattern) {
    StandInProcess standIn("Scanner Stand-in QuickMenu");
    ASSERT_EQ(standIn.failure(), "");
    const auto entry = awaitListed(windows, "Scanner Stand-in QuickMenu");
    ASSERT_TRUE(entry) << "the stand-in window was never listed";

    const config::WindowList list = refreshedList();
    EXPECT_EQ(list.WindowHandleOf("Scanner Stand-in QuickMenu"), entry->handle);
    EXPECT_EQ(list.WindowHandleOf("*Stand-in Quick*"), entry->handle);
    EXPECT_EQ(list.ProcessIdOf("*QuickMenu*"), standIn.pid());
    EXPECT_EQ(list.FindWindowIndex("*stand-in quick*"), -1) << "case counts";
    EXPECT_EQ(list.FindWindowIndex("Scanner Stand-in"), -1) << "no stars: the whole title";
}

TEST_F(X11WindowListTest, GivesTheProcessThatOwnsEachWindow) {
    StandInProcess first("Owner Check One");
    StandInProcess second("Owner Check Two");
    ASSERT_EQ(first.failure(), "");
    ASSERT_EQ(second.failure(), "");

    const auto one = awaitListed(windows, "Owner Check One");
    const auto two = awaitListed(windows, "Owner Check Two");
    ASSERT_TRUE(one && two);
    EXPECT_EQ(one->pid, first.pid());
    EXPECT_EQ(two->pid, second.pid());
}

TEST_F(X11WindowListTest, ListsTheMostRecentlyActivatedWindowFirst) {
    StandInProcess front("Stacking Front");
    StandInProcess back("Stacking Back");
    ASSERT_EQ(front.failure(), "");
    ASSERT_EQ(back.failure(), "");
    const auto a = awaitListed(windows, "Stacking Front");
    const auto b = awaitListed(windows, "Stacking Back");
    ASSERT_TRUE(a && b);

    ASSERT_TRUE(windows.activate(b->handle));
    ASSERT_TRUE(eventually([&] { return probe.activeWindow() == b->handle; }));
    ASSERT_TRUE(windows.activate(a->handle));
    ASSERT_TRUE(eventually([&] { return probe.activeWindow() == a->handle; }))
        << "the window manager did not make the window active";
    EXPECT_TRUE(eventually([&] { return positionOf(a->handle) == 0; }));
    EXPECT_LT(positionOf(a->handle), positionOf(b->handle));

    ASSERT_TRUE(windows.activate(b->handle));
    ASSERT_TRUE(eventually([&] { return probe.activeWindow() == b->handle; }));
    EXPECT_TRUE(eventually([&] { return positionOf(b->handle) == 0; }));
    EXPECT_LT(positionOf(b->handle), positionOf(a->handle));
}

TEST_F(X11WindowListTest, ActivatingAWindowThatIsGoneFails) {
    const Window window = probe.createWindow("Soon Gone", "");
    probe.destroyWindow(window);

    EXPECT_FALSE(windows.activate(window));
    EXPECT_FALSE(windows.activate(0));
    EXPECT_FALSE(windows.activate(~std::uint64_t{0})) << "no X resource id is that large";
}

TEST_F(X11WindowListTest, ReadsUtf8NamesAndLatin1NamesAsUtf8) {
    const Window modern = probe.createWindow("Caf\xC3\xA9 \xE2\x82\xAC", "ignored");
    const Window legacy = probe.createWindow("", "Caf\xE9 legacy");
    X11WindowReader reader(*connection);

    const auto modernInfo = reader.describe(modern);
    const auto legacyInfo = reader.describe(legacy);
    ASSERT_TRUE(modernInfo && legacyInfo);
    EXPECT_EQ(modernInfo->title, "Caf\xC3\xA9 \xE2\x82\xAC") << "_NET_WM_NAME comes first";
    EXPECT_EQ(legacyInfo->title, "Caf\xC3\xA9 legacy");
    EXPECT_EQ(legacyInfo->pid, getpid()) << "the server names the client's process";
    probe.destroyWindow(modern);
    probe.destroyWindow(legacy);
}

TEST_F(X11WindowListTest, SkipsAWindowThatVanishedAndReadsTheOnesAfterIt) {
    const Window before = probe.createWindow("Before The Gap", "");
    const Window gone = probe.createWindow("The Gap", "");
    const Window after = probe.createWindow("After The Gap", "");
    probe.destroyWindow(gone);
    X11WindowReader reader(*connection);

    const auto described = reader.describe(std::vector<Window>{before, gone, after});
    ASSERT_EQ(described.size(), 2U);
    EXPECT_EQ(described[0].title, "Before The Gap");
    EXPECT_EQ(described[1].title, "After The Gap");
    probe.destroyWindow(before);
    probe.destroyWindow(after);
}

TEST_F(X11WindowListTest, ListsOnlyWindowsThatExistAfterOneClosed) {
    StandInProcess standIn("Closing Soon");
    ASSERT_EQ(standIn.failure(), "");
    const auto entry = awaitListed(windows, "Closing Soon");
    ASSERT_TRUE(entry);

    kill(standIn.pid(), SIGKILL);
    ASSERT_TRUE(standIn.waitForEnd(10));
    EXPECT_TRUE(eventually([&] { return positionOf(entry->handle) == -1; }));
}

}  // namespace
}  // namespace sortwell::test
