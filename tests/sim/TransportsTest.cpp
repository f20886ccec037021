#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "sim/Transports.h"

namespace delvar::sim {
namespace {

namespace fs = std::filesystem;

struct SimTransports : ::testing::Test {
    fs::path dir = mkdtemp(std::string("/tmp/delvar-sim-test-XXXXXX").data());
    ~SimTransports() override { fs::remove_all(dir); }
    std::string Path(const char* name) const { return (dir / name).string(); }
};

TEST_F(SimTransports, LoopbackListenerAcceptsWithNagleOffAndWithoutBlocking) {
    int port = 0;
    std::string error;
    UniqueFd listener = ListenLoopback(0, port, error);
    ASSERT_TRUE(listener.Valid()) << error;
    ASSERT_GT(port, 0);
    EXPECT_FALSE(AcceptClient(listener.Get()).Valid());  // nobody waiting: returns at once

    UniqueFd peer(socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(std::uint16_t(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(peer.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    pollfd p{listener.Get(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 30000), 1);
    UniqueFd client = AcceptClient(listener.Get());
    ASSERT_TRUE(client.Valid());
    int noDelay = 0;
    socklen_t size = sizeof noDelay;
    ASSERT_EQ(getsockopt(client.Get(), IPPROTO_TCP, TCP_NODELAY, &noDelay, &size), 0);
    EXPECT_NE(noDelay, 0);
    EXPECT_NE(fcntl(client.Get(), F_GETFL) & O_NONBLOCK, 0);

    int otherPort = 0;
    EXPECT_FALSE(ListenLoopback(port, otherPort, error).Valid());  // taken
    EXPECT_NE(error.find(std::to_string(port)), std::string::npos);
}

TEST_F(SimTransports, PtyServesClientsThatComeAndGo) {
    const std::string link = Path("tty");
    Pty pty;
    std::string error;
    ASSERT_TRUE(pty.Open(link, error)) << error;
    EXPECT_EQ(fs::read_symlink(link).string(), pty.SlaveName());
    for (int round = 0; round < 3; ++round) {
        UniqueFd client(open(link.c_str(), O_RDWR | O_NOCTTY));
        ASSERT_TRUE(client.Valid());
        const char command[] = "!#@O7";
        ASSERT_EQ(write(client.Get(), command, 5), 5);
        pollfd p{pty.Master(), POLLIN, 0};
        ASSERT_EQ(poll(&p, 1, 30000), 1);
        char got[16] = {};
        EXPECT_EQ(read(pty.Master(), got, sizeof got), 5);  // raw: no echo, no line editing
        EXPECT_EQ(std::string(got, 5), std::string(command, 5));
        client.Reset();
        // With the client gone the master must not report a hang-up (it would spin).
        p.revents = 0;
        EXPECT_EQ(poll(&p, 1, 0), 0) << "revents " << p.revents;
    }
}

TEST_F(SimTransports, PtyLinkReplacesAStaleOneIsRemovedOnCloseAndNeverClobbers) {
    const std::string link = Path("tty");
    std::string error;
    fs::create_symlink("/nonexistent/stale", link);  // left by an earlier run
    std::optional<Pty> pty(std::in_place);
    ASSERT_TRUE(pty->Open(link, error)) << error;
    EXPECT_EQ(fs::read_symlink(link).string(), pty->SlaveName());
    pty.reset();
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));

    pty.emplace();
    ASSERT_TRUE(pty->Open(link, error)) << error;
    fs::remove(link);
    fs::create_symlink("/dev/null", link);  // another run took the name over
    pty.reset();
    EXPECT_EQ(fs::read_symlink(link).string(), "/dev/null") << "not ours to remove";

    const std::string file = Path("precious.txt");
    std::ofstream(file) << "keep me";
    EXPECT_FALSE(Pty().Open(file, error));
    EXPECT_NE(error.find(file), std::string::npos);
    std::string content;
    std::getline(std::ifstream(file), content);
    EXPECT_EQ(content, "keep me");
}

}  // namespace
}  // namespace delvar::sim
