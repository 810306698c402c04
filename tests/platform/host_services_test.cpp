// The host services per session: every service is there whatever the session, and where no
// window host serves it, the window and key operations decline with the session's reason.
#include "platform/host_services.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace sortwell::platform {
namespace {

class HostServicesTest : public ::testing::Test {
protected:
    // The document journal lives under the cache folder; keep it out of the real one.
    sortwell::test::TempDir home;
    sortwell::test::ScopedEnv cache{"XDG_CACHE_HOME", home.str() + "/cache"};
};

void expectWindowsAndKeysDecline(HostServices& host, const std::string& reason) {
    EXPECT_FALSE(host.windowSystem().isAvailable());
    EXPECT_EQ(host.windowSystem().unavailableReason(), reason);
    EXPECT_TRUE(host.windowSystem().listTopLevelWindows().empty());
    EXPECT_FALSE(host.windowSystem().activate(0x400001));
    EXPECT_FALSE(host.keyboard().isAvailable());
    EXPECT_EQ(host.keyboard().shiftStateOf(U'a'), -1);
    EXPECT_EQ(host.keyboard().send({{KeyEvent::Action::Press, U'a'}}), reason);
}

TEST_F(HostServicesTest, WithoutAnySessionOnlyFilesAndSettingsWork) {
    const auto host = MakeHostServices({"", "", ""});
    EXPECT_EQ(host->choice().session, SessionKind::NoDisplay);
    expectWindowsAndKeysDecline(*host, host->choice().reason);
    EXPECT_NE(host->choice().reason.find("DISPLAY is not set"), std::string::npos);

    EXPECT_NE(host->store().settings, nullptr);
    EXPECT_NE(host->store().autostart, nullptr);
    EXPECT_TRUE(host->documents().folderExists(home.str()));
    EXPECT_EQ(host->finishInterruptedWork(), "");
}

TEST_F(HostServicesTest, AWaylandSessionWithoutXWaylandSaysSoAtEveryWindowStep) {
    const auto host = MakeHostServices({"", "wayland-0", "wayland"});
    EXPECT_EQ(host->choice().session, SessionKind::Wayland);
    EXPECT_EQ(host->choice().windows, WindowHost::Unavailable);
    expectWindowsAndKeysDecline(*host, host->choice().reason);
    EXPECT_NE(host->choice().reason.find("no XWayland"), std::string::npos);
}

TEST_F(HostServicesTest, AnX11DisplayThatCannotBeReachedIsNamedAndNoNoticeIsGiven) {
    const auto host = MakeHostServices({":9999", "wayland-0", "wayland"});
    EXPECT_EQ(host->choice().windows, WindowHost::X11);
    EXPECT_EQ(host->choice().reason, "Cannot connect to the X display \":9999\".");
    EXPECT_EQ(host->choice().notice, "") << "no XWayland limit to tell without a display";
    expectWindowsAndKeysDecline(*host, host->choice().reason);
}

TEST_F(HostServicesTest, WithoutAnyDisplayNoProcessIsEndedByGuessing) {
    const auto host = MakeHostServices({"", "", ""});
    EXPECT_NE(host->processControl().endProcess(0, 0), "") << "pid 0 is never signalled";
}

}  // namespace
}  // namespace sortwell::platform
