// The Wayland host against a real compositor: a headless sway started by run_under_sway.sh,
// with foot terminals and the stand-in window as the other programs.
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/host_services.h"
#include "platform/linux/wayland/wayland_connection.h"
#include "platform/linux/wayland/wayland_keyboard.h"
#include "platform/linux/wayland/wayland_process_control.h"
#include "platform/linux/wayland/wayland_window_system.h"
#include "wayland/sway_probe.h"
#include "x11/eventually.h"
#include "x11/listed_window.h"
#include "x11/stand_in_process.h"

namespace sortwell::test {
namespace {

using platform::KeyEvent;
using platform::NamedKey;
using platform::WindowInfo;
using namespace platform::wayland;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : value;
}

std::string fileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Presses and releases each character of `text` (UTF-32), as TYPE does.
void addTyping(std::vector<KeyEvent>& events, const std::u32string& text) {
    for (const char32_t character : text) {
        events.push_back({KeyEvent::Action::Press, character});
        events.push_back({KeyEvent::Action::Release, character});
    }
}

void addKey(std::vector<KeyEvent>& events, NamedKey key) {
    events.push_back({KeyEvent::Action::Press, key});
    events.push_back({KeyEvent::Action::Release, key});
}

class WaylandHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(connection->offersWindowProtocols()) << connection->unavailableReason();
        ASSERT_TRUE(windows.isAvailable());
    }

    std::shared_ptr<WaylandConnection> connection =
        WaylandConnection::open(environment("WAYLAND_DISPLAY"));
    WaylandWindowSystem windows{connection};
};

TEST_F(WaylandHostTest, ListsEveryTerminalByTitleWithTheFocusedOneFirst) {
    FootWindow first("sortwell list one");
    FootWindow second("sortwell list two");
    const auto one = awaitListed(windows, "sortwell list one");
    const auto two = awaitListed(windows, "sortwell list two");
    ASSERT_TRUE(one && two);
    EXPECT_NE(one->handle, two->handle);
    EXPECT_NE(one->handle, 0u);
    EXPECT_EQ(one->pid, 0) << "the window list tells no process ids";
    EXPECT_TRUE(eventually([&] {
        const auto listed = windows.listTopLevelWindows();
        return !listed.empty() && listed.front().title == swayFocusedWindowName();
    })) << "sway focuses "
        << swayFocusedWindowName();
    EXPECT_EQ(awaitListed(windows, "sortwell list one")->handle, one->handle) << "handles stay";
}

TEST_F(WaylandHostTest, ActivatingAWindowGivesItTheFocus) {
    // One after the other: sway focuses each window as it maps, so the second ends up focused.
    FootWindow first("sortwell raise one");
    const auto one = awaitListed(windows, "sortwell raise one");
    ASSERT_TRUE(one);
    FootWindow second("sortwell raise two");
    ASSERT_TRUE(awaitListed(windows, "sortwell raise two"));
    ASSERT_TRUE(eventually([] { return swayFocusedWindowName() == "sortwell raise two"; }));

    EXPECT_TRUE(windows.activate(one->handle));
    EXPECT_TRUE(eventually([] { return swayFocusedWindowName() == "sortwell raise one"; }))
        << "sway focuses " << swayFocusedWindowName();
    EXPECT_TRUE(
        eventually([&] { return windows.listTopLevelWindows().front().handle == one->handle; }));
    EXPECT_FALSE(windows.activate(999999));
}

TEST_F(WaylandHostTest, TypesLettersDigitsShiftedAndForeignCharactersExactly) {
    setenv("QT_QPA_PLATFORM", "wayland", 1);
    const std::string record = environment("XDG_RUNTIME_DIR") + "/typed.txt";
    StandInProcess recorder("sortwell recorder", record);
    ASSERT_EQ(recorder.failure(), "");
    const auto window = awaitListed(windows, "sortwell recorder");
    ASSERT_TRUE(window);
    ASSERT_TRUE(windows.activate(window->handle));
    ASSERT_TRUE(eventually([] { return swayFocusedWindowName() == "sortwell recorder"; }));

    WaylandKeyboard keyboard(connection);
    ASSERT_TRUE(keyboard.isAvailable()) << keyboard.unavailableReason();
    std::vector<KeyEvent> events;
    addTyping(events, U"Sortwell 2026: A+b=C! ~{}");
    addKey(events, NamedKey::Tab);
    addTyping(events, U"\u20AC\u00DF\u00E9\u4E2D x");
    addKey(events, NamedKey::Escape);
    events.push_back({KeyEvent::Action::Press, NamedKey::Shift});
    addTyping(events, U"q");  // the character decides its own level
    events.push_back({KeyEvent::Action::Release, NamedKey::Shift});
    addKey(events, NamedKey::Enter);
    EXPECT_EQ(keyboard.send(events), "");

    const std::string expected = "Sortwell 2026: A+b=C! ~{}\t\u20AC\u00DF\u00E9\u4E2D x<esc>q\n";
    EXPECT_TRUE(eventually([&] { return fileText(record) == expected; }, 10))
        << "arrived: " << fileText(record);
    EXPECT_EQ(keyboard.shiftStateOf(U'A'), 1);
}

