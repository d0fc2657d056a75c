#pragma once
// The DSP engine's parallel loops: body(n) for every n of [Begin, End), on oneTBB's pool when the
// grid asks for it. Each n writes only its own output, so both ways give the same bits.
//
// oneTBB's scheduler is not built with ThreadSanitizer, which then sees none of its hand-offs; the
// thread-sanitized build runs the same body on a few plain threads instead, so that the accesses of
// the body stay checked without suppressions.

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

namespace vendrel {

template <typename Body> void ForEachIndex(bool Parallel, int32_t Begin, int32_t End, const Body& body) {
    if (End <= Begin) {
        return;
    }
    if (!Parallel) {
        for (int32_t n = Begin; n < End; ++n) {
            body(n);
        }
        return;
    }
#if defined(__SANITIZE_THREAD__)
    const int64_t count = static_cast<int64_t>(End) - Begin;
    const int32_t parts = static_cast<int32_t>(std::min<int64_t>(count, 4));
    std::vector<std::thread> threads;
    for (int32_t t = 0; t < parts; ++t) {
        const int32_t b = static_cast<int32_t>(Begin + count * t / parts);
        const int32_t e = static_cast<int32_t>(Begin + count * (t + 1) / parts);
        threads.emplace_back([&body, b, e] {
            for (int32_t n = b; n < e; ++n) {
                body(n);
            }
        });
    }
    for (std::thread& th : threads) {
        th.join();
    }
#else
    tbb::parallel_for(tbb::blocked_range<int32_t>(Begin, End), [&body](const tbb::blocked_range<int32_t>& r) {
        for (int32_t n = r.begin(); n != r.end(); ++n) {
            body(n);
        }
    });
#endif
}

} // namespace vendrel
