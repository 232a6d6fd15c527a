#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "Controller.h"
#include "FrameCodec.h"
#include "PtyServer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// The server on its own thread, as a client opens its slave path.
class PtyServerTest : public ::testing::Test {
protected:
    void start(bool pace)
    {
        server_ = std::make_unique<qdxsim::PtyServer>(controller_, pace);
        std::string error;
        ASSERT_TRUE(server_->open(error)) << error;
        ASSERT_EQ(pipe(stop_), 0);
        thread_ = std::thread([this] { server_->serve(stop_[0]); });
    }
    void TearDown() override
    {
        if (thread_.joinable()) {
            ASSERT_EQ(write(stop_[1], "x", 1), 1);
            thread_.join();
            close(stop_[0]);
            close(stop_[1]);
        }
    }
    int openClient()
    {
        const int fd = open(server_->slavePath().c_str(), O_RDWR | O_NOCTTY);
        EXPECT_GE(fd, 0);
        termios t{};
        tcgetattr(fd, &t);
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
        return fd;
    }
    // Reads until n bytes came or 2 s of silence.
    static Bytes readBytes(int fd, std::size_t n)
    {
        Bytes out;
        while (out.size() < n) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 2000) <= 0)
                break;
            std::uint8_t buf[64];
            const ssize_t r = read(fd, buf, sizeof buf);
            if (r <= 0)
                break;
            out.insert(out.end(), buf, buf + r);
        }
        return out;
    }
    static void send(int fd, const Bytes &b) { ASSERT_EQ(write(fd, b.data(), b.size()), static_cast<ssize_t>(b.size())); }

    qdxsim::Controller controller_;
    std::unique_ptr<qdxsim::PtyServer> server_;
    int stop_[2] = {-1, -1};
    std::thread thread_;
};

const Bytes kGetAbsPos = {0xC0, 0x07, 0x02, 0x31, 0x21, 0x83};
const Bytes kGetAbsPosReply = qdxsim::buildFrame(7, Bytes{0, 0, 0, 0});

TEST_F(PtyServerTest, AnswersAndSurvivesAClientThatCloses)
{
    start(false);
    for (int round = 0; round < 3; ++round) {
        const int fd = openClient();
        send(fd, kGetAbsPos);
        EXPECT_EQ(readBytes(fd, kGetAbsPosReply.size()), kGetAbsPosReply) << "round " << round;
        close(fd);
    }
}

TEST_F(PtyServerTest, ClientVanishingMidFrameDoesNotDisturbTheNext)
{
    start(false);
    int fd = openClient();
    send(fd, Bytes{0xC0, 0x06, 0x05, 0x07});
    close(fd);
    std::this_thread::sleep_for(qdxsim::PtyServer::kSilence + 50ms);
    fd = openClient();
    send(fd, kGetAbsPos);
    EXPECT_EQ(readBytes(fd, kGetAbsPosReply.size()), kGetAbsPosReply);
    close(fd);
}

TEST_F(PtyServerTest, BadCheckGetsNoReply)
{
    start(false);
    const int fd = openClient();
    Bytes bad = kGetAbsPos;
    bad.back() ^= 0x01;
    send(fd, bad);
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 300), 0);
    close(fd);
}

TEST_F(PtyServerTest, PacedReplyTakesAtLeastTheLineTime)
{
    start(true);
    const int fd = openClient();
    const auto t0 = std::chrono::steady_clock::now();
    send(fd, kGetAbsPos);
    EXPECT_EQ(readBytes(fd, kGetAbsPosReply.size()), kGetAbsPosReply);
    const auto elapsed = std::chrono::steady_clock::now() - t0;
    const auto floor = qdxsim::PtyServer::kByteTime *
                       static_cast<long>(kGetAbsPos.size() + kGetAbsPosReply.size());
    EXPECT_GE(elapsed, floor);
    close(fd);
}

}  // namespace
