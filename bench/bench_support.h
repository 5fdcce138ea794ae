#pragma once
// Shared by the benchmarks: a folder that outlives one run (large books take
// a while to make, so they are made once and reused), and the peak memory of
// the process as a benchmark counter.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

namespace tw::bench {

namespace fs = std::filesystem;

// A folder under the temporary directory named for `tag`; made on first use.
inline fs::path keptFolder(const std::string& tag) {
    const fs::path p = fs::temp_directory_path() / ("tallowick-bench-" + tag);
    fs::create_directories(p);
    return p;
}

// The largest resident size the process reached so far, in MB.
inline double peakMegabytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

inline void reportPeak(benchmark::State& state) {
    state.counters["peak_MB"] = benchmark::Counter(peakMegabytes());
}

}  // namespace tw::bench
