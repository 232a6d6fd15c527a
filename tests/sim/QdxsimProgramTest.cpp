#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// qdxsim as a child with its stdout on a pipe.
struct Child {
    pid_t pid = -1;
    int out = -1;

    explicit Child(std::vector<std::string> args)
    {
        args.insert(args.begin(), QDXSIM_PATH);
        std::vector<char *> argv;
        for (auto &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        int p[2];
        if (pipe2(p, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, p[1], STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&fa, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid, QDXSIM_PATH, &fa, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&fa);
        close(p[1]);
        out = p[0];
    }
    ~Child()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (out >= 0)
            close(out);
    }
    // One line of stdout, without the newline; empty after 10 s of silence.
    std::string line()
    {
        std::string s;
        char c = 0;
        pollfd p{out, POLLIN, 0};
        while (poll(&p, 1, 10000) > 0 && read(out, &c, 1) == 1 && c != '\n')
            s += c;
        return s;
    }
    // Exit code, or 128 + signal.
    int wait()
    {
        int status = 0;
        waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
};

TEST(QdxsimProgram, PrintsItsEntryAndEndsCleanlyOnSigintAndSigterm)
{
    for (int sig : {SIGINT, SIGTERM}) {
        Child c({"--serial", "SIMTEST1"});
        const std::string entry = c.line();
        EXPECT_EQ(entry.rfind("/dev/pts/", 0), 0u) << entry;
        EXPECT_EQ(entry.substr(entry.find('=') + 1), "SIMTEST1");
        EXPECT_EQ(access(entry.substr(0, entry.find('=')).c_str(), R_OK | W_OK), 0);
        kill(c.pid, sig);
        EXPECT_EQ(c.wait(), 0) << "signal " << sig;
    }
}

TEST(QdxsimProgram, RunPassesItsEntryAndReturnsTheExitCode)
{
    Child c({"--run", "/bin/sh", "-c", "echo \"$FTD2XX_DEVICES\"; exit 7"});
    const std::string entry = c.line();
    EXPECT_EQ(c.line(), entry);
    EXPECT_EQ(c.wait(), 7);
}

TEST(QdxsimProgram, RunReplacesAnInheritedDeviceList)
{
    setenv("FTD2XX_DEVICES", "/dev/null=OTHER", 1);
    Child c({"--run", "/bin/sh", "-c", "echo \"$FTD2XX_DEVICES\""});
    unsetenv("FTD2XX_DEVICES");
    const std::string entry = c.line();
    EXPECT_EQ(c.line(), entry);
    EXPECT_EQ(c.wait(), 0);
}

TEST(QdxsimProgram, RunOfAMissingProgramFails)
{
    Child c({"--run", "/nonexistent/program"});
    c.line();
    EXPECT_EQ(c.wait(), 127);
}

TEST(QdxsimProgram, OptionErrorsAndHelp)
{
    struct {
        std::vector<std::string> args;
        int code;
    } const cases[] = {
        {{"--help"}, 0},
        {{"--bogus"}, 2},
        {{"--vcc"}, 2},
        {{"--vcc", "twelve"}, 2},
        {{"--switch", "4:100"}, 2},
        {{"--switch", "1:x"}, 2},
        {{"--serial", "A:B"}, 2},
        {{"--serial", "12345678901234567"}, 2},
        {{"--run"}, 2},
    };
    for (const auto &t : cases) {
        Child c(t.args);
        EXPECT_EQ(c.wait(), t.code) << t.args[0];
    }
}

}  // namespace
