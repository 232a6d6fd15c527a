// qdxctl: the controller from the command line, for a bench without the panel
// or for scripts. Each run opens the controller (the first bridge device that
// identifies as Quodrix), carries out one command on the chosen channels and
// exits. It does not initialise the drivers: run the panel's "Open Device"
// once, or set what a move needs with the raw "set" command.
#include "Control.h"
#include "qdxlink.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;   // the controller refused or did not answer
constexpr int kExitUsage = 2;
constexpr int kExitNoDevice = 3;

void Usage(std::FILE* out) {
    std::fputs(
        "usage: qdxctl [--chan 1|2|3|all] COMMAND [ARGS]\n"
        "\n"
        "  info               identity text and serial number\n"
        "  pos                absolute position (steps)\n"
        "  zero               set the absolute position to 0\n"
        "  status             driver status word, decoded (clears latched flags)\n"
        "  vcc                supply voltage (V)\n"
        "  limits             limits byte (bit 0 channel 1 ... bit 2 channel 3)\n"
        "  run SPEED          run at SPEED steps/s; a negative speed runs in reverse\n"
        "  goto POS           move to POS steps\n"
        "  home [SPEED]       run forward until the switch closes, then zero (default 50 steps/s)\n"
        "  stop               soft stop      hardstop   hard stop      hiz   hard stop, bridges off\n"
        "  watch [SECONDS]    print the position ten times a second (default 10 s)\n"
        "  get BITS CMD       raw read: bit length and driver command byte\n"
        "  set BITS CMD VAL   raw driver command with its value\n"
        "\n"
        "Numbers may be given in decimal or as 0x... hexadecimal. The default channel is 1;\n"
        "reads with --chan all come from channel 1. Devices: FTDI bridges of the ftdi_sio\n"
        "driver, then the ttys listed in FTD2XX_DEVICES (PATH[=SERIAL]:...).\n",
        out);
}

bool ParseLong(const char* text, long min, long max, long& out) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 0);
    if (errno != 0 || end == text || *end != '\0' || v < min || v > max) return false;
    out = v;
    return true;
}

bool ParseDouble(const char* text, double& out) {
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !std::isfinite(v)) return false;
    out = v;
    return true;
}

// Prints the library's reason after a failed exchange and returns the exit code.
int Outcome(bool ok) {
    if (ok) return kExitOk;
    const char* text = nullptr;
    QDX_GetLastError(&text);
    std::fprintf(stderr, "qdxctl: %s\n", text && *text ? text : "command failed");
    return kExitFailed;
}

// An exchange of the read operations leaves its outcome in the last-error
// text only; an empty text means the read went through.
int ReadOutcome() {
    const char* text = nullptr;
    QDX_GetLastError(&text);
    return Outcome(text == nullptr || *text == '\0');
}

void PrintStatus(std::int32_t s) {
    static const char* const kMotion[] = {"stopped", "accelerating", "decelerating",
                                          "constant speed"};
    std::printf("status 0x%04X\n", static_cast<unsigned>(s) & 0xFFFFu);
    std::printf("  high impedance   %s\n", (s & 0x0001) ? "yes" : "no");
    std::printf("  busy             %s\n", (s & 0x0002) ? "no" : "yes");  // BUSY is active low
    std::printf("  switch closed    %s\n", (s & 0x0004) ? "yes" : "no");
    std::printf("  switch event     %s\n", (s & 0x0008) ? "yes" : "no");
    std::printf("  direction        %s\n", (s & 0x0010) ? "forward" : "reverse");
    std::printf("  motion           %s\n", kMotion[(s >> 5) & 3]);
    std::printf("  command refused  %s\n", (s & 0x0080) ? "yes" : "no");
    std::printf("  command unknown  %s\n", (s & 0x0100) ? "yes" : "no");
    std::printf("  undervoltage     %s\n", (s & 0x0200) ? "no" : "yes");  // UVLO is active low
    std::printf("  thermal warning  %s\n", (s & 0x0400) ? "no" : "yes");
    std::printf("  thermal shutdown %s\n", (s & 0x0800) ? "no" : "yes");
    std::printf("  overcurrent      %s\n", (s & 0x1000) ? "no" : "yes");
}

}  // namespace

