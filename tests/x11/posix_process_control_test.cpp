// Ending the program behind a window, under Xvfb.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <memory>

#include "platform/linux/posix_process_control.h"
#include "platform/linux/x11/x11_connection.h"
#include "platform/linux/x11/x11_window_system.h"
#include "x11/eventually.h"
#include "x11/listed_window.h"
#include "x11/stand_in_process.h"
#include "x11/x_probe.h"

namespace sortwell::test {
namespace {

using platform::WindowInfo;
using platform::linux_host::PosixProcessControl;
using platform::x11::X11Connection;
using platform::x11::X11WindowSystem;

class PosixProcessControlTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(connection->isOpen()) << connection->unavailableReason(); }

    std::shared_ptr<X11Connection> connection = X11Connection::open();
    X11WindowSystem windows{connection};
    PosixProcessControl processes{connection};
};

TEST_F(PosixProcessControlTest, KillsTheProcessThatOwnsTheWindow) {
    StandInProcess standIn("Process To End");
    ASSERT_EQ(standIn.failure(), "");
    const auto window = awaitListed(windows, "Process To End");
    ASSERT_TRUE(window);

    EXPECT_EQ(processes.endProcess(window->pid, window->handle), "");

    const auto status = standIn.waitForEnd(10);
    ASSERT_TRUE(status) << "the process did not end";
    ASSERT_TRUE(WIFSIGNALED(*status));
    EXPECT_EQ(WTERMSIG(*status), SIGKILL);
}

TEST_F(PosixProcessControlTest, CutsTheClientOffWhenNoProcessIsKnown) {
    StandInProcess standIn("Client To Cut Off");
    ASSERT_EQ(standIn.failure(), "");
    const auto window = awaitListed(windows, "Client To Cut Off");
    ASSERT_TRUE(window);

    EXPECT_EQ(processes.endProcess(0, window->handle), "");

    EXPECT_TRUE(eventually([&] { return !isListed(windows, window->handle); }));
    const auto status = standIn.waitForEnd(10);
    ASSERT_TRUE(status) << "the program outlived its connection to the display";
    EXPECT_FALSE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGKILL) << "no signal was sent";
}

TEST_F(PosixProcessControlTest, RefusesProcessIdsThatNameGroupsOrItself) {
    // kill(0) or kill(-1) would end this test itself; reaching the checks shows none was sent.
    EXPECT_NE(processes.endProcess(0, 0), "");
    EXPECT_NE(processes.endProcess(-1, 0), "");
    EXPECT_NE(processes.endProcess(-42, 0), "");
    EXPECT_NE(processes.endProcess(getpid(), 0), "");
    EXPECT_NE(processes.endProcess(std::int64_t{1} << 40, 0), "") << "beyond any pid_t";
}

TEST_F(PosixProcessControlTest, RefusesToCutOffItsOwnWindowOrTheDisplay) {
    XProbe probe;
    ASSERT_TRUE(probe.isOpen());
    const Window own = probe.createWindow("Own Window", "");

    EXPECT_NE(processes.endProcess(getpid(), own), "");
    EXPECT_NE(processes.endProcess(0, own), "") << "the window's client is this program";
    EXPECT_NE(processes.endProcess(0, DefaultRootWindow(probe.display())), "");
    EXPECT_NE(processes.endProcess(0, ~std::uint64_t{0}), "");
    EXPECT_TRUE(eventually([&] { return isListed(windows, own); })) << "the window was cut off";
    probe.destroyWindow(own);
}

TEST_F(PosixProcessControlTest, SaysWhyAWindowThatIsGoneCannotBeCutOff) {
    XProbe probe;
    ASSERT_TRUE(probe.isOpen());
    const Window gone = probe.createWindow("Gone Before The End", "");
    probe.destroyWindow(gone);

    EXPECT_NE(processes.endProcess(0, gone).find("no longer exists"), std::string::npos);
}

TEST(PosixProcessControlWithoutDisplay, EndsProcessesByIdAndExplainsTheRest) {
    PosixProcessControl processes(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        pause();
        _exit(0);
    }
    ASSERT_GT(child, 0);

    EXPECT_EQ(processes.endProcess(child, 0), "");
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_NE(processes.endProcess(0, 0x400001).find("no X display"), std::string::npos);
    EXPECT_NE(processes.endProcess(child, 0).find("Cannot end process"), std::string::npos)
        << "the process is gone and reaped";
}

}  // namespace
}  // namespace sortwell::test
