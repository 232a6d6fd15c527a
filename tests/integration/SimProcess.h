// Test helpers: a qdxsim child process, a silent pseudo-terminal, and
// running a program with a given FTD2XX_DEVICES.
#ifndef QDX_TESTS_SIMPROCESS_H
#define QDX_TESTS_SIMPROCESS_H

#include <string>
#include <vector>

#include <sys/types.h>

class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess() { stop(); }
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // Starts qdxsim with these options and reads its FTD2XX_DEVICES entry.
    bool start(const std::vector<std::string> &args);
    // SIGTERM and wait; returns the exit status (-1 if not running).
    int stop();
    // SIGKILL and wait.
    void kill();
    const std::string &entry() const { return entry_; }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::string entry_;
};

// A pseudo-terminal nobody answers on.
class SilentPty {
public:
    SilentPty();
    ~SilentPty();
    SilentPty(const SilentPty &) = delete;
    SilentPty &operator=(const SilentPty &) = delete;
    const std::string &path() const { return path_; }

private:
    int master_ = -1;
    std::string path_;
};

// Runs program with FTD2XX_DEVICES=devices; returns its exit code, or -1.
int runWithDevices(const std::string &program, const std::string &devices);

#endif