int main(int argc, char** argv) {
    std::uint8_t mask = 1;
    int i = 1;
    if (i < argc && (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help"))) {
        Usage(stdout);
        return kExitOk;
    }
    if (i + 1 < argc && !std::strcmp(argv[i], "--chan")) {
        const std::string c = argv[i + 1];
        if (c == "1") mask = 1;
        else if (c == "2") mask = 2;
        else if (c == "3") mask = 4;
        else if (c == "all") mask = 7;
        else {
            std::fprintf(stderr, "qdxctl: --chan takes 1, 2, 3 or all, not '%s'\n", c.c_str());
            return kExitUsage;
        }
        i += 2;
    }
    if (i >= argc) {
        Usage(stderr);
        return kExitUsage;
    }
    const std::string cmd = argv[i++];
    const int nargs = argc - i;
    char** args = argv + i;

    static const char* const kNoArgs[] = {"info", "pos", "zero", "status", "vcc", "limits",
                                          "stop", "hardstop", "hiz"};
    bool known = false;
    for (const char* k : kNoArgs) known = known || (cmd == k && nargs == 0);
    known = known || ((cmd == "run" || cmd == "goto") && nargs == 1) ||
            ((cmd == "home" || cmd == "watch") && nargs <= 1) ||
            (cmd == "get" && nargs == 2) || (cmd == "set" && nargs == 3);
    if (!known) {
        std::fprintf(stderr, "qdxctl: unknown command or wrong arguments: %s\n", cmd.c_str());
        Usage(stderr);
        return kExitUsage;
    }

    // Parse every number before the controller is touched.
    double number = 0;
    long bits = 0, code = 0, value = 0;
    if ((cmd == "run" || cmd == "goto" || (nargs == 1 && (cmd == "home" || cmd == "watch"))) &&
        !ParseDouble(args[0], number)) {
        std::fprintf(stderr, "qdxctl: not a number: %s\n", args[0]);
        return kExitUsage;
    }
    if (cmd == "get" || cmd == "set") {
        if (!ParseLong(args[0], 0, 24, bits) || !ParseLong(args[1], 0, 255, code) ||
            (cmd == "set" && !ParseLong(args[2], -0x800000L, 0xFFFFFFL, value))) {
            std::fprintf(stderr,
                         "qdxctl: BITS is 0..24, CMD 0..255, VAL a 24-bit number\n");
            return kExitUsage;
        }
    }

    if (!QDX_OpenDevice()) {
        const char* text = nullptr;
        QDX_GetLastError(&text);
        std::fprintf(stderr, "qdxctl: no Quodrix controller found%s%s\n",
                     text && *text ? ": " : "", text ? text : "");
        return kExitNoDevice;
    }

    int rc = kExitOk;
    if (cmd == "info") {
        const char* id = nullptr;
        const bool ok = QDX_GetInfo(&id);
        std::string identity = id ? id : "";
        const char* sn = nullptr;
        QDX_GetSN(&sn);
        std::printf("identity: %s\nserial:   %s\n", identity.c_str(), sn ? sn : "");
        rc = Outcome(ok);
    } else if (cmd == "pos") {
        const std::int32_t p = GetAbsPos(mask);
        rc = ReadOutcome();
        if (rc == kExitOk) std::printf("%d\n", p);
    } else if (cmd == "zero") {
        rc = Outcome(SetAbsPos(mask, 0));
    } else if (cmd == "status") {
        const std::int32_t s = GetStatus(mask);
        rc = ReadOutcome();
        if (rc == kExitOk) PrintStatus(s);
    } else if (cmd == "vcc") {
        const double v = GetVcc(mask);
        rc = ReadOutcome();
        if (rc == kExitOk) std::printf("%.2f\n", v);
    } else if (cmd == "limits") {
        std::uint8_t limits = 0;
        rc = Outcome(QDX_Lim(&limits));
        if (rc == kExitOk) std::printf("0x%02X\n", limits);
    } else if (cmd == "run") {
        rc = Outcome(Run(mask, number >= 0, std::fabs(number)));
    } else if (cmd == "goto") {
        rc = Outcome(GoTo(mask, static_cast<std::int32_t>(
                                    std::fmax(-2147483648.0, std::fmin(2147483647.0, number)))));
    } else if (cmd == "home") {
        rc = Outcome(GoUntil(mask, false, true, nargs ? number : 50.0));
    } else if (cmd == "stop") {
        rc = Outcome(SoftStop(mask));
    } else if (cmd == "hardstop") {
        rc = Outcome(HardStop(mask));
    } else if (cmd == "hiz") {
        rc = Outcome(HardHiZ(mask));
    } else if (cmd == "watch") {
        const double seconds = nargs ? number : 10.0;
        const auto end = std::chrono::steady_clock::now() +
                         std::chrono::duration<double>(seconds);
        while (rc == kExitOk && std::chrono::steady_clock::now() < end) {
            const std::int32_t p = GetAbsPos(mask);
            rc = ReadOutcome();
            if (rc == kExitOk) std::printf("%d\n", p);
            std::fflush(stdout);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    } else if (cmd == "get") {
        std::int32_t v = 0;
        rc = Outcome(QDX_Get(mask, static_cast<std::int8_t>(bits),
                             static_cast<std::uint8_t>(code), &v));
        if (rc == kExitOk) std::printf("%d (0x%06X)\n", v, static_cast<unsigned>(v));
    } else if (cmd == "set") {
        rc = Outcome(QDX_Set(mask, static_cast<std::int8_t>(bits),
                             static_cast<std::uint8_t>(code), static_cast<std::int32_t>(value)));
    }

    QDX_CloseDevice();
    return rc;
}
