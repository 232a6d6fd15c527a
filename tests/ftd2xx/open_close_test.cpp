// Exclusive opens, and handles that are closed, stale or made up.
#include "support.h"

#include <cstdint>
#include <functional>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ftd2xx_test {
namespace {

using OpenTest = LayerTest;

TEST_F(OpenTest, SecondOpenInTheProcessIsRefusedUntilClosed) {
    Pty pty;
    EnvSetting list("FTD2XX_DEVICES", pty.path());
    Handle first, second;
    ASSERT_EQ(first.open(0), FT_OK);
    EXPECT_EQ(second.open(0), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(second.h, nullptr);
    ASSERT_EQ(first.close(), FT_OK);
    EXPECT_EQ(second.open(0), FT_OK);
}

TEST_F(OpenTest, SameTtyUnderAnotherPathIsRefused) {
    Pty pty;
    TempDir dir;
    const fs::path link = dir.path() / "controller";
    fs::create_symlink(pty.path(), link);
    EnvSetting list("FTD2XX_DEVICES", pty.path() + ":" + link.string());
    Handle first, second;
    ASSERT_EQ(first.open(0), FT_OK);
    EXPECT_EQ(second.open(1), FT_DEVICE_NOT_OPENED);
}

// Reads one byte from a pipe, giving up after a few seconds.
bool waitByte(int fd, unsigned char& byte) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 10000) == 1 && ::read(fd, &byte, 1) == 1;
}

TEST_F(OpenTest, AnotherProcessCannotOpenWhileOpen) {
    Pty pty;
    EnvSetting list("FTD2XX_DEVICES", pty.path());
    int toChild[2];
    int toParent[2];
    ASSERT_EQ(::pipe(toChild), 0);
    ASSERT_EQ(::pipe(toParent), 0);

    // The child forks before the parent opens, so it inherits no open handle
    // and only the lock on the tty can stop it.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(toChild[1]);
        ::close(toParent[0]);
        unsigned char go = 0;
        for (int round = 0; round < 2; ++round) {
            if (!waitByte(toChild[0], go)) ::_exit(2);
            FT_HANDLE h = nullptr;
            const auto st = static_cast<unsigned char>(FT_Open(0, &h));
            if (h) FT_Close(h);
            if (::write(toParent[1], &st, 1) != 1) ::_exit(3);
        }
        ::_exit(0);
    }
    ::close(toChild[0]);
    ::close(toParent[1]);

    Handle h;
    ASSERT_EQ(h.open(0), FT_OK);
    unsigned char go = 1;
    unsigned char childStatus = 0xFF;
    ASSERT_EQ(::write(toChild[1], &go, 1), 1);
    ASSERT_TRUE(waitByte(toParent[0], childStatus));
    EXPECT_EQ(childStatus, FT_DEVICE_NOT_OPENED);

    ASSERT_EQ(h.close(), FT_OK);
    ASSERT_EQ(::write(toChild[1], &go, 1), 1);
    ASSERT_TRUE(waitByte(toParent[0], childStatus));
    EXPECT_EQ(childStatus, FT_OK) << "the lock outlived FT_Close";

    int wstatus = 0;
    ASSERT_EQ(::waitpid(pid, &wstatus, 0), pid);
    EXPECT_TRUE(WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0);
    ::close(toChild[1]);
    ::close(toParent[0]);
}

TEST_F(OpenTest, PathsThatAreNotOpenableTtys) {
    TempDir dir;
    writeFile(dir.path() / "plain", "not a tty");
    for (const std::string& path : {std::string("/dev/null"), (dir.path() / "plain").string(),
                                   (dir.path() / "missing").string(), dir.path().string()}) {
        EnvSetting list("FTD2XX_DEVICES", path);
        ASSERT_EQ(deviceCount(), 1u) << path;
        FT_HANDLE h = reinterpret_cast<FT_HANDLE>(uintptr_t{0x1234});
        EXPECT_EQ(FT_Open(0, &h), FT_DEVICE_NOT_OPENED) << path;
        EXPECT_EQ(h, nullptr) << path;
    }
}

TEST_F(OpenTest, NullHandlePointer) {
    Pty pty;
    EnvSetting list("FTD2XX_DEVICES", pty.path());
    EXPECT_EQ(FT_Open(0, nullptr), FT_INVALID_PARAMETER);
    Handle h;
    EXPECT_EQ(h.open(0), FT_OK) << "a refused call must not leave the device open";
}

