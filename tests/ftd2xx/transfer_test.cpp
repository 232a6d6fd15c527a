// Reads and writes: time-outs, the receive buffer, purge, a vanished far end
// and calls from several threads.
#include "support.h"

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace ftd2xx_test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Bound that only catches a hang; never a measure of speed.
constexpr auto kHang = std::chrono::seconds(10);

class TransferTest : public LayerTest {
protected:
    void SetUp() override {
        ASSERT_EQ(h_.open(0), FT_OK);
        ASSERT_EQ(FT_SetTimeouts(h_.h, 1000, 1000), FT_OK);
    }

    std::string read(DWORD n, FT_STATUS expected = FT_OK) {
        std::string buf(n, '\0');
        DWORD got = 0xFFFF;
        EXPECT_EQ(FT_Read(h_.h, buf.data(), n, &got), expected);
        EXPECT_LE(got, n);
        buf.resize(std::min<DWORD>(got, n));
        return buf;
    }

    FT_STATUS write(std::string bytes, DWORD& put) { return FT_Write(h_.h, bytes.data(), static_cast<DWORD>(bytes.size()), &put); }

    Pty pty_;
    EnvSetting list_{"FTD2XX_DEVICES", pty_.path()};
    Handle h_;
};

TEST_F(TransferTest, BytesCrossBothWays) {
    DWORD put = 0;
    ASSERT_EQ(write(std::string("\xC0\x06\x05\x32\x51\x00\x1A\x37\xDB\x00", 10), put), FT_OK);
    EXPECT_EQ(put, 10u);
    EXPECT_EQ(pty_.receive(10, 5000), std::string("\xC0\x06\x05\x32\x51\x00\x1A\x37\xDB\x00", 10));

    // Bytes a cooked tty would change (CR, ^C, ^S, ^D, DEL, 0xFF) come through unchanged.
    const std::string raw("\r\n\x03\x13\x11\x04\x7F\xFF\x00\x1A", 10);
    pty_.send(raw);
    EXPECT_EQ(read(10), raw);
}

TEST_F(TransferTest, ReadWithNothingWaitingTimesOutWithFewerBytes) {
    ASSERT_EQ(FT_SetTimeouts(h_.h, 100, 100), FT_OK);
    const auto start = Clock::now();
    EXPECT_EQ(read(1), "");
    const auto took = Clock::now() - start;
    EXPECT_GE(took, milliseconds(50)) << "returned long before the time-out";
    EXPECT_LT(took, kHang);

    pty_.send("abc");
    ASSERT_TRUE(pty_.waitQueued(3));
    EXPECT_EQ(read(10), "abc") << "a short read at time-out still hands out what came";
}

TEST_F(TransferTest, NewTimeoutAppliesToTheNextRead) {
    ASSERT_EQ(FT_SetTimeouts(h_.h, 30000, 200), FT_OK);
    ASSERT_EQ(FT_SetTimeouts(h_.h, 50, 200), FT_OK);
    const auto start = Clock::now();
    EXPECT_EQ(read(1), "");
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(20));
}

TEST_F(TransferTest, BurstIsFetchedInOneBlockAndHandedOutByteByByte) {
    std::string burst;
    for (int i = 0; i < 200; ++i) burst.push_back(static_cast<char>(i));
    pty_.send(burst);
    ASSERT_TRUE(pty_.waitQueued(200));

    EXPECT_EQ(read(1), burst.substr(0, 1));
    EXPECT_EQ(pty_.queued(), 0) << "the first read should have taken the whole burst from the tty";
    for (int i = 1; i < 200; ++i) {
        ASSERT_EQ(read(1), burst.substr(static_cast<std::size_t>(i), 1)) << i;
    }
    ASSERT_EQ(FT_SetTimeouts(h_.h, 50, 50), FT_OK);
    EXPECT_EQ(read(1), "");
}