// The compositor lists the windows of its XWayland beside its own clients', so one host
// serves both.
TEST_F(WaylandHostTest, AnXWaylandWindowIsListedAndTypedIntoLikeAnyOther) {
    const std::string display = fileText(environment("XDG_RUNTIME_DIR") + "/xwayland-display");
    if (display.empty()) {
        GTEST_SKIP() << "this sway runs no XWayland";
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("DISPLAY", display.c_str(), 1);
    const std::string record = environment("XDG_RUNTIME_DIR") + "/typed-x11.txt";
    StandInProcess recorder("sortwell x11 recorder", record);
    unsetenv("DISPLAY");
    ASSERT_EQ(recorder.failure(), "");
    const auto window = awaitListed(windows, "sortwell x11 recorder");
    ASSERT_TRUE(window);
    ASSERT_TRUE(windows.activate(window->handle));
    ASSERT_TRUE(eventually([] { return swayFocusedWindowName() == "sortwell x11 recorder"; }));

    WaylandKeyboard keyboard(connection);
    std::vector<KeyEvent> events;
    addTyping(events, U"XWayland \u00E9");
    addKey(events, NamedKey::Enter);
    EXPECT_EQ(keyboard.send(events), "");
    EXPECT_TRUE(eventually([&] { return fileText(record) == "XWayland \u00E9\n"; }, 10))
        << "arrived: " << fileText(record);
}

TEST_F(WaylandHostTest, EndingAWindowsProgramAsksTheCompositorToCloseIt) {
    FootWindow doomed("sortwell doomed");
    const auto window = awaitListed(windows, "sortwell doomed");
    ASSERT_TRUE(window);
    WaylandProcessControl control(connection, nullptr);
    EXPECT_EQ(control.endProcess(0, window->handle), "");
    EXPECT_TRUE(eventually([&] { return !isListed(windows, window->handle); }));
    EXPECT_TRUE(doomed.ended(10)) << "foot ends when its window is closed";
    EXPECT_NE(control.endProcess(0, window->handle).find("no longer exists"), std::string::npos);
}

TEST_F(WaylandHostTest, NewsOfWindowsIsTakenAsItComesWithoutAskingForTheList) {
    const int news = windows.newsDescriptor();
    ASSERT_GE(news, 0);
    FootWindow window("sortwell news");
    const auto knownWithoutAsking = [&] {
        pollfd ready{news, POLLIN, 0};
        if (poll(&ready, 1, 0) > 0) {
            EXPECT_TRUE(windows.takeNews());
        }
        return std::any_of(connection->toplevels().begin(), connection->toplevels().end(),
                           [](const auto& toplevel) { return toplevel->title == "sortwell news"; });
    };
    EXPECT_TRUE(eventually(knownWithoutAsking));
}

// The compositor cuts such a title short (sway and foot keep 2,048 bytes); the connection
// and the list stay whole.
TEST_F(WaylandHostTest, AVeryLongTitleIsListedAndAClosedWindowCannotBeActivated) {
    const std::string longTitle = "sortwell long " + std::string(10000, 'x');
    FootWindow window(longTitle);
    const auto listed = awaitListedWhere(windows, [&](const WindowInfo& entry) {
        return entry.title.size() >= 1000 && longTitle.starts_with(entry.title);
    });
    ASSERT_TRUE(listed);
    WaylandProcessControl control(connection, nullptr);
    ASSERT_EQ(control.endProcess(0, listed->handle), "");
    ASSERT_TRUE(eventually([&] { return !isListed(windows, listed->handle); }));
    EXPECT_FALSE(windows.activate(listed->handle)) << "the window closed after it was listed";
    EXPECT_TRUE(connection->isOpen()) << connection->unavailableReason();
}

TEST_F(WaylandHostTest, AWindowThatTurnsDownTheRequestToCloseIsReported) {
    setenv("QT_QPA_PLATFORM", "wayland", 1);
    StandInProcess stubborn("sortwell stubborn", {}, {"--refuse-close"});
    ASSERT_EQ(stubborn.failure(), "");
    const auto window = awaitListed(windows, "sortwell stubborn");
    ASSERT_TRUE(window);
    WaylandProcessControl control(connection, nullptr);
    EXPECT_NE(control.endProcess(0, window->handle).find("still open"), std::string::npos);
    EXPECT_TRUE(isListed(windows, window->handle));
}

// Through a proxy that the test ends, as if the compositor went away mid-run.
TEST_F(WaylandHostTest, ACompositorThatGoesAwayLeavesItsReasonAndSendsNoMoreNews) {
    const std::string name = "wayland-vanishing";
    ChildProgram compositor({SORTWELL_REGISTRY_FILTER, name, environment("WAYLAND_DISPLAY"), "-"});
    std::shared_ptr<WaylandConnection> vanishing;
    ASSERT_TRUE(eventually([&] {
        vanishing = WaylandConnection::open(name);
        return vanishing->offersWindowProtocols();
    }));
    WaylandWindowSystem list{vanishing};
    WaylandKeyboard keys{vanishing};
    ASSERT_TRUE(list.isAvailable());

    compositor.kill();
    EXPECT_TRUE(eventually([&] { return !list.takeNews(); }));
    EXPECT_TRUE(list.listTopLevelWindows().empty());
    EXPECT_FALSE(list.isAvailable());
    EXPECT_NE(list.unavailableReason().find("was lost"), std::string::npos)
        << list.unavailableReason();
    std::vector<KeyEvent> enter;
    addKey(enter, NamedKey::Enter);
    EXPECT_NE(keys.send(enter), "");
}

TEST_F(WaylandHostTest, TheHostServicesPreferTheCompositorEvenWithAnXDisplaySet) {
    const auto host =
        platform::MakeHostServices({":9999", environment("WAYLAND_DISPLAY"), "wayland"});
    EXPECT_EQ(host->choice().windows, platform::WindowHost::Wayland);
    EXPECT_EQ(host->choice().reason, "");
    EXPECT_TRUE(host->windowSystem().isAvailable());
    EXPECT_TRUE(host->keyboard().isAvailable());
}

}  // namespace
}  // namespace sortwell::test