// Every call that takes a handle, with harmless arguments.
const std::vector<std::pair<const char*, std::function<FT_STATUS(FT_HANDLE)>>>& handleCalls() {
    static const std::vector<std::pair<const char*, std::function<FT_STATUS(FT_HANDLE)>>> calls = {
        {"FT_Read",
         [](FT_HANDLE h) {
             unsigned char b;
             DWORD n;
             return FT_Read(h, &b, 1, &n);
         }},
        {"FT_Write",
         [](FT_HANDLE h) {
             unsigned char b = 0;
             DWORD n;
             return FT_Write(h, &b, 1, &n);
         }},
        {"FT_SetBaudRate", [](FT_HANDLE h) { return FT_SetBaudRate(h, 115200); }},
        {"FT_SetDataCharacteristics",
         [](FT_HANDLE h) { return FT_SetDataCharacteristics(h, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE); }},
        {"FT_Purge", [](FT_HANDLE h) { return FT_Purge(h, FT_PURGE_RX | FT_PURGE_TX); }},
        {"FT_SetTimeouts", [](FT_HANDLE h) { return FT_SetTimeouts(h, 10, 10); }},
        {"FT_SetLatencyTimer", [](FT_HANDLE h) { return FT_SetLatencyTimer(h, 2); }},
        {"FT_GetDeviceInfo", [](FT_HANDLE h) { return deviceInfo(h).status; }},
        {"FT_Close", [](FT_HANDLE h) { return FT_Close(h); }},
    };
    return calls;
}

void expectAllInvalid(FT_HANDLE bad, const std::string& what) {
    for (const auto& [name, call] : handleCalls()) {
        EXPECT_EQ(call(bad), FT_INVALID_HANDLE) << name << " with " << what;
    }
}

TEST_F(OpenTest, ClosedHandleIsInvalidAndStaysInvalidAfterReuse) {
    Pty pty;
    EnvSetting list("FTD2XX_DEVICES", pty.path());
    FT_HANDLE old = nullptr;
    ASSERT_EQ(FT_Open(0, &old), FT_OK);
    ASSERT_EQ(FT_Close(old), FT_OK);
    expectAllInvalid(old, "a closed handle");

    // The same device again, very likely in the same table slot.
    Handle fresh;
    ASSERT_EQ(fresh.open(0), FT_OK);
    EXPECT_NE(fresh.h, old);
    expectAllInvalid(old, "a handle closed before the device was opened again");
    EXPECT_EQ(FT_SetTimeouts(fresh.h, 10, 10), FT_OK) << "the new handle must still work";
}

TEST_F(OpenTest, MadeUpHandlesAreRejectedWhileADeviceIsOpen) {
    Pty pty;
    EnvSetting list("FTD2XX_DEVICES", pty.path());
    Handle real;
    ASSERT_EQ(real.open(0), FT_OK);
    const auto value = reinterpret_cast<uintptr_t>(real.h);
    int local = 0;
    const std::pair<uintptr_t, const char*> madeUp[] = {
        {0, "null"},
        {1, "1"},
        {0xdeadbeef, "0xdeadbeef"},
        {UINTPTR_MAX, "all ones"},
        {reinterpret_cast<uintptr_t>(&local), "a stack address"},
        {value + 1, "the real handle + 1"},
        {value ^ (uintptr_t{1} << 20), "the real handle with a generation bit flipped"},
        {value & ~uintptr_t{0xFFFF}, "the real handle without its slot"},
    };
    for (const auto& [bad, what] : madeUp) {
        expectAllInvalid(reinterpret_cast<FT_HANDLE>(bad), what);
    }
    EXPECT_EQ(FT_SetTimeouts(real.h, 10, 10), FT_OK);
}

TEST_F(OpenTest, ManyHandlesAreDistinct) {
    constexpr int kCount = 8;
    Pty ptys[kCount];
    std::string list;
    for (const auto& p : ptys) list += p.path() + ":";
    EnvSetting env("FTD2XX_DEVICES", list);
    Handle handles[kCount];
    for (int i = 0; i < kCount; ++i) ASSERT_EQ(handles[i].open(i), FT_OK);
    for (int i = 0; i < kCount; ++i) {
        for (int j = i + 1; j < kCount; ++j) EXPECT_NE(handles[i].h, handles[j].h);
    }
    // Closing one in the middle leaves the others working.
    ASSERT_EQ(handles[3].close(), FT_OK);
    for (int i = 0; i < kCount; ++i) {
        if (i == 3) continue;
        EXPECT_EQ(FT_SetTimeouts(handles[i].h, 10, 10), FT_OK) << i;
    }
}

}  // namespace
}  // namespace ftd2xx_test
