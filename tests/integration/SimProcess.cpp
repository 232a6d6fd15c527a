#include "SimProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char **environ;

namespace {

int waitFor(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return status;
}

}  // namespace

bool SimProcess::start(const std::vector<std::string> &args)
{
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return false;
    std::vector<std::string> argv = {QDXSIM_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char *> cargv;
    for (auto &a : argv)
        cargv.push_back(a.data());
    cargv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, out[1], STDOUT_FILENO);
    const int rc = posix_spawn(&pid_, QDXSIM_PATH, &fa, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        pid_ = -1;
        return false;
    }
    entry_.clear();
    char c = 0;
    for (;;) {
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0 || read(out[0], &c, 1) != 1 || c == '\n')
            break;
        entry_ += c;
    }
    close(out[0]);
    return c == '\n' && !entry_.empty();
}

int SimProcess::stop()
{
    if (pid_ <= 0)
        return -1;
    ::kill(pid_, SIGTERM);
    const int status = waitFor(pid_);
    pid_ = -1;
    return status;
}

void SimProcess::kill()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGKILL);
    waitFor(pid_);
    pid_ = -1;
}

SilentPty::SilentPty()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        return;
    char name[128];
    if (ptsname_r(master_, name, sizeof name) == 0)
        path_ = name;
}

SilentPty::~SilentPty()
{
    if (master_ >= 0)
        close(master_);
}

int runWithDevices(const std::string &program, const std::string &devices)
{
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e)
        if (std::strncmp(*e, "FTD2XX_DEVICES=", 15) != 0)
            env.emplace_back(*e);
    env.push_back("FTD2XX_DEVICES=" + devices);
    std::vector<char *> cenv;
    for (auto &e : env)
        cenv.push_back(e.data());
    cenv.push_back(nullptr);
    std::string prog = program;
    char *argv[] = {prog.data(), nullptr};
    pid_t pid = -1;
    int devnull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    if (devnull >= 0)
        posix_spawn_file_actions_adddup2(&fa, devnull, STDOUT_FILENO);
    const int rc = posix_spawn(&pid, prog.c_str(), &fa, nullptr, argv, cenv.data());
    posix_spawn_file_actions_destroy(&fa);
    if (devnull >= 0)
        close(devnull);
    if (rc != 0)
        return -1;
    const int status = waitFor(pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
