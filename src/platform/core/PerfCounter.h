#pragma once
// The high-resolution performance counter: a monotonic tick count and the
// number of ticks per second.

#include <QtGlobal>

namespace perf {

qint64 Counter();            // ticks since an arbitrary fixed point
constexpr qint64 Frequency() { return 1'000'000'000; }  // ticks per second

}  // namespace perf
