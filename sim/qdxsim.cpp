// qdxsim: a simulated controller on a pseudo-terminal. See README.md.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Controller.h"
#include "PtyServer.h"

namespace {

int gSignalPipe[2] = {-1, -1};

void onSignal(int sig)
{
    const int saved = errno;
    const char c = sig == SIGCHLD ? 'c' : 's';
    [[maybe_unused]] ssize_t n = ::write(gSignalPipe[1], &c, 1);
    errno = saved;
}

const char kUsage[] =
    "usage: qdxsim [options] [--run PROGRAM [ARGS...]]\n"
    "Serves a simulated Quodrix controller on a new pseudo-terminal and prints\n"
    "its FTD2XX_DEVICES entry (PATH=SERIAL) on one line.\n"
    "  --serial S       serial number reported for the device (default QDX00001)\n"
    "  --vcc VOLTS      supply voltage behind ADC_OUT (default 24.0)\n"
    "  --switch POS     home switch position of every channel (default 400)\n"
    "  --switch CH:POS  home switch position of channel CH (1..3)\n"
    "  --identity TEXT  identity text (default \"Quodrix QX-3 sim 1.0\")\n"
    "  --pace           deliver replies no faster than a 115200-baud 8N1 line\n"
    "  --run PROGRAM... start PROGRAM with FTD2XX_DEVICES set to this device's\n"
    "                   entry; end when it ends, with its exit code\n"
    "  --help           this text\n";

bool parseDouble(const char *s, double &out)
{
    char *end = nullptr;
    errno = 0;
    out = std::strtod(s, &end);
    return end != s && *end == '\0' && errno == 0;
}

int usageError(const std::string &what)
{
    std::fprintf(stderr, "qdxsim: %s\n%s", what.c_str(), kUsage);
    return 2;
}

int exitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 1;
}

}  // namespace

int main(int argc, char **argv)
{
    qdxsim::ControllerOptions options;
    std::string serial = "QDX00001";
    bool pace = false;
    std::vector<char *> run;

    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&](const char *name) -> const char * {
            if (i + 1 >= argc)
                return nullptr;
            (void)name;
            return argv[++i];
        };
        if (a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--pace") {
            pace = true;
        } else if (a == "--serial") {
            const char *v = next("--serial");
            if (!v || !*v || std::strpbrk(v, ":=") || std::strlen(v) > 16)
                return usageError("--serial needs 1 to 16 characters without ':' or '='");
            serial = v;
        } else if (a == "--vcc") {
            const char *v = next("--vcc");
            if (!v || !parseDouble(v, options.vcc))
                return usageError("--vcc needs a number of volts");
        } else if (a == "--identity") {
            const char *v = next("--identity");
            if (!v || std::strlen(v) > 255)
                return usageError("--identity needs a text of at most 255 characters");
            options.identity = v;
        } else if (a == "--switch") {
            const char *v = next("--switch");
            if (!v)
                return usageError("--switch needs POS or CH:POS");
            const std::string s = v;
            const auto colon = s.find(':');
            double pos = 0;
            if (colon == std::string::npos) {
                if (!parseDouble(v, pos))
                    return usageError("bad --switch position: " + s);
                options.switchPositions.fill(pos);
            } else {
                const std::string ch = s.substr(0, colon);
                if ((ch != "1" && ch != "2" && ch != "3") ||
                    !parseDouble(s.c_str() + colon + 1, pos))
                    return usageError("bad --switch CH:POS: " + s);
                options.switchPositions[static_cast<std::size_t>(ch[0] - '1')] = pos;
            }
        } else if (a == "--run") {
            if (i + 1 >= argc)
                return usageError("--run needs a program");
            run.assign(argv + i + 1, argv + argc);
            run.push_back(nullptr);
            break;
        } else {
            return usageError("unknown option: " + a);
        }
    }

    if (pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("qdxsim: pipe");
        return 1;
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGCHLD, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    qdxsim::Controller controller(options);
    qdxsim::PtyServer server(controller, pace);
    std::string error;
    if (!server.open(error)) {
        std::fprintf(stderr, "qdxsim: %s\n", error.c_str());
        return 1;
    }
    const std::string entry = server.slavePath() + "=" + serial;
    std::printf("%s\n", entry.c_str());
    std::fflush(stdout);

    pid_t child = -1;
    if (!run.empty()) {
        child = fork();
        if (child < 0) {
            std::perror("qdxsim: fork");
            return 1;
        }
        if (child == 0) {
            struct sigaction dfl {};
            dfl.sa_handler = SIG_DFL;
            sigaction(SIGINT, &dfl, nullptr);
            sigaction(SIGTERM, &dfl, nullptr);
            sigaction(SIGCHLD, &dfl, nullptr);
            std::signal(SIGPIPE, SIG_DFL);
            setenv("FTD2XX_DEVICES", entry.c_str(), 1);
            execvp(run[0], run.data());
            std::fprintf(stderr, "qdxsim: cannot run %s: %s\n", run[0], std::strerror(errno));
            _exit(127);
        }
    }

    for (;;) {
        server.serve(gSignalPipe[0]);
        char c = 0;
        while (::read(gSignalPipe[0], &c, 1) == 1) {
            if (c == 's') {
                if (child > 0) {
                    kill(child, SIGTERM);
                    int status = 0;
                    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
                    }
                }
                return 0;
            }
            if (c == 'c' && child > 0) {
                int status = 0;
                if (waitpid(child, &status, WNOHANG) == child)
                    return exitCodeOf(status);
            }
        }
    }
}
