// Serves one simulated controller on a new pseudo-terminal.
//
// The slave path stays valid while the server lives, so a client may close
// and reopen it. The server does not hold the slave open itself: a client's
// exclusive mode (TIOCEXCL) would then outlive the client and lock out the
// next one. While no client has the slave open the master reports a hang-up;
// the server then naps between polls instead of spinning.
#ifndef QDX_SIM_PTYSERVER_H
#define QDX_SIM_PTYSERVER_H

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "Controller.h"

namespace qdxsim {

class PtyServer {
public:
    // With pace, reply bytes leave no faster than a 115200-baud 8N1 line
    // carries them: reply byte i leaves no earlier than (request bytes + i +
    // 1) character times after the request's first byte arrived, as if the
    // request had crossed the same line first.
    PtyServer(Controller &controller, bool pace);
    ~PtyServer();
    PtyServer(const PtyServer &) = delete;
    PtyServer &operator=(const PtyServer &) = delete;

    // Creates the pseudo-terminal. False with a reason in error.
    bool open(std::string &error);
    const std::string &slavePath() const { return slavePath_; }

    // Serves requests until stopFd becomes readable (the byte is left there).
    void serve(int stopFd);

    // One 8N1 character time at 115200 baud: 10 bits.
    static constexpr std::chrono::nanoseconds kByteTime{86806};
    // A partial request older than this is dropped.
    static constexpr std::chrono::milliseconds kSilence{100};
    // Nap while no client has the slave open.
    static constexpr int kIdleNapMs = 10;

private:
    void onBytes(const std::uint8_t *bytes, std::size_t n);
    void send(const std::vector<std::uint8_t> &reply, std::chrono::steady_clock::time_point start,
              std::size_t requestBytes);

    Controller &controller_;
    bool pace_;
    int master_ = -1;
    std::string slavePath_;
    std::chrono::steady_clock::time_point lastByte_{};
    std::chrono::steady_clock::time_point requestStart_{};
    std::size_t requestBytes_ = 0;
};

}  // namespace qdxsim

#endif
