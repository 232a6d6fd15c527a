#include "PtyServer.h"

#include <cerrno>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include "Wire.h"

namespace qdxsim {

namespace {

using SteadyClock = std::chrono::steady_clock;

void sleepUntil(SteadyClock::time_point t)
{
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch());
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ns.count() / 1000000000);
    ts.tv_nsec = static_cast<long>(ns.count() % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

}  // namespace

PtyServer::PtyServer(Controller &controller, bool pace) : controller_(controller), pace_(pace) {}

PtyServer::~PtyServer()
{
    if (master_ >= 0)
        ::close(master_);
}

bool PtyServer::open(std::string &error)
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) {
        error = std::string("ptsname: ") + std::strerror(errno);
        return false;
    }
    slavePath_ = name;
    // Raw from the start: with the default line discipline the slave would
    // echo the host's request back to us before a client sets it up. The
    // settings stay with the pseudo-terminal while the master is open.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        error = "cannot open " + slavePath_ + ": " + std::strerror(errno);
        return false;
    }
    termios t{};
    if (tcgetattr(slave, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
    }
    ::close(slave);
    // Replies to a host that has gone must never block the server.
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (pace_)
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    return true;
}

void PtyServer::serve(int stopFd)
{
    std::uint8_t buf[512];
    for (;;) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int r = ::poll(fds, 2, 50);
        if (r < 0 && errno != EINTR)
            return;
        if (fds[1].revents & POLLIN)
            return;
        if (r > 0 && (fds[0].revents & POLLIN)) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) {
                onBytes(buf, static_cast<std::size_t>(n));
                continue;
            }
        }
        if (r > 0 && (fds[0].revents & (POLLHUP | POLLERR))) {
            // No client has the slave open (reads give EIO): poll would
            // return at once, so nap instead.
            ::poll(nullptr, 0, kIdleNapMs);
        }
        if (controller_.midFrame() && SteadyClock::now() - lastByte_ > kSilence)
            controller_.resetParser();
    }
}

void PtyServer::onBytes(const std::uint8_t *bytes, std::size_t n)
{
    const auto now = SteadyClock::now();
    if (controller_.midFrame() && now - lastByte_ > kSilence)
        controller_.resetParser();
    lastByte_ = now;
    for (std::size_t i = 0; i < n; ++i) {
        if (bytes[i] == kFend) {
            requestStart_ = now;
            requestBytes_ = 0;
        }
        ++requestBytes_;
        const auto reply = controller_.receive(std::span<const std::uint8_t>(bytes + i, 1));
        if (!reply.empty())
            send(reply, requestStart_, requestBytes_);
    }
}

void PtyServer::send(const std::vector<std::uint8_t> &reply, SteadyClock::time_point start,
                     std::size_t requestBytes)
{
    if (!pace_) {
        std::size_t off = 0;
        while (off < reply.size()) {
            const ssize_t w = ::write(master_, reply.data() + off, reply.size() - off);
            if (w <= 0)
                return;  // nobody reads the slave: the reply is lost, as on a dead line
            off += static_cast<std::size_t>(w);
        }
        return;
    }
    // Byte i of the reply is due when the request and reply bytes up to it
    // would have crossed the line; it never leaves earlier. After a late
    // wake-up every byte already due goes out in one write.
    const auto first = start + kByteTime * static_cast<long>(requestBytes);
    std::size_t i = 0;
    while (i < reply.size()) {
        const auto due = first + kByteTime * static_cast<long>(i + 1);
        sleepUntil(due);
        const auto now = SteadyClock::now();
        std::size_t n = 1;
        while (i + n < reply.size() && first + kByteTime * static_cast<long>(i + n + 1) <= now)
            ++n;
        if (::write(master_, &reply[i], n) != static_cast<ssize_t>(n))
            return;
        i += n;
    }
}

}  // namespace qdxsim
