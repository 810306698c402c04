#include "platform/local_channel.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace sortwell::platform {
namespace {

using test::exitCodeAsNobody;
using test::kCouldNotDropRights;
using test::permissions;
using test::TempDir;
using test::writeFile;

constexpr int kTimeoutMs = 2000;
constexpr int kSentAsNobody = 0;
constexpr int kRefusedByPermission = 3;
constexpr int kOtherFailure = 4;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A socket bound at `path` that never listens: what a process that died, or hung, between
// bind() and listen() leaves behind.
UniqueFd boundWithoutListening(const std::string& path) {
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        return UniqueFd();
    }
    return fd;
}

bool isSocketFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// Everything `fd` carries until its peer closes, as lines joined by "|".
std::string linesUntilEnd(int fd) {
    LineReader reader(64);
    std::string lines;
    LineReader::Status status = LineReader::Status::Open;
    while (status == LineReader::Status::Open) {
        status = reader.readFrom(fd);
        while (std::optional<std::string> line = reader.takeLine()) {
            lines += (lines.empty() ? "" : "|") + *line;
        }
    }
    return lines;
}

class UnixSocketChannelTest : public ::testing::Test {
protected:
    std::string socketPath() const { return dir_.str() + "/channel.socket"; }

    TempDir dir_;
};

TEST_F(UnixSocketChannelTest, ListensOnASocketOnlyTheUserMayOpen) {
    const SocketResult listening = listenUserOnly(socketPath());
    ASSERT_TRUE(listening.fd.valid()) << listening.error;
    EXPECT_TRUE(listening.error.empty());
    EXPECT_TRUE(isSocketFile(socketPath()));
    EXPECT_EQ(permissions(socketPath()), 0600U);
}

TEST_F(UnixSocketChannelTest, MakesAMissingFolderPrivate) {
    const std::string folder = dir_.str() + "/runtime";
    const SocketResult listening = listenUserOnly(folder + "/channel.socket");
    ASSERT_TRUE(listening.fd.valid()) << listening.error;
    EXPECT_EQ(permissions(folder), 0700U);
}

TEST_F(UnixSocketChannelTest, AMessageArrivesWholeAndThenTheEnd) {
    const SocketResult listening = listenUserOnly(socketPath());
    ASSERT_TRUE(listening.fd.valid()) << listening.error;

    const SocketResult sent = sendMessage(socketPath(), "show\npresent /tmp/a b.pdf\n", kTimeoutMs);
    ASSERT_TRUE(sent.error.empty()) << sent.error;

    AcceptResult accepted = acceptFromSameUser(listening.fd.get());
    ASSERT_EQ(accepted.status, AcceptStatus::Accepted) << accepted.error;
    EXPECT_EQ(linesUntilEnd(accepted.fd.get()), "show|present /tmp/a b.pdf");
}

TEST_F(UnixSocketChannelTest, AcceptingWithNothingWaitingReturnsAtOnce) {
    const SocketResult listening = listenUserOnly(socketPath());
    ASSERT_TRUE(listening.fd.valid()) << listening.error;
    const AcceptResult accepted = acceptFromSameUser(listening.fd.get());
    EXPECT_EQ(accepted.status, AcceptStatus::NonePending);
    EXPECT_FALSE(accepted.fd.valid());
}

TEST_F(UnixSocketChannelTest, ReplacesASocketFileLeftByACrash) {
    ASSERT_TRUE(boundWithoutListening(socketPath()).valid());
    ASSERT_TRUE(isSocketFile(socketPath()));

    const SocketResult listening = listenUserOnly(socketPath());
    ASSERT_TRUE(listening.fd.valid()) << listening.error;
    const SocketResult sent = sendMessage(socketPath(), "show\n", kTimeoutMs);
    EXPECT_TRUE(sent.error.empty()) << sent.error;
    EXPECT_EQ(acceptFromSameUser(listening.fd.get()).status, AcceptStatus::Accepted);
}

