#pragma once
// The prediction's parallel loop over pixel columns, shared by the map kernel and the summation.
// Columns are independent: each is computed by one thread in a fixed order, so a map is the same
// bit for bit whichever thread computes which column.

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/partitioner.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace vendrel {

// Runs body(begin, end) over [0, n) in blocks of `grain` columns on oneTBB's pool; an exception from
// a block reaches the caller. oneTBB's scheduler is not built with ThreadSanitizer, which then sees
// none of its hand-offs; the thread-sanitized build runs the same body on plain threads instead, so
// its own accesses stay checked.
template <typename Body> void parallelColumns(int32_t n, int32_t grain, const Body& body) {
    if (n <= 0) {
        return;
    }
#if defined(__SANITIZE_THREAD__)
    (void)grain;
    const int32_t parts = std::clamp<int32_t>(
        std::min<int32_t>(static_cast<int32_t>(std::thread::hardware_concurrency()), n), 1, 4);
    std::exception_ptr failure;
    std::mutex failureMutex;
    std::vector<std::thread> threads;
    for (int32_t t = 0; t < parts; ++t) {
        const int32_t b = static_cast<int32_t>(static_cast<int64_t>(n) * t / parts);
        const int32_t e = static_cast<int32_t>(static_cast<int64_t>(n) * (t + 1) / parts);
        threads.emplace_back([&body, &failure, &failureMutex, b, e] {
            try {
                body(b, e);
            } catch (...) {
                const std::lock_guard lock(failureMutex);
                failure = std::current_exception();
            }
        });
    }
    for (std::thread& th : threads) {
        th.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
#else
    // Blocks of exactly `grain` columns: a thread that leaves a block early (a cancelled pass) is
    // never left with a long run of columns to finish.
    tbb::parallel_for(
        tbb::blocked_range<int32_t>(0, n, static_cast<size_t>(std::max(grain, 1))),
        [&body](const tbb::blocked_range<int32_t>& range) { body(range.begin(), range.end()); },
        tbb::simple_partitioner());
#endif
}

} // namespace vendrel
