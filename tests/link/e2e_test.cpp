// The example programs open the controller through libqdxlink.so and
// libftd2xx.so; the test plays the controller on the master side of a
// pseudo-terminal and checks the bytes on the line and the programs' output.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestWake.h"

using fake::Bytes;
using testwake::Frame;

namespace {

constexpr const char *kSerial = "QXE2E0001";

struct Session {
    std::vector<Bytes> requests;  // each request frame as it came on the line
    std::string output;
    int status = -1;
};

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[256] = {};
        ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
        termios raw{};
        tcgetattr(slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
        slavePath = name;

        char dir[] = "/tmp/qdx_e2e_sysfs_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        sysfsRoot = dir;
    }

    void TearDown() override
    {
        close(master);
        close(slave);
        rmdir(sysfsRoot.c_str());
    }

    // Runs argv with the pseudo-terminal as the only D2XX device and answers
    // each request frame with reply(request).
    Session Play(std::vector<std::string> argv, const testwake::Answer &reply)
    {
        Session run;
        int out[2];
        if (pipe(out) != 0)
            return run;

        const std::string devices = slavePath + "=" + kSerial;
        const pid_t pid = fork();
        if (pid == 0) {
            dup2(out[1], 1);
            close(out[0]);
            close(out[1]);
            close(master);
            setenv("FTD2XX_DEVICES", devices.c_str(), 1);
            setenv("FTD2XX_SYSFS_ROOT", sysfsRoot.c_str(), 1);
            std::vector<char *> args;
            for (auto &a : argv)
                args.push_back(a.data());
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        close(out[1]);
        fcntl(out[0], F_SETFL, O_NONBLOCK);

        Bytes line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        bool outputOpen = true;
        while (outputOpen && std::chrono::steady_clock::now() < deadline) {
            pollfd fds[2] = {{master, POLLIN, 0}, {out[0], POLLIN, 0}};
            if (poll(fds, 2, 100) < 0)
                break;
            uint8_t buf[512];
            if (fds[0].revents & POLLIN) {
                const ssize_t n = read(master, buf, sizeof buf);
                if (n > 0)
                    line.insert(line.end(), buf, buf + n);
                if (auto request = testwake::Decode(line)) {
                    run.requests.push_back(line);
                    line.clear();
                    if (auto answer = reply(*request))
                        (void)!write(master, answer->data(), answer->size());
                }
            }
            if (fds[1].revents & (POLLIN | POLLHUP)) {
                const ssize_t n = read(out[0], buf, sizeof buf);
                if (n > 0)
                    run.output.append(reinterpret_cast<char *>(buf), static_cast<size_t>(n));
                else if (n == 0)
                    outputOpen = false;
            }
        }
        if (!line.empty())
            run.requests.push_back(line);  // a broken request, shown on failure
        close(out[0]);
        if (outputOpen)
            kill(pid, SIGKILL);
        waitpid(pid, &run.status, 0);
        return run;
    }

    int master = -1;
    int slave = -1;
    std::string slavePath;
    std::string sysfsRoot;
};

testwake::Answer Identity(const std::string &text)
{
    return [text](const Frame &r) -> std::optional<Bytes> {
        if (r.code == 3)
            return testwake::Reply(3, testwake::Text(text));
        return std::nullopt;
    };
}

const Bytes kIdentityRequest{0xC0, 0x03, 0x00, 0xEB};

struct Program {
    const char *name;
    std::vector<std::string> argv;
};

class Examples : public EndToEnd, public ::testing::WithParamInterface<Program> {
protected:
    void SetUp() override
    {
#ifdef QDX_E2E_NO_PYTHON
        if (std::string(GetParam().name) == "Python")
            GTEST_SKIP() << "the library is built with sanitizers";
#endif
        EndToEnd::SetUp();
    }
};

TEST_P(Examples, OpenPrintIdentityAndSerial)
{
    const Session run = Play(GetParam().argv, Identity("Quodrix QDX-3 e2e"));
    ASSERT_TRUE(WIFEXITED(run.status)) << run.output;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.output;
    // The open's identity exchange, then the program's own; the serial number
    // comes from the bridge, not the line.
    EXPECT_EQ(run.requests, (std::vector<Bytes>{kIdentityRequest, kIdentityRequest}));
    EXPECT_EQ(run.output, std::string("Identity: Quodrix QDX-3 e2e\nSerial number: ") + kSerial + "\n");
}

TEST_P(Examples, OtherIdentityIsNotOpened)
{
    const Session run = Play(GetParam().argv, Identity("Some other gadget"));
    ASSERT_TRUE(WIFEXITED(run.status)) << run.output;
    EXPECT_EQ(WEXITSTATUS(run.status), 1) << run.output;
    EXPECT_EQ(run.requests, (std::vector<Bytes>{kIdentityRequest}));
    EXPECT_EQ(run.output, "No controller found.\n");
}

TEST_P(Examples, SilentLineGivesTheIoError)
{
    const Session run = Play(GetParam().argv, [](const Frame &) { return std::nullopt; });
    ASSERT_TRUE(WIFEXITED(run.status)) << run.output;
    EXPECT_EQ(WEXITSTATUS(run.status), 1) << run.output;
    EXPECT_EQ(run.requests, (std::vector<Bytes>{kIdentityRequest}));
    EXPECT_EQ(run.output, "No controller found. IO error: device not responding.\n");
}

INSTANTIATE_TEST_SUITE_P(
    Programs, Examples,
    ::testing::Values(Program{"C", {QDX_INFO_PROGRAM}},
                      Program{"Python", {QDX_PYTHON3, QDX_INFO_SCRIPT, QDXLINK_LIBRARY}}),
    [](const auto &test) { return std::string(test.param.name); });

} // namespace