TEST_F(UnixSocketChannelTest, ReplacesASocketWhoseLiveOwnerDoesNotListen) {
    const UniqueFd leftover = boundWithoutListening(socketPath());
    ASSERT_TRUE(leftover.valid());

    const SocketResult listening = listenUserOnly(socketPath());
    ASSERT_TRUE(listening.fd.valid()) << listening.error;
    const SocketResult sent = sendMessage(socketPath(), "show\n", kTimeoutMs);
    EXPECT_TRUE(sent.error.empty()) << sent.error;
}

TEST_F(UnixSocketChannelTest, LeavesALiveListenerAlone) {
    const SocketResult first = listenUserOnly(socketPath());
    ASSERT_TRUE(first.fd.valid()) << first.error;

    const SocketResult second = listenUserOnly(socketPath());
    EXPECT_FALSE(second.fd.valid());
    EXPECT_TRUE(contains(second.error, "already listens")) << second.error;
    EXPECT_TRUE(contains(second.error, socketPath())) << second.error;

    // The probe's connection reaches the first listener; a real message still follows it.
    ASSERT_TRUE(sendMessage(socketPath(), "show\n", kTimeoutMs).error.empty());
    ASSERT_EQ(acceptFromSameUser(first.fd.get()).status, AcceptStatus::Accepted);
    AcceptResult real = acceptFromSameUser(first.fd.get());
    ASSERT_EQ(real.status, AcceptStatus::Accepted) << real.error;
    EXPECT_EQ(linesUntilEnd(real.fd.get()), "show");
}

TEST_F(UnixSocketChannelTest, LeavesAFileThatIsNotASocketAlone) {
    writeFile(socketPath(), "notes");
    const SocketResult listening = listenUserOnly(socketPath());
    EXPECT_FALSE(listening.fd.valid());
    EXPECT_TRUE(contains(listening.error, "not a socket")) << listening.error;
    EXPECT_EQ(test::readFile(socketPath()), "notes");
}

TEST_F(UnixSocketChannelTest, AnOverlongPathIsReportedNotCut) {
    const std::string path = dir_.str() + "/" + std::string(120, 'p');
    const SocketResult listening = listenUserOnly(path);
    EXPECT_FALSE(listening.fd.valid());
    EXPECT_TRUE(contains(listening.error, "too long")) << listening.error;
    EXPECT_TRUE(contains(connectTo(path, kTimeoutMs).error, "too long"));
}

TEST_F(UnixSocketChannelTest, SendingWhereNobodyListensSaysSo) {
    const SocketResult missing = sendMessage(socketPath(), "show\n", kTimeoutMs);
    EXPECT_TRUE(missing.nobodyListens);
    EXPECT_TRUE(contains(missing.error, socketPath())) << missing.error;

    const UniqueFd leftover = boundWithoutListening(socketPath());
    ASSERT_TRUE(leftover.valid());
    const SocketResult refused = sendMessage(socketPath(), "show\n", kTimeoutMs);
    EXPECT_TRUE(refused.nobodyListens);
    EXPECT_TRUE(contains(refused.error, std::strerror(ECONNREFUSED))) << refused.error;
}

TEST_F(UnixSocketChannelTest, AnotherUserCannotOpenTheSocket) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run a process as another user";
    }
    const SocketResult listening = listenUserOnly(socketPath());
    ASSERT_TRUE(listening.fd.valid()) << listening.error;
    // Only the socket's own mode may stand in the way, not the folder's.
    ASSERT_EQ(::chmod(dir_.str().c_str(), 0711), 0);

    const int code = exitCodeAsNobody([this] {
        const SocketResult sent = sendMessage(socketPath(), "show\n", kTimeoutMs);
        if (sent.error.empty()) {
            return kSentAsNobody;
        }
        return contains(sent.error, std::strerror(EACCES)) && !sent.nobodyListens
                   ? kRefusedByPermission
                   : kOtherFailure;
    });
    ASSERT_NE(code, kCouldNotDropRights);
    EXPECT_EQ(code, kRefusedByPermission);
    EXPECT_EQ(acceptFromSameUser(listening.fd.get()).status, AcceptStatus::NonePending);
}

