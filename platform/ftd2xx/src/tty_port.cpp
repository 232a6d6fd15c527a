#include "tty_port.h"

#include "deadline.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace ftd2xx {
namespace {

struct BaudSpeed {
    uint32_t baud;
    speed_t speed;
};

constexpr BaudSpeed kBaudSpeeds[] = {
    {300, B300},         {600, B600},         {1200, B1200},       {2400, B2400},
    {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},
    {500000, B500000},   {576000, B576000},   {921600, B921600},   {1000000, B1000000},
    {1152000, B1152000}, {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000},
    {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

// Below this the FTDI driver's low-latency flag (1 ms) is the closer match
// to the asked latency than its 16 ms default.
constexpr unsigned kLowLatencyBelowMs = 16;

bool deviceGone(int err) { return err == EIO || err == ENXIO || err == ENODEV; }

class TtyPort final : public Port {
public:
    TtyPort(int fd, int wake, std::string identity, std::string latencyTimer)
        : fd_(fd), wake_(wake), identity_(std::move(identity)), latencyTimer_(std::move(latencyTimer)) {}

    ~TtyPort() override {
        // The exclusive flag belongs to the tty, not to this descriptor; a pty
        // whose master stays open would otherwise keep refusing opens.
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);  // releases the flock
        ::close(wake_);
    }

    TtyPort(const TtyPort&) = delete;
    TtyPort& operator=(const TtyPort&) = delete;

    std::string identity() const override { return identity_; }

    FT_STATUS setBaudRate(uint32_t baud) override {
        for (const auto& b : kBaudSpeeds) {
            if (b.baud != baud) continue;
            termios t{};
            if (::tcgetattr(fd_, &t) != 0) return FT_IO_ERROR;
            ::cfsetispeed(&t, b.speed);
            ::cfsetospeed(&t, b.speed);
            return ::tcsetattr(fd_, TCSANOW, &t) == 0 ? FT_OK : FT_IO_ERROR;
        }
        return FT_INVALID_BAUD_RATE;
    }

    FT_STATUS setLineFormat(const LineFormat& format) override {
        termios t{};
        if (::tcgetattr(fd_, &t) != 0) return FT_IO_ERROR;
        applyFormat(t, format);
        return ::tcsetattr(fd_, TCSANOW, &t) == 0 ? FT_OK : FT_IO_ERROR;
    }

    FT_STATUS setLatencyTimer(unsigned ms) override {
        if (latencyTimer_.empty()) return FT_OK;
        if (writeLatencyAttribute(ms)) return FT_OK;
        // The attribute is missing or not writable for this user: fall back
        // to the serial low-latency flag, which ftdi_sio lets any user set.
        serial_struct ss{};
        if (::ioctl(fd_, TIOCGSERIAL, &ss) == 0) {
            if (ms < kLowLatencyBelowMs) {
                ss.flags |= ASYNC_LOW_LATENCY;
            } else {
                ss.flags &= ~ASYNC_LOW_LATENCY;
            }
            if (::ioctl(fd_, TIOCSSERIAL, &ss) == 0) return FT_OK;
        }
        // Neither way worked. Only a vanished device makes this a failure: a
        // missing permission must not stop an otherwise working line.
        return deviceGone(errno) ? FT_IO_ERROR : FT_OK;
    }

    FT_STATUS purge(bool rx, bool tx) override {
        if (!rx && !tx) return FT_OK;
        const int which = rx && tx ? TCIOFLUSH : rx ? TCIFLUSH : TCOFLUSH;
        return ::tcflush(fd_, which) == 0 ? FT_OK : FT_IO_ERROR;
    }

    IoResult readSome(uint8_t* buffer, std::size_t size, int waitMs) override {
        const Deadline deadline(waitMs);
        for (;;) {
            pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
            const int n = ::poll(fds, 2, deadline.remainingMs());
            if (n < 0) {
                if (errno == EINTR) continue;
                return {IoStatus::Gone, 0};
            }
            if (fds[1].revents != 0) return {IoStatus::Interrupted, 0};
            if (n == 0) return {IoStatus::TimedOut, 0};
            if ((fds[0].revents & POLLIN) == 0) {
                // POLLHUP, POLLERR or POLLNVAL without data: hung up or unplugged.
                return {IoStatus::Gone, 0};
            }
            const ssize_t got = ::read(fd_, buffer, size);
            if (got > 0) return {IoStatus::Ok, static_cast<std::size_t>(got)};
            // A hung-up tty reads 0 (an unplugged bridge) or fails with EIO
            // (a pty whose master closed).
            if (got == 0) return {IoStatus::Gone, 0};
            if (errno == EAGAIN || errno == EINTR) {
                if (deadline.remainingMs() == 0) return {IoStatus::TimedOut, 0};
                continue;
            }
            return {IoStatus::Gone, 0};
        }
    }

    IoResult writeSome(const uint8_t* data, std::size_t size, int waitMs) override {
        const Deadline deadline(waitMs);
        for (;;) {
            const ssize_t put = ::write(fd_, data, size);
            if (put > 0) return {IoStatus::Ok, static_cast<std::size_t>(put)};
            if (put == 0) return {IoStatus::Gone, 0};  // a tty that takes nothing would make us spin
            if (errno == EINTR) continue;
            if (errno != EAGAIN) return {IoStatus::Gone, 0};

            pollfd fds[2] = {{fd_, POLLOUT, 0}, {wake_, POLLIN, 0}};
            int n;
            do {
                n = ::poll(fds, 2, deadline.remainingMs());
            } while (n < 0 && errno == EINTR);
            if (n < 0) return {IoStatus::Gone, 0};
            if (fds[1].revents != 0) return {IoStatus::Interrupted, 0};
            if (n == 0) return {IoStatus::TimedOut, 0};
            if ((fds[0].revents & POLLOUT) == 0) return {IoStatus::Gone, 0};
        }
    }

    void interrupt() override {
        const uint64_t one = 1;
        // Never drained: every later wait sees it too.
        [[maybe_unused]] const ssize_t ignored = ::write(wake_, &one, sizeof one);
    }

    static void applyFormat(termios& t, const LineFormat& format) {
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR);
        t.c_cflag |= format.dataBits == 7 ? CS7 : CS8;
        if (format.stopBits == 2) t.c_cflag |= CSTOPB;
        if (format.parity != Parity::None) t.c_cflag |= PARENB;
        if (format.parity == Parity::Odd) t.c_cflag |= PARODD;
    }

private:
    bool writeLatencyAttribute(unsigned ms) {
        const int afd = ::open(latencyTimer_.c_str(), O_WRONLY | O_CLOEXEC);
        if (afd < 0) return false;
        char text[8];
        const int len = std::snprintf(text, sizeof text, "%u\n", ms);
        const bool ok = ::write(afd, text, static_cast<std::size_t>(len)) == len;
        const int err = errno;
        ::close(afd);
        errno = err;
        return ok;
    }

    int fd_;
    int wake_;
    std::string identity_;
    std::string latencyTimer_;
};

std::string identityOfFd(const struct stat& st) {
    char text[64];
    if (S_ISCHR(st.st_mode)) {
        std::snprintf(text, sizeof text, "c:%u:%u", major(st.st_rdev), minor(st.st_rdev));
    } else {
        std::snprintf(text, sizeof text, "f:%llu:%llu", static_cast<unsigned long long>(st.st_dev),
                      static_cast<unsigned long long>(st.st_ino));
    }
    return text;
}

// Raw bytes both ways, no flow control, 9600 baud 8N1; reads never wait
// inside the kernel (the descriptor is non-blocking, waits are poll()'s).
bool makeRaw(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return false;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    t.c_iflag &= ~static_cast<tcflag_t>(IXOFF | IXANY);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    TtyPort::applyFormat(t, LineFormat{});
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace

FT_STATUS openTtyPort(const DeviceEntry& entry, std::unique_ptr<Port>& port) {
    port.reset();
    // Non-blocking, so that the open does not wait for carrier before CLOCAL is set.
    const int fd = ::open(entry.path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FT_DEVICE_NOT_OPENED;

    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && ::isatty(fd) == 1;
    // flock first: TIOCEXCL does not stop root, the lock does.
    ok = ok && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool exclusive = ok && ::ioctl(fd, TIOCEXCL) == 0;
    ok = exclusive && makeRaw(fd);
    const int wake = ok ? ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK) : -1;
    if (!ok || wake < 0) {
        if (exclusive) ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return FT_DEVICE_NOT_OPENED;
    }
    port = std::make_unique<TtyPort>(fd, wake, identityOfFd(st), entry.latencyTimer);
    return FT_OK;
}

std::string ttyIdentity(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return identityOfFd(st);
}

}  // namespace ftd2xx