TEST_F(TransferTest, ReadLargerThanTheBlockSize) {
    std::string data(10000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>('a' + i % 26);
    std::thread sender([&] { pty_.send(data); });
    const std::string got = read(static_cast<DWORD>(data.size()));
    sender.join();
    EXPECT_EQ(got, data);
}

TEST_F(TransferTest, PurgeRxDropsQueuedAndBufferedBytes) {
    pty_.send("0123456789");
    ASSERT_TRUE(pty_.waitQueued(10));
    ASSERT_EQ(read(1), "0");  // the other nine now wait inside the layer
    pty_.send("xyz");
    ASSERT_TRUE(pty_.waitQueued(3));

    ASSERT_EQ(FT_Purge(h_.h, FT_PURGE_RX), FT_OK);
    EXPECT_EQ(pty_.queued(), 0);
    ASSERT_EQ(FT_SetTimeouts(h_.h, 50, 50), FT_OK);
    EXPECT_EQ(read(1), "");

    pty_.send("Q");
    ASSERT_EQ(FT_SetTimeouts(h_.h, 1000, 1000), FT_OK);
    EXPECT_EQ(read(1), "Q");
}

TEST_F(TransferTest, PurgeMasks) {
    for (ULONG mask : {0u, FT_PURGE_RX, FT_PURGE_TX, FT_PURGE_RX | FT_PURGE_TX, 0xFFu}) {
        EXPECT_EQ(FT_Purge(h_.h, mask), FT_OK) << mask;
    }
    pty_.send("kept");
    ASSERT_TRUE(pty_.waitQueued(4));
    ASSERT_EQ(FT_Purge(h_.h, FT_PURGE_TX), FT_OK);
    EXPECT_EQ(read(4), "kept") << "a transmit purge must not touch received bytes";
}

TEST_F(TransferTest, WriteStopsAtTheTimeoutWhenNobodyReads) {
    ASSERT_EQ(FT_SetTimeouts(h_.h, 200, 200), FT_OK);
    std::string big(1 << 20, 'w');  // far more than the pty holds
    DWORD put = 0;
    const auto start = Clock::now();
    EXPECT_EQ(write(big, put), FT_OK);
    EXPECT_LT(Clock::now() - start, kHang);
    EXPECT_GT(put, 0u);
    EXPECT_LT(put, big.size());
}

TEST_F(TransferTest, NullArguments) {
    DWORD n = 0;
    char b = 0;
    EXPECT_EQ(FT_Read(h_.h, &b, 1, nullptr), FT_INVALID_PARAMETER);
    EXPECT_EQ(FT_Read(h_.h, nullptr, 1, &n), FT_INVALID_PARAMETER);
    EXPECT_EQ(FT_Write(h_.h, &b, 1, nullptr), FT_INVALID_PARAMETER);
    EXPECT_EQ(FT_Write(h_.h, nullptr, 1, &n), FT_INVALID_PARAMETER);
    n = 7;
    EXPECT_EQ(FT_Read(h_.h, nullptr, 0, &n), FT_OK);
    EXPECT_EQ(n, 0u);
    n = 7;
    EXPECT_EQ(FT_Write(h_.h, nullptr, 0, &n), FT_OK);
    EXPECT_EQ(n, 0u);
}

struct VanishCase {
    const char* name;
    ULONG timeoutMs;  // 0: without limit
};

void PrintTo(const VanishCase& c, std::ostream* os) { *os << c.name; }

class VanishTest : public TransferTest, public ::testing::WithParamInterface<VanishCase> {};

TEST_P(VanishTest, ReadAndWriteFailOnceTheFarEndCloses) {
    ASSERT_EQ(FT_SetTimeouts(h_.h, GetParam().timeoutMs, GetParam().timeoutMs), FT_OK);
    pty_.send("AB");
    ASSERT_TRUE(pty_.waitQueued(2));
    ASSERT_EQ(read(1), "A");
    pty_.closeMaster();

    auto reader = std::async(std::launch::async, [&] {
        char buf[4];
        DWORD got = 99;
        const FT_STATUS st = FT_Read(h_.h, buf, 4, &got);
        return std::make_pair(st, std::string(buf, std::min<DWORD>(got, 4)));
    });
    ASSERT_EQ(reader.wait_for(kHang), std::future_status::ready) << "FT_Read hung on a vanished device";
    const auto [st, got] = reader.get();
    EXPECT_EQ(st, FT_IO_ERROR);
    EXPECT_EQ(got, "B") << "the byte received before must still be handed out";

    DWORD put = 99;
    EXPECT_EQ(write("xy", put), FT_IO_ERROR);
    EXPECT_EQ(put, 0u);
    EXPECT_EQ(read(1, FT_IO_ERROR), "");
    EXPECT_EQ(FT_Close(h_.h), FT_OK);
    h_.h = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Timeouts, VanishTest,
                         ::testing::Values(VanishCase{"Bounded", 2000}, VanishCase{"Unbounded", 0}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(TransferTest, CloseCutsShortAReadWaitingWithoutLimit) {
    ASSERT_EQ(FT_SetTimeouts(h_.h, 0, 0), FT_OK);
    const FT_HANDLE closed = h_.h;
    h_.h = nullptr;
    auto reader = std::async(std::launch::async, [closed] {
        char b;
        DWORD got = 99;
        return std::make_pair(FT_Read(closed, &b, 1, &got), got);
    });
    std::this_thread::sleep_for(milliseconds(100));  // let it enter its wait (not required for success)
    auto closer = std::async(std::launch::async, [closed] { return FT_Close(closed); });
    const bool closedInTime = closer.wait_for(kHang) == std::future_status::ready;
    if (!closedInTime) pty_.closeMaster();  // frees both threads, so that the test can end
    EXPECT_TRUE(closedInTime) << "FT_Close waited for a read that waits without limit";
    EXPECT_EQ(closer.get(), FT_OK);
    ASSERT_EQ(reader.wait_for(kHang), std::future_status::ready) << "FT_Read kept waiting after FT_Close";
    const auto [st, got] = reader.get();
    EXPECT_EQ(st, FT_INVALID_HANDLE);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(FT_SetTimeouts(closed, 1, 1), FT_INVALID_HANDLE);
}

TEST_F(TransferTest, CallsFromSeveralThreadsAreSerialised) {
    constexpr int kWriters = 3;
    constexpr int kFrames = 200;
    constexpr std::size_t kFrameSize = 16;
    std::atomic<bool> failed{false};
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            const std::string frame(kFrameSize, static_cast<char>('A' + w));
            for (int i = 0; i < kFrames; ++i) {
                DWORD put = 0;
                if (write(frame, put) != FT_OK || put != kFrameSize) failed = true;
            }
        });
    }
    // A reader and a closer-in-waiting poke the same handle meanwhile.
    std::thread reader([&] {
        for (int i = 0; i < 50; ++i) {
            char b;
            DWORD got;
            FT_Read(h_.h, &b, 0, &got);
            FT_Purge(h_.h, FT_PURGE_RX);
        }
    });
    const std::string all = pty_.receive(kWriters * kFrames * kFrameSize, 20000);
    for (auto& t : writers) t.join();
    reader.join();
    EXPECT_FALSE(failed);
    ASSERT_EQ(all.size(), kWriters * kFrames * kFrameSize);
    for (std::size_t f = 0; f < all.size(); f += kFrameSize) {
        ASSERT_EQ(all.substr(f, kFrameSize), std::string(kFrameSize, all[f])) << "frames interleaved at " << f;
    }
}

TEST_F(TransferTest, CloseWhileOtherThreadsHammerTheHandle) {
    ASSERT_EQ(FT_SetTimeouts(h_.h, 5, 5), FT_OK);
    std::atomic<bool> sawInvalid{false};
    std::vector<std::thread> threads;
    const FT_HANDLE h = h_.h;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&, h] {
            for (;;) {
                char b;
                DWORD got;
                if (FT_Read(h, &b, 1, &got) == FT_INVALID_HANDLE) break;
            }
            sawInvalid = true;
        });
    }
    std::this_thread::sleep_for(milliseconds(50));
    const FT_STATUS closed = h_.close();
    for (auto& t : threads) t.join();
    EXPECT_EQ(closed, FT_OK);
    EXPECT_TRUE(sawInvalid);
}

}  // namespace
}  // namespace ftd2xx_test
