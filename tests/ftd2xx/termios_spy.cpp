#include "termios_spy.h"

#include <dlfcn.h>
#include <map>
#include <mutex>
#include <sys/stat.h>

namespace ftd2xx_test {
namespace {

std::mutex& spyMutex() {
    static std::mutex m;
    return m;
}

// Keyed by the tty's device number, so that the test's own descriptor finds
// what the layer set through its descriptor.
std::map<dev_t, termios>& requested() {
    static std::map<dev_t, termios> m;
    return m;
}

std::optional<dev_t> deviceOf(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return std::nullopt;
    return st.st_rdev;
}

}  // namespace

std::optional<termios> lastRequestedSettings(int fd) {
    const auto dev = deviceOf(fd);
    if (!dev) return std::nullopt;
    std::lock_guard<std::mutex> lock(spyMutex());
    const auto it = requested().find(*dev);
    if (it == requested().end()) return std::nullopt;
    return it->second;
}

}  // namespace ftd2xx_test

extern "C" int tcsetattr(int fd, int actions, const struct termios* settings) noexcept {
    using Real = int (*)(int, int, const struct termios*);
    static const Real real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "tcsetattr"));
    const int rc = real(fd, actions, settings);
    if (rc == 0) {
        if (const auto dev = ftd2xx_test::deviceOf(fd)) {
            std::lock_guard<std::mutex> lock(ftd2xx_test::spyMutex());
            ftd2xx_test::requested()[*dev] = *settings;
        }
    }
    return rc;
}
