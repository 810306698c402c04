// Which host serves which session, decided from the environment alone.
#include "platform/session.h"

#include <gtest/gtest.h>

namespace sortwell::platform {
namespace {

bool mentions(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(SessionTest, WithoutDisplayThereIsNoWindowHostAndTheReasonSaysSo) {
    const HostChoice plain = chooseHost({"", "", ""});
    EXPECT_EQ(plain.session, SessionKind::NoDisplay);
    EXPECT_EQ(plain.windows, WindowHost::Unavailable);
    EXPECT_TRUE(mentions(plain.reason, "DISPLAY is not set"));
    EXPECT_EQ(plain.notice, "");

    const HostChoice wayland = chooseHost({"", "wayland-0", "wayland"});
    EXPECT_EQ(wayland.session, SessionKind::Wayland);
    EXPECT_EQ(wayland.windows, WindowHost::Unavailable);
    EXPECT_TRUE(mentions(wayland.reason, "Wayland session has no XWayland"));
}

TEST(SessionTest, AWaylandSessionWithXWaylandUsesX11WithANotice) {
    for (const SessionEnvironment& environment :
         {SessionEnvironment{":0", "wayland-0", ""}, SessionEnvironment{":0", "", "wayland"}}) {
        const HostChoice choice = chooseHost(environment);
        EXPECT_EQ(choice.session, SessionKind::Wayland);
        EXPECT_EQ(choice.windows, WindowHost::X11);
        EXPECT_EQ(choice.reason, "");
        EXPECT_TRUE(mentions(choice.notice, "only windows of programs running under XWayland"));
    }
}

TEST(SessionTest, AnX11SessionUsesX11WithoutNotice) {
    for (const SessionEnvironment& environment :
         {SessionEnvironment{":0", "", "x11"}, SessionEnvironment{":1", "", ""},
          SessionEnvironment{":0", "", "tty"}}) {
        const HostChoice choice = chooseHost(environment);
        EXPECT_EQ(choice.session, SessionKind::X11);
        EXPECT_EQ(choice.windows, WindowHost::X11);
        EXPECT_EQ(choice.reason, "");
        EXPECT_EQ(choice.notice, "");
    }
}

}  // namespace
}  // namespace sortwell::platform