TEST_F(UnixSocketChannelTest, APeerOfAnotherUserIsRefused) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run a process as another user";
    }
    const SocketResult listening = listenUserOnly(socketPath());
    ASSERT_TRUE(listening.fd.valid()) << listening.error;
    // Opened up by hand, so that only the check of the peer's user id stands in the way.
    ASSERT_EQ(::chmod(dir_.str().c_str(), 0711), 0);
    ASSERT_EQ(::chmod(socketPath().c_str(), 0666), 0);

    const int code = exitCodeAsNobody([this] {
        return sendMessage(socketPath(), "show\n", kTimeoutMs).error.empty() ? kSentAsNobody
                                                                             : kOtherFailure;
    });
    ASSERT_EQ(code, kSentAsNobody);

    const AcceptResult accepted = acceptFromSameUser(listening.fd.get());
    EXPECT_EQ(accepted.status, AcceptStatus::Refused);
    EXPECT_FALSE(accepted.fd.valid());
    EXPECT_TRUE(contains(accepted.error, "65534")) << accepted.error;
}

TEST(LineReaderTest, ALineInPiecesIsReadWhole) {
    LineReader reader(64);
    reader.append("pre");
    EXPECT_FALSE(reader.takeLine());
    reader.append("sent /tmp/scan");
    EXPECT_FALSE(reader.takeLine());
    reader.append(".pdf\nsh");
    EXPECT_EQ(reader.takeLine(), "present /tmp/scan.pdf");
    EXPECT_FALSE(reader.takeLine());
    reader.append("ow\n");
    EXPECT_EQ(reader.takeLine(), "show");
    EXPECT_FALSE(reader.overlong());
}

TEST(LineReaderTest, SeveralLinesInOnePieceComeOneByOne) {
    LineReader reader(64);
    reader.append("show\n\nshow\n");
    EXPECT_EQ(reader.takeLine(), "show");
    EXPECT_EQ(reader.takeLine(), "");
    EXPECT_EQ(reader.takeLine(), "show");
    EXPECT_FALSE(reader.takeLine());
}

TEST(LineReaderTest, ALineBeyondTheLimitMarksThePeer) {
    LineReader exact(4);
    exact.append("show\n");
    EXPECT_FALSE(exact.overlong());

    LineReader unfinished(4);
    unfinished.append("sh");
    unfinished.append("own");
    EXPECT_TRUE(unfinished.overlong());

    LineReader finished(4);
    finished.append("shown\n");
    EXPECT_TRUE(finished.overlong());
}

TEST(LineReaderTest, ReadsPiecesFromASocketUntilItsEnd) {
    int pair[2] = {-1, -1};
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair), 0);
    const UniqueFd ours(pair[0]);
    UniqueFd theirs(pair[1]);
    LineReader reader(64);

    EXPECT_EQ(reader.readFrom(ours.get()), LineReader::Status::Open);
    EXPECT_FALSE(reader.takeLine());
    ASSERT_TRUE(sendAll(theirs.get(), "sh").empty());
    EXPECT_EQ(reader.readFrom(ours.get()), LineReader::Status::Open);
    EXPECT_FALSE(reader.takeLine());
    ASSERT_TRUE(sendAll(theirs.get(), "ow\n").empty());
    EXPECT_EQ(reader.readFrom(ours.get()), LineReader::Status::Open);
    EXPECT_EQ(reader.takeLine(), "show");

    ASSERT_EQ(theirs.close(), 0);
    EXPECT_EQ(reader.readFrom(ours.get()), LineReader::Status::Ended);
    EXPECT_TRUE(reader.error().empty());
}

TEST(SendAllTest, SendingToAClosedPeerFailsWithoutASignal) {
    int pair[2] = {-1, -1};
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    UniqueFd ours(pair[0]);
    UniqueFd theirs(pair[1]);
    ASSERT_EQ(theirs.close(), 0);
    EXPECT_TRUE(contains(sendAll(ours.get(), "show\n"), std::strerror(EPIPE)));
}

}  // namespace
}  // namespace sortwell::platform
