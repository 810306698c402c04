// Which host the services pick when a Wayland compositor answers but offers no window list
// or virtual keyboard: a bare compositor of the test's own, with no globals at all.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>
#include <wayland-server-core.h>

#include <filesystem>
#include <thread>

#include "platform/host_services.h"
#include "platform/linux/wayland/wayland_connection.h"
#include "platform/linux/wayland/wayland_window_system.h"

namespace sortwell::platform {
namespace {

class BareCompositorTest : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/sortwell-bare-compositor-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        runtime = folder;
        setenv("XDG_RUNTIME_DIR", folder, 1);
        display = wl_display_create();
        ASSERT_NE(display, nullptr);
        const char* name = wl_display_add_socket_auto(display);
        ASSERT_NE(name, nullptr);
        socket = name;
        server = std::thread([this] { wl_display_run(display); });
    }

    void TearDown() override {
        if (server.joinable()) {
            wl_display_terminate(display);
            server.join();
        }
        if (display != nullptr) {
            wl_display_destroy(display);
        }
        std::filesystem::remove_all(runtime);
    }

    std::string runtime;
    std::string socket;
    wl_display* display = nullptr;
    std::thread server;
};

TEST_F(BareCompositorTest, WithoutTheProtocolsOrAnXDisplayTheReasonSaysWhatIsLeft) {
    const std::string expected =
        "This desktop lets no program list or type into other windows. Use RUN steps or watch "
        "the input folder.";
    for (const std::string& x11 : {std::string(), std::string(":9999")}) {
        const auto host = MakeHostServices({x11, socket, "wayland"});
        EXPECT_EQ(host->choice().session, SessionKind::Wayland);
        EXPECT_EQ(host->choice().windows, WindowHost::Unavailable) << x11;
        EXPECT_EQ(host->choice().reason, expected) << x11;
        EXPECT_EQ(host->windowSystem().unavailableReason(), expected) << x11;
        EXPECT_EQ(host->keyboard().send({}), expected) << x11;
        EXPECT_FALSE(host->windowSystem().isAvailable());
    }
}

TEST_F(BareCompositorTest, ACompositorThatGoesAwayLeavesAReasonInsteadOfAHang) {
    const auto connection = wayland::WaylandConnection::open(socket);
    ASSERT_TRUE(connection->isOpen()) << connection->unavailableReason();
    EXPECT_FALSE(connection->offersWindowProtocols());

    wl_display_terminate(display);
    server.join();
    wl_display_destroy(display);
    display = nullptr;

    wayland::WaylandWindowSystem windows(connection);
    EXPECT_TRUE(windows.listTopLevelWindows().empty());
    EXPECT_FALSE(windows.isAvailable());
    EXPECT_NE(windows.unavailableReason().find("Wayland compositor"), std::string::npos)
        << windows.unavailableReason();
    EXPECT_FALSE(windows.activate(1));
}

}  // namespace
}  // namespace sortwell::platform
