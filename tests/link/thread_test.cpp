// Opening and closing on one thread while others run exchanges: no call may
// reach the D2XX layer with a closed handle, every exchange sees either no
// controller or a whole reply, and the library's state is never raced (run
// this binary under ThreadSanitizer).
#include <atomic>
#include <thread>
#include <vector>

#include "LineFixture.h"

namespace {

constexpr uint32_t kValue = 0x00ABCD;
constexpr uint8_t kLimits = 0x05;

class ThreadTest : public FakeLibraryTest {};

TEST_F(ThreadTest, OpenAndCloseWhileOthersExchange)
{
    // A device with another identity first, so each open also closes one.
    fake::AddDevice().responder = testwake::GoodController("Something else");
    fake::AddDevice().responder = testwake::GoodController("Quodrix", kValue, kLimits);

    std::atomic<bool> stop{false};
    std::atomic<int> wrongValues{0};
    std::atomic<int> failures{0};

    auto worker = [&](int id) {
        for (int i = 0; i < 400 && !stop; ++i) {
            int32_t value = -1;
            uint8_t limits = 0xFF;
            const char *text = nullptr;
            if (!QDX_Set(1, 8, 0x16, id))
                ++failures;
            // Either a reply from the controller or, with none open, zeros.
            if (!QDX_Get(1, 22, 0x21, &value))
                ++failures;
            if (value != static_cast<int32_t>(kValue) && value != 0)
                ++wrongValues;
            if (!QDX_Lim(&limits))
                ++failures;
            if (limits != kLimits && limits != 0)
                ++wrongValues;
            QDX_GetSN(&text);
            QDX_GetLastError(&text);
        }
    };

    std::vector<std::thread> threads;
    for (int id = 0; id < 2; ++id)
        threads.emplace_back(worker, id);

    int opened = 0;
    for (int i = 0; i < 150; ++i) {
        if (QDX_OpenDevice())
            ++opened;
        if (i % 3 != 0)
            QDX_CloseDevice();
    }
    stop = true;
    for (auto &t : threads)
        t.join();

    EXPECT_EQ(opened, 150);
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(wrongValues.load(), 0);
    EXPECT_EQ(fake::Misuse(), 0);
}

} // namespace
