// Round trips of QDX_Get against a qdxsim process.
//
// Unpaced: exchanges per second, and the CPU time this process (library and
// D2XX layer; the simulator runs in its own process) spends per exchange.
// Paced: the mean exchange time over the wire floor, the time the request
// and reply bytes take on a 115200-baud 8N1 line.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>


#include "FrameCodec.h"
#include "SimProcess.h"
#include "qdxlink.h"

namespace {

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

bool openSim(benchmark::State &state, const SimProcess &sim)
{
    static const std::filesystem::path empty = [] {
        auto p = std::filesystem::temp_directory_path() / "qdx-bench-empty-sysfs";
        std::filesystem::create_directories(p);
        return p;
    }();
    setenv("FTD2XX_SYSFS_ROOT", empty.c_str(), 1);
    setenv("FTD2XX_DEVICES", sim.entry().c_str(), 1);
    if (sim.entry().empty() || !QDX_OpenDevice()) {
        state.SkipWithError("cannot open the simulated controller");
        return false;
    }
    return true;
}

// Get ABS_POS of channel 1 (stopped at 0): request 31 21, reply 00 00 00 00.
constexpr std::uint8_t kMask = 1, kCommand = 0x21;
constexpr std::int8_t kBits = 22;

void exchanges(benchmark::State &state, bool pace)
{
    SimProcess sim;
    sim.start(pace ? std::vector<std::string>{"--pace"} : std::vector<std::string>{});
    if (!openSim(state, sim))
        return;
    std::int32_t value = 0;
    bool ok = true;
    const double cpu0 = processCpuSeconds();
    const auto wall0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        ok &= QDX_Get(kMask, kBits, kCommand, &value);
        benchmark::DoNotOptimize(value);
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    const double cpu = processCpuSeconds() - cpu0;
    QDX_CloseDevice();
    if (!ok) {
        state.SkipWithError("an exchange failed");
        return;
    }
    const auto n = static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations());
    state.counters["cpu_us_per_exchange"] = cpu / n * 1e6;
    if (pace) {
        const std::uint8_t request[] = {0x31, kCommand};
        const std::uint8_t reply[] = {0, 0, 0, 0};
        const auto bytes = qdxsim::buildFrame(7, request).size() + qdxsim::buildFrame(7, reply).size();
        const double floor = static_cast<double>(bytes) * 10.0 / 115200.0;
        state.counters["wire_bytes"] = static_cast<double>(bytes);
        state.counters["wire_floor_us"] = floor * 1e6;
        state.counters["ratio_to_floor"] = wall / n / floor;
    }
}

void BM_GetUnpaced(benchmark::State &state) { exchanges(state, false); }
void BM_GetPaced(benchmark::State &state) { exchanges(state, true); }

BENCHMARK(BM_GetUnpaced)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_GetPaced)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
